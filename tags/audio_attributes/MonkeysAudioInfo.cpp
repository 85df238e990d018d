#include "tags/audio_attributes/MonkeysAudioInfo.h"

#include <cstring>

namespace vantor {

namespace {

// Old header format flags.
constexpr uint16_t Flag8Bit = 1;
constexpr uint16_t Flag24Bit = 8;

constexpr uint16_t FirstDescriptorVersion = 3980;
constexpr uint16_t ExtraHighCompression = 4000;

// Frames of the old header hold a number of blocks that depends on the encoder version.
uint32_t OldBlocksPerFrame(uint16_t Version, uint16_t Compression)
{
    if (Version >= 3950)
        return 73728 * 4;
    if (Version >= 3900 || (Version >= 3800 && Compression == ExtraHighCompression))
        return 73728;
    return 9216;
}

} // namespace

bool TMonkeysAudioInfo::LoadFromStream(const TByteSource& Stream, uint64_t Start, uint64_t TagsSize)
{
    *this = TMonkeysAudioInfo {};
    uint8_t H[32];
    if (!Stream.ReadExact(Start, H, sizeof H) || std::memcmp(H, "MAC ", 4) != 0)
        return false;
    Version = GetLE16(H + 4);
    uint32_t BlocksPerFrame, FinalFrameBlocks, TotalFrames;
    if (Version >= FirstDescriptorVersion) {
        // The descriptor gives its own length; the header follows it.
        const uint32_t DescriptorBytes = GetLE32(H + 8);
        uint8_t Header[24];
        if (DescriptorBytes < 52 || !Stream.ReadExact(Start + DescriptorBytes, Header, sizeof Header))
            return false;
        CompressionLevel = GetLE16(Header);
        BlocksPerFrame = GetLE32(Header + 4);
        FinalFrameBlocks = GetLE32(Header + 8);
        TotalFrames = GetLE32(Header + 12);
        Audio.BitsPerSample = GetLE16(Header + 16);
        Audio.Channels = GetLE16(Header + 18);
        Audio.SamplesPerSec = GetLE32(Header + 20);
    } else {
        CompressionLevel = GetLE16(H + 6);
        const uint16_t Flags = GetLE16(H + 8);
        Audio.Channels = GetLE16(H + 10);
        Audio.SamplesPerSec = GetLE32(H + 12);
        TotalFrames = GetLE32(H + 24);
        FinalFrameBlocks = GetLE32(H + 28);
        Audio.BitsPerSample = (Flags & Flag8Bit) ? 8 : (Flags & Flag24Bit) ? 24 : 16;
        BlocksPerFrame = OldBlocksPerFrame(Version, CompressionLevel);
    }
    if (Audio.Channels == 0 || Audio.Channels > 32 || Audio.SamplesPerSec == 0 || Audio.BitsPerSample == 0
        || Audio.BitsPerSample > 32 || BlocksPerFrame == 0 || FinalFrameBlocks > BlocksPerFrame)
        return false;
    if (TotalFrames > 0)
        Audio.SampleCount = uint64_t(TotalFrames - 1) * BlocksPerFrame + FinalFrameBlocks;
    const uint64_t Size = Stream.Size();
    SetTimeAndBitRate(Audio, Size > Start + TagsSize ? Size - Start - TagsSize : 0);
    return true;
}

} // namespace vantor
