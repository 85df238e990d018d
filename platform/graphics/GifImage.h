#pragma once

#include "platform/graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>

namespace vantor {

// Decodes the first image of a GIF (interlaced or not, its transparent colour honoured) into
// a premultiplied ARGB bitmap of that image's size. Damaged, truncated or oversized input
// gives an empty bitmap.
TBitmap DecodeGif(const uint8_t* data, size_t size);

}
