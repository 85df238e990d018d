// Loading the comment header of Ogg Opus, Vorbis and Theora streams, and
// the play time and bit rate on request.

#include "tags/ogg/OpusTag.h"

#include "tags/PictureBlock.h"
#include "tags/io/Bytes.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/CommentValues.h"
#include "tags/ogg/OggPacketReader.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vantor {

namespace {

const char PictureName[] = "METADATA_BLOCK_PICTURE";

bool StartsWith(const std::vector<uint8_t>& bytes, const char* magic, size_t size)
{
    return bytes.size() >= size && std::memcmp(bytes.data(), magic, size) == 0;
}

uint64_t LeadingID3v2Size(TStream& stream)
{
    const std::vector<uint8_t> head = stream.ReadAt(0, 10);
    if (head.size() < 10 || std::memcmp(head.data(), "ID3", 3) != 0)
        return 0;
    const uint64_t size = 10 + uint64_t(GetSyncsafe32(head.data() + 6));
    return size > stream.Size() ? 0 : size;
}

// Samples at 48 kHz of one Opus packet, from its table-of-contents byte (and the frame
// count byte of a code 3 packet).
uint32_t OpusPacketSamples(const uint8_t* packet, size_t size)
{
    static const uint16_t FrameSamples[32] = { 480, 960, 1920, 2880, 480, 960, 1920, 2880, 480, 960, 1920, 2880, 480,
        960, 480, 960, 120, 240, 480, 960, 120, 240, 480, 960, 120, 240, 480, 960, 120, 240, 480, 960 };
    if (size == 0)
        return 0;
    const uint32_t frames = (packet[0] & 3) == 0 ? 1 : (packet[0] & 3) < 3 ? 2 : size >= 2 ? packet[1] & 0x3F : 0;
    return FrameSamples[packet[0] >> 3] * frames;
}

// The granule position where the first audio page's samples begin: its own granule position
// less the samples of the packets that end on it. Not 0 for a stream cut out of a longer one.
uint64_t OpusStartGranule(TStream& stream, uint64_t pageStart, uint32_t serial)
{
    TOggHeader header;
    if (!stream.Seek(pageStart) || !ReadOggHeader(stream, header) || header.Serial != serial
        || header.AbsolutePosition == UINT64_MAX || (header.TypeFlag & OggContinued))
        return 0;
    // Only the first two bytes of each packet tell its samples: the page's payload is not read.
    const uint64_t payloadStart = pageStart + OggHeaderSize + header.Segments;
    if (payloadStart > stream.Size() || stream.Size() - payloadStart < header.PayloadSize())
        return 0;
    uint64_t samples = 0;
    size_t packetStart = 0, at = 0;
    for (uint8_t i = 0; i < header.Segments; ++i) {
        at += header.LacingValues[i];
        if (header.LacingValues[i] < 255) {
            uint8_t toc[2] = {};
            const size_t length = std::min<size_t>(at - packetStart, sizeof toc);
            if (!stream.Seek(payloadStart + packetStart) || stream.Read(toc, length) != length)
                return 0;
            samples += OpusPacketSamples(toc, at - packetStart);
            packetStart = at;
        }
    }
    return header.AbsolutePosition > samples ? header.AbsolutePosition - samples : 0;
}

// The stream's comment packet, the second packet of the stream.
bool ReadCommentPacket(TStream& stream, std::vector<uint8_t>& comment)
{
    TOggPacketReader reader(stream, LeadingID3v2Size(stream));
    std::vector<uint8_t> id;
    return reader.NextPacket(id, 1 << 16) && reader.NextPacket(comment);
}

// Base64 characters kept of a large picture comment when pictures are deferred: whole groups
// that hold the block's fields in front of the picture and the picture's signature.
constexpr uint64_t PictureLeadText = PictureLeadBytes / 3 * 4;

} // namespace

bool ReadOggCommentPicture(TStream& source, uint64_t textOffset, uint64_t textSize, TNativePicture& picture)
{
    std::vector<uint8_t> comment;
    if (!ReadCommentPacket(source, comment) || textOffset > comment.size() || comment.size() - textOffset < textSize)
        return false;
    const std::vector<uint8_t> block = DecodeBase64Leniently(comment.data() + textOffset, size_t(textSize));
    return ParsePictureBlock(block.data(), block.size(), picture);
}

