#pragma once

// One equalizer preset: a name and the gains of the ten bands, as kept in the "Presets"
// section of Settings.ini ("Rock=5,4,2,-1,-2,-1,2,4,5,5").

#include "player/settings/Settings.h"

#include <string>
#include <string_view>

namespace vantor {

inline constexpr int kEqBandCount = 10;
inline constexpr int kEqMinGain = -15; // dB
inline constexpr int kEqMaxGain = 15;

// Reads a preset value: fields separated by ",", the first ten giving the band gains in dB.
// Fields may carry blanks around them. A missing field, or one that is not a decimal integer,
// gives 0; gains beyond -15..+15 are clamped to that range. Fields past the tenth are ignored.
TEqualizerGains ParsePresetValue(std::string_view value);

class TEQPresetData {
public:
    std::string pdID = "default";     // the key in "Presets"
    std::string pdCaption = "Preset"; // shown in the preset list
    std::string pdDescription;        // second line in the preset list
    TEqualizerGains pdValue {};       // gains in dB, band 0 to 9
    bool pdCanChange = true;
    bool pdActivePreset = false; // this is the preset in force

    // The gains from a preset value (ParsePresetValue).
    void PopulatePreset(std::string_view SourceString) { pdValue = ParsePresetValue(SourceString); }
    // Copies the gains only.
    void CopyFrom(TEQPresetData const& SourcePreset) { pdValue = SourcePreset.pdValue; }
};

}
