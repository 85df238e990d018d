#pragma once

// Audio properties of Musepack files: the stream header of stream version 8 ("MPCK" and its
// "SH" packet) or the 32-byte header of stream versions 4 to 7.1.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace vantor {

class TMPEGplus : public TAudioAttributesReader {
public:
    bool FValid = false;
    uint64_t FFileSize = 0;
    uint64_t FTagsSize = 0;      // ID3v2 size plus the size of the tags at the end
    uint32_t FStreamVersion = 0; // 4 to 8; 7.1 is 71
    uint32_t FSampleRate = 0;
    uint32_t FChannelCount = 0;  // stream version 8
    uint32_t FChannelModeID = 0; // older streams: 1 stereo, 2 joint stereo
    uint64_t FSampleCount = 0;
    uint32_t FFrameCount = 0; // older streams: frames of 1152 samples
    uint32_t FBitRate = 0;    // kbit/s as stored (stream versions 4 and 5)
    uint32_t FProfileID = 0;  // stream versions 7 and 7.1
    std::string FEncoder;
    // Replay gain of stream version 7 (gain in 1/100 dB, peak as stored).
    int16_t FTitleGain = 0;
    uint16_t FTitlePeak = 0;
    int16_t FAlbumGain = 0;
    uint16_t FAlbumPeak = 0;

    // Opens the file read-only; true when a Musepack header is found at ID3v2Size.
    bool LoadFromFile(const std::filesystem::path& FileName, uint64_t ID3v2Size, uint64_t RestTagsTotalSize);
    bool LoadFromStream(const TByteSource& Stream, uint64_t ID3v2Size, uint64_t RestTagsTotalSize);
    void Clear();

    std::string ChannelMode() const;
    // kbit/s: the stored bit rate, else computed from the size of the audio and its duration.
    uint32_t BitRate() const;
    std::string Profile() const;
    double Duration() const; // seconds
    // A stream that names no samples or sample rate.
    bool Corrupted() const;
    double Ratio() const;
    // "4.0", "5.0", "6.0", "7.0", "7.1" or "8.0".
    std::string StreamStreamVersionString() const;

    TAudioPropertySet Properties() const override;

private:
    bool ReadVersion8(const TByteSource& Stream, uint64_t At);
    bool ReadOlder(const TByteSource& Stream, uint64_t At);
    uint64_t AudioSize() const { return FFileSize > FTagsSize ? FFileSize - FTagsSize : 0; }
};

} // namespace vantor
