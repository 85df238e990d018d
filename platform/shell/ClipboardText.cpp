#include "platform/shell/ClipboardText.h"

#include <SDL.h>

namespace vantor {

bool SetClipboardText(const std::string& text)
{
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0)
        return false;
    return SDL_SetClipboardText(text.c_str()) == 0;
}

}
