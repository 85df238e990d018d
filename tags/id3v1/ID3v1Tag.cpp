#include "tags/id3v1/ID3v1Tag.h"

#include "tags/id3v1/ID3v1Genres.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"

#include <cstring>

namespace vantor {

namespace {

constexpr size_t TagSize = 128;
constexpr uint64_t LyricsTrailerSize = 15; // 6-digit size and "LYRICS200"

std::string FieldText(const uint8_t* p, size_t length)
{
    size_t n = 0;
    while (n < length && p[n] != 0)
        ++n;
    return TrimText(Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(p), n)));
}

// A field's text ends at its first NUL, where readers stop: what would follow it is left out,
// as behind the comment it would take the byte of the track number.
void PutField(uint8_t* p, size_t length, const std::string& text)
{
    const std::string ascii = Utf8ToAscii(text.substr(0, text.find('\0')));
    std::memset(p, 0, length);
    std::memcpy(p, ascii.data(), std::min(length, ascii.size()));
}

// A decimal number of exactly `digits` digits; false otherwise.
bool ParseDigits(const uint8_t* p, size_t digits, uint32_t& value)
{
    value = 0;
    for (size_t i = 0; i < digits; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        value = value * 10 + uint32_t(p[i] - '0');
    }
    return true;
}

std::string Digits(uint32_t value, int width)
{
    std::string s = std::to_string(value);
    return std::string(size_t(width > int(s.size()) ? width - int(s.size()) : 0), '0') + s;
}

} // namespace

bool HasID3v1Tag(TStream& stream)
{
    const uint64_t size = stream.Size();
    if (size < TagSize)
        return false;
    const auto tail = stream.ReadAt(size - TagSize, TagSize);
    return tail.size() == TagSize && std::memcmp(tail.data(), "TAG", 3) == 0
        && std::memcmp(tail.data() + TagSize - 32, "APETAGEX", 8) != 0;
}

uint64_t FindLyrics3Block(TStream& stream, uint64_t tagEnd)
{
    if (tagEnd < LyricsTrailerSize + 11)
        return 0;
    const auto trailer = stream.ReadAt(tagEnd - LyricsTrailerSize, LyricsTrailerSize);
    uint32_t size;
    if (trailer.size() != LyricsTrailerSize || std::memcmp(trailer.data() + 6, "LYRICS200", 9) != 0
        || !ParseDigits(trailer.data(), 6, size) || size < 11 || size > tagEnd - LyricsTrailerSize)
        return 0;
    const auto begin = stream.ReadAt(tagEnd - LyricsTrailerSize - size, 11);
    if (begin.size() != 11 || std::memcmp(begin.data(), "LYRICSBEGIN", 11) != 0)
        return 0;
    return size + LyricsTrailerSize;
}

void TID3v1Tag::Clear()
{
    Loaded = false;
    Revision1 = false;
    Title.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Track = 0;
    TrackString.clear();
    Genre.clear();
    LyricsFrames.clear();
    LyricsHasTimeStamp = false;
    InhibitTracksForRandomSelection = false;
    FLyricsTagSize = 0;
    FFileSize = 0;
}

int TID3v1Tag::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream file;
    if (!file.Open(fileName))
        return id3v1ErrorOpeningFile;
    const int result = LoadFromStream(file);
    if (result == id3v1Success)
        FileName = fileName;
    return result;
}

int TID3v1Tag::LoadFromStream(TStream& stream)
{
    Clear();
    FFileSize = stream.Size();
    if (stream.Size() < TagSize)
        return id3v1NoTag;
    const auto bytes = stream.ReadAt(stream.Size() - TagSize, TagSize);
    if (bytes.size() != TagSize) {
        Clear();
        return id3v1ErrorReading;
    }
    if (!HasID3v1Tag(stream))
        return id3v1NoTag;
    const uint8_t* p = bytes.data();
    Title = FieldText(p + 3, 30);
    Artist = FieldText(p + 33, 30);
    Album = FieldText(p + 63, 30);
    Year = FieldText(p + 93, 4);
    Comment = FieldText(p + 97, 30);
    // 255 is the conventional "no genre".
    Genre = p[127] == 0xFF ? std::string() : ID3v1GenreName(p[127]);
    if (p[125] == 0) {
        Track = p[126];
        TrackString = std::to_string(Track);
        Revision1 = true;
    }
    Loaded = true;
    LoadLyricsTag(stream);
    return id3v1Success;
}

int TID3v1Tag::LoadFromMemory(const void* address)
{
    if (!address)
        return id3v1NoTag;
    TMemoryView view(address, TagSize);
    return LoadFromStream(view);
}

