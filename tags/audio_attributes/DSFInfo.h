#pragma once

// Audio properties of DSF files: the "fmt " chunk that follows the "DSD " header chunk.

#include "tags/audio_attributes/ByteSource.h"

#include <cstdint>

namespace vantor {

struct TDSFInfo {
    uint32_t FormatVersion = 0;
    uint32_t FormatID = 0;
    uint32_t ChannelType = 0; // 1 to 7; anything else reads as 0
    uint32_t ChannelNumber = 0;
    uint32_t SamplingFrequency = 0; // Hz
    uint32_t BitsPerSample = 0;     // 1 (LSB first) or 8 (MSB first)
    uint64_t SampleCount = 0;       // per channel
    uint32_t BlockSizePerChannel = 0;
    double PlayTime = 0; // seconds

    void Clear() { *this = TDSFInfo {}; }
    void Assign(const TDSFInfo& Source) { *this = Source; }
    // kbit/s; 0 when the play time is unknown.
    uint32_t BitRate() const;
};

// Fills Info from a DSF file at the start of Source; false when it is not one or its "fmt "
// chunk cannot be read (Info is then cleared).
bool ReadDSFInfo(const TByteSource& Source, TDSFInfo& Info);

} // namespace vantor
