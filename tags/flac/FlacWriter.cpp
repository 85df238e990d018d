// Saving the metadata of native FLAC and Ogg FLAC.

#include "tags/flac/FlacTag.h"

#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/ogg/OggStream.h"
#include "tags/ogg/ReplacementFile.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

constexpr uint32_t MaxBlockLength = 0xFFFFFF;

void AppendBlock(std::vector<uint8_t>& out, uint8_t headerByte, const std::vector<uint8_t>& body)
{
    out.push_back(headerByte);
    out.push_back(uint8_t(body.size() >> 16));
    out.push_back(uint8_t(body.size() >> 8));
    out.push_back(uint8_t(body.size()));
    out.insert(out.end(), body.begin(), body.end());
}

} // namespace

int TFlacTag::WriteNative(TStream& target)
{
    const std::vector<uint8_t> comments = BuildVorbisCommentBody();
    const int64_t C = int64_t(comments.size());
    const int64_t M = CalculateMetaBlocksSize(true);
    if (C > MaxBlockLength)
        return ftrError;
    for (const auto* blocks : { &MetaBlocksCoverArts, &aMetaBlockOther })
        for (const TMetaData& block : *blocks)
            if (block.Data.size() > MaxBlockLength)
                return ftrError;

    const bool shortPath = FVorbisIndex > 0 && FPaddingIndex == FVorbisIndex + 1 && FPadding > C - FTagSize
        && FMetaBlocksSize == M && !FPaddingFragments && !ForceReWrite;
    std::vector<uint8_t> rebuilt;
    int64_t R = 0;
    if (!shortPath) {
        for (const TMetaData& block : MetaBlocksCoverArts)
            AppendBlock(rebuilt, fbtPicture, block.Data);
        for (const TMetaData& block : aMetaBlockOther) {
            if (block.BlockType == fbtPadding)
                R += 4 + int64_t(block.Data.size());
            else
                AppendBlock(rebuilt, uint8_t(block.BlockType), block.Data);
        }
    }
    const int64_t T = FVorbisIndex > 0 ? FTagSize : -4;
    const int64_t E = FPaddingIndex > 0 ? FPadding : -4;

    std::vector<uint8_t> area;
    if (C - T >= E || FMetaBlocksSize != M || ForceReWrite) {
        // A new metadata area; the audio frames behind it move.
        area.assign(FHeader, FHeader + 42);
        area[4] &= 0x7F;
        area.insert(area.end(), rebuilt.begin(), rebuilt.end());
        AppendBlock(area, fbtVorbisComment, comments);
        AppendBlock(
            area, 0x80 | fbtPadding, std::vector<uint8_t>(std::min<uint32_t>(PaddingSizeToWrite, MaxBlockLength), 0));
        return target.Replace(FDataStart, FAudioOffset - FDataStart, area.data(), area.size()) ? ftrSuccess : ftrError;
    }

    // In place: the metadata area keeps its size, the padding takes up the rest.
    const int64_t P = E + T + FMetaBlocksSize + R - C - M;
    if (P < 1 || P > MaxBlockLength)
        return ftrError;
    if (!shortPath)
        area = rebuilt;
    AppendBlock(area, fbtVorbisComment, comments);
    area.push_back(FPaddingLast || !shortPath ? 0x80 | fbtPadding : fbtPadding);
    area.push_back(uint8_t(P >> 16));
    area.push_back(uint8_t(P >> 8));
    area.push_back(uint8_t(P));
    if (P != FPadding || !shortPath)
        area.insert(area.end(), size_t(P), 0);
    target.Seek(shortPath ? FVCOffset - 4 : FDataStart + 42);
    return target.Write(area) ? ftrSuccess : ftrError;
}

