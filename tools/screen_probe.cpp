// What a still game costs and how soon it shows: starts the game on the X
// display in $DISPLAY (an Xvfb, see scripts/measure_idle), waits for its
// window and for the logo on it, then leaves the logo with a key and
// samples /proc for the CPU the game takes on the still game screen.
//
//   screen_probe GAME [--full] [--seconds N] [--logo-seconds N] [--starts N]
//
// --starts N: before that, N starts timed to the logo only (the median,
// the fastest and the slowest are printed).
//
// The game runs from a fresh directory of its own (a copy of the program
// and a config.opt saying windowed or full screen), so the player's own
// settings are never touched. Times are from the fork of the game.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "assets/image_table.h"
#include "assets/pictures.h"
#include "engine/image_list.h"
#include "engine/surface.h"
#include "settings/settings_record.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// Windows come and go while the game starts (a driver's probe window): a
// request on one that has gone is no reason to stop.
int IgnoreXError(Display*, XErrorEvent*) { return 0; }

double MsSince(Clock::time_point t0) { return std::chrono::duration<double, std::milli>(Clock::now() - t0).count(); }

struct Sample {
  double fx, fy;  // where in the 640 x 480 frame, as fractions
  eng::Color expected;
};

// The logo as the game stretches it, at a few points spread over the frame.
std::vector<Sample> LogoSamples() {
  eng::ImageList images;
  assets::PaintPictures(images);
  eng::Surface logo(640, 480);
  logo.StretchFromPicture(images[assets::kLogo].picture);
  std::vector<Sample> samples;
  for (double fy : {0.2, 0.5, 0.8})
    for (double fx : {0.2, 0.5, 0.8})
      samples.push_back(Sample{fx, fy, logo.GetColor(static_cast<int>(fx * 640), static_cast<int>(fy * 480))});
  return samples;
}

long CpuTicks(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), {});
  const size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  // Fields after the name: state is field 3; utime and stime are 14 and 15.
  std::vector<std::string> fields;
  size_t pos = close + 2;
  while (pos < stat.size()) {
    size_t end = stat.find(' ', pos);
    if (end == std::string::npos) end = stat.size();
    fields.push_back(stat.substr(pos, end - pos));
    pos = end + 1;
  }
  if (fields.size() < 13) return -1;
  return std::stol(fields[11]) + std::stol(fields[12]);
}

long ResidentKiB(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(in, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

Window FindWindowOf(Display* dpy, Window w, pid_t pid, Atom pidAtom) {
  Atom type;
  int format;
  unsigned long n = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &n, &after, &data) == Success &&
      data) {
    const long found = n ? *reinterpret_cast<long*>(data) : 0;
    XFree(data);
    if (n && found == pid) return w;
  }
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(dpy, w, &root, &parent, &children, &count)) return 0;
  Window hit = 0;
  for (unsigned i = 0; i < count && !hit; ++i) hit = FindWindowOf(dpy, children[i], pid, pidAtom);
  if (children) XFree(children);
  return hit;
}

// True when every sample point of the window shows the logo's colour.
bool ShowsLogo(Display* dpy, Window w, const std::vector<Sample>& samples) {
  XWindowAttributes a;
  if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable || a.width < 64 || a.height < 48) return false;
  // The frame fills the window with 4:3 kept, letterboxed.
  const double scale = std::min(a.width / 640.0, a.height / 480.0);
  const int fw = static_cast<int>(640 * scale), fh = static_cast<int>(480 * scale);
  const int ox = (a.width - fw) / 2, oy = (a.height - fh) / 2;
  for (const Sample& s : samples) {
    XImage* img = XGetImage(dpy, w, ox + static_cast<int>(s.fx * fw), oy + static_cast<int>(s.fy * fh), 1, 1,
                            AllPlanes, ZPixmap);
    if (!img) return false;
    const unsigned long p = XGetPixel(img, 0, 0);
    XDestroyImage(img);
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    const int tolerance = 24;  // 16-bit colour, scaling and the driver's rounding
    if (std::abs(r - s.expected.r) > tolerance || std::abs(g - s.expected.g) > tolerance ||
        std::abs(b - s.expected.b) > tolerance)
      return false;
  }
  return true;
}

