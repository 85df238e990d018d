#include "tags/id3v2/ID3v2Container.h"

#include "tags/id3v2/ID3v2Result.h"
#include "tags/io/Bytes.h"

#include <cstring>

namespace vantor {

namespace {

enum class TForm { None, RIFF, RF64, RF64NotWave, AIFF, DSF, DSDIFF };

struct TFormInfo {
    TForm Form = TForm::None;
    TChunkSizeField SizeField = TChunkSizeField::LE32;
    uint64_t FirstChunk = 0;
    uint64_t FormEnd = 0; // end of the form's data as its size field says
    TChunk DS64;          // RF64 only
    uint64_t RF64DataSize = 0;
};

TFormInfo DetectForm(const TByteSource& Source)
{
    TFormInfo Info;
    uint8_t Head[16] = {};
    const size_t Got = Source.ReadAt(0, Head, sizeof Head);
    if (Got < 12)
        return Info;
    const bool Wave = std::memcmp(Head + 8, "WAVE", 4) == 0;
    if (std::memcmp(Head, "RIFF", 4) == 0 && Wave) {
        Info.Form = TForm::RIFF;
        Info.FormEnd = 8 + uint64_t(GetLE32(Head + 4));
    } else if (std::memcmp(Head, "RF64", 4) == 0) {
        if (!Wave) {
            Info.Form = TForm::RF64NotWave;
            return Info;
        }
        Info.Form = TForm::RF64;
        TChunkWalker Walker(Source, TChunkSizeField::LE32, 12, Source.Size());
        uint8_t Sizes[16];
        if (Walker.Next(Info.DS64) && Info.DS64.Is("ds64") && Source.ReadExact(Info.DS64.DataOffset, Sizes, 16)) {
            Info.FormEnd = 8 + GetLE64(Sizes);
            Info.RF64DataSize = GetLE64(Sizes + 8);
        } else {
            Info.DS64 = TChunk {};
        }
    } else if (std::memcmp(Head, "FORM", 4) == 0
        && (std::memcmp(Head + 8, "AIFF", 4) == 0 || std::memcmp(Head + 8, "AIFC", 4) == 0)) {
        Info.Form = TForm::AIFF;
        Info.SizeField = TChunkSizeField::BE32;
        Info.FormEnd = 8 + uint64_t(GetBE32(Head + 4));
    } else if (std::memcmp(Head, "DSD ", 4) == 0) {
        Info.Form = TForm::DSF;
    } else if (Got >= 16 && std::memcmp(Head, "FRM8", 4) == 0 && std::memcmp(Head + 12, "DSD ", 4) == 0) {
        Info.Form = TForm::DSDIFF;
        Info.SizeField = TChunkSizeField::BE64;
        Info.FormEnd = 12 + GetBE64(Head + 4);
        Info.FirstChunk = 16;
        return Info;
    }
    Info.FirstChunk = 12;
    return Info;
}

TSourceFileType FileTypeOf(TForm Form)
{
    switch (Form) {
    case TForm::RIFF: return sftWAVE;
    case TForm::RF64: return sftRF64;
    case TForm::AIFF: return sftAIFF;
    case TForm::DSF: return sftDSF;
    case TForm::DSDIFF: return sftDFF;
    default: return sftUnknown;
    }
}

bool IsTagChunk(const TChunk& Chunk, TForm Form)
{
    if (Form == TForm::RIFF || Form == TForm::RF64)
        return Chunk.Is("id3 ") || Chunk.Is("ID32");
    return Chunk.Is("ID3 ");
}

bool HasTagHeader(const TByteSource& Source, uint64_t Offset)
{
    uint8_t Magic[3];
    return Source.ReadExact(Offset, Magic, 3) && std::memcmp(Magic, "ID3", 3) == 0;
}

// Total size of the tag at Offset (header, body and a 2.4 footer), bounded by Limit; 0 when
// there is no tag header.
uint64_t ExistingTagSize(const TByteSource& Source, uint64_t Offset, uint64_t Limit)
{
    uint8_t Header[10];
    if (!Source.ReadExact(Offset, Header, sizeof Header) || std::memcmp(Header, "ID3", 3) != 0)
        return 0;
    uint64_t Total = uint64_t(GetSyncsafe32(Header + 6)) + 10;
    if (Header[3] == 4 && (Header[5] & 0x10))
        Total += 10;
    return std::min(Total, Limit);
}

std::vector<uint8_t> SizeBytes(TChunkSizeField Field, uint64_t Value)
{
    std::vector<uint8_t> Bytes(Field == TChunkSizeField::BE64 ? 8 : 4);
    switch (Field) {
    case TChunkSizeField::LE32: PutLE32(Bytes.data(), uint32_t(Value)); break;
    case TChunkSizeField::BE32: PutBE32(Bytes.data(), uint32_t(Value)); break;
    case TChunkSizeField::BE64: PutBE64(Bytes.data(), Value); break;
    }
    return Bytes;
}

struct TFormChunks {
    bool Found = false; // the form's ID3 chunk
    TChunk TagChunk;
    // Where the walk goes on behind the ID3 chunk: past a pad byte of any value it stepped over,
    // which must go with the chunk, or the chunk that follows would be read from it.
    uint64_t TagChunkEnd = 0;
    TChunk LastChunk;
};

// Walks the chunks of a RIFF, RF64, AIFF or DSDIFF form for its ID3 chunk. Every chunk must lie
// inside the form: writing into a form whose size disagrees with its chunks could land in the
// middle of the audio, so such a container is left alone (7).
int WalkFormChunks(const TByteSource& Source, const TFormInfo& Form, TFormChunks& Chunks)
{
    if (Form.FormEnd < Form.FirstChunk || Form.FormEnd > Source.Size())
        return id3v2InvalidContainer;
    // The ds64 chunk holds the form's size, so the form must at least contain it.
    if (Form.Form == TForm::RF64 && (Form.DS64.Size < 8 || Form.DS64.DataEnd() > Form.FormEnd))
        return id3v2InvalidContainer;
    TChunkWalker Walker(Source, Form.SizeField, Form.FirstChunk, Form.FormEnd);
    Walker.SetRF64DataSize(Form.RF64DataSize);
    TChunk Chunk;
    while (Walker.Next(Chunk)) {
        Chunks.LastChunk = Chunk;
        if (Chunk.Size > Form.FormEnd - Chunk.DataOffset)
            return id3v2InvalidContainer;
        if (!Chunks.Found && IsTagChunk(Chunk, Form.Form)) {
            Chunks.TagChunk = Chunk;
            Chunks.TagChunkEnd = std::min(Walker.Position(), Form.FormEnd);
            Chunks.Found = true;
        }
    }
    // The walk must reach the form's end (it steps over the pad byte of an odd-sized chunk):
    // a chunk written behind stray bytes would be read as part of them.
    if (Walker.Position() < Form.FormEnd)
        return id3v2InvalidContainer;
    return id3v2Success;
}

// The form's size field grows or shrinks with the chunk edit.
int AddFormSizeEdit(const TFormInfo& Form, int64_t Delta, TFileEdits& Edits)
{
    const bool DSDIFF = Form.Form == TForm::DSDIFF;
    const uint64_t NewFormSize = Form.FormEnd + uint64_t(Delta) - (DSDIFF ? 12 : 8);
    if (Form.Form == TForm::RF64) {
        std::vector<uint8_t> RiffSize(8);
        PutLE64(RiffSize.data(), NewFormSize);
        Edits.push_back({ Form.DS64.DataOffset, 8, std::move(RiffSize) });
        return id3v2Success;
    }
    if (!DSDIFF && NewFormSize > 0xFFFFFFFFull)
        return id3v2ContainerTooLarge;
    Edits.push_back({ 4, DSDIFF ? 8u : 4u, SizeBytes(Form.SizeField, NewFormSize) });
    return id3v2Success;
}

// Saves into a chunk of a RIFF, RF64, AIFF or DSDIFF form.
int PlanChunkSave(const TByteSource& Source, const TFormInfo& Form, uint64_t N, uint32_t P,
    const TID3v2Renderer& Render, TFileEdits& Edits)
{
    const bool DSDIFF = Form.Form == TForm::DSDIFF;
    const uint32_t HeaderLength = DSDIFF ? 12 : 8;
    TFormChunks Chunks;
    if (const int R = WalkFormChunks(Source, Form, Chunks); R != id3v2Success)
        return R;
    const bool Found = Chunks.Found;
    const TChunk& TagChunk = Chunks.TagChunk;
    const TChunk& LastChunk = Chunks.LastChunk;

    if (Found && !DSDIFF) {
        const uint64_t E = ExistingTagSize(Source, TagChunk.DataOffset, TagChunk.Size);
        if (E >= N && E - N <= P) {
            TFileEdit Edit { TagChunk.DataOffset, E, {} };
            if (const int R = Render(uint32_t(E - N), Edit.Insert); R != id3v2Success)
                return R;
            Edits.push_back(std::move(Edit));
            return id3v2Success;
        }
    }

    // A new or resized chunk: RIFF and AIFF chunks hold the tag with padding, evened out so
    // that no pad byte is needed; DSDIFF holds it unpadded plus a pad byte when odd.
    const uint32_t Padding = DSDIFF ? 0 : uint32_t(P + ((N + P) & 1));
    TFileEdit TagEdit;
    TagEdit.Insert.assign(4, 0);
    std::memcpy(TagEdit.Insert.data(),
        Found ? TagChunk.ID.data() : (Form.Form == TForm::RIFF || Form.Form == TForm::RF64 ? "id3 " : "ID3 "), 4);
    TagEdit.Insert.resize(HeaderLength);
    std::vector<uint8_t> Tag;
    if (const int R = Render(Padding, Tag); R != id3v2Success)
        return R;
    const uint64_t DataSize = Tag.size();
    const std::vector<uint8_t> Size = SizeBytes(Form.SizeField, DataSize);
    std::copy(Size.begin(), Size.end(), TagEdit.Insert.begin() + 4);
    TagEdit.Insert.insert(TagEdit.Insert.end(), Tag.begin(), Tag.end());
    if (DataSize & 1)
        TagEdit.Insert.push_back(0);

    if (Found) {
        TagEdit.Offset = TagChunk.HeaderOffset;
        TagEdit.RemoveLength = Chunks.TagChunkEnd - TagChunk.HeaderOffset;
    } else {
        TagEdit.Offset = Form.FormEnd;
        // The form may end right after an odd-sized chunk whose pad byte it does not count.
        if ((LastChunk.Size & 1) && LastChunk.DataEnd() == Form.FormEnd)
            TagEdit.Insert.insert(TagEdit.Insert.begin(), 0);
    }
    const int64_t Delta = int64_t(TagEdit.Insert.size()) - int64_t(TagEdit.RemoveLength);
    if (const int R = AddFormSizeEdit(Form, Delta, Edits); R != id3v2Success)
        return R;
    Edits.push_back(std::move(TagEdit));
    return id3v2Success;
}

// Takes the ID3 chunks (with their pad bytes) out of the form; only chunks that hold a tag. All
// of them go, found as a load finds them, up to the end of the file: once the first is out,
// the next would load as the file's tag, also from behind the form's end.
int PlanChunkRemoval(const TByteSource& Source, const TFormInfo& Form, TFileEdits& Edits)
{
    TFormChunks Chunks;
    if (const int R = WalkFormChunks(Source, Form, Chunks); R != id3v2Success)
        return R;
    TChunkWalker Walker(Source, Form.SizeField, Form.FirstChunk, Source.Size());
    Walker.SetRF64DataSize(Form.RF64DataSize);
    TFileEdits Removals;
    uint64_t InForm = 0;
    TChunk Chunk;
    while (Walker.Next(Chunk)) {
        if (!IsTagChunk(Chunk, Form.Form) || !HasTagHeader(Source, Chunk.DataOffset))
            continue;
        // Up to where the walk goes on, so that the next chunk follows the one before.
        const uint64_t End = std::min(Walker.Position(), Source.Size());
        Removals.push_back({ Chunk.HeaderOffset, End - Chunk.HeaderOffset, {} });
        if (Chunk.HeaderOffset < Form.FormEnd)
            InForm += std::min(End, Form.FormEnd) - Chunk.HeaderOffset;
    }
    if (Removals.empty())
        return id3v2Success;
    if (const int R = AddFormSizeEdit(Form, -int64_t(InForm), Edits); R != id3v2Success)
        return R;
    Edits.insert(Edits.end(), Removals.begin(), Removals.end());
    return id3v2Success;
}

// The bytes from an offset on, seen as a file of their own: the container behind the tags at
// the start of a file, as the next load will see it once they are gone.
class TSourceFrom : public TByteSource {
public:
    TSourceFrom(const TByteSource& Source, uint64_t Offset)
        : FSource(Source)
        , FOffset(std::min(Offset, Source.Size()))
    {
    }

