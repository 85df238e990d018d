#include "platform/window/SdlInput.h"

#include "platform/window/KeyCodes.h"

#include <SDL.h>

namespace vantor {

uint16_t KeyCodeFromSdl(int32_t keycode, int32_t scancode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return static_cast<uint16_t>('A' + (keycode - SDLK_a));
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return static_cast<uint16_t>('0' + (keycode - SDLK_0));
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return static_cast<uint16_t>(vkF1 + (keycode - SDLK_F1));
    switch (keycode) {
    case SDLK_BACKSPACE: return vkBack;
    case SDLK_TAB: return vkTab;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return vkReturn;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return vkShift;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return vkControl;
    case SDLK_LALT:
    case SDLK_RALT: return vkMenu;
    case SDLK_PAUSE: return vkPause;
    case SDLK_CAPSLOCK: return vkCapital;
    case SDLK_ESCAPE: return vkEscape;
    case SDLK_SPACE: return vkSpace;
    case SDLK_PAGEUP: return vkPrior;
    case SDLK_PAGEDOWN: return vkNext;
    case SDLK_END: return vkEnd;
    case SDLK_HOME: return vkHome;
    case SDLK_LEFT: return vkLeft;
    case SDLK_UP: return vkUp;
    case SDLK_RIGHT: return vkRight;
    case SDLK_DOWN: return vkDown;
    case SDLK_INSERT: return vkInsert;
    case SDLK_DELETE: return vkDelete;
    case SDLK_MUTE:
    case SDLK_AUDIOMUTE: return vkVolumeMute;
    case SDLK_VOLUMEDOWN: return vkVolumeDown;
    case SDLK_VOLUMEUP: return vkVolumeUp;
    case SDLK_AUDIONEXT: return vkMediaNextTrack;
    case SDLK_AUDIOPREV: return vkMediaPrevTrack;
    case SDLK_AUDIOSTOP: return vkMediaStop;
    case SDLK_AUDIOPLAY: return vkMediaPlayPause;
    default: break;
    }
    // Layouts whose letter keys give other symbols still report the letter by position, so
    // Ctrl+C and the like work everywhere.
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return static_cast<uint16_t>('A' + (scancode - SDL_SCANCODE_A));
    return vkUnknown;
}

TShiftState ShiftFromSdlMods(uint16_t mods)
{
    TShiftState shift = 0;
    if (mods & KMOD_SHIFT)
        shift |= ssShift;
    if (mods & KMOD_ALT)
        shift |= ssAlt;
    if (mods & KMOD_CTRL)
        shift |= ssCtrl;
    return shift;
}

TShiftState ShiftFromSdlButtons(uint32_t buttons)
{
    TShiftState shift = 0;
    if (buttons & SDL_BUTTON_LMASK)
        shift |= ssLeft;
    if (buttons & SDL_BUTTON_RMASK)
        shift |= ssRight;
    if (buttons & SDL_BUTTON_MMASK)
        shift |= ssMiddle;
    return shift;
}

std::vector<char32_t> CodePointsOfUtf8(std::string_view text)
{
    std::vector<char32_t> points;
    size_t i = 0;
    while (i < text.size()) {
        auto const lead = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t point = 0;
        if (lead < 0x80) {
            length = 1;
            point = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            point = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            point = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            point = lead & 0x07;
        } else {
            ++i;
            continue;
        }
        if (i + static_cast<size_t>(length) > text.size()) {
            break;
        }
        bool valid = true;
        for (int k = 1; k < length; ++k) {
            auto const next = static_cast<unsigned char>(text[i + static_cast<size_t>(k)]);
            if ((next & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            point = (point << 6) | (next & 0x3F);
        }
        static constexpr char32_t smallest[] = { 0, 0, 0x80, 0x800, 0x10000 };
        bool const overlong = point < smallest[length];
        bool const surrogate = point >= 0xD800 && point <= 0xDFFF;
        if (!valid || overlong || surrogate || point > 0x10FFFF) {
            ++i;
            continue;
        }
        points.push_back(point);
        i += static_cast<size_t>(length);
    }
    return points;
}

}
