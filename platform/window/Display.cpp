#include "platform/window/Display.h"

#include <SDL.h>

#include <cmath>

namespace vantor {

namespace {

bool s_displayKept = false; // ScreenDpi's reference to the video subsystem is still held

}

double ScreenDpi()
{
    constexpr double fallback = 96.0;
    bool const connected = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!connected && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        return fallback;
    float horizontal = 0.0f;
    bool const ok = SDL_GetDisplayDPI(0, nullptr, &horizontal, nullptr) == 0;
    if (!connected)
        s_displayKept = true;
    if (!ok || !std::isfinite(horizontal) || horizontal <= 0.0f)
        return fallback;
    return horizontal;
}

void ReleaseScreenDpiDisplay()
{
    if (!s_displayKept)
        return;
    s_displayKept = false;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}
