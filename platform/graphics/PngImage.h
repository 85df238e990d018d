#pragma once

#include "platform/graphics/Bitmap.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vantor {

// Largest image decoded (pixels); bigger images are refused rather than allocated.
inline constexpr uint64_t PngMaxPixels = uint64_t(1) << 25;
// Largest PNG file read.
inline constexpr uint64_t PngMaxFileBytes = uint64_t(64) << 20;

// Decodes a PNG of any colour type and bit depth (palette, transparency chunk, interlace
// included) into a premultiplied ARGB bitmap. Damaged, truncated or oversized input gives an
// empty bitmap; nothing is allocated beyond what the input's real size can describe.
TBitmap DecodePng(const uint8_t* data, size_t size);
TBitmap LoadPngFile(const std::string& path);

}
