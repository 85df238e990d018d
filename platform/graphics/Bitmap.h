#pragma once

#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <string>

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo cairo_t;

namespace vantor {

// A 32-bit ARGB bitmap (premultiplied alpha, as Cairo stores it) with the drawing operations
// the control tree and the theme manager need. It also carries the "current font" that text
// drawing falls back to when a theme font key does not resolve.
class TBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height);
    ~TBitmap();

    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(TBitmap&& other) noexcept;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }

    // Resizes to width x height; the contents become fully transparent. Non-positive sizes
    // give an empty bitmap that every drawing operation ignores.
    void SetSize(int width, int height);

    // Fills a rectangle with an unpremultiplied ARGB colour, replacing what was there.
    void FillRect(const TRect& rect, uint32_t argb);
    // Blends an ARGB colour over a rectangle.
    void BlendRect(const TRect& rect, uint32_t argb);

    // Copies the pixels of source's rectangle src to (x, y) of this bitmap, replacing them.
    void CopyFrom(const TBitmap& source, const TRect& src, int x, int y);
    // Blends the whole of source over this bitmap with its top-left corner at (x, y), its
    // alpha multiplied by opacity (0..1).
    void BlendFrom(const TBitmap& source, int x, int y, double opacity = 1.0);
    // Blends source's rectangle src, stretched with a bilinear filter, into dst.
    void StretchBlendFrom(const TBitmap& source, const TRect& src, const TRect& dst);

    // Limits drawing to rect (device pixels, within any limit already in force) until the
    // matching PopClip.
    void PushClip(const TRect& rect);
    void PopClip();
    // The part of the bitmap that drawing can still change; empty for an empty bitmap.
    TRect ClipRect();

    // Unpremultiplied ARGB of one pixel (0 outside the bitmap); for tests and hit checks.
    uint32_t PixelAt(int x, int y) const;

    bool SavePng(const std::string& path) const;

    // The font text drawing uses when no theme font applies.
    TFont Font;

    // Raw access for drawing code that talks to Cairo directly; null when empty.
    cairo_surface_t* Surface() const { return m_surface; }
    // A Cairo context on this bitmap, created on first use and kept until the size changes.
    cairo_t* Context();

private:
    void Release();

    cairo_surface_t* m_surface = nullptr;
    cairo_t* m_context = nullptr;
    int m_width = 0;
    int m_height = 0;
};

}
