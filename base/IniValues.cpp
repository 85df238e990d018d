#include "base/IniValues.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace vantor {

namespace {

std::string_view Trim(std::string_view text)
{
    auto const blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Parses an integer of `bits` bits (32 or 64). Hex digits fill the unsigned range of that
// width and are then taken as two's complement; decimal must fit the signed range.
std::optional<int64_t> ParseInteger(std::string_view text, int bits)
{
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    bool hex = false;
    if (!text.empty() && text.front() == '$') {
        hex = true;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        hex = true;
        text.remove_prefix(2);
    }
    if (text.empty())
        return std::nullopt;

    uint64_t const unsignedMax = bits == 64 ? std::numeric_limits<uint64_t>::max() : 0xFFFFFFFFull;
    uint64_t magnitude = 0;
    if (hex) {
        for (char const c : text) {
            int const digit = HexDigit(c);
            if (digit < 0 || magnitude > (unsignedMax >> 4))
                return std::nullopt;
            magnitude = (magnitude << 4) | static_cast<uint64_t>(digit);
        }
        uint64_t value = negative ? (~magnitude + 1) : magnitude;
        if (bits == 32) {
            value &= 0xFFFFFFFFull;
            return static_cast<int64_t>(static_cast<int32_t>(static_cast<uint32_t>(value)));
        }
        return static_cast<int64_t>(value);
    }

    uint64_t const signedMax = bits == 64 ? uint64_t(std::numeric_limits<int64_t>::max()) : 0x7FFFFFFFull;
    uint64_t const limit = negative ? signedMax + 1 : signedMax;
    for (char const c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        uint64_t const digit = static_cast<uint64_t>(c - '0');
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (negative)
        return magnitude == signedMax + 1 ? (bits == 64 ? std::numeric_limits<int64_t>::min() : int64_t(INT32_MIN))
                                          : -static_cast<int64_t>(magnitude);
    return static_cast<int64_t>(magnitude);
}

}

int32_t ParseIniInteger(std::string_view text, int32_t defaultValue)
{
    auto const value = ParseInteger(text, 32);
    return value ? static_cast<int32_t>(*value) : defaultValue;
}

int64_t ParseIniInt64(std::string_view text, int64_t defaultValue)
{
    return ParseInteger(text, 64).value_or(defaultValue);
}

bool ParseIniBool(std::string_view text, bool defaultValue)
{
    auto const value = ParseInteger(text, 32);
    return value ? *value != 0 : defaultValue;
}

double ParseIniFloat(std::string_view text, double defaultValue)
{
    text = Trim(text);
    // one sign at most: from_chars itself takes a '-' but no '+'
    bool const plus = !text.empty() && text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || text.front() == '+' || (plus && text.front() == '-') || text.size() > 512)
        return defaultValue;
    std::string normalized(text);
    size_t const comma = normalized.find(',');
    if (comma != std::string::npos) {
        if (normalized.find('.') != std::string::npos || normalized.find(',', comma + 1) != std::string::npos)
            return defaultValue;
        normalized[comma] = '.';
    }
    double value = 0.0;
    char const* const end = normalized.data() + normalized.size();
    auto const [ptr, ec] = std::from_chars(normalized.data(), end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return defaultValue;
    return value;
}

std::string FormatIniInteger(int64_t value) { return std::to_string(value); }

std::string FormatIniBool(bool value) { return value ? "1" : "0"; }

std::string FormatIniFloat(double value)
{
    char buffer[64];
    auto const [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    if (ec != std::errc())
        return "0";
    std::string text(buffer, ptr);
    // "1e+20" -> "1E20", "1.5e-05" -> "1.5E-5"
    size_t const e = text.find('e');
    if (e != std::string::npos) {
        std::string mantissa = text.substr(0, e);
        std::string exponent = text.substr(e + 1);
        bool const negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+'))
            exponent.erase(0, 1);
        size_t const firstNonZero = exponent.find_first_not_of('0');
        exponent = firstNonZero == std::string::npos ? "0" : exponent.substr(firstNonZero);
        text = mantissa + "E" + (negative ? "-" : "") + exponent;
    }
    return text;
}

}
