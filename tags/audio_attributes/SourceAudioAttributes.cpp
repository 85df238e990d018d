#include "tags/audio_attributes/SourceAudioAttributes.h"

namespace vantor {

namespace {

enum class TWalkStop { None, Format, BitsPerSample };

// First non-zero value of the walk; a source that stops the walk for this property gives 0.
template <typename T, typename Get>
T Walk(const TAudioPropertySources* Parent, TWalkStop Stop, Get Value)
{
    if (!Parent)
        return T {};
    for (const TAudioPropertySet& Source : Parent->PropertiesByRisingPriority()) {
        if (Stop != TWalkStop::None && Source.StopsFormatWalk)
            return T {};
        if (Stop == TWalkStop::BitsPerSample && Source.StopsBitsPerSampleWalk)
            return T {};
        const T V = Value(Source);
        if (V != T {})
            return V;
    }
    return T {};
}

} // namespace

uint16_t TSourceAudioAttributes::Channels() const
{
    if (WAVPackAttributes)
        return WAVPackAttributes->Properties().Channels;
    if (StreamAttributes)
        return StreamAttributes->Properties().Channels;
    if (MusePackAttributes) {
        const uint16_t C = MusePackAttributes->Properties().Channels;
        return C != 0 ? C : 2;
    }
    return Walk<uint16_t>(Parent, TWalkStop::Format, [](const TAudioPropertySet& S) { return S.Channels; });
}

uint32_t TSourceAudioAttributes::SamplesPerSec() const
{
    if (WAVPackAttributes)
        return WAVPackAttributes->Properties().SamplesPerSec;
    if (StreamAttributes)
        return StreamAttributes->Properties().SamplesPerSec;
    if (MusePackAttributes)
        return MusePackAttributes->Properties().SamplesPerSec;
    return Walk<uint32_t>(Parent, TWalkStop::Format, [](const TAudioPropertySet& S) { return S.SamplesPerSec; });
}

uint16_t TSourceAudioAttributes::BitsPerSample() const
{
    if (WAVPackAttributes) {
        const uint16_t B = WAVPackAttributes->Properties().BitsPerSample;
        if (B != 0)
            return B;
    } else if (StreamAttributes) {
        return StreamAttributes->Properties().BitsPerSample;
    } else if (MusePackAttributes) {
        return 0;
    }
    return Walk<uint16_t>(Parent, TWalkStop::BitsPerSample, [](const TAudioPropertySet& S) { return S.BitsPerSample; });
}

double TSourceAudioAttributes::PlayTime() const
{
    if (WAVPackAttributes)
        return WAVPackAttributes->Properties().PlayTime;
    if (StreamAttributes)
        return StreamAttributes->Properties().PlayTime;
    if (MusePackAttributes)
        return MusePackAttributes->Properties().PlayTime;
    return Walk<double>(Parent, TWalkStop::None, [](const TAudioPropertySet& S) { return S.PlayTime; });
}

uint64_t TSourceAudioAttributes::SampleCount() const
{
    if (WAVPackAttributes)
        return WAVPackAttributes->Properties().SampleCount;
    if (StreamAttributes)
        return StreamAttributes->Properties().SampleCount;
    if (MusePackAttributes)
        return MusePackAttributes->Properties().SampleCount;
    return Walk<uint64_t>(Parent, TWalkStop::None, [](const TAudioPropertySet& S) { return S.SampleCount; });
}

uint32_t TSourceAudioAttributes::BitRate() const
{
    if (WAVPackAttributes)
        return WAVPackAttributes->Properties().BitRate;
    if (StreamAttributes)
        return StreamAttributes->Properties().BitRate;
    if (MusePackAttributes)
        return MusePackAttributes->Properties().BitRate;
    return Walk<uint32_t>(Parent, TWalkStop::None, [](const TAudioPropertySet& S) { return S.BitRate; });
}

} // namespace vantor
