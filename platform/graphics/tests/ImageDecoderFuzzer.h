#pragma once

// The body shared by the picture decoders' fuzzers: decode, touch the far corner, and scale
// the result the way covers are scaled, so a bitmap that claims more than it holds shows up.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/ImageScale.h"

#include <cstddef>
#include <cstdint>

namespace vantor {

template <TBitmap (*Decode)(const uint8_t*, size_t)>
int FuzzImageDecoder(const uint8_t* data, size_t size)
{
    TBitmap const bitmap = Decode(data, size);
    if (bitmap.IsEmpty())
        return 0;
    (void)bitmap.PixelAt(bitmap.Width() - 1, bitmap.Height() - 1);
    TBitmap const scaled = ScaleBitmap(bitmap, 7, 5);
    (void)scaled.PixelAt(6, 4);
    return 0;
}

}
