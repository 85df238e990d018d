#include "platform/window/SdlInput.h"
#include "platform/window/KeyCodes.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(SdlInput, Utf8TextBecomesCodePoints)
{
    struct TCase {
        const char* Text;
        std::vector<char32_t> Points;
    };
    TCase const cases[] = {
        { "a", { U'a' } }, { "\xC3\xA9", { 0xE9 } }, // é
        { "\xE2\x82\xAC", { 0x20AC } },              // €
        { "\xF0\x9F\x8E\xB5", { 0x1F3B5 } },         // a note, outside the 16-bit range
        { "\xC3", {} },                              // truncated
        { "a\xFF"
          "b",
            { U'a', U'b' } },         // invalid byte skipped
        { "\xC0\xAF", {} },           // overlong '/'
        { "\xED\xA0\x80", {} },       // UTF-16 surrogate
        { "\xE2\x28\xA1", { U'(' } }, // bad continuation
    };
    for (const TCase& c : cases)
        EXPECT_EQ(CodePointsOfUtf8(c.Text), c.Points) << c.Text;
}

TEST(SdlInput, KeysMapToTheirCodes)
{
    struct TCase {
        int32_t Key;
        int32_t Scan;
        uint16_t Code;
    };
    TCase const cases[] = {
        { SDLK_c, SDL_SCANCODE_C, 'C' },
        { SDLK_7, SDL_SCANCODE_7, '7' },
        { SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, vkBack },
        { SDLK_DELETE, SDL_SCANCODE_DELETE, vkDelete },
        { SDLK_RETURN, SDL_SCANCODE_RETURN, vkReturn },
        { SDLK_LCTRL, SDL_SCANCODE_LCTRL, vkControl },
        { SDLK_RALT, SDL_SCANCODE_RALT, vkMenu },
        { SDLK_F12, SDL_SCANCODE_F12, vkF12 },
        { SDLK_AUDIOPLAY, SDL_SCANCODE_AUDIOPLAY, vkMediaPlayPause },
        { SDLK_AUDIONEXT, SDL_SCANCODE_AUDIONEXT, vkMediaNextTrack },
        { 0x0441, SDL_SCANCODE_C, 'C' }, // a Cyrillic layout's key in the place of C
        { SDLK_CARET, SDL_SCANCODE_UNKNOWN, vkUnknown },
    };
    for (const TCase& c : cases)
        EXPECT_EQ(KeyCodeFromSdl(c.Key, c.Scan), c.Code) << c.Key;
}

TEST(SdlInput, ModifiersAndButtonsBecomeShiftBits)
{
    EXPECT_EQ(ShiftFromSdlMods(KMOD_LSHIFT | KMOD_RCTRL), ssShift | ssCtrl);
    EXPECT_EQ(ShiftFromSdlMods(KMOD_LALT | KMOD_NUM), ssAlt);
    EXPECT_EQ(ShiftFromSdlButtons(SDL_BUTTON_LMASK | SDL_BUTTON_MMASK), ssLeft | ssMiddle);
    EXPECT_EQ(ShiftFromSdlButtons(SDL_BUTTON_RMASK), ssRight);
}

}
}
