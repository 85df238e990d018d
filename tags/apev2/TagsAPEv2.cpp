// APEv2 items ↔ unified fields (names as stored, no mapping).

#include "tags/Tags.h"

#include "tags/apev2/APEv2Tag.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

namespace vantor {

namespace {

bool IsListName(const std::string& name) { return SameTextAscii(name, "TIPL") || SameTextAscii(name, "TMCL"); }

TTagPictureFormat ToPictureFormat(TAPEv2PictureFormat format)
{
    switch (format) {
    case pfJPEG: return tpfJPEG;
    case pfPNG: return tpfPNG;
    case pfBMP: return tpfBMP;
    case pfGIF: return tpfGIF;
    default: return tpfUnknown;
    }
}

// A field whose value begins with "BINARY" stands for a binary item, which stays untouched.
bool StandsForBinary(const TTag& field) { return field.Value.compare(0, 6, "BINARY") == 0; }

// The standard items that hold a number and a total as "n/t", and the fields they load into.
struct TNumberItem {
    const char* Item;
    const char* Number;
    const char* Total;
};
constexpr TNumberItem NumberItems[] = { { "Track", "TRACKNUMBER", "TOTALTRACKS" },
    { "Disc", "DISCNUMBER", "TOTALDISCS" } };

const TNumberItem* NumberItem(const std::string& name)
{
    for (const TNumberItem& item : NumberItems)
        if (SameTextAscii(name, item.Item))
            return &item;
    return nullptr;
}

// The first text item of that name, compared ignoring case; -1 without one.
int FindTextItem(const TAPEv2Tag& tag, const char* name)
{
    for (int i = 0; i < tag.Count(); ++i)
        if (tag.Frames[size_t(i)]->Format == ffText && SameTextAscii(tag.Frames[size_t(i)]->Name, name))
            return i;
    return -1;
}

} // namespace

void TTags::LoadAPEv2Tags()
{
    TAPEv2Tag& tag = *APEv2Tag;
    bool hasPicture = false;
    for (const auto& frame : tag.Frames) {
        if (frame->Format != ffText) {
            hasPicture |= frame->IsCoverArt();
        } else if (const TNumberItem* number = NumberItem(frame->Name)) {
            RemoveFieldsNamed(number->Number);
            RemoveFieldsNamed(number->Total);
        } else {
            RemoveFieldsNamed(frame->Name);
        }
    }
    if (hasPicture)
        DeleteAllCoverArts();

    for (const auto& frame : tag.Frames) {
        if (frame->Format == ffText) {
            const std::string text = frame->GetAsText();
            if (const TNumberItem* number = NumberItem(frame->Name)) {
                AddNumberAndTotal(number->Number, number->Total, text);
            } else if (SameTextAscii(frame->Name, "TRACKNUMBER") && text.find('/') != std::string::npos) {
                AddNumberAndTotal("TRACKNUMBER", "TOTALTRACKS", text);
            } else if (IsListName(frame->Name)) {
                TNameValueList list;
                frame->GetAsList(list);
                AddField(frame->Name, JoinTextLines(list));
            } else {
                // One field per value of a multi-value item.
                for (const std::string& value : SplitAPEv2Values(text))
                    AddField(frame->Name, value);
            }
        } else if (frame->IsCoverArt()) {
            TAPEv2PictureFormat format;
            std::string description;
            const uint8_t* data;
            size_t size;
            if (!tag.GetCoverArtInfoPointer(frame->Index, format, description, data, size))
                continue;
            if (TCoverArt* picture = AddCoverArt(frame->Name)) {
                if (frame->DeferredSize != 0) {
                    // The picture runs from data to the end of the value in the loaded file.
                    const uint64_t start = uint64_t(data - frame->Stream.Bytes().data());
                    picture->DeferredFile = FileName;
                    picture->DeferredOffset = frame->ValueOffset + start;
                    picture->DeferredSize = size + frame->DeferredSize;
                } else {
                    picture->Stream.Bytes().assign(data, data + size);
                }
                picture->Description = description;
                picture->PictureFormat = ToPictureFormat(format);
                picture->MIMEType = MIMETypeOfPictureFormat(picture->PictureFormat);
                picture->CoverType = 3;
            }
        }
    }
}

int TTags::SaveAPEv2Tag(const std::string& fileName, TStream* stream)
{
    TAPEv2Tag& tag = *APEv2Tag;
    tag.UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
    // Item names compare case-insensitively here, so "Title" and "TITLE" never both survive.
    for (const auto& field : Tags) {
        if (StandsForBinary(*field))
            continue;
        for (int i = tag.Count() - 1; i >= 0; --i)
            if (tag.Frames[size_t(i)]->Format != ffBinary && SameTextAscii(tag.Frames[size_t(i)]->Name, field->Name))
                tag.DeleteFrame(i);
    }
    // Number and total read from a "Track" or "Disc" item go back into it as "n/t";
    // items of the field names would be a second value the next load prefers. A field named
    // after the item ("TRACK") stands for the number too; the model's own name wins over it.
    std::vector<std::string> combined;
    for (const TNumberItem& number : NumberItems) {
        const bool itemField = Exists(number.Item) >= 0;
        const int item = FindTextItem(tag, number.Item);
        if ((item < 0 && !itemField) || (Exists(number.Number) < 0 && Exists(number.Total) < 0))
            continue;
        // A number field that carries its own total ("4/9") is written as it is.
        const std::string value = Exists(number.Number) >= 0 ? GetTag(number.Number) : GetTag(number.Item);
        const std::string total = GetTag(number.Total);
        const bool withTotal = !total.empty() && value.find('/') == std::string::npos;
        const std::string text = withTotal ? value + "/" + total : value;
        if (item >= 0)
            tag.Frames[size_t(item)]->SetAsText(text);
        else
            tag.AddTextFrame(number.Item, text);
        for (const char* name : { number.Number, number.Total, number.Item }) {
            combined.push_back(name);
            if (name == number.Item)
                continue;
            for (int i = tag.Count() - 1; i >= 0; --i)
                if (tag.Frames[size_t(i)]->Format != ffBinary && SameTextAscii(tag.Frames[size_t(i)]->Name, name))
                    tag.DeleteFrame(i);
        }
    }
    for (size_t i = 0; i < Tags.size(); ++i) {
        const TTag& field = *Tags[i];
        if (std::find_if(combined.begin(), combined.end(),
                [&](const std::string& name) { return SameTextAscii(name, field.Name); })
            != combined.end())
            continue;
        if (IsListName(field.Name)) {
            tag.AddFrame(field.Name)->SetAsList(SplitTextLines(field.Value));
        } else if (!StandsForBinary(field)) {
            // Several fields of one name are one item, their values separated by NUL.
            bool seen = false;
            for (size_t j = 0; j < i && !seen; ++j)
                seen = !StandsForBinary(*Tags[j]) && SameTextAscii(Tags[j]->Name, field.Name);
            if (seen)
                continue;
            std::vector<std::string> values { field.Value };
            for (size_t j = i + 1; j < Tags.size(); ++j)
                if (!StandsForBinary(*Tags[j]) && SameTextAscii(Tags[j]->Name, field.Name))
                    values.push_back(Tags[j]->Value);
            tag.AddTextFrame(field.Name, JoinAPEv2Values(values));
        }
    }
    tag.DeleteAllCoverArts();
    for (const auto& picture : CoverArts) {
        TMemoryView bytes(picture->Stream.Data(), picture->Stream.Bytes().size());
        tag.AddCoverArtFrame("Cover Art (Front)", bytes, picture->Description);
    }
    return stream ? tag.SaveToStream(*stream) : tag.SaveToFile(fileName);
}

} // namespace vantor
