#pragma once
// The attributes of a WMA/ASF file and the properties of its header. Attributes come from
// the Content Description (Title, Author, Copyright, Description, Rating), the Extended
// Content Description and the Metadata and Metadata Library objects of the header
// extension; only file-level attributes (stream 0) are frames, the stream-level records
// are written back as they were.
//
// A save rebuilds the header: the five Content Description texts go there, every other
// attribute into the Extended Content Description when it can hold it (not a GUID, no
// language, at most 64 KB, first of its name there), the rest into the Metadata Library.
// When the new header fits into the old one, a padding object fills the difference and
// nothing behind the header moves; otherwise the file is written anew with the Data
// object and everything after it copied unchanged.

#include "tags/WMATagBase.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

// The tag's own result codes.
enum TWMAResult : int {
    wmaSuccess = 0,
    wmaFileNotFound = 1,
    wmaCannotOpen = 3,  // the file cannot be opened for reading or writing
    wmaNotASF = 4,      // no ASF header object at the start
    wmaCorrupt = 5,     // the header's objects, or an attribute object, do not add up
    wmaWriteFailed = 6, // writing the file failed; it is left as it was
    wmaTooMany = 7,     // more attributes, or a longer name, than the header can hold
    wmaError = 0xFFFF,
};

// Attribute data types, numbered as attribute editors hand them over (the header stores
// them in another order).
enum TWMAAttributeType : int {
    wmaTypeDWORD = 0,
    wmaTypeString = 1,
    wmaTypeBinary = 2,
    wmaTypeBool = 3, // 32-bit in memory
    wmaTypeQWORD = 4,
    wmaTypeWORD = 5,
    wmaTypeGUID = 6,
};

class TWMATag;

class TWMATagFrame {
public:
    std::string Name;
    TWMAAttributeType Format = wmaTypeString;
    // The value bytes: text as UTF-16LE ending in a zero character, integers little-endian,
    // a WM/Picture as stored (type byte, 32-bit size, MIME type, description, data).
    std::vector<uint8_t> Stream;
    uint16_t Language = 0; // index into the file's language list
    int Index = 0;
    TWMATag* Parent = nullptr; // not owned
    // A picture loaded in part: Stream holds the first bytes of the value, which starts at
    // ValueOffset of the loaded file, and DeferredSize more bytes follow there.
    uint64_t ValueOffset = 0;
    uint64_t DeferredSize = 0;

    // Text: its characters with zero characters skipped; other types: GetAsInteger in decimal.
    std::string GetAsText() const;
    void SetAsText(const std::string& text);
    // DWORD and BOOL 4 bytes, QWORD 8, WORD 2 (little-endian); text: its value when it is a
    // decimal number; anything else 0.
    int64_t GetAsInteger() const;
    // Only for DWORD, BOOL, QWORD and WORD; false for the other types.
    bool SetAsInteger(TWMAAttributeType format, uint64_t value);
    // Pairs stored as lines name, value, ...; pairs with an empty name or value are skipped.
    TNameValueList GetAsList() const;
    void SetAsList(const TNameValueList& list);
    bool IsCoverArt() const;
    // A WM/Picture that holds a well-formed picture (judged by its first bytes when deferred).
    bool IsPicture() const;
    // Nothing a save would write: no bytes, or text without characters.
    bool Empty() const;
    void Clear();
    void Assign(const TWMATagFrame& source);
    bool Delete();
};

// The audio stream's WAVEFORMATEX.
struct TWMAAudioFormat {
    uint16_t FormatTag = 0; // codec id
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0;
    uint32_t AvgBytesPerSec = 0;
    uint16_t BlockAlign = 0;
    uint16_t BitsPerSample = 0;
};

class TWMATag final : public TWMATagBase {
public:
    TWMATag() = default;
    TWMATag(const TWMATag&) = delete;
    TWMATag& operator=(const TWMATag&) = delete;

    std::string FileName;
    std::vector<std::unique_ptr<TWMATagFrame>> Frames;
    // Padding left in the header when the file has to be written anew.
    uint32_t PaddingToWrite = 4096;

    bool Loaded() const override { return FLoaded; }
    void Clear() override;
    int LoadFromFile(const std::string& fileName) override;
    int LoadFromStream(TStream& stream) override;
    int SaveToFile(const std::string& fileName) override;
    // Rewrites the header of the ASF file in the stream.
    int SaveToStream(TStream& stream) override;

