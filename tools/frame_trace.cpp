// Plays the scripted game of the tests (tests/scripted_game.h: the logo, New
// Game with the old grid breaking up and the panel sliding out, a ship
// dragged, the closed grid flying together, rockets, and the fireworks of
// the last ship) on the dummy driver and prints one hash of the back
// surface's pixels for every frame, with what moved in it. Two builds of
// the game print the same lines when they draw the same frames.
//
//   frame_trace [--whole]    (--whole: every frame composed whole)
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "../tests/scripted_game.h"
#include "settings/settings_record.h"
#include "shell/main_form.h"

namespace {

uint64_t FrameHash(const SDL_Surface* s) {
  uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < s->h; ++y) {
    const auto* row = static_cast<const uint8_t*>(s->pixels) + static_cast<ptrdiff_t>(y) * s->pitch;
    for (int x = 0; x < s->w * 2; ++x) h = (h ^ row[x]) * 1099511628211ull;
  }
  return h;
}

}  // namespace

int main(int argc, char** argv) {
  const bool whole = argc > 1 && std::strcmp(argv[1], "--whole") == 0;
  (void)whole;
  const auto dir = std::filesystem::temp_directory_path() / ("salvora-trace-" + std::to_string(getpid()));
  PrepareWindowedGame(dir, 0);
  int code = 0;
  {
    eng::ManualClock clock;
    clock.now = 100000;
    MainFormOptions options;
    options.clock = &clock;
    options.appDir = dir.string() + "/";
    options.seed = 99;
    options.sound = false;
    TMainForm form(options);
    form.OpenDisplay();
#ifdef SALVORA_WHOLE_FRAMES_SWITCH
    form.Display().SetWholeFrames(whole);
#endif
    ScriptedGame game(form, clock);
    int n = 0;
    game.OnFrame = [&] {
      const TCommon& c = form.Common();
      std::printf("%5d %016llx%s%s%s%s%s enemy-effects %d\n", n++,
                  static_cast<unsigned long long>(FrameHash(form.Display().BackSurface().Sdl())),
                  c.Shattering ? " shatter" : "", c.ChooserShown ? " slide" : "", c.Assembling ? " assemble" : "",
                  form.Sprites().Count() ? " rocket" : "", form.OwnGrid().Dragging ? " drag" : "",
                  static_cast<int>(form.EnemyGrid().EffectCount));
    };
    if (!game.Play()) code = 1;
  }
  std::filesystem::remove_all(dir);
  SDL_Quit();
  return code;
}
