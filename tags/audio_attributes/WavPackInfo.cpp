#include "tags/audio_attributes/WavPackInfo.h"

#include "tags/audio_attributes/ChunkWalker.h"

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {

constexpr uint32_t SampleRates[] = { 6000, 8000, 9600, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000, 64000,
    88200, 96000, 192000 };

// Version 4 block header flags.
constexpr uint32_t FlagMono = 1u << 2;
constexpr uint32_t FlagHybrid = 1u << 3;
constexpr uint32_t FlagDSD = 1u << 31;
constexpr uint32_t RateIndexShift = 23;

// Metadata sub-block ids of a version 4 block.
constexpr uint8_t IdMask = 0x3F;
constexpr uint8_t IdOddSize = 0x40;
constexpr uint8_t IdLarge = 0x80;
constexpr uint8_t IdChannelInfo = 0x0D;
constexpr uint8_t IdConfigBlock = 0x25;
constexpr uint8_t IdSampleRate = 0x27;
constexpr uint8_t IdDSDBlock = 0x0E;
constexpr uint8_t MaxDSDRateShift = 8;

// Version 3 mode flags.
constexpr uint16_t V3Mono = 0x0001;
constexpr uint16_t V3Fast = 0x0002;
constexpr uint16_t V3High = 0x0010;
constexpr uint16_t V3CorrectionFile = 0x0080;

constexpr uint32_t UnknownSamples = 0xFFFFFFFF;

struct TBlockHeader {
    uint32_t BlockSize = 0; // the whole block minus 8
    uint16_t Version = 0;
    uint64_t TotalSamples = 0;
    bool TotalKnown = false;
    uint64_t BlockIndex = 0;
    uint32_t BlockSamples = 0;
    uint32_t Flags = 0;
};

bool ReadBlockHeader(const TByteSource& Stream, uint64_t At, TBlockHeader& H)
{
    uint8_t B[32];
    if (!Stream.ReadExact(At, B, sizeof B) || std::memcmp(B, "wvpk", 4) != 0)
        return false;
    H.BlockSize = GetLE32(B + 4);
    if (H.BlockSize < 24)
        return false;
    H.Version = GetLE16(B + 8);
    // 40-bit counts: the upper 8 bits sit in bytes 10 and 11; the low word 0xFFFFFFFF is kept
    // for an unknown length, so each 2^32 is stored one lower.
    const uint32_t Total = GetLE32(B + 12);
    H.TotalKnown = Total != UnknownSamples;
    H.TotalSamples = H.TotalKnown ? (uint64_t(B[11]) << 32) + Total - B[11] : 0;
    H.BlockIndex = (uint64_t(B[10]) << 32) + GetLE32(B + 16);
    H.BlockSamples = GetLE32(B + 20);
    H.Flags = GetLE32(B + 24);
    return true;
}

// Samples of a stream whose first block does not know its length: the end of its last block.
uint64_t CountSamples(const TByteSource& Stream, uint64_t End)
{
    uint64_t Samples = 0;
    uint64_t At = 0;
    TBlockHeader H;
    while (At < End && End - At >= 32 && ReadBlockHeader(Stream, At, H)) {
        if (H.BlockSamples != 0)
            Samples = std::max(Samples, H.BlockIndex + H.BlockSamples);
        At += uint64_t(H.BlockSize) + 8;
    }
    return Samples;
}

} // namespace

void TWAVPackfile::Clear()
{
    FValid = false;
    FFileSize = 0;
    FTagSize = 0;
    FVersion = 0;
    FChannels = 0;
    FSampleRate = 0;
    FBits = 0;
    FSamples = 0;
    FBSamples = 0;
    FBitrate = 0;
    FDuration = 0;
    FEncoder.clear();
}

bool TWAVPackfile::LoadFromFile(const std::filesystem::path& FileName, uint64_t TagSize)
{
    Clear();
    TFileSource Source;
    return Source.Open(FileName) && LoadFromStream(Source, TagSize);
}

