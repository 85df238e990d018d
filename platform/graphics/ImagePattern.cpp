#include "platform/graphics/ImagePattern.h"

#include <cairo.h>

namespace vantor {

TImagePattern::~TImagePattern() { Reset(); }

void TImagePattern::Reset()
{
    if (m_pattern)
        cairo_pattern_destroy(m_pattern);
    m_pattern = nullptr;
    m_width = m_height = 0;
}

void TImagePattern::Bind(const TBitmap& image)
{
    Reset();
    if (image.IsEmpty())
        return;
    cairo_surface_flush(image.Surface());
    m_pattern = cairo_pattern_create_for_surface(image.Surface());
    // Pad so that edge pixels do not fade into the transparent outside of the image.
    cairo_pattern_set_extend(m_pattern, CAIRO_EXTEND_PAD);
    m_width = image.Width();
    m_height = image.Height();
}

void TImagePattern::Blend(TBitmap& canvas, const TRect& src, const TRect& dst) const
{
    cairo_t* cr = canvas.Context();
    if (!cr || !m_pattern || src.IsEmpty() || dst.IsEmpty())
        return;
    // Pattern space is image space: map dst back onto src.
    double const sx = double(src.Width()) / dst.Width();
    double const sy = double(src.Height()) / dst.Height();
    cairo_matrix_t matrix;
    cairo_matrix_init(&matrix, sx, 0, 0, sy, src.Left - dst.Left * sx, src.Top - dst.Top * sy);
    cairo_pattern_set_matrix(m_pattern, &matrix);
    bool const unscaled = src.Width() == dst.Width() && src.Height() == dst.Height();
    cairo_pattern_set_filter(m_pattern, unscaled ? CAIRO_FILTER_FAST : CAIRO_FILTER_BILINEAR);
    cairo_set_source(cr, m_pattern);
    cairo_rectangle(cr, dst.Left, dst.Top, dst.Width(), dst.Height());
    cairo_fill(cr);
}

void TImagePattern::Blend(TBitmap& canvas, int x, int y) const
{
    Blend(canvas, TRect::FromSize(0, 0, m_width, m_height), TRect::FromSize(x, y, m_width, m_height));
}

}
