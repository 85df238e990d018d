// Parsing the metadata blocks of native FLAC and Ogg FLAC.

#include "tags/flac/FlacTag.h"

#include "tags/io/Bytes.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/OggPacketReader.h"

#include <cmath>
#include <cstring>

namespace vantor {

namespace {

uint64_t DataStart(TStream& stream)
{
    const std::vector<uint8_t> head = stream.ReadAt(0, 10);
    if (head.size() < 10 || std::memcmp(head.data(), "ID3", 3) != 0)
        return 0;
    const uint64_t start = 10 + uint64_t(GetSyncsafe32(head.data() + 6));
    return start > stream.Size() ? 0 : start;
}

} // namespace

void TFlacTag::DecodeStreamInfo(const uint8_t* i)
{
    FSampleRate = int32_t((uint32_t(i[10]) << 12) | (uint32_t(i[11]) << 4) | (i[12] >> 4));
    FChannels = uint8_t(((i[12] >> 1) & 7) + 1);
    FBitsPerSample = uint8_t((((i[12] & 1) << 4) | (i[13] >> 4)) + 1);
    FSamples = int64_t((uint64_t(i[13] & 0x0F) << 32) | GetBE32(i + 14));
}

void TFlacTag::ReadVorbisComments(const uint8_t* body, size_t size, bool wantComments)
{
    size_t at = 0;
    auto u32 = [&](uint32_t& v) {
        if (size - at < 4)
            return false;
        v = GetLE32(body + at);
        at += 4;
        return true;
    };
    uint32_t vendorLength = 0, count = 0;
    if (!u32(vendorLength) || vendorLength > size - at)
        return;
    if (vendorLength > 0)
        VendorString = SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(body + at), vendorLength));
    at += vendorLength;
    if (!u32(count))
        return;
    FExists = FExists || count > 0;
    for (uint32_t n = 0; n < count; ++n) {
        uint32_t length = 0;
        if (!u32(length) || length > size - at)
            return;
        const uint8_t* entry = body + at;
        at += length;
        if (length == 0 || !wantComments)
            continue;
        const auto* equals = static_cast<const uint8_t*>(std::memchr(entry, '=', length));
        if (!equals)
            continue;
        TVorbisComment* comment = AddTag(
            UpperAscii(SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(entry), size_t(equals - entry)))));
        const std::string value = SanitizeUtf8(
            std::string_view(reinterpret_cast<const char*>(equals + 1), size_t(entry + length - equals - 1)));
        comment->Value.assign(value.begin(), value.end());
        comment->Format = vcfText;
    }
}

// Reads one block's header and body at the stream's position (native) or
// from a packet (Ogg). body is null for a padding block that is skipped. A
// picture kept from bodyBytes (the vector holding body) takes its bytes over;
// when bodyBytes holds less than the block, the rest is deferred.
bool TFlacTag::ReadBlock(const uint8_t header[4], const uint8_t* body, uint64_t bodyOffset, int ordinal,
    bool wantComments, int& result, std::vector<uint8_t>* bodyBytes)
{
    const uint8_t type = header[0] & 0x7F;
    const uint32_t length = GetBE24(header + 1);
    if (length == 0) {
        FMetaBlocksSize += 4;
    } else if (type == fbtVorbisComment && FVorbisIndex == 0) {
        FVCOffset = bodyOffset;
        FTagSize = length;
        FVorbisIndex = ordinal;
        ReadVorbisComments(body, length, wantComments);
    } else if (type == fbtPadding && FPaddingIndex == 0) {
        FPadding = length;
        FPaddingLast = (header[0] & 0x80) != 0;
        FPaddingIndex = ordinal;
    } else if (type > fbtPicture) {
        FSamples = 0;
        result = ftrSuccess;
        return false;
    } else {
        // A second comment block is read, but only the first keeps its place: a
        // save writes one block with all comments.
        if (type == fbtVorbisComment)
            ReadVorbisComments(body, length, wantComments);
        if (type == fbtPadding)
            FPaddingFragments = true;
        FMetaBlocksSize += 4 + int64_t(length);
        TMetaData block;
        std::memcpy(block.MetaDataBlockHeader, header, 4);
        block.BlockType = type;
        if (type == fbtPicture) {
            if (wantComments) {
                if (bodyBytes && bodyBytes->data() == body && bodyBytes->size() <= length) {
                    block.Data = std::move(*bodyBytes);
                    block.DataOffset = bodyOffset;
                    block.DeferredSize = length - uint32_t(block.Data.size());
                } else
                    block.Data.assign(body, body + length);
                MetaBlocksCoverArts.push_back(std::move(block));
            }
        } else if (type != fbtVorbisComment) {
            block.Data.assign(body, body + length);
            aMetaBlockOther.push_back(std::move(block));
        }
    }
    if (header[0] & 0x80) {
        FLoaded = true;
        result = ftrSuccess;
        return false;
    }
    return true;
}

