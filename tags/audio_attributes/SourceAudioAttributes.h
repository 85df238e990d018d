#pragma once

// TSourceAudioAttributes picks one answer per audio property (channels, sample rate, bits per
// sample, play time, sample count, bit rate) from the format objects that loaded a file.
//
// A WavPack, Musepack, Monkey's Audio, TTA or Speex reader, when one is attached, answers first. Otherwise the sources
// are walked from the lowest load priority to the highest and the first non-zero value wins;
// the owner supplies the sources in that order.

#include "tags/audio_attributes/AudioProperties.h"

#include <memory>
#include <vector>

namespace vantor {

// A reader of a format whose properties override the tag objects' (WavPack, Musepack,
// Monkey's Audio, TTA, Speex).
class TAudioAttributesReader {
public:
    virtual ~TAudioAttributesReader() = default;
    virtual TAudioPropertySet Properties() const = 0;
};

// Supplies the loaded format objects' properties, lowest load priority first.
class TAudioPropertySources {
public:
    virtual ~TAudioPropertySources() = default;
    virtual std::vector<TAudioPropertySet> PropertiesByRisingPriority() const = 0;
};

class TSourceAudioAttributes {
public:
    // Parent is not owned and must outlive this object; null gives no walk.
    explicit TSourceAudioAttributes(const TAudioPropertySources* Parent = nullptr)
        : Parent(Parent)
    {
    }

    const TAudioPropertySources* Parent;
    std::unique_ptr<TAudioAttributesReader> WAVPackAttributes;
    std::unique_ptr<TAudioAttributesReader> MusePackAttributes;
    // Monkey's Audio, TTA or Speex: no tag object knows their audio.
    std::unique_ptr<TAudioAttributesReader> StreamAttributes;

    uint16_t Channels() const;
    uint32_t SamplesPerSec() const;
    uint16_t BitsPerSample() const;
    double PlayTime() const;
    uint64_t SampleCount() const;
    uint32_t BitRate() const;
};

} // namespace vantor
