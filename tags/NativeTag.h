#pragma once
// What the unified model needs from a format object that is reached through an
// interface (FLAC, Ogg, MP4, WAV chunks, WMA): loading, saving, its size and the
// audio properties it found. Each format's reader/writer derives from the
// matching base in the files beside this one.

#include "tags/TagTypes.h"
#include "tags/audio_attributes/AudioProperties.h"
#include "tags/io/Stream.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

// A picture as the formats carry it.
struct TNativePicture {
    std::string Name; // Ogg: the comment's name
    uint32_t CoverType = 3;
    std::string MIMEType;
    std::string Description;
    uint32_t Width = 0, Height = 0, ColorDepth = 0, NoOfColors = 0;
    std::vector<uint8_t> Data;
    // A deferred picture: Data holds only its first bytes, the whole picture is DeferredSize
    // bytes at DeferredOffset of the loaded file.
    uint64_t DeferredOffset = 0;
    uint64_t DeferredSize = 0;
    // Set for a picture of an Ogg comment, whose packet runs across pages: the picture is then
    // in the base64 text of DeferredTextSize bytes at DeferredOffset of the comment packet.
    uint64_t DeferredTextSize = 0;
};

// Bytes kept of a picture whose loading is deferred: enough for the headers in front of it
// and the signature that tells its format. Smaller pictures are read whole.
constexpr uint32_t PictureLeadBytes = 1024;

class TNativeTag {
public:
    virtual ~TNativeTag() = default;

    virtual bool Loaded() const = 0;
    virtual void Clear() = 0;
    // The format's own result codes (translated by ResultTranslation.h).
    virtual int LoadFromFile(const std::string& fileName) = 0;
    virtual int LoadFromStream(TStream& stream) = 0;
    virtual int SaveToFile(const std::string& fileName) = 0;
    virtual int SaveToStream(TStream& stream) = 0;
    // Bytes the tag takes in the file.
    virtual uint64_t TagSize() const = 0;
    virtual TAudioPropertySet AudioProperties() const { return {}; }
    // Copies another object of the same format; false for a different format.
    virtual bool Assign(const TNativeTag& source) = 0;
};

} // namespace vantor
