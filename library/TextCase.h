#pragma once

// Unicode text helpers of grouping, sorting and searching. Invalid UTF-8 is handled byte-wise
// (ASCII letters change case, other bytes stay).

#include <string>
#include <string_view>

namespace vantor {

std::string UpperCase(std::string_view text);
std::string LowerCase(std::string_view text);
// The first count characters (code points) of text.
std::string_view FirstChars(std::string_view text, size_t count);
// A key whose byte order is the user's locale collation of text (case-sensitive).
std::string CollationKey(std::string_view text);
// Takes the locale from the environment (LANG, LC_ALL, ...), so sorting and grouping follow
// the user's language, except for numbers: they keep the C form, so that every number the
// program writes to or reads from a file uses "." whatever the user's locale.
void UseEnvironmentLocale();

}
