#pragma once

#include <cstdint>

namespace vantor {

// Limits shared by the picture decoders: images above them are refused rather than allocated.
inline constexpr uint64_t ImageMaxPixels = uint64_t(1) << 25;
inline constexpr int ImageMaxSide = 1 << 16;

}
