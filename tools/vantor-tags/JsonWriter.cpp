#include "tools/vantor-tags/JsonWriter.h"

#include "tags/io/TextCodec.h"

#include <cmath>
#include <cstdio>

namespace vantor {

std::string JsonString(std::string_view text)
{
    const std::string clean = SanitizeUtf8(text);
    std::string out = "\"";
    for (char c : clean) {
        const auto b = uint8_t(c);
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        default:
            if (b < 0x20 || b == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", b);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
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
