#include "tags/asf/WMATag.h"

#include "tags/io/Bytes.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vantor {

namespace {

const char* const PictureName = "WM/Picture";

// UTF-16LE bytes to UTF-8 with zero characters left out.
std::string Utf16Text(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> units;
    units.reserve(size);
    for (size_t i = 0; i + 1 < size; i += 2)
        if (data[i] || data[i + 1]) {
            units.push_back(data[i]);
            units.push_back(data[i + 1]);
        }
    return Utf16ToUtf8(units.data(), units.size(), false);
}

std::vector<uint8_t> Utf16Terminated(const std::string& text)
{
    std::vector<uint8_t> bytes = Utf8ToUtf16(text, false);
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

// Length in bytes of a zero-terminated UTF-16LE string at the start of [data, data + size),
// terminator included; 0 when there is no terminator.
size_t TerminatedLength(const uint8_t* data, size_t size)
{
    for (size_t i = 0; i + 1 < size; i += 2)
        if (!data[i] && !data[i + 1])
            return i + 2;
    return 0;
}

} // namespace

// --- pictures ---

namespace {

// Where the parts of a WM/Picture value lie; false when they do not fit.
struct TPictureLayout {
    size_t MimeLength = 0, DescriptionLength = 0, DataOffset = 0;
    uint32_t DataSize = 0;
};

// deferredSize: bytes of the value that follow those at hand; MIME type and description
// must be at hand.
bool PictureLayout(const std::vector<uint8_t>& value, TPictureLayout& layout, uint64_t deferredSize = 0)
{
    const uint8_t* p = value.data();
    const size_t size = value.size();
    if (size < 5)
        return false;
    layout.DataSize = GetLE32(p + 1);
    layout.MimeLength = TerminatedLength(p + 5, size - 5);
    if (!layout.MimeLength)
        return false;
    const size_t description = 5 + layout.MimeLength;
    layout.DescriptionLength = TerminatedLength(p + description, size - description);
    if (!layout.DescriptionLength)
        return false;
    layout.DataOffset = description + layout.DescriptionLength;
    return layout.DataSize <= size - layout.DataOffset + deferredSize;
}

} // namespace

bool ParseWMAPicture(const std::vector<uint8_t>& value, TNativePicture& picture, uint64_t deferredSize)
{
    TPictureLayout layout;
    if (!PictureLayout(value, layout, deferredSize))
        return false;
    const uint8_t* p = value.data();
    picture.CoverType = p[0];
    picture.MIMEType = Utf16Text(p + 5, layout.MimeLength);
    picture.Description = Utf16Text(p + 5 + layout.MimeLength, layout.DescriptionLength);
    const size_t atHand = std::min<size_t>(layout.DataSize, value.size() - layout.DataOffset);
    picture.Data.assign(p + layout.DataOffset, p + layout.DataOffset + atHand);
    if (atHand < layout.DataSize) {
        picture.DeferredOffset = layout.DataOffset;
        picture.DeferredSize = layout.DataSize;
    }
    return true;
}

std::vector<uint8_t> BuildWMAPicture(const TNativePicture& picture)
{
    const std::vector<uint8_t> mime = Utf16Terminated(picture.MIMEType);
    const std::vector<uint8_t> description = Utf16Terminated(picture.Description);
    std::vector<uint8_t> value(5 + mime.size() + description.size() + picture.Data.size());
    value[0] = uint8_t(picture.CoverType);
    PutLE32(value.data() + 1, uint32_t(picture.Data.size()));
    auto at = std::copy(mime.begin(), mime.end(), value.begin() + 5);
    at = std::copy(description.begin(), description.end(), at);
    std::copy(picture.Data.begin(), picture.Data.end(), at);
    return value;
}

// --- frames ---

std::string TWMATagFrame::GetAsText() const
{
    if (Format == wmaTypeString)
        return Utf16Text(Stream.data(), Stream.size());
    return std::to_string(GetAsInteger());
}

void TWMATagFrame::SetAsText(const std::string& text)
{
    Format = wmaTypeString;
    Stream = Utf16Terminated(text);
    DeferredSize = 0;
}

int64_t TWMATagFrame::GetAsInteger() const
{
    auto little = [this](size_t width) -> uint64_t {
        if (Stream.size() < width)
            return 0;
        uint64_t value = 0;
        for (size_t i = width; i-- > 0;)
            value = value << 8 | Stream[i];
        return value;
    };
    switch (Format) {
    case wmaTypeDWORD:
    case wmaTypeBool: return int64_t(little(4));
    case wmaTypeQWORD: return int64_t(little(8));
    case wmaTypeWORD: return int64_t(little(2));
    case wmaTypeString: {
        // Some taggers store numbers such as WM/Track as text.
        const std::string text = TrimText(GetAsText());
        int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size() ? value : 0;
    }
    default: return 0;
    }
}

bool TWMATagFrame::SetAsInteger(TWMAAttributeType format, uint64_t value)
{
    size_t width = 0;
    switch (format) {
    case wmaTypeDWORD: width = 4; break;
    case wmaTypeBool:
        width = 4;
        value = value != 0;
        break;
    case wmaTypeQWORD: width = 8; break;
    case wmaTypeWORD: width = 2; break;
    default: return false;
    }
    Format = format;
    Stream.resize(width);
    DeferredSize = 0;
    for (size_t i = 0; i < width; ++i)
        Stream[i] = uint8_t(value >> (8 * i));
    return true;
}

TNameValueList TWMATagFrame::GetAsList() const
{
    const std::string text = Format == wmaTypeString ? GetAsText() : std::string();
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    TNameValueList list;
    for (size_t i = 0; i + 1 < lines.size(); i += 2)
        if (!TrimText(lines[i]).empty() && !TrimText(lines[i + 1]).empty())
            list.push_back(lines[i] + "=" + lines[i + 1]);
    return list;
}

void TWMATagFrame::SetAsList(const TNameValueList& list)
{
    std::string text;
    for (const std::string& entry : list)
        text += ListEntryName(entry) + "\r\n" + ListEntryValue(entry) + "\r\n";
    SetAsText(text);
}

bool TWMATagFrame::IsCoverArt() const { return SameTextAscii(Name, PictureName); }

bool TWMATagFrame::IsPicture() const
{
    TPictureLayout layout;
    return IsCoverArt() && Format == wmaTypeBinary && PictureLayout(Stream, layout, DeferredSize);
}

bool TWMATagFrame::Empty() const
{
    if (Format == wmaTypeString)
        return std::all_of(Stream.begin(), Stream.end(), [](uint8_t b) { return b == 0; });
    return Stream.empty();
}

void TWMATagFrame::Clear()
{
    Format = wmaTypeString;
    Stream.clear();
    Language = 0;
    ValueOffset = DeferredSize = 0;
}

void TWMATagFrame::Assign(const TWMATagFrame& source)
{
    Name = source.Name;
    Format = source.Format;
    Stream = source.Stream;
    Language = source.Language;
    ValueOffset = source.ValueOffset;
    DeferredSize = source.DeferredSize;
}

bool TWMATagFrame::Delete() { return Parent && Parent->DeleteFrame(Index); }

// --- the tag ---

void TWMATag::ResetProperties()
{
    FLoaded = false;
    FFileSize = FPlayDuration = FPreroll = 0;
    FFlags = FMaxBitrate = 0;
    FHasAudio = FHasVideo = FIsProtected = false;
    FAudio = {};
}

void TWMATag::Clear()
{
    Frames.clear();
    ResetProperties();
}

int TWMATag::LoadFromFile(const std::string& fileName)
{
    Clear();
    FileName = fileName;
    if (!FileExists(fileName))
        return wmaFileNotFound;
    TFileStream file;
    if (!file.Open(fileName))
        return wmaCannotOpen;
    return LoadFromStream(file);
}

void TWMATag::Renumber(size_t from)
{
    for (size_t i = from; i < Frames.size(); ++i) {
        Frames[i]->Index = int(i);
        Frames[i]->Parent = this;
    }
}

TWMATagFrame* TWMATag::AddFrame(const std::string& name)
{
    auto frame = std::make_unique<TWMATagFrame>();
    frame->Name = name;
    Frames.push_back(std::move(frame));
    Renumber(Frames.size() - 1);
    return Frames.back().get();
}

bool TWMATag::DeleteFrame(int index)
{
    if (index < 0 || index >= Count())
        return false;
    Frames.erase(Frames.begin() + index);
    Renumber(size_t(index));
    return true;
}

void TWMATag::DeleteFrameByName(const std::string& name)
{
    std::erase_if(Frames, [&](const auto& frame) { return SameTextAscii(frame->Name, name); });
    Renumber(0);
}

void TWMATag::DeleteAllFrames() { Frames.clear(); }

int TWMATag::GetAttribIndex(const std::string& name) const
{
    for (size_t i = 0; i < Frames.size(); ++i)
        if (SameTextAscii(Frames[i]->Name, name))
            return int(i);
    return -1;
}

std::string TWMATag::ReadFrameByNameAsText(const std::string& name) const
{
    const int index = GetAttribIndex(name);
    return index >= 0 ? Frames[size_t(index)]->GetAsText() : std::string();
}

bool TWMATag::ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const
{
    const int index = GetAttribIndex(name);
    list = index >= 0 ? Frames[size_t(index)]->GetAsList() : TNameValueList();
    return index >= 0;
}

int64_t TWMATag::ReadAsInteger(const std::string& name) const
{
    const int index = GetAttribIndex(name);
    return index >= 0 ? Frames[size_t(index)]->GetAsInteger() : 0;
}

void TWMATag::SetTextFrameText(const std::string& name, const std::string& text)
{
    const int index = GetAttribIndex(name);
    (index >= 0 ? Frames[size_t(index)].get() : AddFrame(name))->SetAsText(text);
}

void TWMATag::SetListFrameText(const std::string& name, const TNameValueList& list)
{
    const int index = GetAttribIndex(name);
    (index >= 0 ? Frames[size_t(index)].get() : AddFrame(name))->SetAsList(list);
}

bool TWMATag::SetAsInteger(const std::string& name, TWMAAttributeType format, uint64_t value)
{
    if (format != wmaTypeDWORD && format != wmaTypeBool && format != wmaTypeQWORD && format != wmaTypeWORD)
        return false;
    const int index = GetAttribIndex(name);
    return (index >= 0 ? Frames[size_t(index)].get() : AddFrame(name))->SetAsInteger(format, value);
}

TWMATagFrame* TWMATag::AddCoverArtFrame()
{
    TWMATagFrame* frame = AddFrame(PictureName);
    frame->Format = wmaTypeBinary;
    return frame;
}

bool TWMATag::SetCoverArtFrame(int index, const std::vector<uint8_t>& picture, const std::string& description,
    uint8_t pictureType, const std::string& mimeType)
{
    if (index < 0 || index >= Count() || !Frames[size_t(index)]->IsCoverArt())
        return false;
    TNativePicture value;
    value.Data = picture;
    value.Description = description;
    value.CoverType = pictureType;
    value.MIMEType = mimeType;
    Frames[size_t(index)]->Format = wmaTypeBinary;
    Frames[size_t(index)]->Stream = BuildWMAPicture(value);
    Frames[size_t(index)]->DeferredSize = 0;
    return true;
}

bool TWMATag::GetCoverArtFromFrame(int index, std::vector<uint8_t>& picture, std::string& description,
    uint8_t& pictureType, std::string& mimeType) const
{
    if (index < 0 || index >= Count() || !Frames[size_t(index)]->IsPicture()
        || Frames[size_t(index)]->DeferredSize != 0)
        return false;
    TNativePicture value;
    ParseWMAPicture(Frames[size_t(index)]->Stream, value);
    picture = std::move(value.Data);
    description = value.Description;
    pictureType = uint8_t(value.CoverType);
    mimeType = value.MIMEType;
    return true;
}

void TWMATag::DeleteAllCoverArts()
{
    std::erase_if(Frames, [](const auto& frame) { return frame->IsPicture(); });
    Renumber(0);
}

int TWMATag::CoverArtCount() const
{
    return int(std::count_if(Frames.begin(), Frames.end(), [](const auto& frame) { return frame->IsPicture(); }));
}

void TWMATag::Assign(const TWMATag& source)
{
    if (&source == this)
        return;
    Frames.clear();
    for (const auto& frame : source.Frames)
        AddFrame(frame->Name)->Assign(*frame);
    FileName = source.FileName;
    PaddingToWrite = source.PaddingToWrite;
    FLoaded = source.FLoaded;
    FFileSize = source.FFileSize;
    FPlayDuration = source.FPlayDuration;
    FPreroll = source.FPreroll;
    FFlags = source.FFlags;
    FMaxBitrate = source.FMaxBitrate;
    FHasAudio = source.FHasAudio;
    FHasVideo = source.FHasVideo;
    FIsProtected = source.FIsProtected;
    FAudio = source.FAudio;
}

bool TWMATag::Assign(const TNativeTag& source)
{
    const auto* wma = dynamic_cast<const TWMATag*>(&source);
    if (!wma)
        return false;
    Assign(*wma);
    return true;
}

uint64_t TWMATag::Duration() const
{
    const uint64_t preroll = FPreroll > UINT64_MAX / 10000 ? UINT64_MAX : FPreroll * 10000;
    return FPlayDuration > preroll ? FPlayDuration - preroll : 0;
}

uint32_t TWMATag::BitRate() const
{
    if (FAudio.AvgBytesPerSec && FAudio.AvgBytesPerSec <= UINT32_MAX / 8)
        return FAudio.AvgBytesPerSec * 8;
    return FMaxBitrate;
}

uint64_t TWMATag::NumberOfFrames() const
{
    const double samples = double(Duration()) / 1e7 * FAudio.SamplesPerSec;
    return samples < 1.8e19 ? uint64_t(std::llround(samples)) : 0;
}

TAudioPropertySet TWMATag::AudioProperties() const
{
    TAudioPropertySet set;
    set.Channels = FAudio.Channels;
    set.SamplesPerSec = FAudio.SamplesPerSec;
    set.BitsPerSample = FAudio.BitsPerSample;
    set.PlayTime = double(Duration()) / 1e7;
    set.SampleCount = NumberOfFrames();
    set.BitRate = RoundProperty<uint32_t>(BitRate() / 1000.0);
    // A WMA file answers for its stream format; only when its header names no audio
    // format does the search end here with nothing.
    set.StopsFormatWalk = FAudio.Channels == 0 && FAudio.SamplesPerSec == 0;
    return set;
}

TNativePicture TWMATag::AttributePicture(int index) const
{
    const TWMATagFrame& frame = *Frames[size_t(index)];
    TNativePicture picture;
    ParseWMAPicture(frame.Stream, picture, frame.DeferredSize);
    if (picture.DeferredSize != 0)
        picture.DeferredOffset += frame.ValueOffset;
    return picture;
}

bool TWMATag::HasDeferredPictures() const
{
    return std::any_of(Frames.begin(), Frames.end(), [](const auto& frame) { return frame->DeferredSize != 0; });
}

bool TWMATag::LoadDeferredPictures(TStream& source)
{
    bool all = true;
    for (const auto& frame : Frames) {
        if (frame->DeferredSize == 0)
            continue;
        // The bytes at hand must still be there: a file changed since it was loaded is not
        // where its pictures were.
        const size_t lead = frame->Stream.size();
        const uint64_t at = frame->ValueOffset;
        if (at > source.Size() || source.Size() - at < lead + frame->DeferredSize
            || source.ReadAt(at, lead) != frame->Stream) {
            all = false;
            continue;
        }
        std::vector<uint8_t> bytes = frame->Stream;
        bytes.resize(lead + size_t(frame->DeferredSize));
        if (!source.Seek(at + lead) || !source.ReadExact(bytes.data() + lead, size_t(frame->DeferredSize))) {
            all = false;
            continue;
        }
        frame->Stream = std::move(bytes);
        frame->ValueOffset = frame->DeferredSize = 0;
    }
    return all;
}

// Deferred pictures come in from the loaded file before anything is written.
bool TWMATag::FetchDeferredPictures()
{
    if (!HasDeferredPictures())
        return true;
    TFileStream file;
    return !FileName.empty() && file.Open(FileName) && LoadDeferredPictures(file);
}

void TWMATag::AddText(const std::string& name, const std::string& text) { AddFrame(name)->SetAsText(text); }

void TWMATag::AddInteger(const std::string& name, uint32_t value) { AddFrame(name)->SetAsInteger(wmaTypeDWORD, value); }

void TWMATag::AddList(const std::string& name, const TNameValueList& list) { AddFrame(name)->SetAsList(list); }

void TWMATag::AddPicture(const TNativePicture& picture)
{
    TWMATagFrame* frame = AddCoverArtFrame();
    frame->Stream = BuildWMAPicture(picture);
    frame->DeferredSize = 0;
}

} // namespace vantor
