#pragma once

// Sorting text as the user's language does.

#include <string>
#include <string_view>

namespace vantor {

// A key whose byte order is the user's locale collation of text (case-sensitive).
std::string CollationKey(std::string_view text);
// Takes the locale from the environment (LANG, LC_ALL, ...), so sorting and grouping follow
// the user's language, except for numbers: they keep the C form, so that every number the
// program writes to or reads from a file uses "." whatever the user's locale.
void UseEnvironmentLocale();

}
