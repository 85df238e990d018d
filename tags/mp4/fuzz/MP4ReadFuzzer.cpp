// Any bytes: loading never crashes, hangs or allocates beyond the input.

#include "tags/io/Stream.h"
#include "tags/mp4/MP4Tag.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView stream(data, size);
    vantor::TMP4Tag tag;
    tag.LoadFromStream(stream);
    for (int i = 0; i < tag.Count(); ++i) {
        tag.ItemText(i);
        tag.ItemList(i);
    }
    tag.GetGenre();
    tag.GetMediaType();
    tag.GetPurchaseCountry();
    tag.GetTrack();
    tag.GetTotalDiscs();
    tag.AudioProperties();
    return 0;
}
