#include "tags/id3v2/ID3v2Tag.h"

#include <zlib.h>

namespace vantor {

TID3v2Frame* TID3v2Tag::Frame(int Index)
{
    return Index >= 0 && Index < FrameCount() ? Frames[size_t(Index)].get() : nullptr;
}

const TID3v2Frame* TID3v2Tag::Frame(int Index) const
{
    return Index >= 0 && Index < FrameCount() ? Frames[size_t(Index)].get() : nullptr;
}

int TID3v2Tag::AddFrame(std::string_view FrameID) { return InsertFrame(FrameID, FrameCount()); }

int TID3v2Tag::InsertFrame(std::string_view FrameID, int Position)
{
    if (!IsValidFrameId(FrameID))
        return -1;
    auto NewFrame = std::make_unique<TID3v2Frame>();
    NewFrame->SetId(FrameID);
    if (Position < 0 || Position > FrameCount())
        Position = FrameCount();
    Frames.insert(Frames.begin() + Position, std::move(NewFrame));
    return Position;
}

bool TID3v2Tag::DeleteFrame(int FrameIndex)
{
    if (!Frame(FrameIndex))
        return false;
    Frames.erase(Frames.begin() + FrameIndex);
    return true;
}

bool TID3v2Tag::DeleteFrame(std::string_view FrameID) { return DeleteFrame(FrameExists(FrameID)); }

void TID3v2Tag::DeleteAllCoverArts()
{
    std::erase_if(Frames, [](const auto& F) { return F->HasId("APIC"); });
}

int TID3v2Tag::FrameExists(std::string_view FrameID) const
{
    for (int I = 0; I < FrameCount(); ++I) {
        if (Frames[size_t(I)]->HasId(FrameID))
            return I;
    }
    return -1;
}

int TID3v2Tag::FrameTypeCount(std::string_view FrameID) const
{
    int Count = 0;
    for (const auto& F : Frames)
        Count += F->HasId(FrameID) ? 1 : 0;
    return Count;
}

void TID3v2Tag::Clear()
{
    FileName.clear();
    Loaded = false;
    MajorVersion = 3;
    MinorVersion = 0;
    Flags = 0;
    Unsynchronised = Compressed = ExtendedHeader = Experimental = FooterPresent = false;
    CodedSize.fill(0);
    Size = 0;
    FPosition = 0;
    ExtendedHeader3.reset();
    ExtendedHeader4.reset();
    Frames.clear();
    PaddingSize = 0;
    PaddingToWrite = 4096;
    FStrangeTag = false;
    FFileSize = 0;
    FSourceFileType = sftUnknown;
    MPEGInfo = {};
    WAVInfo = {};
    AIFFInfo = {};
    DSFInfo.Clear();
    DFFInfo.ResetData();
    FPlayTime = 0;
    BitRate = 0;
    SampleCount = 0;
    FTrailingTagsSize = 0;
}

void TID3v2Tag::Assign(const TID3v2Tag& Source)
{
    if (&Source == this)
        return;
    FileName = Source.FileName;
    Loaded = Source.Loaded;
    MajorVersion = Source.MajorVersion;
    MinorVersion = Source.MinorVersion;
    Flags = Source.Flags;
    Unsynchronised = Source.Unsynchronised;
    Compressed = Source.Compressed;
    ExtendedHeader = Source.ExtendedHeader;
    Experimental = Source.Experimental;
    FooterPresent = Source.FooterPresent;
    CodedSize = Source.CodedSize;
    Size = Source.Size;
    FPosition = Source.FPosition;
    ExtendedHeader3 =
        Source.ExtendedHeader3 ? std::make_unique<TID3v2ExtendedHeader3>(*Source.ExtendedHeader3) : nullptr;
    ExtendedHeader4 =
        Source.ExtendedHeader4 ? std::make_unique<TID3v2ExtendedHeader4>(*Source.ExtendedHeader4) : nullptr;
    Frames.clear();
    Frames.reserve(Source.Frames.size());
    for (const auto& F : Source.Frames)
        Frames.push_back(std::make_unique<TID3v2Frame>(*F));
    PaddingSize = Source.PaddingSize;
    PaddingToWrite = Source.PaddingToWrite;
    FStrangeTag = Source.FStrangeTag;
    FFileSize = Source.FFileSize;
    ParseAudioAttributes = Source.ParseAudioAttributes;
    FSourceFileType = Source.FSourceFileType;
    MPEGInfo = Source.MPEGInfo;
    WAVInfo = Source.WAVInfo;
    AIFFInfo = Source.AIFFInfo;
    DSFInfo.Assign(Source.DSFInfo);
    DFFInfo = Source.DFFInfo;
    FPlayTime = Source.FPlayTime;
    BitRate = Source.BitRate;
    SampleCount = Source.SampleCount;
    FTrailingTagsSize = Source.FTrailingTagsSize;
}

// Version 2.3 unsynchronises the whole tag, 2.4 each flagged frame; 2.2 frames stay as read.
void TID3v2Tag::RemoveUnsynchronisationOnAllFrames()
{
    if (MajorVersion == 2)
        return;
    for (auto& F : Frames) {
        if (MajorVersion == 3 ? Unsynchronised : F->Unsynchronised)
            F->RemoveUnsynchronisation();
        F->Unsynchronised = false;
    }
    Unsynchronised = false;
}

void TID3v2Tag::ApplyUnsynchronisationOnAllFrames()
{
    if (MajorVersion == 2)
        return;
    for (auto& F : Frames) {
        if (MajorVersion == 3 || !F->Unsynchronised)
            F->ApplyUnsynchronisation();
    }
    Unsynchronised = true;
}

void TID3v2Tag::DeCompressAllFrames()
{
    for (auto& F : Frames)
        F->DeCompress();
}

uint64_t TID3v2Tag::CalculateTotalFramesSize() const
{
    uint64_t Total = 0;
    for (const auto& F : Frames) {
        if (F->HasWritableId())
            Total += F->Stream.size();
    }
    return Total;
}

uint32_t TID3v2Tag::FullFrameSize(int FrameIndex) const
{
    const TID3v2Frame* F = Frame(FrameIndex);
    if (!F)
        return 0;
    uint64_t Length = F->Stream.size();
    if (MajorVersion != 2) {
        if (MajorVersion == 3 ? F->Compressed : F->DataLengthIndicator)
            Length += 4;
        Length += F->Encrypted ? 1 : 0;
        Length += F->GroupingIdentity ? 1 : 0;
    }
    return uint32_t(std::min<uint64_t>(Length, UINT32_MAX));
}

uint64_t TID3v2Tag::CalculateTagSize(uint32_t Padding) const
{
    uint64_t Total = 10 + uint64_t(Padding);
    for (int I = 0; I < FrameCount(); ++I) {
        const TID3v2Frame& F = *Frames[size_t(I)];
        if (F.HasWritableId() && !F.Stream.empty())
            Total += 10 + uint64_t(FullFrameSize(I));
    }
    return Total;
}

uint32_t TID3v2Tag::CalculateTagCRC32() const
{
    TID3v2Tag Copy;
    Copy.Assign(*this);
    std::vector<uint8_t> Bytes;
    if (Copy.SaveTagToStream(Bytes, 0) != id3v2Success)
        return 0;
    return uint32_t(crc32(0, Bytes.data(), uInt(Bytes.size())));
}

} // namespace vantor
