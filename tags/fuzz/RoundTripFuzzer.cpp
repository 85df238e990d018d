// Load every format from memory, change fields and pictures, save in memory
// with the automatic choice and explicitly, and load the result again: what
// was saved must load. Then the same with every field deleted.
#include "tags/Tags.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vantor;
  TTags tags;
  if (tags.LoadFromMemory(data, int64_t(size)) != tlSuccess)
    return 0;
  tags.SetTag("TITLE", "Fuzzed title");
  tags.SetTag("TRACKNUMBER", "4/9");
  tags.SetTag("CUSTOM", "x");
  tags.Delete("ARTIST");
  const uint8_t jpeg[] = {0xFF, 0xD8, 0xFF, 0xD9};
  TMemoryView picture(jpeg, sizeof jpeg);
  tags.AddCoverArt("Cover", picture, "image/jpeg");

  for (TTagType type : {ttAutomatic, ttAPEv2, ttID3v1, ttID3v2}) {
    TMemoryStream copy(data, size);
    if (tags.SaveToStream(copy, type) != tlSuccess)
      continue;
    TTags back;
    if (back.LoadFromStream(copy) != tlSuccess)
      std::abort();
  }

  // Every field and picture deleted: the tags are taken out of the bytes.
  while (tags.Count() > 0)
    tags.Delete(tags.Count() - 1);
  tags.DeleteAllCoverArts();
  for (TTagType type : {ttAutomatic, ttAPEv2, ttID3v1, ttID3v2}) {
    TMemoryStream copy(data, size);
    if (tags.SaveToStream(copy, type) != tlSuccess)
      continue;
    TTags back;
    if (back.LoadFromStream(copy) != tlSuccess)
      std::abort();
  }
  return 0;
}
