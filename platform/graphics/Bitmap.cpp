#include "platform/graphics/Bitmap.h"

#include <algorithm>
#include <cairo.h>
#include <sys/mman.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>

namespace vantor {

namespace {

constexpr size_t kHugePage = size_t(2) << 20;

// Pixel memory mapped on its own, released with the surface it backs.
struct TMappedPixels {
    unsigned char* Start = nullptr;
    size_t Length = 0;
    TMappedPixels(unsigned char* start, size_t length)
        : Start(start)
        , Length(length)
    {
    }
    ~TMappedPixels() { munmap(Start, Length); }
    TMappedPixels(const TMappedPixels&) = delete;
    TMappedPixels& operator=(const TMappedPixels&) = delete;
};

cairo_user_data_key_t const kMappedPixelsKey {};

// The pixels of a bitmap of at least one huge page (a window's back buffer), in memory the
// kernel may back with huge pages: faulting a full window's worth of 4 KiB pages in one by
// one cost the first paint more than the painting itself. Zero-filled, as fresh anonymous
// memory is; null when the memory cannot be had.
std::unique_ptr<TMappedPixels> MapPixels(size_t bytes)
{
    size_t const length = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    // Over-allocated by one huge page, then trimmed to a huge-page boundary at both ends.
    void* const raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    auto const start = reinterpret_cast<uintptr_t>(raw);
    uintptr_t const aligned = (start + kHugePage - 1) / kHugePage * kHugePage;
    if (aligned > start)
        munmap(raw, aligned - start);
    if (size_t const tail = start + kHugePage - aligned)
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    // Only a hint: without huge pages the memory works as ordinary pages.
    madvise(reinterpret_cast<void*>(aligned), length, MADV_HUGEPAGE);
    return std::make_unique<TMappedPixels>(reinterpret_cast<unsigned char*>(aligned), length);
}

// An ARGB32 surface, over mapped memory when it is large enough for huge pages.
cairo_surface_t* CreateSurface(int width, int height)
{
    int const stride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, width);
    size_t const bytes = stride > 0 ? size_t(stride) * size_t(height) : 0;
    std::unique_ptr<TMappedPixels> pixels = bytes >= kHugePage ? MapPixels(bytes) : nullptr;
    if (!pixels)
        return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(pixels->Start, CAIRO_FORMAT_ARGB32, width, height, stride);
    auto const release = [](void* data) { delete static_cast<TMappedPixels*>(data); };
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS
        && cairo_surface_set_user_data(surface, &kMappedPixelsKey, pixels.get(), release) == CAIRO_STATUS_SUCCESS) {
        pixels.release(); // the surface owns it now
        return surface;
    }
    cairo_surface_destroy(surface);
    return cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
}

void SetSourceArgb(cairo_t* cr, uint32_t argb)
{
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
        ((argb >> 24) & 0xFF) / 255.0);
}

}

TBitmap::TBitmap(int width, int height) { SetSize(width, height); }

TBitmap::~TBitmap() { Release(); }

