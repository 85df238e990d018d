// ID3v2 frames ↔ unified fields.

#include "tags/Tags.h"

#include "tags/FieldMaps.h"
#include "tags/NumberText.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

namespace vantor {

namespace {

bool IsTrackName(const std::string& name) { return SameTextAscii(name, "TRACKNUMBER") || SameTextAscii(name, "TRACK"); }
bool IsDiscName(const std::string& name) { return SameTextAscii(name, "DISCNUMBER") || SameTextAscii(name, "DISC"); }

// Totals travel inside TRCK and TPOS.
bool IsTotalName(const std::string& name)
{
    return SameTextAscii(name, "TOTALTRACKS") || SameTextAscii(name, "TRACKTOTAL") || SameTextAscii(name, "TOTALDISCS")
        || SameTextAscii(name, "DISCTOTAL");
}

} // namespace

void TTags::LoadID3v2Tags()
{
    TID3v2Tag& tag = *ID3v2Tag;
    const int count = tag.FrameCount();

    // 1. Fields this tag is about to add give way.
    bool hasPicture = false;
    for (int i = 0; i < count; ++i) {
        const std::string id(tag.Frame(i)->IdText());
        const std::string name = ID3v2FrameIDToName(id);
        std::string description;
        if (!name.empty()) {
            RemoveFieldsNamed(name);
        } else if (id == "TXXX") {
            std::vector<std::string> values;
            tag.GetUnicodeUserDefinedTextInformationMultiple(i, description, values);
            if (!description.empty())
                RemoveFieldsNamed(description);
        } else if (id == "WXXX") {
            tag.GetUnicodeUserDefinedURLLink(i, description);
            RemoveFieldsNamed(description.empty() ? "URL" : description);
        } else if (id == "APIC") {
            hasPicture = true;
        } else if (id == "PCNT") {
            RemoveFieldsNamed("PLAYCOUNT");
        } else if (id == "POPM") {
            RemoveFieldsNamed("RATING");
        }
    }
    if (hasPicture)
        DeleteAllCoverArts();

    // 2. and 3. Every frame in tag order.
    for (int i = 0; i < count; ++i) {
        const std::string id(tag.Frame(i)->IdText());
        const std::string name = ID3v2FrameIDToName(id);
        if (!name.empty()) {
            std::string value, language, description;
            std::vector<std::string> strings;
            const TID3v2FrameKind kind = ID3v2FrameKind(id);
            switch (kind) {
            case fkText:
                tag.GetUnicodeTextMultiple(i, strings);
                value = JoinTextLines(strings);
                break;
            case fkContent: value = tag.GetUnicodeContent(i, language, description); break;
            case fkList: {
                std::vector<std::string> list;
                tag.GetUnicodeListFrame(i, list);
                value = JoinTextLines(list);
                break;
            }
            case fkURL: value = tag.GetURL(i); break;
            default: value = tag.GetUnicodeText(i); break;
            }
            const bool track = IsTrackName(name), disc = IsDiscName(name);
            const std::string first = strings.empty() ? value : strings.front();
            if ((track || disc) && first.find('/') != std::string::npos) {
                AddNumberAndTotal(track ? "TRACKNUMBER" : "DISCNUMBER", track ? "TOTALTRACKS" : "TOTALDISCS", first);
            } else if (kind == fkText) {
                if (strings.empty())
                    AddField(name, "");
                for (const std::string& s : strings)
                    AddField(name, s);
            } else if (TTag* field = AddField(name, value)) {
                field->Description = description;
                field->Language = language.size() == 3 ? language : std::string();
            }
            continue;
        }
        if (id == "TXXX") {
            std::string description;
            std::vector<std::string> values;
            tag.GetUnicodeUserDefinedTextInformationMultiple(i, description, values);
            if (description.empty())
                continue;
            for (const std::string& v : values) {
                if (TrimText(v).empty())
                    continue;
                if (TTag* field = AddField(description, v)) {
                    field->Description = description;
                    field->ExtTagType = ettTXXX;
                }
            }
        } else if (id == "WXXX") {
            std::string description;
            const std::string url = tag.GetUnicodeUserDefinedURLLink(i, description);
            if (url.empty())
                continue;
            if (TTag* field = AddField(description.empty() ? "URL" : description, url)) {
                field->Description = description;
                field->ExtTagType = ettWXXX;
            }
        } else if (id == "APIC") {
            const uint8_t* bytes = nullptr;
            size_t size = 0;
            std::string mime, description;
            uint32_t coverType = 0;
            uint8_t encoding = 0;
            if (!tag.GetCoverPictureInfoPointer(i, bytes, size, mime, description, coverType, encoding))
                continue;
            if (TCoverArt* picture = AddCoverArt("Cover art " + std::to_string(CoverArts.size() + 1))) {
                picture->PictureFormat = PictureFormatFromBytes(bytes, size);
                // A deferred picture starts with the lead the frame holds and goes on in the file.
                if (const TID3v2Frame* frame = tag.Frame(i); frame->DeferredSize != 0) {
                    picture->DeferredFile = tag.FileName.string();
                    picture->DeferredOffset = frame->DeferredOffset - size;
                    picture->DeferredSize = size + frame->DeferredSize;
                } else {
                    picture->Stream.Bytes().assign(bytes, bytes + size);
                }
                picture->CoverType = coverType;
                picture->Description = description;
                picture->MIMEType = mime;
            }
        } else if (id == "PCNT") {
            AddField("PLAYCOUNT", std::to_string(tag.GetPlayCount(i)));
        } else if (id == "POPM") {
            std::string email;
            uint32_t counter = 0;
            uint8_t rating = 0;
            if (tag.GetPopularimeter(i, email, counter, rating))
                AddField("RATING", std::to_string(rating));
        }
    }
}

bool TTags::ClearAllID3v2FramesByID(TID3v2Tag& tag, const std::string& frameID)
{
    bool any = false;
    for (int i = tag.FrameCount() - 1; i >= 0; --i)
        if (tag.Frame(i)->IdText() == frameID && tag.DeleteFrame(i))
            any = true;
    return any;
}

bool TTags::ClearAllID3v2FramesTXXXByDescription(TID3v2Tag& tag, const std::string& description)
{
    bool any = false;
    for (int i = tag.FrameCount() - 1; i >= 0; --i) {
        if (tag.Frame(i)->IdText() != "TXXX")
            continue;
        std::string frameDescription;
        std::vector<std::string> values;
        tag.GetUnicodeUserDefinedTextInformationMultiple(i, frameDescription, values);
        if (SameTextAscii(frameDescription, description) && tag.DeleteFrame(i))
            any = true;
    }
    return any;
}

int TTags::SaveID3v2Tag(const std::string& fileName, TStream* stream)
{
    TID3v2Tag& tag = *ID3v2Tag;
    tag.PaddingToWrite = PaddingSizeToWrite;
    const bool hasTrack = Exists("TRACKNUMBER") >= 0 || Exists("TRACK") >= 0;
    const bool hasDisc = Exists("DISCNUMBER") >= 0 || Exists("DISC") >= 0;
    std::vector<std::string> contentNamesDone;

    for (size_t f = 0; f < Tags.size(); ++f) {
        const TTag& field = *Tags[f];
        const std::string name = UpperAscii(field.Name);
        const bool track = IsTrackName(name), disc = IsDiscName(name);
        // TRACKNUMBER and DISCNUMBER are the model's own names and win over TRACK and DISC.
        if ((name == "TRACK" && Exists("TRACKNUMBER") >= 0) || (name == "DISC" && Exists("DISCNUMBER") >= 0))
            continue;
        if (track || disc) {
            std::string text = field.Value;
            if (text.find('/') == std::string::npos) {
                const std::string total = GetTag(track ? "TOTALTRACKS" : "TOTALDISCS");
                const std::string alternative = GetTag(track ? "TRACKTOTAL" : "DISCTOTAL");
                if (!total.empty())
                    text += "/" + total;
                else if (!alternative.empty())
                    text += "/" + alternative;
            }
            const char* id = track ? "TRCK" : "TPOS";
            ClearAllID3v2FramesByID(tag, id);
            tag.SetUnicodeText(tag.AddFrame(id), text);
            continue;
        }
        if (IsTotalName(name) && ((name.find("TRACK") != std::string::npos) ? hasTrack : hasDisc))
            continue;

        const std::string id = NameToID3v2FrameID(name);
        if (!id.empty()) {
            const TID3v2FrameKind kind = ID3v2FrameKind(id);
            if (kind == fkContent) {
                // Every comment and lyrics field keeps its own frame (they differ by
                // description and language); the first field of the name clears the old ones.
                if (!ItemAlreadyOnList(contentNamesDone, name)) {
                    ClearAllID3v2FramesByID(tag, id);
                    contentNamesDone.push_back(name);
                }
                const std::string language = Utf8Length(field.Language) == 3 ? field.Language : "eng";
                tag.SetUnicodeContent(tag.AddFrame(id), field.Value, language, field.Description);
                continue;
            }
            ClearAllID3v2FramesByID(tag, id);
            const int frame = tag.AddFrame(id);
            switch (kind) {
            case fkText: {
                std::vector<std::string> values;
                GetMultipleList(name, values);
                tag.SetUnicodeTextMultiple(frame, values);
                break;
            }
            case fkList: {
                std::vector<std::string> list;
                for (const std::string& line : SplitTextLines(field.Value))
                    list.push_back(line);
                tag.SetUnicodeListFrame(frame, list);
                break;
            }
            case fkURL: tag.SetURL(frame, field.Value); break;
            case fkUserURL: tag.SetUnicodeUserDefinedURLLink(frame, field.Value, field.Description); break;
            default: tag.SetUnicodeText(frame, field.Value); break;
            }
            continue;
        }
        // A rating read from the popularimeter goes back into it: written as TXXX it would stand
        // beside the old frame as a second RATING, and the old one would win on the next load.
        if (name == "RATING" && field.ExtTagType != ettTXXX) {
            if (const int popm = tag.FrameExists("POPM"); popm >= 0) {
                std::string email;
                uint32_t counter = 0;
                uint8_t rating = 0;
                tag.GetPopularimeter(popm, email, counter, rating);
                tag.SetPopularimeter(
                    popm, email, uint8_t(std::min<uint32_t>(NumberOrZero<uint32_t>(field.Value), 255)), counter);
                continue;
            }
        }
        if (name == "PLAYCOUNT") {
            ClearAllID3v2FramesByID(tag, "PCNT");
            tag.SetPlayCount(tag.AddFrame("PCNT"), NumberOrZero<uint32_t>(field.Value));
            continue;
        }
        if (field.ExtTagType == ettWXXX) {
            tag.SetUnicodeUserDefinedURLLinkByDescription(field.Description, field.Value);
            continue;
        }
        // The description ends at its NUL: a name holding one would load as another name, with
        // the rest of it as stray values.
        if (field.Name.find('\0') != std::string::npos)
            continue;
        ClearAllID3v2FramesTXXXByDescription(tag, field.Name);
        std::vector<std::string> values;
        GetMultipleList(field.Name, values);
        tag.SetUnicodeUserDefinedTextInformationMultiple(tag.AddFrame("TXXX"), field.Name, values);
    }

    tag.DeleteAllCoverArts();
    for (const auto& picture : CoverArts) {
        const auto& bytes = picture->Stream.Bytes();
        tag.SetUnicodeCoverPictureFromStream(
            tag.AddFrame("APIC"), picture->Description, bytes, picture->MIMEType, picture->CoverType);
    }

    if (!stream)
        return tag.SaveToFile(fileName);
    std::vector<uint8_t> image = stream->ReadAll();
    const int result = tag.SaveToStream(image);
    if (result == 0 && !stream->Replace(0, stream->Size(), image.data(), image.size()))
        return 6;
    return result;
}

} // namespace vantor
