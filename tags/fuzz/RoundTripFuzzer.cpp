// Load every format from memory, change fields and pictures, save in memory
// with the automatic choice and explicitly, and load the result again: what
// was saved must load and hold the changes, as far as the kind of tag written
// can hold them. Then the same with every field and picture deleted: the tag
// must be gone.
#include "tags/FormatDetection.h"
#include "tags/Tags.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

using namespace vantor;

const uint8_t Jpeg[] = { 0xFF, 0xD8, 0xFF, 0xD9 };

// The save type under test and what loaded back, shown in the report of a mismatch.
TTagType SavedType = ttNone;
const TTags* Reloaded = nullptr;

#define Expect(condition) ExpectAt(condition, #condition)
void ExpectAt(bool condition, const char* text)
{
    if (condition)
        return;
    std::fprintf(stderr, "round trip with tag type %d: failed %s\n", int(SavedType), text);
    if (Reloaded) {
        for (const auto& field : Reloaded->Tags)
            std::fprintf(stderr, "  loaded back: %s=%s\n", field->Name.c_str(), field->Value.c_str());
        for (int kind = ttAPEv2; kind <= ttWMA; ++kind)
            if (Reloaded->IsLoaded(TTagType(kind)))
                std::fprintf(stderr, "  tag type %d found\n", kind);
    }
    std::abort();
}

// ID3v1 is the one kind with fixed fields: no custom names, no pictures, and a
// track number without a total.
bool HoldsEverything(TTagType kind) { return kind != ttID3v1; }

// APEv2, ID3v1 and ID3v2 tags sit beside the audio and are taken out once
// empty. Native frames the unified model does not show (an ID3v2 PRIV, a binary
// APEv2 item, Lyrics3 lyrics in front of ID3v1) are kept on purpose, and keep
// their tag. The other kinds are part of their container and stay, empty.
bool MustBeGone(const TTags& saved, TTagType kind)
{
    switch (kind) {
    case ttAPEv2: return saved.APEv2Tag->Count() == 0;
    case ttID3v1: return saved.ID3v1Tag->LyricsFrames.empty();
    case ttID3v2: return saved.ID3v2Tag->FrameCount() == 0;
    default: return false;
    }
}

// The kinds a save of that type writes into the stream.
std::vector<TTagType> KindsWritten(TTagType type, TStream& stream)
{
    return type == ttAutomatic ? NaturalTagTypes(DetectAudioFormat(stream)) : std::vector<TTagType> { type };
}

// Loads the stream merging only the given kinds, so that tags the save left
// alone cannot hide what it wrote.
void LoadKinds(TTags& tags, TStream& stream, const std::vector<TTagType>& kinds)
{
    Reloaded = &tags;
    tags.TagLoadPriority.fill(ttNone);
    std::copy(kinds.begin(), kinds.end(), tags.TagLoadPriority.begin());
    // A file that was nothing but a tag is empty once the tag is out.
    Expect(tags.LoadFromStream(stream) == tlSuccess || stream.Size() == 0);
}

bool HasCover(const TTags& tags)
{
    return std::any_of(tags.CoverArts.begin(), tags.CoverArts.end(),
        [](const auto& picture) { return picture->Stream.Bytes() == std::vector<uint8_t>(Jpeg, Jpeg + sizeof Jpeg); });
}

void ExpectChanges(const TTags& saved, const TTags& back, const std::vector<TTagType>& kinds)
{
    Expect(back.TypeCount("TITLE") == 1 && back.GetTag("TITLE") == "Fuzzed title");
    Expect(back.Exists("ARTIST") < 0);
    const bool full = std::all_of(kinds.begin(), kinds.end(), HoldsEverything);
    if (full) {
        const std::string track = back.GetTag("TRACKNUMBER");
        Expect(track == "4/9" || (track == "4" && back.GetTag("TOTALTRACKS") == "9"));
        Expect(back.GetTag("CUSTOM") == "x");
        Expect(HasCover(back));
    } else {
        // ID3v1 keeps the track number in the comment's last two bytes, free only when the
        // comment saved (up to a NUL, in ASCII) is shorter.
        const std::string comment = saved.GetTag("COMMENT");
        Expect(back.GetTag("TRACKNUMBER") == "4" || Utf8ToAscii(comment.substr(0, comment.find('\0'))).size() > 28);
    }
}

// Of several bext or cart chunks only the first is read, and a save keeps the others, which
// the model never saw: once the first is gone, the next one is found.
bool HoldsTwice(const uint8_t* data, size_t size, const char* id)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const size_t first = bytes.find(id);
    return first != std::string_view::npos && bytes.find(id, first + 1) != std::string_view::npos;
}

bool FromKeptChunk(const TTag& field, const uint8_t* data, size_t size)
{
    return (field.Name.rfind("CART ", 0) == 0 && HoldsTwice(data, size, "cart"))
        || (field.Name.rfind("BEXT ", 0) == 0 && HoldsTwice(data, size, "bext"));
}

void ExpectNoTag(
    const TTags& saved, const TTags& back, const std::vector<TTagType>& kinds, const uint8_t* data, size_t size)
{
    Expect(std::all_of(back.Tags.begin(), back.Tags.end(), [&](const auto& field) {
        return FromKeptChunk(*field, data, size);
    }) && back.CoverArtCount() == 0);
    for (TTagType kind : kinds)
        Expect(!MustBeGone(saved, kind) || !back.IsLoaded(kind));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TTags tags;
    if (tags.LoadFromMemory(data, int64_t(size)) != tlSuccess)
        return 0;
    tags.SetTag("TITLE", "Fuzzed title");
    tags.SetTag("TRACKNUMBER", "4/9");
    tags.SetTag("CUSTOM", "x");
    tags.Clear("ARTIST");
    TMemoryView picture(Jpeg, sizeof Jpeg);
    tags.AddCoverArt("Cover", picture, "image/jpeg");

    for (TTagType type : { ttAutomatic, ttAPEv2, ttID3v1, ttID3v2 }) {
        TMemoryStream copy(data, size);
        const std::vector<TTagType> kinds = KindsWritten(type, copy);
        SavedType = type;
        if (tags.SaveToStream(copy, type) != tlSuccess)
            continue;
        TTags back;
        LoadKinds(back, copy, kinds);
        ExpectChanges(tags, back, kinds);
    }

    // Every field and picture deleted: the tags are taken out of the bytes.
    while (tags.Count() > 0)
        tags.Delete(tags.Count() - 1);
    tags.DeleteAllCoverArts();
    for (TTagType type : { ttAutomatic, ttAPEv2, ttID3v1, ttID3v2 }) {
        TMemoryStream copy(data, size);
        const std::vector<TTagType> kinds = KindsWritten(type, copy);
        SavedType = type;
        if (tags.SaveToStream(copy, type) != tlSuccess)
            continue;
        TTags back;
        LoadKinds(back, copy, kinds);
        ExpectNoTag(tags, back, kinds, data, size);
    }
    return 0;
}
