#include "platform/window/SdlMessageBox.h"

#include "platform/window/SdlWindow.h"

#include <SDL.h>

namespace vantor {

namespace {

SDL_Window* WindowOf(TSdlWindow* owner) { return owner ? SDL_GetWindowFromID(owner->WindowID()) : nullptr; }

}

void TSdlMessageBox::Show(TMessageKind kind, const std::string& text, const std::string& caption)
{
    uint32_t flags = 0; // a plain box has no icon
    if (kind == TMessageKind::mkError)
        flags = SDL_MESSAGEBOX_ERROR;
    else if (kind == TMessageKind::mkInfo)
        flags = SDL_MESSAGEBOX_INFORMATION;
    SDL_ShowSimpleMessageBox(flags, caption.c_str(), text.c_str(), WindowOf(m_owner));
}

bool TSdlMessageBox::AskYesNo(const std::string& text, const std::string& caption)
{
    enum { No = 0, Yes = 1 };
    SDL_MessageBoxButtonData const buttons[] = {
        { SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, No, "No" },
        { SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, Yes, "Yes" },
    };
    SDL_MessageBoxData const data { SDL_MESSAGEBOX_INFORMATION, WindowOf(m_owner), caption.c_str(), text.c_str(),
        SDL_arraysize(buttons), buttons, nullptr };
    int answer = No;
    if (SDL_ShowMessageBox(&data, &answer) != 0)
        return false;
    return answer == Yes;
}

}
