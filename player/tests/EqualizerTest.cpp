// The equalizer model on the engine's null output: presets read from "Presets", the filters
// the engine holds after applying them, the balance, and what goes back into the file.

#include "player/equalizer/Equalizer.h"
#include "base/IniFile.h"
#include "platform/audio/AudioEngine.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace vantor {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

constexpr TEqualizerGains kFlat {};

TEST(PresetValue, ParsesTenGainsAndNeverReadsPastTheFields)
{
    struct TCase {
        char const* Value;
        TEqualizerGains Gains;
    };
    TCase const cases[] = {
        { "1,2,3,4,5,6,7,8,9,10", { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 } },
        { "0,0,0,0,0,0,0,0,0,-5", { 0, 0, 0, 0, 0, 0, 0, 0, 0, -5 } },
        { "1,2,3,4,5,6,7,8,9,10,11,12", { 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 } },
        { "", kFlat },
        { "-7", { -7 } },
        { ",,,5", { 0, 0, 0, 5 } },
        { " 3 , -4 ,+2", { 3, -4, 2 } },
        { "a,2,1.5,3x,--3,+-1,4", { 0, 2, 0, 0, 0, 0, 4 } },
        { "99,-99,15,-15,99999999999999999999999,-99999999999999999999999", { 15, -15, 15, -15, 15, -15 } },
    };
    for (TCase const& c : cases)
        EXPECT_EQ(ParsePresetValue(c.Value), c.Gains) << '"' << c.Value << '"';
}

class EqualizerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TNullOutputOptions options;
        options.Clock = TNullOutputOptions::TClock::Manual;
        ASSERT_TRUE(m_engine.InitNull(options));
        m_stream = m_engine.StreamCreateFile(std::string(VANTOR_TEST_DATA) + "/audio/sine.wav");
        ASSERT_NE(m_stream, 0u);
        m_folder = ScratchFolder();
    }

    void Load(std::string const& ini)
    {
        WriteBytes(File(), ini);
        m_eq.LoadPresets(TIniFile(File()));
    }

    std::filesystem::path File() const { return m_folder / "Settings.ini"; }

    std::vector<std::string> IDs() const
    {
        std::vector<std::string> ids;
        for (auto const& preset : m_eq.EqPresetList)
            ids.push_back(preset->pdID);
        return ids;
    }

    // The gains of the ten filters the engine holds for the equalizer, checking that each
    // sits on its band's centre with the fixed bandwidth.
    TEqualizerGains EngineGains() const
    {
        TEqualizerGains gains {};
        for (int band = 0; band < kEqBandCount; ++band) {
            TPeakingEqParams params;
            EXPECT_TRUE(m_engine.FXGetParameters(m_eq.EqFxHandles[band], params)) << "band " << band;
            EXPECT_EQ(params.Center, kEqBandCenters[band]);
            EXPECT_EQ(params.Bandwidth, kEqBandwidth);
            gains[band] = static_cast<int8_t>(std::lround(params.Gain));
        }
        return gains;
    }

    TAudioEngine m_engine;
    TSettings m_settings;
    uint32_t m_stream = 0;
    TEqualizer m_eq { &m_engine, m_settings, [this] { return m_stream; } };
    std::filesystem::path m_folder;
};

TEST_F(EqualizerTest, FirstStartSeedsPresetsWrittenAtShutdownOnly)
{
    m_eq.LoadPresets(TIniFile(File()));
    std::vector<std::string> const seeded { "Default", "Manual", "Rock", "Pop", "Jazz", "Classical", "Bass Boost",
        "Treble Boost", "Vocal", "Electronic" };
    EXPECT_EQ(IDs(), seeded);
    // Off: "Default" (flat) is in force and the remembered name stays.
    EXPECT_EQ(m_eq.CurrentPreset, m_eq.FindEqPreset("Default"));
    EXPECT_EQ(EngineGains(), kFlat);
    EXPECT_EQ(m_settings.EqPresetName, "Manual");
    EXPECT_FALSE(std::filesystem::exists(File()));

    ASSERT_TRUE(SaveSettingsFile(
        File(), m_settings, { 100, 100, 0, 0 }, m_eq.ManualGains(), std::nullopt, m_eq.PresetsToSeed()));
    EXPECT_NE(ReadBytes(File()).find("Rock=5,4,2,-1,-2,-1,2,4,5,5"), std::string::npos);
    TEqualizer again(&m_engine, m_settings, [this] { return m_stream; });
    again.LoadPresets(TIniFile(File()));
    EXPECT_EQ(again.EqPresetList.size(), seeded.size());
    EXPECT_TRUE(again.PresetsToSeed().empty());

    // Presets that reached the file in the meantime are not overwritten by the seeds.
    WriteBytes(File(), "[Presets]\nRock=1\n");
    ASSERT_TRUE(SaveSettingsFile(
        File(), m_settings, { 100, 100, 0, 0 }, m_eq.ManualGains(), std::nullopt, m_eq.PresetsToSeed()));
    EXPECT_NE(ReadBytes(File()).find("[Presets]\nRock=1\nManual=0,0,0,0,0,0,0,0,0,0\n"), std::string::npos)
        << ReadBytes(File());
}

