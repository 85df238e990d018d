// The engine on a manual null output: decoding of each format, positions and lengths, play
// state, seeking and misuse of handles.
#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using test::Fixture;
using test::TManualEngine;

struct TFormatCase {
    const char* File;
    int Rate;
    int Channels;
    double Seconds;
    bool Tone; // holds the 1 kHz sine
};

class FormatTest : public testing::TestWithParam<TFormatCase> { };

// Every format opens with its own rate and channels, plays to its end, ends with the position
// equal to the length, and sounds like the sine it holds on both sides.
TEST_P(FormatTest, PlaysToTheEnd)
{
    const TFormatCase& c = GetParam();
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile(Fixture(c.File));
    ASSERT_NE(h, 0u);
    const double bytesPerSecond = double(c.Rate) * c.Channels * 2;
    EXPECT_NEAR(m.Engine.ChannelGetLength(h) / bytesPerSecond, c.Seconds, 0.06 * c.Seconds);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 0);
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Stopped);

    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Playing);
    m.PlayOut(h, 5.0);
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Stopped);
    const int64_t length = m.Engine.ChannelGetLength(h);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), length);
    EXPECT_EQ(length % (c.Channels * 2), 0);
    EXPECT_NEAR(length / bytesPerSecond, c.Seconds, 0.06 * c.Seconds);
    EXPECT_NEAR(m.Engine.ChannelBytes2Seconds(h, length), length / bytesPerSecond, 1e-9);

    // Played again (through a seek to 0) it decodes to the same end.
    const size_t firstRun = m.Captured().size();
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.PlayOut(h, 5.0);
    EXPECT_EQ(m.Engine.ChannelGetLength(h), length);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), length);
    m.Output->resize(firstRun);

    if (c.Tone) {
        const size_t middle = 44100 / 4;
        for (int ch = 0; ch < 2; ++ch)
            EXPECT_NEAR(test::ToneAmplitude(m.Captured(), ch, 1000.0, 44100, middle, 22050), 0.5, 0.06)
                << "channel " << ch;
    }
}

INSTANTIATE_TEST_SUITE_P(Audio, FormatTest,
    testing::Values(TFormatCase { "sine.mp3", 44100, 2, 1.0, true }, TFormatCase { "sine.flac", 48000, 1, 1.0, true },
        TFormatCase { "sine-piped.flac", 8000, 1, 1.0, true }, TFormatCase { "sine.ogg", 22050, 1, 1.0, true },
        TFormatCase { "sine.opus", 48000, 2, 1.0, true }, TFormatCase { "sine-aac.m4a", 44100, 1, 1.0, true },
        TFormatCase { "sine-alac.m4a", 8000, 1, 1.0, true }, TFormatCase { "sine.wma", 22050, 1, 1.0, true },
        TFormatCase { "sine.wav", 8000, 2, 1.0, true }, TFormatCase { "sine-rf64.wav", 8000, 1, 1.0, true },
        TFormatCase { "sine.aiff", 8000, 1, 1.0, true }, TFormatCase { "sine.wv", 8000, 1, 1.0, true },
        TFormatCase { "silence.dsf", 352800, 2, 0.02322, false },
        TFormatCase { "silence.dff", 352800, 2, 0.01161, false }),
    [](const testing::TestParamInfo<TFormatCase>& info) {
        std::string name = info.param.File;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

// FFmpeg loading ahead on its own thread while a stream opens on the calling thread: the
// stream waits for the load and plays.
TEST(AudioEngineTest, StreamsOpenWhileDecodingLoadsAhead)
{
    TManualEngine m;
    m.Engine.PreloadDecoding();
    m.Engine.PreloadDecoding();
    const TChannelHandle h = m.Engine.StreamCreateFile(Fixture("sine.flac"));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.PlayOut(h, 5.0);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), m.Engine.ChannelGetLength(h));
}