bool TWAVPackfile::LoadFromStream(const TByteSource& Stream, uint64_t TagSize)
{
    Clear();
    FFileSize = Stream.Size();
    FTagSize = TagSize;
    uint8_t Magic[4];
    if (!Stream.ReadExact(0, Magic, 4))
        return false;
    if (std::memcmp(Magic, "wvpk", 4) == 0)
        FValid = ReadVersion4(Stream);
    else if (std::memcmp(Magic, "RIFF", 4) == 0)
        FValid = ReadVersion3(Stream);
    if (!FValid) {
        Clear();
        return false;
    }
    return true;
}

bool TWAVPackfile::ReadVersion4(const TByteSource& Stream)
{
    TBlockHeader H;
    if (!ReadBlockHeader(Stream, 0, H))
        return false;
    FVersion = H.Version >> 8;
    FChannels = (H.Flags & FlagMono) ? 1 : 2;
    FBits = ((H.Flags & 3) + 1) * 8;
    FBSamples = H.BlockSamples;
    const uint32_t RateIndex = (H.Flags >> RateIndexShift) & 0x1F;
    FSampleRate = RateIndex < std::size(SampleRates) ? SampleRates[RateIndex] : 44100;
    FEncoder = (H.Flags & FlagHybrid) ? "hybrid lossy" : "lossless";

    // The first block's metadata: the real channel count of a multichannel stream, the rate of
    // a stream whose rate is not in the table, and the encoder's mode.
    const uint64_t BlockEnd = std::min<uint64_t>(uint64_t(H.BlockSize) + 8, Stream.Size());
    uint64_t At = 32;
    uint8_t DSDRateShift = 0;
    while (BlockEnd > At && BlockEnd - At >= 2) {
        uint8_t Head[4] = {};
        if (!Stream.ReadExact(At, Head, 2))
            break;
        const uint8_t Id = Head[0];
        uint64_t Words = Head[1];
        uint64_t DataAt = At + 2;
        if (Id & IdLarge) {
            if (BlockEnd - At < 4 || !Stream.ReadExact(At, Head, 4))
                break;
            Words = uint64_t(Head[1]) | uint64_t(Head[2]) << 8 | uint64_t(Head[3]) << 16;
            DataAt = At + 4;
        }
        const uint64_t Stored = Words * 2;
        const uint64_t Length = (Id & IdOddSize) && Stored > 0 ? Stored - 1 : Stored;
        uint8_t Data[3] = {};
        const size_t Got = Length >= 1 && DataAt < BlockEnd
            ? Stream.ReadAt(DataAt, Data, size_t(std::min<uint64_t>({ Length, sizeof Data, BlockEnd - DataAt })))
            : 0;
        switch (Id & IdMask) {
        case IdChannelInfo:
            if (Got >= 1 && Data[0] != 0)
                FChannels = Data[0];
            break;
        case IdSampleRate:
            if (Got >= 3 && RateIndex == 15)
                FSampleRate = uint32_t(Data[0]) | uint32_t(Data[1]) << 8 | uint32_t(Data[2]) << 16;
            break;
        case IdDSDBlock:
            // DSD audio is stored as bytes of 8 one-bit samples per channel; the header's rate
            // is that byte rate shifted right by the first byte of the DSD data.
            if (Got >= 1 && (H.Flags & FlagDSD) && Data[0] <= MaxDSDRateShift)
                DSDRateShift = Data[0];
            break;
        case IdConfigBlock:
            if (Got >= 1) {
                switch (Data[0]) {
                case 8: FEncoder += " (high)"; break;
                case 0: FEncoder += " (normal)"; break;
                case 2: FEncoder += " (fast)"; break;
                case 6: FEncoder += " (very fast)"; break;
                default: break;
                }
            }
            break;
        default: break;
        }
        At = DataAt + Stored;
    }

    FSampleRate <<= DSDRateShift;
    FSamples = H.TotalKnown ? H.TotalSamples : CountSamples(Stream, AudioSize());
    if (FSampleRate != 0)
        FDuration = double(FSamples) / FSampleRate;
    if (FDuration > 0)
        FBitrate = double(AudioSize()) * 8 / FDuration / 1000;
    return true;
}