bool TOpusTag::HasDeferredPictures() const
{
    return std::any_of(Frames.begin(), Frames.end(), [](const auto& frame) { return frame->DeferredTextSize != 0; });
}

bool TOpusTag::LoadDeferredPictures(TStream& source)
{
    if (!HasDeferredPictures())
        return true;
    std::vector<uint8_t> comment;
    const bool read = ReadCommentPacket(source, comment);
    bool all = true;
    for (const auto& frame : Frames) {
        if (frame->DeferredTextSize == 0)
            continue;
        // The text must still start with the lead that was kept.
        const uint64_t lead = frame->Value.size();
        const uint64_t at = frame->TextOffset;
        if (!read || at > comment.size() || comment.size() - at < lead + frame->DeferredTextSize
            || !std::equal(frame->Value.begin(), frame->Value.end(), comment.begin() + ptrdiff_t(at))) {
            all = false;
            continue;
        }
        frame->Value.assign(
            comment.begin() + ptrdiff_t(at), comment.begin() + ptrdiff_t(at + lead + frame->DeferredTextSize));
        frame->DeferredTextSize = 0;
    }
    return all;
}

int TOpusTag::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream file;
    if (!FileExists(fileName) || !file.Open(fileName))
        return otrCannotOpen;
    const int result = LoadFromStream(file);
    if (result == otrSuccess)
        FileName = fileName;
    return result;
}

int TOpusTag::LoadFromStream(TStream& stream)
{
    Clear();
    const uint64_t at = stream.Position();
    int result = otrError;
    try {
        result = Parse(stream);
    } catch (...) {
        result = otrError;
    }
    stream.Seek(at);
    return result;
}

void TOpusTag::ParseComments(const std::vector<uint8_t>& packet, size_t at)
{
    auto u32 = [&](uint32_t& v) {
        if (packet.size() - at < 4)
            return false;
        v = GetLE32(packet.data() + at);
        at += 4;
        return true;
    };
    uint32_t vendorLength = 0, count = 0;
    if (!u32(vendorLength) || vendorLength > packet.size() - at)
        return;
    VendorString = SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(packet.data() + at), vendorLength));
    at += vendorLength;
    if (!u32(count))
        return;
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t length = 0;
        if (!u32(length) || length > packet.size() - at)
            return;
        const auto* begin = packet.data() + at;
        at += length;
        const auto* equals = static_cast<const uint8_t*>(std::memchr(begin, '=', length));
        if (!equals)
            continue;
        TOpusTagFrame* frame = AddFrame(
            UpperAscii(SanitizeUtf8(std::string_view(reinterpret_cast<const char*>(begin), size_t(equals - begin)))));
        frame->Format = frame->Name == PictureName ? otffCoverArt : otffText;
        const uint8_t* value = equals + 1;
        const uint64_t valueSize = uint64_t(begin + length - value);
        if (DeferPictureData && frame->Format == otffCoverArt && valueSize > 2 * PictureLeadText) {
            frame->Value.assign(value, value + PictureLeadText);
            frame->TextOffset = uint64_t(value - packet.data());
            frame->DeferredTextSize = valueSize - PictureLeadText;
        } else {
            frame->Value.assign(value, begin + length);
        }
    }
}