TEST(AudioEngineTest, CallsOnInvalidHandlesFailWithoutEffect)
{
    TAudioEngine idle;
    EXPECT_EQ(idle.StreamCreateFile(Fixture("sine.wav")), 0u) << "before Init";

    TManualEngine m;
    const TChannelHandle freed = m.Engine.StreamCreateFile(Fixture("sine.wav"));
    ASSERT_NE(freed, 0u);
    const TFxHandle freedFx = m.Engine.ChannelSetFX(freed, TEffectType::ParamEq, 1);
    ASSERT_NE(freedFx, 0u);
    ASSERT_TRUE(m.Engine.StreamFree(freed));
    const TChannelHandle live = m.Engine.StreamCreateFile(Fixture("sine.wav"));
    ASSERT_NE(live, 0u);
    EXPECT_NE(live, freed) << "handles are not reused";

    for (TChannelHandle h : { TChannelHandle(0), freed }) {
        EXPECT_FALSE(m.Engine.ChannelPlay(h));
        EXPECT_FALSE(m.Engine.ChannelPause(h));
        EXPECT_FALSE(m.Engine.ChannelStop(h));
        EXPECT_FALSE(m.Engine.StreamFree(h));
        EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Stopped);
        EXPECT_EQ(m.Engine.ChannelGetLength(h), -1);
        EXPECT_EQ(m.Engine.ChannelGetPosition(h), -1);
        EXPECT_LT(m.Engine.ChannelBytes2Seconds(h, 100), 0.0);
        EXPECT_FALSE(m.Engine.ChannelSetPosition(h, 0));
        EXPECT_FALSE(m.Engine.ChannelSetAttribute(h, TChannelAttribute::Volume, 0.5f));
        EXPECT_FALSE(m.Engine.ChannelSetGain(h, 0.5f));
        EXPECT_FALSE(m.Engine.ChannelSetNext(h, live));
        EXPECT_FALSE(m.Engine.ChannelSetNext(live, h == 0 ? live : h)) << "itself or a freed stream";
        EXPECT_EQ(m.Engine.ChannelSetFX(h, TEffectType::ParamEq, 1), 0u);
        EXPECT_FALSE(m.Engine.ChannelRemoveFX(h, freedFx));
    }
    EXPECT_FALSE(m.Engine.FXSetParameters(freedFx, { 1000.0f, 18.0f, 6.0f }));
    EXPECT_FALSE(m.Engine.FXSetParameters(0, { 1000.0f, 18.0f, 6.0f }));

    // The live stream saw none of it.
    float volume = 0.0f;
    ASSERT_TRUE(m.Engine.ChannelGetAttribute(live, TChannelAttribute::Volume, volume));
    EXPECT_EQ(volume, 1.0f);
    EXPECT_EQ(m.Engine.ChannelIsActive(live), TChannelState::Stopped);
    EXPECT_EQ(m.Engine.ChannelGetPosition(live), 0);
}

TEST(AudioEngineTest, UnusableFilesFailToOpen)
{
    const auto dir = test::TempDir();
    test::WriteBytes(dir / "text.mp3", std::vector<char>(400, 'x'));
    std::string text = "This is a note about a song, not a song.\n";
    std::vector<char> note;
    for (int i = 0; i < 50; ++i)
        note.insert(note.end(), text.begin(), text.end());
    test::WriteBytes(dir / "note.mp3", note);
    test::WriteBytes(dir / "empty.flac", {});
    std::vector<char> noise(20000);
    uint32_t seed = 12345;
    for (char& c : noise)
        c = char((seed = seed * 1103515245 + 12345) >> 16);
    test::WriteBytes(dir / "noise.ogg", noise);
    // The stream header of a FLAC file without a single audio frame.
    auto flac = test::ReadBytes(Fixture("sine.flac"));
    flac.resize(100);
    test::WriteBytes(dir / "header-only.flac", flac);

    // A concat script dressed as an MP3 would make the demuxer open the file it names.
    std::filesystem::copy_file(
        Fixture("sine.wav"), dir / "segment.wav", std::filesystem::copy_options::overwrite_existing);
    const std::string script = "ffconcat version 1.0\nfile segment.wav\n";
    test::WriteBytes(dir / "script.mp3", std::vector<char>(script.begin(), script.end()));

    TManualEngine m;
    for (const char* name :
        { "text.mp3", "note.mp3", "empty.flac", "noise.ogg", "header-only.flac", "missing.mp3", "script.mp3" })
        EXPECT_EQ(m.Engine.StreamCreateFile((dir / name).string()), 0u) << name;
    EXPECT_EQ(m.Engine.StreamCreateFile(dir.string()), 0u) << "a folder";
    EXPECT_EQ(m.Engine.StreamCreateMemory(std::as_bytes(std::span(note))), 0u);
}

// A path is a file, whatever it looks like: "pipe:0.wav" must not read standard input.
TEST(AudioEngineTest, PathsAreFilesNotUrls)
{
    const auto dir = test::TempDir();
    std::filesystem::copy_file(
        Fixture("sine.wav"), dir / "pipe:0.wav", std::filesystem::copy_options::overwrite_existing);
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile("pipe:0.wav");
    std::filesystem::current_path(cwd);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(m.Engine.ChannelGetLength(h), 8000 * 4);
}

