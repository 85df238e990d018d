#include "platform/shell/Shell.h"

#include <glib.h>

#include <cstring>

namespace vantor {

std::string FileUri(const std::string& path)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (unsigned char c : path) {
        bool const plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
            || c == '.' || c == '_' || c == '~' || c == '/';
        if (plain) {
            uri += char(c);
            continue;
        }
        uri += '%';
        uri += Hex[c >> 4];
        uri += Hex[c & 0xF];
    }
    return uri;
}

std::optional<std::string> FilePathFromUri(const std::string& uri)
{
    // An embedded NUL would cut the address short unseen.
    if (uri.find('\0') != std::string::npos)
        return std::nullopt;
    gchar* host = nullptr;
    gchar* path = g_filename_from_uri(uri.c_str(), &host, nullptr);
    bool const local = path && (!host || std::strcmp(host, "localhost") == 0);
    std::optional<std::string> result;
    if (local)
        result = path;
    g_free(host);
    g_free(path);
    return result;
}

std::string FileClipboardText(const std::vector<std::string>& paths, TClipboardVerb verb)
{
    std::string text = "x-special/nautilus-clipboard\n";
    text += verb == TClipboardVerb::cvCut ? "cut\n" : "copy\n";
    for (const std::string& path : paths)
        text += FileUri(path) + "\n";
    return text;
}

}
