// Any bytes: a file that loads is saved with changed items, and the result
// loads again with exactly those items.

#include "tags/io/Stream.h"
#include "tags/mp4/MP4Tag.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream(data, size);
    TMP4Tag tag;
    const int loaded = tag.LoadFromStream(stream);
    if (loaded != mp4Success && loaded != mp4NoItemFound)
        return 0;
    tag.SetText("\xA9nam", "fuzz");
    tag.SetTrack(1, 2);
    tag.PaddingToWrite = size % 2 ? 64 : 0;
    tag.KeepPadding = size % 3 != 0;
    const uint64_t itemsSize = tag.CalculateSize();
    const int saved = tag.SaveToStream(stream);
    if (saved != mp4Success)
        return 0;

    // A cut-off atom behind the moov may now be larger than the whole file, which
    // the reader reports, but only after it read the items.
    TMP4Tag reread;
    const int reloaded = reread.LoadFromStream(stream);
    if (!reread.Loaded() || (reloaded != mp4Success && reloaded != mp4Corrupt))
        std::abort();
    if (reread.CalculateSize() != itemsSize || reread.GetText("\xA9nam") != "fuzz" || reread.GetTrack() != 1)
        std::abort();
    return 0;
}
