// The frame list of TWAVTag and loading.

#include "tags/wav/WAVTag.h"

#include "tags/StreamByteSource.h"
#include "tags/io/Bytes.h"
#include "tags/io/FileStream.h"
#include "tags/wav/RiffForm.h"

#include <algorithm>

namespace vantor {

namespace {

// Bounds the frames a file made of empty INFO sub-chunks can create.
constexpr size_t MaxFrames = size_t(1) << 16;
// Lists nested inside other lists are searched this deep for INFO.
constexpr int MaxListDepth = 8;

// The RIFF data behind a leading ID3v2 tag, seen from its own start.
class TOffsetSource final : public TByteSource {
public:
    TOffsetSource(const TByteSource& source, uint64_t offset)
        : FSource(source)
        , FOffset(offset)
    {
    }
    uint64_t Size() const override { return FSource.Size() > FOffset ? FSource.Size() - FOffset : 0; }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) const override
    {
        return FSource.ReadAt(FOffset + offset, buffer, count);
    }

private:
    const TByteSource& FSource;
    uint64_t FOffset;
};

std::string FrameName(const uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i)
        if (id[i])
            name += char(id[i]);
    return name;
}

} // namespace

void TWAVTag::Clear()
{
    Frames.clear();
    // Filled in place: every load of any file clears this object, and a new 2 KiB record
    // each time is not free.
    BEXTRecord.BEXTChunk.fill(0);
    BEXTRecord.CodingHistoryBytes.clear();
    CARTRecord.CARTChunk.fill(0);
    CARTRecord.TagTextBytes.clear();
    BEXT = TBEXTFields {};
    CART = TCARTFields {};
    FLoadedBEXT = TBEXTFields {};
    FLoadedCART = TCARTFields {};
    Attributes = TWaveFmt {};
    PlayTime = 0;
    SampleCount = 0;
    BitRate = 0;
    FFileSize = 0;
    Size = 0;
    FTagBytes = 0;
    FLoaded = false;
}

// --- frames ---

void TWAVTag::Renumber(size_t from)
{
    for (size_t i = from; i < Frames.size(); ++i)
        Frames[i]->Index = int(i);
}

TWAVTagFrame* TWAVTag::AddFrame(const std::string& name)
{
    auto frame = std::make_unique<TWAVTagFrame>();
    frame->Name = name;
    frame->Parent = this;
    frame->Index = int(Frames.size());
    Frames.push_back(std::move(frame));
    return Frames.back().get();
}

int TWAVTag::AddTextFrame(const std::string& name, const std::string& text)
{
    TWAVTagFrame* frame = AddFrame(name);
    frame->SetAsText(text);
    return frame->Index;
}

int TWAVTag::AddBinaryFrame(const std::string& name, TStream& binary, size_t size)
{
    const uint64_t position = binary.Position();
    TWAVTagFrame* frame = AddFrame(name);
    frame->Value = binary.ReadAt(position, size);
    frame->Format = TWAVTagFrameFormat::ffBinary;
    binary.Seek(position);
    return frame->Index;
}

bool TWAVTag::DeleteFrame(int frameIndex)
{
    if (frameIndex < 0 || size_t(frameIndex) >= Frames.size())
        return false;
    Frames.erase(Frames.begin() + frameIndex);
    Renumber(size_t(frameIndex));
    return true;
}

bool TWAVTag::DeleteFrameByName(const std::string& name) { return DeleteFrame(FrameExists(name)); }

void TWAVTag::DeleteFrames(const std::string& id)
{
    Frames.erase(
        std::remove_if(Frames.begin(), Frames.end(), [&](const auto& f) { return f->Name == id; }), Frames.end());
    Renumber(0);
}

int TWAVTag::FrameExists(const std::string& name) const
{
    for (size_t i = 0; i < Frames.size(); ++i)
        if (Frames[i]->Name == name)
            return int(i);
    return -1;
}

