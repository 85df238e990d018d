#include "platform/graphics/CanvasTarget.h"

#include <cairo.h>
#include <pixman.h>

#include <cmath>

namespace vantor {

namespace {

// The pixman image over the canvas most recently drawn into, kept for the next call. It
// does not own the pixels, so it stays right for any surface with the same memory and shape.
class TTargetCache {
public:
    ~TTargetCache()
    {
        if (m_image)
            pixman_image_unref(m_image);
    }

    pixman_image_t* For(unsigned char* data, int width, int height, int stride)
    {
        if (m_image && data == m_data && width == m_width && height == m_height && stride == m_stride)
            return m_image;
        if (m_image)
            pixman_image_unref(m_image);
        m_image = pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, reinterpret_cast<uint32_t*>(data), stride);
        m_data = data;
        m_width = width;
        m_height = height;
        m_stride = stride;
        return m_image;
    }

private:
    pixman_image_t* m_image = nullptr;
    unsigned char* m_data = nullptr;
    int m_width = 0, m_height = 0, m_stride = 0;
};

bool IsWhole(double v) { return v == std::floor(v) && std::fabs(v) < 1e7; }

}

bool OpenCanvasTarget(TBitmap& canvas, TCanvasTarget& target)
{
    cairo_t* cr = canvas.Context();
    if (!cr)
        return false;
    cairo_matrix_t matrix;
    cairo_get_matrix(cr, &matrix);
    if (matrix.xx != 1 || matrix.yy != 1 || matrix.xy != 0 || matrix.yx != 0 || !IsWhole(matrix.x0)
        || !IsWhole(matrix.y0))
        return false;
    target.OffsetX = int(matrix.x0);
    target.OffsetY = int(matrix.y0);

    // The clip's bounding box: the control tree clips to rectangles.
    double x1, y1, x2, y2;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    TRect const clip { int(std::floor(x1)) + target.OffsetX, int(std::floor(y1)) + target.OffsetY,
        int(std::ceil(x2)) + target.OffsetX, int(std::ceil(y2)) + target.OffsetY };
    target.Clip = clip.Intersect({ 0, 0, canvas.Width(), canvas.Height() });

    cairo_surface_t* surface = canvas.Surface();
    cairo_surface_flush(surface);
    thread_local TTargetCache cache;
    target.Image = cache.For(cairo_image_surface_get_data(surface), canvas.Width(), canvas.Height(),
        cairo_image_surface_get_stride(surface));
    return target.Image != nullptr;
}

void CloseCanvasTarget(TBitmap& canvas, const TRect& changed)
{
    if (!changed.IsEmpty())
        cairo_surface_mark_dirty_rectangle(
            canvas.Surface(), changed.Left, changed.Top, changed.Width(), changed.Height());
}

}
