// Reading the tag: header, extended header and frames, from a byte source or memory.

#include "tags/id3v2/ID3v2Container.h"
#include "tags/id3v2/ID3v2FrameAccess.h"
#include "tags/id3v2/ID3v2FrameIds.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/id3v2/Unsynchronisation.h"
#include "tags/io/Bytes.h"

#include <cstring>

namespace vantor {

// Implemented with the picture accessors: turns a version 2.2 PIC frame into APIC.
void ConvertPICToAPIC(TID3v2Tag& Tag, int FrameIndex);

// Reads the tag through a small window: headers and small frames come from the window, and
// the data of a large frame (a picture) is read straight into the frame, so that it is
// copied only once. Nothing is read past Limit, the real end of the tag's bytes.
class TID3v2Cursor {
public:
    TID3v2Cursor(const TByteSource& Source, uint64_t Base, uint64_t Limit, std::vector<uint8_t>& Window)
        : Limit(Limit)
        , FSource(Source)
        , FBase(Base)
        , FWindow(Window)
    {
        FWindow.resize(WindowSize);
    }

    uint64_t Pos = 0;     // relative to the tag's header
    const uint64_t Limit; // bytes of the tag that exist

    // True when Count bytes exist at Pos; up to WindowSize of them are then at At().
    bool Has(size_t Count)
    {
        if (Pos > Limit || Limit - Pos < Count)
            return false;
        const uint64_t Needed = std::min<uint64_t>(Count, WindowSize);
        if (Pos < FStart || Pos + Needed > FStart + FLength) {
            FStart = Pos;
            FLength = FSource.ReadAt(FBase + Pos, FWindow.data(), size_t(std::min<uint64_t>(WindowSize, Limit - Pos)));
            if (FLength < Needed)
                return false;
        }
        return true;
    }
    const uint8_t* At() const { return FWindow.data() + (Pos - FStart); }
    // Offset in the source of Pos.
    uint64_t SourceOffset() const { return FBase + Pos; }
    uint8_t Take() { return FWindow[size_t(Pos++ - FStart)]; }

