#pragma once
// FLAC metadata in native FLAC streams ("fLaC", possibly behind an ID3v2 tag)
// and in Ogg FLAC: the Vorbis comments, PICTURE blocks and every other block,
// kept so that a save writes them back unchanged, and the stream properties of
// STREAMINFO. A save rewrites only the metadata area when the new blocks fit
// into the old space (the padding absorbs the difference), otherwise it writes
// a new copy of the file that replaces the old one.

#include "tags/VorbisCommentTagBase.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

enum TFlacStreamType { fstUnknown = 0, fstNativeFlac = 1, fstOggFlac = 2 };
enum TVorbisCommentFormat { vcfUnknown = 0, vcfText = 1, vcfBinary = 2 };

// Result codes of TFlacTag.
enum : int {
    ftrSuccess = 0,
    ftrNoMetaBlocks = 1, // STREAMINFO is the only block
    ftrCannotOpen = 4,
    ftrCannotCreate = 6,
    ftrOggVersion = 7, // Ogg FLAC of another major version
    ftrNotFlac = 8,
    ftrCannotWrite = 9,
    ftrError = 0xFFFF,
};

enum : uint8_t {
    fbtStreamInfo = 0,
    fbtPadding = 1,
    fbtVorbisComment = 4,
    fbtPicture = 6,
};

class TFlacTag;

class TVorbisComment {
public:
    std::string Name;
    TVorbisCommentFormat Format = vcfUnknown;
    std::vector<uint8_t> Value; // UTF-8
    int Index = 0;
    TFlacTag* Parent = nullptr; // not owned

    // Control bytes other than CR and LF read as spaces; empty unless text.
    std::string GetAsText() const;
    // An empty text deletes the comment from its owner, which frees it.
    bool SetAsText(const std::string& text);
    TNameValueList GetAsList() const;
    void SetAsList(const TNameValueList& list);
    void Clear()
    {
        Format = vcfUnknown;
        Value.clear();
    }
    uint64_t CalculateTotalFrameSize() const { return Value.size() + Name.size() + 1; }
};

// A metadata block kept from the file.
struct TMetaData {
    uint8_t MetaDataBlockHeader[4] = { 0, 0, 0, 0 };
    std::vector<uint8_t> Data;
    int BlockType = 0;
    // A picture block loaded in part: Data holds its first bytes, which start at DataOffset of
    // the source, and DeferredSize more follow there.
    uint64_t DataOffset = 0;
    uint32_t DeferredSize = 0;
};

class TFlacTag final : public TFlacTagBase {
public:
    TFlacTag();

    // What the last parse found.
    uint8_t FHeader[42] = {};        // "fLaC" and the STREAMINFO block
    uint8_t FOggFlacHeader[51] = {}; // the first packet of Ogg FLAC
    TFlacStreamType StreamType = fstUnknown;
    uint8_t FChannels = 0;
    int32_t FSampleRate = 0;
    uint8_t FBitsPerSample = 0;
    int64_t FSamples = 0;
    uint32_t FBitrate = 0;
    uint64_t FFileLength = 0;
    uint64_t FAudioOffset = 0;
    uint64_t FDataStart = 0; // after a leading ID3v2 tag
    int FVorbisIndex = 0;
    uint64_t FVCOffset = 0;
    int64_t FTagSize = 0;
    int FPaddingIndex = 0;
    int64_t FPadding = 0;
    bool FPaddingLast = false;
    bool FPaddingFragments = false;
    int64_t FMetaBlocksSize = 0;
    uint64_t FOggHeaderPages = 0; // Ogg FLAC: header pages after the first
    bool FOggRewritable = false;  // Ogg FLAC: the header pages hold only header packets

    std::vector<std::unique_ptr<TVorbisComment>> Tags;
    std::string VendorString;
    std::vector<TMetaData> MetaBlocksCoverArts;
    std::vector<TMetaData> aMetaBlockOther;
    bool FExists = false;
    bool FLoaded = false;
    std::string FileName;

    bool ForceReWrite = false;
    // Keep the file's modification time across a save.
    bool bTAG_PreserveDate = false;

