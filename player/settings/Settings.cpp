#include "player/settings/Settings.h"

#include "base/IniFile.h"
#include "ui/framework/UIScale.h"

#include <algorithm>
#include <system_error>

namespace vantor {

namespace {

constexpr char kSection[] = "#Settings";
constexpr char kPresets[] = "Presets";

}

std::filesystem::path SettingsFilePath(std::filesystem::path const& appPath) { return appPath / kSettingsFileName; }

TWindowGeometry LoadSettingsFile(std::filesystem::path const& file, TSettings& settings, double screenDpi)
{
    TIniFile const ini(file, TIniAccess::KeyByKey);
    settings.Volume = std::clamp(ini.ReadFloat(kSection, "Volume", settings.Volume), 0.0, 1.0);
    settings.BalanceValue = std::clamp(ini.ReadFloat(kSection, "Balance", settings.BalanceValue), -1.0, 1.0);
    settings.Muted = ini.ReadBool(kSection, "Mute", settings.Muted);
    settings.EqualizerOn = ini.ReadBool(kSection, "Equalizer", settings.EqualizerOn);
    settings.ReplayGain = ini.ReadInteger(kSection, "ReplayGain", settings.ReplayGain);
    if (settings.ReplayGain < 0 || settings.ReplayGain > 2)
        settings.ReplayGain = 0;
    settings.ReplayGainPreamp =
        std::clamp(ini.ReadFloat(kSection, "ReplayGainPreamp", settings.ReplayGainPreamp), -15.0, 15.0);
    settings.LastPlayListID = ini.ReadString(kSection, "LastPlayList", "");
    // an empty file or folder name names nothing: take the default
    settings.LanguageFile = ini.ReadString(kSection, "Language", "");
    if (settings.LanguageFile.empty())
        settings.LanguageFile = "English.vlng";
    settings.MenuOnTop = ini.ReadBool(kSection, "MenuOnTop", settings.MenuOnTop);
    settings.EqPresetName = ini.ReadString(kSection, "EqPreset", "Manual");
    settings.ThemeName = ini.ReadString(kSection, "ThemeName", "");
    if (settings.ThemeName.empty())
        settings.ThemeName = "default";
    // SetUIScale turns zero, negative and non-finite values into 1.0
    SetUIScale(ini.ReadFloat(kSection, "Scaling", 1.0));
    settings.AutoScaling = ini.ReadBool(kSection, "AutoScaling", settings.AutoScaling);
    if (settings.AutoScaling)
        SetUIScale(ScaleForDpi(screenDpi));

    int width = ini.ReadInteger(kSection, "AppWidth", kDefaultAppWidth);
    int height = ini.ReadInteger(kSection, "AppHeight", kDefaultAppHeight);
    if (width <= 0)
        width = kDefaultAppWidth;
    if (height <= 0)
        height = kDefaultAppHeight;
    TWindowGeometry window;
    window.ClientWidth = Scale(width);
    window.ClientHeight = Scale(height);
    window.Left = ini.ReadInteger(kSection, "AppX", 0);
    window.Top = ini.ReadInteger(kSection, "AppY", 0);
    return window;
}

bool SaveSettingsFile(std::filesystem::path const& file, TSettings const& settings, TWindowGeometry const& window,
    std::optional<TEqualizerGains> const& manualPreset, std::optional<std::string> const& currentPlayListID,
    std::vector<std::pair<std::string, TEqualizerGains>> const& seedPresets)
{
    // One rewrite at the end gives the same file as writing key by key, and a crash in
    // between cannot leave half of the keys written.
    TIniFile ini(file, TIniAccess::WholeFile);
    ini.WriteFloat(kSection, "Volume", settings.Volume);
    ini.WriteFloat(kSection, "Balance", settings.BalanceValue);
    ini.WriteBool(kSection, "Mute", settings.Muted);
    ini.WriteBool(kSection, "Equalizer", settings.EqualizerOn);
    ini.WriteInteger(kSection, "ReplayGain", settings.ReplayGain);
    ini.WriteFloat(kSection, "ReplayGainPreamp", settings.ReplayGainPreamp);
    ini.WriteString(kSection, "Language", settings.LanguageFile);
    ini.WriteBool(kSection, "MenuOnTop", settings.MenuOnTop);
    ini.WriteBool(kSection, "AutoScaling", settings.AutoScaling);
    if (!settings.AutoScaling)
        ini.WriteFloat(kSection, "Scaling", UIScale());
    ini.WriteString(kSection, "EqPreset", settings.EqPresetName);
    ini.WriteString(kSection, "ThemeName", settings.ThemeName);
    ini.WriteInteger(kSection, "AppWidth", Unscale(window.ClientWidth));
    ini.WriteInteger(kSection, "AppHeight", Unscale(window.ClientHeight));
    ini.WriteInteger(kSection, "AppX", window.Left);
    ini.WriteInteger(kSection, "AppY", window.Top);
    auto const joined = [](TEqualizerGains const& preset) {
        std::string gains;
        for (int8_t const gain : preset) {
            if (!gains.empty())
                gains += ',';
            gains += std::to_string(gain);
        }
        return gains;
    };
    if (!ini.SectionExists(kPresets))
        for (auto const& [name, gains] : seedPresets)
            ini.WriteString(kPresets, name, joined(gains));
    if (manualPreset)
        ini.WriteString(kPresets, "Manual", joined(*manualPreset));
    if (currentPlayListID)
        ini.WriteString(kSection, "LastPlayList", *currentPlayListID);
    // An installed player's first save makes its configuration folder.
    std::error_code error;
    std::filesystem::create_directories(file.parent_path(), error);
    return ini.UpdateFile();
}

}
