#include "tags/audio_attributes/MusepackInfo.h"

#include "tags/audio_attributes/AudioProperties.h"

#include <cstdio>
#include <cstring>

namespace vantor {

namespace {

constexpr uint32_t SampleRates[] = { 44100, 48000, 37800, 32000 };
constexpr uint32_t FrameSamples = 1152;
// The stream header comes first; a stream that has none among its first packets has none.
constexpr int MaxPacketsBeforeHeader = 16;

// Stream version 8 sizes: 7 bits per byte, most significant group first, a set high bit means
// another byte follows. False for a number running past End or beyond 63 bits.
bool ReadVarLen(const TByteSource& Stream, uint64_t& At, uint64_t End, uint64_t& Value)
{
    Value = 0;
    for (int i = 0; i < 9; ++i) {
        uint8_t B;
        if (At >= End || !Stream.ReadExact(At, &B, 1))
            return false;
        ++At;
        if (Value >> 56)
            return false;
        Value = Value << 7 | (B & 0x7F);
        if (!(B & 0x80))
            return true;
    }
    return false;
}

std::string EncoderText(uint8_t Version)
{
    if (Version == 0)
        return {};
    char Text[32];
    if (Version % 10 == 0)
        std::snprintf(Text, sizeof Text, "%u.%u Release", Version / 100u, Version / 10u % 10u);
    else if (Version % 2 == 0)
        std::snprintf(Text, sizeof Text, "%u.%.2u Beta", Version / 100u, Version % 100u);
    else
        std::snprintf(Text, sizeof Text, "%u.%.2u --Alpha--", Version / 100u, Version % 100u);
    return Text;
}

} // namespace

void TMPEGplus::Clear() { *this = TMPEGplus {}; }

bool TMPEGplus::LoadFromFile(const std::filesystem::path& FileName, uint64_t ID3v2Size, uint64_t RestTagsTotalSize)
{
    Clear();
    TFileSource Source;
    return Source.Open(FileName) && LoadFromStream(Source, ID3v2Size, RestTagsTotalSize);
}

bool TMPEGplus::LoadFromStream(const TByteSource& Stream, uint64_t ID3v2Size, uint64_t RestTagsTotalSize)
{
    Clear();
    FFileSize = Stream.Size();
    FTagsSize = ID3v2Size + RestTagsTotalSize;
    uint8_t Magic[4];
    if (ID3v2Size > FFileSize || !Stream.ReadExact(ID3v2Size, Magic, 4))
        return false;
    FValid = std::memcmp(Magic, "MPCK", 4) == 0 ? ReadVersion8(Stream, ID3v2Size + 4) : ReadOlder(Stream, ID3v2Size);
    if (!FValid) {
        const uint64_t Size = FFileSize, Tags = FTagsSize;
        Clear();
        FFileSize = Size;
        FTagsSize = Tags;
    }
    return FValid;
}

bool TMPEGplus::ReadVersion8(const TByteSource& Stream, uint64_t At)
{
    const uint64_t End = Stream.Size();
    for (int Packet = 0; Packet < MaxPacketsBeforeHeader; ++Packet) {
        uint8_t Key[2];
        if (!Stream.ReadExact(At, Key, 2) || Key[0] < 'A' || Key[0] > 'Z' || Key[1] < 'A' || Key[1] > 'Z')
            return false;
        uint64_t Cursor = At + 2;
        uint64_t Size = 0;
        // The size counts the key and the size field too.
        if (!ReadVarLen(Stream, Cursor, End, Size) || Size < Cursor - At || Size > End - At)
            return false;
        const uint64_t PacketEnd = At + Size;
        if (std::memcmp(Key, "SH", 2) == 0) {
            // CRC, stream version, sample count, beginning silence, rate and channels
            uint8_t Version;
            uint64_t Silence = 0;
            uint8_t Rate[2];
            Cursor += 4;
            if (Cursor >= PacketEnd || !Stream.ReadExact(Cursor, &Version, 1))
                return false;
            ++Cursor;
            if (!ReadVarLen(Stream, Cursor, PacketEnd, FSampleCount) || !ReadVarLen(Stream, Cursor, PacketEnd, Silence)
                || PacketEnd - Cursor < 2 || !Stream.ReadExact(Cursor, Rate, 2))
                return false;
            FStreamVersion = Version;
            FSampleRate = (Rate[0] >> 5) < std::size(SampleRates) ? SampleRates[Rate[0] >> 5] : 0;
            FChannelCount = (Rate[1] >> 4) + 1u;
            return true;
        }
        if (std::memcmp(Key, "AP", 2) == 0 || std::memcmp(Key, "SE", 2) == 0)
            return false; // audio before any stream header
        At = PacketEnd;
    }
    return false;
}

bool TMPEGplus::ReadOlder(const TByteSource& Stream, uint64_t At)
{
    uint8_t H[32];
    if (!Stream.ReadExact(At, H, sizeof H))
        return false;
    const uint32_t Word0 = GetLE32(H);
    const uint32_t Word1 = GetLE32(H + 4);
    if (std::memcmp(H, "MP+", 3) == 0 && (H[3] == 0x07 || H[3] == 0x17)) {
        FStreamVersion = H[3] == 0x17 ? 71 : 7;
        FFrameCount = Word1;
        const uint32_t Word2 = GetLE32(H + 8);
        FSampleRate = SampleRates[(Word2 >> 16) & 3];
        FProfileID = (Word2 >> 20) & 0x0F;
        FChannelModeID = (Word2 & 0x40000000) ? 2 : 1;
        FTitlePeak = GetLE16(H + 12);
        FTitleGain = int16_t(GetLE16(H + 14));
        FAlbumPeak = GetLE16(H + 16);
        FAlbumGain = int16_t(GetLE16(H + 18));
        const uint32_t Word5 = GetLE32(H + 20);
        const uint32_t LastFrameSamples = (Word5 >> 20) & 0x7FF;
        FEncoder = EncoderText(H[27]);
        // A gapless stream says how many samples its last frame holds.
        if ((Word5 & 0x80000000) && FFrameCount != 0 && LastFrameSamples != 0)
            FSampleCount = uint64_t(FFrameCount - 1) * FrameSamples + LastFrameSamples;
        else
            FSampleCount = uint64_t(FFrameCount) * FrameSamples;
        return true;
    }
    const uint32_t Version = (Word0 >> 11) & 0x3FF;
    if (Version < 4 || Version > 6)
        return false;
    FStreamVersion = Version;
    FFrameCount = Version == 4 ? Word1 >> 16 : Word1;
    FSampleRate = 44100;
    FChannelModeID = (Word0 & 0x00200000) ? 2 : 1;
    if (Version <= 5)
        FBitRate = Word0 >> 23;
    FSampleCount = uint64_t(FFrameCount) * FrameSamples;
    return true;
}

std::string TMPEGplus::ChannelMode() const
{
    if (FChannelCount != 0) { // stream version 8
        switch (FChannelCount) {
        case 1: return "Mono";
        case 2: return "Stereo";
        default: return "Surround";
        }
    }
    switch (FChannelModeID) {
    case 1: return "Stereo";
    case 2: return "Joint Stereo";
    default: return {};
    }
}

double TMPEGplus::Duration() const { return FSampleRate != 0 ? double(FSampleCount) / FSampleRate : 0; }

uint32_t TMPEGplus::BitRate() const
{
    if (FBitRate != 0)
        return FBitRate;
    const double Seconds = Duration();
    return Seconds > 0 ? RoundProperty<uint32_t>(double(AudioSize()) * 8 / Seconds / 1000) : 0;
}

std::string TMPEGplus::Profile() const
{
    static const char* const Names[16] = { "No profile", "Unstable/Experimental", "Unused", "Unused", "Unused",
        "Below Telephone (q=0.0)", "Below Telephone (q=1.0)", "Telephone (q=2.0)", "Thumb (q=3.0)", "Radio (q=4.0)",
        "Standard (q=5.0)", "Xtreme (q=6.0)", "Insane (q=7.0)", "BrainDead (q=8.0)", "Above BrainDead (q=9.0)",
        "Above BrainDead (q=10.0)" };
    if (FStreamVersion != 7 && FStreamVersion != 71)
        return {};
    return Names[FProfileID & 0x0F];
}

bool TMPEGplus::Corrupted() const { return FValid && (FSampleCount == 0 || FSampleRate == 0); }

double TMPEGplus::Ratio() const
{
    if (!FValid || FFrameCount == 0)
        return 0;
    return double(FFileSize) / (double(FFrameCount) * FrameSamples * 4 + 44) * 100;
}

std::string TMPEGplus::StreamStreamVersionString() const
{
    switch (FStreamVersion) {
    case 4: return "4.0";
    case 5: return "5.0";
    case 6: return "6.0";
    case 7: return "7.0";
    case 71: return "7.1";
    case 8: return "8.0";
    default: return {};
    }
}

TAudioPropertySet TMPEGplus::Properties() const
{
    TAudioPropertySet P;
    P.Channels = uint16_t(FChannelCount);
    P.SamplesPerSec = FSampleRate;
    P.PlayTime = Duration();
    P.SampleCount = FSampleCount;
    P.BitRate = BitRate();
    return P;
}

} // namespace vantor
