// APEv2 items ↔ unified fields (names as stored, no mapping).

#include "tags/Tags.h"

#include "tags/apev2/APEv2Tag.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

namespace vantor {

namespace {

bool IsListName(const std::string& name) { return SameTextAscii(name, "TIPL") || SameTextAscii(name, "TMCL"); }

TTagPictureFormat ToPictureFormat(TAPEv2PictureFormat format) {
  switch (format) {
  case pfJPEG: return tpfJPEG;
  case pfPNG: return tpfPNG;
  case pfBMP: return tpfBMP;
  case pfGIF: return tpfGIF;
  default: return tpfUnknown;
  }
}

bool IsTrackName(const std::string& name) { return SameTextAscii(name, "TRACKNUMBER") || SameTextAscii(name, "TRACK"); }
bool IsTrackTotalName(const std::string& name) {
  return SameTextAscii(name, "TOTALTRACKS") || SameTextAscii(name, "TRACKTOTAL");
}

// A field whose value begins with "BINARY" stands for a binary item, which stays untouched.
bool StandsForBinary(const TTag& field) { return field.Value.compare(0, 6, "BINARY") == 0; }

} // namespace

void TTags::LoadAPEv2Tags() {
  TAPEv2Tag& tag = *APEv2Tag;
  bool hasPicture = false;
  for (const auto& frame : tag.Frames) {
    if (frame->Format == ffText)
      RemoveFieldsNamed(frame->Name);
    else if (frame->IsCoverArt())
      hasPicture = true;
  }
  if (hasPicture)
    DeleteAllCoverArts();

  for (const auto& frame : tag.Frames) {
    if (frame->Format == ffText) {
      const std::string text = frame->GetAsText();
      const bool track = SameTextAscii(frame->Name, "TRACKNUMBER") || SameTextAscii(frame->Name, "TRACK");
      if (track && text.find('/') != std::string::npos) {
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
        picture->Stream.Bytes().assign(data, data + size);
        picture->Description = description;
        picture->PictureFormat = ToPictureFormat(format);
        picture->MIMEType = MIMETypeOfPictureFormat(picture->PictureFormat);
        picture->CoverType = 3;
      }
    }
  }
}

int TTags::SaveAPEv2Tag(const std::string& fileName, TStream* stream) {
  TAPEv2Tag& tag = *APEv2Tag;
  tag.UpperCaseFieldNamesToWrite = UpperCaseFieldNamesToWrite;
  // The track number is one item, "number/total" when there is a total: the load splits
  // it into TRACKNUMBER and TOTALTRACKS, and writing those back as separate items beside
  // the old one would load as two numbers and two totals.
  const bool hasTrack = std::any_of(Tags.begin(), Tags.end(), [](const auto& f) { return IsTrackName(f->Name); });
  auto sameItem = [hasTrack](const std::string& itemName, const std::string& fieldName) {
    if (IsTrackName(fieldName) || (hasTrack && IsTrackTotalName(fieldName)))
      return IsTrackName(itemName) || IsTrackTotalName(itemName);
    return SameTextAscii(itemName, fieldName);
  };
  // Item names compare case-insensitively here, so "Title" and "TITLE" never both survive.
  for (const auto& field : Tags) {
    if (StandsForBinary(*field))
      continue;
    for (int i = tag.Count() - 1; i >= 0; --i)
      if (tag.Frames[size_t(i)]->Format != ffBinary && sameItem(tag.Frames[size_t(i)]->Name, field->Name))
        tag.DeleteFrame(i);
  }
  // TRACKNUMBER is the model's own name and wins over TRACK.
  const int track = Exists("TRACKNUMBER") >= 0 ? Exists("TRACKNUMBER") : Exists("TRACK");
  for (size_t i = 0; i < Tags.size(); ++i) {
    const TTag& field = *Tags[i];
    if (IsListName(field.Name)) {
      tag.AddFrame(field.Name)->SetAsList(SplitTextLines(field.Value));
    } else if (IsTrackName(field.Name)) {
      if (int(i) != track)
        continue;
      std::string total = GetTag("TOTALTRACKS");
      if (total.empty())
        total = GetTag("TRACKTOTAL");
      const bool withTotal = field.Value.find('/') == std::string::npos && !total.empty();
      tag.AddTextFrame(field.Name, withTotal ? field.Value + "/" + total : field.Value);
    } else if (hasTrack && IsTrackTotalName(field.Name)) {
      continue;
    } else if (!StandsForBinary(field)) {
      // Several fields of one name are one item, their values separated by NUL.
      bool seen = false;
      for (size_t j = 0; j < i && !seen; ++j)
        seen = !StandsForBinary(*Tags[j]) && SameTextAscii(Tags[j]->Name, field.Name);
      if (seen)
        continue;
      std::vector<std::string> values{field.Value};
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
