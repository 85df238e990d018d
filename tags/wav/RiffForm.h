#pragma once
// The top-level chunks of a RIFF WAVE or RF64 form, as the WAV tag reads and
// rewrites them. Offsets are absolute stream positions.

#include "tags/io/Stream.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace vantor {

struct TRiffChunk {
    char ID[4] = {};
    char ListType[4] = {}; // LIST chunks of 4 bytes or more
    uint64_t Header = 0;   // offset of the id
    uint64_t Size = 0;     // data size; for an RF64 "data" chunk of 0xFFFFFFFF the size from "ds64"
    uint64_t End = 0;      // after the data and the pad byte, where one is present

    uint64_t Data() const { return Header + 8; }
    bool Is(std::string_view id) const { return id.size() == 4 && std::string_view(ID, 4) == id; }
    bool IsList(std::string_view type) const { return Is("LIST") && std::string_view(ListType, 4) == type; }
};

struct TRiffForm {
    uint64_t DataStart = 0; // behind a leading ID3v2 tag
    bool RF64 = false;
    // The form's end as its size says, kept inside the stream: a size beyond the stream (or too
    // small to hold "WAVE") was never finished by its writer, and the form is the whole stream.
    uint64_t FormEnd = 0;
    bool HasDS64 = false; // RF64: Chunks[0] is a "ds64" holding the three 64-bit sizes
    uint64_t RF64DataSize = 0;
    std::vector<TRiffChunk> Chunks;
    // A chunk that starts inside the form ends beyond the end of the stream.
    bool Truncated = false;
};

// Where the RIFF data starts: 0, or behind an ID3v2 tag at the start (0 when that tag claims
// more than the stream holds).
uint64_t RiffDataStart(TStream& stream);

// Reads the form header and walks the top-level chunks to the end of the stream (the walk
// stops at the first chunk whose data runs past it). False when the data is neither RIFF
// WAVE nor RF64 WAVE.
bool ReadRiffForm(TStream& stream, TRiffForm& form);

// Reads count bytes at offset; false unless all of them are there.
bool ReadBytesAt(TStream& stream, uint64_t offset, void* buffer, size_t count);

// The chunks in [begin, end) in order; the walk stops at a chunk whose data runs past end
// (truncated is then set) or after a bounded number of chunks. A "data" chunk of size
// 0xFFFFFFFF takes rf64DataSize when that is not 0.
std::vector<TRiffChunk> WalkRiffChunks(
    TStream& stream, uint64_t begin, uint64_t end, uint64_t rf64DataSize, bool& truncated);

} // namespace vantor
