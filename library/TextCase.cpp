#include "library/TextCase.h"

#include <glib.h>

#include <clocale>
#include <cstring>

namespace vantor {

namespace {

bool IsAscii(std::string_view text)
{
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

bool IsValidUtf8(std::string_view text)
{
    return g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr);
}

template <class F>
std::string ByGLib(std::string_view text, F convert)
{
    gchar* converted = convert(text.data(), static_cast<gssize>(text.size()));
    std::string result = converted ? converted : "";
    g_free(converted);
    return result;
}

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

std::string CollationKey(std::string_view text)
{
    // Text with a NUL byte is not valid UTF-8 to GLib either.
    if (!IsValidUtf8(text))
        return std::string(text);
    // Under a UTF-8 locale the C library collates UTF-8 itself: every key comes from strxfrm,
    // of the text composed as GLib does (ASCII is composed already). GLib's own key differs
    // in form, so the two can never be mixed within one order.
    if (g_get_charset(nullptr)) {
        std::string source;
        if (IsAscii(text))
            source = text;
        else {
            gchar* composed = g_utf8_normalize(text.data(), static_cast<gssize>(text.size()), G_NORMALIZE_ALL_COMPOSE);
            source = composed ? composed : "";
            g_free(composed);
        }
        std::string key(source.size() * 2 + 1, '\0');
        size_t length = std::strxfrm(key.data(), source.c_str(), key.size());
        if (length >= key.size()) {
            key.assign(length + 1, '\0');
            length = std::strxfrm(key.data(), source.c_str(), key.size());
        }
        key.resize(length);
        return key;
    }
    return ByGLib(text, g_utf8_collate_key);
}

void UseEnvironmentLocale()
{
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
}

}
