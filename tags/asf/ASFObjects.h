#pragma once
// The ASF header as a list of objects: each a GUID, a 64-bit size and a body. Only the
// structure is read here; WMATag reads the bodies that hold attributes and stream
// properties. Every size is checked against the bytes really present.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

// A GUID as stored: the first three fields little-endian.
struct TASFGuid {
    std::array<uint8_t, 16> Bytes {};
    bool operator==(const TASFGuid&) const = default;
};

namespace asf {

// From the usual text form "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
consteval TASFGuid Guid(const char (&text)[37])
{
    auto hex = [](char c) -> uint8_t {
        return uint8_t(c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c - 'A' + 10);
    };
    auto byteAt = [&](int at) { return uint8_t(hex(text[at]) << 4 | hex(text[at + 1])); };
    // Offsets of the 16 bytes in the text, in stored order.
    constexpr int order[16] = { 6, 4, 2, 0, 11, 9, 16, 14, 19, 21, 24, 26, 28, 30, 32, 34 };
    TASFGuid guid;
    for (int i = 0; i < 16; ++i)
        guid.Bytes[size_t(i)] = byteAt(order[i]);
    return guid;
}

inline constexpr TASFGuid HeaderObject = Guid("75B22630-668E-11CF-A6D9-00AA0062CE6C");
inline constexpr TASFGuid FilePropertiesObject = Guid("8CABDCA1-A947-11CF-8EE4-00C00C205365");
inline constexpr TASFGuid StreamPropertiesObject = Guid("B7DC0791-A9B7-11CF-8EE6-00C00C205365");
inline constexpr TASFGuid HeaderExtensionObject = Guid("5FBF03B5-A92E-11CF-8EE3-00C00C205365");
inline constexpr TASFGuid HeaderExtensionReserved = Guid("ABD3D211-A9BA-11CF-8EE6-00C00C205365");
inline constexpr TASFGuid ContentDescriptionObject = Guid("75B22633-668E-11CF-A6D9-00AA0062CE6C");
inline constexpr TASFGuid ExtendedContentDescriptionObject = Guid("D2D0A440-E307-11D2-97F0-00A0C95EA850");
inline constexpr TASFGuid MetadataObject = Guid("C5F8CBEA-5BAF-4877-8467-AA8C44FA4CCA");
inline constexpr TASFGuid MetadataLibraryObject = Guid("44231C94-9498-49D1-A141-1D134E457054");
inline constexpr TASFGuid LanguageListObject = Guid("7C4346A9-EFE0-4BFC-B229-393EDE415C85");
inline constexpr TASFGuid PaddingObject = Guid("1806D474-CADF-4509-A4BA-9AABCB96AAE8");
inline constexpr TASFGuid ContentEncryptionObject = Guid("2211B3FB-BD23-11D2-B4B7-00A0C955FC6E");
inline constexpr TASFGuid ExtendedContentEncryptionObject = Guid("298AE614-2622-4C17-B935-DAE07EE9289C");
inline constexpr TASFGuid AudioMedia = Guid("F8699E40-5B4D-11CF-A8FD-00805F5C442B");
inline constexpr TASFGuid VideoMedia = Guid("BC19EFC0-5B4D-11CF-A8FD-00805F5C442B");

inline constexpr size_t ObjectHeaderSize = 24;      // GUID and size
inline constexpr size_t HeaderObjectSize = 30;      // plus object count and two reserved bytes
inline constexpr size_t HeaderExtensionPrefix = 22; // reserved GUID, reserved word, data size

} // namespace asf

// Little-endian reads from a byte range that never go past its end: a read that does not
// fit sets Failed and yields zeros.
class TASFReader {
public:
    TASFReader(const uint8_t* data, size_t size)
        : FData(data)
        , FSize(size)
    {
    }

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    uint64_t U64();
    TASFGuid Guid();
    // Points at the next count bytes and steps over them; nullptr when they are not there.
    const uint8_t* Take(uint64_t count);
    bool Failed() const { return FFailed; }
    size_t Position() const { return FPosition; }
    size_t Remaining() const { return FSize - FPosition; }

private:
    const uint8_t* FData;
    size_t FSize;
    size_t FPosition = 0;
    bool FFailed = false;
};

// One object of the header (or of the header extension), with its body only.
struct TASFObject {
    TASFGuid Guid;
    std::vector<uint8_t> Body;
};

// Splits [data, data + size) into objects. False when an object is shorter than its own
// header or runs past the end.
bool SplitASFObjects(const uint8_t* data, size_t size, std::vector<TASFObject>& objects);

// The header extension's body split into its prefix and objects; false when damaged.
bool SplitHeaderExtension(
    const std::vector<uint8_t>& body, std::vector<uint8_t>& prefix, std::vector<TASFObject>& objects);

void AppendASFObject(std::vector<uint8_t>& out, const TASFGuid& guid, const std::vector<uint8_t>& body);
inline void AppendASFObject(std::vector<uint8_t>& out, const TASFObject& object)
{
    AppendASFObject(out, object.Guid, object.Body);
}

void AppendLE16(std::vector<uint8_t>& out, uint16_t value);
void AppendLE64(std::vector<uint8_t>& out, uint64_t value);

} // namespace vantor