int TFlacTag::ParseNative(TStream& stream, bool wantComments)
{
    StreamType = fstNativeFlac;
    DecodeStreamInfo(FHeader + 8);
    if (FHeader[4] & 0x80)
        return ftrNoMetaBlocks;
    int result = ftrError;
    uint64_t at = FDataStart + 42;
    std::vector<uint8_t> body;
    for (int ordinal = 1;; ++ordinal) {
        uint8_t header[4];
        stream.Seek(at);
        if (!stream.ReadExact(header, 4))
            return ftrError;
        const uint8_t type = header[0] & 0x7F;
        const uint32_t length = GetBE24(header + 1);
        if (stream.Remaining() < length)
            return ftrError;
        // The first padding block's body is not needed; anything else is read.
        const bool skip = length == 0 || (type == fbtPadding && FPaddingIndex == 0) || type > fbtPicture;
        // A large picture is read only as far as its lead when pictures are deferred.
        const bool lead = DeferPictureData && wantComments && type == fbtPicture && length > 2 * PictureLeadBytes;
        body.clear();
        if (!skip) {
            body.resize(lead ? PictureLeadBytes : length);
            if (!stream.ReadExact(body.data(), body.size()))
                return ftrError;
        }
        at += 4 + length;
        if (!ReadBlock(header, body.data(), at - length, ordinal, wantComments, result, &body))
            break;
    }
    FAudioOffset = at;
    return result;
}

int TFlacTag::ParseOgg(TStream& stream, bool wantComments)
{
    const std::vector<uint8_t> page = stream.ReadAt(FDataStart, 4);
    if (page.size() < 4 || std::memcmp(page.data(), "OggS", 4) != 0)
        return ftrNotFlac;
    TOggPacketReader reader(stream, FDataStart);
    std::vector<uint8_t> packet;
    if (!reader.NextPacket(packet, 1 << 16) || packet.size() < 51)
        return ftrNotFlac;
    std::memcpy(FOggFlacHeader, packet.data(), 51);
    const bool firstPageAlone = reader.PacketEndsPage() && packet.size() == 51 && reader.PageEnd() == FDataStart + 79;
    if (packet[0] != 0x7F || std::memcmp(packet.data() + 1, "FLAC", 4) != 0 || packet[5] != 1
        || std::memcmp(packet.data() + 9, "fLaC", 4) != 0)
        return packet[5] != 1 && std::memcmp(packet.data() + 1, "FLAC", 4) == 0 ? ftrOggVersion : ftrNotFlac;
    StreamType = fstOggFlac;
    std::memcpy(FHeader, packet.data() + 9, 42);
    DecodeStreamInfo(FHeader + 8);
    if (FHeader[4] & 0x80)
        return ftrNoMetaBlocks;

    int result = ftrError;
    uint64_t offset = 0; // position in the collected header packets
    for (int ordinal = 1;; ++ordinal) {
        if (!reader.NextPacket(packet) || packet.size() < 4)
            return ftrError;
        const uint32_t length = GetBE24(packet.data() + 1);
        if (packet.size() - 4 < length)
            return ftrError;
        offset += 4;
        const bool more = ReadBlock(packet.data(), packet.data() + 4, offset, ordinal, wantComments, result);
        offset += packet.size() - 4;
        if (!more)
            break;
    }
    FAudioOffset = reader.PageEnd();
    FOggHeaderPages = reader.PagesRead() - 1;
    FOggRewritable = firstPageAlone && reader.PacketEndsPage() && reader.ForeignPages() == 0;
    return result;
}

int TFlacTag::Parse(TStream& stream, bool wantComments)
{
    ResetLayout();
    FFileLength = stream.Size();
    if (FFileLength == 0)
        return ftrCannotOpen;
    FDataStart = DataStart(stream);
    const std::vector<uint8_t> head = stream.ReadAt(FDataStart, 42);
    int result;
    if (head.size() == 42 && std::memcmp(head.data(), "fLaC", 4) == 0) {
        std::memcpy(FHeader, head.data(), 42);
        result = ParseNative(stream, wantComments);
    } else {
        result = ParseOgg(stream, wantComments);
    }
    if (Valid()) {
        if (FAudioOffset == 0)
            FAudioOffset = stream.Position();
        const double seconds = Playtime();
        if (FFileLength > FAudioOffset && seconds > 0)
            FBitrate = uint32_t(std::lround(double((FFileLength - FAudioOffset) / 1000) * 8 / seconds));
    } else if (result == ftrError) {
        result = ftrNotFlac;
    }
    return result;
}

bool TFlacTag::HasDeferredPictures() const
{
    for (const TMetaData& block : MetaBlocksCoverArts)
        if (block.DeferredSize != 0)
            return true;
    return false;
}

bool TFlacTag::LoadDeferredPictures(TStream& source)
{
    bool all = true;
    for (TMetaData& block : MetaBlocksCoverArts) {
        if (block.DeferredSize == 0)
            continue;
        const size_t lead = block.Data.size();
        const uint64_t at = block.DataOffset + lead;
        if (at > source.Size() || source.Size() - at < block.DeferredSize) {
            all = false;
            continue;
        }
        block.Data.resize(lead + block.DeferredSize);
        if (!source.Seek(at) || !source.ReadExact(block.Data.data() + lead, block.DeferredSize)) {
            block.Data.resize(lead);
            all = false;
            continue;
        }
        block.DeferredSize = 0;
    }
    return all;
}

int TFlacTag::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream file;
    if (!FileExists(fileName) || !file.Open(fileName))
        return ftrCannotOpen;
    const int result = LoadFromStream(file);
    FileName = fileName;
    return result;
}

int TFlacTag::LoadFromStream(TStream& stream)
{
    Clear();
    try {
        return Parse(stream, true);
    } catch (...) {
        return ftrError;
    }
}

} // namespace vantor
