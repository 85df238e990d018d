// WMA attributes ↔ unified fields.

#include "tags/Tags.h"

#include "tags/FieldMaps.h"
#include "tags/NumberText.h"
#include "tags/WMATagBase.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace vantor {

void TTags::LoadWMATags()
{
    if (!WMATag)
        return;
    TWMATagBase& tag = *WMATag;
    bool hasPicture = false;
    // WM/Track counts from 0 and wins; files without it have their number only in WM/TrackNumber.
    bool hasTrack = false;
    for (int i = 0; i < tag.AttributeCount(); ++i) {
        const std::string attribute = tag.AttributeName(i);
        const std::string name =
            SameTextAscii(attribute, "WM/TrackNumber") ? "TRACKNUMBER" : WMAAttributeToName(attribute);
        if (!name.empty())
            RemoveFieldsNamed(name);
        hasPicture = hasPicture || tag.AttributeIsPicture(i);
        hasTrack = hasTrack || SameTextAscii(attribute, "WM/Track");
    }
    if (hasPicture)
        DeleteAllCoverArts();

    std::vector<std::pair<std::string, std::string>> loaded; // text fields, by name and value
    for (int i = 0; i < tag.AttributeCount(); ++i) {
        const std::string attribute = tag.AttributeName(i);
        if (tag.AttributeIsPicture(i)) {
            const TNativePicture from = tag.AttributePicture(i);
            if (TCoverArt* picture = AddCoverArt("Cover art " + std::to_string(CoverArts.size() + 1))) {
                if (from.DeferredSize != 0) {
                    // Data holds the first bytes only; the rest stays in the loaded file.
                    picture->DeferredFile = FileName;
                    picture->DeferredOffset = from.DeferredOffset;
                    picture->DeferredSize = from.DeferredSize;
                } else {
                    picture->Stream.Bytes() = from.Data;
                }
                picture->Description = from.Description;
                picture->CoverType = from.CoverType;
                picture->MIMEType = from.MIMEType;
                picture->PictureFormat = PictureFormatFromBytes(from.Data.data(), from.Data.size());
            }
            continue;
        }
        if (SameTextAscii(attribute, "WM/TrackNumber")) {
            if (!hasTrack && Exists("TRACKNUMBER") < 0)
                AddNumberAndTotal("TRACKNUMBER", "TOTALTRACKS", TrimText(tag.AttributeText(i)));
            continue;
        }
        const std::string name = WMAAttributeToName(attribute);
        if (name.empty())
            continue;
        if (SameTextAscii(attribute, "WM/Track")) {
            // WM/Track counts from 0.
            if (Exists("TRACKNUMBER") < 0)
                AddField("TRACKNUMBER", std::to_string(tag.AttributeInteger(i) + 1));
        } else if (name == "TIPL" || name == "TMCL") {
            AddField(attribute, JoinTextLines(tag.AttributeList(i)));
        } else {
            // ffmpeg writes the title and the like into both description objects: one field each.
            std::pair<std::string, std::string> field(name, tag.AttributeText(i));
            if (std::find(loaded.begin(), loaded.end(), field) != loaded.end())
                continue;
            AddField(field.first, field.second);
            loaded.push_back(std::move(field));
        }
    }
}

int TTags::SaveWMATag(const std::string& fileName, TStream* stream)
{
    if (!WMATag)
        return FormatErrorCode;
    if (stream)
        return 10;
    TWMATagBase& tag = *WMATag;
    for (const auto& field : Tags) {
        const std::string attribute = NameToWMAAttribute(field->Name);
        if (!attribute.empty())
            tag.DeleteAttributes(attribute);
    }
    for (const auto& field : Tags) {
        const std::string name = UpperAscii(field->Name);
        if (name == "TRACKNUMBER" || name == "TRACK") {
            const uint32_t number = NumberOrZero<uint32_t>(field->Value);
            tag.DeleteAttributes("WM/Track");
            tag.AddInteger("WM/Track", number > 0 ? number - 1 : 0);
            const std::string total = GetTag("TOTALTRACKS");
            tag.AddText("WM/TrackNumber", total.empty() ? field->Value : field->Value + "/" + total);
        } else if (name == "DISCNUMBER" || name == "DISC") {
            const std::string total = GetTag("TOTALDISCS");
            tag.AddText("WM/PartOfSet", total.empty() ? field->Value : field->Value + "/" + total);
        } else if (name == "TIPL" || name == "TMCL") {
            tag.AddList("WM/" + name, SplitTextLines(field->Value));
        } else {
            const std::string attribute = NameToWMAAttribute(name);
            if (!attribute.empty())
                tag.AddText(attribute, field->Value);
        }
    }
    tag.DeleteAllPictures();
    for (const auto& cover : CoverArts) {
        TNativePicture picture;
        picture.Data = cover->Stream.Bytes();
        picture.MIMEType = cover->MIMEType;
        picture.Description = cover->Description;
        picture.CoverType = cover->CoverType & 0xFF;
        tag.AddPicture(picture);
    }
    return tag.SaveToFile(fileName);
}

} // namespace vantor
