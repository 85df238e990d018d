#pragma once

// TID3v2Tag reads ID3v2.2, 2.3 and 2.4 tags and writes 2.3 and 2.4: at the start of a file or
// inside a WAV, RF64, AIFF/AIFC, DSF or DSDIFF container. Every frame is kept as raw bytes
// (TID3v2Frame) so that frames the program does not understand survive a save. While it looks
// for the tag the reader also collects the audio properties of MPEG, WAV/RF64, AIFF, DSF and
// DSDIFF files.
//
// Frame contents (texts, comments, URLs, pictures, counters) are read and written by the
// accessors declared at the end; each takes a frame index, and the forms taking a frame id work
// on the first frame with that id (the setters add one when there is none). Getters give empty
// text, 0 or false for an index outside the list or data that cannot be read; setters first
// empty the frame and give false when the value cannot be stored.

#include "tags/audio_attributes/AIFFInfo.h"
#include "tags/audio_attributes/AudioProperties.h"
#include "tags/audio_attributes/ByteSource.h"
#include "tags/audio_attributes/DFFInfo.h"
#include "tags/audio_attributes/DSFInfo.h"
#include "tags/audio_attributes/MPEGHeader.h"
#include "tags/audio_attributes/SourceFileType.h"
#include "tags/audio_attributes/WaveInfo.h"
#include "tags/id3v2/ID3v2ExtendedHeader.h"
#include "tags/id3v2/ID3v2Frame.h"
#include "tags/id3v2/ID3v2Result.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class TID3v2Cursor;

// A time stamp of the version 2.4 time frames (TDRC, TDRL, TDOR, ...): "yyyy-MM-ddTHH:mm:ss",
// where every part after the year may be left out (0 here).
struct TID3v2DateTime {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    bool operator==(const TID3v2DateTime&) const = default;
};

// Library-wide default of TID3v2Tag::ParseAudioAttributes, set once at start-up.
inline bool ID3v2ParseAudioAttributesDefault = true;

class TID3v2Tag {
public:
    TID3v2Tag() { Clear(); }

    std::filesystem::path FileName;
    bool Loaded = false;
    uint8_t MajorVersion = 3;
    uint8_t MinorVersion = 0;
    uint8_t Flags = 0;
    bool Unsynchronised = false;
    bool Compressed = false; // version 2.2 only
    bool ExtendedHeader = false;
    bool Experimental = false;
    bool FooterPresent = false; // decoded, never acted on
    std::array<uint8_t, 4> CodedSize {};
    uint32_t Size = 0;      // the whole tag including its 10-byte header
    uint64_t FPosition = 0; // position of the header in the stream
    std::unique_ptr<TID3v2ExtendedHeader3> ExtendedHeader3;
    std::unique_ptr<TID3v2ExtendedHeader4> ExtendedHeader4;
    std::vector<std::unique_ptr<TID3v2Frame>> Frames;
    uint32_t PaddingSize = 0; // padding of the last write
    uint32_t PaddingToWrite = 4096;
    bool FStrangeTag = false; // a 2.3/2.4 tag whose frames carry 3-character ids
    uint64_t FFileSize = 0;

    // Loading leaves the picture of large APIC frames in the file, keeping their MIME type,
    // picture type, description and the first bytes (see TID3v2Frame::DeferredSize).
    bool DeferPictureData = false;

    // Audio properties found while looking for the tag.
    bool ParseAudioAttributes = ID3v2ParseAudioAttributesDefault;
    TSourceFileType FSourceFileType = sftUnknown;
    TMPEGHeaderX MPEGInfo;
    TWaveFmt WAVInfo;
    TAIFFInformation AIFFInfo;
    TDSFInfo DSFInfo;
    TDFFInfo DFFInfo;
    double FPlayTime = 0;
    uint32_t BitRate = 0; // kbit/s
    uint64_t SampleCount = 0;
    uint64_t FTrailingTagsSize = 0; // ID3v1 tag and Lyrics3 block at the end of an MPEG file

    // Loading
    int LoadFromFile(const std::filesystem::path& Name);
    int LoadFromStream(const TByteSource& Stream);
    // Loads the tag at the start of Memory (Available bytes); 1 for a null address or no header.
    int LoadFromMemory(const uint8_t* Address, size_t Available);
    // Reads the tag whose header is at Position.
    int LoadTagFromStream(const TByteSource& Stream, uint64_t Position);
    // Brings the bytes of deferred pictures in from Source (the one that was loaded); false when
    // it no longer holds them, leaving those frames deferred.
    bool LoadDeferredData(const TByteSource& Source);
    bool HasDeferredData() const;

