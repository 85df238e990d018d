#include "tags/id3v2/ID3v2Frame.h"
#include "tags/id3v2/Unsynchronisation.h"
#include "tags/io/Bytes.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

namespace vantor {

bool IsValidFrameId(const uint8_t* Id, size_t Length) { return std::all_of(Id, Id + Length, IsFrameIdChar); }

bool IsValidFrameId(std::string_view Id)
{
    return (Id.size() == 3 || Id.size() == 4) && IsValidFrameId(reinterpret_cast<const uint8_t*>(Id.data()), Id.size());
}

std::string_view TID3v2Frame::IdText() const { return std::string_view(ID.data(), ID[3] == 0 ? 3 : 4); }

void TID3v2Frame::SetId(std::string_view Id)
{
    ID.fill(0);
    std::copy_n(Id.begin(), std::min<size_t>(Id.size(), 4), ID.begin());
}

void TID3v2Frame::DecodeFlags3(uint16_t Value)
{
    Flags = Value;
    TagAlterPreservation = Value & 0x8000;
    FileAlterPreservation = Value & 0x4000;
    ReadOnly = Value & 0x2000;
    Compressed = Value & 0x0080;
    Encrypted = Value & 0x0040;
    GroupingIdentity = Value & 0x0020;
}

uint16_t TID3v2Frame::EncodeFlags3()
{
    Flags =
        uint16_t((TagAlterPreservation ? 0x8000 : 0) | (FileAlterPreservation ? 0x4000 : 0) | (ReadOnly ? 0x2000 : 0)
            | (Compressed ? 0x0080 : 0) | (Encrypted ? 0x0040 : 0) | (GroupingIdentity ? 0x0020 : 0));
    return Flags;
}

void TID3v2Frame::DecodeFlags4(uint16_t Value)
{
    Flags = Value;
    TagAlterPreservation = Value & 0x4000;
    FileAlterPreservation = Value & 0x2000;
    ReadOnly = Value & 0x1000;
    GroupingIdentity = Value & 0x0040;
    Compressed = Value & 0x0008;
    Encrypted = Value & 0x0004;
    Unsynchronised = Value & 0x0002;
    DataLengthIndicator = Value & 0x0001;
}

uint16_t TID3v2Frame::EncodeFlags4()
{
    Flags = uint16_t((TagAlterPreservation ? 0x4000 : 0) | (FileAlterPreservation ? 0x2000 : 0)
        | (ReadOnly ? 0x1000 : 0) | (GroupingIdentity ? 0x0040 : 0) | (Compressed ? 0x0008 : 0)
        | (Encrypted ? 0x0004 : 0) | (Unsynchronised ? 0x0002 : 0) | (DataLengthIndicator ? 0x0001 : 0));
    return Flags;
}

bool TID3v2Frame::Compress()
{
    if (Stream.empty())
        return false;
    uLongf Length = compressBound(uLong(Stream.size()));
    std::vector<uint8_t> Packed(Length);
    if (compress2(Packed.data(), &Length, Stream.data(), uLong(Stream.size()), Z_BEST_COMPRESSION) != Z_OK
        || Length == 0)
        return false;
    Packed.resize(Length);
    DataLengthIndicatorValue = uint32_t(Stream.size());
    Stream.swap(Packed);
    Compressed = true;
    DataLengthIndicator = true;
    return true;
}

bool TID3v2Frame::DeCompress()
{
    if (!Compressed || Stream.size() <= 4)
        return false;
    // zlib cannot expand more than about 1032:1, and no frame can outgrow a tag.
    const uint64_t Limit = std::min<uint64_t>(uint64_t(Stream.size()) * 1032 + 64, MaxSyncsafe);
    uint64_t Guess = DataLengthIndicatorValue != 0 ? DataLengthIndicatorValue : uint64_t(Stream.size()) * 4;
    Guess = std::clamp<uint64_t>(Guess, 64, Limit);

    z_stream Z {};
    if (inflateInit(&Z) != Z_OK)
        return false;
    std::vector<uint8_t> Out(static_cast<size_t>(Guess));
    Z.next_in = Stream.data();
    Z.avail_in = uInt(Stream.size());
    int Status = Z_OK;
    while (true) {
        Z.next_out = Out.data() + Z.total_out;
        Z.avail_out = uInt(Out.size() - Z.total_out);
        Status = inflate(&Z, Z_NO_FLUSH);
        if (Status == Z_STREAM_END || (Status != Z_OK && Status != Z_BUF_ERROR))
            break;
        if (Z.avail_out != 0 || Out.size() >= Limit) { // input exhausted, or too large
            Status = Z_DATA_ERROR;
            break;
        }
        Out.resize(size_t(std::min<uint64_t>(uint64_t(Out.size()) * 2, Limit)));
    }
    const size_t Produced = Z.total_out;
    inflateEnd(&Z);
    if (Status != Z_STREAM_END)
        return false;
    Out.resize(Produced);
    Stream.swap(Out);
    Compressed = false;
    DataLengthIndicator = false;
    return true;
}

void TID3v2Frame::RemoveUnsynchronisation()
{
    vantor::RemoveUnsynchronisation(Stream);
    Unsynchronised = false;
}

void TID3v2Frame::ApplyUnsynchronisation()
{
    vantor::ApplyUnsynchronisation(Stream);
    Unsynchronised = true;
}

} // namespace vantor
