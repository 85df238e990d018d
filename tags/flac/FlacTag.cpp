// The comment list, pictures and stream properties of TFlacTag.

#include "tags/flac/FlacTag.h"

#include "tags/PictureBlock.h"
#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"
#include "tags/ogg/CommentValues.h"

#include <algorithm>

namespace vantor {

std::string TVorbisComment::GetAsText() const { return Format == vcfText ? CommentValueText(Value) : std::string(); }

bool TVorbisComment::SetAsText(const std::string& text)
{
    if (text.empty()) {
        if (Parent)
            Parent->DeleteFrame(Index); // frees this comment
        return true;
    }
    Value.assign(text.begin(), text.end());
    Format = vcfText;
    return true;
}

TNameValueList TVorbisComment::GetAsList() const { return DecodeCommentList(Value); }

void TVorbisComment::SetAsList(const TNameValueList& list)
{
    Value = EncodeCommentList(list);
    Format = vcfText;
}

TFlacTag::TFlacTag() { PaddingSizeToWrite = 4092; }

void TFlacTag::ResetLayout()
{
    std::fill(std::begin(FHeader), std::end(FHeader), 0);
    std::fill(std::begin(FOggFlacHeader), std::end(FOggFlacHeader), 0);
    StreamType = fstUnknown;
    FChannels = FBitsPerSample = 0;
    FSampleRate = 0;
    FSamples = 0;
    FBitrate = 0;
    FFileLength = FAudioOffset = FDataStart = FVCOffset = 0;
    FVorbisIndex = FPaddingIndex = 0;
    FTagSize = FPadding = FMetaBlocksSize = 0;
    FPaddingLast = FPaddingFragments = false;
    FOggHeaderPages = 0;
    FOggRewritable = false;
    aMetaBlockOther.clear();
}

void TFlacTag::Clear()
{
    ResetLayout();
    Tags.clear();
    MetaBlocksCoverArts.clear();
    VendorString.clear();
    FExists = FLoaded = false;
    FileName.clear();
}

void TFlacTag::Renumber(size_t from)
{
    for (size_t i = from; i < Tags.size(); ++i)
        Tags[i]->Index = int(i);
}

TVorbisComment* TFlacTag::AddTag(const std::string& name)
{
    auto comment = std::make_unique<TVorbisComment>();
    comment->Name = name;
    comment->Index = int(Tags.size());
    comment->Parent = this;
    Tags.push_back(std::move(comment));
    return Tags.back().get();
}

int TFlacTag::AddTextTag(const std::string& name, const std::string& text)
{
    TVorbisComment* comment = AddTag(name);
    const int index = comment->Index;
    comment->SetAsText(text);
    return index;
}

void TFlacTag::AddListComment(const std::string& name, const TNameValueList& list)
{
    if (!list.empty())
        AddTag(name)->SetAsList(list);
}

bool TFlacTag::DeleteFrame(int frameIndex)
{
    if (frameIndex < 0 || frameIndex >= Count())
        return false;
    Tags.erase(Tags.begin() + frameIndex);
    Renumber(size_t(frameIndex));
    return true;
}

int TFlacTag::FrameExists(const std::string& name) const
{
    for (const auto& comment : Tags)
        if (comment->Name == name)
            return comment->Index;
    return -1;
}

namespace {
template <typename List>
int FirstMatch(const List& tags, const std::string& name)
{
    for (const auto& comment : tags)
        if (SameTextAscii(comment->Name, name))
            return comment->Index;
    return -1;
}
} // namespace

std::string TFlacTag::ReadFrameByNameAsText(const std::string& name) const
{
    const int index = FirstMatch(Tags, name);
    return index >= 0 ? Tags[size_t(index)]->GetAsText() : std::string();
}

bool TFlacTag::ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const
{
    const int index = FirstMatch(Tags, name);
    if (index < 0 || Tags[size_t(index)]->Format != vcfText)
        return false;
    list = Tags[size_t(index)]->GetAsList();
    return true;
}

void TFlacTag::SetTextFrameText(const std::string& name, const std::string& text)
{
    const int index = FirstMatch(Tags, name);
    if (index >= 0)
        Tags[size_t(index)]->SetAsText(text);
    else if (!text.empty())
        AddTextTag(name, text);
}

void TFlacTag::SetListFrameText(const std::string& name, const TNameValueList& list)
{
    const int index = FirstMatch(Tags, name);
    (index >= 0 ? Tags[size_t(index)].get() : AddTag(name))->SetAsList(list);
}

bool TFlacTag::DeleteFrameByName(const std::string& name) { return DeleteFrame(FirstMatch(Tags, name)); }

bool TFlacTag::GetMultipleValues(const std::string& name, std::vector<std::string>& list) const
{
    list.clear();
    for (const auto& comment : Tags)
        if (SameTextAscii(comment->Name, name))
            list.push_back(comment->GetAsText());
    return !list.empty();
}

void TFlacTag::SetMultipleValues(const std::string& name, const std::vector<std::string>& list)
{
    while (DeleteFrameByName(name)) { }
    for (const std::string& value : list)
        AddTextTag(name, value);
}

int TFlacTag::AddMetaDataCoverArt(const uint8_t* data, size_t length)
{
    TMetaData block;
    block.BlockType = fbtPicture;
    if (data)
        block.Data.assign(data, data + length);
    else
        block.Data.resize(length);
    PutBE32(block.MetaDataBlockHeader, uint32_t(block.Data.size()));
    block.MetaDataBlockHeader[0] = fbtPicture;
    MetaBlocksCoverArts.push_back(std::move(block));
    return int(MetaBlocksCoverArts.size()) - 1;
}

bool TFlacTag::GetCoverArt(int index, TNativePicture& picture) const
{
    if (index < 0 || index >= CoverArtCount())
        return false;
    const TMetaData& block = MetaBlocksCoverArts[size_t(index)];
    picture = TNativePicture();
    if (block.DeferredSize == 0)
        return ParsePictureBlock(block.Data.data(), block.Data.size(), picture);
    size_t start = 0;
    uint32_t length = 0;
    if (!ParsePictureBlockHead(block.Data.data(), block.Data.size(), picture, start, length)
        || start + uint64_t(length) > block.Data.size() + uint64_t(block.DeferredSize)) {
        picture.Data.clear();
        return false;
    }
    picture.DeferredOffset = block.DataOffset + start;
    picture.DeferredSize = length;
    return true;
}

bool TFlacTag::SetCoverArt(int index, const TNativePicture& picture)
{
    if (index < 0 || index >= CoverArtCount())
        return false;
    TMetaData& block = MetaBlocksCoverArts[size_t(index)];
    block.Data = BuildPictureBlock(picture);
    PutBE32(block.MetaDataBlockHeader, uint32_t(block.Data.size()));
    block.MetaDataBlockHeader[0] = fbtPicture;
    block.BlockType = fbtPicture;
    return true;
}

bool TFlacTag::DeleteCoverArt(int index)
{
    if (index < 0 || index >= CoverArtCount())
        return false;
    MetaBlocksCoverArts.erase(MetaBlocksCoverArts.begin() + index);
    return true;
}

TNativePicture TFlacTag::Picture(int index) const
{
    TNativePicture picture;
    GetCoverArt(index, picture);
    return picture;
}

void TFlacTag::AddPicture(const TNativePicture& picture) { SetCoverArt(AddMetaDataCoverArt(nullptr, 0), picture); }

int64_t TFlacTag::CalculateMetaBlocksSize(bool includePadding) const
{
    int64_t size = 0;
    for (const TMetaData& block : MetaBlocksCoverArts)
        size += 4 + int64_t(block.Data.size()) + int64_t(block.DeferredSize);
    for (const TMetaData& block : aMetaBlockOther)
        if (includePadding || block.BlockType != fbtPadding)
            size += 4 + int64_t(block.Data.size());
    return size;
}

int64_t TFlacTag::CalculateTagSize(bool includePadding) const
{
    return CalculateVorbisCommentsSize() + CalculateMetaBlocksSize(includePadding) + (includePadding ? FPadding : 0);
}

std::vector<uint8_t> TFlacTag::BuildVorbisCommentBody() const
{
    std::vector<uint8_t> entries;
    uint32_t count = 0;
    for (const auto& comment : Tags) {
        const std::string text = comment->GetAsText();
        if (text.empty())
            continue;
        const std::string name = UpperCaseFieldNamesToWrite ? UpperAscii(comment->Name) : comment->Name;
        AppendLE32(entries, uint32_t(name.size() + 1 + text.size()));
        entries.insert(entries.end(), name.begin(), name.end());
        entries.push_back('=');
        entries.insert(entries.end(), text.begin(), text.end());
        ++count;
    }
    const std::string vendor = VendorString.empty() ? "reference libFLAC 1.1.0 20030126" : VendorString;
    std::vector<uint8_t> body(8 + vendor.size() + entries.size());
    PutLE32(body.data(), uint32_t(vendor.size()));
    std::copy(vendor.begin(), vendor.end(), body.begin() + 4);
    PutLE32(body.data() + 4 + vendor.size(), count);
    std::copy(entries.begin(), entries.end(), body.begin() + 8 + ptrdiff_t(vendor.size()));
    return body;
}

bool TFlacTag::Valid() const
{
    const uint8_t* marker = StreamType == fstOggFlac ? FOggFlacHeader + 9 : FHeader;
    return StreamType != fstUnknown && std::equal(marker, marker + 4, "fLaC") && FChannels > 0 && FSampleRate > 0
        && FBitsPerSample > 0 && FSamples > 0;
}

double TFlacTag::Playtime() const { return Valid() ? double(FSamples) / FSampleRate : 0; }

double TFlacTag::Ratio() const
{
    return Valid() ? double(FFileLength) / (double(FSamples) * FChannels * FBitsPerSample / 8) * 100 : 0;
}

std::string TFlacTag::ChannelMode() const
{
    if (!Valid())
        return {};
    return FChannels == 1 ? "Mono" : FChannels == 2 ? "Stereo" : "Multi Channel";
}

TAudioPropertySet TFlacTag::AudioProperties() const
{
    // STREAMINFO may leave the sample count open (streamed encodes): the
    // format is still known, the play time is not.
    TAudioPropertySet set;
    if (StreamType == fstUnknown)
        return set;
    set.Channels = FChannels;
    set.SamplesPerSec = uint32_t(FSampleRate);
    set.BitsPerSample = FBitsPerSample;
    set.PlayTime = Playtime();
    set.SampleCount = uint64_t(std::max<int64_t>(FSamples, 0));
    set.BitRate = FBitrate;
    return set;
}

bool TFlacTag::Assign(const TNativeTag& source)
{
    const auto* other = dynamic_cast<const TFlacTag*>(&source);
    if (!other)
        return false;
    if (other == this)
        return true;
    Clear();
    FileName = other->FileName;
    for (const auto& comment : other->Tags) {
        TVorbisComment* copy = AddTag(comment->Name);
        copy->Format = comment->Format;
        copy->Value = comment->Value;
    }
    MetaBlocksCoverArts = other->MetaBlocksCoverArts;
    return true;
}

} // namespace vantor