TBitmap::TBitmap(TBitmap&& other) noexcept
    : Font(std::move(other.Font))
    , m_surface(std::exchange(other.m_surface, nullptr))
    , m_context(std::exchange(other.m_context, nullptr))
    , m_width(std::exchange(other.m_width, 0))
    , m_height(std::exchange(other.m_height, 0))
{
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept
{
    if (this != &other) {
        Release();
        Font = std::move(other.Font);
        m_surface = std::exchange(other.m_surface, nullptr);
        m_context = std::exchange(other.m_context, nullptr);
        m_width = std::exchange(other.m_width, 0);
        m_height = std::exchange(other.m_height, 0);
    }
    return *this;
}

void TBitmap::Release()
{
    if (m_context)
        cairo_destroy(m_context);
    if (m_surface)
        cairo_surface_destroy(m_surface);
    m_context = nullptr;
    m_surface = nullptr;
    m_width = m_height = 0;
}

void TBitmap::SetSize(int width, int height)
{
    Release();
    if (width <= 0 || height <= 0)
        return;
    cairo_surface_t* surface = CreateSurface(width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    m_surface = surface;
    m_width = width;
    m_height = height;
}

cairo_t* TBitmap::Context()
{
    if (!m_surface)
        return nullptr;
    if (!m_context)
        m_context = cairo_create(m_surface);
    return m_context;
}

void TBitmap::PushClip(const TRect& rect)
{
    cairo_t* cr = Context();
    if (!cr)
        return;
    cairo_save(cr);
    cairo_rectangle(
        cr, rect.Left, rect.Top, rect.Width() > 0 ? rect.Width() : 0, rect.Height() > 0 ? rect.Height() : 0);
    cairo_clip(cr);
}

void TBitmap::PopClip()
{
    if (cairo_t* cr = Context())
        cairo_restore(cr);
}

TRect TBitmap::ClipRect()
{
    cairo_t* cr = Context();
    if (!cr)
        return {};
    double x1 = 0;
    double y1 = 0;
    double x2 = 0;
    double y2 = 0;
    cairo_clip_extents(cr, &x1, &y1, &x2, &y2);
    return TRect { static_cast<int>(std::floor(x1)), static_cast<int>(std::floor(y1)), static_cast<int>(std::ceil(x2)),
        static_cast<int>(std::ceil(y2)) };
}

void TBitmap::FillRect(const TRect& rect, uint32_t argb)
{
    cairo_t* cr = Context();
    if (!cr || rect.IsEmpty())
        return;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    SetSourceArgb(cr, argb);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void TBitmap::BlendRect(const TRect& rect, uint32_t argb)
{
    cairo_t* cr = Context();
    if (!cr || rect.IsEmpty())
        return;
    cairo_save(cr);
    SetSourceArgb(cr, argb);
    cairo_rectangle(cr, rect.Left, rect.Top, rect.Width(), rect.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void TBitmap::CopyFrom(const TBitmap& source, const TRect& src, int x, int y)
{
    cairo_t* cr = Context();
    if (!cr || !source.m_surface || src.IsEmpty())
        return;
    cairo_surface_flush(source.m_surface);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, source.m_surface, x - src.Left, y - src.Top);
    cairo_rectangle(cr, x, y, src.Width(), src.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

void TBitmap::BlendFrom(const TBitmap& source, int x, int y, double opacity)
{
    cairo_t* cr = Context();
    if (!cr || !source.m_surface)
        return;
    cairo_surface_flush(source.m_surface);
    cairo_save(cr);
    cairo_set_source_surface(cr, source.m_surface, x, y);
    cairo_rectangle(cr, x, y, source.m_width, source.m_height);
    if (opacity >= 1.0) {
        cairo_fill(cr);
    } else {
        cairo_clip(cr);
        cairo_paint_with_alpha(cr, std::max(0.0, opacity));
    }
    cairo_restore(cr);
}

void TBitmap::StretchBlendFrom(const TBitmap& source, const TRect& src, const TRect& dst)
{
    cairo_t* cr = Context();
    if (!cr || !source.m_surface || src.IsEmpty() || dst.IsEmpty())
        return;
    cairo_surface_flush(source.m_surface);
    cairo_save(cr);
    cairo_rectangle(cr, dst.Left, dst.Top, dst.Width(), dst.Height());
    cairo_clip(cr);
    cairo_translate(cr, dst.Left, dst.Top);
    cairo_scale(cr, double(dst.Width()) / src.Width(), double(dst.Height()) / src.Height());
    cairo_set_source_surface(cr, source.m_surface, -src.Left, -src.Top);
    cairo_pattern_t* pattern = cairo_get_source(cr);
    cairo_pattern_set_filter(pattern, CAIRO_FILTER_BILINEAR);
    // Pad so that edge pixels do not fade into the transparent outside of the source.
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_PAD);
    cairo_rectangle(cr, 0, 0, src.Width(), src.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

uint32_t TBitmap::PixelAt(int x, int y) const
{
    if (!m_surface || x < 0 || y < 0 || x >= m_width || y >= m_height)
        return 0;
    cairo_surface_flush(m_surface);
    unsigned char const* data = cairo_image_surface_get_data(m_surface);
    int const stride = cairo_image_surface_get_stride(m_surface);
    uint32_t const p = *reinterpret_cast<uint32_t const*>(data + y * stride + x * 4);
    uint32_t const a = p >> 24;
    if (a == 0)
        return 0;
    auto unpremultiply = [a](uint32_t c) { return (c * 255 + a / 2) / a; };
    return (a << 24) | (unpremultiply((p >> 16) & 0xFF) << 16) | (unpremultiply((p >> 8) & 0xFF) << 8)
        | unpremultiply(p & 0xFF);
}

bool TBitmap::SavePng(const std::string& path) const
{
    if (!m_surface)
        return false;
    cairo_surface_flush(m_surface);
    return cairo_surface_write_to_png(m_surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}
