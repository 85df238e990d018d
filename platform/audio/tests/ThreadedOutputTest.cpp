// The null output on its own thread, and commands racing the decoder and output threads (run
// these under ThreadSanitizer).
#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

namespace vantor {
namespace {

using Clock = std::chrono::steady_clock;

bool WaitUntilStopped(TAudioEngine& engine, TChannelHandle h, std::chrono::seconds limit)
{
    const auto end = Clock::now() + limit;
    while (engine.ChannelIsActive(h) == TChannelState::Playing) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// A clock twenty times faster than real time plays one second in no less than 50 ms.
TEST(ThreadedOutputTest, FastClockPlaysToTheEnd)
{
    TAudioEngine engine;
    TNullOutputOptions options;
    options.Speed = 20.0;
    ASSERT_TRUE(engine.InitNull(options));
    const TChannelHandle h = engine.StreamCreateFile(test::Fixture("sine.wav"));
    ASSERT_NE(h, 0u);
    const auto start = Clock::now();
    ASSERT_TRUE(engine.ChannelPlay(h));
    ASSERT_TRUE(WaitUntilStopped(engine, h, std::chrono::seconds(20)));
    EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(45));
    EXPECT_EQ(engine.ChannelGetPosition(h), engine.ChannelGetLength(h));
    EXPECT_FALSE(engine.Advance(0.1)) << "only a manual output advances on request";
}

// Commands from the UI thread while the decoder and output threads run flat out: every answer
// stays in range and the stream still ends properly.
TEST(ThreadedOutputTest, CommandsWhilePlaying)
{
    TAudioEngine engine;
    TNullOutputOptions options;
    options.Clock = TNullOutputOptions::TClock::FreeRunning;
    ASSERT_TRUE(engine.InitNull(options));
    const TChannelHandle h = engine.StreamCreateFile(test::Fixture("steps10s.mp3"));
    const TChannelHandle other = engine.StreamCreateFile(test::Fixture("sine.ogg"));
    ASSERT_NE(h, 0u);
    ASSERT_NE(other, 0u);
    ASSERT_TRUE(engine.ChannelPlay(h));
    ASSERT_TRUE(engine.ChannelPlay(other));
    const int64_t length = engine.ChannelGetLength(h);
    std::mt19937 random(7);
    TFxHandle fx = 0;
    for (int i = 0; i < 300; ++i) {
        switch (random() % 6) {
        case 0: engine.ChannelSetPosition(h, int64_t(random() % uint32_t(length)) / 4 * 4); break;
        case 1:
            engine.ChannelSetAttribute(h, TChannelAttribute::Volume, float(random() % 100) / 100.0f);
            engine.ChannelSetAttribute(h, TChannelAttribute::Pan, float(random() % 200) / 100.0f - 1.0f);
            break;
        case 2:
            if (fx)
                engine.ChannelRemoveFX(h, fx);
            fx = engine.ChannelSetFX(h, TEffectType::ParamEq, 1);
            engine.FXSetParameters(fx, { float(100 + random() % 10000), 18.0f, float(int(random() % 31) - 15) });
            break;
        case 3: engine.ChannelPause(h); break;
        case 4: engine.ChannelPlay(h); break;
        default: std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
        const int64_t position = engine.ChannelGetPosition(h);
        ASSERT_GE(position, 0);
        ASSERT_LE(position, engine.ChannelGetLength(h));
    }
    ASSERT_TRUE(engine.StreamFree(other));
    ASSERT_TRUE(engine.ChannelSetPosition(h, length - 4 * 4410));
    ASSERT_TRUE(engine.ChannelPlay(h));
    ASSERT_TRUE(WaitUntilStopped(engine, h, std::chrono::seconds(20)));
    EXPECT_EQ(engine.ChannelGetPosition(h), engine.ChannelGetLength(h));
}

// Two streams playing at once add up.
TEST(ThreadedOutputTest, StreamsMix)
{
    const auto path = test::TempDir() / "mix-sine.wav";
    test::WriteWav(path, 44100, 2, 1.0, test::Sine(1000.0, 0.1));
    test::TManualEngine m;
    const TChannelHandle a = m.Engine.StreamCreateFile(path.string());
    const TChannelHandle b = m.Engine.StreamCreateFile(path.string());
    ASSERT_TRUE(m.Engine.ChannelPlay(a));
    ASSERT_TRUE(m.Engine.ChannelPlay(b));
    m.Engine.Advance(0.2);
    EXPECT_NEAR(test::ToneAmplitude(m.Captured(), 0, 1000.0, 44100, 2205, 4410), 0.2, 0.002);
}

}
}
