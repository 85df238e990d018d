#pragma once
// One picture of the unified tag model.

#include "tags/TagTypes.h"
#include "tags/io/Stream.h"

#include <string>

namespace vantor {

class TTags;

class TCoverArt {
public:
    explicit TCoverArt(TTags* parent)
        : Parent(parent)
    {
    }

    std::string Name;
    TMemoryStream Stream; // the picture file's bytes; empty while they are deferred
    // A picture loaded without its bytes: they are DeferredSize bytes at DeferredOffset of
    // DeferredFile, brought into Stream by LoadData.
    std::string DeferredFile;
    uint64_t DeferredOffset = 0;
    uint64_t DeferredSize = 0;
    // Set for a picture of an Ogg comment: its base64 text is DeferredTextSize bytes at
    // DeferredOffset of the comment packet, which LoadData reads and decodes.
    uint64_t DeferredTextSize = 0;
    std::string Description;
    uint32_t CoverType = 0; // ID3v2/FLAC picture type; 3 = front cover
    std::string MIMEType;
    TTagPictureFormat PictureFormat = tpfUnknown;
    uint32_t Width = 0, Height = 0, ColorDepth = 0, NoOfColors = 0;
    TTags* Parent;     // not owned
    int32_t Index = 0; // position in Parent->CoverArts

    bool Deferred() const { return !DeferredFile.empty(); }
    // Bytes of the picture, whether in Stream or deferred.
    uint64_t Size() const { return Deferred() ? DeferredSize : Stream.Size(); }
    // Reads deferred bytes into Stream; false (still deferred) when the file no longer holds them.
    bool LoadData();

    void Clear();
    // Copies everything including the bytes; a null source leaves it cleared.
    bool Assign(const TCoverArt* source);
    // Parent->DeleteCoverArt(Index).
    bool Delete();
};

// "image/jpeg" or "image/jpg" → JPEG, "image/png", "image/bmp", "image/gif"; else unknown.
TTagPictureFormat PictureFormatFromMIMEType(const std::string& mimeType);
// From the first two bytes: FF D8 JPEG, 89 50 PNG, 47 49 GIF, 42 4D BMP.
TTagPictureFormat PictureFormatFromBytes(const uint8_t* data, size_t size);
// "image/jpeg", "image/png", "image/gif", "image/bmp", or empty for unknown.
std::string MIMETypeOfPictureFormat(TTagPictureFormat format);

} // namespace vantor
