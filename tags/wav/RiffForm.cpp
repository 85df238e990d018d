#include "tags/wav/RiffForm.h"

#include "tags/io/Bytes.h"

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {

// Plenty for any real file; bounds the walk over a file made of empty chunks.
constexpr size_t MaxChunks = size_t(1) << 20;

bool PlausibleId(TStream& stream, uint64_t offset, uint64_t end)
{
    char id[4];
    if (offset + 8 > end || !ReadBytesAt(stream, offset, id, 4))
        return false;
    return std::all_of(id, id + 4, [](char c) { return c >= 0x20 && c <= 0x7E; });
}

} // namespace

bool ReadBytesAt(TStream& stream, uint64_t offset, void* buffer, size_t count)
{
    return stream.Seek(offset) && stream.ReadExact(buffer, count);
}

uint64_t RiffDataStart(TStream& stream)
{
    uint8_t header[10];
    if (!ReadBytesAt(stream, 0, header, sizeof header) || std::memcmp(header, "ID3", 3) != 0)
        return 0;
    const uint64_t start = 10 + uint64_t(GetSyncsafe32(header + 6));
    return start > stream.Size() ? 0 : start;
}

std::vector<TRiffChunk> WalkRiffChunks(
    TStream& stream, uint64_t begin, uint64_t end, uint64_t rf64DataSize, bool& truncated)
{
    std::vector<TRiffChunk> chunks;
    truncated = false;
    end = std::min(end, stream.Size());
    uint64_t at = begin;
    while (at < end && end - at >= 8 && chunks.size() < MaxChunks) {
        uint8_t header[12];
        if (!ReadBytesAt(stream, at, header, 8))
            break;
        TRiffChunk chunk;
        std::memcpy(chunk.ID, header, 4);
        chunk.Header = at;
        chunk.Size = GetLE32(header + 4);
        if (chunk.Size == 0xFFFFFFFFu && rf64DataSize != 0 && chunk.Is("data"))
            chunk.Size = rf64DataSize;
        if (chunk.Size > end - chunk.Data()) {
            truncated = true;
            break;
        }
        const uint64_t dataEnd = chunk.Data() + chunk.Size;
        chunk.End = dataEnd;
        // Odd sizes are followed by a pad byte. Some writers leave it out: the unpadded position
        // is taken when only it starts with a plausible chunk id.
        if ((chunk.Size & 1) && dataEnd < end
            && (PlausibleId(stream, dataEnd + 1, end) || !PlausibleId(stream, dataEnd, end)))
            chunk.End = dataEnd + 1;
        if (chunk.Is("LIST") && chunk.Size >= 4 && !ReadBytesAt(stream, chunk.Data(), chunk.ListType, 4))
            break;
        chunks.push_back(chunk);
        at = chunk.End;
    }
    return chunks;
}

bool ReadRiffForm(TStream& stream, TRiffForm& form)
{
    form = TRiffForm {};
    form.DataStart = RiffDataStart(stream);
    uint8_t header[12];
    if (!ReadBytesAt(stream, form.DataStart, header, sizeof header) || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;
    form.RF64 = std::memcmp(header, "RF64", 4) == 0;
    if (!form.RF64 && std::memcmp(header, "RIFF", 4) != 0)
        return false;

    const uint64_t first = form.DataStart + 12;
    const uint64_t size = stream.Size();
    uint64_t declared = form.DataStart + 8 + GetLE32(header + 4);
    if (form.RF64) {
        // ds64 body: RIFF size, data size, sample count (64-bit each), table length.
        uint8_t ds64[20];
        uint8_t sizes[16];
        if (ReadBytesAt(stream, first, ds64, 8) && std::memcmp(ds64, "ds64", 4) == 0 && GetLE32(ds64 + 4) >= 24
            && ReadBytesAt(stream, first + 8, sizes, sizeof sizes)) {
            form.HasDS64 = true;
            const uint64_t riffSize = GetLE64(sizes);
            declared = riffSize > size ? size + 1 : form.DataStart + 8 + riffSize;
            form.RF64DataSize = GetLE64(sizes + 8);
        } else {
            declared = size + 1;
        }
    }
    form.FormEnd = declared < first || declared > size ? size : declared;

    bool truncated = false;
    form.Chunks = WalkRiffChunks(stream, first, size, form.RF64DataSize, truncated);
    const uint64_t stop = form.Chunks.empty() ? first : form.Chunks.back().End;
    form.Truncated = truncated && stop < form.FormEnd;
    if (form.HasDS64 && (form.Chunks.empty() || !form.Chunks.front().Is("ds64")))
        form.HasDS64 = false;
    return true;
}

} // namespace vantor
