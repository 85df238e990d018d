#pragma once

// Audio properties of RIFF WAVE and RF64 files: the "fmt " chunk, the "data" size and, for
// RF64, the 64-bit counts of the "ds64" chunk.

#include "tags/audio_attributes/ByteSource.h"

#include <array>
#include <cstdint>

namespace vantor {

// The "fmt " chunk as stored (little-endian); the extensible fields are 0 unless FormatTag is
// 0xFFFE.
struct TWaveFmt {
    uint32_t fmtSize = 0;
    uint16_t FormatTag = 0;
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
    uint16_t cbSize = 0;
    uint16_t ValidBitsPerSample = 0;
    uint32_t ChannelMask = 0;
    std::array<uint8_t, 16> SubFormat {};
};

struct TWaveAudio {
    TWaveFmt Fmt;
    uint64_t SampleCount = 0;
    double PlayTime = 0;  // seconds
    uint32_t BitRate = 0; // kbit/s
};

// "RIFF" or "RF64" at the start of Source, followed by "WAVE".
bool IsWaveForm(const TByteSource& Source, bool& IsRF64);

// Fills Audio from the chunks of a WAVE or RF64 file; fields that cannot be read stay 0.
// False when the form is not WAVE.
bool ReadWaveAudio(const TByteSource& Source, TWaveAudio& Audio);

} // namespace vantor
