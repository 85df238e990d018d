#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/ImagePattern.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vantor {

// An image cut into nine pieces by its margins: corners keep their size, the edges stretch
// along one axis and the centre along both. Each piece is its own small bitmap so that
// bilinear stretching never samples a neighbouring piece. Pieces that are flat along a
// stretched direction (the usual case) are repeated rather than filtered, which is exact
// for them and several times faster.
//
// Views draw the same image at the same few sizes on every paint, so the composed result of
// the last sizes used (up to a size limit) is kept: a repaint is then one blit. Compositing
// the pieces first and the result over the canvas gives the same pixels, as "over" is
// associative.
class TNineSlice {
public:
    // Cuts image by margins (left, top, right, bottom in image pixels; negative ones count
    // as 0, ones wider than the image as the image's size).
    void Build(const TBitmap& image, const TRect& margins);
    void Reset();
    bool IsEmpty() const { return m_width == 0; }

    // Draws the pieces into the device rectangle dst, bottom-right corner first, then the
    // top-left, top-right and bottom-left corners, the top, left, right and bottom edges and
    // the centre.
    void Draw(TBitmap& canvas, const TRect& dst);

private:
    struct TComposed {
        TBitmap Image;
        TImagePattern Pattern;
        uint64_t LastUse = 0;
    };

    void DrawPieces(TBitmap& canvas, const TRect& dst) const;
    const TComposed& ComposedFor(int width, int height);

    std::vector<std::unique_ptr<TComposed>> m_composed;
    uint64_t m_uses = 0;
    TBitmap m_pieces[9];
    TImagePattern m_patterns[9];
    // Each piece reduced to one column or row along the directions it is flat in; repeating
    // it draws the piece at any stretch along them exactly.
    TBitmap m_tiles[9];
    TImagePattern m_tilePatterns[9];
    // Whether every row (across) or every column (down) of a piece is one colour: stretching
    // along such a direction needs no filtering.
    bool m_flatAcross[9] = {};
    bool m_flatDown[9] = {};
    int m_left = 0, m_top = 0, m_right = 0, m_bottom = 0;
    int m_width = 0, m_height = 0;
};

}
