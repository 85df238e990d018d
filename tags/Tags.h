#pragma once
// The unified tag model: one object through which the rest of the program reads
// and writes the metadata of an audio file, whatever its format. It owns one
// object per tag format, merges their fields into a flat list of name/value
// pairs (TTag) and pictures (TCoverArt), and on save writes that list back into
// the native frames, keeping every native frame it does not represent.

#include "tags/CoverArt.h"
#include "tags/FormatDetection.h"
#include "tags/Tag.h"
#include "tags/TagTypes.h"
#include "tags/audio_attributes/AudioProperties.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"
#include "tags/io/Stream.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TAPEv2Tag;
class TByteSource;
class TID3v1Tag;
class TID3v2Tag;
class TFlacTagBase;
class TOggTagBase;
class TMP4TagBase;
class TWAVTagBase;
class TWMATagBase;

// Base of whatever a caller keeps in User1/User2; the TTags frees it.
class TUserObject {
public:
    virtual ~TUserObject() = default;
};

class TTags : public TAudioPropertySources {
public:
    TTags();
    ~TTags() override;
    TTags(const TTags&) = delete;
    TTags& operator=(const TTags&) = delete;

    std::string FileName; // set only by LoadFromFile
    bool Loaded = false;
    TAudioFormat AudioFormat = afUnknown; // by content, found by LoadFromFile
    TTagPriority TagLoadPriority = { ttFlac, ttOpusVorbis, ttMP4, ttWMA, ttID3v2, ttAPEv2, ttWAV, ttID3v1, ttNone };

    // Format objects, owned. The FLAC, Ogg, MP4, WAV-chunk and WMA objects are
    // null while no reader for that format is built into the library.
    std::unique_ptr<TAPEv2Tag> APEv2Tag;
    std::unique_ptr<TFlacTagBase> FlacTag;
    std::unique_ptr<TID3v1Tag> ID3v1Tag;
    std::unique_ptr<TID3v2Tag> ID3v2Tag;
    std::unique_ptr<TMP4TagBase> MP4Tag;
    std::unique_ptr<TOggTagBase> OggVorbisAndOpusTag;
    std::unique_ptr<TWAVTagBase> WAVTag;
    std::unique_ptr<TWMATagBase> WMATag;

    std::vector<std::unique_ptr<TTag>> Tags; // in the order fields were added
    std::vector<std::unique_ptr<TCoverArt>> CoverArts;
    std::unique_ptr<TSourceAudioAttributes> SourceAudioAttributes;

    bool UpperCaseFieldNamesToWrite = true;
    bool MP4KeepPadding = true;
    bool ParseWavPackAudioAttributes = false;
    bool ParseMusePackAudioAttributes = false;
    bool PreserveFileDate = false;
    uint32_t PaddingSizeToWrite = 4096;
    bool ParseOggPlayTime = false;
    // LoadFromFile leaves large pictures in the file: their type, MIME type, description and
    // size are known, their bytes come with TCoverArt::LoadData (a save fetches them itself).
    bool DeferPictureData = false;

    std::unique_ptr<TUserObject> User1, User2;

    // Loading: every load starts with Clear; the result is 0 also when no tag was
    // found (test Loaded).
    int LoadFromFile(const std::string& fileName);
    int LoadFromStream(TStream& stream);
    // Wraps the memory without copying; 2 for a null address or a size <= 0.
    int LoadFromMemory(const void* address, int64_t size);
    // Tags only the audio engine knows (internet radio); 11 without an engine.
    int LoadFromBASS(uint32_t channel);
    // Rebuilds the unified list from the loaded format objects, by priority.
    void LoadTags();

    int SaveToFile(const std::string& fileName, TTagType tagType = ttAutomatic);
    int SaveToStream(TStream& stream, TTagType tagType = ttAutomatic);