bool TID3v1Tag::LoadLyricsTag(TStream& stream)
{
    if (!HasID3v1Tag(stream))
        return false;
    const uint64_t tagStart = stream.Size() - TagSize;
    const uint64_t blockSize = FindLyrics3Block(stream, tagStart);
    if (blockSize == 0)
        return false;
    FLyricsTagSize = uint32_t(blockSize - LyricsTrailerSize);
    const auto body = stream.ReadAt(tagStart - blockSize + 11, FLyricsTagSize - 11);
    if (body.size() != FLyricsTagSize - 11)
        return false;
    for (size_t at = 0; at + 8 <= body.size();) {
        uint32_t length;
        if (!ParseDigits(body.data() + at + 3, 5, length))
            break;
        std::string id(reinterpret_cast<const char*>(body.data() + at), 3);
        at += 8;
        if (length > body.size() - at)
            break;
        std::string data = Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(body.data() + at), length));
        at += length;
        if (id == "IND") {
            LyricsHasTimeStamp = data.size() > 1 && data[1] == '1';
            InhibitTracksForRandomSelection = data.size() > 2 && data[2] == '1';
        }
        // The extended fields give the full text of what the 30-byte fields cut.
        // An empty field was deleted: its old full text must not come back.
        auto extend = [&data](std::string& field) {
            if (!field.empty() && data.size() > field.size() && data.find(field) != std::string::npos)
                field = data;
        };
        if (id == "EAL")
            extend(Album);
        if (id == "EAR")
            extend(Artist);
        if (id == "ETT")
            extend(Title);
        auto frame = std::make_unique<TID3LyricsFrame>();
        frame->ID = std::move(id);
        frame->Data = std::move(data);
        LyricsFrames.push_back(std::move(frame));
    }
    return true;
}

std::vector<uint8_t> TID3v1Tag::LyricsTagBytes() const
{
    std::string body = "LYRICSBEGIN";
    auto field = [&body](const std::string& id, const std::string& utf8) {
        std::string data = Utf8ToCp1252(utf8);
        if (data.size() > 99999)
            data.resize(99999);
        body += id + Digits(uint32_t(data.size()), 5) + data;
    };
    field("IND", std::string("1") + (LyricsHasTimeStamp ? "1" : "0") + (InhibitTracksForRandomSelection ? "1" : "0"));
    bool wroteAlbum = false, wroteArtist = false, wroteTitle = false;
    for (const auto& frame : LyricsFrames) {
        if (frame->ID == "IND")
            continue;
        if (frame->ID == "EAL") {
            field("EAL", Album);
            wroteAlbum = true;
        } else if (frame->ID == "EAR") {
            field("EAR", Artist);
            wroteArtist = true;
        } else if (frame->ID == "ETT") {
            field("ETT", Title);
            wroteTitle = true;
        } else
            field(frame->ID, frame->Data);
    }
    // Texts the 30-byte fields cannot hold go into the extended fields.
    if (!wroteAlbum && Utf8Length(Album) > 30)
        field("EAL", Album);
    if (!wroteArtist && Utf8Length(Artist) > 30)
        field("EAR", Artist);
    if (!wroteTitle && Utf8Length(Title) > 30)
        field("ETT", Title);
    if (body.size() > 999999)
        body.resize(999999);
    body += Digits(uint32_t(body.size()), 6) + "LYRICS200";
    return std::vector<uint8_t>(body.begin(), body.end());
}

bool TID3v1Tag::LyricsTagSaveToStream(TStream& stream) { return stream.Write(LyricsTagBytes()); }

bool TID3v1Tag::HasContent() const
{
    return !Title.empty() || !Artist.empty() || !Album.empty() || !Year.empty() || !Comment.empty() || Track != 0
        || !Genre.empty();
}

namespace {

// Takes an ID3v1 tag without content out of the stream, with the Lyrics3 block in front of it
// when that block only repeats the tag's texts. False when the tag has to stay, to keep the
// lyrics readable.
bool RemoveEmptyTag(TStream& stream)
{
    if (!HasID3v1Tag(stream))
        return FindLyrics3Block(stream, stream.Size()) == 0; // a Lyrics3 block needs a tag behind it
    const uint64_t tagStart = stream.Size() - TagSize;
    const uint64_t lyrics = FindLyrics3Block(stream, tagStart);
    if (lyrics) {
        TID3v1Tag probe;
        probe.LoadLyricsTag(stream);
        for (const auto& frame : probe.LyricsFrames)
            if (frame->ID != "IND" && frame->ID != "EAL" && frame->ID != "EAR" && frame->ID != "ETT")
                return false;
    }
    return stream.Truncate(tagStart - lyrics);
}

} // namespace