int TFlacTag::WriteOgg(TStream& target, const std::string* fileName, bool& rewrote)
{
    rewrote = false;
    if (!FOggRewritable)
        return ftrError;
    const uint64_t firstPageEnd = FDataStart + 79;
    const uint64_t oldSpace = FAudioOffset - firstPageEnd;
    target.Seek(FDataStart);
    TOGGStream pager(target);

    // Each block is a packet of its own, numbered after the first page.
    std::vector<std::vector<uint8_t>> packets;
    packets.emplace_back();
    AppendBlock(packets.back(), fbtVorbisComment, BuildVorbisCommentBody());
    for (const TMetaData& block : MetaBlocksCoverArts) {
        packets.emplace_back();
        AppendBlock(packets.back(), fbtPicture, block.Data);
    }
    for (const TMetaData& block : aMetaBlockOther)
        if (block.BlockType != fbtPadding) {
            packets.emplace_back();
            AppendBlock(packets.back(), uint8_t(block.BlockType), block.Data);
        }
    for (const auto& packet : packets)
        if (packet.size() - 4 > MaxBlockLength)
            return ftrError;
    uint64_t size = 0;
    for (const auto& packet : packets)
        size += TOGGStream::CalculateWrappedStreamSize(packet.size());

    // In place when a padding packet of some n bytes makes the pages fill the old space.
    uint64_t padding = 0;
    bool inPlace = false;
    if (!ForceReWrite && size + TOGGStream::CalculateWrappedStreamSize(5) <= oldSpace)
        for (uint64_t n = 1; 4 + n <= std::max<uint64_t>(PaddingSizeToWrite, 5); ++n) {
            const uint64_t total = size + TOGGStream::CalculateWrappedStreamSize(4 + n);
            if (total >= oldSpace) {
                inPlace = total == oldSpace;
                padding = n;
                break;
            }
        }
    if (!inPlace)
        padding = std::min<uint32_t>(PaddingSizeToWrite, MaxBlockLength);
    packets.emplace_back();
    AppendBlock(packets.back(), 0x80 | fbtPadding, std::vector<uint8_t>(size_t(padding), 0));

    TMemoryStream pages;
    uint32_t number = pager.FirstOGGHeader.PageNumber + 1;
    uint64_t pageCount = 0;
    for (const auto& packet : packets) {
        TMemoryStream bytes(packet);
        const int count = pager.CreateTagStream(bytes, pages, number);
        if (count <= 0)
            return ftrError;
        number += uint32_t(count);
        pageCount += uint64_t(count);
    }
    inPlace = inPlace && pageCount == FOggHeaderPages;

    // The first page announces the number of header packets.
    std::vector<uint8_t> first = target.ReadAt(FDataStart, 79);
    if (first.size() != 79)
        return ftrError;
    first[28 + 13 + 4] &= 0x7F;
    PutBE16(first.data() + 28 + 7, uint16_t(std::min<size_t>(packets.size(), 0xFFFF)));
    SetOggPageCrc(first.data(), first.size());

    if (inPlace) {
        target.Seek(FDataStart);
        return target.Write(first) && target.Write(pages.Bytes()) ? ftrSuccess : ftrError;
    }
    rewrote = true;
    TMemoryStream memory;
    TReplacementFile replacement;
    if (fileName && !replacement.Create(*fileName))
        return ftrCannotCreate;
    TStream& out = fileName ? static_cast<TStream&>(replacement) : memory;
    if (!CopyStreamRange(target, 0, FDataStart, out) || !out.Write(first) || !out.Write(pages.Bytes()))
        return ftrError;
    target.Seek(FAudioOffset);
    if (!pager.ReNumberPages(number, target, out))
        return ftrError;
    if (fileName)
        return replacement.Commit() ? ftrSuccess : ftrError;
    if (!target.Truncate(0) || !target.Seek(0) || !target.Write(memory.Bytes()))
        return ftrError;
    return ftrSuccess;
}

// Deferred pictures come in from the loaded file before anything is written.
bool TFlacTag::FetchDeferredPictures()
{
    if (!HasDeferredPictures())
        return true;
    TFileStream file;
    return !FileName.empty() && file.Open(FileName) && LoadDeferredPictures(file);
}

int TFlacTag::SaveToFile(const std::string& fileName)
{
    struct stat before { };
    if (!FileExists(fileName) || ::stat(fileName.c_str(), &before) != 0 || !FetchDeferredPictures())
        return ftrCannotOpen;
    const int result = WriteFile(fileName);
    if (result == ftrSuccess && bTAG_PreserveDate) {
        const struct timespec times[2] = { before.st_atim, before.st_mtim };
        ::utimensat(AT_FDCWD, fileName.c_str(), times, 0);
    }
    return result;
}

int TFlacTag::WriteFile(const std::string& fileName)
{
    try {
        TFileEditStream edit;
        if (edit.Open(fileName) != TFileEditResult::Success)
            return ::access(fileName.c_str(), R_OK) == 0 ? ftrCannotWrite : ftrCannotOpen;
        if (Parse(edit, false) != ftrSuccess || !FLoaded)
            return ftrError;
        int result = ftrError;
        if (StreamType == fstNativeFlac) {
            result = WriteNative(edit);
            if (result == ftrSuccess && edit.Commit() != TFileEditResult::Success)
                result = ftrError;
        } else {
            bool rewrote = false;
            result = WriteOgg(edit, &fileName, rewrote);
            if (result == ftrSuccess && !rewrote && edit.Commit() != TFileEditResult::Success)
                result = ftrError;
        }
        FExists = result == ftrSuccess;
        return result;
    } catch (...) {
        return ftrError;
    }
}

int TFlacTag::SaveToStream(TStream& stream)
{
    try {
        if (!FetchDeferredPictures())
            return ftrCannotOpen;
        stream.Seek(0);
        if (Parse(stream, false) != ftrSuccess || !FLoaded)
            return ftrError;
        bool rewrote = false;
        const int result = StreamType == fstNativeFlac ? WriteNative(stream) : WriteOgg(stream, nullptr, rewrote);
        stream.Seek(0);
        FExists = result == ftrSuccess;
        return result;
    } catch (...) {
        return ftrError;
    }
}

} // namespace vantor
