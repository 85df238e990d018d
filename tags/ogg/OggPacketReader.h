#pragma once
// Packets of one logical Ogg stream, put together from its pages' lacing
// values. Pages of other logical streams are skipped. Every byte handed out
// was really read, so sizes in the file never decide an allocation.

#include "tags/ogg/OggPage.h"

#include <cstdint>
#include <vector>

namespace vantor {

class TOggPacketReader {
public:
    // Starts at the page at start; its serial number selects the logical stream.
    TOggPacketReader(TStream& stream, uint64_t start);

    // The next complete packet; false at the end of the stream, on a page cut
    // short or without the capture pattern, or when the packet would pass maxSize.
    bool NextPacket(std::vector<uint8_t>& packet, uint64_t maxSize = UINT64_MAX);

    uint32_t Serial() const { return FSerial; }
    bool HasSerial() const { return FHasSerial; }
    // Stream position after the page on which the last packet ended.
    uint64_t PageEnd() const { return FPageEnd; }
    // Position of the page on which the last packet began.
    uint64_t PacketStartPage() const { return FPacketStartPage; }
    // True when nothing else follows the last packet on its page.
    bool PacketEndsPage() const { return FSegment >= FHeader.Segments; }
    // Pages of this stream read so far, and pages of other streams skipped.
    uint64_t PagesRead() const { return FPagesRead; }
    uint64_t ForeignPages() const { return FForeignPages; }
    const TOggHeader& LastHeader() const { return FHeader; }

private:
    bool NextPage();

    TStream& FStream;
    uint64_t FNext;
    uint32_t FSerial = 0;
    bool FHasSerial = false;
    TOggHeader FHeader;
    std::vector<uint8_t> FPayload;
    size_t FSegment = 0, FOffset = 0;
    uint64_t FPageStart = 0, FPageEnd = 0, FPacketStartPage = 0;
    uint64_t FPagesRead = 0, FForeignPages = 0;
};

} // namespace vantor
