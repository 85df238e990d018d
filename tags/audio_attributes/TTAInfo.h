#pragma once

// Audio properties of TTA (version 1) files: the 22-byte header at the start of the stream.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"

#include <cstdint>

namespace vantor {

class TTTAInfo : public TAudioAttributesReader {
public:
    uint16_t Format = 0; // 1 plain, 2 encrypted
    TAudioPropertySet Audio;

    // Reads the header at Start (behind an ID3v2 tag); TagsSize bytes of tags end the file.
    // False when there is no valid header.
    bool LoadFromStream(const TByteSource& Stream, uint64_t Start, uint64_t TagsSize);

    TAudioPropertySet Properties() const override { return Audio; }
};

} // namespace vantor
