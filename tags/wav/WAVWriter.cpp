// Saving TWAVTag: the new tag chunks go directly behind the form header (for
// RF64 behind "ds64"), the old LIST/INFO chunks and the bext and cart chunks
// that were read are taken out, and everything else stays as it is.

#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/TextCodec.h"
#include "tags/wav/RiffForm.h"
#include "tags/wav/WAVTag.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace vantor {

namespace {

constexpr size_t CopyBlock = size_t(1) << 20;
const uint8_t EmptyForm[12] = { 'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E' };

bool AnyNonZero(const uint8_t* p, size_t n)
{
    return std::any_of(p, p + n, [](uint8_t b) { return b != 0; });
}

// Whether a chunk's fields say anything. Bytes behind a text's ending NUL say nothing, so a
// chunk whose fields were all deleted goes away even when such bytes are left in it.
bool HasContent(const TBEXTFields& f)
{
    return !f.Description.empty() || !f.Originator.empty() || !f.OriginatorReference.empty()
        || !f.OriginationDate.empty() || !f.OriginationTime.empty() || f.TimeReference != 0 || f.Version != 0
        || !f.UMID.empty() || !f.CodingHistory.empty();
}

bool HasContent(const TCARTFields& f)
{
    for (const std::string* text : { &f.Version, &f.Title, &f.Artist, &f.CutID, &f.ClientID, &f.Category,
             &f.Classification, &f.OutCue, &f.StartDate, &f.StartTime, &f.EndDate, &f.EndTime, &f.ProducerAppID,
             &f.ProducerAppVersion, &f.UserDef, &f.URL, &f.Reserved, &f.TagText })
        if (!text->empty())
            return true;
    return f.LevelReference != 0 || std::any_of(f.PostTimers.begin(), f.PostTimers.end(), [](const TCARTPostTimer& t) {
        return !t.Usage.empty() || t.Value != 0;
    });
}

// Size of a bext or cart chunk's data: the fixed part, the trailing text ended by a NUL, evened
// out. The size counts that pad byte.
uint64_t BroadcastChunkSize(size_t fixed, const std::vector<uint8_t>& text)
{
    uint64_t size = fixed + text.size();
    if (!text.empty() && text.back() != 0)
        ++size;
    return size + (size & 1);
}

void AppendChunk(
    std::vector<uint8_t>& out, const char* id, const uint8_t* fixed, size_t fixedSize, const std::vector<uint8_t>& text)
{
    const uint64_t size = BroadcastChunkSize(fixedSize, text);
    out.insert(out.end(), id, id + 4);
    AppendLE32(out, uint32_t(size));
    const size_t start = out.size();
    out.insert(out.end(), fixed, fixed + fixedSize);
    out.insert(out.end(), text.begin(), text.end());
    out.resize(start + size_t(size), 0);
}

// The old bytes with the edits applied.
std::vector<uint8_t> Compose(TStream& source, const TFileEdits& edits)
{
    uint64_t size = source.Size();
    for (const TFileEdit& edit : edits)
        size = size - edit.RemoveLength + edit.Insert.size();
    std::vector<uint8_t> out;
    out.reserve(size_t(size));
    auto copy = [&](uint64_t from, uint64_t to) {
        while (from < to) {
            const size_t n = size_t(std::min<uint64_t>(CopyBlock, to - from));
            const size_t at = out.size();
            out.resize(at + n);
            if (!source.Seek(from) || !source.ReadExact(out.data() + at, n))
                throw std::runtime_error("read failed");
            from += n;
        }
    };
    uint64_t at = 0;
    for (const TFileEdit& edit : edits) {
        copy(at, edit.Offset);
        out.insert(out.end(), edit.Insert.begin(), edit.Insert.end());
        at = edit.Offset + edit.RemoveLength;
    }
    copy(at, source.Size());
    return out;
}

} // namespace

// --- the new chunks ---

