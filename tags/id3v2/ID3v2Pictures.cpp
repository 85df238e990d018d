// Picture frames: APIC, and the PIC frames of version 2.2 which are converted to APIC.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/id3v2/ID3v2FrameAccess.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"

namespace vantor {

bool TID3v2Tag::GetCoverPictureInfoPointer(int Index, const uint8_t*& Picture, size_t& PictureSize,
    std::string& MIMEType, std::string& Description, uint32_t& CoverType, uint8_t& TextEncoding) const
{
    return ParseAPICData(FrameData(Frame(Index)), Picture, PictureSize, MIMEType, Description, CoverType, TextEncoding);
}

bool ParseAPICData(std::span<const uint8_t> Data, const uint8_t*& Picture, size_t& PictureSize, std::string& MIMEType,
    std::string& Description, uint32_t& CoverType, uint8_t& TextEncoding)
{
    Picture = nullptr;
    PictureSize = 0;
    MIMEType.clear();
    Description.clear();
    CoverType = 0;
    TextEncoding = 0;
    if (Data.size() < 2)
        return false;
    // encoding, MIME type, picture type, description, picture
    TextEncoding = Data[0];
    TFrameTextReader Header(Data.subspan(1), id3teANSI);
    MIMEType = Header.ReadLatin1String();
    if (Header.AtEnd())
        return false;
    CoverType = Header.Rest()[0];
    TFrameTextReader Text(Header.Rest().subspan(1), TextEncoding);
    Description = Text.ReadString();
    Picture = Text.Rest().data();
    PictureSize = Text.Rest().size();
    return true;
}

bool TID3v2Tag::GetUnicodeCoverPictureInfo(
    int Index, std::string& MIMEType, std::string& Description, uint32_t& CoverType) const
{
    const uint8_t* Picture;
    size_t PictureSize;
    uint8_t Encoding;
    return GetCoverPictureInfoPointer(Index, Picture, PictureSize, MIMEType, Description, CoverType, Encoding);
}

bool TID3v2Tag::GetUnicodeCoverPictureStream(int Index, std::vector<uint8_t>& Picture, std::string& MIMEType,
    std::string& Description, uint32_t& CoverType) const
{
    const uint8_t* Data;
    size_t Size;
    uint8_t Encoding;
    Picture.clear();
    if (const TID3v2Frame* F = Frame(Index); F && F->DeferredSize != 0)
        return false;
    if (!GetCoverPictureInfoPointer(Index, Data, Size, MIMEType, Description, CoverType, Encoding))
        return false;
    Picture.assign(Data, Data + Size);
    return true;
}

bool TID3v2Tag::SetUnicodeCoverPictureFromStream(int Index, std::string_view Description,
    std::span<const uint8_t> Picture, std::string_view MIMEType, uint32_t CoverType)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F || CoverType > 255)
        return false;
    F->Stream.reserve(Picture.size() + MIMEType.size() + 2 * Description.size() + 10);
    TFrameTextWriter W(F->Stream);
    W.Byte(id3teUTF16);
    W.String(id3teANSI, MIMEType);
    W.Byte(uint8_t(CoverType));
    W.String(id3teUTF16, Description);
    W.Bytes(Picture);
    return true;
}

bool TID3v2Tag::SetUnicodeCoverPictureFromFile(int Index, std::string_view Description,
    const std::filesystem::path& PictureFileName, std::string_view MIMEType, uint32_t CoverType)
{
    TFileSource File;
    if (!Frame(Index) || !File.Open(PictureFileName) || File.Size() > MaxSyncsafe) {
        FrameForWrite(Index);
        return false;
    }
    std::vector<uint8_t> Bytes(size_t(File.Size()));
    if (!File.ReadExact(0, Bytes.data(), Bytes.size())) {
        FrameForWrite(Index);
        return false;
    }
    return SetUnicodeCoverPictureFromStream(Index, Description, Bytes, MIMEType, CoverType);
}

bool TID3v2Tag::HasDeferredData() const
{
    for (const auto& F : Frames)
        if (F->DeferredSize != 0)
            return true;
    return false;
}

bool TID3v2Tag::LoadDeferredData(const TByteSource& Source)
{
    bool All = true;
    for (const auto& F : Frames) {
        if (F->DeferredSize == 0)
            continue;
        const size_t Lead = F->Stream.size();
        if (Source.Remaining(F->DeferredOffset) < F->DeferredSize) {
            All = false;
            continue;
        }
        F->Stream.resize(Lead + F->DeferredSize);
        if (!Source.ReadExact(F->DeferredOffset, F->Stream.data() + Lead, F->DeferredSize)) {
            F->Stream.resize(Lead);
            All = false;
            continue;
        }
        F->DeferredOffset = 0;
        F->DeferredSize = 0;
    }
    return All;
}

// A PIC frame holds an encoding byte, a 3-letter image format, the picture type, the
// description and the picture; it is rewritten in the APIC layout.
void ConvertPICToAPIC(TID3v2Tag& Tag, int Index)
{
    TID3v2Frame* F = Tag.Frame(Index);
    if (!F || F->Stream.size() < 5)
        return;
    const std::span<const uint8_t> Data = F->Stream;
    std::string Format;
    for (size_t I = 1; I < 4; ++I)
        Format += char(Data[I] >= 'a' && Data[I] <= 'z' ? Data[I] - 32 : Data[I]);
    std::string MIMEType = Format;
    if (Format == "JPG")
        MIMEType = "image/jpeg";
    else if (Format == "PNG")
        MIMEType = "image/png";
    else if (Format == "GIF")
        MIMEType = "image/gif";
    else if (Format == "BMP")
        MIMEType = "image/bmp";
    const uint8_t CoverType = Data[4];
    TFrameTextReader Reader(Data.subspan(5), Data[0]);
    const std::string Description = Reader.ReadString();
    const std::vector<uint8_t> Picture(Reader.Rest().begin(), Reader.Rest().end());
    Tag.SetUnicodeCoverPictureFromStream(Index, Description, Picture, Latin1ToUtf8(MIMEType), CoverType);
}

} // namespace vantor
