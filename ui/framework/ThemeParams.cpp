#include "ui/framework/ThemeParams.h"

#include <charconv>

namespace vantor {

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Parameter names are ASCII words, so folding ASCII letters is enough to ignore case.
bool MatchesAt(std::string_view text, size_t pos, std::string_view name)
{
    for (size_t i = 0; i < name.size(); ++i)
        if (LowerAscii(text[pos + i]) != LowerAscii(name[i]))
            return false;
    return true;
}

char ClosingFor(char open) { return open == '[' ? ']' : ')'; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}

std::optional<std::string_view> FindThemeParam(std::string_view text, std::string_view name, char open)
{
    if (name.empty() || text.size() <= name.size())
        return std::nullopt;
    char const close = ClosingFor(open);
    for (size_t pos = 0; pos + name.size() < text.size(); ++pos) {
        if (text[pos + name.size()] != open || !MatchesAt(text, pos, name))
            continue;
        size_t const start = pos + name.size() + 1;
        int depth = 0;
        for (size_t i = start; i < text.size(); ++i) {
            if (text[i] == open) {
                ++depth;
            } else if (text[i] == close) {
                if (depth == 0)
                    return text.substr(start, i - start);
                --depth;
            }
        }
        return text.substr(start);
    }
    return std::nullopt;
}

std::string_view ThemeParamText(std::string_view text, std::string_view name, char open, std::string_view fallback)
{
    std::optional<std::string_view> content = FindThemeParam(text, name, open);
    if (!content || content->empty() || *content == " ")
        return fallback;
    return *content;
}

std::optional<int32_t> ParseThemeNumber(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return std::nullopt;
    if (text.front() == '$') {
        text.remove_prefix(1);
        uint32_t value = 0;
        // Unsigned parsing refuses signs, and eight digits at most fit.
        auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
        if (text.empty() || error != std::errc {} || end != text.data() + text.size())
            return std::nullopt;
        return static_cast<int32_t>(value);
    }
    if (text.front() == '+') {
        text.remove_prefix(1);
        if (text.empty() || text.front() == '-')
            return std::nullopt;
    }
    int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc {} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

int32_t ThemeParamInt(std::string_view text, std::string_view name, char open, int32_t fallback)
{
    std::optional<std::string_view> content = FindThemeParam(text, name, open);
    if (!content)
        return fallback;
    return ParseThemeNumber(*content).value_or(fallback);
}

}
