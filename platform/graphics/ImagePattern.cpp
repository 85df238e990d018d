#include "platform/graphics/ImagePattern.h"

#include "platform/graphics/CanvasTarget.h"

#include <cairo.h>
#include <pixman.h>

namespace vantor {

TImagePattern::~TImagePattern() { Reset(); }

void TImagePattern::Reset()
{
    if (m_image)
        pixman_image_unref(m_image);
    if (m_plain)
        pixman_image_unref(m_plain);
    m_image = m_plain = nullptr;
    m_bitmap = nullptr;
    m_width = m_height = 0;
}

void TImagePattern::Bind(const TBitmap& image)
{
    Reset();
    if (image.IsEmpty())
        return;
    cairo_surface_t* surface = image.Surface();
    cairo_surface_flush(surface);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(surface));
    int const stride = cairo_image_surface_get_stride(surface);
    m_image = pixman_image_create_bits(PIXMAN_a8r8g8b8, image.Width(), image.Height(), pixels, stride);
    m_plain = pixman_image_create_bits(PIXMAN_a8r8g8b8, image.Width(), image.Height(), pixels, stride);
    if (!m_image || !m_plain) {
        Reset();
        return;
    }
    pixman_image_set_repeat(m_image, PIXMAN_REPEAT_PAD);
    pixman_image_set_repeat(m_plain, PIXMAN_REPEAT_NORMAL);
    m_bitmap = &image;
    m_width = image.Width();
    m_height = image.Height();
}

void TImagePattern::Blend(TBitmap& canvas, const TRect& src, const TRect& dst, TFilter filter) const
{
    if (!m_image || src.IsEmpty() || dst.IsEmpty())
        return;
    TCanvasTarget target;
    if (!OpenCanvasTarget(canvas, target)) {
        bool const unscaled = src.Width() == dst.Width() && src.Height() == dst.Height();
        BlendThroughCairo(canvas, src, dst, unscaled || filter == TFilter::Nearest);
        return;
    }
    CloseCanvasTarget(canvas, Blend(target, src, dst, filter));
}

TRect TImagePattern::Blend(const TCanvasTarget& target, const TRect& src, const TRect& dst, TFilter filter) const
{
    if (!m_image || src.IsEmpty() || dst.IsEmpty())
        return {};
    TRect const device = dst.Offset(target.OffsetX, target.OffsetY);
    TRect const visible = device.Intersect(target.Clip);
    if (visible.IsEmpty())
        return {};

    int const srcX = visible.Left - device.Left;
    int const srcY = visible.Top - device.Top;
    if (src.Width() == dst.Width() && src.Height() == dst.Height()) {
        // Unscaled pieces lie inside the image, so no padding is needed either.
        pixman_image_composite32(PIXMAN_OP_OVER, m_plain, nullptr, target.Image, src.Left + srcX, src.Top + srcY, 0, 0,
            visible.Left, visible.Top, visible.Width(), visible.Height());
        return visible;
    }
    // Destination pixel centres map back onto the source rectangle, as Cairo maps them. The
    // offset of the visible part goes into the transform: pixman's coordinates are 16-bit,
    // while the part may lie far into a large target.
    double const scaleX = double(src.Width()) / dst.Width();
    double const scaleY = double(src.Height()) / dst.Height();
    pixman_transform_t transform;
    pixman_transform_init_identity(&transform);
    transform.matrix[0][0] = pixman_double_to_fixed(scaleX);
    transform.matrix[1][1] = pixman_double_to_fixed(scaleY);
    transform.matrix[0][2] = pixman_double_to_fixed(src.Left + srcX * scaleX);
    transform.matrix[1][2] = pixman_double_to_fixed(src.Top + srcY * scaleY);
    pixman_image_set_transform(m_image, &transform);
    pixman_image_set_filter(
        m_image, filter == TFilter::Nearest ? PIXMAN_FILTER_NEAREST : PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_composite32(PIXMAN_OP_OVER, m_image, nullptr, target.Image, 0, 0, 0, 0, visible.Left, visible.Top,
        visible.Width(), visible.Height());
    return visible;
}

TRect TImagePattern::Tile(const TCanvasTarget& target, const TRect& dst) const
{
    if (!m_plain || dst.IsEmpty())
        return {};
    TRect const device = dst.Offset(target.OffsetX, target.OffsetY);
    TRect const visible = device.Intersect(target.Clip);
    if (visible.IsEmpty())
        return {};
    // The image repeats, so the offset into it can be kept small (pixman's coordinates are 16-bit).
    pixman_image_composite32(PIXMAN_OP_OVER, m_plain, nullptr, target.Image, (visible.Left - device.Left) % m_width,
        (visible.Top - device.Top) % m_height, 0, 0, visible.Left, visible.Top, visible.Width(), visible.Height());
    return visible;
}

void TImagePattern::Blend(TBitmap& canvas, int x, int y) const
{
    Blend(canvas, TRect::FromSize(0, 0, m_width, m_height), TRect::FromSize(x, y, m_width, m_height));
}

void TImagePattern::BlendThroughCairo(TBitmap& canvas, const TRect& src, const TRect& dst, bool nearest) const
{
    cairo_t* cr = canvas.Context();
    if (!cr)
        return;
    cairo_surface_t* surface = m_bitmap->Surface();
    cairo_save(cr);
    cairo_rectangle(cr, dst.Left, dst.Top, dst.Width(), dst.Height());
    cairo_clip(cr);
    cairo_translate(cr, dst.Left, dst.Top);
    cairo_scale(cr, double(dst.Width()) / src.Width(), double(dst.Height()) / src.Height());
    cairo_set_source_surface(cr, surface, -src.Left, -src.Top);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_filter(pattern, nearest ? CAIRO_FILTER_FAST : CAIRO_FILTER_BILINEAR);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
}

}
