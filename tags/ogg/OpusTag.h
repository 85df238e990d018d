#pragma once
// The comment header of Ogg Opus, Vorbis and Theora streams: an ordered list
// of "name=value" comments, pictures among them as base64 FLAC picture blocks
// named METADATA_BLOCK_PICTURE. Saving rebuilds the pages of the comment
// packet (and of the setup packet that follows it in Vorbis and Theora), in
// place when they take exactly the old bytes and pages, otherwise as a new
// copy of the file that replaces the old one.

#include "tags/VorbisCommentTagBase.h"
#include "tags/ogg/OggPage.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

enum TOggFormat { ofUnknown = 0, ofVorbis = 1, ofOpus = 2, ofTheora = 3 };
enum TOpusTagFrameFormat { otffUnknown = 0, otffText = 1, otffCoverArt = 2, otffBinary = 3 };

// Result codes of TOpusTag.
enum : int {
    otrSuccess = 0,
    otrCannotOpen = 4,
    otrCannotCreate = 6,
    otrNotOgg = 9,
    otrCannotWrite = 10,
    otrError = 0xFFFF,
};

class TOpusTag;

// The picture of a comment left in the file (TNativePicture::DeferredTextSize): its base64
// text is textSize bytes at textOffset of the comment packet of the Ogg stream in source.
// False when the packet does not reach that far or the text holds no whole picture block.
bool ReadOggCommentPicture(TStream& source, uint64_t textOffset, uint64_t textSize, TNativePicture& picture);

// The bytes a comment packet starts with: "OpusTags", 0x03 "vorbis" or 0x81 "theora".
std::string_view CommentMagic(TOggFormat format);

class TOpusTagFrame {
public:
    std::string Name;
    TOpusTagFrameFormat Format = otffUnknown;
    std::vector<uint8_t> Value; // UTF-8 text or base64 text, as stored
    int Index = 0;
    TOpusTag* Parent = nullptr; // not owned
    // A picture comment loaded in part: Value holds the first bytes of its base64 text, which
    // starts at TextOffset of the comment packet, and DeferredTextSize more bytes follow there.
    uint64_t TextOffset = 0;
    uint64_t DeferredTextSize = 0;

    std::string GetAsText() const;
    void SetAsText(const std::string& text);
    TNameValueList GetAsList() const;
    void SetAsList(const TNameValueList& list);
    bool IsCoverArt() const { return Format == otffCoverArt; }
    uint64_t CalculateTotalFrameSize() const { return Value.size() + DeferredTextSize + Name.size() + 1; }
};

// What the last load found out about the stream.
struct TOggFileInfo {
    uint64_t FileSize = 0;
    uint64_t ID3v2Size = 0;
    uint64_t SPagePos = 0;    // the page on which the comment packet begins
    uint64_t TagEndPos = 0;   // after the page on which the last header packet ends
    uint64_t HeaderPages = 0; // pages from SPagePos to TagEndPos
    uint64_t HeaderOggPageCount = 0;
    TOggHeader CommentPage;  // header of the page at SPagePos
    bool Rewritable = false; // the header span holds nothing but our header packets
    uint8_t Channels = 0;
    uint32_t SampleRate = 0;
    uint32_t BitRateNominal = 0;
    uint16_t PreSkip = 0;
    uint64_t SampleCount = 0;
    double PlayTime = 0;
    uint32_t BitRate = 0; // kbit/s
};

class TOpusTag final : public TOggTagBase {
public:
    TOpusTag();

    std::string FileName;
    bool FLoaded = false;
    std::vector<std::unique_ptr<TOpusTagFrame>> Frames;
    TOggFileInfo Info;
    std::string VendorString;
    bool WritePadding = false;
    bool DeepOpusBitRateScan = false;
    TOggFormat Format = ofUnknown;
    std::vector<uint8_t> VorbisData; // the setup packet of Vorbis and Theora

    // TNativeTag
    bool Loaded() const override { return FLoaded; }
    void Clear() override;
    int LoadFromFile(const std::string& fileName) override;
    int LoadFromStream(TStream& stream) override;
    int SaveToFile(const std::string& fileName) override;
    int SaveToStream(TStream& stream) override;
    uint64_t TagSize() const override { return CalculateTagSize(true); }
    TAudioPropertySet AudioProperties() const override;
    bool Assign(const TNativeTag& source) override;

    // TVorbisCommentTagBase
    int CommentCount() const override { return Count(); }
    std::string CommentName(int index) const override { return Frames[size_t(index)]->Name; }
    bool CommentIsText(int index) const override { return Frames[size_t(index)]->Format == otffText; }
    std::string CommentText(int index) const override { return Frames[size_t(index)]->GetAsText(); }
    TNameValueList CommentList(int index) const override { return Frames[size_t(index)]->GetAsList(); }
    void DeleteComment(int index) override { DeleteFrame(index); }
    void AddTextComment(const std::string& name, const std::string& text) override;
    void AddListComment(const std::string& name, const TNameValueList& list) override;
    int PictureCount() const override { return CoverArtCount(); }
    TNativePicture Picture(int index) const override;
    void DeleteAllPictures() override { DeleteAllCoverArts(); }
    void AddPicture(const TNativePicture& picture) override { AddCoverArtFrame(picture); }
    TAudioFormat StreamFormat() const override;

    int Count() const { return int(Frames.size()); }
    int CoverArtCount() const;
    TOpusTagFrame* AddFrame(const std::string& name);
    bool DeleteFrame(int frameIndex);
    void DeleteAllFrames() { Frames.clear(); }
    void DeleteAllCoverArts();
    int FrameExists(const std::string& name) const;
    int FrameTypeCount(const std::string& name) const;
    int AddTextFrame(const std::string& name, const std::string& text);
    void SetTextFrameText(const std::string& name, const std::string& text);
    void SetListFrameText(const std::string& name, const TNameValueList& list);
    std::string ReadFrameByNameAsText(const std::string& name) const;
    bool ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const;
    bool DeleteFrameByName(const std::string& name);
    int AddBinaryFrame(const std::string& name, const std::vector<uint8_t>& data);
    bool ReadBinaryFrame(int frameIndex, std::vector<uint8_t>& data) const;
    // Adds a METADATA_BLOCK_PICTURE comment; -1 when the picture cannot be stored.
    int AddCoverArtFrame(const TNativePicture& picture);
    bool SetCoverArtFrame(int frameIndex, const TNativePicture& picture);
    bool GetCoverArtFromFrame(int frameIndex, TNativePicture& picture) const;
    void RemoveEmptyFrames();
    uint64_t CalculateTotalFramesSize() const;
    uint64_t CalculateTagSize(bool includePadding) const;

    bool HasDeferredPictures() const;
    // Reads the rest of deferred picture comments from source (what was loaded); false when it
    // no longer holds them. A save fetches them from FileName itself.
    bool LoadDeferredPictures(TStream& source);

    // The comment packet as it would be written now, with padding zero bytes
    // after the Vorbis framing byte.
    std::vector<uint8_t> BuildCommentPacket(TOggFormat format, uint64_t padding) const;

private:
    int Parse(TStream& stream);
    bool FetchDeferredPictures();
    void ParseComments(const std::vector<uint8_t>& packet, size_t start);
    void ReadPlayTime(TStream& stream);
    // New header pages for the stream loaded into old; false when impossible.
    bool BuildHeaderPages(const TOpusTag& old, TStream& source, std::vector<uint8_t>& pages, uint64_t& pageCount);
    bool AdjustPadding(uint64_t tagSize);
    void Renumber(size_t from);
};

} // namespace vantor
