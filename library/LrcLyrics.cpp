#include "library/LrcLyrics.h"

#include "base/TextFileEncoding.h"

#include <algorithm>
#include <optional>

namespace vantor {

namespace {

// Minutes past this many digits are not a time anyone sings at; refusing them keeps every
// sum far inside 64 bits.
constexpr size_t kMaxMinuteDigits = 6;
constexpr size_t kMaxFractionDigits = 9;
constexpr size_t kMaxOffsetDigits = 9;
// Each stamp copies its line's text: a line of thousands of stamps before a long text would
// otherwise grow the result with the square of the input.
constexpr size_t kSlackBytes = 4096;
constexpr size_t kBytesPerInputByte = 4;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// A run of at most maxDigits digits at the start of s, taken off s; nothing when there is none
// or it is longer.
std::optional<int64_t> TakeNumber(std::string_view& s, size_t maxDigits)
{
    size_t n = 0;
    while (n < s.size() && IsDigit(s[n]))
        ++n;
    if (n == 0 || n > maxDigits)
        return std::nullopt;
    int64_t value = 0;
    for (size_t i = 0; i < n; ++i)
        value = value * 10 + (s[i] - '0');
    s.remove_prefix(n);
    return value;
}

// The inside of "[mm:ss]", "[mm:ss.x…]" or "[mm:ss:x…]" in milliseconds.
std::optional<int64_t> ParseStamp(std::string_view s)
{
    std::optional<int64_t> const minutes = TakeNumber(s, kMaxMinuteDigits);
    if (!minutes || s.empty() || s.front() != ':')
        return std::nullopt;
    s.remove_prefix(1);
    std::optional<int64_t> const seconds = TakeNumber(s, 2);
    if (!seconds || *seconds >= 60)
        return std::nullopt;
    int64_t ms = (*minutes * 60 + *seconds) * 1000;
    if (s.empty())
        return ms;
    if (s.front() != '.' && s.front() != ':')
        return std::nullopt;
    s.remove_prefix(1);
    if (s.empty() || s.size() > kMaxFractionDigits || !std::all_of(s.begin(), s.end(), IsDigit))
        return std::nullopt;
    // Tenths, hundredths or thousandths; digits past those are finer than a frame of video.
    int64_t fraction = 0;
    for (size_t i = 0; i < 3; ++i)
        fraction = fraction * 10 + (i < s.size() ? s[i] - '0' : 0);
    return ms + fraction;
}

// The inside of "[offset:+/-ms]".
std::optional<int64_t> ParseOffset(std::string_view value)
{
    value = Trim(value);
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    std::optional<int64_t> const ms = TakeNumber(value, kMaxOffsetDigits);
    if (!ms || !value.empty())
        return std::nullopt;
    return negative ? -*ms : *ms;
}

bool IsTagName(std::string_view name)
{
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '#' || c == '_';
    });
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

struct TStamped {
    int64_t TimeMs;
    size_t Order;
    std::string Text;
};

}

std::vector<TLrcLine> ParseLrc(std::string_view text)
{
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    size_t const budget = text.size() * kBytesPerInputByte + kSlackBytes;
    size_t used = 0;
    std::vector<TStamped> stamped;
    int64_t offset = 0;
    size_t stampedLines = 0;
    size_t plainLines = 0;
    std::vector<int64_t> times;
    while (!text.empty()) {
        size_t const end = text.find_first_of("\r\n");
        std::string_view rest = Trim(text.substr(0, end));
        if (end == std::string_view::npos)
            text = {};
        else
            text.remove_prefix(end + (text.substr(end, 2) == "\r\n" ? 2 : 1));

        times.clear();
        while (!rest.empty() && rest.front() == '[') {
            size_t const close = rest.find(']');
            if (close == std::string_view::npos)
                break;
            std::optional<int64_t> const time = ParseStamp(rest.substr(1, close - 1));
            if (!time)
                break;
            times.push_back(*time);
            rest = Trim(rest.substr(close + 1));
        }
        if (!times.empty()) {
            ++stampedLines;
            std::string const line = ToValidUtf8(rest);
            for (int64_t const time : times) {
                used += line.size() + sizeof(TStamped);
                if (used > budget)
                    break;
                stamped.push_back({ time, stamped.size(), line });
            }
            continue;
        }
        // "[key:value]" alone on its line describes the song.
        if (rest.size() >= 2 && rest.front() == '[' && rest.back() == ']') {
            std::string_view const inside = rest.substr(1, rest.size() - 2);
            size_t const colon = inside.find(':');
            if (colon != std::string_view::npos && IsTagName(inside.substr(0, colon))) {
                if (EqualsIgnoringCase(inside.substr(0, colon), "offset"))
                    offset = ParseOffset(inside.substr(colon + 1)).value_or(offset);
                continue;
            }
        }
        if (!rest.empty())
            ++plainLines;
    }
    if (stampedLines == 0 || plainLines > stampedLines)
        return {};
    std::sort(stamped.begin(), stamped.end(), [](TStamped const& a, TStamped const& b) {
        return a.TimeMs != b.TimeMs ? a.TimeMs < b.TimeMs : a.Order < b.Order;
    });
    // A positive offset shows the lines earlier.
    std::vector<TLrcLine> lines;
    lines.reserve(stamped.size());
    for (TStamped& line : stamped)
        lines.push_back({ std::max<int64_t>(0, line.TimeMs - offset), std::move(line.Text) });
    return lines;
}

int LrcLineAt(const std::vector<TLrcLine>& lines, int64_t positionMs)
{
    auto const after = std::upper_bound(lines.begin(), lines.end(), positionMs,
        [](int64_t position, TLrcLine const& line) { return position < line.TimeMs; });
    return static_cast<int>(after - lines.begin()) - 1;
}

}