int TID3v1Tag::SaveToStream(TStream& stream)
{
    // An empty tag is not kept in the file: its fields were deleted.
    if (!HasContent() && RemoveEmptyTag(stream))
        return id3v1Success;
    uint64_t position = stream.Size();
    const uint64_t probe = stream.Size() >= TagSize ? stream.Size() - TagSize : 0;
    if (stream.Size() >= 3) {
        const auto old = stream.ReadAt(probe, 3);
        if (old.size() != 3)
            return id3v1ErrorReading;
        if (std::memcmp(old.data(), "TAG", 3) == 0 && (stream.Size() < TagSize || HasID3v1Tag(stream)))
            position = probe;
    }

    uint8_t record[TagSize] = {};
    std::memcpy(record, "TAG", 3);
    PutField(record + 3, 30, Title);
    PutField(record + 33, 30, Artist);
    PutField(record + 63, 30, Album);
    PutField(record + 93, 4, Year);
    PutField(record + 97, 30, Comment);
    record[127] = Genre.empty() ? uint8_t(0xFF) : uint8_t(ID3v1GenreIndex(Genre));
    if (record[125] == 0)
        record[126] = Track;
    if (!stream.Seek(position) || !stream.Write(record, TagSize))
        return id3v1ErrorWriting;
    return id3v1Success;
}

int TID3v1Tag::SaveToFile(const std::string& fileName, bool writeLyricsTag)
{
    TFileEditStream file;
    if (file.Open(fileName, true) != TFileEditResult::Success)
        return id3v1ErrorOpeningFile;
    if (writeLyricsTag) {
        const auto lyrics = LyricsTagBytes();
        if (HasID3v1Tag(file)) {
            const uint64_t tagStart = file.Size() - TagSize;
            const uint64_t old = FindLyrics3Block(file, tagStart);
            file.Replace(tagStart - old, old, lyrics.data(), lyrics.size());
        } else {
            file.Replace(file.Size(), 0, lyrics.data(), lyrics.size());
        }
    }
    const int result = SaveToStream(file);
    if (result != id3v1Success)
        return result;
    if (file.Commit() != TFileEditResult::Success)
        return id3v1ErrorWriting;
    FileName = fileName;
    return id3v1Success;
}

TID3LyricsFrame* TID3v1Tag::AddLyricsFrame(const std::string& id)
{
    auto frame = std::make_unique<TID3LyricsFrame>();
    frame->ID = id;
    LyricsFrames.push_back(std::move(frame));
    return LyricsFrames.back().get();
}

bool TID3v1Tag::DeleteLyricsFrame(int index)
{
    if (index < 0 || index >= int(LyricsFrames.size()))
        return false;
    LyricsFrames.erase(LyricsFrames.begin() + index);
    return true;
}

TID3LyricsFrame* TID3v1Tag::FindLyricsFrame(const std::string& id)
{
    for (auto& frame : LyricsFrames)
        if (frame->ID == id)
            return frame.get();
    return nullptr;
}

std::string TID3v1Tag::GetLyrics()
{
    const TID3LyricsFrame* frame = FindLyricsFrame("LYR");
    return frame ? frame->Data : std::string();
}

void TID3v1Tag::SetLyrics(const std::string& text)
{
    TID3LyricsFrame* frame = FindLyricsFrame("LYR");
    if (!frame)
        frame = AddLyricsFrame("LYR");
    frame->Data = text;
}

bool TID3v1Tag::Assign(const TID3v1Tag& source)
{
    if (&source == this)
        return true;
    Clear();
    FileName = source.FileName;
    Loaded = source.Loaded;
    Revision1 = source.Revision1;
    Title = source.Title;
    Artist = source.Artist;
    Album = source.Album;
    Year = source.Year;
    Comment = source.Comment;
    Track = source.Track;
    TrackString = source.TrackString;
    Genre = source.Genre;
    for (const auto& frame : source.LyricsFrames)
        LyricsFrames.push_back(std::make_unique<TID3LyricsFrame>(*frame));
    LyricsHasTimeStamp = source.LyricsHasTimeStamp;
    InhibitTracksForRandomSelection = source.InhibitTracksForRandomSelection;
    FLyricsTagSize = source.FLyricsTagSize;
    FFileSize = source.FFileSize;
    return true;
}

} // namespace vantor
