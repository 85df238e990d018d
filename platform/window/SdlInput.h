#pragma once

#include "platform/window/InputTypes.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantor {

// Conversions from SDL's input values (passed as plain integers) to the window's own.

// The key code (KeyCodes.h) of an SDL keycode and scancode; vkUnknown when there is none.
uint16_t KeyCodeFromSdl(int32_t keycode, int32_t scancode);
// Shift, Alt and Ctrl bits of an SDL modifier set.
TShiftState ShiftFromSdlMods(uint16_t mods);
// Left, right and middle button bits of an SDL button mask.
TShiftState ShiftFromSdlButtons(uint32_t buttons);
// The code points of UTF-8 text; malformed bytes are skipped.
std::vector<char32_t> CodePointsOfUtf8(std::string_view text);

}
