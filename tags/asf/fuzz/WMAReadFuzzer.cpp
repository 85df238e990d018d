// Any bytes: loading never crashes, hangs or allocates beyond the input. Loaded again with
// large pictures left in the stream and those fetched, the result and the attributes must be
// the ones the first load gave.

#include "tags/asf/WMATag.h"
#include "tags/io/Stream.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView stream(data, size);
    vantor::TWMATag tag;
    const int result = tag.LoadFromStream(stream);
    for (int i = 0; i < tag.AttributeCount(); ++i) {
        tag.AttributeText(i);
        tag.AttributeInteger(i);
        tag.AttributeList(i);
        if (tag.AttributeIsPicture(i))
            tag.AttributePicture(i);
    }
    tag.AudioProperties();
    tag.CalculateTagSize();

    vantor::TWMATag deferred;
    deferred.DeferPictureData = true;
    if (deferred.LoadFromStream(stream) != result || deferred.CoverArtCount() != tag.CoverArtCount()
        || deferred.CalculateTagSize() != tag.CalculateTagSize())
        std::abort();
    for (int i = 0; i < deferred.AttributeCount(); ++i)
        if (deferred.AttributeIsPicture(i))
            deferred.AttributePicture(i);
    if (!deferred.LoadDeferredPictures(stream) || deferred.HasDeferredPictures() || deferred.Count() != tag.Count())
        std::abort();
    for (int i = 0; i < tag.Count(); ++i) {
        const vantor::TWMATagFrame& a = *tag.Frames[size_t(i)];
        const vantor::TWMATagFrame& b = *deferred.Frames[size_t(i)];
        if (a.Name != b.Name || a.Format != b.Format || a.Stream != b.Stream || a.Language != b.Language)
            std::abort();
    }
    return 0;
}
