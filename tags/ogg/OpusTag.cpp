// The comment list of TOpusTag: text, list, binary and picture comments.

#include "tags/ogg/OpusTag.h"

#include "tags/PictureBlock.h"
#include "tags/io/Base64.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/CommentValues.h"

#include <algorithm>

namespace vantor {

namespace {

const char PictureName[] = "METADATA_BLOCK_PICTURE";
const char PaddingName[] = "PADDING";

} // namespace

std::string_view CommentMagic(TOggFormat format)
{
    switch (format) {
    case ofOpus: return { "OpusTags", 8 };
    case ofVorbis: return { "\x03vorbis", 7 };
    case ofTheora: return { "\x81theora", 7 };
    default: return {};
    }
}

// --- frames ---

std::string TOpusTagFrame::GetAsText() const
{
    switch (Format) {
    case otffText: return CommentValueText(Value);
    case otffCoverArt: return "COVER ART BINARY " + SizeText(Value.size() + DeferredTextSize);
    case otffBinary: return "BINARY " + SizeText(Value.size());
    default: return {};
    }
}

void TOpusTagFrame::SetAsText(const std::string& text)
{
    Value.assign(text.begin(), text.end());
    Format = otffText;
}

TNameValueList TOpusTagFrame::GetAsList() const { return DecodeCommentList(Value); }

void TOpusTagFrame::SetAsList(const TNameValueList& list)
{
    Value = EncodeCommentList(list);
    Format = otffText;
}

// --- the tag ---

TOpusTag::TOpusTag() { PaddingSizeToWrite = 2048; }

void TOpusTag::Clear()
{
    Frames.clear();
    FileName.clear();
    VendorString.clear();
    FLoaded = false;
    Info = TOggFileInfo();
    Format = ofUnknown;
    VorbisData.clear();
}

void TOpusTag::Renumber(size_t from)
{
    for (size_t i = from; i < Frames.size(); ++i)
        Frames[i]->Index = int(i);
}

TOpusTagFrame* TOpusTag::AddFrame(const std::string& name)
{
    auto frame = std::make_unique<TOpusTagFrame>();
    frame->Name = name;
    frame->Index = int(Frames.size());
    frame->Parent = this;
    Frames.push_back(std::move(frame));
    return Frames.back().get();
}

bool TOpusTag::DeleteFrame(int frameIndex)
{
    if (frameIndex < 0 || frameIndex >= Count())
        return false;
    Frames.erase(Frames.begin() + frameIndex);
    Renumber(size_t(frameIndex));
    return true;
}

void TOpusTag::DeleteAllCoverArts()
{
    std::erase_if(Frames, [](const auto& frame) { return frame->IsCoverArt(); });
    Renumber(0);
}

int TOpusTag::CoverArtCount() const
{
    return int(std::count_if(Frames.begin(), Frames.end(), [](const auto& frame) { return frame->IsCoverArt(); }));
}

int TOpusTag::FrameExists(const std::string& name) const
{
    for (const auto& frame : Frames)
        if (SameTextAscii(frame->Name, name))
            return frame->Index;
    return -1;
}

int TOpusTag::FrameTypeCount(const std::string& name) const
{
    return int(std::count_if(
        Frames.begin(), Frames.end(), [&](const auto& frame) { return SameTextAscii(frame->Name, name); }));
}

int TOpusTag::AddTextFrame(const std::string& name, const std::string& text)
{
    TOpusTagFrame* frame = AddFrame(name);
    frame->SetAsText(text);
    return frame->Index;
}

void TOpusTag::SetTextFrameText(const std::string& name, const std::string& text)
{
    const int index = FrameExists(name);
    if (index >= 0)
        Frames[size_t(index)]->SetAsText(text);
    else
        AddTextFrame(name, text);
}

void TOpusTag::SetListFrameText(const std::string& name, const TNameValueList& list)
{
    const int index = FrameExists(name);
    (index >= 0 ? Frames[size_t(index)].get() : AddFrame(name))->SetAsList(list);
}

std::string TOpusTag::ReadFrameByNameAsText(const std::string& name) const
{
    const int index = FrameExists(name);
    return index >= 0 ? Frames[size_t(index)]->GetAsText() : std::string();
}

bool TOpusTag::ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const
{
    const int index = FrameExists(name);
    if (index < 0 || Frames[size_t(index)]->Format != otffText)
        return false;
    list = Frames[size_t(index)]->GetAsList();
    return true;
}

bool TOpusTag::DeleteFrameByName(const std::string& name) { return DeleteFrame(FrameExists(name)); }

void TOpusTag::AddTextComment(const std::string& name, const std::string& text)
{
    if (!text.empty())
        AddTextFrame(name, text);
}

void TOpusTag::AddListComment(const std::string& name, const TNameValueList& list)
{
    if (!list.empty())
        AddFrame(name)->SetAsList(list);
}

int TOpusTag::AddBinaryFrame(const std::string& name, const std::vector<uint8_t>& data)
{
    TOpusTagFrame* frame = AddFrame(name);
    const std::string text = Base64Encode(data.data(), data.size());
    frame->Value.assign(text.begin(), text.end());
    frame->Format = otffBinary;
    return frame->Index;
}

bool TOpusTag::ReadBinaryFrame(int frameIndex, std::vector<uint8_t>& data) const
{
    if (frameIndex < 0 || frameIndex >= Count())
        return false;
    data = DecodeBase64Leniently(Frames[size_t(frameIndex)]->Value.data(), Frames[size_t(frameIndex)]->Value.size());
    return true;
}

int TOpusTag::AddCoverArtFrame(const TNativePicture& picture)
{
    const int index = AddFrame(PictureName)->Index;
    if (!SetCoverArtFrame(index, picture)) {
        DeleteFrame(index);
        return -1;
    }
    return index;
}

bool TOpusTag::SetCoverArtFrame(int frameIndex, const TNativePicture& picture)
{
    if (frameIndex < 0 || frameIndex >= Count() || !SameTextAscii(Frames[size_t(frameIndex)]->Name, PictureName))
        return false;
    TNativePicture stored = picture;
    stored.MIMEType = LowerAscii(picture.MIMEType);
    const std::vector<uint8_t> block = BuildPictureBlock(stored);
    const std::string text = Base64Encode(block.data(), block.size());
    TOpusTagFrame& frame = *Frames[size_t(frameIndex)];
    frame.Value.assign(text.begin(), text.end());
    frame.Format = otffCoverArt;
    return true;
}

bool TOpusTag::GetCoverArtFromFrame(int frameIndex, TNativePicture& picture) const
{
    if (frameIndex < 0 || frameIndex >= Count() || !Frames[size_t(frameIndex)]->IsCoverArt())
        return false;
    const TOpusTagFrame& frame = *Frames[size_t(frameIndex)];
    picture = TNativePicture();
    picture.Name = frame.Name;
    if (frame.DeferredTextSize == 0) {
        const std::vector<uint8_t> block = DecodeBase64Leniently(frame.Value.data(), frame.Value.size());
        return ParsePictureBlock(block.data(), block.size(), picture);
    }
    // The fields in front of the picture come from the lead of the text; the picture must fit
    // in what the whole text can hold.
    const std::vector<uint8_t> lead = DecodeBase64Leniently(frame.Value.data(), frame.Value.size(), true);
    const uint64_t textSize = frame.Value.size() + frame.DeferredTextSize;
    size_t start = 0;
    uint32_t length = 0;
    if (!ParsePictureBlockHead(lead.data(), lead.size(), picture, start, length)
        || start + uint64_t(length) > textSize / 4 * 3) {
        picture.Data.clear();
        return false;
    }
    picture.DeferredOffset = frame.TextOffset;
    picture.DeferredTextSize = textSize;
    picture.DeferredSize = length;
    return true;
}

TNativePicture TOpusTag::Picture(int index) const
{
    TNativePicture picture;
    int seen = 0;
    for (const auto& frame : Frames)
        if (frame->IsCoverArt() && seen++ == index) {
            GetCoverArtFromFrame(frame->Index, picture);
            picture.Name = frame->Name;
            break;
        }
    return picture;
}

void TOpusTag::RemoveEmptyFrames()
{
    std::erase_if(Frames, [](const auto& frame) { return frame->Value.empty(); });
    Renumber(0);
}

uint64_t TOpusTag::CalculateTotalFramesSize() const
{
    uint64_t size = 0;
    for (const auto& frame : Frames)
        size += frame->CalculateTotalFrameSize() + 4;
    return size;
}

uint64_t TOpusTag::CalculateTagSize(bool includePadding) const
{
    uint64_t size = VendorString.size() + CalculateTotalFramesSize() + 16;
    if (!includePadding)
        for (const auto& frame : Frames)
            if (frame->Name == PaddingName)
                size -= frame->CalculateTotalFrameSize() + 4;
    return size;
}

TAudioFormat TOpusTag::StreamFormat() const
{
    switch (Format) {
    case ofOpus: return afOpus;
    case ofVorbis: return afOggVorbis;
    case ofTheora: return afOggTheora;
    default: return afUnknown;
    }
}

TAudioPropertySet TOpusTag::AudioProperties() const
{
    TAudioPropertySet set;
    if (!FLoaded || Format == ofTheora)
        return set;
    set.Channels = Info.Channels;
    set.SamplesPerSec = Info.SampleRate;
    set.StopsBitsPerSampleWalk = Info.Channels > 0;
    set.PlayTime = Info.PlayTime;
    set.SampleCount = Info.SampleCount;
    set.BitRate = Info.BitRate;
    return set;
}

bool TOpusTag::Assign(const TNativeTag& source)
{
    const auto* other = dynamic_cast<const TOpusTag*>(&source);
    if (!other)
        return false;
    if (other == this)
        return true;
    FileName = other->FileName;
    Format = other->Format;
    FLoaded = other->FLoaded;
    Frames.clear();
    for (const auto& frame : other->Frames) {
        TOpusTagFrame* copy = AddFrame(frame->Name);
        copy->Format = frame->Format;
        copy->Value = frame->Value;
        copy->TextOffset = frame->TextOffset;
        copy->DeferredTextSize = frame->DeferredTextSize;
    }
    return true;
}

} // namespace vantor
