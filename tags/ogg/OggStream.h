#pragma once
// Reading Ogg pages from a stream, wrapping header packets into new pages
// modelled on the stream's first page, and renumbering the pages that follow
// when the number of header pages changes.

#include "tags/ogg/OggPage.h"

#include <cstdint>
#include <vector>

namespace vantor {

// The pages one or two header packets take: lacing values per page.
struct TOggPageLayout {
    std::vector<uint8_t> Lacing;
    bool Continued = false;
    uint64_t PayloadSize() const;
};
// A packet gets pages of 4335 bytes (17 lacing values of 255) while more than
// that remains, then one page with the rest; a second packet continues on the
// page where the first ends, up to 255 lacing values, then on pages of its own.
std::vector<TOggPageLayout> LayoutOggPackets(const std::vector<uint64_t>& packetSizes);

// Copies size bytes at start of from to to's position, a 1 MiB block at a time.
bool CopyStreamRange(TStream& from, uint64_t start, uint64_t size, TStream& to);

class TOGGStream {
public:
    // Reads the page header at the stream's position as the template for new
    // pages; the position is restored. The stream is not owned.
    explicit TOGGStream(TStream& stream);

    TStream& FStream;
    uint64_t LastPageQueried = 0;
    TOggHeader FirstOGGHeader;

    // Counting pages from 1 at the start of the stream; false past the end.
    bool GetPage(uint64_t pageNumber, TStream& out);
    bool GetPageData(uint64_t pageNumber, TStream& out);
    // The page at the current position, whole or only its payload; false at the
    // end of the stream or when the page is cut short.
    bool GetNextPage(TStream& out);
    bool GetNextPageData(TStream& out);
    // Reads a header; without the capture pattern the position is restored and
    // the result is false. Otherwise the page is copied to out, or skipped when
    // out is null.
    bool GetNextPageHeader(TOggHeader& header, TStream* out);

    // Wraps the bytes of tag from its position to its end as one packet into
    // pages appended to out, numbered from startPageNumber; returns the number of
    // pages (0 after an error).
    int CreateTagStream(TStream& tag, TStream& out, uint32_t startPageNumber);
    // Two packets: the first tagSize bytes of tag, then the rest of it; numbered
    // from the template's page number.
    int CreateTagStreamVorbis(uint64_t tagSize, TStream& tag, TStream& out);
    static uint64_t CalculateWrappedStreamSize(uint64_t inputDataSize);
    static uint64_t CalculateWrappedStreamSizeVorbis(uint64_t tagSize, uint64_t inputDataSize);

    // Copies every page from source's position to its end to destination. Pages
    // of the template's logical stream are numbered from firstNumber on, with a
    // new CRC; pages of other streams are copied unchanged. False on a read or
    // write error or a page cut short.
    bool ReNumberPages(uint32_t firstNumber, TStream& source, TStream& destination);

private:
    int WritePages(const std::vector<TOggPageLayout>& layout, TStream& tag, TStream& out, uint32_t firstNumber);
    bool CopyNextPage(TStream* out, bool payloadOnly);
};

} // namespace vantor
