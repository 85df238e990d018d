#pragma once

// Walks the chunks of a RIFF, RF64, AIFF or DSDIFF form: a 4-character id followed by a
// size field (32-bit little- or big-endian, or 64-bit big-endian for DSDIFF) and the data.

#include "tags/audio_attributes/ByteSource.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace vantor {

enum class TChunkSizeField { LE32, BE32, BE64 };

struct TChunk {
    std::array<char, 4> ID {};
    uint64_t HeaderOffset = 0;
    uint64_t DataOffset = 0;
    uint64_t Size = 0; // as stored in the size field

    bool Is(std::string_view Id) const { return Id.size() == 4 && std::string_view(ID.data(), 4) == Id; }
    uint64_t DataEnd() const { return DataOffset + Size; }
};

class TChunkWalker {
public:
    // Walks from First up to End (clamped to the source's size).
    TChunkWalker(const TByteSource& Source, TChunkSizeField SizeField, uint64_t First, uint64_t End);

    // RF64 stores the size of a large "data" chunk in its "ds64" chunk and 0xFFFFFFFF in the
    // chunk header; the walk then uses this size.
    void SetRF64DataSize(uint64_t Size) { FRF64DataSize = Size; }

    // Reads the next chunk header; false once fewer bytes than a header remain.
    bool Next(TChunk& Chunk);
    // Finds the next chunk with the given id.
    bool Find(std::string_view Id, TChunk& Chunk);
    // Where the next chunk header would start.
    uint64_t Position() const { return FPosition; }

private:
    uint64_t NextOffset(const TChunk& Chunk) const;
    bool PlausibleId(uint64_t Offset) const;

    const TByteSource& FSource;
    TChunkSizeField FSizeField;
    uint64_t FPosition;
    uint64_t FEnd;
    uint32_t FVisited = 0;
    uint64_t FRF64DataSize = 0;
};

} // namespace vantor
