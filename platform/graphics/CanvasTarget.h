#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"

typedef union pixman_image pixman_image_t;

namespace vantor {

// Direct pixel access to a canvas for the hot drawing paths (theme images, cached text):
// compositing through pixman skips Cairo's per-call set-up and allocations while keeping
// what Cairo would do, the context's clip and translation included.
struct TCanvasTarget {
    pixman_image_t* Image = nullptr; // over the canvas's pixels; owned by a per-thread cache
    int OffsetX = 0;                 // the context's translation, added to user coordinates
    int OffsetY = 0;
    TRect Clip; // device pixels that may change
};

// Fills target for canvas; its Clip may be empty, leaving nothing to draw. False when the canvas is empty or its
// context is scaled or rotated; callers then draw through Cairo.
bool OpenCanvasTarget(TBitmap& canvas, TCanvasTarget& target);
// Tells Cairo that the pixels of the device rectangle changed.
void CloseCanvasTarget(TBitmap& canvas, const TRect& changed);

}
