#include "tags/apev2/APEv2Tag.h"

#include "tags/NativeTag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vantor {

namespace {

constexpr uint64_t FooterSize = 32;
constexpr uint32_t FlagHasHeader = 0x80000000u;
constexpr uint32_t FlagIsHeader = 0x20000000u;
constexpr uint32_t FlagReadOnly = 0x00000001u;

struct TFooter {
    uint32_t Version = 0, Size = 0, ItemCount = 0, Flags = 0;
    bool ReservedZero = true;
};

// Where the APE tag's footer would end: before an ID3v1 tag and the Lyrics3
// block in front of it, else at the end.
uint64_t TagAreaEnd(TStream& stream)
{
    const uint64_t size = stream.Size();
    if (!HasID3v1Tag(stream))
        return size;
    const uint64_t id3v1Start = size - 128;
    return id3v1Start - FindLyrics3Block(stream, id3v1Start);
}

bool HasPreamble(TStream& stream, uint64_t position)
{
    const auto bytes = stream.ReadAt(position, 8);
    return bytes.size() == 8 && std::memcmp(bytes.data(), "APETAGEX", 8) == 0;
}

// The footer ends where the tag area ends (before ID3v1 and Lyrics3).
bool FindFooter(TStream& stream, uint64_t& footerStart)
{
    const uint64_t areaEnd = TagAreaEnd(stream);
    if (areaEnd < FooterSize || !HasPreamble(stream, areaEnd - FooterSize))
        return false;
    footerStart = areaEnd - FooterSize;
    return true;
}

// Reads the 24 bytes after the preamble; false when fewer are there.
bool ReadFooter(TStream& stream, uint64_t footerStart, TFooter& footer)
{
    const auto bytes = stream.ReadAt(footerStart + 8, 24);
    if (bytes.size() != 24)
        return false;
    footer.Version = GetLE32(bytes.data());
    footer.Size = GetLE32(bytes.data() + 4);
    footer.ItemCount = GetLE32(bytes.data() + 8);
    footer.Flags = GetLE32(bytes.data() + 12);
    for (int i = 16; i < 24; ++i)
        if (bytes[size_t(i)] != 0)
            footer.ReservedZero = false;
    return true;
}

std::string SizeText(uint64_t size)
{
    if (size < 1024)
        return std::to_string(size) + " Byte";
    static const char* const Units[] = { " KB", " MB", " GB", " TB", " PB", " EB", " ZB", " YB" };
    double value = double(size);
    int unit = -1;
    while (value >= 1024.0 && unit < 7) {
        value /= 1024.0;
        ++unit;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text + std::string(Units[unit]);
}

const uint8_t* FindPictureSignature(const uint8_t* begin, const uint8_t* end, TAPEv2PictureFormat& format)
{
    for (const uint8_t* p = begin; p + 1 < end; ++p) {
        const size_t left = size_t(end - p);
        if (p[0] == 0xFF && p[1] == 0xD8) {
            format = pfJPEG;
            return p;
        }
        if (p[0] == 0x42 && p[1] == 0x4D) {
            format = pfBMP;
            return p;
        }
        if (left >= 4 && p[0] == 0x89 && p[1] == 0x50 && p[2] == 0x4E && p[3] == 0x47) {
            format = pfPNG;
            return p;
        }
        if (left >= 4 && p[0] == 0x47 && p[1] == 0x49 && p[2] == 0x46 && p[3] == 0x38) {
            format = pfGIF;
            return p;
        }
    }
    format = pfUnknown;
    return nullptr;
}

std::string TextOf(const std::vector<uint8_t>& bytes, size_t from, size_t to)
{
    return Utf8OrCp1252(std::string_view(reinterpret_cast<const char*>(bytes.data()) + from, to - from));
}

} // namespace

// --- TAPEv2Frame ---

std::string TAPEv2Frame::GetAsText() const
{
    const auto& bytes = Stream.Bytes();
    if (Format == ffBinary)
        return "BINARY " + SizeText(bytes.size());
    return TrimLeftText(TextOf(bytes, 0, bytes.size()));
}

std::string TAPEv2Frame::GetAsTextANSI() const
{
    const auto& bytes = Stream.Bytes();
    if (Format == ffBinary)
        return "BINARY " + SizeText(bytes.size());
    return TrimLeftText(Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
}

void TAPEv2Frame::SetAsText(const std::string& text)
{
    Stream.Clear();
    Stream.Write(text.data(), text.size());
    Format = ffText;
}

bool TAPEv2Frame::GetAsList(TNameValueList& list) const
{
    list.clear();
    if (Format != ffText)
        return false;
    const auto& bytes = Stream.Bytes();
    std::vector<std::string> strings;
    size_t start = 0;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0) {
            strings.push_back(TrimLeftText(TextOf(bytes, start, i)));
            start = i + 1;
        }
    }
    if (start < bytes.size())
        strings.push_back(TrimLeftText(TextOf(bytes, start, bytes.size())));
    for (size_t i = 0; i + 1 < strings.size(); i += 2)
        list.push_back(strings[i] + "=" + strings[i + 1]);
    return true;
}