TEST_F(EqualizerTest, SectionWithoutDefaultOrManualGetsThemFlat)
{
    Load("[#Settings]\nEqualizer=1\nEqPreset=Rock\n[Presets]\nRock=5,4,3,2,1,0,-1,-2,-3,-4\nPop=1\n");
    EXPECT_EQ(IDs(), (std::vector<std::string> { "Default", "Manual", "Rock", "Pop" }));
    EXPECT_EQ(m_eq.FindEqPreset("Manual")->pdValue, kFlat);
    EXPECT_EQ(m_eq.FindEqPreset("Default")->pdValue, kFlat);
    EXPECT_TRUE(m_eq.PresetsToSeed().empty());
    // The settings are read by LoadSettingsFile; here only "Presets" is read, so switch on by hand.
    m_settings.EqualizerOn = true;
    m_settings.EqPresetName = "Rock";
    m_eq.LoadPresets(TIniFile(File()));
    EXPECT_EQ(m_eq.CurrentPreset->pdID, "Rock");
    EXPECT_EQ(EngineGains(), (TEqualizerGains { 5, 4, 3, 2, 1, 0, -1, -2, -3, -4 }));
}

TEST_F(EqualizerTest, KeyWrittenTwiceIsListedOnce)
{
    Load("[Presets]\nDefault=0\nManual=0\nRock=1\nrock=2\nRock=3\n");
    EXPECT_EQ(IDs(), (std::vector<std::string> { "Default", "Manual", "Rock" }));
    EXPECT_EQ(m_eq.FindEqPreset("Rock")->pdValue[0], 1);
}

TEST_F(EqualizerTest, ApplyByIDSetsTheFiltersAndTheRememberedName)
{
    Load("[Presets]\nDefault=0,0,0,0,0,0,0,0,0,0\nManual=1,1,1,1,1,1,1,1,1,1\n"
         "Jazz=4,3,1,2,-2,-2,0,2,3,4\n");
    m_eq.ApplyEqPresetByID("Jazz");
    EXPECT_EQ(EngineGains(), (TEqualizerGains { 4, 3, 1, 2, -2, -2, 0, 2, 3, 4 }));
    EXPECT_EQ(m_settings.EqPresetName, "Jazz");
    for (auto const& preset : m_eq.EqPresetList)
        EXPECT_EQ(preset->pdActivePreset, preset->pdID == "Jazz") << preset->pdID;

    // "Default" is the off state: it never becomes the remembered name.
    m_eq.ApplyEqPresetByID("Default");
    EXPECT_EQ(EngineGains(), kFlat);
    EXPECT_EQ(m_settings.EqPresetName, "Jazz");

    // Unknown (and differently cased) names change nothing.
    EXPECT_EQ(m_eq.FindEqPreset("jazz"), nullptr);
    m_eq.ApplyEqPresetByID("jazz");
    EXPECT_EQ(m_eq.CurrentPreset->pdID, "Default");
    EXPECT_EQ(EngineGains(), kFlat);
}

TEST_F(EqualizerTest, SwitchingOffAndOnComesBackToTheChosenPreset)
{
    Load("[Presets]\nDefault=0\nManual=0\nRock=5,4,2,-1,-2,-1,2,4,5,5\n");
    m_eq.SetEqualizerOn(true);
    m_eq.ApplyEqPresetByID("Rock");
    m_eq.SetEqualizerOn(false);
    EXPECT_FALSE(m_settings.EqualizerOn);
    EXPECT_EQ(m_eq.CurrentPreset->pdID, "Default");
    EXPECT_EQ(EngineGains(), kFlat);
    m_eq.SetEqualizerOn(true);
    EXPECT_EQ(m_eq.CurrentPreset->pdID, "Rock");
    EXPECT_EQ(EngineGains()[0], 5);
}

