// Program entry: no arguments are read.
#include <SDL.h>

#include <csignal>

#include "shell/main_form.h"

int main(int, char**) {
  // The help opener runs on its own; its end needs no waiting for.
  std::signal(SIGCHLD, SIG_IGN);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return 1;
  int code = 0;
  {
    TMainForm form(MainFormOptions{});
    code = form.Run();
  }
  SDL_Quit();
  return code;
}
