#include "tools/vantor-tags/JsonWriter.h"

#include "tags/io/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantor {

std::string JsonString(std::string_view text)
{
    std::string out;
    AppendJsonString(out, text);
    return out;
}

void AppendJsonString(std::string& out, std::string_view text)
{
    std::string clean;
    if (std::any_of(text.begin(), text.end(), [](char c) { return uint8_t(c) >= 0x80; })) {
        clean = SanitizeUtf8(text);
        text = clean;
    }
    out += '"';
    // Runs of characters that need no escape go in at once.
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b = uint8_t(text[i]);
        if (b >= 0x20 && b != '"' && b != '\\' && b != 0x7F)
            continue;
        out.append(text.substr(run, i - run));
        run = i + 1;
        switch (b) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default: {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
            out += escaped;
        }
        }
    }
    out.append(text.substr(run));
    out += '"';
}

std::string JsonNumber(double value)
{
    if (!std::isfinite(value))
        return "0";
    if (value == std::floor(value) && std::fabs(value) < 9.0e15)
        return std::to_string(int64_t(value));
    char text[40];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string s = text;
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.')
        s.pop_back();
    return s;
}

} // namespace vantor
