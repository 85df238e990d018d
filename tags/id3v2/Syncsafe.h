#pragma once

// Syncsafe integers and unsynchronisation, the two ways ID3v2 keeps false MPEG frame syncs
// (0xFF followed by a byte of 0xE0 or more) out of a tag.

#include <cstdint>
#include <vector>

namespace vantor {

// 4 bytes of 7 bits each, most significant first.
inline uint32_t DecodeSyncsafe(const uint8_t* P)
{
    return uint32_t(P[0] & 0x7F) << 21 | uint32_t(P[1] & 0x7F) << 14 | uint32_t(P[2] & 0x7F) << 7 | (P[3] & 0x7F);
}
// Encodes the low 28 bits of Value.
inline void EncodeSyncsafe(uint32_t Value, uint8_t* P)
{
    P[0] = uint8_t((Value >> 21) & 0x7F);
    P[1] = uint8_t((Value >> 14) & 0x7F);
    P[2] = uint8_t((Value >> 7) & 0x7F);
    P[3] = uint8_t(Value & 0x7F);
}

constexpr uint32_t MaxSyncsafe = (1u << 28) - 1;

// Drops every 0x00 that directly follows a 0xFF.
void RemoveUnsynchronisation(std::vector<uint8_t>& Data);
// Inserts 0x00 after every 0xFF that is followed by 0x00 or by a byte of 0xE0 or more.
void ApplyUnsynchronisation(std::vector<uint8_t>& Data);

} // namespace vantor
