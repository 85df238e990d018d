#include "player/settings/Settings.h"

#include "base/IniFile.h"
#include "tests/support/TestFiles.h"
#include "ui/framework/UIScale.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = SettingsFilePath(ScratchFolder());
        SetUIScale(1.0);
    }
    void TearDown() override { SetUIScale(1.0); }

    TWindowGeometry Load(std::string_view content, double dpi = 96.0)
    {
        WriteBytes(m_path, content);
        return LoadSettingsFile(m_path, m_settings, dpi);
    }
    bool Save(TWindowGeometry const& window, std::optional<TEqualizerGains> preset = std::nullopt,
        std::optional<std::string> playlist = std::nullopt)
    {
        return SaveSettingsFile(m_path, m_settings, window, preset, playlist);
    }

    std::filesystem::path m_path;
    TSettings m_settings;
};

TEST_F(SettingsFile, FreshStartAt96DpiGivesDefaultsAndScaleOfPointFour)
{
    TWindowGeometry const window = LoadSettingsFile(m_path, m_settings, 96.0);
    EXPECT_DOUBLE_EQ(UIScale(), 0.4);
    EXPECT_EQ(window.ClientWidth, 1092); // 2731 * 0.4 = 1092.4
    EXPECT_EQ(window.ClientHeight, 630); // 1575 * 0.4
    EXPECT_EQ(window.Left, 0);
    EXPECT_EQ(window.Top, 0);
    EXPECT_DOUBLE_EQ(m_settings.Volume, 0.5);
    EXPECT_EQ(m_settings.LanguageFile, "English.vlng");
    EXPECT_EQ(m_settings.EqPresetName, "Manual");
    EXPECT_EQ(m_settings.ThemeName, "default");
    EXPECT_TRUE(m_settings.AutoScaling);
    EXPECT_FALSE(std::filesystem::exists(m_path)); // reading creates nothing
}

TEST_F(SettingsFile, ManualScalingRoundsHalvesToEven)
{
    TWindowGeometry const window = Load("[#Settings]\nAutoScaling=0\nScaling=1.5\nAppX=-20\nAppY=$10\n");
    EXPECT_DOUBLE_EQ(UIScale(), 1.5);
    EXPECT_EQ(window.ClientWidth, 4096);  // 4096.5
    EXPECT_EQ(window.ClientHeight, 2362); // 2362.5
    EXPECT_EQ(window.Left, -20);
    EXPECT_EQ(window.Top, 16);
}

TEST_F(SettingsFile, ValuesAreParsedWithTheSharedEncodings)
{
    Load("[#Settings]\nMute=abc\nAppWidth=0x400\nAutoScaling=0\nVolume=0,25\nBalance=-0,5\n");
    EXPECT_FALSE(m_settings.Muted);
    EXPECT_DOUBLE_EQ(m_settings.Volume, 0.25); // a comma-decimal value is not lost
    EXPECT_DOUBLE_EQ(m_settings.BalanceValue, -0.5);

    Load("[#Settings]\nMute=2\nAppWidth=0x400\nAutoScaling=0\nScaling=0,5\n");
    EXPECT_TRUE(m_settings.Muted);
    EXPECT_DOUBLE_EQ(UIScale(), 0.5);
    ASSERT_TRUE(Save({ 512, 100, 0, 0 }));
    TIniFile const saved(m_path);
    EXPECT_EQ(saved.ReadString("#Settings", "Mute", ""), "1");
    EXPECT_EQ(saved.ReadString("#Settings", "AppWidth", ""), "1024");
}

TEST_F(SettingsFile, BadValuesFallBack)
{
    for (char const* scaling : { "0", "-2", "nan", "inf", "1e999", "x" }) {
        SCOPED_TRACE(scaling);
        TWindowGeometry const window =
            Load(std::string("[#Settings]\nAutoScaling=0\nScaling=") + scaling + "\nAppWidth=0\nAppHeight=-5\n");
        EXPECT_DOUBLE_EQ(UIScale(), 1.0);
        EXPECT_EQ(window.ClientWidth, 2731);
        EXPECT_EQ(window.ClientHeight, 1575);
    }
    m_settings = TSettings();
    Load("[#Settings]\nVolume=7\nBalance=-3\nLanguage=\nThemeName=\nReplayGain=3\nReplayGainPreamp=99\n");
    EXPECT_DOUBLE_EQ(m_settings.Volume, 1.0);
    EXPECT_EQ(m_settings.ReplayGain, 0);
    EXPECT_DOUBLE_EQ(m_settings.ReplayGainPreamp, 15.0);
    EXPECT_DOUBLE_EQ(m_settings.BalanceValue, -1.0);
    EXPECT_EQ(m_settings.LanguageFile, "English.vlng");
    EXPECT_EQ(m_settings.ThemeName, "default");
}

