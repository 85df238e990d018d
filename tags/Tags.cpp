#include "tags/Tags.h"

#include "tags/FieldMaps.h"
#include "tags/MP4TagBase.h"
#include "tags/NumberText.h"
#include "tags/VorbisCommentTagBase.h"
#include "tags/WAVTagBase.h"
#include "tags/WMATagBase.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/asf/WMATag.h"
#include "tags/flac/FlacTag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/mp4/MP4Tag.h"
#include "tags/ogg/OpusTag.h"
#include "tags/wav/WAVTag.h"

#include <algorithm>
#include <stdexcept>

namespace vantor {

TTags::TTags()
    : APEv2Tag(std::make_unique<TAPEv2Tag>())
    , FlacTag(std::make_unique<TFlacTag>())
    , ID3v1Tag(std::make_unique<TID3v1Tag>())
    , ID3v2Tag(std::make_unique<TID3v2Tag>())
    , MP4Tag(std::make_unique<TMP4Tag>())
    , OggVorbisAndOpusTag(std::make_unique<TOpusTag>())
    , WAVTag(std::make_unique<TWAVTag>())
    , WMATag(std::make_unique<TWMATag>())
    , SourceAudioAttributes(std::make_unique<TSourceAudioAttributes>(this))
{
    Clear();
}

TTags::~TTags() { Clear(); }

void TTags::Clear()
{
    AudioFormat = afUnknown;
    Tags.clear();
    CoverArts.clear();
    APEv2Tag->Clear();
    ID3v1Tag->Clear();
    ID3v2Tag->Clear();
    if (FlacTag)
        FlacTag->Clear();
    if (MP4Tag)
        MP4Tag->Clear();
    if (OggVorbisAndOpusTag)
        OggVorbisAndOpusTag->Clear();
    if (WAVTag)
        WAVTag->Clear();
    if (WMATag)
        WMATag->Clear();
    SourceAudioAttributes->WAVPackAttributes.reset();
    SourceAudioAttributes->MusePackAttributes.reset();
    SourceAudioAttributes->StreamAttributes.reset();
    FileName.clear();
    Loaded = false;
}

bool TTags::HasFormatObject(TTagType type) const
{
    switch (type) {
    case ttAPEv2:
    case ttID3v1:
    case ttID3v2: return true;
    case ttFlac: return FlacTag != nullptr;
    case ttMP4: return MP4Tag != nullptr;
    case ttOpusVorbis: return OggVorbisAndOpusTag != nullptr;
    case ttWAV: return WAVTag != nullptr;
    case ttWMA: return WMATag != nullptr;
    default: return false;
    }
}

bool TTags::IsLoaded(TTagType type) const
{
    switch (type) {
    case ttAPEv2: return APEv2Tag->Loaded;
    case ttID3v1: return ID3v1Tag->Loaded;
    case ttID3v2: return ID3v2Tag->Loaded;
    case ttFlac: return FlacTag && FlacTag->Loaded();
    case ttMP4: return MP4Tag && MP4Tag->Loaded();
    case ttOpusVorbis: return OggVorbisAndOpusTag && OggVorbisAndOpusTag->Loaded();
    case ttWAV: return WAVTag && WAVTag->Loaded();
    case ttWMA: return WMATag && WMATag->Loaded();
    default: return false;
    }
}

std::vector<TAudioPropertySet> TTags::PropertiesByRisingPriority() const
{
    std::vector<TAudioPropertySet> sources;
    sources.reserve(TagLoadPriority.size());
    for (int i = int(TagLoadPriority.size()) - 1; i >= 0; --i) {
        switch (TagLoadPriority[size_t(i)]) {
        // The ID3v2 reader knows the audio of MPEG, WAV and AIFF files also when they carry no tag.
        case ttID3v2: sources.push_back(ID3v2Tag->AudioProperties()); break;
        case ttFlac:
            if (FlacTag)
                sources.push_back(FlacTag->AudioProperties());
            break;
        case ttMP4:
            if (MP4Tag)
                sources.push_back(MP4Tag->AudioProperties());
            break;
        case ttOpusVorbis:
            if (OggVorbisAndOpusTag)
                sources.push_back(OggVorbisAndOpusTag->AudioProperties());
            break;
        case ttWAV:
            if (WAVTag)
                sources.push_back(WAVTag->AudioProperties());
            break;
        case ttWMA:
            if (WMATag && WMATag->Loaded())
                sources.push_back(WMATag->AudioProperties());
            break;
        default: break;
        }
    }
    return sources;
}

// --- fields ---

void TTags::Renumber(size_t from)
{
    for (size_t i = from; i < Tags.size(); ++i)
        Tags[i]->Index = int32_t(i);
}

void TTags::RenumberCoverArts(size_t from)
{
    for (size_t i = from; i < CoverArts.size(); ++i)
        CoverArts[i]->Index = int32_t(i);
}

TTag* TTags::Add(const std::string& name)
{
    try {
        auto tag = std::make_unique<TTag>(this);
        tag->Name = name;
        tag->Index = int32_t(Tags.size());
        Tags.push_back(std::move(tag));
        return Tags.back().get();
    } catch (...) {
        return nullptr;
    }
}

TTag* TTags::AddField(const std::string& name, const std::string& value)
{
    TTag* tag = Add(name);
    if (tag)
        tag->Value = value;
    return tag;
}

TTag* TTags::Tag(const std::string& name)
{
    const int index = Exists(name);
    return index >= 0 ? Tags[size_t(index)].get() : nullptr;
}

int TTags::Exists(const std::string& name) const
{
    for (size_t i = 0; i < Tags.size(); ++i)
        if (SameTextAscii(Tags[i]->Name, name))
            return int(i);
    return -1;
}

std::string TTags::GetTag(const std::string& name) const
{
    const int index = Exists(name);
    return index >= 0 ? Tags[size_t(index)]->Value : std::string();
}

int TTags::SetTag(const std::string& name, const std::string& text)
{
    int index = Exists(name);
    if (index < 0) {
        TTag* tag = Add(name);
        if (!tag)
            return -1;
        index = tag->Index;
    }
    Tags[size_t(index)]->Value = text;
    // The text replaces every value of the name: further values of a multi-value field would
    // otherwise be saved beside it. Their native frames are replaced by the save.
    for (int i = Count() - 1; i > index; --i)
        if (SameTextAscii(Tags[size_t(i)]->Name, name))
            Remove(i);
    return index;
}

int TTags::SetList(const std::string& name, const TNameValueList& list)
{
    const int index = SetTag(name, "");
    if (index >= 0)
        Tags[size_t(index)]->SetAsList(list);
    return index;
}

int TTags::TypeCount(const std::string& name) const
{
    int n = 0;
    for (const auto& tag : Tags)
        n += SameTextAscii(tag->Name, name) ? 1 : 0;
    return n;
}

bool TTags::ItemAlreadyOnList(const std::vector<std::string>& list, const std::string& item)
{
    return std::any_of(list.begin(), list.end(), [&](const std::string& entry) { return SameTextAscii(entry, item); });
}

void TTags::GetMultipleList(const std::string& name, std::vector<std::string>& list) const
{
    list.clear();
    for (const auto& tag : Tags)
        if (SameTextAscii(tag->Name, name) && !ItemAlreadyOnList(list, tag->Value))
            list.push_back(tag->Value);
}

bool TTags::Remove(int index)
{
    if (index < 0 || index >= int(Tags.size()))
        return false;
    Tags.erase(Tags.begin() + index);
    Renumber(size_t(index));
    return true;
}

void TTags::RemoveFieldsNamed(const std::string& name)
{
    for (int i = int(Tags.size()) - 1; i >= 0; --i)
        if (SameTextAscii(Tags[size_t(i)]->Name, name))
            Remove(i);
}

bool TTags::Delete(int index)
{
    if (index < 0 || index >= int(Tags.size()))
        return false;
    try {
        DeleteNativeCounterparts(*Tags[size_t(index)]);
    } catch (...) {
        // the field still leaves the list; its native frames stay as they were
    }
    return Remove(index);
}

bool TTags::Delete(const std::string& name) { return Delete(Exists(name)); }

int TTags::Clear(const std::string& name)
{
    int n = 0;
    for (int i = int(Tags.size()) - 1; i >= 0; --i)
        if (SameTextAscii(Tags[size_t(i)]->Name, name) && Delete(i))
            ++n;
    return n;
}

void TTags::DeleteAllTags() { Tags.clear(); }

void TTags::RemoveEmptyTags()
{
    for (int i = int(Tags.size()) - 1; i >= 0; --i)
        if (Tags[size_t(i)]->Value.empty())
            Delete(i);
}

void TTags::AddNumberAndTotal(const std::string& numberName, const std::string& totalName, const std::string& value)
{
    if (value.find('/') == std::string::npos) {
        AddField(numberName, value);
        return;
    }
    const TNumberAndTotal parts = SplitNumberAndTotal(value);
    AddField(numberName, parts.Number);
    // List only: a load never changes the native tags (it may be walking them).
    Remove(Exists(totalName));
    AddField(totalName, parts.Total);
}

// --- pictures ---

TCoverArt* TTags::CoverArt(const std::string& name)
{
    for (auto& picture : CoverArts)
        if (SameTextAscii(picture->Name, name))
            return picture.get();
    return nullptr;
}

TCoverArt* TTags::AddCoverArt(const std::string& name)
{
    try {
        auto picture = std::make_unique<TCoverArt>(this);
        picture->Name = name;
        picture->Description = "No description";
        picture->Index = int32_t(CoverArts.size());
        CoverArts.push_back(std::move(picture));
        return CoverArts.back().get();
    } catch (...) {
        return nullptr;
    }
}

TCoverArt* TTags::AddCoverArt(const std::string& name, TStream& stream, const std::string& mimeType)
{
    TCoverArt* picture = AddCoverArt(name);
    if (!picture)
        return nullptr;
    picture->MIMEType = mimeType;
    picture->PictureFormat = PictureFormatFromMIMEType(mimeType);
    picture->Stream.Bytes() = stream.ReadAll();
    return picture;
}

TCoverArt* TTags::AddCoverArt(const std::string& name, const std::string& fileName)
{
    std::vector<uint8_t> bytes;
    if (!FileExists(fileName) || !ReadWholeFile(fileName, bytes))
        return nullptr;
    const std::string mime = MIMETypeOfPictureFormat(PictureFormatFromBytes(bytes.data(), bytes.size()));
    TMemoryStream stream(std::move(bytes));
    TCoverArt* picture = AddCoverArt(name, stream, mime);
    if (picture) {
        const size_t slash = fileName.rfind('/');
        picture->Description = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
    }
    return picture;
}

bool TTags::DeleteCoverArt(int index)
{
    if (index < 0 || index >= int(CoverArts.size()))
        return false;
    CoverArts.erase(CoverArts.begin() + index);
    RenumberCoverArts(size_t(index));
    return true;
}

void TTags::DeleteAllCoverArts() { CoverArts.clear(); }

bool TTags::LoadCoverArtData()
{
    bool all = true;
    for (const auto& picture : CoverArts)
        all = picture->LoadData() && all;
    return all;
}

TTagPictureFormat TTags::PictureStreamType(TStream* stream)
{
    if (!stream || stream->Size() == 0)
        return tpfUnknown;
    const auto head = stream->ReadAt(0, 2);
    stream->Seek(0);
    return PictureFormatFromBytes(head.data(), head.size());
}

TTagPictureFormat TTags::PicturePointerType(const void* data, int64_t dataSize)
{
    if (!data || dataSize < 3)
        return tpfUnknown;
    return PictureFormatFromBytes(static_cast<const uint8_t*>(data), size_t(dataSize));
}

// --- whole model ---

bool TTags::Assign(const TTags& source)
{
    if (&source == this)
        return true;
    try {
        Clear();
        FileName = source.FileName;
        Loaded = source.Loaded;
        if (source.APEv2Tag->Loaded)
            APEv2Tag->Assign(*source.APEv2Tag);
        if (source.ID3v1Tag->Loaded)
            ID3v1Tag->Assign(*source.ID3v1Tag);
        if (source.ID3v2Tag->Loaded)
            ID3v2Tag->Assign(*source.ID3v2Tag);
        auto assign = [](auto& own, const auto& other) {
            if (own && other && other->Loaded() && !own->Assign(*other))
                throw std::runtime_error("format objects differ");
        };
        assign(FlacTag, source.FlacTag);
        assign(MP4Tag, source.MP4Tag);
        assign(OggVorbisAndOpusTag, source.OggVorbisAndOpusTag);
        assign(WAVTag, source.WAVTag);
        assign(WMATag, source.WMATag);
        LoadTags();
        return true;
    } catch (...) {
        return false;
    }
}

uint64_t TTags::Size() const
{
    uint64_t size = 0;
    if (APEv2Tag->Loaded)
        size += APEv2Tag->Size + ((APEv2Tag->Flags & 0x80000000u) ? 32 : 0);
    if (ID3v1Tag->Loaded)
        size += 128;
    if (ID3v2Tag->Loaded)
        size += ID3v2Tag->Size;
    for (const TNativeTag* tag : { static_cast<const TNativeTag*>(FlacTag.get()),
             static_cast<const TNativeTag*>(MP4Tag.get()), static_cast<const TNativeTag*>(OggVorbisAndOpusTag.get()),
             static_cast<const TNativeTag*>(WAVTag.get()), static_cast<const TNativeTag*>(WMATag.get()) })
        if (tag && tag->Loaded())
            size += tag->TagSize();
    return size;
}

} // namespace vantor
