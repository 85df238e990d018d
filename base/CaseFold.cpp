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

template <class F>
std::string ByGLib(std::string_view text, F convert)
{
    gchar* converted = convert(text.data(), static_cast<gssize>(text.size()));
    std::string result = converted ? converted : "";
    g_free(converted);
    return result;
}

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

std::string UpperCase(std::string_view text)
{
    if (IsAscii(text) || !IsValidUtf8(text)) {
        std::string result(text);
        for (char& c : result) {
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        }
        return result;
    }
    return ByGLib(text, g_utf8_strup);
}

std::string LowerCase(std::string_view text)
{
    if (IsAscii(text) || !IsValidUtf8(text)) {
        std::string result(text);
        for (char& c : result) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        }
        return result;
    }
    return ByGLib(text, g_utf8_strdown);
}

std::string_view FirstChars(std::string_view text, size_t count)
{
    size_t pos = 0;
    for (size_t n = 0; n < count && pos < text.size(); ++n) {
        auto const lead = static_cast<unsigned char>(text[pos]);
        size_t length = 1;
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        size_t next = pos + 1;
        // Continuation bytes only; a broken sequence ends the character early.
        while (next < pos + length && next < text.size() && (static_cast<unsigned char>(text[next]) & 0xC0) == 0x80)
            ++next;
        pos = next;
    }
    return text.substr(0, pos);
}

}