int TWAVTag::FrameTypeCount(const std::string& name) const
{
    return int(std::count_if(Frames.begin(), Frames.end(), [&](const auto& f) { return f->Name == name; }));
}

void TWAVTag::SetTextFrameText(const std::string& name, const std::string& text)
{
    const int index = FrameExists(name);
    TWAVTagFrame* frame = index >= 0 ? Frames[size_t(index)].get() : AddFrame(name);
    // Unchanged text keeps the stored bytes (its encoding, a missing or doubled NUL).
    if (frame->Format == TWAVTagFrameFormat::ffText && !frame->Value.empty() && frame->GetAsText() == text)
        return;
    frame->SetAsText(text);
}

void TWAVTag::SetListFrameText(const std::string& name, const TNameValueList& list)
{
    const int index = FrameExists(name);
    (index >= 0 ? Frames[size_t(index)].get() : AddFrame(name))->SetAsList(list);
}

void TWAVTag::AddListFrame(const std::string& id, const TNameValueList& list) { AddFrame(id)->SetAsList(list); }

TNameValueList TWAVTag::FrameList(int index) const
{
    TNameValueList list;
    Frames[size_t(index)]->GetAsList(list);
    return list;
}

std::string TWAVTag::ReadFrameByNameAsText(const std::string& name) const
{
    const int index = FrameExists(name);
    return index >= 0 ? Frames[size_t(index)]->GetAsText() : std::string();
}

bool TWAVTag::ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const
{
    const int index = FrameExists(name);
    list.clear();
    return index >= 0 && Frames[size_t(index)]->GetAsList(list);
}

void TWAVTag::RemoveEmptyFrames()
{
    Frames.erase(
        std::remove_if(Frames.begin(), Frames.end(), [](const auto& f) { return f->Value.empty(); }), Frames.end());
    Renumber(0);
}

bool TWAVTag::Assign(const TNativeTag& source)
{
    const auto* other = dynamic_cast<const TWAVTag*>(&source);
    if (!other)
        return false;
    if (other == this)
        return true;
    try {
        Clear();
        FileName = other->FileName;
        FLoaded = other->FLoaded;
        Size = other->Size;
        for (const auto& frame : other->Frames)
            AddFrame(frame->Name)->Assign(*frame);
        // The bext and cart records travel too: a copy that is saved must not lose them.
        BEXTRecord = other->BEXTRecord;
        CARTRecord = other->CARTRecord;
        BEXT = other->BEXT;
        CART = other->CART;
        FLoadedBEXT = other->FLoadedBEXT;
        FLoadedCART = other->FLoadedCART;
        Attributes = other->Attributes;
        PlayTime = other->PlayTime;
        SampleCount = other->SampleCount;
        BitRate = other->BitRate;
        FFileSize = other->FFileSize;
        FTagBytes = other->FTagBytes;
        return true;
    } catch (...) {
        return false;
    }
}

TAudioPropertySet TWAVTag::AudioProperties() const
{
    TAudioPropertySet set;
    set.Channels = Attributes.Channels;
    set.SamplesPerSec = Attributes.SamplesPerSec;
    set.BitsPerSample = Attributes.BitsPerSample;
    set.PlayTime = PlayTime;
    set.SampleCount = SampleCount;
    set.BitRate = BitRate;
    return set;
}

// --- loading ---

int TWAVTag::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream file;
    if (!file.Open(fileName))
        return wavCannotOpen;
    const int result = LoadFromStream(file);
    if (result == wavSuccess)
        FileName = fileName;
    return result;
}

