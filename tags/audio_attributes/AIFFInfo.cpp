#include "tags/audio_attributes/AIFFInfo.h"

#include "tags/audio_attributes/ChunkWalker.h"
#include "tags/io/TextCodec.h"

#include <cmath>
#include <cstring>

namespace vantor {

double Extended80ToDouble(const uint8_t Bytes[10])
{
    const int Exponent = ((Bytes[0] & 0x7F) << 8) | Bytes[1];
    const uint64_t Mantissa = GetBE64(Bytes + 2);
    if (Exponent == 0 || Exponent == 0x7FFF || Mantissa == 0)
        return 0;
    const double Value = std::ldexp(double(Mantissa), Exponent - 16383 - 63);
    return (Bytes[0] & 0x80) ? -Value : Value;
}

bool IsAIFFForm(const TByteSource& Source, bool& IsAIFC)
{
    uint8_t Head[12];
    if (!Source.ReadExact(0, Head, sizeof Head) || std::memcmp(Head, "FORM", 4) != 0)
        return false;
    IsAIFC = std::memcmp(Head + 8, "AIFC", 4) == 0;
    return IsAIFC || std::memcmp(Head + 8, "AIFF", 4) == 0;
}

bool ReadAIFFAudio(const TByteSource& Source, TAIFFAudio& Audio)
{
    Audio = TAIFFAudio {};
    bool IsAIFC = false;
    if (!IsAIFFForm(Source, IsAIFC))
        return false;
    uint8_t SizeBytes[4];
    Source.ReadExact(4, SizeBytes, 4);
    const uint64_t FormEnd = 8 + uint64_t(GetBE32(SizeBytes));

    TChunk Chunk;
    TChunkWalker Walker(Source, TChunkSizeField::BE32, 12, FormEnd);
    if (Walker.Find("COMM", Chunk)) {
        // channels, frames, sample size, rate, then for AIFC the compression id and name
        uint8_t Comm[18 + 4 + 1 + 255] = {};
        const size_t Got = Source.ReadAt(Chunk.DataOffset, Comm, size_t(std::min<uint64_t>(Chunk.Size, sizeof Comm)));
        TAIFFInformation& I = Audio.Info;
        if (Got >= 18) {
            I.Channels = GetBE16(Comm);
            I.SampleFrames = GetBE32(Comm + 2);
            I.SampleSize = GetBE16(Comm + 6);
            I.SampleRate = Extended80ToDouble(Comm + 8);
        }
        if (IsAIFC && Got >= 22) {
            I.CompressionID.assign(reinterpret_cast<const char*>(Comm + 18), 4);
            if (Got >= 23) {
                const size_t Length = std::min<size_t>(Comm[22], Got - 23);
                I.Compression = Cp1252ToUtf8({ reinterpret_cast<const char*>(Comm + 23), Length });
            }
        }
    }

    TChunkWalker SoundWalker(Source, TChunkSizeField::BE32, 12, FormEnd);
    if (SoundWalker.Find("SSND", Chunk))
        Audio.SoundDataSize = Chunk.Size;

    if (Audio.Info.SampleRate > 0)
        Audio.PlayTime = Audio.Info.SampleFrames / Audio.Info.SampleRate;
    if (Audio.PlayTime > 0) {
        const double Rate = Audio.SoundDataSize / (Audio.PlayTime * 125) + 0.5;
        Audio.BitRate = Rate < 4294967295.0 ? uint32_t(Rate) : 0;
    }
    return true;
}

} // namespace vantor