    // Fields. Names compare ASCII-case-insensitively.
    TTag* Add(const std::string& name);
    TTag* Tag(const std::string& name);
    int Exists(const std::string& name) const;
    std::string GetTag(const std::string& name) const;
    // The first field of the name takes the text (one is appended when there is none) and
    // further fields of the name leave the list: the name then has that one value.
    int SetTag(const std::string& name, const std::string& text);
    int SetList(const std::string& name, const TNameValueList& list);
    int TypeCount(const std::string& name) const;
    // Every value of the name in list order, without case-insensitive repeats.
    void GetMultipleList(const std::string& name, std::vector<std::string>& list) const;
    static bool ItemAlreadyOnList(const std::vector<std::string>& list, const std::string& item);
    int Count() const { return int(Tags.size()); }
    int CoverArtCount() const { return int(CoverArts.size()); }
    // Removes the field and its native counterparts, so a later save does not bring it back.
    bool Delete(int index);
    bool Delete(const std::string& name);
    // Removes the field from the unified list only.
    bool Remove(int index);
    int Clear(const std::string& name);
    void DeleteAllTags();
    void RemoveEmptyTags();
    void Clear();

    // Pictures.
    TCoverArt* CoverArt(const std::string& name);
    TCoverArt* AddCoverArt(const std::string& name);
    TCoverArt* AddCoverArt(const std::string& name, TStream& stream, const std::string& mimeType);
    TCoverArt* AddCoverArt(const std::string& name, const std::string& fileName);
    bool DeleteCoverArt(int index);
    void DeleteAllCoverArts();
    // Brings every deferred picture's bytes in; false when one could not be read.
    bool LoadCoverArtData();

    bool Assign(const TTags& source);
    // True when the format's object exists and holds a loaded tag.
    bool IsLoaded(TTagType type) const;
    // Sum of the sizes of the loaded tags.
    uint64_t Size() const;

    static TTagPictureFormat PictureStreamType(TStream* stream);
    static TTagPictureFormat PicturePointerType(const void* data, int64_t dataSize);
    static bool ClearAllID3v2FramesByID(TID3v2Tag& tag, const std::string& frameID);
    static bool ClearAllID3v2FramesTXXXByDescription(TID3v2Tag& tag, const std::string& description);

    // Native → unified, one per format (run by LoadTags).
    void LoadAPEv2Tags();
    void LoadFlacTags();
    void LoadID3v1Tags();
    void LoadID3v2Tags();
    void LoadMP4Tags();
    void LoadOggVorbisAndOpusTags();
    void LoadWAVTags();
    void LoadWMATags();
    // Unified → native, then the format's own save to the stream when one is
    // given, else to the file. Each returns the format object's own code.
    int SaveAPEv2Tag(const std::string& fileName, TStream* stream);
    int SaveFlacTag(const std::string& fileName, TStream* stream);
    int SaveID3v1Tag(const std::string& fileName, TStream* stream);
    int SaveID3v2Tag(const std::string& fileName, TStream* stream);
    int SaveMP4Tag(const std::string& fileName, TStream* stream);
    int SaveOggVorbisAndOpusTag(const std::string& fileName, TStream* stream);
    int SaveWAVTag(const std::string& fileName, TStream* stream);
    int SaveWMATag(const std::string& fileName, TStream* stream);

    // Blocks of "name=value" strings from the audio engine.
    void LoadNullTerminatedStrings(const std::string& tagType, const std::vector<std::string>& tagList);
    void LoadNullTerminatedWAVRIFFINFOStrings(const std::vector<std::string>& tagList);

    // Removes from the unified list (only) every field of that name.
    void RemoveFieldsNamed(const std::string& name);
    // Adds a field with that name and value; returns it.
    TTag* AddField(const std::string& name, const std::string& value);
    // A track or disc field whose value may be "number/total".
    void AddNumberAndTotal(const std::string& numberName, const std::string& totalName, const std::string& value);

    // The loaded format objects' audio properties, lowest load priority first.
    std::vector<TAudioPropertySet> PropertiesByRisingPriority() const override;

private:
    void Renumber(size_t from);
    void RenumberCoverArts(size_t from);
    bool HasFormatObject(TTagType type) const;
    int SaveStep(TTagType type, const std::string& fileName, TStream* stream);
    void DeleteNativeCounterparts(const TTag& tag);
    // The WavPack and Musepack readers the options ask for: chosen by the extension of
    // FileName, or tried on any content when byContent is set.
    void LoadAudioAttributeReaders(const TByteSource& source, bool byContent);
};

} // namespace vantor
