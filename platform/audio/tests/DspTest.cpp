// Volume, pan and peaking filters: the filter design on its own, then their effect on what the
// engine renders.
#include "platform/audio/AudioEngine.h"
#include "platform/audio/PeakingFilter.h"
#include "platform/audio/tests/AudioTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vantor {
namespace {

struct TFilterCase {
    double Center;
    double Gain;
};

// The peak sits at the centre with the full gain; at the band edges (the bandwidth is the
// distance between the half-gain points) it is half the gain in dB; far away it is flat.
TEST(PeakingFilterTest, ResponseFollowsCentreBandwidthAndGain)
{
    for (const TFilterCase c : { TFilterCase { 80, 12 }, TFilterCase { 1000, 12 }, TFilterCase { 1000, -15 },
             TFilterCase { 6000, 6 }, TFilterCase { 14000, 15 } }) {
        TPeakingFilter filter;
        filter.Design(c.Center, 18.0, c.Gain, 44100.0);
        EXPECT_NEAR(test::Db(filter.MagnitudeAt(c.Center, 44100.0)), c.Gain, 0.01) << c.Center;
        const double edge = c.Center * std::pow(2.0, 18.0 / 24.0);
        if (edge < 18000.0) {
            EXPECT_NEAR(test::Db(filter.MagnitudeAt(edge, 44100.0)), c.Gain / 2, 0.6) << c.Center;
        }
        const double far = c.Center < 3000 ? c.Center * 16 : c.Center / 16;
        EXPECT_NEAR(test::Db(filter.MagnitudeAt(far, 44100.0)), 0.0, 0.5) << c.Center;
    }
}

TEST(PeakingFilterTest, ProcessingMatchesTheDesignedGain)
{
    TPeakingFilter filter;
    filter.Design(1000.0, 18.0, 12.0, 44100.0);
    std::vector<float> samples(2 * 44100);
    for (size_t i = 0; i < 44100; ++i)
        samples[2 * i] = samples[2 * i + 1] = float(0.1 * std::sin(2.0 * std::numbers::pi * 1000.0 * i / 44100.0));
    filter.Process(samples.data(), 44100);
    const double level = test::ToneAmplitude(samples, 1, 1000.0, 44100, 22050, 22050);
    EXPECT_NEAR(test::Db(level / 0.1), 12.0, 0.1);
}

// The response drawn over the equalizer: flat with every band at 0 dB, the band's gain at its
// centre, and the level the same filters give a sine when they run.
TEST(PeakingFilterTest, ChainGainMatchesTheFiltersRun)
{
    constexpr float kCenters[] = { 80, 170, 310, 600, 1000, 3000, 6000, 10000, 12000, 14000 };
    std::vector<TPeakingEqParams> bands;
    for (float center : kCenters)
        bands.push_back({ center, 18.0f, 0.0f });
    for (double f : { 20.0, 1000.0, 19000.0 })
        EXPECT_NEAR(PeakingChainGainDb(bands, f, 48000.0), 0.0, 1e-9) << f;

    bands[5].Gain = 9.0f; // 3 kHz alone
    EXPECT_NEAR(PeakingChainGainDb(bands, 3000.0, 48000.0), 9.0, 0.01);

    const float gains[] = { 6, -4, 3, 0, -8, 5, 2, -6, 10, -3 };
    for (size_t i = 0; i < bands.size(); ++i)
        bands[i].Gain = gains[i];
    std::vector<TPeakingFilter> filters(bands.size());
    std::vector<TPeakingFilter*> chain;
    for (size_t i = 0; i < bands.size(); ++i) {
        filters[i].Design(bands[i].Center, bands[i].Bandwidth, bands[i].Gain, 48000.0);
        chain.push_back(&filters[i]);
    }
    for (double f : { 100.0, 700.0, 2500.0, 11000.0 }) {
        for (TPeakingFilter& filter : filters)
            filter.Reset();
        std::vector<float> samples(2 * 48000);
        for (size_t i = 0; i < 48000; ++i)
            samples[2 * i] = samples[2 * i + 1] = float(0.1 * std::sin(2.0 * std::numbers::pi * f * i / 48000.0));
        TPeakingFilter::ProcessChain(chain.data(), int(chain.size()), samples.data(), 48000);
        const double level = test::ToneAmplitude(samples, 1, f, 48000, 24000, 24000);
        EXPECT_NEAR(test::Db(level / 0.1), PeakingChainGainDb(bands, f, 48000.0), 0.1) << f;
    }
}

class RenderTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto path = test::TempDir() / "sine-dsp.wav";
        test::WriteWav(path, 44100, 2, 3.0, test::Sine(1000.0, 0.1));
        m_handle = m.Engine.StreamCreateFile(path.string());
        ASSERT_NE(m_handle, 0u);
        ASSERT_TRUE(m.Engine.ChannelPlay(m_handle));
    }

    // Levels of the left and right channel at 1 kHz over the next 0.1 s, after letting a
    // change settle for 0.05 s.
    std::pair<double, double> Levels()
    {
        m.Engine.Advance(0.05);
        const size_t from = m.Captured().size() / 2;
        m.Engine.Advance(0.1);
        return { test::ToneAmplitude(m.Captured(), 0, 1000.0, 44100, from, 4410),
            test::ToneAmplitude(m.Captured(), 1, 1000.0, 44100, from, 4410) };
    }

    test::TManualEngine m;
    TChannelHandle m_handle = 0;
};

