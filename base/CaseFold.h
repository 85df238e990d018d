#pragma once

// The case of text. Case-insensitive names (INI sections and keys, language keys, paths) fold
// by Unicode case folding; display text changes case by Unicode rules. ASCII takes a fast
// path, and invalid UTF-8 changes its ASCII letters only.

#include <string>
#include <string_view>

namespace vantor {

std::string FoldCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// The first count characters (code points) of text.
std::string_view FirstChars(std::string_view text, size_t count);

}
