#include "player/equalizer/Equalizer.h"

#include "base/CaseFold.h"
#include "base/IniFile.h"

#include <algorithm>
#include <unordered_set>

namespace vantor {

namespace {

constexpr char kPresetsSection[] = "Presets";

}

std::vector<TNamedGains> const& SeedPresets()
{
    // Bands: 80, 170, 310, 600 Hz, 1, 3, 6, 10, 12, 14 kHz.
    static std::vector<TNamedGains> const seeds {
        { kDefaultPresetID, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        { kManualPresetID, { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 } },
        { "Rock", { 5, 4, 2, -1, -2, -1, 2, 4, 5, 5 } },
        { "Pop", { -1, 2, 4, 5, 3, 0, -1, -1, -1, -1 } },
        { "Jazz", { 4, 3, 1, 2, -2, -2, 0, 2, 3, 4 } },
        { "Classical", { 0, 0, 0, 0, 0, 0, -4, -4, -4, -6 } },
        { "Bass Boost", { 8, 6, 4, 2, 0, 0, 0, 0, 0, 0 } },
        { "Treble Boost", { 0, 0, 0, 0, 0, 2, 4, 6, 7, 8 } },
        { "Vocal", { -3, -2, 0, 3, 5, 5, 3, 1, 0, -2 } },
        { "Electronic", { 6, 5, 1, 0, -2, 2, 1, 2, 5, 6 } },
    };
    return seeds;
}

TEqualizer::TEqualizer(TAudioEngine* engine, TSettings& settings, std::function<uint32_t()> currentStream)
    : m_engine(engine)
    , m_settings(settings)
    , m_currentStream(std::move(currentStream))
{
}

TEQPresetData* TEqualizer::AddPreset(std::string const& id, TEqualizerGains const& gains)
{
    auto preset = std::make_unique<TEQPresetData>();
    preset->pdID = id;
    preset->pdCaption = id;
    preset->pdValue = gains;
    EqPresetList.push_back(std::move(preset));
    return EqPresetList.back().get();
}

void TEqualizer::LoadPresets(TIniFile const& settings)
{
    EqPresetList.clear();
    CurrentPreset = nullptr;
    m_seeded.clear();

    if (!settings.SectionExists(kPresetsSection)) {
        m_seeded = SeedPresets();
        for (auto const& [id, gains] : m_seeded)
            AddPreset(id, gains);
    } else {
        // A key written twice reads as its first value in the file; list it once.
        std::unordered_set<std::string> seen;
        for (auto const& [key, value] : settings.ReadSectionValues(kPresetsSection))
            if (seen.insert(FoldCase(key)).second)
                AddPreset(key, ParsePresetValue(value));
        // The sliders edit "Manual" and "off" applies "Default": both must exist.
        for (char const* id : { kManualPresetID, kDefaultPresetID }) {
            if (FindEqPreset(id))
                continue;
            auto preset = std::make_unique<TEQPresetData>();
            preset->pdID = id;
            preset->pdCaption = id;
            EqPresetList.insert(EqPresetList.begin(), std::move(preset));
        }
    }

    if (m_settings.EqualizerOn)
        ApplyEqPresetByID(m_settings.EqPresetName);
    else
        ApplyEqPresetByID(kDefaultPresetID);
}

void TEqualizer::ApplyEqPreset(TEQPresetData* Preset)
{
    if (!Preset)
        return;
    // Engine calls on a missing stream fail silently; the state below changes regardless.
    TChannelHandle const stream = (m_currentStream ? m_currentStream() : 0);
    if (m_engine) {
        for (TFxHandle& fx : EqFxHandles)
            if (fx != 0 && m_engine->ChannelRemoveFX(stream, fx))
                fx = 0;
        for (int band = 0; band < kEqBandCount; ++band) {
            EqFxHandles[band] = m_engine->ChannelSetFX(stream, TEffectType::ParamEq, 1);
            m_engine->FXSetParameters(
                EqFxHandles[band], { kEqBandCenters[band], kEqBandwidth, static_cast<float>(Preset->pdValue[band]) });
        }
    }
    for (auto const& preset : EqPresetList)
        preset->pdActivePreset = false;
    CurrentPreset = Preset;
    if (Preset->pdID != kDefaultPresetID)
        m_settings.EqPresetName = Preset->pdID;
    Preset->pdActivePreset = true;
}

std::array<TFxHandle, kEqBandCount> TEqualizer::FiltersFor(TChannelHandle stream) const
{
    std::array<TFxHandle, kEqBandCount> filters {};
    if (!m_engine || !CurrentPreset)
        return filters;
    for (int band = 0; band < kEqBandCount; ++band) {
        filters[band] = m_engine->ChannelSetFX(stream, TEffectType::ParamEq, 1);
        m_engine->FXSetParameters(
            filters[band], { kEqBandCenters[band], kEqBandwidth, static_cast<float>(CurrentPreset->pdValue[band]) });
    }
    return filters;
}

void TEqualizer::TakeOverFilters(std::array<TFxHandle, kEqBandCount> const& filters)
{
    EqFxHandles = filters;
    // Filters that could not be put on the stream are made afresh with the whole preset.
    if (std::find(filters.begin(), filters.end(), TFxHandle(0)) != filters.end()) {
        ApplyEqPreset(CurrentPreset);
        return;
    }
    if (!m_engine || !CurrentPreset)
        return;
    for (int band = 0; band < kEqBandCount; ++band)
        m_engine->FXSetParameters(
            filters[band], { kEqBandCenters[band], kEqBandwidth, static_cast<float>(CurrentPreset->pdValue[band]) });
}

TEQPresetData* TEqualizer::FindEqPreset(std::string_view ID) const
{
    auto const found = std::find_if(
        EqPresetList.rbegin(), EqPresetList.rend(), [ID](auto const& preset) { return preset->pdID == ID; });
    return found == EqPresetList.rend() ? nullptr : found->get();
}

void TEqualizer::ApplyEqPresetByID(std::string_view ID)
{
    // The ID is copied: applying a preset may change the setting it came from.
    std::string const id(ID);
    for (auto const& preset : EqPresetList)
        if (preset->pdID == id)
            ApplyEqPreset(preset.get());
}

void TEqualizer::SetEqualizerOn(bool on)
{
    m_settings.EqualizerOn = on;
    if (on)
        ApplyEqPresetByID(m_settings.EqPresetName);
    else
        ApplyEqPresetByID(kDefaultPresetID);
}

void TEqualizer::SetBalance(double value)
{
    // NaN would otherwise survive the clamp and reach the file.
    m_settings.BalanceValue = value == value ? std::clamp(value, -1.0, 1.0) : 0.0;
    if (m_engine)
        m_engine->ChannelSetAttribute((m_currentStream ? m_currentStream() : 0), TChannelAttribute::Pan,
            static_cast<float>(m_settings.BalanceValue));
}

std::optional<TEqualizerGains> TEqualizer::ManualGains() const
{
    if (TEQPresetData const* manual = FindEqPreset(kManualPresetID))
        return manual->pdValue;
    return std::nullopt;
}

}
