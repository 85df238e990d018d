#pragma once

// Audio properties of Speex streams in Ogg: the Speex header in the first page, and the play
// time from the granule position of the stream's last page.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"

#include <cstdint>

namespace vantor {

class TSpeexInfo : public TAudioAttributesReader {
public:
    int32_t Mode = 0;           // 0 narrowband, 1 wideband, 2 ultra-wideband
    int32_t NominalBitRate = 0; // bit/s as the header gives it; -1 when unknown
    bool VBR = false;
    TAudioPropertySet Audio;

    // False when the first Ogg page does not hold a valid Speex header.
    bool LoadFromStream(const TByteSource& Stream);

    TAudioPropertySet Properties() const override { return Audio; }
};

} // namespace vantor