void TAPEv2Frame::SetAsList(const TNameValueList& list)
{
    Stream.Clear();
    for (const std::string& entry : list) {
        const std::string name = ListEntryName(entry), value = ListEntryValue(entry);
        Stream.Write(name.data(), name.size());
        Stream.Write("", 1);
        Stream.Write(value.data(), value.size());
        Stream.Write("", 1);
    }
    Format = ffText;
}

bool TAPEv2Frame::IsCoverArt() const
{
    if (Format != ffBinary)
        return false;
    if (SameTextAscii(Name, "Cover Art (Front)"))
        return true;
    const auto& bytes = Stream.Bytes();
    const uint8_t* begin = bytes.data();
    const uint8_t* end = begin + bytes.size();
    if (bytes.empty())
        return false;
    const uint8_t* nul = static_cast<const uint8_t*>(std::memchr(begin, 0, bytes.size()));
    TAPEv2PictureFormat format;
    return nul && FindPictureSignature(nul + 1, end, format);
}

void TAPEv2Frame::Clear()
{
    Stream.Clear();
    Format = ffUnknown;
}

bool TAPEv2Frame::Assign(const TAPEv2Frame& source)
{
    Name = source.Name;
    Format = source.Format;
    Stream.Bytes() = source.Stream.Bytes();
    Stream.Seek(0);
    ValueOffset = source.ValueOffset;
    DeferredSize = source.DeferredSize;
    return true;
}

// --- TAPEv2Tag: reading ---

void TAPEv2Tag::Clear()
{
    Loaded = false;
    Version = Flags = Size = 0;
    Frames.clear();
}

int TAPEv2Tag::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream file;
    if (!file.Open(fileName))
        return apeErrorOpeningFile;
    const int result = LoadFromStream(file);
    if (result == apeSuccess || result == apeNotSupportedVersion)
        FileName = fileName;
    return result;
}

int TAPEv2Tag::LoadFromStream(TStream& stream)
{
    Clear();
    const uint64_t position = stream.Position();
    int result = apeError;
    try {
        uint64_t footerStart = 0;
        TFooter footer;
        if (!FindFooter(stream, footerStart)) {
            result = apeNoTag;
        } else if (!ReadFooter(stream, footerStart, footer)) {
            result = apeNotSupported;
        } else {
            Version = footer.Version;
            Size = footer.Size;
            Flags = footer.Flags;
            const uint64_t footerEnd = footerStart + FooterSize;
            if (Version != 1000 && Version != 2000) {
                result = apeNotSupportedVersion;
            } else if (Size < FooterSize || Size > footerEnd) {
                result = apeNotSupportedFormat;
            } else {
                // The items lie between the first item and the footer; nothing outside
                // that region is read, whatever the item count claims.
                const auto items = stream.ReadAt(footerEnd - Size, Size - FooterSize);
                if (items.size() != Size - FooterSize)
                    result = apeErrorReading;
                else
                    result = ParseItems(items, footerEnd - Size, footer.ItemCount);
            }
        }
    } catch (...) {
        result = apeError;
    }
    stream.Seek(position);
    return result;
}

