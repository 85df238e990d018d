#pragma once
// Numbers in field values: a whole decimal number with blanks around it allowed,
// and the "number/total" form of track and disc numbers.

#include "tags/io/TextCodec.h"

#include <charconv>
#include <optional>
#include <string>

namespace vantor {

// The number the whole text holds; nothing for other text or a number T cannot hold.
template <typename T>
std::optional<T> ParseNumber(const std::string& text)
{
    const std::string trimmed = TrimText(text);
    T value = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    if (error != std::errc() || end != trimmed.data() + trimmed.size())
        return std::nullopt;
    return value;
}

// The number, or 0 where the text holds none.
template <typename T>
T NumberOrZero(const std::string& text)
{
    return ParseNumber<T>(text).value_or(T(0));
}

// "4/9" is number "4" and total "9"; without a slash the total is empty.
struct TNumberAndTotal {
    std::string Number;
    std::string Total;
};

inline TNumberAndTotal SplitNumberAndTotal(const std::string& value)
{
    const size_t slash = value.find('/');
    if (slash == std::string::npos)
        return { value, "" };
    return { value.substr(0, slash), value.substr(slash + 1) };
}

} // namespace vantor
