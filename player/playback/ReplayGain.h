#pragma once

// ReplayGain: the level correction a track's tags ask for (REPLAYGAIN_TRACK_GAIN and _PEAK,
// REPLAYGAIN_ALBUM_GAIN and _PEAK, from ID3v2 TXXX frames, Vorbis comments, APEv2 items or MP4
// free-form atoms), as a factor for the track's stream.

#include <optional>
#include <string_view>

namespace vantor {

class TTrackData;

enum class TReplayGainMode { Off = 0, Track = 1, Album = 2 };

struct TReplayGainValues {
    std::optional<double> TrackGain; // dB
    std::optional<double> TrackPeak; // linear, 1.0 = full scale
    std::optional<double> AlbumGain;
    std::optional<double> AlbumPeak;
};

// "-6.02 dB", "+1.5 dB", "0,988": a number (either decimal mark), then an optional "dB".
// Nothing for text that is not such a number, for gains beyond +-60 dB and for peaks that are
// not positive or beyond 100 (a damaged tag must not make a track deafening or mute).
std::optional<double> ParseReplayGain(std::string_view text);
std::optional<double> ParseReplayGainPeak(std::string_view text);

// The values the track record holds; when it holds none, those of the file's tags.
TReplayGainValues ReadReplayGain(TTrackData const& track);

// The factor for the stream: the gain of the mode (the other kind when that one is missing),
// lowered so that the peak stays at full scale; preampDb for a track without any gain. 1 when
// the mode is Off.
float ReplayGainFactor(TReplayGainValues const& values, TReplayGainMode mode, double preampDb);

}
