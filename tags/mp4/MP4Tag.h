#pragma once
// The item list of an MP4/M4A file ("ilst" inside moov/udta/meta) and the
// audio and video properties of the file. A save rewrites the moov atom at its
// old place, reusing the space of the free atoms after it; when the new moov
// does not fit, what follows it moves and the chunk offsets are shifted.

#include "tags/MP4TagBase.h"
#include "tags/mp4/MP4Item.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

enum TMP4AudioFormat : int { mp4afUnknown = 0, mp4afAAC = 1, mp4afALAC = 2, mpfafAC3 = 3 };

// The tag's own result codes.
enum TMP4Result : int {
    mp4Success = 0,
    mp4NoItemFound = 1,
    mp4FileError = 4,     // cannot open (load), or any failure while saving to a file
    mp4Corrupt = 5,       // the atom structure is damaged
    mp4NotMP4 = 9,        // the first atom is not ftyp
    mp4ChunkOffsets = 11, // shifting the stco offsets failed
    mp4Chunk64Offsets = 12,
    mp4FragmentOffsets = 13, // a fragmented file whose absolute offsets cannot all be shifted
};

class TMP4Tag final : public TMP4TagBase {
public:
    TMP4Tag() = default;

    std::string FileName;
    std::vector<std::unique_ptr<TMP4Atom>> Atoms;
    uint8_t Version = 0; // of the meta atom read
    uint32_t Flags = 0;  // of the meta atom, written as 3 bytes

    bool Loaded() const override { return FLoaded; }
    uint64_t FileSize() const { return FFileSize; }
    uint64_t mdatAtomSize() const { return FmdatAtomSize; }
    double Playtime() const { return FPlaytime; }
    uint16_t AudioChannelCount() const { return FAudioChannelCount; }
    uint32_t AudioResolution() const { return FAudioResolution; }
    uint32_t AudioSampleRate() const { return FAudioSampleRate; }
    uint32_t BitRate() const { return FBitRate; }
    uint32_t VideoWidth() const { return FVideoWidth; }
    uint32_t VideoHeight() const { return FVideoHeight; }
    TMP4AudioFormat AudioFormat() const { return FAudioFormat; }
    // Bytes of the file the last save wrote: the moov atom alone when it was
    // rewritten in place, else the whole file.
    uint64_t BytesWritten() const { return FBytesWritten; }

    int LoadFromFile(const std::string& fileName) override;
    int LoadFromStream(TStream& stream) override;
    // These two use the KeepPadding member and return codes for every failure.
    int SaveToFile(const std::string& fileName) override { return SaveToFile(fileName, KeepPadding); }
    int SaveToStream(TStream& stream) override;
    // Writes the stream through a piece table that is committed only when the
    // save succeeded: in place when only the moov region changed, else as a
    // temporary file renamed over the old one.
    int SaveToFile(const std::string& fileName, bool keepPadding);
    // Throws TMP4Error on a damaged atom structure and std::runtime_error when
    // the stream refuses a write; a failed chunk-offset shift returns 11 or 12
    // before anything is written.
    int SaveToStream(TStream& stream, bool keepPadding, const std::string& fileName);

    TMP4Atom* AddAtom(const std::string& atomName);
    int Count() const { return int(Atoms.size()); }
    void Clear() override;
    TMP4Atom* FindAtom(const std::string& atomName) const;
    // Name and mean compare ignoring case.
    TMP4Atom* FindAtomCommon(const std::string& atomName, const std::string& _name, const std::string& _mean) const;
    bool DeleteAtom(int index);
    bool DeleteAtom(const std::string& atomName);
    bool DeleteAllAtoms(const std::string& atomName);
    // Size of the ilst atom; 0 without items.
    uint64_t CalculateSize() const;

    std::string GetText(const std::string& atomName) const;
    uint64_t GetInteger(const std::string& atomName) const;
    uint8_t GetInteger8(const std::string& atomName) const;
    uint16_t GetInteger16(const std::string& atomName) const;
    uint32_t GetInteger32(const std::string& atomName) const;
    uint64_t GetInteger48(const std::string& atomName) const;
    uint64_t GetInteger64(const std::string& atomName) const;
    bool GetBool(const std::string& atomName) const;
    TNameValueList GetList(const std::string& atomName) const;
    // Empty text deletes the first item with the id.
    void SetText(const std::string& atomName, const std::string& text) override;
    void SetInteger8(const std::string& atomName, uint8_t value) override;
    void SetInteger16(const std::string& atomName, uint16_t value) override;
    void SetInteger32(const std::string& atomName, uint32_t value) override;
    void SetInteger48(const std::string& atomName, uint64_t value);
    void SetInteger64(const std::string& atomName, uint64_t value);
    void SetBool(const std::string& atomName, bool value) override;
    void SetList(const std::string& atomName, const TNameValueList& list);
    // Free-form items ("----").
    std::string GetCommon(const std::string& _name, const std::string& _mean) const;
    void SetCommon(const std::string& _name, const std::string& _mean, const std::string& value);
    int CoverArtCount() const;
    bool GetMultipleValuesMultipleAtoms(const std::string& atomName, std::vector<std::string>& list) const;
    void SetMultipleValuesMultipleAtoms(const std::string& atomName, const std::vector<std::string>& list);
    void SetMultipleValuesCommaSeparated(const std::string& atomName, const std::vector<std::string>& list);

