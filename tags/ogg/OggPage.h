#pragma once
// One Ogg page: the 27-byte header, its lacing values and the CRC that covers
// the whole page.

#include "tags/io/Stream.h"

#include <cstdint>
#include <vector>

namespace vantor {

constexpr size_t OggHeaderSize = 27;
constexpr uint8_t OggContinued = 0x01;

struct TOggHeader {
    uint8_t ID[4] = { 0, 0, 0, 0 };
    uint8_t StreamVersion = 0;
    uint8_t TypeFlag = 0;
    uint64_t AbsolutePosition = 0;
    uint32_t Serial = 0;
    uint32_t PageNumber = 0;
    uint32_t Checksum = 0;
    uint8_t Segments = 0;
    uint8_t LacingValues[255] = {};

    bool HasCapturePattern() const { return ID[0] == 'O' && ID[1] == 'g' && ID[2] == 'g' && ID[3] == 'S'; }
    uint32_t PayloadSize() const;
    uint32_t PageSize() const { return uint32_t(OggHeaderSize) + Segments + PayloadSize(); }
    // The 27 header bytes and the lacing values.
    std::vector<uint8_t> Encode() const;
};

// Reads the header and lacing values at the stream's position; false when the
// stream ends before them (bytes past the end then read as zero).
bool ReadOggHeader(TStream& stream, TOggHeader& header);
TOggHeader DecodeOggHeader(const uint8_t* bytes, size_t size);

// The Ogg CRC-32: polynomial 0x04C11DB7, not reflected, initial 0, no final xor.
uint32_t OggCrc(const uint8_t* data, size_t size, uint32_t crc = 0);
// Sets the checksum field of a whole page held in memory.
void SetOggPageCrc(uint8_t* page, size_t size);
// True when the page's stored CRC matches its content.
bool OggPageCrcValid(const uint8_t* page, size_t size);

} // namespace vantor
