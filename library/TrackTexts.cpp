#include "library/TrackTexts.h"

#include "base/IniValues.h"
#include "library/PlayerSession.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace vantor {

namespace {

// The pattern "#.##": at most two decimals, no trailing zeros, no point without decimals.
std::string FormatUpToTwoDecimals(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", std::round(value * 100.0) / 100.0);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0')
            text.pop_back();
        if (text.back() == '.')
            text.pop_back();
    }
    if (text.rfind("0.", 0) == 0)
        text.erase(0, 1);
    return text;
}

}

std::string DurationText(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    constexpr long long kDayMs = 86400000LL;
    // Rounded to the millisecond, then the milliseconds are dropped; hours wrap at 24.
    auto const ms =
        static_cast<unsigned long long>(std::fmod(std::round(seconds * 1000.0), static_cast<double>(kDayMs)));
    unsigned long long const total = ms / 1000 % 86400;
    unsigned const parts[3] = { static_cast<unsigned>(total / 3600), static_cast<unsigned>(total / 60 % 60),
        static_cast<unsigned>(total % 60) };
    std::string text;
    for (unsigned const part : parts) {
        if (!text.empty())
            text += ':';
        text += static_cast<char>('0' + part / 10);
        text += static_cast<char>('0' + part % 10);
    }
    if (text.starts_with("00"))
        text.erase(0, 3);
    return text;
}

std::string DurationTextFromPlayTime(std::string_view playTime) { return DurationText(ParseIniFloat(playTime, 0.0)); }

std::string SizeText(int64_t bytes, const TPlayerSession* session)
{
    if (bytes <= 0)
        return "0 bytes";
    constexpr double kKB = 1024.0;
    constexpr double kMB = 1048576.0;
    constexpr double kGB = 1073741824.0;
    auto const n = static_cast<double>(bytes);
    if (bytes > 1073741824LL)
        return FormatUpToTwoDecimals(n / kGB) + " " + (session ? session->Text("ItemData.GB") : "ItemData.GB");
    if (bytes > 1048576LL)
        return FormatUpToTwoDecimals(n / kMB) + " " + (session ? session->Text("ItemData.MB") : "ItemData.MB");
    if (bytes > 1024LL)
        return FormatUpToTwoDecimals(n / kKB) + " " + (session ? session->Text("ItemData.KB") : "ItemData.KB");
    return std::to_string(bytes) + " bytes";
}

std::string ChannelsText(std::string_view channels, const TPlayerSession* session)
{
    static constexpr const char* kKeys[] = {
        "Channels.Unknown",
        "Channels.Mono",
        "Channels.Stereo",
        "Channels.3",
        "Channels.4",
        "Channels.4",
        "Channels.5",
        "Channels.5.1",
    };
    int const count = ParseIniInteger(channels, -1);
    if (count < 0 || count > 7 || channels.empty())
        return std::string(channels);
    return session ? session->Text(kKeys[count]) : kKeys[count];
}

std::optional<std::string> RatingFromTag(std::string_view rating)
{
    int const value = ParseIniInteger(rating, 0);
    if (value < 0 || value > 256)
        return std::nullopt;
    if (value == 0)
        return "0";
    // 1-51 -> 1, 52-102 -> 2, ... 205-256 -> 5
    int const stars = value >= 205 ? 5 : (value - 1) / 51 + 1;
    return std::to_string(stars);
}

std::string RatingTagValue(int stars) { return std::to_string(std::clamp(stars, 0, 5) * 51); }

std::string SizeGroupLabel(std::string_view fileSize)
{
    // 64-bit: files of 2 GiB and more land in the top bucket instead of wrapping.
    int64_t const bytes = ParseIniInt64(fileSize, 0);
    double const megabytes = std::nearbyint(static_cast<double>(bytes) / 1048576.0); // ties to even
    if (megabytes <= 1)
        return "1 Mb and Less";
    if (megabytes <= 5)
        return "1 Mb to 5 Mb";
    if (megabytes <= 10)
        return "5 Mb to 10 Mb";
    if (megabytes <= 50)
        return "10 Mb to 50 Mb";
    if (megabytes <= 100)
        return "50 Mb to 100 Mb";
    if (megabytes <= 150)
        return "100 Mb to 150 Mb";
    if (megabytes <= 200)
        return "150 Mb to 200 Mb";
    if (megabytes <= 250)
        return "200 Mb to 250 Mb";
    if (megabytes <= 500)
        return "250 Mb to 500 Mb";
    return "500 Mb +";
}

std::string FormatPlayTime(double seconds) { return FormatIniFloat(seconds); }

int64_t FileSizeOf(std::string const& path)
{
    std::error_code error;
    auto const size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<int64_t>(size);
}

}
