#include "settings/settings_file.h"

#include "settings/install_layout.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstring>

namespace {

constexpr size_t kRecordSize = 24;
constexpr const char* kFileName = "config.opt";

// Makes every missing directory of the path; true when it exists afterwards.
bool MakeDirectories(const std::string& dir) {
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos != dir.size() && dir[pos] != '/') continue;
    const std::string part = dir.substr(0, pos);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  struct stat st {};
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string HomeDirectory() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return std::string();
}

bool DirectoryWritable(const std::string& dir) {
  if (dir.empty()) return false;
  struct stat st {};
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && access(dir.c_str(), W_OK) == 0;
}

// Reads up to n bytes, going on after interrupted or partial reads; the
// number read, or -1 on an error.
ssize_t ReadFully(int fd, uint8_t* data, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t got = read(fd, data + done, n - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

bool WriteFully(int fd, const uint8_t* data, size_t n) {
  size_t done = 0;
  while (done < n) {
    const ssize_t put = write(fd, data + done, n - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

}  // namespace

std::string ProgramDirectory() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return std::string();
  const std::string exe(buf, static_cast<size_t>(n));
  const size_t slash = exe.rfind('/');
  return slash == std::string::npos ? std::string() : exe.substr(0, slash + 1);
}

std::string SettingsPath(const std::string& appDir) {
  // An installed program's directory belongs to the system, even when the
  // player may write to it (root, or a prefix in the home directory).
  if (DirectoryWritable(appDir) && !InstalledProgram(appDir)) {
    std::string dir = appDir;
    if (dir.back() != '/') dir += '/';
    return dir + kFileName;
  }
  // Only an absolute XDG_CONFIG_HOME counts; a relative one is to be ignored.
  std::string base;
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const std::string home = HomeDirectory();
    base = (home.empty() ? std::string(".") : home) + "/.config";
  }
  while (base.size() > 1 && base.back() == '/') base.pop_back();
  const std::string dir = base + "/salvora";
  // A directory that cannot be made shows up as a failed save.
  MakeDirectories(dir);
  return dir + "/" + kFileName;
}

std::array<uint8_t, 24> SettingsBytes(const SettingsRecord& rec) {
  std::array<uint8_t, kRecordSize> b{};
  b[0] = rec.FullScreen;
  b[1] = rec.Difficulty;
  b[2] = rec.NameLength;
  std::memcpy(&b[3], rec.NameChars.data(), 12);
  b[15] = rec.Padding1;
  const uint32_t v = static_cast<uint32_t>(rec.Volume);
  for (int i = 0; i < 4; ++i) b[16 + i] = static_cast<uint8_t>(v >> (8 * i));
  b[20] = rec.GameMode;
  std::memcpy(&b[21], rec.Padding2.data(), 3);
  return b;
}

SettingsRecord SettingsFromBytes(const std::array<uint8_t, 24>& b) {
  SettingsRecord rec;
  rec.FullScreen = b[0];
  rec.Difficulty = b[1];
  rec.NameLength = b[2];
  std::memcpy(rec.NameChars.data(), &b[3], 12);
  rec.Padding1 = b[15];
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= uint32_t{b[16 + i]} << (8 * i);
  rec.Volume = static_cast<int32_t>(v);
  rec.GameMode = b[20];
  std::memcpy(rec.Padding2.data(), &b[21], 3);
  return rec;
}

bool LoadSettingsFile(const std::string& path, SettingsRecord& rec) {
  int fd;
  do {
    fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  std::array<uint8_t, kRecordSize> bytes{};
  const ssize_t got = ReadFully(fd, bytes.data(), bytes.size());
  const bool closed = close(fd) == 0;
  if (got != static_cast<ssize_t>(kRecordSize) || !closed) return false;
  rec = SettingsFromBytes(bytes);
  return true;
}

bool SaveSettingsFile(const std::string& path, const SettingsRecord& rec) {
  int fd;
  do {
    fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  const std::array<uint8_t, kRecordSize> bytes = SettingsBytes(rec);
  const bool written = WriteFully(fd, bytes.data(), bytes.size());
  const bool closed = close(fd) == 0;
  return written && closed;
}
