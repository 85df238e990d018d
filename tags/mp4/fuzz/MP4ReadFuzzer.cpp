// Any bytes: loading never crashes, hangs or allocates beyond the input. Loaded again with
// deferred covers, which are then fetched, the items must be the ones the first load gave.

#include "tags/io/Stream.h"
#include "tags/mp4/MP4Tag.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

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

    vantor::TMP4Tag deferred;
    deferred.DeferPictureData = true;
    deferred.LoadFromStream(stream);
    for (int i = 0; i < deferred.CoverCount(); ++i) {
        uint64_t offset = 0, length = 0;
        deferred.Cover(i);
        deferred.CoverPlace(i, offset, length);
    }
    if (!deferred.LoadDeferredCovers(stream) || deferred.HasDeferredCovers() || deferred.Count() != tag.Count())
        std::abort();
    for (int i = 0; i < tag.Count(); ++i) {
        const auto& a = *tag.Atoms[size_t(i)];
        const auto& b = *deferred.Atoms[size_t(i)];
        if (a.ID != b.ID || a.Count() != b.Count())
            std::abort();
        for (int d = 0; d < a.Count(); ++d)
            if (a.Datas[size_t(d)]->Data != b.Datas[size_t(d)]->Data)
                std::abort();
    }
    return 0;
}
