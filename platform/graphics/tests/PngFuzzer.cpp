#include "platform/graphics/PngImage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TBitmap const bitmap = vantor::DecodePng(data, size);
    if (!bitmap.IsEmpty())
        (void)bitmap.PixelAt(bitmap.Width() - 1, bitmap.Height() - 1);
    return 0;
}