TEST_F(EqualizerTest, ApplyingReplacesTheFiltersInsteadOfAddingMore)
{
    // The engine has a fixed number of effect slots per stream: filters must not pile up.
    Load("[Presets]\nDefault=0\nManual=-3\n");
    auto const first = m_eq.EqFxHandles;
    for (int i = 0; i < 20; ++i)
        m_eq.ApplyEqPresetByID(i % 2 ? "Default" : "Manual");
    EXPECT_EQ(EngineGains()[0], 0);
    TPeakingEqParams params;
    for (TFxHandle const fx : first)
        EXPECT_FALSE(m_engine.FXGetParameters(fx, params));
}

// A stream prepared to follow the current one gets the preset in force ahead of time; when it
// becomes the current one it takes the preset chosen meanwhile, and later changes reach it.
TEST_F(EqualizerTest, APreparedStreamTakesOverTheFilters)
{
    Load("[Presets]\nDefault=0\nManual=0\nJazz=4,3,1,2,-2,-2,0,2,3,4\nRock=5,4,2,-1,-2,-1,2,4,5,5\n");
    m_eq.ApplyEqPresetByID("Jazz");
    uint32_t const next = m_engine.StreamCreateFile(std::string(VANTOR_TEST_DATA) + "/audio/sine.wav");
    ASSERT_NE(next, 0u);
    auto const filters = m_eq.FiltersFor(next);
    TPeakingEqParams params;
    ASSERT_TRUE(m_engine.FXGetParameters(filters[0], params));
    EXPECT_EQ(params.Gain, 4.0f);
    EXPECT_NE(filters, m_eq.EqFxHandles) << "the current stream keeps its own";

    m_eq.ApplyEqPresetByID("Rock");
    m_engine.StreamFree(m_stream);
    m_stream = next;
    m_eq.TakeOverFilters(filters);
    EXPECT_EQ(m_eq.EqFxHandles, filters);
    EXPECT_EQ(EngineGains(), (TEqualizerGains { 5, 4, 2, -1, -2, -1, 2, 4, 5, 5 }));
    m_eq.ApplyEqPresetByID("Jazz");
    EXPECT_EQ(EngineGains()[0], 4);

    // Without filters (the equalizer was off when it was prepared) it gets a fresh set.
    uint32_t const bare = m_engine.StreamCreateFile(std::string(VANTOR_TEST_DATA) + "/audio/sine.wav");
    m_stream = bare;
    m_eq.TakeOverFilters({});
    EXPECT_EQ(EngineGains()[0], 4);
}

TEST_F(EqualizerTest, WithoutAStreamTheStateStillChanges)
{
    Load("[Presets]\nDefault=0\nManual=0\nPop=1\n");
    m_stream = 0;
    m_eq.ApplyEqPresetByID("Pop");
    EXPECT_EQ(m_eq.CurrentPreset->pdID, "Pop");
    EXPECT_EQ(m_settings.EqPresetName, "Pop");
    EXPECT_EQ(m_eq.EqFxHandles, (std::array<TFxHandle, kEqBandCount> {}));
}

TEST_F(EqualizerTest, BalanceIsThePanOfTheCurrentStream)
{
    struct TCase {
        double Set;
        double Expected;
    };
    TCase const cases[] = { { 0.5, 0.5 }, { -1.0, -1.0 }, { 3.0, 1.0 }, { -7.0, -1.0 },
        { std::numeric_limits<double>::quiet_NaN(), 0.0 }, { 0.0, 0.0 } };
    for (TCase const& c : cases) {
        m_eq.SetBalance(c.Set);
        EXPECT_EQ(m_settings.BalanceValue, c.Expected) << c.Set;
        float pan = 99.0f;
        ASSERT_TRUE(m_engine.ChannelGetAttribute(m_stream, TChannelAttribute::Pan, pan));
        EXPECT_EQ(pan, static_cast<float>(c.Expected)) << c.Set;
    }
}

TEST_F(EqualizerTest, OnlyManualIsWrittenBackAndOtherPresetsStay)
{
    Load("[Presets]\nDefault=0,0,0,0,0,0,0,0,0,0\nManual=0,0,0,0,0,0,0,0,0,0\nMine=1, 2,x\n");
    m_eq.FindEqPreset("Manual")->pdValue[3] = -5;
    ASSERT_TRUE(SaveSettingsFile(
        File(), m_settings, { 100, 100, 0, 0 }, m_eq.ManualGains(), std::nullopt, m_eq.PresetsToSeed()));
    std::string const bytes = ReadBytes(File());
    EXPECT_NE(bytes.find("Manual=0,0,0,-5,0,0,0,0,0,0\n"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("Mine=1, 2,x\n"), std::string::npos) << bytes;
}

}
}
