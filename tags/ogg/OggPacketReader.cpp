#include "tags/ogg/OggPacketReader.h"

namespace vantor {

TOggPacketReader::TOggPacketReader(TStream& stream, uint64_t start)
    : FStream(stream)
    , FNext(start)
{
    FHeader.Segments = 0;
}

bool TOggPacketReader::NextPage()
{
    for (;;) {
        if (!FStream.Seek(FNext))
            return false;
        const uint64_t at = FNext;
        TOggHeader header;
        if (!ReadOggHeader(FStream, header) || !header.HasCapturePattern())
            return false;
        const uint32_t size = header.PayloadSize();
        if (FStream.Remaining() < size)
            return false;
        FNext = FStream.Position() + size;
        if (!FHasSerial) {
            FSerial = header.Serial;
            FHasSerial = true;
        }
        if (header.Serial != FSerial) {
            ++FForeignPages;
            continue;
        }
        FPayload.resize(size);
        if (!FStream.ReadExact(FPayload.data(), size))
            return false;
        FHeader = header;
        FSegment = FOffset = 0;
        FPageStart = at;
        FPageEnd = FNext;
        ++FPagesRead;
        return true;
    }
}

bool TOggPacketReader::NextPacket(std::vector<uint8_t>& packet, uint64_t maxSize)
{
    packet.clear();
    bool started = false;
    for (;;) {
        if (FSegment >= FHeader.Segments) {
            if (!NextPage())
                return false;
            // A continued page that starts a packet carries the tail of one we never
            // saw; skip that tail.
            if (!started && (FHeader.TypeFlag & OggContinued)) {
                while (FSegment < FHeader.Segments) {
                    const uint8_t v = FHeader.LacingValues[FSegment++];
                    FOffset += v;
                    if (v < 255)
                        break;
                }
                continue;
            }
        }
        if (!started) {
            started = true;
            FPacketStartPage = FPageStart;
        }
        while (FSegment < FHeader.Segments) {
            const uint8_t v = FHeader.LacingValues[FSegment++];
            if (packet.size() + v > maxSize)
                return false;
            packet.insert(
                packet.end(), FPayload.begin() + ptrdiff_t(FOffset), FPayload.begin() + ptrdiff_t(FOffset + v));
            FOffset += v;
            if (v < 255)
                return true;
        }
    }
}

} // namespace vantor
