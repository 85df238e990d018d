// Saving the comment header of Ogg Opus, Vorbis and Theora streams: the
// header pages are rebuilt, written in place when they take exactly the old
// bytes and pages, otherwise into a new copy of the file with the pages that
// follow renumbered.

#include "tags/ogg/OpusTag.h"

#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/OggStream.h"
#include "tags/ogg/ReplacementFile.h"

#include <algorithm>
#include <unistd.h>

namespace vantor {

namespace {
const char PaddingName[] = "PADDING";
} // namespace

std::vector<uint8_t> TOpusTag::BuildCommentPacket(TOggFormat format, uint64_t padding) const
{
    std::vector<uint8_t> packet;
    const std::string_view magic = CommentMagic(format);
    packet.insert(packet.end(), magic.begin(), magic.end());
    AppendLE32(packet, uint32_t(VendorString.size()));
    packet.insert(packet.end(), VendorString.begin(), VendorString.end());
    AppendLE32(packet, uint32_t(Frames.size()));
    for (const auto& frame : Frames) {
        const std::string name = UpperCaseFieldNamesToWrite ? UpperAscii(frame->Name) : frame->Name;
        AppendLE32(packet, uint32_t(name.size() + 1 + frame->Value.size()));
        packet.insert(packet.end(), name.begin(), name.end());
        packet.push_back('=');
        packet.insert(packet.end(), frame->Value.begin(), frame->Value.end());
    }
    if (format == ofVorbis) {
        packet.push_back(0x01);
        packet.insert(packet.end(), size_t(padding), 0);
    }
    return packet;
}

bool TOpusTag::AdjustPadding(uint64_t tagSize)
{
    const bool allowed = WritePadding && PaddingSizeToWrite > 0;
    const uint64_t limit = std::max<uint64_t>(PaddingSizeToWrite, 13);
    while (DeleteFrameByName(PaddingName)) { }
    const uint64_t base = BuildCommentPacket(ofOpus, 0).size();
    if (TOGGStream::CalculateWrappedStreamSize(base) == tagSize)
        return true;
    if (!allowed)
        return false;
    // A "PADDING=###..." comment adds 4 + 8 + k bytes to the packet.
    for (uint64_t k = 1; k + 6 <= limit; ++k) {
        const uint64_t size = TOGGStream::CalculateWrappedStreamSize(base + 12 + k);
        if (size == tagSize) {
            AddTextFrame(PaddingName, std::string(size_t(k), '#'));
            return true;
        }
        if (size > tagSize)
            break;
    }
    AddTextFrame(PaddingName, std::string(size_t(limit - 11), '#'));
    return false;
}

bool TOpusTag::BuildHeaderPages(const TOpusTag& old, TStream& source, std::vector<uint8_t>& pages, uint64_t& pageCount)
{
    if (!old.Info.Rewritable)
        return false;
    if (!old.VendorString.empty())
        VendorString = old.VendorString;
    else if (VendorString.empty())
        VendorString = "Unknown vendor";
    const uint64_t tagSize = old.Info.TagEndPos - old.Info.SPagePos;
    source.Seek(old.Info.SPagePos);
    TOGGStream pager(source);
    TMemoryStream out;
    int count = 0;
    if (old.Format == ofOpus) {
        AdjustPadding(tagSize);
        TMemoryStream packet(BuildCommentPacket(ofOpus, 0));
        count = pager.CreateTagStream(packet, out, pager.FirstOGGHeader.PageNumber);
    } else {
        uint64_t padding = 0;
        if (old.Format == ofVorbis) {
            while (DeleteFrameByName(PaddingName)) { }
            const bool allowed = WritePadding && PaddingSizeToWrite > 0;
            const uint64_t base = BuildCommentPacket(ofVorbis, 0).size();
            const uint64_t setup = old.VorbisData.size();
            bool fits = false;
            if (allowed)
                for (uint64_t p = 0; p <= PaddingSizeToWrite && !fits; ++p) {
                    const uint64_t size = TOGGStream::CalculateWrappedStreamSizeVorbis(base + p, base + p + setup);
                    if (size > tagSize)
                        break;
                    fits = size == tagSize;
                    padding = p;
                }
            if (!fits)
                padding = allowed ? PaddingSizeToWrite : 0;
        }
        std::vector<uint8_t> bytes = BuildCommentPacket(old.Format, padding);
        const uint64_t commentSize = bytes.size();
        bytes.insert(bytes.end(), old.VorbisData.begin(), old.VorbisData.end());
        TMemoryStream packets(std::move(bytes));
        count = pager.CreateTagStreamVorbis(commentSize, packets, out);
    }
    if (count <= 0)
        return false;
    pages = std::move(out.Bytes());
    pageCount = uint64_t(count);
    return true;
}

// Deferred pictures come in from the loaded file before anything is written.
bool TOpusTag::FetchDeferredPictures()
{
    if (!HasDeferredPictures())
        return true;
    TFileStream file;
    return !FileName.empty() && file.Open(FileName) && LoadDeferredPictures(file);
}

int TOpusTag::SaveToFile(const std::string& fileName)
{
    try {
        TFileStream source;
        if (!FileExists(fileName) || !FetchDeferredPictures() || !source.Open(fileName))
            return otrCannotOpen;
        TOpusTag old;
        if (old.LoadFromStream(source) != otrSuccess)
            return otrNotOgg;
        std::vector<uint8_t> pages;
        uint64_t pageCount = 0;
        if (!BuildHeaderPages(old, source, pages, pageCount))
            return otrError;

        if (pages.size() == old.Info.TagEndPos - old.Info.SPagePos && pageCount == old.Info.HeaderPages) {
            // Same bytes and pages: only the header pages are overwritten.
            TFileEditStream edit;
            if (edit.Open(fileName) != TFileEditResult::Success)
                return otrCannotWrite;
            edit.Seek(old.Info.SPagePos);
            edit.Write(pages);
            return edit.Commit() == TFileEditResult::Success ? otrSuccess : otrError;
        }

        if (::access(fileName.c_str(), W_OK) != 0)
            return otrCannotWrite;
        TReplacementFile out;
        if (!out.Create(fileName))
            return otrCannotCreate;
        source.Seek(old.Info.SPagePos);
        TOGGStream pager(source);
        if (!CopyStreamRange(source, 0, old.Info.SPagePos, out) || !out.Write(pages))
            return otrError;
        source.Seek(old.Info.TagEndPos);
        if (!pager.ReNumberPages(old.Info.CommentPage.PageNumber + uint32_t(pageCount), source, out))
            return otrError;
        source.Close();
        return out.Commit() ? otrSuccess : otrError;
    } catch (...) {
        return otrError;
    }
}

int TOpusTag::SaveToStream(TStream& stream)
{
    try {
        if (!FetchDeferredPictures())
            return otrCannotOpen;
        TOpusTag old;
        if (old.LoadFromStream(stream) != otrSuccess)
            return otrNotOgg;
        std::vector<uint8_t> pages;
        uint64_t pageCount = 0;
        if (!BuildHeaderPages(old, stream, pages, pageCount))
            return otrError;
        if (pages.size() == old.Info.TagEndPos - old.Info.SPagePos && pageCount == old.Info.HeaderPages) {
            stream.Seek(old.Info.SPagePos);
            const bool written = stream.Write(pages);
            stream.Seek(0);
            return written ? otrSuccess : otrError;
        }
        TMemoryStream out;
        stream.Seek(old.Info.SPagePos);
        TOGGStream pager(stream);
        if (!CopyStreamRange(stream, 0, old.Info.SPagePos, out) || !out.Write(pages))
            return otrError;
        stream.Seek(old.Info.TagEndPos);
        if (!pager.ReNumberPages(old.Info.CommentPage.PageNumber + uint32_t(pageCount), stream, out))
            return otrError;
        if (!stream.Truncate(0) || !stream.Seek(0) || !stream.Write(out.Bytes()))
            return otrError;
        stream.Seek(0);
        return otrSuccess;
    } catch (...) {
        return otrError;
    }
}

} // namespace vantor