void TWAVTag::StoreBroadcastFields()
{
    const bool bextLoaded = BEXT.Loaded, cartLoaded = CART.Loaded;
    EncodeBEXT(BEXT, FLoadedBEXT, BEXTRecord);
    EncodeCART(CART, FLoadedCART, CARTRecord);
    TBEXTFields bext;
    DecodeBEXT(BEXTRecord, bext);
    if (!HasContent(bext))
        BEXTRecord = TBEXT {};
    TCARTFields cart;
    DecodeCART(CARTRecord, cart);
    if (!HasContent(cart))
        CARTRecord = TCART {};
    if (HaveBEXT() && GetLE16(BEXTRecord.BEXTChunk.data() + 346) == 0)
        PutLE16(BEXTRecord.BEXTChunk.data() + 346, 1);
    if (HaveCART() && CARTRecord.CARTChunk[0] == 0)
        std::memcpy(CARTRecord.CARTChunk.data(), "0101", 4);
    // The fields now show what will be written.
    DecodeBEXT(BEXTRecord, BEXT);
    DecodeCART(CARTRecord, CART);
    BEXT.Loaded = bextLoaded;
    CART.Loaded = cartLoaded;
    FLoadedBEXT = BEXT;
    FLoadedCART = CART;
}

bool TWAVTag::HaveBEXT() const
{
    return !BEXTRecord.CodingHistoryBytes.empty() || AnyNonZero(BEXTRecord.BEXTChunk.data(), TBEXT::FixedSize);
}

bool TWAVTag::HaveCART() const
{
    return !CARTRecord.TagTextBytes.empty() || AnyNonZero(CARTRecord.CARTChunk.data(), TCART::FixedSize);
}

uint64_t TWAVTag::CalculateTotalFramesSize() const
{
    uint64_t size = 0;
    for (const auto& frame : Frames)
        size += 8 + frame->Value.size() + (frame->Value.size() & 1);
    return size;
}

uint64_t TWAVTag::CalculateBEXTSize() const
{
    return BroadcastChunkSize(TBEXT::FixedSize, BEXTRecord.CodingHistoryBytes);
}

uint64_t TWAVTag::CalculateCARTSize() const { return BroadcastChunkSize(TCART::FixedSize, CARTRecord.TagTextBytes); }

uint64_t TWAVTag::CalculateTagSize() const
{
    return CalculateTotalFramesSize() + CalculateBEXTSize() + CalculateCARTSize() + 28;
}

int TWAVTag::CreateTagChunks(std::vector<uint8_t>& out) const
{
    out.clear();
    if (!Frames.empty()) {
        const uint64_t listSize = CalculateTotalFramesSize() + 4;
        if (listSize > 0xFFFFFFFFu)
            return wavError;
        out.insert(out.end(), { 'L', 'I', 'S', 'T' });
        AppendLE32(out, uint32_t(listSize));
        out.insert(out.end(), { 'I', 'N', 'F', 'O' });
        for (const auto& frame : Frames) {
            // The id's first four characters, one byte each; a shorter name (one read with NUL
            // bytes in its id) gets them back.
            const std::string id = Utf8ToCp1252(frame->Name);
            for (size_t i = 0; i < 4; ++i)
                out.push_back(i < id.size() ? uint8_t(id[i]) : 0);
            AppendLE32(out, uint32_t(frame->Value.size()));
            out.insert(out.end(), frame->Value.begin(), frame->Value.end());
            if (frame->Value.size() & 1)
                out.push_back(0);
        }
    }
    if (HaveBEXT()) {
        if (CalculateBEXTSize() > 0xFFFFFFFFu)
            return wavError;
        AppendChunk(out, "bext", BEXTRecord.BEXTChunk.data(), TBEXT::FixedSize, BEXTRecord.CodingHistoryBytes);
    }
    if (HaveCART()) {
        if (CalculateCARTSize() > 0xFFFFFFFFu)
            return wavError;
        AppendChunk(out, "cart", CARTRecord.CARTChunk.data(), TCART::FixedSize, CARTRecord.TagTextBytes);
    }
    return wavSuccess;
}

// --- saving ---

void TWAVTag::PrepareSave()
{
    RemoveEmptyFrames();
    StoreBroadcastFields();
}

