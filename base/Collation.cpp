#include "base/Collation.h"

#include "base/TextFileEncoding.h"

#include <glib.h>

#include <clocale>
#include <cstring>

namespace vantor {

namespace {

bool IsAscii(std::string_view text)
{
    for (char const c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

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
    gchar* key = g_utf8_collate_key(text.data(), static_cast<gssize>(text.size()));
    std::string result = key ? key : "";
    g_free(key);
    return result;
}

void UseEnvironmentLocale()
{
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");
}

}