int TAPEv2Tag::ParseItems(const std::vector<uint8_t>& items, uint64_t itemsOffset, uint32_t itemCount)
{
    size_t at = 0;
    for (uint32_t n = 0; n < itemCount; ++n) {
        if (items.size() - at < 9)
            break;
        const uint32_t valueSize = GetLE32(items.data() + at);
        const uint32_t itemFlags = GetLE32(items.data() + at + 4);
        at += 8;
        const uint8_t* keyStart = items.data() + at;
        const auto* nul = static_cast<const uint8_t*>(std::memchr(keyStart, 0, items.size() - at));
        if (!nul)
            break;
        const std::string key =
            Utf8OrCp1252(std::string_view(reinterpret_cast<const char*>(keyStart), size_t(nul - keyStart)));
        at += size_t(nul - keyStart) + 1;
        if (valueSize > Size || valueSize > items.size() - at)
            return apeNotSupportedFormat;
        const int type = int((itemFlags >> 1) & 3);
        if (type == 0 || type == 1) {
            TAPEv2Frame* frame = AddFrame(key);
            frame->Format = type == 0 ? ffText : ffBinary;
            frame->Stream.Write(items.data() + at, valueSize);
            frame->Stream.Seek(0);
            if (type == 0 && Version == 1000) {
                // Version 1.0 values are in the ANSI code page.
                const auto& bytes = frame->Stream.Bytes();
                frame->SetAsText(
                    Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())));
            }
            if (DeferPictureData && frame->IsCoverArt()) {
                // Kept: the description and the picture's first bytes, which tell its format.
                TAPEv2PictureFormat format;
                std::string description;
                const uint8_t* data;
                size_t dataSize;
                if (GetCoverArtInfoPointer(frame->Index, format, description, data, dataSize)
                    && dataSize > 2 * PictureLeadBytes) {
                    const size_t lead = valueSize - dataSize + PictureLeadBytes;
                    frame->ValueOffset = itemsOffset + at;
                    frame->DeferredSize = valueSize - lead;
                    frame->Stream.Bytes().resize(lead);
                }
            }
            Loaded = true;
        }
        at += valueSize;
    }
    return apeSuccess;
}

// --- TAPEv2Tag: writing ---

int TAPEv2Tag::SaveToFile(const std::string& fileName)
{
    TFileEditStream file;
    if (file.Open(fileName, true) != TFileEditResult::Success)
        return apeErrorOpeningFile;
    const int result = SaveToStream(file);
    if (result != apeSuccess)
        return result;
    if (file.Commit() != TFileEditResult::Success)
        return apeErrorWriting;
    FileName = fileName;
    return apeSuccess;
}

std::vector<uint8_t> TAPEv2Tag::TagBytes() const
{
    std::vector<uint8_t> items;
    for (const auto& frame : Frames) {
        const std::string key = UpperCaseFieldNamesToWrite ? UpperAscii(frame->Name) : frame->Name;
        const auto& value = frame->Stream.Bytes();
        AppendLE32(items, uint32_t(value.size()));
        AppendLE32(items, frame->Format == ffBinary ? 2u : 0u);
        items.insert(items.end(), key.begin(), key.end());
        items.push_back(0);
        items.insert(items.end(), value.begin(), value.end());
    }
    // Header, items, footer; the two blocks differ only in their flags.
    std::vector<uint8_t> tag(items.size() + 2 * FooterSize, 0);
    auto block = [&](uint8_t* b, uint32_t flags) {
        std::memcpy(b, "APETAGEX", 8);
        PutLE32(b + 8, 2000);
        PutLE32(b + 12, uint32_t(items.size() + FooterSize));
        PutLE32(b + 16, uint32_t(Frames.size()));
        PutLE32(b + 20, flags);
    };
    block(tag.data(), FlagHasHeader | FlagIsHeader);
    if (!items.empty())
        std::memcpy(tag.data() + FooterSize, items.data(), items.size());
    block(tag.data() + FooterSize + items.size(), FlagHasHeader);
    return tag;
}