int TWAVTag::PlanSave(TStream& stream, TFileEdits& edits)
{
    edits.clear();
    TRiffForm form;
    if (!ReadRiffForm(stream, form))
        return wavNotWave;
    // A chunk of the form that runs past the end of the file (a cut-off file), or an RF64 file
    // without its 64-bit sizes: rewriting could not keep the audio where it belongs.
    if (form.Truncated || (form.RF64 && !form.HasDS64))
        return wavBadStructure;
    std::vector<uint8_t> tagChunks;
    if (const int result = CreateTagChunks(tagChunks); result != wavSuccess)
        return result;

    // Every INFO list goes (all of them were read); of bext and cart only the first, which is
    // the one that was read, so that a second one is not lost. A kept odd-sized chunk gets a pad
    // byte of 0: without it, or with another value, whether the next chunk starts behind the pad
    // is a guess, and with the tag chunks gone that guess could come out differently.
    TFileEdits chunkEdits;
    uint64_t removedInForm = 0, padsInForm = 0;
    const TRiffChunk* padFirst = nullptr; // an RF64 ds64 chunk whose pad goes before the new tags
    bool bext = false, cart = false;
    for (const TRiffChunk& chunk : form.Chunks) {
        bool remove = chunk.IsList("INFO");
        if (chunk.Is("bext") && !bext)
            remove = bext = true;
        if (chunk.Is("cart") && !cart)
            remove = cart = true;
        if (remove) {
            chunkEdits.push_back({ chunk.Header, chunk.End - chunk.Header, {} });
            if (chunk.Header < form.FormEnd)
                removedInForm += std::min(chunk.End, form.FormEnd) - chunk.Header;
            continue;
        }
        if ((chunk.Size & 1) == 0)
            continue;
        const uint64_t dataEnd = chunk.Data() + chunk.Size;
        uint8_t pad = 0;
        if (chunk.End == dataEnd) {
            chunkEdits.push_back({ dataEnd, 0, { 0 } });
            if (chunk.Header < form.FormEnd)
                ++padsInForm;
        } else if (ReadBytesAt(stream, dataEnd, &pad, 1) && pad != 0) {
            chunkEdits.push_back({ dataEnd, 1, { 0 } });
        } else {
            continue;
        }
        if (form.RF64 && &chunk == &form.Chunks.front())
            padFirst = &chunk;
    }
    const uint64_t formSize = form.FormEnd - form.DataStart - 8 - removedInForm + padsInForm + tagChunks.size();

    if (!form.RF64) {
        if (formSize > 0xFFFFFFFFu)
            return wavFormTooLarge;
        std::vector<uint8_t> size(4);
        PutLE32(size.data(), uint32_t(formSize));
        edits.push_back({ form.DataStart + 4, 4, std::move(size) });
        if (!tagChunks.empty())
            edits.push_back({ form.DataStart + 12, 0, std::move(tagChunks) });
    } else {
        const TRiffChunk& ds64 = form.Chunks.front();
        edits.push_back({ form.DataStart + 4, 4, { 0xFF, 0xFF, 0xFF, 0xFF } });
        std::vector<uint8_t> size(8);
        PutLE64(size.data(), formSize);
        edits.push_back({ ds64.Data(), 8, std::move(size) });
        if (padFirst) {
            edits.push_back(std::move(chunkEdits.front()));
            chunkEdits.erase(chunkEdits.begin());
        }
        if (!tagChunks.empty())
            edits.push_back({ ds64.End, 0, std::move(tagChunks) });
    }
    edits.insert(edits.end(), std::make_move_iterator(chunkEdits.begin()), std::make_move_iterator(chunkEdits.end()));
    return wavSuccess;
}

int TWAVTag::SaveToStream(TStream& stream)
{
    try {
        PrepareSave();
        TMemoryStream empty(EmptyForm, sizeof EmptyForm);
        TStream& source = stream.Size() == 0 ? static_cast<TStream&>(empty) : stream;
        TFileEdits edits;
        if (const int result = PlanSave(source, edits); result != wavSuccess)
            return result;
        std::vector<uint8_t> bytes = Compose(source, edits);
        if (auto* memory = dynamic_cast<TMemoryStream*>(&stream))
            memory->Bytes().swap(bytes);
        else if (!stream.Replace(0, stream.Size(), bytes.data(), bytes.size()))
            return wavCannotWrite;
        stream.Seek(0);
        return wavSuccess;
    } catch (...) {
        return wavError;
    }
}

int TWAVTag::SaveToFile(const std::string& fileName)
{
    try {
        TFileEditStream file;
        if (file.Open(fileName, true) != TFileEditResult::Success || (file.Existed() && !file.LockExclusive()))
            return wavCannotWrite;
        PrepareSave();
        if (file.Size() == 0 && !file.Write(EmptyForm, sizeof EmptyForm))
            return wavError;
        TFileEdits edits;
        if (const int result = PlanSave(file, edits); result != wavSuccess)
            return result;
        if (!ApplyEdits(file, edits))
            return wavError;
        if (file.Commit() != TFileEditResult::Success)
            return wavCannotCreate;
        FileName = fileName;
        return wavSuccess;
    } catch (...) {
        return wavError;
    }
}

} // namespace vantor
