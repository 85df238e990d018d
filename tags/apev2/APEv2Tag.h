#pragma once
// APE tags (versions 1.0 and 2.0) at the end of a file, in front of an ID3v1
// tag (and its Lyrics3 block) when there is one.

#include "tags/TagTypes.h"
#include "tags/io/Stream.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

// Result codes of TAPEv2Tag.
enum : int {
    apeSuccess = 0,
    apeNoTag = 1,
    apeEmptyTag = 2,
    apeEmptyFrames = 3,
    apeErrorOpeningFile = 4,
    apeErrorReading = 5,
    apeErrorWriting = 6,
    apeNotSupportedFormat = 7, // item larger than the tag, or unexpected flags
    apeNotSupportedVersion = 8,
    apeNotSupported = 9, // damaged footer
    apeError = 0xFFFF,
};

enum TAPEv2FrameFormat : int { ffUnknown = 0, ffText = 1, ffBinary = 2 };
enum TAPEv2PictureFormat : int { pfUnknown = 0, pfJPEG = 1, pfPNG = 2, pfBMP = 3, pfGIF = 4 };

class TAPEv2Tag;

class TAPEv2Frame {
public:
    TAPEv2Frame(TAPEv2Tag* parent, std::string name)
        : Name(std::move(name))
        , Parent(parent)
    {
    }

    std::string Name;
    TAPEv2FrameFormat Format = ffUnknown;
    TMemoryStream Stream; // the value bytes
    int32_t Index = 0;
    TAPEv2Tag* Parent; // not owned
    // A cover item loaded in part: Stream holds the first bytes of its value, which starts at
    // ValueOffset of the loaded file, and DeferredSize more bytes follow there.
    uint64_t ValueOffset = 0;
    uint64_t DeferredSize = 0;

    std::string GetAsText() const;
    std::string GetAsTextANSI() const;
    void SetAsText(const std::string& text);
    bool GetAsList(TNameValueList& list) const;
    void SetAsList(const TNameValueList& list);
    bool IsCoverArt() const;
    void Clear();
    bool Assign(const TAPEv2Frame& source);
};

class TAPEv2Tag {
public:
    std::string FileName;
    bool Loaded = false;
    uint32_t Version = 0;
    uint32_t Flags = 0;
    uint32_t Size = 0; // the size field: items plus footer, without header
    std::vector<std::unique_ptr<TAPEv2Frame>> Frames;
    bool UpperCaseFieldNamesToWrite = true;
    // Loading keeps only the description and first bytes of large cover items.
    bool DeferPictureData = false;

    int LoadFromFile(const std::string& fileName);
    int LoadFromStream(TStream& stream);
    int SaveToFile(const std::string& fileName);
    int SaveToStream(TStream& stream);

    TAPEv2Frame* AddFrame(const std::string& name);
    bool DeleteFrame(int index);
    bool DeleteFrameByName(const std::string& name);
    void DeleteAllFrames();
    void DeleteAllCoverArts();
    void Clear();
    int Count() const { return int(Frames.size()); }
    int CoverArtCount() const;
    int FrameExists(const std::string& name) const; // exact comparison
    int FrameTypeCount(const std::string& name) const;
    uint64_t CalculateTotalFramesSize() const;
    uint64_t CalculateTagSize() const;
    TAPEv2Frame* AddTextFrame(const std::string& name, const std::string& text);
    TAPEv2Frame* AddBinaryFrame(const std::string& name, const void* data, size_t size);
    bool SetTextFrameText(const std::string& name, const std::string& text);
    bool SetListFrameText(const std::string& name, const TNameValueList& list);
    std::string ReadFrameByNameAsText(const std::string& name) const;
    bool ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const;
    void RemoveEmptyFrames();
    TAPEv2Frame* AddCoverArtFrame(const std::string& name, TStream& picture, const std::string& description);
    bool SetCoverArtFrame(int index, TStream& picture, const std::string& description);
    bool GetCoverArtFromFrame(int index, TStream& picture, std::string& description, TAPEv2PictureFormat& format) const;
    bool GetCoverArtInfo(int index, TAPEv2PictureFormat& format, std::string& description) const;
    // Data points into the frame's bytes (valid while the frame lives); of a deferred item only
    // the bytes at hand.
    bool GetCoverArtInfoPointer(
        int index, TAPEv2PictureFormat& format, std::string& description, const uint8_t*& data, size_t& dataSize) const;
    bool HasDeferredPictures() const;
    // Reads the rest of deferred cover items from source (what was loaded); false when it no
    // longer holds them. A save fetches them from FileName itself.
    bool LoadDeferredPictures(TStream& source);
    bool Assign(const TAPEv2Tag& source);

    // Header, items and footer as they are written.
    std::vector<uint8_t> TagBytes() const;

private:
    void Renumber();
    // items were read from itemsOffset of the stream.
    int ParseItems(const std::vector<uint8_t>& items, uint64_t itemsOffset, uint32_t itemCount);
    bool FetchDeferredPictures();
};

// The values of a text item: a multi-value item separates them with NUL.
std::vector<std::string> SplitAPEv2Values(const std::string& text);
// The text of a multi-value item holding these values.
std::string JoinAPEv2Values(const std::vector<std::string>& values);

} // namespace vantor