bool TWAVPackfile::ReadVersion3(const TByteSource& Stream)
{
    uint8_t Head[12];
    if (!Stream.ReadExact(0, Head, sizeof Head) || std::memcmp(Head + 8, "WAVE", 4) != 0)
        return false;
    TChunkWalker Walker(Stream, TChunkSizeField::LE32, 12, Stream.Size());
    TChunk Chunk;
    bool HaveFormat = false;
    uint8_t Fmt[16] = {};
    while (Walker.Next(Chunk)) {
        if (Chunk.Is("fmt ")) {
            HaveFormat = Chunk.Size >= 16 && Stream.ReadExact(Chunk.DataOffset, Fmt, sizeof Fmt);
        } else if (Chunk.Is("data")) {
            break;
        }
    }
    // The WavPack header follows the "data" chunk's header in place of the samples.
    uint8_t W[36];
    if (!HaveFormat || !Chunk.Is("data") || !Stream.ReadExact(Chunk.DataOffset, W, sizeof W)
        || std::memcmp(W, "wvpk", 4) != 0)
        return false;
    FChannels = GetLE16(Fmt + 2);
    FSampleRate = GetLE32(Fmt + 4);
    FBitrate = GetLE32(Fmt + 8) / 125.0;
    FBits = GetLE16(Fmt + 14);
    if (int32_t(FSampleRate) <= 0)
        FSampleRate = 44100;

    FVersion = GetLE16(W + 8);
    const uint16_t LossyBits = GetLE16(W + 10);
    const uint16_t Flags = GetLE16(W + 12);
    const uint32_t Total = GetLE32(W + 16);
    FChannels = 2 - (Flags & V3Mono);
    FSamples = Total;
    if (LossyBits != 0 && FVersion >= 3) {
        FEncoder = std::string("hybrid") + ((Flags & V3CorrectionFile) ? " lossless" : " lossy");
        if (Flags & V3High)
            FEncoder += " (high)";
    } else if (LossyBits != 0) {
        FEncoder = std::to_string(LossyBits) + "-bit lossy";
        if (Flags & V3High)
            FEncoder += " high";
        else if (Flags & V3Fast)
            FEncoder += " fast";
    } else if (Flags & V3Fast) {
        FEncoder = "lossless (fast mode)";
    } else if (Flags & V3High) {
        FEncoder = "lossless (high mode)";
    } else {
        FEncoder = "lossless";
    }
    FDuration = double(FSamples) / FSampleRate;
    if (FDuration > 0)
        FBitrate = double(AudioSize()) * 8 / (FDuration * 1000);
    return true;
}

std::string TWAVPackfile::ChannelMode() const
{
    switch (FChannels) {
    case 0: return {};
    case 1: return "Mono";
    case 2: return "Stereo";
    default: return "Surround";
    }
}

double TWAVPackfile::Ratio() const
{
    const double Uncompressed = double(FSamples) * FChannels * FBits / 8 + 44;
    return FValid && FSamples != 0 ? double(AudioSize()) / Uncompressed * 100 : 0;
}

TAudioPropertySet TWAVPackfile::Properties() const
{
    TAudioPropertySet P;
    P.Channels = FChannels;
    P.SamplesPerSec = FSampleRate;
    P.BitsPerSample = uint16_t(FBits);
    P.PlayTime = FDuration;
    P.SampleCount = FSamples;
    P.BitRate = RoundProperty<uint32_t>(FBitrate);
    return P;
}

} // namespace vantor