    uint64_t Size() const override { return FSource.Size() - FOffset; }
    size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const override
    {
        return Offset < Size() ? FSource.ReadAt(FOffset + Offset, Buffer, Count) : 0;
    }

private:
    const TByteSource& FSource;
    uint64_t FOffset;
};

// Checks the DSF header, "fmt " and "data" chunks and gives the metadata offset (0: none); the
// tag may only live behind the sound data.
int CheckDSF(const TByteSource& Source, uint64_t& Offset)
{
    uint8_t Header[28];
    if (!Source.ReadExact(0, Header, sizeof Header) || GetLE64(Header + 4) != 28)
        return id3v2InvalidContainer;
    const uint64_t FileSize = Source.Size();
    uint8_t Chunk[12];
    if (!Source.ReadExact(28, Chunk, sizeof Chunk) || std::memcmp(Chunk, "fmt ", 4) != 0)
        return id3v2InvalidContainer;
    const uint64_t DataAt = 28 + GetLE64(Chunk + 4);
    if (DataAt < 28 || !Source.ReadExact(DataAt, Chunk, sizeof Chunk) || std::memcmp(Chunk, "data", 4) != 0)
        return id3v2InvalidContainer;
    const uint64_t DataEnd = DataAt + GetLE64(Chunk + 4);
    Offset = GetLE64(Header + 20);
    if (DataEnd < DataAt || DataEnd > FileSize || Offset > FileSize || (Offset != 0 && Offset < DataEnd))
        return id3v2InvalidContainer;
    return id3v2Success;
}

// The header's total file size and metadata offset.
TFileEdit DSFHeaderEdit(uint64_t NewFileSize, uint64_t Offset)
{
    std::vector<uint8_t> Fields(16);
    PutLE64(Fields.data(), NewFileSize);
    PutLE64(Fields.data() + 8, Offset);
    return { 12, 16, std::move(Fields) };
}

// DSF keeps the tag at the metadata offset of its header, normally at the end of the file.
int PlanDSFSave(const TByteSource& Source, const TID3v2Renderer& Render, TFileEdits& Edits)
{
    uint64_t Offset = 0;
    if (const int R = CheckDSF(Source, Offset); R != id3v2Success)
        return R;
    const uint64_t FileSize = Source.Size();
    if (Offset == 0)
        Offset = FileSize;
    const uint64_t E = ExistingTagSize(Source, Offset, FileSize - Offset);
    if (E == 0 && Offset != FileSize)
        return id3v2InvalidContainer;

    TFileEdit TagEdit { Offset, E, {} };
    if (const int R = Render(0, TagEdit.Insert); R != id3v2Success)
        return R;
    Edits.push_back(DSFHeaderEdit(FileSize - E + TagEdit.Insert.size(), Offset));
    Edits.push_back(std::move(TagEdit));
    return id3v2Success;
}

// Takes the tag out of a DSF file; the header then points at no metadata.
int PlanDSFRemoval(const TByteSource& Source, TFileEdits& Edits)
{
    uint64_t Offset = 0;
    if (const int R = CheckDSF(Source, Offset); R != id3v2Success)
        return R;
    const uint64_t E = Offset ? ExistingTagSize(Source, Offset, Source.Size() - Offset) : 0;
    if (E == 0)
        return id3v2Success;
    Edits.push_back(DSFHeaderEdit(Source.Size() - E, 0));
    Edits.push_back({ Offset, E, {} });
    return id3v2Success;
}

} // namespace

TSourceFileType LocateID3v2InContainer(const TByteSource& Source, TID3v2Location& Location)
{
    Location = TID3v2Location {};
    const TFormInfo Form = DetectForm(Source);
    switch (Form.Form) {
    case TForm::None:
    case TForm::RF64NotWave: return sftUnknown;
    case TForm::DSF: {
        uint8_t Pointer[8];
        if (Source.ReadExact(20, Pointer, 8)) {
            const uint64_t Offset = GetLE64(Pointer);
            if (Offset != 0 && HasTagHeader(Source, Offset)) {
                Location.TagFound = true;
                Location.TagOffset = Offset;
            }
        }
        return sftDSF;
    }
    default: break;
    }
    TChunkWalker Walker(Source, Form.SizeField, Form.FirstChunk, Source.Size());
    Walker.SetRF64DataSize(Form.RF64DataSize);
    TChunk Chunk;
    while (Walker.Next(Chunk)) {
        if (IsTagChunk(Chunk, Form.Form)) {
            Location.ChunkFound = true;
            Location.Chunk = Chunk;
            Location.TagFound = HasTagHeader(Source, Chunk.DataOffset);
            Location.TagOffset = Chunk.DataOffset;
            break;
        }
    }
    return FileTypeOf(Form.Form);
}

int PlanID3v2Save(const TByteSource& Source, uint64_t NewTagSize, uint32_t PaddingToWrite, const TID3v2Renderer& Render,
    TFileEdits& Edits)
{
    Edits.clear();
    const TFormInfo Form = DetectForm(Source);
    switch (Form.Form) {
    case TForm::RF64NotWave: return id3v2RF64NotWave;
    case TForm::DSF: return PlanDSFSave(Source, Render, Edits);
    case TForm::RIFF:
    case TForm::RF64:
    case TForm::AIFF:
    case TForm::DSDIFF: return PlanChunkSave(Source, Form, NewTagSize, PaddingToWrite, Render, Edits);
    case TForm::None: break;
    }

    const uint64_t E = ExistingTagSize(Source, 0, Source.Size());
    const uint64_t N = NewTagSize;
    const uint32_t Padding = E >= N && E - N <= PaddingToWrite ? uint32_t(E - N) : PaddingToWrite;
    TFileEdit Edit { 0, E, {} };
    if (const int R = Render(Padding, Edit.Insert); R != id3v2Success)
        return R;
    Edits.push_back(std::move(Edit));
    return id3v2Success;
}

int PlanID3v2Removal(const TByteSource& Source, TFileEdits& Edits)
{
    Edits.clear();
    const TFormInfo Form = DetectForm(Source);
    switch (Form.Form) {
    case TForm::RF64NotWave: return id3v2RF64NotWave;
    case TForm::DSF: return PlanDSFRemoval(Source, Edits);
    case TForm::RIFF:
    case TForm::RF64:
    case TForm::AIFF:
    case TForm::DSDIFF: return PlanChunkRemoval(Source, Form, Edits);
    case TForm::None: break;
    }
    // Tags stacked one behind the other all go: the next one would otherwise become the
    // file's tag and bring the deleted fields back. So does the tag of a container (a WAV or
    // AIFF form) behind them, which the next load finds once they are gone.
    uint64_t End = 0;
    while (const uint64_t E = ExistingTagSize(Source, End, Source.Size() - End))
        End += E;
    if (End == 0)
        return id3v2Success;
    Edits.push_back({ 0, End, {} });
    const TSourceFrom Behind(Source, End);
    TID3v2Location Location;
    if (LocateID3v2InContainer(Behind, Location) == sftUnknown || !Location.TagFound)
        return id3v2Success;
    TFileEdits Inner;
    if (const int R = PlanID3v2Removal(Behind, Inner); R != id3v2Success)
        return R;
    for (TFileEdit& Edit : Inner) {
        Edit.Offset += End;
        Edits.push_back(std::move(Edit));
    }
    return id3v2Success;
}

} // namespace vantor
