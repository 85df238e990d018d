#include "platform/shell/Shell.h"

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

std::string FileClipboardText(const std::vector<std::string>& paths, TClipboardVerb verb)
{
    std::string text = "x-special/nautilus-clipboard\n";
    text += verb == TClipboardVerb::cvCut ? "cut\n" : "copy\n";
    for (const std::string& path : paths)
        text += FileUri(path) + "\n";
    return text;
}

}
