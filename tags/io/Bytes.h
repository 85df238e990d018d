#pragma once
// Fixed-width integers in byte buffers.

#include <cstdint>
#include <vector>

namespace vantor {

inline uint16_t GetBE16(const uint8_t* p) { return uint16_t((p[0] << 8) | p[1]); }
inline uint32_t GetBE24(const uint8_t* p) { return (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | p[2]; }
inline uint32_t GetBE32(const uint8_t* p)
{
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
inline uint64_t GetBE64(const uint8_t* p) { return (uint64_t(GetBE32(p)) << 32) | GetBE32(p + 4); }
inline uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t GetLE64(const uint8_t* p) { return uint64_t(GetLE32(p)) | (uint64_t(GetLE32(p + 4)) << 32); }
// 4 bytes of 7 bits each, most significant first.
inline uint32_t GetSyncsafe32(const uint8_t* p)
{
    return (uint32_t(p[0] & 0x7F) << 21) | (uint32_t(p[1] & 0x7F) << 14) | (uint32_t(p[2] & 0x7F) << 7) | (p[3] & 0x7F);
}

inline void PutBE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v >> 8);
    p[1] = uint8_t(v);
}
inline void PutBE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v >> 24);
    p[1] = uint8_t(v >> 16);
    p[2] = uint8_t(v >> 8);
    p[3] = uint8_t(v);
}
inline void PutBE64(uint8_t* p, uint64_t v)
{
    PutBE32(p, uint32_t(v >> 32));
    PutBE32(p + 4, uint32_t(v));
}
inline void PutLE16(uint8_t* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void PutLE32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
inline void PutLE64(uint8_t* p, uint64_t v)
{
    PutLE32(p, uint32_t(v));
    PutLE32(p + 4, uint32_t(v >> 32));
}
inline void PutSyncsafe32(uint8_t* p, uint32_t v)
{
    p[0] = uint8_t((v >> 21) & 0x7F);
    p[1] = uint8_t((v >> 14) & 0x7F);
    p[2] = uint8_t((v >> 7) & 0x7F);
    p[3] = uint8_t(v & 0x7F);
}
// The largest value four syncsafe bytes hold.
constexpr uint32_t MaxSyncsafe = (1u << 28) - 1;

inline void AppendLE32(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[4];
    PutLE32(b, v);
    out.insert(out.end(), b, b + 4);
}
inline void AppendBE32(std::vector<uint8_t>& out, uint32_t v)
{
    uint8_t b[4];
    PutBE32(b, v);
    out.insert(out.end(), b, b + 4);
}

} // namespace vantor
