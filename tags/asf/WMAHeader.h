#pragma once
// What the WMA reader and writer share: the header as found in a stream, the attribute
// records of the Metadata and Metadata Library objects, and the data types as stored.

#include "tags/asf/ASFObjects.h"
#include "tags/asf/WMATag.h"
#include "tags/io/Stream.h"

namespace vantor {

// The five texts of the Content Description object, in stored order.
inline constexpr const char* ContentDescriptionNames[5] = { "Title", "Author", "Copyright", "Description", "Rating" };

// Stored data types of attribute values.
enum : uint16_t {
    asfString = 0,
    asfBinary = 1,
    asfBool = 2,
    asfDWORD = 3,
    asfQWORD = 4,
    asfWORD = 5,
    asfGUID = 6,
};

inline uint16_t StoredType(TWMAAttributeType format)
{
    switch (format) {
    case wmaTypeDWORD: return asfDWORD;
    case wmaTypeString: return asfString;
    case wmaTypeBinary: return asfBinary;
    case wmaTypeBool: return asfBool;
    case wmaTypeQWORD: return asfQWORD;
    case wmaTypeWORD: return asfWORD;
    default: return asfGUID;
    }
}

// False for a type the header does not define.
inline bool FormatOfStoredType(uint16_t type, TWMAAttributeType& format)
{
    static constexpr TWMAAttributeType formats[] = { wmaTypeString, wmaTypeBinary, wmaTypeBool, wmaTypeDWORD,
        wmaTypeQWORD, wmaTypeWORD, wmaTypeGUID };
    if (type > asfGUID)
        return false;
    format = formats[type];
    return true;
}

// The header object of an ASF stream, split into its objects.
struct TASFHeader {
    uint64_t Size = 0; // of the whole header object
    uint8_t Reserved[2] = { 1, 2 };
    std::vector<TASFObject> Objects;
};

// wmaSuccess, wmaNotASF or wmaCorrupt (sizes, or the object count, that do not agree with
// the bytes present).
int ReadASFHeader(TStream& stream, TASFHeader& header);

// One record of a Metadata or Metadata Library object as stored.
struct TASFMetadataRecord {
    uint16_t Language = 0; // always 0 in the Metadata object
    uint16_t Stream = 0;
    uint16_t Type = 0;
    std::vector<uint8_t> Name; // UTF-16LE as stored
    std::vector<uint8_t> Data;
};

// False when the object's body does not hold the records its count announces; the
// records read until then are kept.
bool ReadMetadataRecords(const std::vector<uint8_t>& body, std::vector<TASFMetadataRecord>& records);
void AppendMetadataRecord(std::vector<uint8_t>& out, const TASFMetadataRecord& record);

} // namespace vantor
