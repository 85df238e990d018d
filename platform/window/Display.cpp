#include "platform/window/Display.h"

#include <SDL.h>

#include <cmath>

namespace vantor {

double ScreenDpi()
{
    constexpr double fallback = 96.0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return fallback;
    float horizontal = 0.0f;
    bool const ok = SDL_GetDisplayDPI(0, nullptr, &horizontal, nullptr) == 0;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    if (!ok || !std::isfinite(horizontal) || horizontal <= 0.0f)
        return fallback;
    return horizontal;
}

}
