#include "base/TextFileEncoding.h"

#include <cstdint>

namespace vantor {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Length of the well-formed UTF-8 sequence at text[i], 0 when it is not one.
size_t Utf8SequenceLength(std::string_view text, size_t i, char32_t* codePoint)
{
    auto const byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char const b0 = byte(i);
    if (b0 < 0x80) {
        *codePoint = b0;
        return 1;
    }
    size_t length;
    char32_t cp;
    char32_t minimum;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2, cp = b0 & 0x1F, minimum = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, cp = b0 & 0x0F, minimum = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, cp = b0 & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    *codePoint = cp;
    return length;
}

// Windows-1252 bytes 0x80..0x9F; the five undefined ones map to the C1 controls as Windows
// itself does.
constexpr char16_t kCp1252High[32] = {
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

std::string DecodeCp1252(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (char const c : bytes) {
        auto const b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian)
{
    std::string out;
    out.reserve(bytes.size());
    size_t const units = bytes.size() / 2;
    auto const unit = [&](size_t k) -> char16_t {
        auto const a = static_cast<unsigned char>(bytes[2 * k]);
        auto const b = static_cast<unsigned char>(bytes[2 * k + 1]);
        return static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a);
    };
    for (size_t k = 0; k < units; ++k) {
        char16_t const u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
            char16_t const low = unit(k + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (low - 0xDC00));
                ++k;
                continue;
            }
        }
        AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : char32_t(u));
    }
    if (bytes.size() % 2 != 0)
        AppendUtf8(out, kReplacement);
    return out;
}

void AppendUtf16(std::string& out, char16_t u, bool bigEndian)
{
    char const hi = static_cast<char>(u >> 8);
    char const lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
}

std::string EncodeUtf16(std::string_view utf8, bool bigEndian)
{
    std::string out;
    out.reserve(2 + utf8.size() * 2);
    AppendUtf16(out, 0xFEFF, bigEndian);
    size_t i = 0;
    while (i < utf8.size()) {
        char32_t cp;
        size_t const length = Utf8SequenceLength(utf8, i, &cp);
        if (length == 0) {
            cp = kReplacement;
            i += 1;
        } else {
            i += length;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            AppendUtf16(out, static_cast<char16_t>(0xD800 + (cp >> 10)), bigEndian);
            AppendUtf16(out, static_cast<char16_t>(0xDC00 + (cp & 0x3FF)), bigEndian);
        } else {
            AppendUtf16(out, static_cast<char16_t>(cp), bigEndian);
        }
    }
    return out;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

}

bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp;
        size_t const length = Utf8SequenceLength(bytes, i, &cp);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

std::string ToValidUtf8(std::string_view bytes)
{
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 8);
    size_t i = 0;
    while (i < bytes.size()) {
        char32_t cp;
        size_t const length = Utf8SequenceLength(bytes, i, &cp);
        if (length == 0) {
            AppendUtf8(out, kReplacement);
            i += 1;
        } else {
            out.append(bytes.substr(i, length));
            i += length;
        }
    }
    return out;
}

TDecodedText DecodeTextFile(std::string_view bytes)
{
    TDecodedText result;
    if (StartsWith(bytes, "\xFF\xFE")) {
        result.encoding = TTextEncoding::Utf16LE;
        result.text = DecodeUtf16(bytes.substr(2), false);
    } else if (StartsWith(bytes, "\xFE\xFF")) {
        result.encoding = TTextEncoding::Utf16BE;
        result.text = DecodeUtf16(bytes.substr(2), true);
    } else {
        if (StartsWith(bytes, "\xEF\xBB\xBF")) {
            result.encoding = TTextEncoding::Utf8Bom;
            bytes.remove_prefix(3);
        }
        result.text = IsValidUtf8(bytes) ? std::string(bytes) : DecodeCp1252(bytes);
    }
    return result;
}

std::string EncodeTextFile(std::string_view utf8, TTextEncoding encoding)
{
    switch (encoding) {
    case TTextEncoding::Utf16LE: return EncodeUtf16(utf8, false);
    case TTextEncoding::Utf16BE: return EncodeUtf16(utf8, true);
    case TTextEncoding::Utf8Bom: return "\xEF\xBB\xBF" + std::string(utf8);
    case TTextEncoding::Utf8: break;
    }
    return std::string(utf8);
}

TLineEnding DetectLineEnding(std::string_view text)
{
    size_t const lf = text.find('\n');
    if (lf != std::string_view::npos && lf > 0 && text[lf - 1] == '\r')
        return TLineEnding::CRLF;
    return TLineEnding::LF;
}

}
