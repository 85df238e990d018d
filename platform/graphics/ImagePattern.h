#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/CanvasTarget.h"
#include "platform/graphics/Geometry.h"

namespace vantor {

// A compositing source kept over one bitmap, so that drawing it or pieces of it (nine-slice
// images, cached copies) allocates nothing per paint. Rebind it whenever the bitmap changes.
class TImagePattern {
public:
    enum class TFilter { Bilinear, Nearest };

    TImagePattern() = default;
    ~TImagePattern();
    TImagePattern(const TImagePattern&) = delete;
    TImagePattern& operator=(const TImagePattern&) = delete;

    // Binds to image (not owned; must outlive the binding); an empty image unbinds.
    void Bind(const TBitmap& image);
    void Reset();
    bool IsBound() const { return m_image != nullptr; }

    // Blends the source rectangle src of the bound image over dst of canvas, stretched with
    // the filter when the sizes differ. Edge pixels extend outwards rather than fading, and
    // Nearest is exact (and much faster) for content that does not change along the
    // stretched direction.
    void Blend(TBitmap& canvas, const TRect& src, const TRect& dst, TFilter filter = TFilter::Bilinear) const;
    // Blends the whole bound image with its top-left corner at (x, y).
    void Blend(TBitmap& canvas, int x, int y) const;
    // The same onto a canvas already opened for direct drawing (several pieces in a row);
    // returns the device pixels changed, for CloseCanvasTarget.
    TRect Blend(const TCanvasTarget& target, const TRect& src, const TRect& dst, TFilter filter) const;
    // Repeats the bound image over dst from its top-left corner, unscaled.
    TRect Tile(const TCanvasTarget& target, const TRect& dst) const;

private:
    void BlendThroughCairo(TBitmap& canvas, const TRect& src, const TRect& dst, bool nearest) const;

    // Two views of the same pixels: pixman analyses any transform per call, so plain copies
    // go through an image that never has one.
    pixman_image_t* m_image = nullptr; // stretched drawing: transform, filter, padded edges
    pixman_image_t* m_plain = nullptr; // unscaled drawing
    const TBitmap* m_bitmap = nullptr;
    int m_width = 0;
    int m_height = 0;
};

}
