#pragma once
// Metadata of RIFF WAVE and RF64 files: the frames of the LIST chunk of type
// INFO, the broadcast-wave "bext" chunk and the "cart" chunk, plus the audio
// format. A file may carry an ID3v2 tag in front of the RIFF data: reads skip
// it and saves keep it. A save composes the form anew with the tag chunks
// directly after the form header (for RF64 after "ds64"); every other chunk
// (the audio, an "id3 " chunk, chunks we do not know) is kept byte for byte.

#include "tags/WAVTagBase.h"
#include "tags/audio_attributes/WaveInfo.h"
#include "tags/id3v2/FileEdit.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Result codes of TWAVTag.
enum : int {
    wavSuccess = 0,
    wavCannotOpen = 4,    // missing or unreadable
    wavCannotCreate = 6,  // the new copy of the file cannot be written
    wavBadStructure = 7,  // the chunks cannot be walked for rewriting
    wavNotWave = 9,       // neither RIFF WAVE nor RF64
    wavFormTooLarge = 10, // the new RIFF size does not fit in 32 bits
    wavCannotWrite = 11,  // the file cannot be opened for writing, or another process holds it
    wavError = 0xFFFF,
};

enum class TWAVTagFrameFormat { ffUnknown = 0, ffText = 1, ffBinary = 2 };

// Text as the WAV chunks store it: Windows-1252 when that holds the text and
// reads back as the same text, else UTF-8; with a byte limit the longest
// leading part that fits (whole characters). A NUL ends the text.
std::vector<uint8_t> EncodeWAVText(std::string_view text, size_t limit = SIZE_MAX);
// Up to the first NUL: UTF-8 when valid, else Windows-1252.
std::string DecodeWAVText(const uint8_t* bytes, size_t size);

class TWAVTag;

// One INFO sub-chunk.
class TWAVTagFrame {
public:
    std::string Name; // the four-character id ("INAM"); NUL bytes of the id are left out
    TWAVTagFrameFormat Format = TWAVTagFrameFormat::ffUnknown;
    std::vector<uint8_t> Value; // the stored bytes, without the pad byte
    TWAVTag* Parent = nullptr;  // not owned
    int Index = 0;

    // Empty unless text.
    std::string GetAsText() const;
    // An empty text empties the value and keeps the format.
    bool SetAsText(const std::string& text);
    // "name=value" lines; false unless text.
    bool GetAsList(TNameValueList& list) const;
    void SetAsList(const TNameValueList& list);
    void Clear();
    void Assign(const TWAVTagFrame& source);
};

// The bext and cart chunks as stored: the fixed part and the bytes behind it.
struct TBEXT {
    static constexpr size_t FixedSize = 602;
    std::array<uint8_t, FixedSize> BEXTChunk {};
    std::vector<uint8_t> CodingHistoryBytes;
};

struct TCART {
    static constexpr size_t FixedSize = 2048;
    std::array<uint8_t, FixedSize> CARTChunk {};
    std::vector<uint8_t> TagTextBytes;
};

// The fields of a stored record, and back. Encoding writes only the fields
// that differ from asLoaded, so bytes the fields cannot show (what follows a
// NUL, a UMID while the version is 0, reserved bytes) survive a save.
void DecodeBEXT(const TBEXT& record, TBEXTFields& fields);
void EncodeBEXT(const TBEXTFields& fields, const TBEXTFields& asLoaded, TBEXT& record);
void DecodeCART(const TCART& record, TCARTFields& fields);
void EncodeCART(const TCARTFields& fields, const TCARTFields& asLoaded, TCART& record);

class TWAVTag final : public TWAVTagBase {
public:
    TWAVTag() = default;
    TWAVTag(const TWAVTag&) = delete;
    TWAVTag& operator=(const TWAVTag&) = delete;

    uint64_t FFileSize = 0; // the stream's size at the last load
    std::string FileName;
    uint32_t Size = 0;
    std::vector<std::unique_ptr<TWAVTagFrame>> Frames;
    TBEXT BEXTRecord;
    TCART CARTRecord;

    // The audio, read with the tags.
    TWaveFmt Attributes;
    double PlayTime = 0;
    uint64_t SampleCount = 0;
    uint32_t BitRate = 0;

    // TNativeTag
    bool Loaded() const override { return FLoaded; }
    void Clear() override;
    int LoadFromFile(const std::string& fileName) override;
    int LoadFromStream(TStream& stream) override;
    int SaveToFile(const std::string& fileName) override;
    // On success the stream holds the new content and is at position 0; on
    // failure it is left as it was.
    int SaveToStream(TStream& stream) override;
    // The tag chunks found by the last load, headers and pad bytes included.
    uint64_t TagSize() const override { return FTagBytes; }
    TAudioPropertySet AudioProperties() const override;
    bool Assign(const TNativeTag& source) override;

    // TWAVTagBase
    int FrameCount() const override { return Count(); }
    std::string FrameID(int index) const override { return Frames[size_t(index)]->Name; }
    std::string FrameText(int index) const override { return Frames[size_t(index)]->GetAsText(); }
    TNameValueList FrameList(int index) const override;
    void DeleteFrames(const std::string& id) override;
    void SetFrameText(const std::string& id, const std::string& text) override { SetTextFrameText(id, text); }
    void AddListFrame(const std::string& id, const TNameValueList& list) override;
    void MarkLoaded() override { FLoaded = true; }

    int Count() const { return int(Frames.size()); }
    TWAVTagFrame* AddFrame(const std::string& name);
    int AddTextFrame(const std::string& name, const std::string& text);
    // Size bytes from the stream's position; the position is restored.
    int AddBinaryFrame(const std::string& name, TStream& binary, size_t size);
    bool DeleteFrame(int frameIndex);
    bool DeleteFrame(const std::string& name) { return DeleteFrameByName(name); }
    bool DeleteFrameByName(const std::string& name);
    void DeleteAllFrames() { Frames.clear(); }
    // Index of the first frame with exactly that name, or -1.
    int FrameExists(const std::string& name) const;
    int FrameTypeCount(const std::string& name) const;
    // The first frame of that name (or a new one) gets the text; a frame that
    // already reads as that text keeps its bytes.
    void SetTextFrameText(const std::string& name, const std::string& text);
    void SetListFrameText(const std::string& name, const TNameValueList& list);
    std::string ReadFrameByNameAsText(const std::string& name) const;
    bool ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const;
    void RemoveEmptyFrames();

    // Takes the BEXT and CART fields into the stored records.
    void StoreBroadcastFields();
    bool HaveBEXT() const;
    bool HaveCART() const;
    uint64_t CalculateTotalFramesSize() const;
    uint64_t CalculateBEXTSize() const;
    uint64_t CalculateCARTSize() const;
    uint64_t CalculateTagSize() const;
    // The new LIST/INFO, bext and cart chunks.
    int CreateTagChunks(std::vector<uint8_t>& out) const;

    // The changes a save makes to the bytes of stream (which must not be empty):
    // the form's size, the new tag chunks, the old ones taken out.
    int PlanSave(TStream& stream, TFileEdits& edits);

private:
    void Renumber(size_t from);
    void ReadInfoList(TStream& stream, uint64_t begin, uint64_t end);
    void WalkForInfo(TStream& stream, uint64_t begin, uint64_t end, int depth);
    void PrepareSave();

    bool FLoaded = false;
    uint64_t FTagBytes = 0;
    // The fields as decoded by the last load, to see which ones callers changed.
    TBEXTFields FLoadedBEXT;
    TCARTFields FLoadedCART;
};

} // namespace vantor
