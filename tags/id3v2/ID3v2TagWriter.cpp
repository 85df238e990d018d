// Writing the tag: rendering header, frames and padding, and putting the result into a file
// or an in-memory file image.

#include "tags/StreamByteSource.h"
#include "tags/id3v2/ID3v2Container.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"

#include <new>

namespace vantor {

namespace {

void PutSize32(std::vector<uint8_t>& Out, uint32_t Value)
{
    const uint8_t Bytes[4] = { uint8_t(Value >> 24), uint8_t(Value >> 16), uint8_t(Value >> 8), uint8_t(Value) };
    Out.insert(Out.end(), Bytes, Bytes + 4);
}

void PutSyncsafe(std::vector<uint8_t>& Out, uint32_t Value)
{
    uint8_t Bytes[4];
    PutSyncsafe32(Bytes, Value);
    Out.insert(Out.end(), Bytes, Bytes + 4);
}

} // namespace

// Upgrades a 2.2 tag and checks that the version can be written.
int TID3v2Tag::PrepareSave()
{
    // Deferred pictures come from the loaded file before anything is written.
    if (HasDeferredData()) {
        TFileSource Source;
        if (FileName.empty() || !Source.Open(FileName) || !LoadDeferredData(Source))
            return id3v2ErrorOpeningFile;
    }
    if (MajorVersion == 2) {
        MajorVersion = 3;
        MinorVersion = 0;
    }
    return MajorVersion == 3 || MajorVersion == 4 ? id3v2Success : id3v2UnsupportedVersion;
}

int TID3v2Tag::Render(uint32_t Padding, std::vector<uint8_t>& Out)
{
    const uint64_t Total = CalculateTagSize(Padding);
    // The size field holds 28 bits; a larger tag cannot be written without corrupting the file.
    if (Total - 10 > MaxSyncsafe)
        return id3v2Error;
    Out.reserve(Out.size() + size_t(Total));
    const uint8_t Header[6] = { 'I', 'D', '3', MajorVersion, MinorVersion,
        uint8_t((Unsynchronised ? 0x80 : 0) | (Experimental ? 0x20 : 0)) };
    Out.insert(Out.end(), Header, Header + 6);
    PutSyncsafe(Out, uint32_t(Total - 10));

    for (int I = 0; I < FrameCount(); ++I) {
        TID3v2Frame& F = *Frames[size_t(I)];
        if (!F.HasWritableId() || F.Stream.empty())
            continue;
        Out.insert(Out.end(), F.ID.begin(), F.ID.end());
        const uint32_t Length = FullFrameSize(I);
        if (MajorVersion == 3) {
            PutSize32(Out, Length);
            const uint16_t FrameFlags = F.EncodeFlags3();
            Out.push_back(uint8_t(FrameFlags >> 8));
            Out.push_back(uint8_t(FrameFlags));
            if (F.Compressed)
                PutSize32(Out, F.DataLengthIndicatorValue);
            if (F.Encrypted)
                Out.push_back(F.EncryptionMethod);
            if (F.GroupingIdentity)
                Out.push_back(F.GroupIdentifier);
        } else {
            PutSyncsafe(Out, Length);
            const uint16_t FrameFlags = F.EncodeFlags4();
            Out.push_back(uint8_t(FrameFlags >> 8));
            Out.push_back(uint8_t(FrameFlags));
            if (F.GroupingIdentity)
                Out.push_back(F.GroupIdentifier);
            if (F.Encrypted)
                Out.push_back(F.EncryptionMethod);
            if (F.DataLengthIndicator)
                PutSyncsafe(Out, F.DataLengthIndicatorValue);
        }
        Out.insert(Out.end(), F.Stream.begin(), F.Stream.end());
    }
    Out.resize(Out.size() + Padding, 0);
    return id3v2Success;
}

int TID3v2Tag::SaveTagToStream(std::vector<uint8_t>& Out, uint32_t PaddingSizeToWrite)
{
    try {
        if (const int R = PrepareSave(); R != id3v2Success)
            return R;
        PaddingSize = PaddingSizeToWrite;
        return Render(PaddingSizeToWrite, Out);
    } catch (const std::bad_alloc&) {
        return id3v2ErrorWriting;
    }
}

namespace {

int CheckFramesToWrite(const TID3v2Tag& Tag)
{
    if (Tag.Frames.empty())
        return id3v2NoFrames;
    for (const auto& F : Tag.Frames) {
        if (F->HasWritableId() && !F->Stream.empty())
            return id3v2Success;
    }
    return id3v2EmptyFrames;
}

} // namespace

int TID3v2Tag::SaveToFile(const std::filesystem::path& Name)
{
    try {
        if (const int R = PrepareSave(); R != id3v2Success)
            return R;
        // With nothing to write, an existing tag is taken out of the file, so that deleted
        // frames do not come back.
        const int Empty = CheckFramesToWrite(*this);

        // A missing file is created (only committed when there is a tag to put into it).
        TFileEditStream File;
        if (File.Open(Name.string(), true) != TFileEditResult::Success)
            return id3v2ErrorOpeningFile;
        const bool Exclusive = !File.Existed() || File.LockExclusive();
        TStreamByteSource Source(File);
        TFileEdits Edits;
        const int R = Empty == id3v2Success ? PlanID3v2Save(
                          Source, CalculateTagSize(0), PaddingToWrite,
                          [this](uint32_t Padding, std::vector<uint8_t>& Out) {
                              PaddingSize = Padding;
                              return Render(Padding, Out);
                          },
                          Edits)
                                            : PlanID3v2Removal(Source, Edits);
        if (R != id3v2Success)
            return R;
        if (Edits.empty())
            return Empty;
        if (!ApplyEdits(File, Edits))
            return id3v2ErrorSaving;
        // Moving the audio replaces the whole file, which must not happen under another user.
        if (File.NeedsRewrite() && !Exclusive)
            return id3v2NeedExclusiveAccess;
        switch (File.Commit()) {
        case TFileEditResult::Success: return id3v2Success;
        case TFileEditResult::ReadFailed: return id3v2ErrorSaving;
        default: return id3v2ErrorWriting;
        }
    } catch (const std::bad_alloc&) {
        return id3v2ErrorSaving;
    } catch (const std::exception&) {
        return id3v2Error;
    }
}

int TID3v2Tag::SaveToStream(std::vector<uint8_t>& Stream)
{
    try {
        if (const int R = PrepareSave(); R != id3v2Success)
            return R;
        const int Empty = CheckFramesToWrite(*this);
        TFileEdits Edits;
        const TMemorySource Source(Stream);
        const int R = Empty != id3v2Success ? PlanID3v2Removal(Source, Edits)
                                            : PlanID3v2Save(
                                                Source, CalculateTagSize(0), PaddingToWrite,
                                                [this](uint32_t Padding, std::vector<uint8_t>& Out) {
                                                    PaddingSize = Padding;
                                                    return Render(Padding, Out);
                                                },
                                                Edits);
        if (R != id3v2Success)
            return R;
        if (Edits.empty())
            return Empty;
        TMemoryStream Image(std::move(Stream));
        ApplyEdits(Image, Edits);
        Stream = std::move(Image.Bytes());
        return id3v2Success;
    } catch (const std::bad_alloc&) {
        return id3v2ErrorSaving;
    }
}

} // namespace vantor