TEST_F(RenderTest, VolumeScalesBothSides)
{
    const auto full = Levels();
    EXPECT_NEAR(full.first, 0.1, 0.002);
    ASSERT_TRUE(m.Engine.ChannelSetAttribute(m_handle, TChannelAttribute::Volume, 0.5f));
    const auto half = Levels();
    EXPECT_NEAR(half.first / full.first, 0.5, 0.01);
    EXPECT_NEAR(half.second / full.second, 0.5, 0.01);
    ASSERT_TRUE(m.Engine.ChannelSetAttribute(m_handle, TChannelAttribute::Volume, 0.0f));
    EXPECT_LT(Levels().first, 1e-6);
    // Out of range values are clamped, NaN is refused.
    ASSERT_TRUE(m.Engine.ChannelSetAttribute(m_handle, TChannelAttribute::Volume, 7.0f));
    EXPECT_FALSE(m.Engine.ChannelSetAttribute(m_handle, TChannelAttribute::Volume, std::nanf("")));
    float volume = 0.0f;
    ASSERT_TRUE(m.Engine.ChannelGetAttribute(m_handle, TChannelAttribute::Volume, volume));
    EXPECT_EQ(volume, 1.0f);
}

TEST_F(RenderTest, PanAttenuatesTheOtherSide)
{
    struct TPanCase {
        float Pan;
        double Left;
        double Right;
    };
    for (const TPanCase c : { TPanCase { -1.0f, 1.0, 0.0 }, TPanCase { 1.0f, 0.0, 1.0 }, TPanCase { -0.5f, 1.0, 0.5 },
             TPanCase { 0.25f, 0.75, 1.0 }, TPanCase { 0.0f, 1.0, 1.0 } }) {
        ASSERT_TRUE(m.Engine.ChannelSetAttribute(m_handle, TChannelAttribute::Pan, c.Pan));
        const auto levels = Levels();
        EXPECT_NEAR(levels.first, 0.1 * c.Left, 0.002) << c.Pan;
        EXPECT_NEAR(levels.second, 0.1 * c.Right, 0.002) << c.Pan;
    }
}

TEST_F(RenderTest, PeakingFiltersAreAddedSetAndRemoved)
{
    const double flat = Levels().first;
    const TFxHandle boost = m.Engine.ChannelSetFX(m_handle, TEffectType::ParamEq, 1);
    ASSERT_NE(boost, 0u);
    EXPECT_NEAR(Levels().first, flat, 0.002) << "a new filter is flat";

    ASSERT_TRUE(m.Engine.FXSetParameters(boost, { 1000.0f, 18.0f, 12.0f }));
    EXPECT_NEAR(test::Db(Levels().first / flat), 12.0, 1.0);

    // Filters add up: a second band far away barely touches 1 kHz, a cut at 1 kHz cancels.
    const TFxHandle cut = m.Engine.ChannelSetFX(m_handle, TEffectType::ParamEq, 1);
    ASSERT_TRUE(m.Engine.FXSetParameters(cut, { 14000.0f, 18.0f, -15.0f }));
    EXPECT_NEAR(test::Db(Levels().first / flat), 12.0, 1.0);
    ASSERT_TRUE(m.Engine.FXSetParameters(cut, { 1000.0f, 18.0f, -12.0f }));
    EXPECT_NEAR(test::Db(Levels().first / flat), 0.0, 0.5);

    ASSERT_TRUE(m.Engine.ChannelRemoveFX(m_handle, cut));
    EXPECT_FALSE(m.Engine.ChannelRemoveFX(m_handle, cut));
    EXPECT_FALSE(m.Engine.FXSetParameters(cut, { 1000.0f, 18.0f, 3.0f }));
    EXPECT_NEAR(test::Db(Levels().first / flat), 12.0, 1.0);
    ASSERT_TRUE(m.Engine.ChannelRemoveFX(m_handle, boost));
    EXPECT_NEAR(Levels().first, flat, 0.002);

    const TFxHandle fx = m.Engine.ChannelSetFX(m_handle, TEffectType::ParamEq, 1);
    for (const TPeakingEqParams bad : { TPeakingEqParams { std::nanf(""), 18.0f, 0.0f },
             TPeakingEqParams { 1000.0f, 18.0f, 16.0f }, TPeakingEqParams { 30000.0f, 18.0f, 3.0f },
             TPeakingEqParams { 1000.0f, 0.5f, 3.0f }, TPeakingEqParams { 1000.0f, 18.0f, std::nanf("") } })
        EXPECT_FALSE(m.Engine.FXSetParameters(fx, bad)) << bad.Center << " " << bad.Bandwidth << " " << bad.Gain;
    EXPECT_NEAR(Levels().first, flat, 0.002) << "refused parameters change nothing";
}

// Effects belong to their stream: removing through another stream's handle fails.
TEST_F(RenderTest, EffectsBelongToTheirStream)
{
    const TFxHandle fx = m.Engine.ChannelSetFX(m_handle, TEffectType::ParamEq, 1);
    const TChannelHandle other = m.Engine.StreamCreateFile(test::Fixture("sine.wav"));
    ASSERT_NE(other, 0u);
    EXPECT_FALSE(m.Engine.ChannelRemoveFX(other, fx));
    EXPECT_TRUE(m.Engine.ChannelRemoveFX(m_handle, fx));
}

}
}