    // Saving. A tag with nothing to write (no frames, or only empty ones) takes an existing tag
    // out of the file and gives 0; without an existing tag it gives 2 or 3.
    int SaveToFile(const std::filesystem::path& Name);
    // Saves into an in-memory image of a file.
    int SaveToStream(std::vector<uint8_t>& Stream);
    // Appends header, frames and PaddingSizeToWrite zero bytes to Out.
    int SaveTagToStream(std::vector<uint8_t>& Out, uint32_t PaddingSizeToWrite);

    // Frames
    int FrameCount() const { return int(Frames.size()); }
    TID3v2Frame* Frame(int Index);
    const TID3v2Frame* Frame(int Index) const;
    int AddFrame(std::string_view FrameID);
    int InsertFrame(std::string_view FrameID, int Position);
    bool DeleteFrame(int FrameIndex);
    bool DeleteFrame(std::string_view FrameID);
    void DeleteAllFrames() { Frames.clear(); }
    void DeleteAllCoverArts();
    int FrameExists(std::string_view FrameID) const;
    int FrameTypeCount(std::string_view FrameID) const;
    int CoverArtCount() const { return FrameTypeCount("APIC"); }
    void Clear();
    void Assign(const TID3v2Tag& Source);

    // Maintenance
    void RemoveUnsynchronisationOnAllFrames();
    void ApplyUnsynchronisationOnAllFrames();
    void DeCompressAllFrames();
    uint64_t CalculateTotalFramesSize() const;
    uint64_t CalculateTagSize(uint32_t PaddingSize) const;
    uint32_t FullFrameSize(int FrameIndex) const;
    uint32_t CalculateTagCRC32() const;

    // Audio
    double PlayTime();
    // This tag's answers for the audio attribute choice.
    TAudioPropertySet AudioProperties();

    // Text frames
    std::string GetUnicodeText(int Frame, bool ReturnNativeText = false) const;
    std::string GetUnicodeText(std::string_view FrameID, bool ReturnNativeText = false) const;
    bool GetUnicodeTextMultiple(int Frame, std::vector<std::string>& List) const;
    bool GetUnicodeTextMultiple(std::string_view FrameID, std::vector<std::string>& List) const;
    bool SetUnicodeText(int Frame, std::string_view Text);
    bool SetUnicodeText(std::string_view FrameID, std::string_view Text);
    bool SetUnicodeTextMultiple(int Frame, const std::vector<std::string>& List);
    bool SetUnicodeTextMultiple(std::string_view FrameID, const std::vector<std::string>& List);
    bool SetText(int Frame, std::string_view Text);
    bool SetText(std::string_view FrameID, std::string_view Text);
    bool SetRawText(int Frame, std::string_view Text) { return SetText(Frame, Text); }
    bool SetUTF8Text(int Frame, std::string_view Text);
    bool SetUTF8Text(std::string_view FrameID, std::string_view Text);
    bool SetTLEN(int Frame, uint64_t Milliseconds);
    // False when the frame holds no time stamp with at least a year.
    bool GetTime(int Frame, TID3v2DateTime& DateTime) const;
    // Writes the parts down to the last one that is not 0.
    bool SetTime(int Frame, const TID3v2DateTime& DateTime);

    // Comment and lyrics frames (COMM, USLT)
    std::string GetUnicodeContent(int Frame, std::string& LanguageID, std::string& Description) const;
    bool SetUnicodeContent(
        int Frame, std::string_view Content, std::string_view LanguageID, std::string_view Description);
    bool SetContent(int Frame, std::string_view Content, std::string_view LanguageID, std::string_view Description);
    bool SetUTF8Content(int Frame, std::string_view Content, std::string_view LanguageID, std::string_view Description);
    std::string GetUnicodeComment(int Frame, std::string& LanguageID, std::string& Description) const;
    bool SetUnicodeComment(
        int Frame, std::string_view Comment, std::string_view LanguageID, std::string_view Description);
    int FindUnicodeCommentByDescription(std::string_view Description) const;
    bool SetUnicodeCommentByDescription(
        std::string_view Description, std::string_view LanguageID, std::string_view Comment);
    std::string GetUnicodeLyrics(int Frame, std::string& LanguageID, std::string& Description) const;
    bool SetUnicodeLyrics(
        int Frame, std::string_view Lyrics, std::string_view LanguageID, std::string_view Description);

    // URL frames (W...) and user-defined URLs (WXXX)
    std::string GetURL(int Frame) const;
    std::string GetURL(std::string_view FrameID) const;
    bool SetURL(int Frame, std::string_view URL);
    bool SetURL(std::string_view FrameID, std::string_view URL);
    std::string GetUnicodeUserDefinedURLLink(int Frame, std::string& Description) const;
    bool SetUnicodeUserDefinedURLLink(int Frame, std::string_view URL, std::string_view Description);
    bool SetUserDefinedURLLink(int Frame, std::string_view URL, std::string_view Description);
    bool SetUTF8UserDefinedURLLink(int Frame, std::string_view URL, std::string_view Description);
    // Index of the first WXXX frame whose description equals Description exactly, or -1.
    int FindUnicodeUserDefinedURLLinkByDescription(std::string_view Description) const;
    bool SetUnicodeUserDefinedURLLinkByDescription(std::string_view Description, std::string_view URL);

