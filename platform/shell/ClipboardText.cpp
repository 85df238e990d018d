#include "platform/shell/ClipboardText.h"

#include <SDL.h>

namespace vantor {

bool SetClipboardText(const std::string& text)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    return SDL_SetClipboardText(text.c_str()) == 0;
}

std::optional<std::string> ClipboardText()
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 || !SDL_HasClipboardText())
        return std::nullopt;
    char* const text = SDL_GetClipboardText();
    if (!text)
        return std::nullopt;
    std::string result(text);
    SDL_free(text);
    return result;
}

}