    int Count() const { return int(Frames.size()); }
    TWMATagFrame* AddFrame(const std::string& name);
    bool DeleteFrame(int index);
    // Every frame of the name.
    void DeleteFrameByName(const std::string& name);
    void DeleteAllFrames();
    bool FrameExists(const std::string& name) const { return GetAttribIndex(name) >= 0; }
    // Index of the first frame of the name, or -1.
    int GetAttribIndex(const std::string& name) const;
    std::string ReadFrameByNameAsText(const std::string& name) const;
    bool ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const;
    int64_t ReadAsInteger(const std::string& name) const;
    // Set the first frame of the name, adding one when there is none.
    void SetTextFrameText(const std::string& name, const std::string& text);
    void SetListFrameText(const std::string& name, const TNameValueList& list);
    bool SetAsInteger(const std::string& name, TWMAAttributeType format, uint64_t value);

    TWMATagFrame* AddCoverArtFrame();
    bool SetCoverArtFrame(int index, const std::vector<uint8_t>& picture, const std::string& description,
        uint8_t pictureType, const std::string& mimeType);
    // False for a picture whose bytes are still in the file (LoadDeferredPictures brings them).
    bool GetCoverArtFromFrame(int index, std::vector<uint8_t>& picture, std::string& description, uint8_t& pictureType,
        std::string& mimeType) const;
    void DeleteAllCoverArts();
    int CoverArtCount() const;
    bool HasDeferredPictures() const;
    // Reads the rest of deferred pictures from source (what was loaded); false when it no
    // longer holds them. A save fetches them from FileName itself.
    bool LoadDeferredPictures(TStream& source);
    // Bytes the attribute objects written from the frames take.
    uint64_t CalculateTagSize() const;
    void Assign(const TWMATag& source);

    // The header's properties.
    uint64_t Duration() const; // 100-nanosecond units, preroll excluded
    uint32_t BitRate() const;  // bit/s of the audio stream, else the file's maximum
    uint64_t FileSize() const { return FFileSize; }
    uint64_t NumberOfFrames() const; // audio samples per channel
    bool Broadcast() const { return (FFlags & 1) != 0; }
    bool Seekable() const { return (FFlags & 2) != 0; }
    bool HasAudio() const { return FHasAudio; }
    bool HasVideo() const { return FHasVideo; }
    bool IsProtected() const { return FIsProtected; }
    const TWMAAudioFormat& AudioFormat() const { return FAudio; }

    // What the unified model uses.
    uint64_t TagSize() const override { return CalculateTagSize(); }
    TAudioPropertySet AudioProperties() const override;
    bool Assign(const TNativeTag& source) override;
    int AttributeCount() const override { return Count(); }
    std::string AttributeName(int index) const override { return Frames[size_t(index)]->Name; }
    std::string AttributeText(int index) const override { return Frames[size_t(index)]->GetAsText(); }
    int64_t AttributeInteger(int index) const override { return Frames[size_t(index)]->GetAsInteger(); }
    TNameValueList AttributeList(int index) const override { return Frames[size_t(index)]->GetAsList(); }
    bool AttributeIsPicture(int index) const override { return Frames[size_t(index)]->IsPicture(); }
    TNativePicture AttributePicture(int index) const override;
    void DeleteAttributes(const std::string& name) override { DeleteFrameByName(name); }
    void AddText(const std::string& name, const std::string& text) override;
    void AddInteger(const std::string& name, uint32_t value) override;
    void AddList(const std::string& name, const TNameValueList& list) override;
    void DeleteAllPictures() override { DeleteAllCoverArts(); }
    void AddPicture(const TNativePicture& picture) override;

private:
    friend class TWMAReader;
    friend class TWMAWriter;
    void Renumber(size_t from);
    void ResetProperties();
    bool FetchDeferredPictures();

    bool FLoaded = false;
    uint64_t FFileSize = 0;
    uint64_t FPlayDuration = 0; // 100 ns
    uint64_t FPreroll = 0;      // ms
    uint32_t FFlags = 0;
    uint32_t FMaxBitrate = 0;
    bool FHasAudio = false, FHasVideo = false, FIsProtected = false;
    TWMAAudioFormat FAudio;
};

// A WM/Picture value: type byte, 32-bit data size, MIME type and description as
// zero-terminated UTF-16LE, data. False when the bytes do not hold one. Of a value whose last
// deferredSize bytes are not at hand, Data gets the picture's first bytes and the picture's
// place in the value (DeferredOffset) and size (DeferredSize) are set.
bool ParseWMAPicture(const std::vector<uint8_t>& value, TNativePicture& picture, uint64_t deferredSize = 0);
std::vector<uint8_t> BuildWMAPicture(const TNativePicture& picture);

} // namespace vantor
