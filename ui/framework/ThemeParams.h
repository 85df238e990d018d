#pragma once

// Named parameters of theme file values, such as
//   Margins(Left[12] Top[12] Right[12] Bottom[12]) Offset(Left[4] Top[2])
//   Name(Open Sans) Size(11) Color($FF303030) Bold(1)
// A parameter is its name, case ignored, immediately followed by an opening bracket; its
// content runs to the matching closing bracket of the same kind, or to the end of the text.
// Separators between parameters are free.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// The content of the first occurrence of name followed by open ('(' or '['), or nothing
// when the parameter is absent.
std::optional<std::string_view> FindThemeParam(std::string_view text, std::string_view name, char open);

// The content, or fallback when the parameter is absent, empty or exactly one space.
std::string_view ThemeParamText(std::string_view text, std::string_view name, char open, std::string_view fallback);

// A signed 32-bit number in decimal or in hexadecimal after "$" ("$FFECECEC" fills all 32 bits
// and so reads as a negative number). Absent, empty, " " or malformed content gives fallback.
int32_t ThemeParamInt(std::string_view text, std::string_view name, char open, int32_t fallback);

// The number syntax on its own; surrounding blanks are ignored.
std::optional<int32_t> ParseThemeNumber(std::string_view text);

}