    // Moves Count bytes at Pos into Out; false when they cannot be read.
    bool ReadInto(std::vector<uint8_t>& Out, size_t Count)
    {
        if (Pos > Limit || Limit - Pos < Count)
            return false;
        Out.resize(Count);
        if (Count == 0)
            return true;
        size_t Done = 0;
        if (Pos >= FStart && Pos < FStart + FLength) {
            Done = std::min<size_t>(Count, size_t(FStart + FLength - Pos));
            if (Done)
                std::memcpy(Out.data(), At(), Done);
        }
        if (Done < Count && !FSource.ReadExact(FBase + Pos + Done, Out.data() + Done, Count - Done)) {
            Out.clear();
            return false;
        }
        Pos += Count;
        return true;
    }

private:
    static constexpr size_t WindowSize = 8192;
    const TByteSource& FSource;
    uint64_t FBase;
    std::vector<uint8_t>& FWindow;
    uint64_t FStart = 0;
    size_t FLength = 0;
};

namespace {

// The window buffer, reused so that reading many files does not allocate one for each.
std::vector<uint8_t>& WindowBuffer()
{
    thread_local std::vector<uint8_t> Buffer;
    return Buffer;
}

// Bytes of an APIC frame read when its picture is deferred: the header (encoding, MIME type,
// picture type, description) and the first bytes of the picture, which tell its format.
constexpr uint32_t PictureLeadBytes = 1024;

// Reads an APIC frame of Frame.Size bytes at the cursor with only its first PictureLeadBytes
// kept: 1 when done, 0 when the frame must be read whole (small, compressed, encrypted,
// unsynchronised, or a header reaching past the lead), -1 when its bytes do not exist.
int ReadDeferredPicture(TID3v2Cursor& C, TID3v2Frame& Frame)
{
    if (Frame.Size <= 2 * PictureLeadBytes || Frame.Compressed || Frame.Encrypted || Frame.Unsynchronised)
        return 0;
    if (C.Pos > C.Limit || C.Limit - C.Pos < Frame.Size)
        return -1;
    const uint64_t Start = C.Pos;
    if (!C.ReadInto(Frame.Stream, PictureLeadBytes))
        return -1;
    const uint8_t* Picture = nullptr;
    size_t PictureSize = 0;
    std::string MIMEType, Description;
    uint32_t CoverType = 0;
    uint8_t Encoding = 0;
    if (!ParseAPICData(Frame.Stream, Picture, PictureSize, MIMEType, Description, CoverType, Encoding)
        || PictureSize < 16) {
        C.Pos = Start;
        Frame.Stream.clear();
        return 0;
    }
    Frame.DeferredOffset = C.SourceOffset();
    Frame.DeferredSize = Frame.Size - PictureLeadBytes;
    C.Pos += Frame.DeferredSize;
    return 1;
}

// A version 2.4 size whose bytes are not syncsafe was written as a plain integer by an
// encoder that ignored the rule; read it that way rather than losing the rest of the tag.
uint32_t ReadFrameSize4(const uint8_t* P)
{
    if ((P[0] | P[1] | P[2] | P[3]) & 0x80)
        return GetBE32(P);
    return GetSyncsafe32(P);
}

} // namespace

int TID3v2Tag::LoadFromMemory(const uint8_t* Address, size_t Available)
{
    if (!Address)
        return id3v2NoTag;
    TMemorySource Source({ Address, Available });
    Clear();
    return LoadTagFromStream(Source, 0);
}

int TID3v2Tag::LoadTagFromStream(const TByteSource& Stream, uint64_t Position)
{
    uint8_t Header[10];
    if (!Stream.ReadExact(Position, Header, sizeof Header) || std::memcmp(Header, "ID3", 3) != 0)
        return id3v2NoTag;
    MajorVersion = Header[3];
    MinorVersion = Header[4];
    if (MajorVersion < 2 || MajorVersion > 4)
        return id3v2UnsupportedVersion;
    FPosition = Position;
    std::copy(Header + 6, Header + 10, CodedSize.begin());
    Size = GetSyncsafe32(Header + 6) + 10;

    // The size field is not trusted: only the bytes that really exist are read.
    TID3v2Cursor C(Stream, Position, std::min<uint64_t>(Size, Stream.Remaining(Position)), WindowBuffer());
    return LoadTagBody(C);
}

int TID3v2Tag::LoadTagBody(TID3v2Cursor& C)
{
    Flags = C.Has(6) ? C.At()[5] : 0;
    Unsynchronised = Flags & 0x80;
    if (MajorVersion == 2) {
        Compressed = Flags & 0x40;
    } else {
        ExtendedHeader = Flags & 0x40;
        Experimental = Flags & 0x20;
        FooterPresent = Flags & 0x10;
    }

    C.Pos = 10;
    if (ExtendedHeader && C.Has(4)) {
        if (IsValidFrameId(C.At(), 4)) {
            // A flag set by mistake: the frames start right here.
            ExtendedHeader = false;
        } else if (MajorVersion == 3) {
            auto H = std::make_unique<TID3v2ExtendedHeader3>();
            std::copy(C.At(), C.At() + 4, H->CodedSize);
            H->Size = GetSyncsafe32(C.At());
            C.Pos += 4;
            if (C.Has(2)) {
                H->Flags = GetBE16(C.At());
                H->CRCPresent = H->Flags & 0x8000;
                C.Pos += 2;
            }
            const size_t DataSize =
                size_t(std::min<uint64_t>(H->Size >= 2 ? H->Size - 2 : 0, C.Limit - std::min(C.Pos, C.Limit)));
            C.ReadInto(H->Data, DataSize);
            if (Unsynchronised)
                vantor::RemoveUnsynchronisation(H->Data);
            ExtendedHeader3 = std::move(H);
        } else {
            const uint64_t Start = C.Pos;
            auto H = std::make_unique<TID3v2ExtendedHeader4>();
            std::copy(C.At(), C.At() + 4, H->CodedSize);
            H->Size = GetSyncsafe32(C.At());
            C.Pos += 4;
            if (C.Has(2)) {
                H->FlagBytes = C.At()[0];
                H->Flags = C.At()[1];
                C.Pos += 2;
                H->TagIsAnUpdate = H->Flags & 0x40;
                H->CRCPresent = H->Flags & 0x20;
                H->TagRestrictions = H->Flags & 0x10;
                // Each set flag carries a length byte and that much data, in flag order.
                for (const uint8_t Bit : { uint8_t(0x40), uint8_t(0x20), uint8_t(0x10) }) {
                    if (!(H->Flags & Bit) || !C.Has(1))
                        continue;
                    const size_t Length = size_t(std::min<uint64_t>(C.At()[0], C.Limit - C.Pos - 1));
                    if (!C.Has(1 + Length))
                        break;
                    const uint8_t* Data = C.At() + 1;
                    if (Bit == 0x10 && Length >= 1)
                        H->TagRestrictionsData = Data[0];
                    H->ExtendedFlagsData.push_back(uint8_t(Length));
                    H->ExtendedFlagsData.insert(H->ExtendedFlagsData.end(), Data, Data + Length);
                    C.Pos += 1 + Length;
                }
                H->ExtendedFlagsDataSize = uint32_t(H->ExtendedFlagsData.size());
            }
            // The size covers the whole extended header; trust it when it is consistent.
            if (H->Size >= C.Pos - Start && Start + H->Size <= C.Limit)
                C.Pos = Start + H->Size;
            ExtendedHeader4 = std::move(H);
        }
    }

    while (C.Pos < C.Limit) {
        auto F = std::make_unique<TID3v2Frame>();
        bool Strange = false;

        // Id: 3 characters in 2.2, 4 in 2.3/2.4, with the fallbacks damaged tags need.
        if (MajorVersion == 2) {
            if (C.Has(3) && IsValidFrameId(C.At(), 3)) {
                F->SetId({ reinterpret_cast<const char*>(C.At()), 3 });
                C.Pos += 3;
            } else {
                C.Pos += 3;
                if (!C.Has(4) || !IsValidFrameId(C.At(), 4))
                    break;
                F->SetId({ reinterpret_cast<const char*>(C.At()), 4 });
                C.Pos += 4;
            }
        } else if (C.Has(4) && IsValidFrameId(C.At(), 4)) {
            F->SetId({ reinterpret_cast<const char*>(C.At()), 4 });
            C.Pos += 4;
        } else if (C.Has(4) && IsValidFrameId(C.At(), 3)) {
            FStrangeTag = true;
            Strange = true;
            F->SetId({ reinterpret_cast<const char*>(C.At()), 3 });
            C.Pos += C.At()[3] == 0 ? 4 : 3;
        } else {
            C.Pos += 3;
            if (!C.Has(4) || !IsValidFrameId(C.At(), 4))
                break;
            F->SetId({ reinterpret_cast<const char*>(C.At()), 4 });
            C.Pos += 4;
        }

        // Header by version; the extra header bytes are not part of the data.
        uint32_t Extra = 0;
        if (Strange) {
            if (!C.Has(3))
                break;
            F->CodedSize = uint32_t(C.At()[0]) | uint32_t(C.At()[1]) << 8 | uint32_t(C.At()[2]) << 16;
            F->Size = F->CodedSize;
            F->Unsynchronised = Unsynchronised;
            C.Pos += 3;
        } else if (MajorVersion == 2) {
            if (!C.Has(3))
                break;
            F->CodedSize = GetBE24(C.At());
            F->Size = F->CodedSize;
            F->Unsynchronised = Unsynchronised;
            C.Pos += 3;
        } else if (MajorVersion == 3) {
            if (!C.Has(6))
                break;
            F->CodedSize = GetBE32(C.At());
            F->Size = F->CodedSize;
            F->DecodeFlags3(GetBE16(C.At() + 4));
            F->Unsynchronised = Unsynchronised;
            C.Pos += 6;
            Extra = (F->Compressed ? 4 : 0) + (F->Encrypted ? 1 : 0) + (F->GroupingIdentity ? 1 : 0);
            if (!C.Has(Extra) || F->Size < Extra)
                break;
            if (F->Compressed) {
                F->DataLengthIndicatorValue = GetBE32(C.At());
                F->DataLengthIndicator = true;
                C.Pos += 4;
            }
            if (F->Encrypted)
                F->EncryptionMethod = C.Take();
            if (F->GroupingIdentity)
                F->GroupIdentifier = C.Take();
        } else {
            if (!C.Has(6))
                break;
            F->CodedSize = ReadFrameSize4(C.At());
            F->Size = F->CodedSize;
            F->DecodeFlags4(GetBE16(C.At() + 4));
            C.Pos += 6;
            Extra = (F->GroupingIdentity ? 1 : 0) + (F->Encrypted ? 1 : 0) + (F->DataLengthIndicator ? 4 : 0);
            if (!C.Has(Extra) || F->Size < Extra)
                break;
            if (F->GroupingIdentity)
                F->GroupIdentifier = C.Take();
            if (F->Encrypted)
                F->EncryptionMethod = C.Take();
            if (F->DataLengthIndicator) {
                F->DataLengthIndicatorValue = GetSyncsafe32(C.At());
                C.Pos += 4;
            }
        }
        F->Size -= Extra;

        // An empty frame, or one claiming more than the whole tag, keeps no data; the next
        // frame is looked for right behind its header.
        if (F->Size != 0 && F->Size <= Size) {
            if (DeferPictureData && !Strange && !Unsynchronised && MajorVersion >= 3 && F->HasId("APIC")) {
                if (const int Read = ReadDeferredPicture(C, *F); Read != 0) {
                    if (Read < 0)
                        break;
                    Frames.push_back(std::move(F));
                    continue;
                }
            }
            if (!C.ReadInto(F->Stream, F->Size))
                break;
        }

        const bool WasPIC = F->HasId("PIC");
        if (MajorVersion == 2 || Strange) {
            const std::string_view Id23 = ConvertFrameId22To23(F->IdText());
            if (!Id23.empty())
                F->SetId(Id23);
            // 2.2 frames are de-unsynchronised here: the tag is upgraded to 2.3 on save.
            if (MajorVersion == 2 && Unsynchronised)
                F->RemoveUnsynchronisation();
        }
        Frames.push_back(std::move(F));
        if (WasPIC)
            ConvertPICToAPIC(*this, FrameCount() - 1);
    }
    if (MajorVersion == 2)
        Unsynchronised = false;

    Loaded = true;
    return id3v2Success;
}

int TID3v2Tag::LoadFromFile(const std::filesystem::path& Name)
{
    TFileSource Source;
    if (!Source.Open(Name)) {
        Clear();
        return id3v2ErrorOpeningFile;
    }
    const int Result = LoadFromStream(Source);
    if (Result < id3v2ErrorOpeningFile)
        FileName = Name;
    return Result;
}

int TID3v2Tag::LoadFromStream(const TByteSource& Stream)
{
    Clear();
    FFileSize = Stream.Size();

    int Result = id3v2NoTag;
    uint8_t Magic[3] = {};
    if (Stream.ReadExact(0, Magic, 3) && std::memcmp(Magic, "ID3", 3) == 0) {
        Result = LoadTagFromStream(Stream, 0);
    } else {
        TID3v2Location Location;
        FSourceFileType = LocateID3v2InContainer(Stream, Location);
        if (FSourceFileType != sftUnknown && ParseAudioAttributes)
            ReadContainerAudio(Stream);
        if (Location.TagFound)
            Result = LoadTagFromStream(Stream, Location.TagOffset);
    }
    // MPEG audio is only looked for behind a tag at the start of a plain file: inside a
    // container the bytes there are the container's own and could hold a false frame sync.
    if (FSourceFileType == sftUnknown)
        FindMPEGAudio(Stream, Result == id3v2Success ? Size : 0);
    return Result;
}

} // namespace vantor
