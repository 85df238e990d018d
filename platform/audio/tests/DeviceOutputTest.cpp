// Real output through SDL: its disk driver writes what the device would play to a file, which
// the tests read back.
#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <numbers>
#include <thread>

namespace vantor {
namespace {

class DeviceOutputTest : public testing::Test {
protected:
    // Plays a file on the default device, after setup has adjusted the stream, until the
    // device's output holds the given number of stereo frames from the first sound on (or 30 s
    // passed: the callers' size checks fail then), and returns that output.
    std::vector<float> PlayThroughDevice(
        const std::string& path, const std::function<void(TAudioEngine&, TChannelHandle)>& setup, size_t frames = 8000)
    {
        const auto rawFile =
            test::TempDir() / (std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ".raw");
        std::filesystem::remove(rawFile);
        {
            test::TScopedEnv driver("SDL_AUDIODRIVER", "disk");
            test::TScopedEnv file("SDL_DISKAUDIOFILE", rawFile.string());
            TAudioEngine engine;
            if (!engine.Init(44100))
                return {};
            const TChannelHandle h = engine.StreamCreateFile(path);
            if (h == 0)
                return {};
            setup(engine, h);
            engine.ChannelPlay(h);
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (test::RecordedSound(rawFile).size() < 2 * frames && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return test::RecordedSound(rawFile);
    }

    // Amplitude at a frequency over 0.1 s, starting 20 ms into the sound.
    static double Level(const std::vector<float>& output, int channel, double frequency)
    {
        return test::ToneAmplitude(output, channel, frequency, 44100, 882, 4410);
    }

    std::string QuietSine()
    {
        const auto path = test::TempDir() / "quiet-sine.wav";
        if (!std::filesystem::exists(path))
            test::WriteWav(path, 44100, 2, 2.0, test::Sine(1000.0, 0.1));
        return path.string();
    }
};

// A 1 kHz sine (a 48 kHz mono FLAC, resampled for the device) reaches both sides at its level.
TEST_F(DeviceOutputTest, SineReachesTheDevice)
{
    const auto out = PlayThroughDevice(test::Fixture("sine.flac"), [](TAudioEngine&, TChannelHandle) {});
    ASSERT_GT(out.size(), 2u * 6000);
    for (int ch = 0; ch < 2; ++ch) {
        EXPECT_NEAR(Level(out, ch, 1000.0), 0.5, 0.01) << ch;
        EXPECT_LT(Level(out, ch, 900.0), 0.01) << ch;
        EXPECT_LT(Level(out, ch, 1100.0), 0.01) << ch;
    }
}

struct TDeviceCase {
    const char* Name;
    std::function<void(TAudioEngine&, TChannelHandle)> Setup;
    double LeftDb; // change of the left level at 1 kHz, or -100 for silence
    double RightDb;
};

TEST_F(DeviceOutputTest, VolumePanAndEqualizerShapeTheOutput)
{
    const std::vector<TDeviceCase> cases = {
        { "volume 0.5",
            [](TAudioEngine& e, TChannelHandle h) { e.ChannelSetAttribute(h, TChannelAttribute::Volume, 0.5f); },
            test::Db(0.5), test::Db(0.5) },
        { "pan -1", [](TAudioEngine& e, TChannelHandle h) { e.ChannelSetAttribute(h, TChannelAttribute::Pan, -1.0f); },
            0.0, -100.0 },
        { "+12 dB at 1 kHz",
            [](TAudioEngine& e, TChannelHandle h) {
                e.FXSetParameters(e.ChannelSetFX(h, TEffectType::ParamEq, 1), { 1000.0f, 18.0f, 12.0f });
            },
            12.0, 12.0 },
    };
    for (const TDeviceCase& c : cases) {
        const auto out = PlayThroughDevice(QuietSine(), c.Setup);
        ASSERT_GT(out.size(), 2u * 6000) << c.Name;
        const double levels[2] = { Level(out, 0, 1000.0), Level(out, 1, 1000.0) };
        const double expected[2] = { c.LeftDb, c.RightDb };
        for (int ch = 0; ch < 2; ++ch) {
            if (expected[ch] <= -100.0)
                EXPECT_LT(levels[ch], 1e-5) << c.Name << " channel " << ch;
            else
                EXPECT_NEAR(test::Db(levels[ch] / 0.1), expected[ch], 1.0) << c.Name << " channel " << ch;
        }
    }
}

// A seek to half of a ten-second file before playing starts the sound at second 5 (700 Hz).
TEST_F(DeviceOutputTest, SeekToHalfPlaysFromFiveSeconds)
{
    const auto out = PlayThroughDevice(test::Fixture("steps10s.mp3"),
        [](TAudioEngine& e, TChannelHandle h) { e.ChannelSetPosition(h, e.ChannelGetLength(h) / 2 / 4 * 4); });
    ASSERT_GT(out.size(), 2u * 6000);
    EXPECT_NEAR(Level(out, 0, 700.0), 0.5, 0.05);
    EXPECT_LT(Level(out, 0, 600.0), 0.05);
}

// The joint fixtures: one cosine of 1234 Hz at half scale, cut at sample 23456 of 44.1 kHz.
constexpr double kJointFrequency = 1234.0;
constexpr size_t kJointAt = 23456;
constexpr size_t kJointTotal = kJointAt + 20000;

double JointSignal(double seconds) { return 0.5 * std::cos(2.0 * std::numbers::pi * kJointFrequency * seconds); }

struct TJointCase {
    const char* Name;
    std::function<std::pair<std::string, std::string>()> Files;
    double Tolerance; // largest difference from the uncut cosine, both sides
};

// Two tracks linked for gapless playback sound like the uncut signal: no gap, no jump in phase
// and no click at the joint, and no sample lost or added at the end.
TEST_F(DeviceOutputTest, LinkedTracksJoinWithoutAGap)
{
    auto wav = [](const char* name, int rate, int channels, double offset, double seconds) {
        const auto path = test::TempDir() / name;
        test::WriteWav(path, rate, channels, seconds, [=](double t, int) { return JointSignal(t + offset); });
        return path.string();
    };
    const double first = double(kJointAt) / 44100;
    const double second = double(kJointTotal - kJointAt) / 44100;
    const std::vector<TJointCase> cases = {
        { "wav", [&] { return std::pair(wav("a.wav", 44100, 1, 0, first), wav("b.wav", 44100, 1, first, second)); },
            1e-3 },
        { "flac", [] { return std::pair(test::Fixture("joint-a.flac"), test::Fixture("joint-b.flac")); }, 1e-3 },
        // Lossy: each track alone decodes within 0.053 of the cosine (worst at its edges), while
        // a shift by one sample already makes 0.09, and a gap or the encoder's delay far more.
        { "mp3", [] { return std::pair(test::Fixture("joint-a.mp3"), test::Fixture("joint-b.mp3")); }, 0.06 },
        // 44.1 kHz mono, then 48 kHz stereo: the second is resampled for the open output.
        { "rate and channels change",
            [&] { return std::pair(wav("a.wav", 44100, 1, 0, first), wav("b.wav", 48000, 2, first, second)); }, 0.02 },
    };
    for (const TJointCase& c : cases) {
        const auto files = c.Files();
        const std::string& b = files.second;
        const auto out = PlayThroughDevice(
            files.first, [&b](TAudioEngine& e, TChannelHandle h) { e.ChannelSetNext(h, e.StreamCreateFile(b)); },
            kJointTotal + 4410);
        ASSERT_GE(out.size(), 2 * (kJointTotal + 4410)) << c.Name;
        double worst = 0.0;
        size_t worstAt = 0;
        for (size_t i = 0; i < kJointTotal; ++i) {
            for (int ch = 0; ch < 2; ++ch) {
                const double error = std::abs(out[2 * i + ch] - JointSignal(double(i) / 44100));
                if (error > worst) {
                    worst = error;
                    worstAt = i;
                }
            }
        }
        EXPECT_LT(worst, c.Tolerance) << c.Name << " at frame " << worstAt << " (joint at " << kJointAt << ")";
        // Silence follows the last sample of the second track.
        double after = 0.0;
        for (size_t i = 2 * (kJointTotal + 8); i < out.size(); ++i)
            after = std::max(after, double(std::abs(out[i])));
        EXPECT_LT(after, c.Tolerance) << c.Name;
    }
}

TEST_F(DeviceOutputTest, InitFailsWithoutAUsableDevice)
{
    test::TScopedEnv driver("SDL_AUDIODRIVER", "no-such-driver");
    TAudioEngine engine;
    EXPECT_FALSE(engine.Init(44100));
    EXPECT_FALSE(engine.IsInitialized());
    EXPECT_EQ(engine.StreamCreateFile(test::Fixture("sine.wav")), 0u);
}

}
}
