#include "tags/ogg/CommentValues.h"

#include "tags/io/Base64.h"
#include "tags/io/TextCodec.h"

#include <cctype>
#include <cstdio>

namespace vantor {

std::vector<uint8_t> DecodeBase64Leniently(const uint8_t* text, size_t size, bool wholeGroups)
{
    std::string clean;
    clean.reserve(size);
    for (size_t i = 0; i < size; ++i)
        if (std::isalnum(text[i]) || text[i] == '+' || text[i] == '/')
            clean += char(text[i]);
    if (wholeGroups)
        clean.resize(clean.size() / 4 * 4);
    std::vector<uint8_t> out;
    Base64Decode(clean, out);
    return out;
}

std::string CommentValueText(const std::vector<uint8_t>& value)
{
    std::string bytes(value.begin(), value.end());
    for (char& c : bytes)
        if (uint8_t(c) < 0x20 && c != '\r' && c != '\n')
            c = ' ';
    return SanitizeUtf8(bytes);
}

std::vector<uint8_t> EncodeCommentList(const TNameValueList& list)
{
    std::string text;
    for (const std::string& entry : list)
        text += ListEntryName(entry) + "\r\n" + ListEntryValue(entry) + "\r\n";
    return std::vector<uint8_t>(text.begin(), text.end());
}

TNameValueList DecodeCommentList(const std::vector<uint8_t>& value)
{
    const std::vector<std::string> lines = SplitTextLines(CommentValueText(value));
    TNameValueList list;
    for (size_t i = 0; i < lines.size(); i += 2)
        list.push_back(lines[i] + "=" + (i + 1 < lines.size() ? lines[i + 1] : std::string()));
    return list;
}

std::string SizeText(uint64_t size)
{
    if (size < 1024)
        return std::to_string(size) + " Byte";
    static const char* const units[] = { " KB", " MB", " GB", " TB", " PB", " EB", " ZB", " YB" };
    double value = double(size);
    int unit = -1;
    while (value >= 1024 && unit < 7) {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.2f%s", value, units[unit]);
    return text;
}

} // namespace vantor
