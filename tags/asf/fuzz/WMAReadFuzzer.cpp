// Any bytes: loading never crashes, hangs or allocates beyond the input.

#include "tags/asf/WMATag.h"
#include "tags/io/Stream.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView stream(data, size);
    vantor::TWMATag tag;
    tag.LoadFromStream(stream);
    for (int i = 0; i < tag.AttributeCount(); ++i) {
        tag.AttributeText(i);
        tag.AttributeInteger(i);
        tag.AttributeList(i);
        if (tag.AttributeIsPicture(i))
            tag.AttributePicture(i);
    }
    tag.AudioProperties();
    tag.CalculateTagSize();
    return 0;
}
