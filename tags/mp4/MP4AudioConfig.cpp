#include "tags/mp4/MP4AudioConfig.h"

namespace vantor {

namespace {

// Reads descriptors of the MPEG-4 systems layer: a tag byte, then a length in
// 7-bit groups (high bit set on all but the last).
class TDescriptorReader {
public:
    TDescriptorReader(const uint8_t* data, size_t size)
        : FData(data)
        , FEnd(size)
    {
    }

    bool Ok() const { return FOk; }
    uint8_t Byte()
    {
        if (FAt >= FEnd) {
            FOk = false;
            return 0;
        }
        return FData[FAt++];
    }
    void Skip(size_t count)
    {
        if (count > FEnd - FAt)
            FOk = false;
        FAt = FOk ? FAt + count : FEnd;
    }
    // Enters a descriptor of that tag: the reader is then bounded by its body.
    bool Enter(uint8_t tag)
    {
        if (Byte() != tag)
            return false;
        size_t length = 0;
        for (int i = 0; i < 4; ++i) {
            const uint8_t b = Byte();
            length = (length << 7) | (b & 0x7F);
            if (!(b & 0x80))
                break;
        }
        if (!FOk || length > FEnd - FAt)
            return false;
        FEnd = FAt + length;
        return true;
    }
    size_t Position() const { return FAt; }

private:
    const uint8_t* FData;
    size_t FEnd;
    size_t FAt = 0;
    bool FOk = true;
};

} // namespace

uint16_t AACChannelsFromEsds(const uint8_t* body, size_t size)
{
    TDescriptorReader reader(body, size);
    reader.Skip(4); // version and flags
    if (!reader.Enter(0x03))
        return 0;
    reader.Skip(2); // ES id
    const uint8_t flags = reader.Byte();
    if (flags & 0x80)
        reader.Skip(2);
    if (flags & 0x40)
        reader.Skip(reader.Byte());
    if (flags & 0x20)
        reader.Skip(2);
    if (!reader.Ok() || !reader.Enter(0x04))
        return 0;
    reader.Skip(13); // object type, stream type, buffer size, bit rates
    if (!reader.Ok() || !reader.Enter(0x05))
        return 0;

    // AudioSpecificConfig: object type (5 bits, 31 escapes to 6 more), sampling
    // frequency index (4 bits, 15 escapes to a 24-bit rate), channel configuration (4 bits).
    uint64_t bits = 0;
    for (int i = 0; i < 7; ++i)
        bits = (bits << 8) | reader.Byte();
    int used = 5;
    if ((bits >> (56 - 5)) == 31)
        used += 6;
    const unsigned frequencyIndex = unsigned(bits >> (56 - used - 4)) & 0xF;
    used += 4 + (frequencyIndex == 15 ? 24 : 0);
    const unsigned configuration = unsigned(bits >> (56 - used - 4)) & 0xF;
    static const uint16_t Channels[8] = { 0, 1, 2, 3, 4, 5, 6, 8 };
    return configuration < 8 ? Channels[configuration] : 0;
}

} // namespace vantor