int TAPEv2Tag::SaveToStream(TStream& stream)
{
    try {
        if (!FetchDeferredPictures())
            return apeErrorOpeningFile;
        RemoveEmptyFrames();
        // A key ends at the first NUL: an empty key, or one with a NUL inside, would end the item
        // early and every item behind it would load wrongly.
        for (int i = int(Frames.size()) - 1; i >= 0; --i)
            if (Frames[size_t(i)]->Name.empty() || Frames[size_t(i)]->Name.find('\0') != std::string::npos)
                Frames.erase(Frames.begin() + i);
        Renumber();
        if (CalculateTagSize() > 0xFFFFFFFFull)
            return apeNotSupportedFormat;

        // The ID3v1 tag (with its Lyrics3 block) stays behind the APE tag.
        const uint64_t areaEnd = TagAreaEnd(stream);
        uint64_t start = areaEnd;
        uint64_t footerStart = 0;
        if (FindFooter(stream, footerStart)) {
            TFooter footer;
            if (!ReadFooter(stream, footerStart, footer) || !footer.ReservedZero)
                return apeNotSupported;
            if (footer.Version != 1000 && footer.Version != 2000)
                return apeNotSupportedVersion;
            if ((footer.Flags & ~(FlagHasHeader | FlagReadOnly)) != 0)
                return apeNotSupportedFormat;
            const uint64_t footerEnd = footerStart + FooterSize;
            if (footer.Size < FooterSize || footer.Size > footerEnd)
                return apeNotSupportedFormat;
            start = footerEnd - footer.Size;
            // Only take the header away when it is really there.
            if ((footer.Flags & FlagHasHeader) && start >= FooterSize && HasPreamble(stream, start - FooterSize))
                start -= FooterSize;
        } else if (Frames.empty()) {
            return apeEmptyTag;
        }
        // With no items left the old tag is taken out, so that deleted items do not come back.
        const std::vector<uint8_t> bytes = Frames.empty() ? std::vector<uint8_t>() : TagBytes();
        if (!stream.Replace(start, areaEnd - start, bytes.data(), bytes.size()))
            return apeErrorWriting;
        return apeSuccess;
    } catch (...) {
        return apeError;
    }
}

// --- TAPEv2Tag: items ---

void TAPEv2Tag::Renumber()
{
    for (size_t i = 0; i < Frames.size(); ++i)
        Frames[i]->Index = int32_t(i);
}

TAPEv2Frame* TAPEv2Tag::AddFrame(const std::string& name)
{
    Frames.push_back(std::make_unique<TAPEv2Frame>(this, name));
    Frames.back()->Index = int32_t(Frames.size() - 1);
    return Frames.back().get();
}

bool TAPEv2Tag::DeleteFrame(int index)
{
    if (index < 0 || index >= int(Frames.size()))
        return false;
    Frames.erase(Frames.begin() + index);
    Renumber();
    return true;
}

bool TAPEv2Tag::DeleteFrameByName(const std::string& name) { return DeleteFrame(FrameExists(name)); }

void TAPEv2Tag::DeleteAllFrames() { Frames.clear(); }

void TAPEv2Tag::DeleteAllCoverArts()
{
    for (int i = int(Frames.size()) - 1; i >= 0; --i)
        if (Frames[size_t(i)]->IsCoverArt())
            Frames.erase(Frames.begin() + i);
    Renumber();
}

