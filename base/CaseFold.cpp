#include "base/CaseFold.h"

#include "base/TextFileEncoding.h"

#include <glib.h>

namespace vantor {

namespace {

bool IsAscii(std::string_view text)
{
    for (char const c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string AsciiFold(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

}

std::string FoldCase(std::string_view text)
{
    if (IsAscii(text) || !IsValidUtf8(text))
        return AsciiFold(text);
    gchar* folded = g_utf8_casefold(text.data(), static_cast<gssize>(text.size()));
    std::string out(folded);
    g_free(folded);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (AsciiLower(a[i]) != AsciiLower(b[i]))
                return false;
        return true;
    }
    return FoldCase(a) == FoldCase(b);
}

}
