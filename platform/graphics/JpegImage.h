#pragma once

#include "platform/graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace vantor {

// Decodes a baseline or progressive JPEG (greyscale, YCbCr, RGB, CMYK or YCCK) into an
// opaque ARGB bitmap. Damaged, truncated or oversized input gives an empty bitmap.
TBitmap DecodeJpeg(const uint8_t* data, size_t size);

}
