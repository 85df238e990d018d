#pragma once

// Audio properties of AIFF and AIFC files: the "COMM" chunk and the size of "SSND".

#include "tags/audio_attributes/ByteSource.h"

#include <cstdint>
#include <string>

namespace vantor {

struct TAIFFInformation {
    uint16_t Channels = 0;
    uint32_t SampleFrames = 0;
    uint16_t SampleSize = 0;
    double SampleRate = 0;     // from the 80-bit extended float
    std::string CompressionID; // AIFC only: 4 characters
    std::string Compression;   // AIFC only: UTF-8
};

struct TAIFFAudio {
    TAIFFInformation Info;
    uint64_t SoundDataSize = 0; // the "SSND" chunk's size field
    double PlayTime = 0;        // seconds
    uint32_t BitRate = 0;       // kbit/s
};

// The value of an 80-bit big-endian IEEE extended float; 0 for zero, denormals and NaN/infinity.
double Extended80ToDouble(const uint8_t Bytes[10]);

// "FORM" at the start of Source with the form type "AIFF" or "AIFC".
bool IsAIFFForm(const TByteSource& Source, bool& IsAIFC);

// Fills Audio from the chunks of an AIFF/AIFC file; fields that cannot be read stay 0.
// False when the form is not AIFF or AIFC.
bool ReadAIFFAudio(const TByteSource& Source, TAIFFAudio& Audio);

} // namespace vantor
