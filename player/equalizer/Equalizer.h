#pragma once

// The ten-band equalizer and the balance: the preset list read from "Presets", the preset in
// force, its ten peaking filters on the current stream, and the stereo balance as the stream's
// pan. The switches and names live in the settings (EqualizerOn, EqPresetName, BalanceValue).
//
//   TEqualizer eq(&engine, settings, [&] { return playback.StreamHandle; });
//   eq.LoadPresets(TIniFile(SettingsFilePath(appPath)));  // applies the starting preset
//   eq.ApplyEqPresetByID("Rock");
//   eq.SetBalance(-0.5);

#include "platform/audio/AudioEngine.h"
#include "player/equalizer/EQPresetData.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace vantor {

class TIniFile;

// Centre frequencies of bands 0 to 9, in Hz, and the bandwidth of every band, in semitones.
inline constexpr std::array<float, kEqBandCount> kEqBandCenters { 80, 170, 310, 600, 1000, 3000, 6000, 10000, 12000,
    14000 };
inline constexpr float kEqBandwidth = 18.0f;

inline constexpr char kDefaultPresetID[] = "Default"; // what "off" sounds like
inline constexpr char kManualPresetID[] = "Manual";   // the one the sliders edit

using TNamedGains = std::pair<std::string, TEqualizerGains>;

// The presets a first start puts into "Presets": "Default", "Manual" and a few named ones.
std::vector<TNamedGains> const& SeedPresets();

class TEqualizer {
public:
    // engine (non-owning, may be null): where the filters and the pan go. settings
    // (non-owning): the switches and names. currentStream: the stream the filters go on.
    TEqualizer(TAudioEngine* engine, TSettings& settings, std::function<uint32_t()> currentStream);
    TEqualizer(const TEqualizer&) = delete;
    TEqualizer& operator=(const TEqualizer&) = delete;

    // Builds the list from the "Presets" section of settings, in file order, and applies the
    // starting preset: EqPresetName when the equalizer is on, "Default" when it is off.
    // Without a "Presets" section the list is SeedPresets() (written at shutdown, see
    // PresetsToSeed); a section without "Default" or "Manual" gets them flat, in front.
    void LoadPresets(TIniFile const& settings);

    // Replaces the ten filters of the current stream by filters with the preset's gains and
    // makes it the preset in force; its name becomes EqPresetName unless it is "Default".
    // Nothing happens for no preset.
    void ApplyEqPreset(TEQPresetData* Preset);
    // The last preset with exactly this ID, or none.
    TEQPresetData* FindEqPreset(std::string_view ID) const;
    // Applies every preset with exactly this ID; none found leaves the filters as they are.
    void ApplyEqPresetByID(std::string_view ID);

    // Gapless playback: puts the filters of the preset in force on a stream that is to follow
    // the current one, so that it sounds the same from its first sample, and returns them.
    std::array<TFxHandle, kEqBandCount> FiltersFor(TChannelHandle stream) const;
    // That stream is the current one now: its filters are the ones changed from here on, and
    // they take the preset in force (which may have changed meanwhile).
    void TakeOverFilters(std::array<TFxHandle, kEqBandCount> const& filters);

    // The equalizer button: switches EqualizerOn and applies "Default" (off) or the preset
    // named by EqPresetName (on).
    void SetEqualizerOn(bool on);
    // BalanceValue := value (kept within -1..1) and the pan of the current stream.
    void SetBalance(double value);

    // The gains of "Manual", written back at shutdown.
    std::optional<TEqualizerGains> ManualGains() const;
    // The presets this run made up for a first start; empty when the file had "Presets".
    std::vector<TNamedGains> const& PresetsToSeed() const { return m_seeded; }

    // Ordered as the keys of "Presets" (owning).
    std::vector<std::unique_ptr<TEQPresetData>> EqPresetList;
    TEQPresetData* CurrentPreset = nullptr; // the preset in force (non-owning)
    std::array<TFxHandle, kEqBandCount> EqFxHandles {};
    int PreAmpGain = 0; // shown only

private:
    TEQPresetData* AddPreset(std::string const& id, TEqualizerGains const& gains);

    TAudioEngine* m_engine; // non-owning
    TSettings& m_settings;
    std::function<uint32_t()> m_currentStream;
    std::vector<TNamedGains> m_seeded;
};

}
