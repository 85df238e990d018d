#include "tags/CoverArt.h"

#include "tags/Tags.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/OpusTag.h"

namespace vantor {

void TCoverArt::Clear()
{
    Name.clear();
    Stream.Clear();
    DeferredFile.clear();
    DeferredOffset = DeferredSize = DeferredTextSize = 0;
    Description.clear();
    MIMEType.clear();
    CoverType = 0;
    PictureFormat = tpfUnknown;
    Width = Height = ColorDepth = NoOfColors = 0;
}

bool TCoverArt::Assign(const TCoverArt* source)
{
    Clear();
    if (source) {
        Name = source->Name;
        Stream.Bytes() = source->Stream.Bytes();
        DeferredFile = source->DeferredFile;
        DeferredOffset = source->DeferredOffset;
        DeferredSize = source->DeferredSize;
        DeferredTextSize = source->DeferredTextSize;
        Description = source->Description;
        CoverType = source->CoverType;
        MIMEType = source->MIMEType;
        PictureFormat = source->PictureFormat;
        Width = source->Width;
        Height = source->Height;
        ColorDepth = source->ColorDepth;
        NoOfColors = source->NoOfColors;
    }
    return true;
}

bool TCoverArt::LoadData()
{
    if (!Deferred())
        return true;
    TFileStream file;
    if (!file.Open(DeferredFile))
        return false;
    std::vector<uint8_t> bytes;
    if (DeferredTextSize != 0) {
        // The same picture still: the block there must give as many bytes of the same type.
        TNativePicture picture;
        if (!ReadOggCommentPicture(file, DeferredOffset, DeferredTextSize, picture)
            || picture.Data.size() != DeferredSize || picture.CoverType != CoverType)
            return false;
        bytes = std::move(picture.Data);
    } else {
        if (DeferredOffset > file.Size() || file.Size() - DeferredOffset < DeferredSize)
            return false;
        bytes.resize(static_cast<size_t>(DeferredSize));
        if (!file.Seek(DeferredOffset) || !file.ReadExact(bytes.data(), bytes.size()))
            return false;
    }
    Stream.Bytes() = std::move(bytes);
    Stream.Seek(0);
    DeferredFile.clear();
    DeferredOffset = DeferredSize = DeferredTextSize = 0;
    return true;
}

bool TCoverArt::Delete() { return Parent && Parent->DeleteCoverArt(Index); }

TTagPictureFormat PictureFormatFromMIMEType(const std::string& mimeType)
{
    const std::string mime = LowerAscii(mimeType);
    if (mime == "image/jpeg" || mime == "image/jpg")
        return tpfJPEG;
    if (mime == "image/png")
        return tpfPNG;
    if (mime == "image/bmp")
        return tpfBMP;
    if (mime == "image/gif")
        return tpfGIF;
    return tpfUnknown;
}

TTagPictureFormat PictureFormatFromBytes(const uint8_t* data, size_t size)
{
    if (!data || size < 2)
        return tpfUnknown;
    if (data[0] == 0xFF && data[1] == 0xD8)
        return tpfJPEG;
    if (data[0] == 0x89 && data[1] == 0x50)
        return tpfPNG;
    if (data[0] == 0x47 && data[1] == 0x49)
        return tpfGIF;
    if (data[0] == 0x42 && data[1] == 0x4D)
        return tpfBMP;
    return tpfUnknown;
}

std::string MIMETypeOfPictureFormat(TTagPictureFormat format)
{
    switch (format) {
    case tpfJPEG: return "image/jpeg";
    case tpfPNG: return "image/png";
    case tpfGIF: return "image/gif";
    case tpfBMP: return "image/bmp";
    default: return "";
    }
}

} // namespace vantor
