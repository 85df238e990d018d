// Deleting a unified field together with its native frames, so that a later
// save does not bring it back.

#include "tags/Tags.h"

#include "tags/FieldMaps.h"
#include "tags/MP4TagBase.h"
#include "tags/VorbisCommentTagBase.h"
#include "tags/WAVTagBase.h"
#include "tags/WMATagBase.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

namespace vantor {

namespace {

bool IsTrackName(const std::string& name) { return SameTextAscii(name, "TRACKNUMBER") || SameTextAscii(name, "TRACK"); }
bool IsDiscName(const std::string& name) { return SameTextAscii(name, "DISCNUMBER") || SameTextAscii(name, "DISC"); }

// A native text item stands for the field when name and text match; a track
// or disc number also stands for a "number/total" item it was split from.
bool Matches(
    const std::string& itemName, const std::string& itemText, const std::string& name, const std::string& value)
{
    if ((IsTrackName(name) && IsTrackName(itemName)) || (IsDiscName(name) && IsDiscName(itemName)))
        return SameTextAscii(itemText, value)
            || (itemText.size() > value.size() && itemText.compare(0, value.size(), value) == 0
                && itemText[value.size()] == '/');
    return SameTextAscii(itemName, name) && SameTextAscii(itemText, value);
}

void DeleteComments(TVorbisCommentTagBase* tag, const std::string& name, const std::string& value)
{
    if (!tag)
        return;
    for (int i = tag->CommentCount() - 1; i >= 0; --i)
        if (tag->CommentIsText(i) && Matches(tag->CommentName(i), tag->CommentText(i), name, value))
            tag->DeleteComment(i);
}

// The values an APEv2 item saved from this value loads as: text that is not UTF-8 loads
// decoded from the Windows code page, and a NUL separates values.
std::vector<std::string> APEv2LoadedValues(const std::string& value)
{
    TAPEv2Frame probe(nullptr, "");
    probe.SetAsText(value);
    return SplitAPEv2Values(probe.GetAsText());
}

// The field an APEv2 list item saved from this value loads as: entries whose name or value
// begins with blanks or control bytes load without them, and lines split again.
std::string APEv2LoadedList(const std::string& value)
{
    TAPEv2Frame probe(nullptr, "");
    probe.SetAsList(SplitTextLines(value));
    TNameValueList list;
    probe.GetAsList(list);
    return JoinTextLines(list);
}

// Clears a bext/cart field named like "BEXT Description"; false for other names.
bool ClearBroadcastField(TWAVTagBase& wav, const std::string& name)
{
    TBEXTFields& b = wav.BEXT;
    TCARTFields& c = wav.CART;
    struct TText {
        const char* Name;
        std::string* Field;
    };
    const TText texts[] = {
        { "BEXT Description", &b.Description },
        { "BEXT Originator", &b.Originator },
        { "BEXT OriginatorReference", &b.OriginatorReference },
        { "BEXT OriginationDate", &b.OriginationDate },
        { "BEXT OriginationTime", &b.OriginationTime },
        { "BEXT UMID", &b.UMID },
        { "BEXT CodingHistory", &b.CodingHistory },
        { "CART Version", &c.Version },
        { "CART Title", &c.Title },
        { "CART Artist", &c.Artist },
        { "CART CutID", &c.CutID },
        { "CART ClientID", &c.ClientID },
        { "CART Category", &c.Category },
        { "CART Classification", &c.Classification },
        { "CART OutCue", &c.OutCue },
        { "CART StartDate", &c.StartDate },
        { "CART StartTime", &c.StartTime },
        { "CART EndDate", &c.EndDate },
        { "CART EndTime", &c.EndTime },
        { "CART ProducerAppID", &c.ProducerAppID },
        { "CART ProducerAppVersion", &c.ProducerAppVersion },
        { "CART UserDef", &c.UserDef },
        { "CART URL", &c.URL },
        { "CART Reserved", &c.Reserved },
        { "CART TagText", &c.TagText },
    };
    for (const TText& t : texts)
        if (SameTextAscii(name, t.Name)) {
            t.Field->clear();
            return true;
        }
    if (SameTextAscii(name, "BEXT TimeReference")) {
        b.TimeReference = 0;
        return true;
    }
    if (SameTextAscii(name, "BEXT Version")) {
        b.Version = 0;
        return true;
    }
    if (SameTextAscii(name, "CART LevelReference")) {
        c.LevelReference = 0;
        return true;
    }
    for (int i = 0; i < 8; ++i)
        if (SameTextAscii(name, "CART PostTimer" + std::to_string(i))) {
            c.PostTimers[size_t(i)] = TCARTPostTimer {};
            return true;
        }
    return false;
}

} // namespace

void TTags::DeleteNativeCounterparts(const TTag& field)
{
    const std::string name = UpperAscii(field.Name);
    const std::string& value = field.Value;

    // APEv2, FLAC and Ogg: the text items of that name and value. An APEv2 item's values are
    // taken as LoadAPEv2Tags takes them; its text loads without leading blanks, so a value is
    // compared without them. A multi-value item loses only the matching values, and goes once
    // no value with content is left.
    const auto blank = [](const std::string& v) { return TrimLeftText(v).empty(); };
    const bool list = name == "TIPL" || name == "TMCL";
    const std::string savedList = list ? TrimLeftText(APEv2LoadedList(value)) : std::string();
    const std::vector<std::string> apeParts = APEv2LoadedValues(value);
    for (int i = APEv2Tag->Count() - 1; i >= 0; --i) {
        TAPEv2Frame& frame = *APEv2Tag->Frames[size_t(i)];
        if (frame.Format != ffText)
            continue;
        // A list item's field holds its entries as lines (see LoadAPEv2Tags): it goes when the
        // field was loaded from it, or when a save wrote it from the field.
        if (list) {
            TNameValueList entries;
            frame.GetAsList(entries);
            const std::string loaded = TrimLeftText(JoinTextLines(entries));
            if (Matches(frame.Name, loaded, name, TrimLeftText(value)) || Matches(frame.Name, loaded, name, savedList))
                APEv2Tag->DeleteFrame(i);
            continue;
        }
        std::vector<std::string> values = SplitAPEv2Values(frame.GetAsText());
        // A value holding NULs was saved as several values, which all go.
        bool matched = false;
        for (const std::string& part : apeParts) {
            const auto match = std::find_if(values.begin(), values.end(),
                [&](const std::string& v) { return Matches(frame.Name, TrimLeftText(v), name, TrimLeftText(part)); });
            if (match == values.end())
                break;
            values.erase(match);
            matched = true;
        }
        if (!matched)
            continue;
        if (std::all_of(values.begin(), values.end(), blank))
            APEv2Tag->DeleteFrame(i);
        else
            frame.SetAsText(JoinAPEv2Values(values));
    }
    DeleteComments(FlacTag.get(), name, value);
    DeleteComments(OggVorbisAndOpusTag.get(), name, value);

    // ID3v1
    TID3v1Tag& id3v1 = *ID3v1Tag;
    if (name == "TITLE")
        id3v1.Title.clear();
    else if (name == "ARTIST")
        id3v1.Artist.clear();
    else if (name == "ALBUM")
        id3v1.Album.clear();
    else if (name == "YEAR")
        id3v1.Year.clear();
    else if (name == "COMMENT")
        id3v1.Comment.clear();
    else if (name == "GENRE")
        id3v1.Genre.clear();
    else if (name == "TRACKNUMBER" || name == "TRACK")
        id3v1.Track = 0;

    // ID3v2: a field without a frame id of its own was saved as TXXX (see SaveID3v2Tag),
    // whether it was loaded from one or set by name.
    TID3v2Tag& id3v2 = *ID3v2Tag;
    std::string id = NameToID3v2FrameID(name);
    // The counter and the popularimeter come back as PLAYCOUNT and RATING.
    if (id.empty() && name == "PLAYCOUNT")
        id = "PCNT";
    if (id.empty() && name == "RATING" && field.ExtTagType != ettTXXX)
        id = "POPM";
    if (field.ExtTagType == ettWXXX) {
        for (int i = id3v2.FrameCount() - 1; i >= 0; --i) {
            if (id3v2.Frame(i)->IdText() != "WXXX")
                continue;
            std::string description;
            const std::string url = id3v2.GetUnicodeUserDefinedURLLink(i, description);
            if (description == field.Description && url == value)
                id3v2.DeleteFrame(i);
        }
    } else if (field.ExtTagType == ettTXXX || id.empty()) {
        const bool lastOfName = TypeCount(field.Name) <= 1;
        for (int i = id3v2.FrameCount() - 1; i >= 0; --i) {
            if (id3v2.Frame(i)->IdText() != "TXXX")
                continue;
            std::string description;
            std::vector<std::string> values;
            id3v2.GetUnicodeUserDefinedTextInformationMultiple(i, description, values);
            if (!SameTextAscii(description, field.Name))
                continue;
            // The last field of the name takes every frame of it: a save writes all values of a name
            // into one frame, and text that is not valid UTF-8 loads back changed.
            if (lastOfName || std::find(values.begin(), values.end(), value) != values.end())
                id3v2.DeleteFrame(i);
        }
    } else {
        id3v2.DeleteFrame(std::string_view(id));
    }

    if (MP4Tag) {
        // The fields LoadMP4Tags reads from coded atoms go back to those atoms: track and
        // disc numbers (with their totals), the genre (text or numbered), the media kind and
        // the store country.
        std::string atom = NameToMP4Atom(name);
        if (IsTrackName(name))
            atom = "trkn";
        else if (name == "DISCNUMBER" || name == "DISC")
            atom = "disk";
        else if (name == "MEDIA")
            atom = "stik";
        else if (name == "PURCHASECOUNTRY")
            atom = "sfID";
        else if (name == "GENRE")
            MP4Tag->SetGenre("");
        if (!atom.empty())
            MP4Tag->DeleteItems(atom);
        // A free-form item loads as a field of its name whatever its mean.
        for (int i = MP4Tag->ItemCount() - 1; i >= 0; --i)
            if (MP4Tag->ItemID(i) == "----" && SameTextAscii(MP4Tag->ItemName(i), field.Name))
                MP4Tag->DeleteItem(i);
    }

    if (WAVTag && !ClearBroadcastField(*WAVTag, field.Name)) {
        const std::string info = NameToRIFFInfoID(name);
        if (!info.empty())
            WAVTag->DeleteFrames(info);
    }

    if (WMATag) {
        const std::string attribute = NameToWMAAttribute(name);
        if (!attribute.empty())
            WMATag->DeleteAttributes(attribute);
    }
}

} // namespace vantor
