#include "tags/audio_attributes/ChunkWalker.h"

#include <algorithm>

namespace vantor {

namespace {

// Plenty for any real file; bounds the walk over a file made of empty chunks.
constexpr uint32_t MaxChunks = 1 << 16;

uint32_t HeaderSize(TChunkSizeField Field) { return Field == TChunkSizeField::BE64 ? 12 : 8; }

} // namespace

TChunkWalker::TChunkWalker(const TByteSource& Source, TChunkSizeField SizeField, uint64_t First, uint64_t End)
    : FSource(Source)
    , FSizeField(SizeField)
    , FPosition(First)
    , FEnd(std::min(End, Source.Size()))
{
}

bool TChunkWalker::Next(TChunk& Chunk)
{
    const uint32_t Header = HeaderSize(FSizeField);
    if (FVisited >= MaxChunks || FPosition >= FEnd || FEnd - FPosition < Header)
        return false;
    uint8_t Bytes[12];
    if (!FSource.ReadExact(FPosition, Bytes, Header))
        return false;
    ++FVisited;
    std::copy(Bytes, Bytes + 4, Chunk.ID.begin());
    Chunk.HeaderOffset = FPosition;
    Chunk.DataOffset = FPosition + Header;
    switch (FSizeField) {
    case TChunkSizeField::LE32:
        Chunk.Size = GetLE32(Bytes + 4);
        if (Chunk.Size == 0xFFFFFFFF && FRF64DataSize != 0 && Chunk.Is("data"))
            Chunk.Size = FRF64DataSize;
        break;
    case TChunkSizeField::BE32: Chunk.Size = GetBE32(Bytes + 4); break;
    case TChunkSizeField::BE64: Chunk.Size = GetBE64(Bytes + 4); break;
    }
    FPosition = NextOffset(Chunk);
    return true;
}

bool TChunkWalker::Find(std::string_view Id, TChunk& Chunk)
{
    while (Next(Chunk)) {
        if (Chunk.Is(Id))
            return true;
    }
    return false;
}

// Odd-sized chunks are followed by a pad byte. Some writers leave it out, so the unpadded
// position is taken when only it starts with a plausible chunk id.
uint64_t TChunkWalker::NextOffset(const TChunk& Chunk) const
{
    if (Chunk.DataOffset > FEnd || Chunk.Size > FEnd - Chunk.DataOffset)
        return FEnd;
    const uint64_t Exact = Chunk.DataEnd();
    if ((Chunk.Size & 1) == 0)
        return Exact;
    if (!PlausibleId(Exact + 1) && PlausibleId(Exact))
        return Exact;
    return Exact + 1;
}

bool TChunkWalker::PlausibleId(uint64_t Offset) const
{
    char Id[4];
    if (Offset + HeaderSize(FSizeField) > FEnd || !FSource.ReadExact(Offset, Id, 4))
        return false;
    return std::all_of(Id, Id + 4, [](char C) { return C >= 0x20 && C <= 0x7E; });
}

} // namespace vantor
