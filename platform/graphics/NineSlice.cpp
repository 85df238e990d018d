#include "platform/graphics/NineSlice.h"

#include <cairo.h>

#include <algorithm>
#include <cstdint>

namespace vantor {

namespace {

// Piece columns and rows (0 = left/top margin, 1 = middle, 2 = right/bottom margin) in
// drawing order.
constexpr int Order[9][2] = { { 2, 2 }, { 0, 0 }, { 2, 0 }, { 0, 2 }, { 1, 0 }, { 0, 1 }, { 2, 1 }, { 1, 2 },
    { 1, 1 } };

// Composed copies are kept for this many sizes, each up to this many pixels; larger targets
// (window-wide backgrounds) are drawn piece by piece.
constexpr size_t ComposedSizes = 8;
constexpr int64_t MaxComposedPixels = int64_t(1) << 18;

// Geometry is clamped to what Cairo's fixed-point coordinates can hold.
constexpr int64_t CoordinateLimit = int64_t(1) << 22;
int Clamp(int64_t v) { return int(std::clamp(v, -CoordinateLimit, CoordinateLimit)); }

const uint32_t* Row(const TBitmap& piece, int y)
{
    cairo_surface_t* surface = piece.Surface();
    return reinterpret_cast<const uint32_t*>(
        cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface));
}

bool FlatAcross(const TBitmap& piece)
{
    for (int y = 0; y < piece.Height(); ++y) {
        const uint32_t* row = Row(piece, y);
        for (int x = 1; x < piece.Width(); ++x)
            if (row[x] != row[0])
                return false;
    }
    return true;
}

bool FlatDown(const TBitmap& piece)
{
    const uint32_t* first = Row(piece, 0);
    for (int y = 1; y < piece.Height(); ++y) {
        const uint32_t* row = Row(piece, y);
        for (int x = 0; x < piece.Width(); ++x)
            if (row[x] != first[x])
                return false;
    }
    return true;
}

}

void TNineSlice::Reset()
{
    m_composed.clear();
    for (int i = 0; i < 9; ++i) {
        m_patterns[i].Reset();
        m_pieces[i].SetSize(0, 0);
        m_tilePatterns[i].Reset();
        m_tiles[i].SetSize(0, 0);
    }
    m_width = m_height = 0;
}

void TNineSlice::Build(const TBitmap& image, const TRect& margins)
{
    Reset();
    if (image.IsEmpty())
        return;
    m_width = image.Width();
    m_height = image.Height();
    m_left = std::clamp(margins.Left, 0, m_width);
    m_top = std::clamp(margins.Top, 0, m_height);
    m_right = std::clamp(margins.Right, 0, m_width);
    m_bottom = std::clamp(margins.Bottom, 0, m_height);
    int const sx[4] = { 0, m_left, m_width - m_right, m_width };
    int const sy[4] = { 0, m_top, m_height - m_bottom, m_height };
    for (int i = 0; i < 9; ++i) {
        auto const [col, row] = Order[i];
        TRect const src { sx[col], sy[row], sx[col + 1], sy[row + 1] };
        if (src.IsEmpty())
            continue;
        m_pieces[i].SetSize(src.Width(), src.Height());
        m_pieces[i].CopyFrom(image, src, 0, 0);
        m_patterns[i].Bind(m_pieces[i]);
        cairo_surface_flush(m_pieces[i].Surface());
        m_flatAcross[i] = FlatAcross(m_pieces[i]);
        m_flatDown[i] = FlatDown(m_pieces[i]);
        m_tiles[i].SetSize(m_flatAcross[i] ? 1 : src.Width(), m_flatDown[i] ? 1 : src.Height());
        m_tiles[i].CopyFrom(m_pieces[i], TRect::FromSize(0, 0, m_tiles[i].Width(), m_tiles[i].Height()), 0, 0);
        m_tilePatterns[i].Bind(m_tiles[i]);
    }
}

void TNineSlice::Draw(TBitmap& canvas, const TRect& dst)
{
    if (IsEmpty())
        return;
    int64_t const area = int64_t(dst.Width()) * dst.Height();
    if (dst.IsEmpty() || area > MaxComposedPixels) {
        DrawPieces(canvas, dst);
        return;
    }
    ComposedFor(dst.Width(), dst.Height()).Pattern.Blend(canvas, dst.Left, dst.Top);
}

const TNineSlice::TComposed& TNineSlice::ComposedFor(int width, int height)
{
    ++m_uses;
    TComposed* slot = nullptr;
    for (auto& composed : m_composed) {
        if (composed->Image.Width() == width && composed->Image.Height() == height) {
            composed->LastUse = m_uses;
            return *composed;
        }
        if (!slot || composed->LastUse < slot->LastUse)
            slot = composed.get();
    }
    if (m_composed.size() < ComposedSizes) {
        m_composed.push_back(std::make_unique<TComposed>());
        slot = m_composed.back().get();
    }
    slot->Pattern.Reset();
    slot->Image.SetSize(width, height);
    DrawPieces(slot->Image, { 0, 0, width, height });
    slot->Pattern.Bind(slot->Image);
    slot->LastUse = m_uses;
    return *slot;
}

void TNineSlice::DrawPieces(TBitmap& canvas, const TRect& dst) const
{
    TCanvasTarget target;
    bool const direct = OpenCanvasTarget(canvas, target);
    TRect changed;
    int const dx[4] = { dst.Left, Clamp(int64_t(dst.Left) + m_left), Clamp(int64_t(dst.Right) - m_right), dst.Right };
    int const dy[4] = { dst.Top, Clamp(int64_t(dst.Top) + m_top), Clamp(int64_t(dst.Bottom) - m_bottom), dst.Bottom };
    for (int i = 0; i < 9; ++i) {
        if (!m_patterns[i].IsBound())
            continue;
        auto const [col, row] = Order[i];
        TRect const piece { dx[col], dy[row], dx[col + 1], dy[row + 1] };
        TBitmap const& source = m_pieces[i];
        bool const exact = (piece.Width() == source.Width() || m_flatAcross[i])
            && (piece.Height() == source.Height() || m_flatDown[i]);
        TRect const whole = TRect::FromSize(0, 0, source.Width(), source.Height());
        auto const filter = exact ? TImagePattern::TFilter::Nearest : TImagePattern::TFilter::Bilinear;
        if (!direct)
            m_patterns[i].Blend(canvas, whole, piece, filter);
        else if (exact && !piece.IsEmpty())
            changed = changed.Union(m_tilePatterns[i].Tile(target, piece));
        else
            changed = changed.Union(m_patterns[i].Blend(target, whole, piece, filter));
    }
    if (direct)
        CloseCanvasTarget(canvas, changed);
}

}
