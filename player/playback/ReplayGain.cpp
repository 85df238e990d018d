#include "player/playback/ReplayGain.h"

#include "base/IniValues.h"
#include "library/TrackData.h"
#include "tags/Tags.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <string>

namespace vantor {

namespace {

constexpr double kMaxGainDb = 60.0;
constexpr double kMaxPeak = 100.0;

constexpr char const* kTrackGain = "REPLAYGAIN_TRACK_GAIN";
constexpr char const* kTrackPeak = "REPLAYGAIN_TRACK_PEAK";
constexpr char const* kAlbumGain = "REPLAYGAIN_ALBUM_GAIN";
constexpr char const* kAlbumPeak = "REPLAYGAIN_ALBUM_PEAK";

std::optional<double> ParseNumber(std::string_view text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.size() >= 2) {
        std::string_view const unit = text.substr(text.size() - 2);
        if ((unit[0] == 'd' || unit[0] == 'D') && (unit[1] == 'b' || unit[1] == 'B'))
            text.remove_suffix(2);
    }
    double const value = ParseIniFloat(text, std::numeric_limits<double>::quiet_NaN());
    return std::isnan(value) ? std::nullopt : std::optional<double>(value);
}

template <class TGet>
TReplayGainValues Collect(TGet const& get)
{
    TReplayGainValues values;
    values.TrackGain = ParseReplayGain(get(kTrackGain));
    values.TrackPeak = ParseReplayGainPeak(get(kTrackPeak));
    values.AlbumGain = ParseReplayGain(get(kAlbumGain));
    values.AlbumPeak = ParseReplayGainPeak(get(kAlbumPeak));
    return values;
}

bool Empty(TReplayGainValues const& v) { return !v.TrackGain && !v.TrackPeak && !v.AlbumGain && !v.AlbumPeak; }

}

std::optional<double> ParseReplayGain(std::string_view text)
{
    auto const value = ParseNumber(text);
    if (!value || std::abs(*value) > kMaxGainDb)
        return std::nullopt;
    return value;
}

std::optional<double> ParseReplayGainPeak(std::string_view text)
{
    auto const value = ParseNumber(text);
    if (!value || *value <= 0.0 || *value > kMaxPeak)
        return std::nullopt;
    return value;
}

TReplayGainValues ReadReplayGain(TTrackData const& track)
{
    TReplayGainValues values = Collect([&track](char const* key) { return track.GetTag(key); });
    if (!Empty(values))
        return values;
    try {
        TTags tags;
        tags.LoadFromFile(track.GetTag("FilePath"));
        if (tags.Loaded)
            values = Collect([&tags](char const* key) { return tags.GetTag(key); });
    } catch (const std::exception&) {
        // A file whose tags cannot be read plays without correction.
    }
    return values;
}

float ReplayGainFactor(TReplayGainValues const& values, TReplayGainMode mode, double preampDb)
{
    if (mode == TReplayGainMode::Off)
        return 1.0f;
    bool const album = mode == TReplayGainMode::Album;
    std::optional<double> gain = album ? values.AlbumGain : values.TrackGain;
    std::optional<double> peak = album ? values.AlbumPeak : values.TrackPeak;
    if (!gain) {
        gain = album ? values.TrackGain : values.AlbumGain;
        peak = album ? values.TrackPeak : values.AlbumPeak;
    }
    if (!gain)
        return static_cast<float>(std::pow(10.0, std::clamp(preampDb, -kMaxGainDb, kMaxGainDb) / 20.0));
    double factor = std::pow(10.0, *gain / 20.0);
    // The peak times the factor stays at full scale, so the correction never clips.
    if (peak)
        factor = std::min(factor, 1.0 / *peak);
    return static_cast<float>(factor);
}

}
