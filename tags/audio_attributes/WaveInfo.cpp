#include "tags/audio_attributes/WaveInfo.h"

#include "tags/audio_attributes/ChunkWalker.h"

#include <algorithm>
#include <cstring>

namespace vantor {

bool IsWaveForm(const TByteSource& Source, bool& IsRF64)
{
    uint8_t Head[12];
    if (!Source.ReadExact(0, Head, sizeof Head) || std::memcmp(Head + 8, "WAVE", 4) != 0)
        return false;
    IsRF64 = std::memcmp(Head, "RF64", 4) == 0;
    return IsRF64 || std::memcmp(Head, "RIFF", 4) == 0;
}

bool ReadWaveAudio(const TByteSource& Source, TWaveAudio& Audio)
{
    Audio = TWaveAudio {};
    bool IsRF64 = false;
    if (!IsWaveForm(Source, IsRF64))
        return false;

    TChunkWalker Walker(Source, TChunkSizeField::LE32, 12, Source.Size());
    TChunk Chunk;
    uint64_t DataSize64 = 0;
    if (IsRF64) {
        // ds64 body: RIFF size, data size, sample count (64-bit each), table length.
        uint8_t Body[24];
        if (!Walker.Next(Chunk) || !Chunk.Is("ds64") || !Source.ReadExact(Chunk.DataOffset, Body, sizeof Body))
            return true;
        DataSize64 = GetLE64(Body + 8);
        Audio.SampleCount = GetLE64(Body + 16);
        Walker.SetRF64DataSize(DataSize64);
    }

    if (!Walker.Find("fmt ", Chunk))
        return true;
    uint8_t Fmt[40] = {};
    const size_t Got = Source.ReadAt(Chunk.DataOffset, Fmt, size_t(std::min<uint64_t>(Chunk.Size, sizeof Fmt)));
    if (Got < 16)
        return true;
    TWaveFmt& F = Audio.Fmt;
    F.fmtSize = uint32_t(Chunk.Size);
    F.FormatTag = GetLE16(Fmt);
    F.Channels = GetLE16(Fmt + 2);
    F.SamplesPerSec = GetLE32(Fmt + 4);
    F.AvgBytesPerSec = GetLE32(Fmt + 8);
    F.BlockAlign = GetLE16(Fmt + 12);
    F.BitsPerSample = GetLE16(Fmt + 14);
    if (F.FormatTag == 0xFFFE) {
        F.cbSize = GetLE16(Fmt + 16);
        F.ValidBitsPerSample = GetLE16(Fmt + 18);
        F.ChannelMask = GetLE32(Fmt + 20);
        std::copy(Fmt + 24, Fmt + 40, F.SubFormat.begin());
    }

    if (Walker.Find("data", Chunk)) {
        if (!IsRF64 && F.BlockAlign != 0)
            Audio.SampleCount = Chunk.Size / F.BlockAlign;
        // The ds64 sample count is only required for compressed data; PCM RF64 files often
        // leave it 0 and their length is then the 64-bit data size.
        if (IsRF64 && Audio.SampleCount == 0 && F.BlockAlign != 0)
            Audio.SampleCount = DataSize64 / F.BlockAlign;
    }
    if (F.SamplesPerSec != 0)
        Audio.PlayTime = double(Audio.SampleCount) / F.SamplesPerSec;
    Audio.BitRate = F.AvgBytesPerSec / 125;
    return true;
}

} // namespace vantor