    // TNativeTag
    bool Loaded() const override { return FLoaded; }
    void Clear() override;
    int LoadFromFile(const std::string& fileName) override;
    int LoadFromStream(TStream& stream) override;
    int SaveToFile(const std::string& fileName) override;
    int SaveToStream(TStream& stream) override;
    uint64_t TagSize() const override { return uint64_t(CalculateTagSize(true)); }
    TAudioPropertySet AudioProperties() const override;
    bool Assign(const TNativeTag& source) override;

    // TVorbisCommentTagBase
    int CommentCount() const override { return Count(); }
    std::string CommentName(int index) const override { return Tags[size_t(index)]->Name; }
    bool CommentIsText(int index) const override { return Tags[size_t(index)]->Format == vcfText; }
    std::string CommentText(int index) const override { return Tags[size_t(index)]->GetAsText(); }
    TNameValueList CommentList(int index) const override { return Tags[size_t(index)]->GetAsList(); }
    void DeleteComment(int index) override { DeleteFrame(index); }
    void AddTextComment(const std::string& name, const std::string& text) override { AddTextTag(name, text); }
    void AddListComment(const std::string& name, const TNameValueList& list) override;
    int PictureCount() const override { return CoverArtCount(); }
    TNativePicture Picture(int index) const override;
    void DeleteAllPictures() override { DeleteAllCoverArts(); }
    void AddPicture(const TNativePicture& picture) override;

    int Count() const { return int(Tags.size()); }
    int CoverArtCount() const { return int(MetaBlocksCoverArts.size()); }
    TVorbisComment* AddTag(const std::string& name);
    int AddTextTag(const std::string& name, const std::string& text);
    bool DeleteFrame(int frameIndex);
    void DeleteAllFrames() { Tags.clear(); }
    void DeleteAllCoverArts() { MetaBlocksCoverArts.clear(); }
    // Exact, case-sensitive name.
    int FrameExists(const std::string& name) const;
    // The rest match names ignoring ASCII case.
    std::string ReadFrameByNameAsText(const std::string& name) const;
    bool ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const;
    void SetTextFrameText(const std::string& name, const std::string& text);
    void SetListFrameText(const std::string& name, const TNameValueList& list);
    bool DeleteFrameByName(const std::string& name);
    bool GetMultipleValues(const std::string& name, std::vector<std::string>& list) const;
    void SetMultipleValues(const std::string& name, const std::vector<std::string>& list);
    int AddMetaDataCoverArt(const uint8_t* data, size_t length);
    // A deferred picture gives its lead and place (TNativePicture::DeferredSize).
    bool GetCoverArt(int index, TNativePicture& picture) const;
    bool HasDeferredPictures() const;
    // Reads the rest of deferred picture blocks from source (what was loaded); false when it
    // no longer holds them. A save fetches them from FileName itself.
    bool LoadDeferredPictures(TStream& source);
    bool SetCoverArt(int index, const TNativePicture& picture);
    bool DeleteCoverArt(int index);
    int64_t CalculateVorbisCommentsSize() const { return int64_t(BuildVorbisCommentBody().size()); }
    int64_t CalculateMetaBlocksSize(bool includePadding) const;
    int64_t CalculateTagSize(bool includePadding) const;

    bool Valid() const;
    double Playtime() const;
    double Ratio() const;
    std::string ChannelMode() const;

    std::vector<uint8_t> BuildVorbisCommentBody() const;

private:
    int Parse(TStream& stream, bool wantComments);
    bool FetchDeferredPictures();
    int ParseNative(TStream& stream, bool wantComments);
    int ParseOgg(TStream& stream, bool wantComments);
    // One metadata block; false stops the chain (result set in result).
    bool ReadBlock(const uint8_t header[4], const uint8_t* body, uint64_t bodyOffset, int ordinal, bool wantComments,
        int& result, std::vector<uint8_t>* bodyBytes = nullptr);
    void ReadVorbisComments(const uint8_t* body, size_t size, bool wantComments);
    void DecodeStreamInfo(const uint8_t* info);
    void ResetLayout();
    void Renumber(size_t from);
    int WriteFile(const std::string& fileName);
    int WriteNative(TStream& target);
    // With a file name a new copy of the file replaces it; without, the copy is
    // composed in memory and replaces target's content.
    int WriteOgg(TStream& target, const std::string* fileName, bool& rewrote);
};

} // namespace vantor
