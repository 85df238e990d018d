#pragma once

#include "platform/graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace vantor {

// Decodes a Windows bitmap file: core and info headers up to version 5; 1, 4 and 8 bits with
// a palette, 16, 24 and 32 bits, bit-field masks (with alpha), RLE4 and RLE8; bottom-up or
// top-down. Damaged, truncated or oversized input gives an empty bitmap.
TBitmap DecodeBmp(const uint8_t* data, size_t size);

}
