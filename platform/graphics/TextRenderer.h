#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/TextFlags.h"

#include <string_view>

namespace vantor {

// Text through Pango at 96 dots per inch: a size of n points is n × 96 / 72 pixels, for
// drawing and measuring alike, and metrics are not hinted, so measured widths grow in
// proportion to the font size.
//
// Laid-out text is kept in a per-thread cache keyed by font, text, flags and the rectangle
// size where it matters, together with its glyphs rendered once as a coverage mask, so
// repainting the same texts neither shapes nor rasterises them again.

struct TTextExtent {
    int Width = 0;
    int Height = 0;
};

// Draws text in font (its colour; an alpha byte of 0 means opaque) inside the device
// rectangle rect of canvas, clipped to it and laid out by flags.
void DrawText(TBitmap& canvas, const TFont& font, std::string_view text, const TRect& rect, TTextFlags flags);

// The logical extent of text on one line per paragraph, in pixels.
TTextExtent MeasureText(const TFont& font, std::string_view text);

}
