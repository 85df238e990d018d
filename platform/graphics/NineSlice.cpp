#include "platform/graphics/NineSlice.h"

#include <algorithm>
#include <cstdint>

namespace vantor {

namespace {

// Piece columns and rows (0 = left/top margin, 1 = middle, 2 = right/bottom margin) in
// drawing order.
constexpr int Order[9][2] = { { 2, 2 }, { 0, 0 }, { 2, 0 }, { 0, 2 }, { 1, 0 }, { 0, 1 }, { 2, 1 },
    { 1, 2 }, { 1, 1 } };

// Geometry is clamped to what Cairo's fixed-point coordinates can hold.
constexpr int64_t CoordinateLimit = int64_t(1) << 22;
int Clamp(int64_t v) { return int(std::clamp(v, -CoordinateLimit, CoordinateLimit)); }

}

void TNineSlice::Reset()
{
    for (int i = 0; i < 9; ++i) {
        m_patterns[i].Reset();
        m_pieces[i].SetSize(0, 0);
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
    }
}

void TNineSlice::Draw(TBitmap& canvas, const TRect& dst) const
{
    if (IsEmpty())
        return;
    int const dx[4] = { dst.Left, Clamp(int64_t(dst.Left) + m_left), Clamp(int64_t(dst.Right) - m_right),
        dst.Right };
    int const dy[4] = { dst.Top, Clamp(int64_t(dst.Top) + m_top), Clamp(int64_t(dst.Bottom) - m_bottom),
        dst.Bottom };
    for (int i = 0; i < 9; ++i) {
        if (!m_patterns[i].IsBound())
            continue;
        auto const [col, row] = Order[i];
        TRect const piece { dx[col], dy[row], dx[col + 1], dy[row + 1] };
        m_patterns[i].Blend(canvas, TRect::FromSize(0, 0, m_pieces[i].Width(), m_pieces[i].Height()), piece);
    }
}

}
