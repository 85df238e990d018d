#pragma once

#include "platform/graphics/Bitmap.h"

namespace vantor {

// Resamples source to width x height with a linear (triangle) kernel whose reach grows with
// the reduction, so that shrinking a large cover averages every source pixel instead of
// skipping most of them. Works on the premultiplied pixels. An empty source or a size outside
// 1..ImageMaxSide gives an empty bitmap.
TBitmap ScaleBitmap(const TBitmap& source, int width, int height);

}
