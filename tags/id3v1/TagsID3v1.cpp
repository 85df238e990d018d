// ID3v1 fields ↔ unified fields.

#include "tags/Tags.h"

#include "tags/NumberText.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/io/TextCodec.h"

namespace vantor {

namespace {

// The number of a "number/total" track field: the tag has no room for the total,
// but the number itself fits.
uint8_t TrackNumber(const std::string& text) { return NumberOrZero<uint8_t>(SplitNumberAndTotal(text).Number); }

} // namespace

void TTags::LoadID3v1Tags()
{
    const TID3v1Tag& tag = *ID3v1Tag;
    auto take = [this](const char* name, const std::string& value) {
        if (value.empty())
            return;
        RemoveFieldsNamed(name);
        AddField(name, value);
    };
    take("TITLE", tag.Title);
    take("ARTIST", tag.Artist);
    take("ALBUM", tag.Album);
    take("YEAR", tag.Year);
    take("COMMENT", tag.Comment);
    if (tag.Track != 0) {
        RemoveFieldsNamed("TRACKNUMBER");
        RemoveFieldsNamed("TRACK");
        AddField("TRACKNUMBER", std::to_string(tag.Track));
    }
    take("GENRE", tag.Genre);
}

int TTags::SaveID3v1Tag(const std::string& fileName, TStream* stream)
{
    TID3v1Tag& tag = *ID3v1Tag;
    tag.Revision1 = true;
    tag.Title = GetTag("TITLE");
    tag.Artist = GetTag("ARTIST");
    tag.Album = GetTag("ALBUM");
    tag.Year = GetTag("YEAR");
    if (tag.Year.empty())
        tag.Year = GetTag("RELEASEDATE");
    if (tag.Year.empty())
        tag.Year = GetTag("RECORDINGDATE");
    tag.Comment = GetTag("COMMENT");
    tag.Track = Exists("TRACKNUMBER") >= 0 ? TrackNumber(GetTag("TRACKNUMBER")) : TrackNumber(GetTag("TRACK"));
    tag.Genre = GetTag("GENRE");
    return stream ? tag.SaveToStream(*stream) : tag.SaveToFile(fileName, false);
}

} // namespace vantor