// A file cut short plays what it holds; its end is where the audio ends, not where the
// header said.
TEST(AudioEngineTest, TruncatedFilePlaysToItsRealEnd)
{
    const auto dir = test::TempDir();
    test::WriteWav(dir / "full.wav", 44100, 2, 2.0, test::Sine(1000.0, 0.5));
    auto bytes = test::ReadBytes(dir / "full.wav");
    bytes.resize(44 + 44100 * 4 / 2); // header and half a second
    test::WriteBytes(dir / "cut.wav", bytes);

    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile((dir / "cut.wav").string());
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.PlayOut(h);
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Stopped);
    EXPECT_EQ(m.Engine.ChannelGetLength(h), 44100 * 4 / 2);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), m.Engine.ChannelGetLength(h));
}

// When the container understates the length, the length grows ahead of the position, so the
// end is not reported before the audio ends.
TEST(AudioEngineTest, LengthGrowsWhenTheHeaderUnderstatesIt)
{
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile(Fixture("vbr-no-header.mp3"));
    ASSERT_NE(h, 0u);
    EXPECT_LT(m.Engine.ChannelBytes2Seconds(h, m.Engine.ChannelGetLength(h)), 2.5);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    for (double played = 0.0; m.Engine.ChannelIsActive(h) == TChannelState::Playing; played += 0.1) {
        const int64_t position = m.Engine.ChannelGetPosition(h);
        ASSERT_LT(position, m.Engine.ChannelGetLength(h));
        ASSERT_NEAR(m.Engine.ChannelBytes2Seconds(h, position), played, 0.001);
        m.Engine.Advance(0.1);
    }
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), m.Engine.ChannelGetLength(h));
    EXPECT_NEAR(m.Engine.ChannelBytes2Seconds(h, m.Engine.ChannelGetLength(h)), 3.0, 0.05);
    EXPECT_NEAR(m.Captured().size() / 2 / 44100.0, 3.0, 0.11);
}

TEST(AudioEngineTest, StreamFromMemoryPlays)
{
    const auto bytes = test::ReadBytes(Fixture("sine.ogg"));
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateMemory(std::as_bytes(std::span(bytes)));
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.PlayOut(h);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), m.Engine.ChannelGetLength(h));
    EXPECT_NEAR(test::ToneAmplitude(m.Captured(), 0, 1000.0, 44100, 11025, 22050), 0.5, 0.06);
}

// Pause halts with the position kept, play resumes there, stop keeps the position too, and a
// stream that has ended starts again from the beginning.
TEST(AudioEngineTest, PauseResumeStopAndReplay)
{
    const auto dir = test::TempDir();
    test::WriteWav(dir / "two.wav", 44100, 2, 2.0, test::Sine(440.0, 0.5));
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile((dir / "two.wav").string());
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(m.Engine.ChannelPause(h)) << "not playing yet";
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.Engine.Advance(0.5);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 22050 * 4);

    ASSERT_TRUE(m.Engine.ChannelPause(h));
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Paused);
    m.Engine.Advance(0.3);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 22050 * 4);

    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.Engine.Advance(0.25);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), (22050 + 11025) * 4);

    ASSERT_TRUE(m.Engine.ChannelStop(h));
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Stopped);
    m.Engine.Advance(0.25);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), (22050 + 11025) * 4);

    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.PlayOut(h);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 88200 * 4);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 0);
    m.Engine.Advance(0.1);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 4410 * 4);
}

// A linked stream takes over when its predecessor ends: the first reports its end, the second
// plays on; the link is used once, and freeing the second before the end leaves the first to
// end alone.
TEST(AudioEngineTest, LinkedStreamTakesOverAtTheEnd)
{
    const auto dir = test::TempDir();
    test::WriteWav(dir / "short.wav", 44100, 2, 0.2, test::Sine(440.0, 0.5));
    TManualEngine m;
    const TChannelHandle a = m.Engine.StreamCreateFile((dir / "short.wav").string());
    const TChannelHandle b = m.Engine.StreamCreateFile(Fixture("sine.flac"));
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    ASSERT_TRUE(m.Engine.ChannelSetNext(a, b));
    ASSERT_TRUE(m.Engine.ChannelPlay(a));
    m.Engine.Advance(0.3);
    EXPECT_EQ(m.Engine.ChannelIsActive(a), TChannelState::Stopped);
    EXPECT_EQ(m.Engine.ChannelGetPosition(a), m.Engine.ChannelGetLength(a));
    EXPECT_EQ(m.Engine.ChannelIsActive(b), TChannelState::Playing);
    // 0.1 s of the 48 kHz mono source, in whole output blocks of 1024 frames.
    EXPECT_NEAR(double(m.Engine.ChannelGetPosition(b)) / 2 / 48000, 0.1, 0.03);

    // Played again, the first stream ends without a link: the second is not restarted.
    m.PlayOut(b);
    ASSERT_TRUE(m.Engine.ChannelPlay(a));
    m.Engine.Advance(0.3);
    EXPECT_EQ(m.Engine.ChannelIsActive(b), TChannelState::Stopped);
    EXPECT_EQ(m.Engine.ChannelGetPosition(b), m.Engine.ChannelGetLength(b));

    // A second that has ended before starts over when linked again; freed, it unlinks itself.
    ASSERT_TRUE(m.Engine.ChannelSetNext(a, b));
    EXPECT_EQ(m.Engine.ChannelGetPosition(b), 0);
    ASSERT_TRUE(m.Engine.ChannelPlay(a));
    ASSERT_TRUE(m.Engine.StreamFree(b));
    m.Engine.Advance(0.3);
    EXPECT_EQ(m.Engine.ChannelIsActive(a), TChannelState::Stopped);
    EXPECT_EQ(m.Engine.ChannelGetPosition(a), m.Engine.ChannelGetLength(a));
}

