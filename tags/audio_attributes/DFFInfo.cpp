#include "tags/audio_attributes/DFFInfo.h"

#include "tags/audio_attributes/AudioProperties.h"
#include "tags/audio_attributes/ChunkWalker.h"

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {

std::string VersionText(const uint8_t* Version)
{
    if (Version[0] != 1)
        return {};
    switch (Version[1]) {
    case 0: return "1.0";
    case 3: return "1.3";
    case 4: return "1.4";
    case 5: return "1.5";
    default: return {};
    }
}

} // namespace

void TDFFInfo::ResetData()
{
    FormatVersion.clear();
    SampleRate = 0;
    ChannelNumber = 0;
    CompressionName.clear();
    SampleCount = 0;
    PlayTime = 0;
    BitRate = 0;
    SoundDataLength = 0;
    DSTFramesCount = 0;
    DSTFramesRate = 0;
    Ratio = 0;
}

bool TDFFInfo::LoadFromFile(const std::filesystem::path& FileName)
{
    ResetData();
    TFileSource Source;
    return Source.Open(FileName) && LoadFromStream(Source);
}

bool TDFFInfo::LoadFromStream(const TByteSource& Stream)
{
    ResetData();
    uint8_t Head[16];
    if (!Stream.ReadExact(0, Head, sizeof Head) || std::memcmp(Head, "FRM8", 4) != 0
        || std::memcmp(Head + 12, "DSD ", 4) != 0)
        return false;
    const uint64_t FormSize = GetBE64(Head + 4);
    const uint64_t FormEnd = FormSize > Stream.Size() ? Stream.Size() : 12 + FormSize;

    bool Compressed = false;
    TChunkWalker Walker(Stream, TChunkSizeField::BE64, 16, FormEnd);
    TChunk Chunk;
    while (Walker.Next(Chunk)) {
        // Chunks that claim more than the file holds end where the file ends.
        const uint64_t Available = std::min(Chunk.Size, Stream.Remaining(Chunk.DataOffset));
        if (Chunk.Is("FVER")) {
            uint8_t Version[4];
            if (Available >= 4 && Stream.ReadExact(Chunk.DataOffset, Version, 4))
                FormatVersion = VersionText(Version);
        } else if (Chunk.Is("PROP")) {
            uint8_t Type[4];
            if (Available < 4 || !Stream.ReadExact(Chunk.DataOffset, Type, 4) || std::memcmp(Type, "SND ", 4) != 0)
                continue;
            TChunkWalker Props(Stream, TChunkSizeField::BE64, Chunk.DataOffset + 4, Chunk.DataOffset + Available);
            TChunk Prop;
            while (Props.Next(Prop)) {
                uint8_t Data[5] = {};
                const size_t Got =
                    Stream.ReadAt(Prop.DataOffset, Data, size_t(std::min<uint64_t>(Prop.Size, sizeof Data)));
                if (Prop.Is("FS  ") && Got >= 4) {
                    SampleRate = GetBE32(Data);
                } else if (Prop.Is("CHNL") && Got >= 2) {
                    ChannelNumber = GetBE16(Data);
                } else if (Prop.Is("CMPR") && Got >= 4) {
                    Compressed = std::memcmp(Data, "DSD ", 4) != 0;
                    if (!Compressed) {
                        CompressionName = "Not Compressed";
                    } else if (std::memcmp(Data, "DST ", 4) == 0) {
                        CompressionName = "DST Encoded";
                    } else if (Got == 5) {
                        // another coding: its count-prefixed name
                        std::string Name(std::min<uint64_t>(Data[4], Prop.Size - 5), '\0');
                        Name.resize(Stream.ReadAt(Prop.DataOffset + 5, Name.data(), Name.size()));
                        CompressionName = Name;
                    }
                }
                // "ABSS" (start time code), "LSCO" (loudspeaker layout) and others are not needed.
            }
        } else if (Chunk.Is("DSD ")) {
            SoundDataLength = Available;
            break;
        } else if (Chunk.Is("DST ")) {
            SoundDataLength = Available;
            // The DST sound data starts with its "FRTE" chunk: frame count and frame rate.
            uint8_t Frte[12 + 6];
            if (Available >= sizeof Frte && Stream.ReadExact(Chunk.DataOffset, Frte, sizeof Frte)
                && std::memcmp(Frte, "FRTE", 4) == 0 && GetBE64(Frte + 4) >= 6) {
                DSTFramesCount = GetBE32(Frte + 12);
                DSTFramesRate = GetBE16(Frte + 16);
            }
            Compressed = true;
            break;
        }
    }

    if (SampleRate == 0 || ChannelNumber == 0)
        return true;
    if (Compressed) {
        if (DSTFramesRate != 0) {
            PlayTime = double(DSTFramesCount) / DSTFramesRate;
            SampleCount = uint64_t(DSTFramesCount) * SampleRate / DSTFramesRate;
        }
    } else {
        // Every channel's sample is one bit.
        SampleCount = SoundDataLength / ChannelNumber * 8 + SoundDataLength % ChannelNumber * 8 / ChannelNumber;
        PlayTime = double(SampleCount) / SampleRate;
    }
    if (PlayTime > 0)
        BitRate = RoundProperty<uint32_t>(double(SoundDataLength) * 8 / PlayTime / 1000);
    const double Uncompressed = double(SampleCount) * ChannelNumber / 8;
    if (Uncompressed > 0)
        Ratio = double(SoundDataLength) / Uncompressed * 100;
    return true;
}

} // namespace vantor
