#pragma once
// Minimal JSON output: strings are escaped and invalid UTF-8 is replaced.

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// A JSON string literal, quotes included.
std::string JsonString(std::string_view text);
// The same literal appended to out.
void AppendJsonString(std::string& out, std::string_view text);
// A JSON number; values that JSON cannot hold (NaN, infinities) become 0.
std::string JsonNumber(double value);

} // namespace vantor