int TOpusTag::Parse(TStream& stream)
{
    Info.FileSize = stream.Size();
    Info.ID3v2Size = LeadingID3v2Size(stream);
    TOggPacketReader reader(stream, Info.ID3v2Size);
    std::vector<uint8_t> id, comment;
    if (!reader.NextPacket(id, 1 << 16))
        return otrError;
    if (StartsWith(id, "OpusHead", 8) && id.size() >= 19) {
        Format = ofOpus;
        Info.Channels = id[9];
        Info.PreSkip = GetLE16(id.data() + 10);
        Info.SampleRate = GetLE32(id.data() + 12);
    } else if (StartsWith(id, "\x01vorbis", 7) && id.size() >= 30) {
        Format = ofVorbis;
        Info.Channels = id[11];
        Info.SampleRate = GetLE32(id.data() + 12);
        Info.BitRateNominal = GetLE32(id.data() + 20);
    } else if (StartsWith(id, "\x80theora", 7)) {
        Format = ofTheora;
    } else {
        return otrError;
    }
    const bool idEndsPage = reader.PacketEndsPage();
    const std::string_view magic = CommentMagic(Format);
    if (!reader.NextPacket(comment) || !StartsWith(comment, magic.data(), magic.size())) {
        Format = ofUnknown;
        return otrError;
    }
    Info.SPagePos = reader.PacketStartPage();
    ParseComments(comment, magic.size());
    FLoaded = true;
    bool complete = true;
    if (Format != ofOpus)
        complete = reader.NextPacket(VorbisData);
    Info.TagEndPos = reader.PageEnd();
    Info.HeaderOggPageCount = reader.PagesRead() + reader.ForeignPages();

    // The header pages can be rebuilt only when they hold nothing but the
    // header packets of this stream.
    Info.Rewritable = complete && idEndsPage && reader.PacketEndsPage();
    stream.Seek(Info.SPagePos);
    ReadOggHeader(stream, Info.CommentPage);
    for (uint64_t at = Info.SPagePos; Info.Rewritable && at < Info.TagEndPos;) {
        TOggHeader header;
        stream.Seek(at);
        if (!ReadOggHeader(stream, header) || header.Serial != reader.Serial())
            Info.Rewritable = false;
        at += header.PageSize();
        ++Info.HeaderPages;
    }

    if (Format == ofVorbis && Info.BitRateNominal > 0)
        Info.BitRate = uint32_t(std::lround(Info.BitRateNominal / 1000.0));
    if (ParsePlayTime && Format != ofTheora)
        ReadPlayTime(stream);
    return otrSuccess;
}

void TOpusTag::ReadPlayTime(TStream& stream)
{
    // The granule position of the stream's last page, searched backwards: in the last block
    // first, where it nearly always is, then as far back as a page can reach.
    const uint64_t size = stream.Size();
    const uint32_t serial = Info.CommentPage.Serial;
    bool found = false;
    for (const uint64_t window : { uint64_t(4096), uint64_t(40961 + OggHeaderSize) }) {
        const uint64_t start = size > window ? size - window : 0;
        const std::vector<uint8_t> tail = stream.ReadAt(start, size - start);
        for (size_t i = tail.size() >= OggHeaderSize ? tail.size() - OggHeaderSize + 1 : 0; !found && i-- > 0;) {
            if (std::memcmp(tail.data() + i, "OggS", 4) != 0)
                continue;
            const TOggHeader header = DecodeOggHeader(tail.data() + i, tail.size() - i);
            if (header.Serial == serial && header.AbsolutePosition != UINT64_MAX) {
                Info.SampleCount = header.AbsolutePosition;
                found = true;
            }
        }
        if (found || start == 0)
            break;
    }
    if (Format == ofOpus) {
        // The pre-skip samples are decoded but not played.
        const uint64_t skipped = OpusStartGranule(stream, Info.TagEndPos, serial) + Info.PreSkip;
        Info.PlayTime = Info.SampleCount > skipped ? double(Info.SampleCount - skipped) / 48000.0 : 0;
    } else if (Info.SampleRate > 0)
        Info.PlayTime = double(Info.SampleCount) / Info.SampleRate;
    if (Info.PlayTime <= 0 && Format == ofVorbis && Info.BitRateNominal > 0 && Info.Channels > 0)
        Info.PlayTime = double(Info.FileSize - Info.ID3v2Size) / Info.BitRateNominal / Info.Channels / 125.0 * 2;
    if (Info.PlayTime <= 0 || (Format == ofVorbis && Info.BitRateNominal > 0))
        return;
    uint64_t audioBytes = Info.FileSize > Info.TagEndPos ? Info.FileSize - Info.TagEndPos : 0;
    if (Format == ofOpus && DeepOpusBitRateScan) {
        audioBytes = 0;
        TOggHeader header;
        for (uint64_t at = Info.TagEndPos;
             stream.Seek(at) && ReadOggHeader(stream, header) && header.HasCapturePattern(); at += header.PageSize())
            audioBytes += header.PayloadSize();
    }
    Info.BitRate = uint32_t(std::lround(double(audioBytes) / Info.PlayTime / 125.0));
}

} // namespace vantor
