#pragma once

// Audio properties of WavPack files: the first block header of a version 4 stream ("wvpk" at
// the start), or the RIFF header and "wvpk" header of a version 3 file.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantor {

class TWAVPackfile : public TAudioAttributesReader {
public:
    bool FValid = false;
    uint64_t FFileSize = 0;
    uint64_t FTagSize = 0; // bytes of tags at the end, given by the caller
    uint32_t FVersion = 0;
    uint16_t FChannels = 0;
    uint32_t FSampleRate = 0;
    uint32_t FBits = 0;
    uint64_t FSamples = 0;
    uint64_t FBSamples = 0; // samples in the first block
    double FBitrate = 0;    // kbit/s
    double FDuration = 0;   // seconds
    std::string FEncoder;

    // Opens the file read-only; true when it is WavPack.
    bool LoadFromFile(const std::filesystem::path& FileName, uint64_t TagSize);
    bool LoadFromStream(const TByteSource& Stream, uint64_t TagSize);
    void Clear();

    // "Mono", "Stereo" or "Surround"; empty when nothing was read.
    std::string ChannelMode() const;
    // Size of the stream in percent of the uncompressed audio; 0 when unknown.
    double Ratio() const;

    TAudioPropertySet Properties() const override;

private:
    bool ReadVersion4(const TByteSource& Stream);
    bool ReadVersion3(const TByteSource& Stream);
    uint64_t AudioSize() const { return FFileSize > FTagSize ? FFileSize - FTagSize : 0; }
};

} // namespace vantor
