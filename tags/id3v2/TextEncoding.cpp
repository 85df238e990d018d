#include "tags/id3v2/TextEncoding.h"

namespace vantor {

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 control code points, as
// the system conversion does, so that they survive a round trip.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t Replacement = 0xFFFD;

int AnsiByte(char32_t C)
{
    if (C < 0x80 || (C >= 0xA0 && C <= 0xFF))
        return int(C);
    for (int I = 0; I < 32; ++I) {
        if (Cp1252High[I] == C)
            return 0x80 + I;
    }
    return -1;
}

} // namespace

void AppendUTF8(char32_t C, std::string& Out)
{
    if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF))
        C = Replacement;
    if (C < 0x80) {
        Out += char(C);
    } else if (C < 0x800) {
        Out += char(0xC0 | (C >> 6));
        Out += char(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += char(0xE0 | (C >> 12));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    } else {
        Out += char(0xF0 | (C >> 18));
        Out += char(0x80 | ((C >> 12) & 0x3F));
        Out += char(0x80 | ((C >> 6) & 0x3F));
        Out += char(0x80 | (C & 0x3F));
    }
}

char32_t NextCodePoint(std::string_view Text, size_t& Pos)
{
    const auto Byte = [&](size_t I) { return uint8_t(Text[I]); };
    const uint8_t Lead = Byte(Pos++);
    if (Lead < 0x80)
        return Lead;
    int Extra;
    char32_t C;
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Extra = 1;
        C = Lead & 0x1F;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Extra = 2;
        C = Lead & 0x0F;
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Extra = 3;
        C = Lead & 0x07;
    } else {
        return Replacement;
    }
    for (int I = 0; I < Extra; ++I) {
        if (Pos >= Text.size() || (Byte(Pos) & 0xC0) != 0x80)
            return Replacement;
        C = (C << 6) | (Byte(Pos++) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF.
    if ((Extra == 2 && C < 0x800) || (Extra == 3 && (C < 0x10000 || C > 0x10FFFF)) || (C >= 0xD800 && C <= 0xDFFF))
        return Replacement;
    return C;
}

std::string AnsiToUTF8(std::string_view Bytes)
{
    std::string Out;
    Out.reserve(Bytes.size());
    for (char Ch : Bytes) {
        const uint8_t B = uint8_t(Ch);
        AppendUTF8(B >= 0x80 && B < 0xA0 ? char32_t(Cp1252High[B - 0x80]) : char32_t(B), Out);
    }
    return Out;
}

std::string UTF8ToAnsi(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (size_t Pos = 0; Pos < Text.size();) {
        const int B = AnsiByte(NextCodePoint(Text, Pos));
        Out += B < 0 ? '?' : char(B);
    }
    return Out;
}

std::string Latin1ToUTF8(std::string_view Bytes)
{
    std::string Out;
    Out.reserve(Bytes.size());
    for (char Ch : Bytes)
        AppendUTF8(uint8_t(Ch), Out);
    return Out;
}

bool UTF8ToLatin1(std::string_view Text, std::string& Bytes)
{
    Bytes.clear();
    for (size_t Pos = 0; Pos < Text.size();) {
        const char32_t C = NextCodePoint(Text, Pos);
        if (C > 0xFF)
            return false;
        Bytes += char(C);
    }
    return true;
}

std::string UTF16ToUTF8(const uint8_t* Data, size_t Count, bool BigEndian)
{
    std::string Out;
    Out.reserve(Count / 2);
    const size_t Units = Count / 2;
    const auto Unit = [&](size_t I) -> char16_t {
        const uint8_t A = Data[2 * I], B = Data[2 * I + 1];
        return BigEndian ? char16_t(A << 8 | B) : char16_t(B << 8 | A);
    };
    for (size_t I = 0; I < Units; ++I) {
        const char16_t U = Unit(I);
        if (U >= 0xD800 && U <= 0xDBFF && I + 1 < Units) {
            const char16_t Low = Unit(I + 1);
            if (Low >= 0xDC00 && Low <= 0xDFFF) {
                AppendUTF8(0x10000 + ((char32_t(U) - 0xD800) << 10) + (Low - 0xDC00), Out);
                ++I;
                continue;
            }
        }
        AppendUTF8(U, Out); // a lone surrogate becomes U+FFFD
    }
    return Out;
}

void AppendUTF16LE(std::string_view Text, std::vector<uint8_t>& Out)
{
    const auto Put = [&](char16_t U) {
        Out.push_back(uint8_t(U));
        Out.push_back(uint8_t(U >> 8));
    };
    for (size_t Pos = 0; Pos < Text.size();) {
        const char32_t C = NextCodePoint(Text, Pos);
        if (C >= 0x10000) {
            Put(char16_t(0xD800 + ((C - 0x10000) >> 10)));
            Put(char16_t(0xDC00 + ((C - 0x10000) & 0x3FF)));
        } else {
            Put(char16_t(C));
        }
    }
}

std::string ValidUTF8(std::string_view Bytes)
{
    std::string Out;
    Out.reserve(Bytes.size());
    for (size_t Pos = 0; Pos < Bytes.size();)
        AppendUTF8(NextCodePoint(Bytes, Pos), Out);
    return Out;
}

} // namespace vantor