int TAPEv2Tag::CoverArtCount() const
{
    int n = 0;
    for (const auto& frame : Frames)
        n += frame->IsCoverArt() ? 1 : 0;
    return n;
}

int TAPEv2Tag::FrameExists(const std::string& name) const
{
    for (size_t i = 0; i < Frames.size(); ++i)
        if (Frames[i]->Name == name)
            return int(i);
    return -1;
}

int TAPEv2Tag::FrameTypeCount(const std::string& name) const
{
    int n = 0;
    for (const auto& frame : Frames)
        n += frame->Name == name ? 1 : 0;
    return n;
}

uint64_t TAPEv2Tag::CalculateTotalFramesSize() const
{
    uint64_t total = 0;
    for (const auto& frame : Frames)
        total += frame->Stream.Size() + frame->DeferredSize + frame->Name.size() + 9;
    return total;
}

bool TAPEv2Tag::HasDeferredPictures() const
{
    return std::any_of(Frames.begin(), Frames.end(), [](const auto& frame) { return frame->DeferredSize != 0; });
}

bool TAPEv2Tag::LoadDeferredPictures(TStream& source)
{
    bool all = true;
    for (const auto& frame : Frames) {
        if (frame->DeferredSize == 0)
            continue;
        std::vector<uint8_t>& bytes = frame->Stream.Bytes();
        const size_t lead = bytes.size();
        const uint64_t at = frame->ValueOffset + lead;
        if (at > source.Size() || source.Size() - at < frame->DeferredSize) {
            all = false;
            continue;
        }
        bytes.resize(lead + size_t(frame->DeferredSize));
        if (!source.Seek(at) || !source.ReadExact(bytes.data() + lead, size_t(frame->DeferredSize))) {
            bytes.resize(lead);
            all = false;
            continue;
        }
        frame->DeferredSize = 0;
    }
    return all;
}

// Deferred cover items come in from the loaded file before anything is written.
bool TAPEv2Tag::FetchDeferredPictures()
{
    if (!HasDeferredPictures())
        return true;
    TFileStream file;
    return !FileName.empty() && file.Open(FileName) && LoadDeferredPictures(file);
}

uint64_t TAPEv2Tag::CalculateTagSize() const { return CalculateTotalFramesSize() + FooterSize; }

TAPEv2Frame* TAPEv2Tag::AddTextFrame(const std::string& name, const std::string& text)
{
    TAPEv2Frame* frame = AddFrame(name);
    frame->SetAsText(text);
    return frame;
}

TAPEv2Frame* TAPEv2Tag::AddBinaryFrame(const std::string& name, const void* data, size_t size)
{
    TAPEv2Frame* frame = AddFrame(name);
    frame->Format = ffBinary;
    frame->Stream.Write(data, size);
    frame->Stream.Seek(0);
    return frame;
}

bool TAPEv2Tag::SetTextFrameText(const std::string& name, const std::string& text)
{
    const int index = FrameExists(name);
    TAPEv2Frame* frame = index >= 0 ? Frames[size_t(index)].get() : AddFrame(name);
    frame->SetAsText(text);
    return true;
}

bool TAPEv2Tag::SetListFrameText(const std::string& name, const TNameValueList& list)
{
    const int index = FrameExists(name);
    TAPEv2Frame* frame = index >= 0 ? Frames[size_t(index)].get() : AddFrame(name);
    frame->SetAsList(list);
    return true;
}

std::string TAPEv2Tag::ReadFrameByNameAsText(const std::string& name) const
{
    const int index = FrameExists(name);
    return index >= 0 ? Frames[size_t(index)]->GetAsText() : std::string();
}

bool TAPEv2Tag::ReadFrameByNameAsList(const std::string& name, TNameValueList& list) const
{
    list.clear();
    const int index = FrameExists(name);
    return index >= 0 && Frames[size_t(index)]->GetAsList(list);
}

