// ReplayGain: reading the values from every tag kind, parsing them, and the factor each mode
// gives.

#include "player/playback/ReplayGain.h"

#include "library/TrackData.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "tags/Tags.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace vantor {
namespace {

TEST(ReplayGain, ParsesGainsAndPeaksAndRefusesTheRest)
{
    struct TCase {
        const char* Text;
        std::optional<double> Gain;
        std::optional<double> Peak;
    };
    const TCase cases[] = {
        { "-6.02 dB", -6.02, std::nullopt },
        { "+1.5 dB", 1.5, 1.5 },
        { " 0,988 ", 0.988, 0.988 },
        { "-3db", -3.0, std::nullopt },
        { "2", 2.0, 2.0 },
        { "", std::nullopt, std::nullopt },
        { "dB", std::nullopt, std::nullopt },
        { "loud", std::nullopt, std::nullopt },
        { "nan", std::nullopt, std::nullopt },
        { "1e400", std::nullopt, std::nullopt },
        { "-61 dB", std::nullopt, std::nullopt },
        { "0", 0.0, std::nullopt },
        { "-0.5", -0.5, std::nullopt },
        { "150", std::nullopt, std::nullopt },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ParseReplayGain(c.Text), c.Gain);
        EXPECT_EQ(ParseReplayGainPeak(c.Text), c.Peak);
    }
}

TEST(ReplayGain, FactorFollowsTheModeThePeakAndThePreamp)
{
    TReplayGainValues both;
    both.TrackGain = -6.0;
    both.AlbumGain = -12.0;
    TReplayGainValues trackOnly;
    trackOnly.TrackGain = -6.0;
    TReplayGainValues loudPeak;
    loudPeak.TrackGain = 6.0;
    loudPeak.TrackPeak = 0.8;
    struct TCase {
        const char* Name;
        TReplayGainValues Values;
        TReplayGainMode Mode;
        double Preamp;
        double Db;
    };
    const TCase cases[] = {
        { "off", both, TReplayGainMode::Off, 5.0, 0.0 },
        { "track", both, TReplayGainMode::Track, 5.0, -6.0 },
        { "album", both, TReplayGainMode::Album, 5.0, -12.0 },
        { "album missing: track", trackOnly, TReplayGainMode::Album, 5.0, -6.0 },
        { "peak limits the gain", loudPeak, TReplayGainMode::Track, 0.0, 20.0 * std::log10(1.0 / 0.8) },
        { "no gain: preamp", {}, TReplayGainMode::Track, -4.0, -4.0 },
    };
    for (const TCase& c : cases)
        EXPECT_NEAR(20.0 * std::log10(ReplayGainFactor(c.Values, c.Mode, c.Preamp)), c.Db, 1e-4) << c.Name;
}

// Each tag kind: ID3v2 TXXX, Vorbis comments, APEv2 items, MP4 free-form atoms (written here
// with the tag library, as ffmpeg does not write them); values the record holds come first.
TEST(ReplayGain, ReadFromEveryTagKind)
{
    const auto m4a = test::TempDir() / "replaygain.m4a";
    std::filesystem::copy_file(test::Fixture("sine-aac.m4a"), m4a, std::filesystem::copy_options::overwrite_existing);
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(m4a.string()), 0);
        tags.SetTag("REPLAYGAIN_TRACK_GAIN", "-6.02 dB");
        tags.SetTag("REPLAYGAIN_TRACK_PEAK", "0.5");
        tags.SetTag("REPLAYGAIN_ALBUM_GAIN", "-12.04 dB");
        tags.SetTag("REPLAYGAIN_ALBUM_PEAK", "0.5");
        ASSERT_EQ(tags.SaveToFile(m4a.string()), 0);
    }
    for (const std::string& path : { test::Fixture("replaygain.mp3"), test::Fixture("replaygain.flac"),
             test::Fixture("replaygain.wv"), m4a.string() }) {
        SCOPED_TRACE(path);
        TTrackData track;
        track.SetTag("FilePath", path);
        const TReplayGainValues values = ReadReplayGain(track);
        EXPECT_EQ(values.TrackGain, -6.02);
        EXPECT_EQ(values.TrackPeak, 0.5);
        EXPECT_EQ(values.AlbumGain, -12.04);
        EXPECT_EQ(values.AlbumPeak, 0.5);
    }

    TTrackData untagged;
    untagged.SetTag("FilePath", test::Fixture("sine.flac"));
    EXPECT_FALSE(ReadReplayGain(untagged).TrackGain);
    TTrackData missing;
    missing.SetTag("FilePath", (test::TempDir() / "gone.flac").string());
    EXPECT_FALSE(ReadReplayGain(missing).TrackGain);

    TTrackData recorded;
    recorded.SetTag("FilePath", test::Fixture("replaygain.flac"));
    recorded.SetTag("replaygain_track_gain", "-1 dB");
    EXPECT_EQ(ReadReplayGain(recorded).TrackGain, -1.0);
    EXPECT_FALSE(ReadReplayGain(recorded).AlbumGain) << "the record's values are taken as a whole";
}

}
}
