#pragma once

// Case-insensitive names (INI sections and keys, language keys): ASCII text folds by a fast
// path, other valid UTF-8 by Unicode case folding; invalid UTF-8 folds its ASCII bytes only.

#include <string>
#include <string_view>

namespace vantor {

std::string FoldCase(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);

}
