#pragma once

// Typed values of the INI-style files (settings, playlists, queues, themes, languages).
//
// Integers: written in decimal; read in decimal, as "$" followed by hex digits, or as "0x"
// followed by hex digits (a text longer than two characters). Hex values fill the integer's
// bits, so "$FFFFFFFF" reads as -1 (colours are written that way). Surrounding blanks are
// ignored; anything else that does not parse, or does not fit, gives the caller's default.
// Booleans: written "1" / "0"; read through the integer path, any non-zero integer is true.
// Floats: written with "." in the shortest general form with up to 15 significant digits
// ("0.5", "0.333333333333333", "1E20"); read with "." or "," as the decimal separator, so a
// value written under a decimal-comma locale is not lost. Non-finite values give the default.

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

int32_t ParseIniInteger(std::string_view text, int32_t defaultValue);
int64_t ParseIniInt64(std::string_view text, int64_t defaultValue);
bool ParseIniBool(std::string_view text, bool defaultValue);
double ParseIniFloat(std::string_view text, double defaultValue);

std::string FormatIniInteger(int64_t value);
std::string FormatIniBool(bool value);
std::string FormatIniFloat(double value);

}
