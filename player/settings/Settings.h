#pragma once

// The settings variables and the settings file "Settings.ini" in the application folder,
// read once at start-up and written once at shutdown.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantor {

// The settings while the program runs; the views change them directly.
struct TSettings {
    double Volume = 0.5;                       // "Volume", 0.0 .. 1.0
    double BalanceValue = 0.0;                 // "Balance", -1.0 (left) .. 1.0 (right)
    bool Muted = false;                        // "Mute"; the volume stays as it is
    bool EqualizerOn = false;                  // "Equalizer"
    int ReplayGain = 0;                        // "ReplayGain": 0 off, 1 track gain, 2 album gain
    double ReplayGainPreamp = 0.0;             // "ReplayGainPreamp": dB for tracks without gain
    std::string LanguageFile = "English.vlng"; // "Language"
    bool MenuOnTop = false;                    // "MenuOnTop"
    bool AutoScaling = true;                   // "AutoScaling": the UI scale follows the screen
    std::string EqPresetName = "Manual";       // "EqPreset"
    std::string ThemeName = "default";         // "ThemeName"
    std::string LastPlayListID;                // "LastPlayList"
};

// The main window in device pixels: client size and top-left corner on the screen.
struct TWindowGeometry {
    int ClientWidth = 0;
    int ClientHeight = 0;
    int Left = 0;
    int Top = 0;
};

using TEqualizerGains = std::array<int8_t, 10>;

inline constexpr char kSettingsFileName[] = "Settings.ini";
inline constexpr int kDefaultAppWidth = 2731; // logical units
inline constexpr int kDefaultAppHeight = 1575;

// AppPath + "Settings.ini".
std::filesystem::path SettingsFilePath(std::filesystem::path const& appPath);

// Reads the settings file into settings, whose current values are the defaults of absent or
// unparsable keys (a missing file reads as one without keys). Sets the UI scale: "Scaling",
// or screenDpi / 240 when "AutoScaling" is on. Returns the main window's geometry: client
// size Scale("AppWidth") x Scale("AppHeight"), corner ("AppX", "AppY").
// Volume is kept within 0..1, the balance within -1..1, the ReplayGain pre-amp within -15..15
// dB; a ReplayGain mode other than 0, 1 or 2 is off; an empty "Language" or "ThemeName"
// and a window size that is not positive take their defaults.
TWindowGeometry LoadSettingsFile(std::filesystem::path const& file, TSettings& settings, double screenDpi);

// Writes the settings into the file, keeping every other key and section. window is the
// client geometry in device pixels ("AppWidth" = Unscale(width), ...). "Scaling" is written
// only when AutoScaling is off; "Presets"/"Manual" only when manualPreset is given;
// "LastPlayList" only when a playlist is current. seedPresets (a first start's presets) are
// written into "Presets", ahead of "Manual", only when the file has no such section yet.
// False when the file could not be written (the old file then stays as it was).
bool SaveSettingsFile(std::filesystem::path const& file, TSettings const& settings, TWindowGeometry const& window,
    std::optional<TEqualizerGains> const& manualPreset, std::optional<std::string> const& currentPlayListID,
    std::vector<std::pair<std::string, TEqualizerGains>> const& seedPresets = {});

}