    // User-defined texts (TXXX)
    std::string GetUnicodeUserDefinedTextInformation(int Frame, std::string& Description) const;
    bool GetUnicodeUserDefinedTextInformationMultiple(
        int Frame, std::string& Description, std::vector<std::string>& List) const;
    bool SetUnicodeUserDefinedTextInformation(int Frame, std::string_view Description, std::string_view Text);
    bool SetUnicodeUserDefinedTextInformationMultiple(
        int Frame, std::string_view Description, const std::vector<std::string>& List);
    bool SetUserDefinedTextInformation(int Frame, std::string_view Description, std::string_view Text);
    bool SetUTF8UserDefinedTextInformation(int Frame, std::string_view Description, std::string_view Text);
    // Index of the first TXXX frame whose description equals Description (ASCII case folded), or -1.
    int FindTXXXByDescription(std::string_view Description) const;
    bool FindTXXXByDescriptionMultiple(std::string_view Description, std::vector<std::string>& List) const;
    bool SetUnicodeTXXXByDescription(std::string_view Description, std::string_view Text);
    bool SetUnicodeTXXXByDescriptionMultiple(std::string_view Description, const std::vector<std::string>& List);

    // Pictures (APIC). A deferred frame gives no picture bytes; its info pointer gives the lead.
    bool GetUnicodeCoverPictureStream(int Frame, std::vector<uint8_t>& Picture, std::string& MIMEType,
        std::string& Description, uint32_t& CoverType) const;
    bool GetUnicodeCoverPictureInfo(
        int Frame, std::string& MIMEType, std::string& Description, uint32_t& CoverType) const;
    // Picture points into the frame's data and stays valid until the frame changes.
    bool GetCoverPictureInfoPointer(int Frame, const uint8_t*& Picture, size_t& PictureSize, std::string& MIMEType,
        std::string& Description, uint32_t& CoverType, uint8_t& TextEncoding) const;
    bool SetUnicodeCoverPictureFromStream(int Frame, std::string_view Description, std::span<const uint8_t> Picture,
        std::string_view MIMEType, uint32_t CoverType);
    bool SetUnicodeCoverPictureFromFile(int Frame, std::string_view Description,
        const std::filesystem::path& PictureFileName, std::string_view MIMEType, uint32_t CoverType);

    // Play counter (PCNT) and popularimeter (POPM)
    uint32_t GetPlayCount(int Frame) const;
    uint32_t GetPlayCount(std::string_view FrameID) const;
    bool SetPlayCount(int Frame, uint32_t PlayCount);
    bool SetPlayCount(std::string_view FrameID, uint32_t PlayCount);
    bool GetPopularimeter(int Frame, std::string& Email, uint32_t& PlayCounter, uint8_t& Rating) const;
    int FindPopularimeter(std::string_view Email) const;
    bool SetPopularimeter(int Frame, std::string_view Email, uint8_t Rating, uint32_t PlayCounter);
    bool SetPopularimeterByEmail(std::string_view Email, uint8_t Rating, uint32_t PlayCounter);

    // Involved-people lists (TIPL, TMCL): entries "role=person"
    bool GetUnicodeListFrame(int Frame, std::vector<std::string>& List) const;
    bool SetUnicodeListFrame(int Frame, const std::vector<std::string>& List);

    // Unique file identifiers (UFID) and private frames (PRIV): an owner and bytes
    bool GetUFID(int Frame, std::string& Owner, std::vector<uint8_t>& Identifier) const;
    int FindUFIDByOwnerIdentifier(std::string_view Owner) const;
    bool SetUFID(int Frame, std::string_view Owner, std::span<const uint8_t> Identifier);
    bool SetUFIDByOwnerIdentifier(std::string_view Owner, std::span<const uint8_t> Identifier);
    bool GetPrivate(int Frame, std::string& Owner, std::vector<uint8_t>& Data) const;
    bool SetPrivate(int Frame, std::string_view Owner, std::span<const uint8_t> Data);

private:
    int LoadTagBody(TID3v2Cursor& Cursor);
    void ReadContainerAudio(const TByteSource& Stream);
    void FindMPEGAudio(const TByteSource& Stream, uint64_t Start);
    int Render(uint32_t Padding, std::vector<uint8_t>& Out);
    int PrepareSave();
    int FrameIndexForWrite(std::string_view FrameID);
    TID3v2Frame* FrameForWrite(int Index);
};

} // namespace vantor
