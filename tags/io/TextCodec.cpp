#include "tags/io/TextCodec.h"

namespace vantor {

namespace {

// Windows-1252 0x80..0x9F; the unassigned bytes keep their C1 code points.
constexpr uint16_t Cp1252High[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

void AppendUtf8(std::string& out, uint32_t cp)
{
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// Decodes one code point at i; returns false (and advances by one byte) on an invalid sequence.
bool NextCodePoint(std::string_view s, size_t& i, uint32_t& cp)
{
    const auto b0 = uint8_t(s[i]);
    if (b0 < 0x80) {
        cp = b0;
        ++i;
        return true;
    }
    size_t len;
    uint32_t min;
    if ((b0 & 0xE0) == 0xC0) {
        len = 2;
        cp = b0 & 0x1F;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        len = 3;
        cp = b0 & 0x0F;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        len = 4;
        cp = b0 & 0x07;
        min = 0x10000;
    } else {
        ++i;
        return false;
    }
    if (i + len > s.size()) {
        ++i;
        return false;
    }
    for (size_t k = 1; k < len; ++k) {
        const auto b = uint8_t(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        ++i;
        return false;
    }
    i += len;
    return true;
}

} // namespace

bool IsValidUtf8Bytes(std::string_view bytes)
{
    for (size_t i = 0; i < bytes.size();) {
        uint32_t cp;
        if (!NextCodePoint(bytes, i, cp))
            return false;
    }
    return true;
}

std::string SanitizeUtf8(std::string_view bytes)
{
    // Most text is ASCII: that part is taken as it is.
    size_t i = 0;
    while (i < bytes.size() && uint8_t(bytes[i]) < 0x80)
        ++i;
    std::string out(bytes.substr(0, i));
    if (i == bytes.size())
        return out;
    out.reserve(bytes.size());
    while (i < bytes.size()) {
        uint32_t cp;
        AppendUtf8(out, NextCodePoint(bytes, i, cp) ? cp : 0xFFFD);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const auto b = uint8_t(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? Cp1252High[b - 0x80] : b);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        if (!NextCodePoint(text, i, cp)) {
            out += '?';
            continue;
        }
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += char(cp);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (Cp1252High[k] == cp)
                mapped = char(0x80 + k);
        out += mapped;
    }
    return out;
}

std::string Utf8ToAscii(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        out += NextCodePoint(text, i, cp) && cp < 0x80 ? char(cp) : '?';
    }
    return out;
}

bool Utf8ToLatin1(std::string_view text, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        if (!NextCodePoint(text, i, cp) || cp > 0xFF) {
            out.clear();
            return false;
        }
        out += char(cp);
    }
    return true;
}

std::string Latin1ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes)
        AppendUtf8(out, uint8_t(c));
    return out;
}

std::string Utf8OrCp1252(std::string_view bytes)
{
    return IsValidUtf8Bytes(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

std::string Utf16ToUtf8(const uint8_t* data, size_t byteCount, bool bigEndian)
{
    std::string out;
    out.reserve(byteCount);
    const size_t units = byteCount / 2;
    auto unit = [&](size_t k) -> uint32_t {
        const uint8_t* p = data + 2 * k;
        return bigEndian ? uint32_t((p[0] << 8) | p[1]) : uint32_t(p[0] | (p[1] << 8));
    };
    for (size_t k = 0; k < units; ++k) {
        uint32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            const uint32_t low = unit(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    return out;
}

std::vector<uint8_t> Utf8ToUtf16(std::string_view text, bool bigEndian)
{
    std::vector<uint8_t> out;
    out.reserve(text.size() * 2);
    auto put = [&](uint32_t u) {
        if (bigEndian) {
            out.push_back(uint8_t(u >> 8));
            out.push_back(uint8_t(u));
        } else {
            out.push_back(uint8_t(u));
            out.push_back(uint8_t(u >> 8));
        }
    };
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        if (!NextCodePoint(text, i, cp))
            cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            put(0xD800 + (cp >> 10));
            put(0xDC00 + (cp & 0x3FF));
        } else {
            put(cp);
        }
    }
    return out;
}

size_t Utf8Length(std::string_view text)
{
    size_t n = 0;
    for (size_t i = 0; i < text.size();) {
        uint32_t cp;
        NextCodePoint(text, i, cp);
        ++n;
    }
    return n;
}

std::string UpperAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = char(c - 32);
    return out;
}

std::string LowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return out;
}

bool SameTextAscii(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = char(x - 32);
        if (y >= 'a' && y <= 'z')
            y = char(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

std::string TrimText(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && uint8_t(text[b]) <= 0x20)
        ++b;
    while (e > b && uint8_t(text[e - 1]) <= 0x20)
        --e;
    return std::string(text.substr(b, e - b));
}

std::string TrimLeftText(std::string_view text)
{
    size_t b = 0;
    while (b < text.size() && uint8_t(text[b]) <= 0x20)
        ++b;
    return std::string(text.substr(b));
}

std::vector<std::string> SplitTextLines(std::string_view text)
{
    std::vector<std::string> lines;
    if (text.empty())
        return lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinTextLines(const std::vector<std::string>& lines)
{
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

} // namespace vantor
