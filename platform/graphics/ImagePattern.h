#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"

typedef struct _cairo_pattern cairo_pattern_t;

namespace vantor {

// A Cairo source kept over one bitmap, so that drawing pieces of it (nine-slice images,
// cached copies) allocates nothing per paint. Rebind it whenever the bitmap is replaced.
class TImagePattern {
public:
    TImagePattern() = default;
    ~TImagePattern();
    TImagePattern(const TImagePattern&) = delete;
    TImagePattern& operator=(const TImagePattern&) = delete;

    // Binds to image (not owned; must outlive the binding); an empty image unbinds.
    void Bind(const TBitmap& image);
    void Reset();
    bool IsBound() const { return m_pattern != nullptr; }

    // Blends the source rectangle src of the bound image into dst of canvas, bilinearly
    // stretched when the sizes differ.
    void Blend(TBitmap& canvas, const TRect& src, const TRect& dst) const;
    // Blends the whole bound image with its top-left corner at (x, y).
    void Blend(TBitmap& canvas, int x, int y) const;

private:
    cairo_pattern_t* m_pattern = nullptr;
    int m_width = 0;
    int m_height = 0;
};

}
