#pragma once

// Audio properties of DSDIFF files: the version, the "PROP" chunk's sample rate, channels and
// compression, and the size of the sound data ("DSD " or, DST-coded, "DST " with its frame
// count and rate).

#include "tags/audio_attributes/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantor {

class TDFFInfo {
public:
    TDFFInfo() { ResetData(); }

    std::string FormatVersion; // "1.0", "1.3", "1.4", "1.5" or empty
    uint32_t SampleRate = 0;   // Hz
    uint16_t ChannelNumber = 0;
    std::string CompressionName; // "Not Compressed", "DST Encoded" or the file's own name
    uint64_t SampleCount = 0;    // per channel
    double PlayTime = 0;         // seconds
    uint32_t BitRate = 0;        // kbit/s of the stored sound data
    uint64_t SoundDataLength = 0;
    uint32_t DSTFramesCount = 0;
    uint16_t DSTFramesRate = 0; // frames per second
    double Ratio = 0;           // stored sound data in percent of the uncompressed size

    void ResetData();
    // Opens the file read-only; false when it cannot be opened or is not DSDIFF.
    bool LoadFromFile(const std::filesystem::path& FileName);
    // False when Stream does not start with a DSDIFF form; fields that cannot be read stay 0.
    bool LoadFromStream(const TByteSource& Stream);
};

} // namespace vantor
