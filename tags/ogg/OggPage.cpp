#include "tags/ogg/OggPage.h"

#include "tags/io/Bytes.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace vantor {

namespace {

std::array<uint32_t, 256> MakeCrcTable()
{
    std::array<uint32_t, 256> table {};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t r = i << 24;
        for (int bit = 0; bit < 8; ++bit)
            r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
        table[i] = r;
    }
    return table;
}

} // namespace

uint32_t TOggHeader::PayloadSize() const
{
    uint32_t sum = 0;
    for (int i = 0; i < Segments; ++i)
        sum += LacingValues[i];
    return sum;
}

std::vector<uint8_t> TOggHeader::Encode() const
{
    std::vector<uint8_t> out(OggHeaderSize + Segments);
    std::memcpy(out.data(), ID, 4);
    out[4] = StreamVersion;
    out[5] = TypeFlag;
    PutLE64(out.data() + 6, AbsolutePosition);
    PutLE32(out.data() + 14, Serial);
    PutLE32(out.data() + 18, PageNumber);
    PutLE32(out.data() + 22, Checksum);
    out[26] = Segments;
    std::memcpy(out.data() + OggHeaderSize, LacingValues, Segments);
    return out;
}

TOggHeader DecodeOggHeader(const uint8_t* bytes, size_t size)
{
    TOggHeader h;
    if (size < OggHeaderSize)
        return h;
    std::memcpy(h.ID, bytes, 4);
    h.StreamVersion = bytes[4];
    h.TypeFlag = bytes[5];
    h.AbsolutePosition = GetLE64(bytes + 6);
    h.Serial = GetLE32(bytes + 14);
    h.PageNumber = GetLE32(bytes + 18);
    h.Checksum = GetLE32(bytes + 22);
    h.Segments = bytes[26];
    const size_t lacing = std::min<size_t>(h.Segments, size - OggHeaderSize);
    std::memcpy(h.LacingValues, bytes + OggHeaderSize, lacing);
    return h;
}

bool ReadOggHeader(TStream& stream, TOggHeader& header)
{
    uint8_t bytes[OggHeaderSize + 255] = {};
    const size_t got = stream.Read(bytes, OggHeaderSize);
    if (got < OggHeaderSize) {
        header = TOggHeader();
        return false;
    }
    const size_t lacing = stream.Read(bytes + OggHeaderSize, bytes[26]);
    header = DecodeOggHeader(bytes, OggHeaderSize + lacing);
    return lacing == header.Segments;
}

uint32_t OggCrc(const uint8_t* data, size_t size, uint32_t crc)
{
    static const std::array<uint32_t, 256> table = MakeCrcTable();
    for (size_t i = 0; i < size; ++i)
        crc = table[((crc >> 24) ^ data[i]) & 0xFF] ^ (crc << 8);
    return crc;
}

void SetOggPageCrc(uint8_t* page, size_t size)
{
    if (size < OggHeaderSize)
        return;
    PutLE32(page + 22, 0);
    PutLE32(page + 22, OggCrc(page, size));
}

bool OggPageCrcValid(const uint8_t* page, size_t size)
{
    if (size < OggHeaderSize)
        return false;
    const uint32_t stored = GetLE32(page + 22);
    uint8_t zero[4] = { 0, 0, 0, 0 };
    uint32_t crc = OggCrc(page, 22);
    crc = OggCrc(zero, 4, crc);
    crc = OggCrc(page + 26, size - 26, crc);
    return crc == stored;
}

} // namespace vantor