void TWAVTag::ReadInfoList(TStream& stream, uint64_t begin, uint64_t end)
{
    for (uint64_t at = begin; at < end && end - at >= 8 && Frames.size() < MaxFrames;) {
        uint8_t header[8];
        if (!ReadBytesAt(stream, at, header, sizeof header))
            return;
        const uint64_t size = GetLE32(header + 4);
        const uint64_t available = end - at - 8;
        TWAVTagFrame* frame = AddFrame(FrameName(header));
        frame->Value = stream.ReadAt(at + 8, std::min(size, available));
        frame->Format = TWAVTagFrameFormat::ffText;
        if (size > available)
            return;
        at += 8 + size + (size & 1);
    }
}

void TWAVTag::WalkForInfo(TStream& stream, uint64_t begin, uint64_t end, int depth)
{
    if (depth > MaxListDepth)
        return;
    bool truncated = false;
    for (const TRiffChunk& chunk : WalkRiffChunks(stream, begin, end, 0, truncated)) {
        if (chunk.IsList("INFO"))
            ReadInfoList(stream, chunk.Data() + 4, chunk.Data() + chunk.Size);
        else if (chunk.Is("LIST") && chunk.Size >= 4)
            WalkForInfo(stream, chunk.Data() + 4, chunk.Data() + chunk.Size, depth + 1);
    }
}

int TWAVTag::LoadFromStream(TStream& stream)
{
    const uint64_t position = stream.Position();
    Clear();
    int result = wavError;
    try {
        TRiffForm form;
        if (!ReadRiffForm(stream, form)) {
            result = wavNotWave;
        } else {
            FFileSize = stream.Size();
            bool haveBEXT = false, haveCART = false;
            for (const TRiffChunk& chunk : form.Chunks) {
                if (chunk.IsList("INFO")) {
                    // Every INFO list is read: a save replaces them all with one.
                    ReadInfoList(stream, chunk.Data() + 4, chunk.Data() + chunk.Size);
                    FTagBytes += chunk.End - chunk.Header;
                } else if (chunk.Is("LIST") && chunk.Size >= 4) {
                    WalkForInfo(stream, chunk.Data() + 4, chunk.Data() + chunk.Size, 1);
                } else if (chunk.Is("bext") && !haveBEXT) {
                    haveBEXT = true;
                    const std::vector<uint8_t> bytes = stream.ReadAt(chunk.Data(), chunk.End - chunk.Data());
                    const size_t fixed = std::min(bytes.size(), TBEXT::FixedSize);
                    std::copy(bytes.begin(), bytes.begin() + ptrdiff_t(fixed), BEXTRecord.BEXTChunk.begin());
                    BEXTRecord.CodingHistoryBytes.assign(bytes.begin() + ptrdiff_t(fixed), bytes.end());
                    DecodeBEXT(BEXTRecord, BEXT);
                    BEXT.Loaded = true;
                    FLoadedBEXT = BEXT;
                    FTagBytes += chunk.End - chunk.Header;
                } else if (chunk.Is("cart") && !haveCART) {
                    haveCART = true;
                    const std::vector<uint8_t> bytes = stream.ReadAt(chunk.Data(), chunk.End - chunk.Data());
                    const size_t fixed = std::min(bytes.size(), TCART::FixedSize);
                    std::copy(bytes.begin(), bytes.begin() + ptrdiff_t(fixed), CARTRecord.CARTChunk.begin());
                    CARTRecord.TagTextBytes.assign(bytes.begin() + ptrdiff_t(fixed), bytes.end());
                    DecodeCART(CARTRecord, CART);
                    CART.Loaded = true;
                    FLoadedCART = CART;
                    FTagBytes += chunk.End - chunk.Header;
                }
            }

            TStreamByteSource source(stream);
            TWaveAudio audio;
            ReadWaveAudio(TOffsetSource(source, form.DataStart), audio);
            Attributes = audio.Fmt;
            SampleCount = audio.SampleCount;
            PlayTime = audio.PlayTime;
            BitRate = audio.BitRate;
            FLoaded = true;
            result = wavSuccess;
        }
    } catch (...) {
        result = wavError;
    }
    stream.Seek(position);
    return result;
}

} // namespace vantor