struct TSeekCase {
    const char* File; // empty: a generated 10 s WAV
    int Channels;
};

class SeekTest : public testing::TestWithParam<TSeekCase> { };

// A seek to half of a ten-second file is reported at once and plays second 5 (700 Hz).
TEST_P(SeekTest, HalfwayPlaysFromFiveSeconds)
{
    std::string path = GetParam().File;
    if (path.empty()) {
        path = (test::TempDir() / "steps.wav").string();
        test::WriteWav(path, 44100, 2, 10.0,
            [](double t, int) { return 0.5 * std::sin(2.0 * std::numbers::pi * test::StepFrequency(t) * t); });
    } else {
        path = Fixture(path);
    }
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile(path);
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.Engine.Advance(0.2);

    const int64_t frameBytes = GetParam().Channels * 2;
    const int64_t target = m.Engine.ChannelGetLength(h) / 2 / frameBytes * frameBytes;
    ASSERT_TRUE(m.Engine.ChannelSetPosition(h, target));
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), target);
    EXPECT_NEAR(m.Engine.ChannelBytes2Seconds(h, target), 5.0, 0.03);

    const size_t from = m.Captured().size() / 2;
    m.Engine.Advance(0.2);
    EXPECT_NEAR(m.Engine.ChannelBytes2Seconds(h, m.Engine.ChannelGetPosition(h)),
        m.Engine.ChannelBytes2Seconds(h, target) + 0.2, 0.01);
    const size_t start = from + 441; // skip 10 ms
    EXPECT_GT(test::ToneAmplitude(m.Captured(), 0, 700.0, 44100, start, 4410), 0.4);
    EXPECT_LT(test::ToneAmplitude(m.Captured(), 0, 600.0, 44100, start, 4410), 0.05);
    EXPECT_LT(test::ToneAmplitude(m.Captured(), 0, 800.0, 44100, start, 4410), 0.05);

    EXPECT_FALSE(m.Engine.ChannelSetPosition(h, m.Engine.ChannelGetLength(h) + frameBytes));
    EXPECT_FALSE(m.Engine.ChannelSetPosition(h, -1));
}

INSTANTIATE_TEST_SUITE_P(Audio, SeekTest, testing::Values(TSeekCase { "", 2 }, TSeekCase { "steps10s.mp3", 2 }));

// A seek while paused is reported at once and heard when play resumes; a seek after the end
// moves the position without starting playback.
TEST(AudioEngineTest, SeekWhilePausedAndAfterTheEnd)
{
    const auto path = test::TempDir() / "steps-paused.wav";
    test::WriteWav(path, 22050, 1, 10.0,
        [](double t, int) { return 0.5 * std::sin(2.0 * std::numbers::pi * test::StepFrequency(t) * t); });
    TManualEngine m;
    const TChannelHandle h = m.Engine.StreamCreateFile(path.string());
    ASSERT_NE(h, 0u);
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.Engine.Advance(0.1);
    ASSERT_TRUE(m.Engine.ChannelPause(h));
    ASSERT_TRUE(m.Engine.ChannelSetPosition(h, 22050 * 2 * 8));
    m.Engine.Advance(0.1);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 22050 * 2 * 8);
    const size_t from = m.Captured().size() / 2;
    ASSERT_TRUE(m.Engine.ChannelPlay(h));
    m.Engine.Advance(0.1);
    EXPECT_GT(test::ToneAmplitude(m.Captured(), 0, 1000.0, 44100, from + 441, 2205), 0.4);

    m.PlayOut(h);
    ASSERT_EQ(m.Engine.ChannelGetPosition(h), m.Engine.ChannelGetLength(h));
    ASSERT_TRUE(m.Engine.ChannelSetPosition(h, 22050 * 2));
    m.Engine.Advance(0.2);
    EXPECT_EQ(m.Engine.ChannelIsActive(h), TChannelState::Stopped);
    EXPECT_EQ(m.Engine.ChannelGetPosition(h), 22050 * 2);
}

}
}
