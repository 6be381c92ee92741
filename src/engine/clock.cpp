#include "engine/clock.h"

#include <SDL.h>

namespace eng {

uint32_t SystemClock::Ticks() { return SDL_GetTicks(); }
void SystemClock::Sleep(uint32_t ms) { SDL_Delay(ms); }

}  // namespace eng