// CPU share of one core over the given seconds.
double CpuShare(pid_t pid, double seconds) {
  const long hz = sysconf(_SC_CLK_TCK);
  const long before = CpuTicks(pid);
  const auto t0 = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const long after = CpuTicks(pid);
  return 100.0 * (after - before) / hz / (MsSince(t0) / 1000.0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: screen_probe GAME [--full] [--seconds N] [--logo-seconds N] [--starts N]\n");
    return 2;
  }
  const fs::path game = fs::absolute(argv[1]);
  bool full = false;
  double seconds = 60, logoSeconds = 10;
  int starts = 0;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--full") full = true;
    if (a == "--seconds" && i + 1 < argc) seconds = std::atof(argv[++i]);
    if (a == "--logo-seconds" && i + 1 < argc) logoSeconds = std::atof(argv[++i]);
    if (a == "--starts" && i + 1 < argc) starts = std::atoi(argv[++i]);
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "screen_probe: no X display (set DISPLAY)\n");
    return 2;
  }
  XSetErrorHandler(IgnoreXError);
  const std::vector<Sample> samples = LogoSamples();

  // The game in a directory of its own, with its settings.
  const fs::path dir = fs::temp_directory_path() / ("salvora-probe-" + std::to_string(getpid()));
  fs::create_directories(dir);
  fs::copy_file(game, dir / "salvora", fs::copy_options::overwrite_existing);
  SettingsRecord settings;
  settings.FullScreen = full ? 1 : 0;
  {
    std::ofstream out(dir / "config.opt", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&settings), sizeof settings);
  }

  const Atom pidAtom = XInternAtom(dpy, "_NET_WM_PID", False);
  Window w = 0;
  double windowMs = -1, logoMs = -1;
  // Starts the game and waits for its window and the logo on it.
  auto start = [&]() {
    w = 0;
    windowMs = logoMs = -1;
    const auto t0 = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
      const std::string path = (dir / "salvora").string();
      execl(path.c_str(), path.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    while (MsSince(t0) < 10000) {
      if (!w) {
        w = FindWindowOf(dpy, DefaultRootWindow(dpy), child, pidAtom);
        if (w) windowMs = MsSince(t0);
      }
      if (w) {
        XWindowAttributes a;
        if (!XGetWindowAttributes(dpy, w, &a)) {
          w = 0;  // gone: look again
          continue;
        }
        if (ShowsLogo(dpy, w, samples)) {
          logoMs = MsSince(t0);
          break;
        }
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    return child;
  };
  std::printf("mode: %s\n", full ? "full screen" : "windowed");
  if (starts > 0) {
    std::vector<double> times;
    for (int i = 0; i < starts; ++i) {
      const pid_t child = start();
      if (logoMs >= 0) times.push_back(logoMs);
      kill(child, SIGTERM);
      waitpid(child, nullptr, 0);
    }
    std::sort(times.begin(), times.end());
    if (!times.empty())
      std::printf("logo on the screen over %zu starts: median %.0f ms, fastest %.0f ms, slowest %.0f ms\n",
                  times.size(), times[times.size() / 2], times.front(), times.back());
  }
  const pid_t pid = start();
  std::printf("window after: %.0f ms\nlogo on the screen after: %.0f ms\n", windowMs, logoMs);
  int code = logoMs < 0 ? 1 : 0;
  if (logoMs >= 0) {
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::printf("still logo: %.2f %% of a core over %.0f s\n", CpuShare(pid, logoSeconds), logoSeconds);
    // A key leaves the logo; it stays 20 s more, then the game screen.
    // The window may have been made anew while the display started.
    Window now = FindWindowOf(dpy, DefaultRootWindow(dpy), pid, pidAtom);
    if (now) w = now;
    const std::string key = "xdotool windowfocus --sync " + std::to_string(w) + " key space";
    if (std::system(key.c_str()) != 0) std::fprintf(stderr, "screen_probe: xdotool failed\n");
    std::this_thread::sleep_for(std::chrono::seconds(22));
    std::printf("still game screen: %.2f %% of a core over %.0f s\n", CpuShare(pid, seconds), seconds);
    std::printf("resident: %ld KiB\n", ResidentKiB(pid));
  }
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  XCloseDisplay(dpy);
  fs::remove_all(dir);
  return code;
}
