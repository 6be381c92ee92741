// Program entry: no arguments are read.
#include <SDL.h>

#include <csignal>
#include <future>

#include "shell/main_form.h"

int main(int, char**) {
  // The help opener runs on its own; its end needs no waiting for.
  std::signal(SIGCHLD, SIG_IGN);
  // The pictures are painted and the sounds made on another thread while
  // SDL starts and the window and its renderer open; the logo is painted
  // first and shown as soon as the window can show it.
  std::promise<eng::Picture> logoPainted;
  std::future<eng::Picture> logo = logoPainted.get_future();
  std::future<GameAssets> assets =
      std::async(std::launch::async, [&logoPainted] { return MakeGameAssets(&logoPainted); });
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return 1;
  int code = 0;
  {
    MainFormOptions options;
    options.assets = &assets;
    options.logo = &logo;
    options.openWindowEarly = true;
    TMainForm form(std::move(options));
    code = form.Run();
  }
  SDL_Quit();
  return code;
}
