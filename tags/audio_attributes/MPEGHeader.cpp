#include "tags/audio_attributes/MPEGHeader.h"

#include <cstring>

namespace vantor {

namespace {

// kbit/s by bit-rate index; index 0 (free format) and 15 (invalid) are handled by the caller.
constexpr uint16_t BitRatesV1[3][16] = {
    { 0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0 },
    { 0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0 },
    { 0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0 },
};
constexpr uint16_t BitRatesV2[2][16] = {
    { 0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0 },
    { 0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0 },
};
constexpr uint32_t SampleRatesV1[3] = { 44100, 48000, 32000 };
constexpr uint32_t SampleRatesV2[3] = { 22050, 24000, 16000 };
constexpr uint32_t SampleRatesV25[3] = { 11025, 12000, 8000 };

bool IsSyncSecondByte(uint8_t B)
{
    switch (B) {
    case 0xE3:
    case 0xF2:
    case 0xF3:
    case 0xF9:
    case 0xFA:
    case 0xFB:
    case 0xFC:
    case 0xFD: return true;
    default: return false;
    }
}

// Length of the layer 3 side information that precedes a Xing header.
uint32_t SideInfoLength(const TMPEGHeaderX& Info)
{
    const bool Mono = Info.ChannelMode == tmpegcmMono;
    switch (Info.ChannelMode) {
    case tmpegcmUnknown: return 0;
    default:
        if (Info.Version == tmpegv1)
            return Mono ? 17 : 32;
        return Mono ? 9 : 17;
    }
}

constexpr uint64_t MaxJunkBytes = 128 * 1024;
constexpr int MaxSkippedTags = 16;

// Length of an ID3v2 tag (footer included) whose 10 header bytes start at B; 0 when B holds none.
uint64_t ID3v2TagLength(const uint8_t* B)
{
    if (std::memcmp(B, "ID3", 3) != 0 || B[3] == 0xFF || B[4] == 0xFF || ((B[6] | B[7] | B[8] | B[9]) & 0x80) != 0)
        return 0;
    const uint64_t Size = (uint64_t(B[6]) << 21) | (uint64_t(B[7]) << 14) | (uint64_t(B[8]) << 7) | B[9];
    return 10 + Size + ((B[5] & 0x10) ? 10 : 0);
}

// A header with every field valid and a known frame length (the free format has none).
bool PlausibleHeader(uint32_t H, TMPEGHeaderX& Info)
{
    if ((H >> 21) != 0x7FF)
        return false;
    DecodeMPEGHeader(H, Info);
    return Info.Version != tmpegvUnknown && Info.Layer != tmpeglUnknown && Info.SampleRate != 0 && Info.BitRate != 0
        && Info.BitRate != 0xFFFF && Info.FrameSize >= 4;
}

// The frame is followed by one of the same version, layer and sample rate, or ends the data.
bool NextFrameFollows(const TByteSource& Source, uint64_t Position, const TMPEGHeaderX& Info)
{
    const uint64_t Next = Position + Info.FrameSize;
    if (Next > Source.Size() || Source.Size() - Next < 4)
        return Next <= Source.Size();
    uint8_t B[4];
    TMPEGHeaderX Following;
    return Source.ReadExact(Next, B, sizeof B) && PlausibleHeader(GetBE32(B), Following)
        && Following.Version == Info.Version && Following.Layer == Info.Layer
        && Following.SampleRate == Info.SampleRate;
}

} // namespace

void DecodeMPEGHeader(uint32_t H, TMPEGHeaderX& Info)
{
    Info.Header = H;
    switch ((H >> 19) & 3) {
    case 3: Info.Version = tmpegv1; break;
    case 2: Info.Version = tmpegv2; break;
    case 0: Info.Version = tmpegv25; break;
    default: Info.Version = tmpegvUnknown; break;
    }
    switch ((H >> 17) & 3) {
    case 3: Info.Layer = tmpegl1; break;
    case 2: Info.Layer = tmpegl2; break;
    case 1: Info.Layer = tmpegl3; break;
    default: Info.Layer = tmpeglUnknown; break;
    }
    Info.CRC = ((H >> 16) & 1) == 0;

    const uint32_t RateIndex = (H >> 12) & 15;
    Info.BitRate = 0;
    if (RateIndex == 0) {
        Info.BitRate = 0xFFFF;
    } else if (Info.Layer != tmpeglUnknown && Info.Version != tmpegvUnknown) {
        if (Info.Version == tmpegv1)
            Info.BitRate = BitRatesV1[Info.Layer - tmpegl1][RateIndex];
        else
            Info.BitRate = BitRatesV2[Info.Layer == tmpegl1 ? 0 : 1][RateIndex];
    }

    const uint32_t SampleIndex = (H >> 10) & 3;
    Info.SampleRate = 0;
    if (SampleIndex < 3) {
        switch (Info.Version) {
        case tmpegv1: Info.SampleRate = SampleRatesV1[SampleIndex]; break;
        case tmpegv2: Info.SampleRate = SampleRatesV2[SampleIndex]; break;
        case tmpegv25: Info.SampleRate = SampleRatesV25[SampleIndex]; break;
        default: break;
        }
    }
    Info.Padding = (H >> 9) & 1;
    Info._Private = (H >> 8) & 1;

    switch ((H >> 6) & 3) {
    case 0: Info.ChannelMode = tmpegcmStereo; break;
    case 1: Info.ChannelMode = tmpegcmJointStereo; break;
    case 2: Info.ChannelMode = tmpegcmDualChannel; break;
    default: Info.ChannelMode = tmpegcmMono; break;
    }
    Info.ModeExtension = tmpegmeNone;
    if (Info.ChannelMode == tmpegcmJointStereo) {
        constexpr TMPEGModeExtension Extensions[4] = { tmpegmeNone, tmpegmeIntensity, tmpegmeMS, tmpegmeIntensityMS };
        Info.ModeExtension = Extensions[(H >> 4) & 3];
    }
    Info.Copyrighted = (H >> 3) & 1;
    Info.Original = (H >> 2) & 1;
    constexpr TMPEGEmphasis Emphases[4] = { tmpegeNo, tmpege5015, tmpegeUnknown, tmpegeCCITJ17 };
    Info.Emphasis = Emphases[H & 3];

    Info.FrameSize = 0;
    if (Info.SampleRate != 0) {
        const uint64_t P = Info.Padding ? 1 : 0;
        const uint64_t Rate = Info.BitRate;
        if (Info.Layer == tmpegl1)
            Info.FrameSize = uint32_t((12000 * Rate / Info.SampleRate + P) * 4);
        else if (Info.Layer == tmpegl3 && Info.Version != tmpegv1)
            Info.FrameSize = uint32_t(72000 * Rate / Info.SampleRate + P);
        else
            Info.FrameSize = uint32_t(144000 * Rate / Info.SampleRate + P);
    }
}

std::optional<uint64_t> FindMPEGFrameSync(const TByteSource& Source, uint64_t Start)
{
    // 33 attempts consume at most 66 bytes.
    uint8_t Window[66];
    const size_t Count = Source.ReadAt(Start, Window, sizeof Window);
    size_t Pos = 0;
    for (int Attempt = 0; Attempt < 33 && Pos < Count; ++Attempt) {
        if (Window[Pos++] != 0xFF)
            continue;
        if (Pos >= Count)
            break;
        if (IsSyncSecondByte(Window[Pos++]))
            return Start + Pos - 2;
    }
    return std::nullopt;
}

std::optional<uint64_t> FindMPEGAudioFrame(const TByteSource& Source, uint64_t Start)
{
    if (const std::optional<uint64_t> Sync = FindMPEGFrameSync(Source, Start); Sync == Start)
        return Start;
    uint8_t Chunk[4096 + 10];
    uint64_t At = Start, Junk = 0;
    int Tags = 0;
    while (Junk < MaxJunkBytes) {
        const size_t Count = Source.ReadAt(At, Chunk, sizeof Chunk);
        if (Count < 4)
            return std::nullopt;
        // The last 10 bytes of a full chunk are only looked at from the next one.
        const size_t Last = Count == sizeof Chunk ? Count - 10 : Count - 3;
        uint64_t Skip = 0;
        size_t I = 0;
        for (; I < Last && Junk < MaxJunkBytes && Skip == 0; ++I, ++Junk) {
            TMPEGHeaderX Info;
            if (I + 10 <= Count)
                Skip = ID3v2TagLength(Chunk + I);
            if (Skip == 0 && Chunk[I] == 0xFF && PlausibleHeader(GetBE32(Chunk + I), Info)
                && NextFrameFollows(Source, At + I, Info))
                return At + I;
        }
        if (Skip != 0) {
            if (++Tags > MaxSkippedTags)
                return std::nullopt;
            At += I - 1 + Skip;
        } else {
            if (Count < sizeof Chunk)
                return std::nullopt;
            At += I;
        }
    }
    return std::nullopt;
}

bool ReadMPEGFrame(const TByteSource& Source, uint64_t Position, TMPEGHeaderX& Info)
{
    // Header, the longest side information and a Xing header with every field.
    uint8_t Frame[4 + 32 + 8 + 4 + 4 + 100 + 4];
    const size_t Count = Source.ReadAt(Position, Frame, sizeof Frame);
    if (Count < 4)
        return false;
    Info = TMPEGHeaderX {};
    Info.Position = Position;
    DecodeMPEGHeader(GetBE32(Frame), Info);

    const size_t XingAt = 4 + SideInfoLength(Info);
    if (XingAt + 8 <= Count
        && (std::memcmp(Frame + XingAt, "Xing", 4) == 0 || std::memcmp(Frame + XingAt, "Info", 4) == 0)) {
        Info.VBR = true;
        const uint32_t Flags = GetBE32(Frame + XingAt + 4);
        size_t At = XingAt + 8;
        if (Flags & 1) {
            if (At + 4 > Count)
                return true;
            Info.FrameCount = GetBE32(Frame + At);
            At += 4;
        }
        if (Flags & 2) {
            if (At + 4 > Count)
                return true;
            Info.Bytes = GetBE32(Frame + At);
            At += 4;
        }
        if (Flags & 4)
            At += 100;
        if ((Flags & 8) && At + 4 <= Count)
            Info.Quality = GetBE32(Frame + At);
        return true;
    }
    if (Count >= 36 + 18 && std::memcmp(Frame + 36, "VBRI", 4) == 0) {
        Info.VBR = true;
        Info.Bytes = GetBE32(Frame + 36 + 10);
        Info.FrameCount = GetBE32(Frame + 36 + 14);
    }
    return true;
}

} // namespace vantor
