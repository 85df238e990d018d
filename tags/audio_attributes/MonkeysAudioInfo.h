#pragma once

// Audio properties of Monkey's Audio files: the descriptor and header of version 3.98 and
// later, or the single older header.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"

#include <cstdint>

namespace vantor {

class TMonkeysAudioInfo : public TAudioAttributesReader {
public:
    uint16_t Version = 0; // 3990 for 3.99
    uint16_t CompressionLevel = 0;
    TAudioPropertySet Audio;

    // Reads the header at Start (behind an ID3v2 tag); TagsSize bytes of tags end the file.
    // False when there is no valid header.
    bool LoadFromStream(const TByteSource& Stream, uint64_t Start, uint64_t TagsSize);

    TAudioPropertySet Properties() const override { return Audio; }
};

} // namespace vantor
