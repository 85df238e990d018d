// MP4 items ↔ unified fields.

#include "tags/Tags.h"

#include "tags/FieldMaps.h"
#include "tags/MP4TagBase.h"
#include "tags/NumberText.h"
#include "tags/io/TextCodec.h"

namespace vantor {

namespace {

const char* const ITunesMean = "com.apple.iTunes";

bool Is(const std::string& name, const char* a, const char* b = nullptr)
{
    return SameTextAscii(name, a) || (b && SameTextAscii(name, b));
}

} // namespace

void TTags::LoadMP4Tags()
{
    if (!MP4Tag)
        return;
    TMP4TagBase& tag = *MP4Tag;
    for (int i = 0; i < tag.ItemCount(); ++i) {
        const std::string name = MP4AtomToName(tag.ItemID(i));
        if (!name.empty())
            RemoveFieldsNamed(name);
    }
    if (tag.CoverCount() > 0)
        DeleteAllCoverArts();

    for (int i = 0; i < tag.ItemCount(); ++i) {
        const std::string id = tag.ItemID(i);
        const std::string name = MP4AtomToName(id);
        if (name == "TIPL" || name == "TMCL")
            AddField(id, JoinTextLines(tag.ItemList(i)));
        else if (!name.empty())
            AddField(name, tag.ItemText(i));
        else if (id == "----" && !tag.ItemName(i).empty())
            AddField(tag.ItemName(i), tag.ItemText(i));
    }
    for (int i = 0; i < tag.CoverCount(); ++i) {
        TCoverArt* picture = AddCoverArt("Cover art " + std::to_string(i + 1));
        if (!picture)
            break;
        std::vector<uint8_t> bytes = tag.Cover(i);
        picture->PictureFormat = PictureFormatFromBytes(bytes.data(), bytes.size());
        // A deferred cover holds only its first bytes; the rest stays in the loaded file.
        if (uint64_t offset = 0, size = 0; tag.CoverPlace(i, offset, size)) {
            picture->DeferredFile = FileName;
            picture->DeferredOffset = offset;
            picture->DeferredSize = size;
        } else {
            picture->Stream.Bytes() = std::move(bytes);
        }
        picture->MIMEType = MIMETypeOfPictureFormat(picture->PictureFormat);
        picture->CoverType = 3;
    }

    auto replace = [this](const char* name, const std::string& value) {
        if (value.empty())
            return;
        RemoveFieldsNamed(name);
        AddField(name, value);
    };
    replace("GENRE", tag.Genre());
    replace("MEDIA", tag.MediaType());
    replace("PURCHASECOUNTRY", tag.PurchaseCountry());
    uint16_t track = 0, tracks = 0, disc = 0, discs = 0;
    tag.GetTrack(track, tracks);
    tag.GetDisc(disc, discs);
    if (track) {
        RemoveFieldsNamed("TRACK");
        replace("TRACKNUMBER", std::to_string(track));
    }
    if (tracks)
        replace("TOTALTRACKS", std::to_string(tracks));
    if (disc) {
        RemoveFieldsNamed("DISC");
        replace("DISCNUMBER", std::to_string(disc));
    }
    if (discs)
        replace("TOTALDISCS", std::to_string(discs));
}

int TTags::SaveMP4Tag(const std::string& fileName, TStream* stream)
{
    if (!MP4Tag)
        return FormatErrorCode;
    TMP4TagBase& tag = *MP4Tag;
    tag.KeepPadding = MP4KeepPadding;
    tag.PaddingToWrite = PaddingSizeToWrite;
    for (const char* id : { "SErg", "SEpc", "TIPL", "TMCL" })
        tag.DeleteItems(id);

    auto numberAndTotal = [this](const std::string& value, const char* totalName, const char* altName, uint16_t& number,
                              uint16_t& total) {
        const TNumberAndTotal parts = SplitNumberAndTotal(value);
        number = NumberOrZero<uint16_t>(parts.Number);
        if (value.find('/') != std::string::npos) {
            total = NumberOrZero<uint16_t>(parts.Total);
        } else {
            const std::string t = GetTag(totalName);
            total = NumberOrZero<uint16_t>(t.empty() ? GetTag(altName) : t);
        }
    };

    for (const auto& field : Tags) {
        const std::string& name = field->Name;
        const std::string& value = field->Value;
        if (Is(name, "TOTALTRACKS") || Is(name, "TOTALDISCS"))
            continue;
        if (Is(name, "GENRE")) {
            tag.SetGenre(value);
            continue;
        }
        if (Is(name, "MEDIA")) {
            tag.SetMediaType(value);
            continue;
        }
        if (Is(name, "PURCHASECOUNTRY")) {
            tag.SetPurchaseCountry(value);
            continue;
        }
        // TRACKNUMBER and DISCNUMBER are the model's own names and win over TRACK and DISC.
        if ((Is(name, "TRACK") && Exists("TRACKNUMBER") >= 0) || (Is(name, "DISC") && Exists("DISCNUMBER") >= 0))
            continue;
        if (Is(name, "TRACKNUMBER", "TRACK")) {
            uint16_t number, total;
            numberAndTotal(value, "TOTALTRACKS", "TRACKTOTAL", number, total);
            tag.SetTrack(number, total);
            continue;
        }
        if (Is(name, "DISCNUMBER", "DISC")) {
            uint16_t number, total;
            numberAndTotal(value, "TOTALDISCS", "DISCTOTAL", number, total);
            tag.SetDisc(number, total);
            continue;
        }
        const std::string id = NameToMP4Atom(name);
        if (id.empty()) {
            tag.SetFreeFormText(ITunesMean, name, value);
        } else if (id == "pgap" || id == "cpil" || id == "hdvd" || id == "pcst") {
            tag.SetBool(id, value != "0");
        } else if (id == "tmpo") {
            tag.SetInteger16(id, NumberOrZero<uint16_t>(value));
        } else if (id == "tvsn" || id == "tves") {
            tag.SetInteger32(id, NumberOrZero<uint32_t>(value));
        } else if (id == "akID") {
            tag.SetInteger8(id, NumberOrZero<uint8_t>(value));
        } else if (id == "TIPL" || id == "TMCL") {
            tag.SetFreeFormList(ITunesMean, id, SplitTextLines(value));
        } else if (TypeCount(name) == 1) {
            tag.SetText(id, value);
        } else {
            std::vector<std::string> values;
            GetMultipleList(name, values);
            tag.SetTexts(id, values);
        }
    }

    tag.DeleteCovers();
    for (const auto& picture : CoverArts)
        tag.AddCover(picture->Stream.Bytes(), 13);
    return stream ? tag.SaveToStream(*stream) : tag.SaveToFile(fileName);
}

} // namespace vantor