TEST_F(SettingsFile, CurrentValuesAreTheDefaultsOfAbsentKeys)
{
    m_settings.Volume = 0.8;
    m_settings.Muted = true;
    m_settings.MenuOnTop = true;
    m_settings.AutoScaling = false;
    Load("[#Settings]\nMute=oops\n");
    EXPECT_DOUBLE_EQ(m_settings.Volume, 0.8);
    EXPECT_TRUE(m_settings.Muted);
    EXPECT_TRUE(m_settings.MenuOnTop);
    EXPECT_FALSE(m_settings.AutoScaling);
}

TEST_F(SettingsFile, SaveWritesTheKeysInOrder)
{
    SetUIScale(0.4);
    m_settings.Volume = 0.75;
    m_settings.BalanceValue = -0.25;
    m_settings.Muted = true;
    m_settings.AutoScaling = false;
    m_settings.LanguageFile = "Deutsch.vlng";
    m_settings.ReplayGain = 2;
    m_settings.ReplayGainPreamp = -3.5;
    ASSERT_TRUE(Save({ 1092, 630, 15, 30 }, TEqualizerGains { 1, -2, 3, -4, 5, -6, 7, -8, 9, -10 }, "#12345"));
    EXPECT_EQ(ReadBytes(m_path),
        "[#Settings]\n"
        "Volume=0.75\n"
        "Balance=-0.25\n"
        "Mute=1\n"
        "Equalizer=0\n"
        "ReplayGain=2\n"
        "ReplayGainPreamp=-3.5\n"
        "Language=Deutsch.vlng\n"
        "MenuOnTop=0\n"
        "AutoScaling=0\n"
        "Scaling=0.4\n"
        "EqPreset=Manual\n"
        "ThemeName=default\n"
        "AppWidth=2730\n"
        "AppHeight=1575\n"
        "AppX=15\n"
        "AppY=30\n"
        "LastPlayList=#12345\n"
        "[Presets]\n"
        "Manual=1,-2,3,-4,5,-6,7,-8,9,-10\n");
}

TEST_F(SettingsFile, SaveKeepsWhatItDoesNotWrite)
{
    Load("[#Settings]\nScaling=2\nLastPlayList=#777\nHandMade=yes\n[Presets]\nRock=1,2,3,4,5,6,7,8,9,10\n"
         "Manual=0,0,0,0,0,0,0,0,0,0\n[Other]\nx=1\n");
    ASSERT_TRUE(m_settings.AutoScaling);
    ASSERT_TRUE(Save({ 100, 100, 0, 0 }));
    TIniFile const saved(m_path);
    EXPECT_EQ(saved.ReadString("#Settings", "Scaling", ""), "2");         // AutoScaling on: not written
    EXPECT_EQ(saved.ReadString("#Settings", "LastPlayList", ""), "#777"); // no current playlist
    EXPECT_EQ(saved.ReadString("#Settings", "HandMade", ""), "yes");
    EXPECT_EQ(saved.ReadString("Presets", "Rock", ""), "1,2,3,4,5,6,7,8,9,10");
    EXPECT_EQ(saved.ReadString("Presets", "Manual", ""), "0,0,0,0,0,0,0,0,0,0"); // no preset given
    EXPECT_EQ(saved.ReadString("Other", "x", ""), "1");
}

TEST_F(SettingsFile, Utf16FileStaysUtf16)
{
    std::string const bytes = ReadBytes(std::filesystem::path(VANTOR_TEST_DATA) / "settings" / "utf16le.ini");
    WriteBytes(m_path, bytes);
    LoadSettingsFile(m_path, m_settings, 96.0);
    EXPECT_DOUBLE_EQ(m_settings.Volume, 0.25);
    EXPECT_EQ(m_settings.LanguageFile, "Français.vlng");
    m_settings.Volume = 0.5;
    ASSERT_TRUE(Save({ 1092, 630, 0, 0 }));

    std::string const written = ReadBytes(m_path);
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(written.substr(0, 2), "\xFF\xFE");
    TSettings reread;
    LoadSettingsFile(m_path, reread, 96.0);
    EXPECT_DOUBLE_EQ(reread.Volume, 0.5);
    EXPECT_EQ(reread.ThemeName, "テーマ");
}

}
}