    uint16_t GetTrack() const;
    uint16_t GetTotalTracks() const;
    uint16_t GetDisc() const;
    uint16_t GetTotalDiscs() const;
    // Both 0 delete the item.
    void SetTrack(uint16_t track, uint16_t totalTracks) override;
    void SetDisc(uint16_t disc, uint16_t totalDiscs) override;
    std::string GetGenre() const;
    std::string GetMediaType() const;
    std::string GetPurchaseCountry() const;
    void SetGenre(const std::string& genre) override;
    void SetMediaType(const std::string& media) override;
    void SetPurchaseCountry(const std::string& country) override;

    void Assign(const TMP4Tag& source);

    // What the unified model uses.
    uint64_t TagSize() const override { return CalculateSize(); }
    TAudioPropertySet AudioProperties() const override;
    bool Assign(const TNativeTag& source) override;
    int ItemCount() const override { return Count(); }
    std::string ItemID(int index) const override { return Atoms[size_t(index)]->ID; }
    std::string ItemText(int index) const override { return Atoms[size_t(index)]->GetAsText(); }
    TNameValueList ItemList(int index) const override { return Atoms[size_t(index)]->GetAsList(); }
    std::string ItemMean(int index) const override { return Atoms[size_t(index)]->mean.GetAsText(); }
    std::string ItemName(int index) const override { return Atoms[size_t(index)]->name.GetAsText(); }
    void DeleteItem(int index) override { DeleteAtom(index); }
    void DeleteItems(const std::string& id) override { DeleteAllAtoms(id); }
    void SetTexts(const std::string& id, const std::vector<std::string>& values) override
    {
        SetMultipleValuesMultipleAtoms(id, values);
    }
    void SetFreeFormText(const std::string& mean, const std::string& name, const std::string& text) override
    {
        SetCommon(name, mean, text);
    }
    void SetFreeFormList(const std::string& mean, const std::string& name, const TNameValueList& list) override;
    std::string Genre() const override { return GetGenre(); }
    std::string MediaType() const override { return GetMediaType(); }
    std::string PurchaseCountry() const override { return GetPurchaseCountry(); }
    void GetTrack(uint16_t& track, uint16_t& total) const override
    {
        track = GetTrack();
        total = GetTotalTracks();
    }
    void GetDisc(uint16_t& disc, uint16_t& total) const override
    {
        disc = GetDisc();
        total = GetTotalDiscs();
    }
    int CoverCount() const override { return CoverArtCount(); }
    std::vector<uint8_t> Cover(int index) const override;
    bool CoverPlace(int index, uint64_t& offset, uint64_t& size) const override;
    bool HasDeferredCovers() const;
    // Reads deferred covers whole from source (what was loaded); false when it no longer holds
    // them. A save fetches them from FileName itself.
    bool LoadDeferredCovers(TStream& source);
    void DeleteCovers() override { DeleteAllAtoms("covr"); }
    void AddCover(const std::vector<uint8_t>& data, uint32_t dataType) override;

private:
    friend class TMP4Reader;
    void Renumber(size_t from);
    void ResetProperties();
    TMP4Atom& FindOrAdd(const std::string& atomName);
    TMP4Atom& FindOrAddCommon(const std::string& _name, const std::string& _mean);

    bool FLoaded = false;
    uint64_t FFileSize = 0;
    uint64_t FmdatAtomSize = 0;
    double FPlaytime = 0;
    uint16_t FAudioChannelCount = 0;
    uint32_t FAudioResolution = 0;
    uint32_t FAudioSampleRate = 0;
    uint32_t FBitRate = 0;
    uint32_t FVideoWidth = 0, FVideoHeight = 0;
    TMP4AudioFormat FAudioFormat = mp4afUnknown;
    uint64_t FBytesWritten = 0;
};

} // namespace vantor