void TAPEv2Tag::RemoveEmptyFrames()
{
    for (int i = int(Frames.size()) - 1; i >= 0; --i)
        if (Frames[size_t(i)]->Stream.Size() == 0)
            Frames.erase(Frames.begin() + i);
    Renumber();
}

TAPEv2Frame* TAPEv2Tag::AddCoverArtFrame(const std::string& name, TStream& picture, const std::string& description)
{
    TAPEv2Frame* frame = AddFrame(name);
    SetCoverArtFrame(frame->Index, picture, description);
    return frame;
}

bool TAPEv2Tag::SetCoverArtFrame(int index, TStream& picture, const std::string& description)
{
    if (index < 0 || index >= int(Frames.size()))
        return false;
    TAPEv2Frame& frame = *Frames[size_t(index)];
    frame.Stream.Clear();
    frame.Stream.Write(description.data(), description.size());
    frame.Stream.Write("", 1);
    frame.Stream.Write(picture.ReadAll());
    frame.Stream.Seek(0);
    frame.Format = ffBinary;
    return true;
}

bool TAPEv2Tag::GetCoverArtInfoPointer(
    int index, TAPEv2PictureFormat& format, std::string& description, const uint8_t*& data, size_t& dataSize) const
{
    format = pfUnknown;
    description.clear();
    data = nullptr;
    dataSize = 0;
    if (index < 0 || index >= int(Frames.size()) || Frames[size_t(index)]->Format != ffBinary)
        return false;
    const auto& bytes = Frames[size_t(index)]->Stream.Bytes();
    if (bytes.empty())
        return false;
    const uint8_t* begin = bytes.data();
    const uint8_t* end = begin + bytes.size();
    const auto* nul = static_cast<const uint8_t*>(std::memchr(begin, 0, bytes.size()));
    if (!nul)
        return false;
    description = TextOf(bytes, 0, size_t(nul - begin));
    const uint8_t* picture = FindPictureSignature(nul + 1, end, format);
    data = picture ? picture : nul + 1;
    dataSize = size_t(end - data);
    return true;
}

bool TAPEv2Tag::GetCoverArtInfo(int index, TAPEv2PictureFormat& format, std::string& description) const
{
    const uint8_t* data;
    size_t size;
    return GetCoverArtInfoPointer(index, format, description, data, size);
}

bool TAPEv2Tag::GetCoverArtFromFrame(
    int index, TStream& picture, std::string& description, TAPEv2PictureFormat& format) const
{
    const uint8_t* data;
    size_t size;
    if (!GetCoverArtInfoPointer(index, format, description, data, size))
        return false;
    return picture.Write(data, size) && picture.Seek(0);
}

bool TAPEv2Tag::Assign(const TAPEv2Tag& source)
{
    if (&source == this)
        return true;
    Clear();
    FileName = source.FileName;
    Loaded = source.Loaded;
    Version = source.Version;
    Flags = source.Flags;
    Size = source.Size;
    UpperCaseFieldNamesToWrite = source.UpperCaseFieldNamesToWrite;
    for (const auto& frame : source.Frames)
        AddFrame(frame->Name)->Assign(*frame);
    return true;
}

std::vector<std::string> SplitAPEv2Values(const std::string& text)
{
    std::vector<std::string> values;
    size_t from = 0;
    for (size_t nul = text.find('\0'); nul != std::string::npos; nul = text.find('\0', from)) {
        values.push_back(text.substr(from, nul - from));
        from = nul + 1;
    }
    values.push_back(text.substr(from));
    return values;
}

std::string JoinAPEv2Values(const std::vector<std::string>& values)
{
    std::string text;
    for (size_t i = 0; i < values.size(); ++i)
        text += (i ? std::string(1, '\0') : std::string()) + values[i];
    return text;
}

} // namespace vantor
