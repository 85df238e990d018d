#include "platform/graphics/ImagePattern.h"
#include "platform/graphics/NineSlice.h"
#include "platform/graphics/TextRenderer.h"

#include <cairo.h>
#include <gtest/gtest.h>

namespace vantor {
namespace {

constexpr uint32_t Red = 0xFFFF0000, Blue = 0xFF0000FF;

TBitmap Solid(int width, int height, uint32_t argb)
{
    TBitmap bitmap(width, height);
    bitmap.FillRect({ 0, 0, width, height }, argb);
    return bitmap;
}

// Direct drawing must honour what a caller set on the canvas's context: its clip and its
// translation; other transforms go through Cairo.
TEST(ImagePattern, HonoursTheContextClipAndTranslation)
{
    TBitmap const image = Solid(4, 4, Red);
    TImagePattern pattern;
    pattern.Bind(image);

    TBitmap canvas(40, 40);
    cairo_t* cr = canvas.Context();
    cairo_save(cr);
    cairo_translate(cr, 10, 5);
    cairo_rectangle(cr, 0, 0, 8, 8);
    cairo_clip(cr);
    pattern.Blend(canvas, { 0, 0, 4, 4 }, { 2, 2, 22, 22 });
    cairo_restore(cr);
    EXPECT_EQ(canvas.PixelAt(12, 7), Red);
    EXPECT_EQ(canvas.PixelAt(17, 12), Red);
    EXPECT_EQ(canvas.PixelAt(18, 12), 0u);
    EXPECT_EQ(canvas.PixelAt(12, 13), 0u);
    EXPECT_EQ(canvas.PixelAt(11, 7), 0u);

    TBitmap scaled(40, 40);
    cairo_t* scr = scaled.Context();
    cairo_scale(scr, 2, 2);
    pattern.Blend(scaled, 1, 1);
    cairo_identity_matrix(scr);
    EXPECT_EQ(scaled.PixelAt(2, 2), Red);
    EXPECT_EQ(scaled.PixelAt(9, 9), Red);
    EXPECT_EQ(scaled.PixelAt(10, 10), 0u);
}

TEST(ImagePattern, StretchingIsBilinearWithEdgesExtended)
{
    TBitmap image(2, 1);
    image.FillRect({ 0, 0, 1, 1 }, Red);
    image.FillRect({ 1, 0, 2, 1 }, Blue);
    TImagePattern pattern;
    pattern.Bind(image);
    TBitmap canvas(20, 4);
    pattern.Blend(canvas, { 0, 0, 2, 1 }, { 0, 0, 20, 4 });
    EXPECT_EQ(canvas.PixelAt(0, 0), Red); // edges do not fade to transparent
    EXPECT_EQ(canvas.PixelAt(19, 3), Blue);
    uint32_t const middle = canvas.PixelAt(10, 2);
    EXPECT_EQ(middle >> 24, 0xFFu);
    EXPECT_GT((middle >> 16) & 0xFF, 0x40u);
    EXPECT_GT(middle & 0xFF, 0x40u);
}

// Small targets are drawn from a composed copy kept per size, large ones piece by piece;
// both must give the same picture.
class NineSliceSizes : public testing::TestWithParam<TRect> { };

TEST_P(NineSliceSizes, ShadedPiecesStretchSmoothlyAndFlatOnesExactly)
{
    // 12 x 12 with 4-pixel margins: the centre runs from red (left) to blue (right), the rest
    // is flat grey.
    TBitmap image = Solid(12, 12, 0xFF808080);
    for (int x = 4; x < 8; ++x)
        image.FillRect({ x, 4, x + 1, 8 }, x < 6 ? Red : Blue);
    TNineSlice slice;
    slice.Build(image, { 4, 4, 4, 4 });
    TRect const r = GetParam();
    TBitmap canvas(r.Right + 1, r.Bottom + 1);
    for (int repaint = 0; repaint < 2; ++repaint) {
        slice.Draw(canvas, r);
        int const midY = (r.Top + r.Bottom) / 2;
        EXPECT_EQ(canvas.PixelAt((r.Left + r.Right) / 2, r.Top), 0xFF808080u); // top edge, repeated
        EXPECT_EQ(canvas.PixelAt(r.Left, midY), 0xFF808080u);                  // left edge
        EXPECT_EQ(canvas.PixelAt(r.Right - 1, r.Bottom - 1), 0xFF808080u);     // corner
        EXPECT_EQ(canvas.PixelAt(r.Right, midY), 0u);
        EXPECT_EQ(canvas.PixelAt(r.Left + 4, midY), Red);                    // centre starts red
        EXPECT_EQ(canvas.PixelAt(r.Right - 5, midY), Blue);                  // and ends blue
        uint32_t const blend = canvas.PixelAt((r.Left + r.Right) / 2, midY); // with a blend between
        EXPECT_NE(blend, Red);
        EXPECT_NE(blend, Blue);
        // The centre never samples the grey frame around it.
        for (int x = r.Left + 4; x < r.Right - 4; ++x)
            ASSERT_NE(canvas.PixelAt(x, midY) & 0x00FF00, 0x008000u) << x;
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, NineSliceSizes, testing::Values(TRect { 0, 0, 100, 30 }, TRect { 3, 2, 1003, 402 }));

TEST(NineSlice, ComposedCopiesFollowTheSizesInUse)
{
    TBitmap image = Solid(12, 12, Blue);
    TNineSlice slice;
    slice.Build(image, { 4, 4, 4, 4 });
    TBitmap canvas(60, 60);
    // More sizes than are kept, in turns: every one must still come out right.
    for (int round = 0; round < 2; ++round)
        for (int size = 10; size < 60; size += 4) {
            canvas.FillRect({ 0, 0, 60, 60 }, 0);
            slice.Draw(canvas, { 0, 0, size, size });
            ASSERT_EQ(canvas.PixelAt(size - 1, size - 1), Blue) << size;
            ASSERT_EQ(canvas.PixelAt(size, size - 1), 0u) << size;
        }
}

TEST(ImagePattern, TargetsReachingFarBeyondTheCanvasDrawTheirVisiblePart)
{
    TBitmap image(2, 1);
    image.FillRect({ 0, 0, 1, 1 }, Red);
    image.FillRect({ 1, 0, 2, 1 }, Blue);
    TImagePattern pattern;
    pattern.Bind(image);
    TBitmap canvas(64, 4);
    // The canvas sees the middle of a 200,064-pixel stretch: half red, half blue.
    pattern.Blend(canvas, { 0, 0, 2, 1 }, { -100000, 0, 100064, 4 });
    uint32_t const middle = canvas.PixelAt(32, 2);
    EXPECT_EQ(middle >> 24, 0xFFu);
    EXPECT_NEAR(double((middle >> 16) & 0xFF), 128.0, 4.0);
    EXPECT_NEAR(double(middle & 0xFF), 128.0, 4.0);
}

TEST(NineSlice, TargetsSmallerThanTheMarginsOverlapTheCorners)
{
    TBitmap image = Solid(12, 12, Blue);
    image.FillRect({ 0, 0, 4, 4 }, Red); // top-left corner, drawn after the bottom-right one
    TNineSlice slice;
    slice.Build(image, { 4, 4, 4, 4 });
    TBitmap canvas(10, 10);
    slice.Draw(canvas, { 0, 0, 6, 6 });
    EXPECT_EQ(canvas.PixelAt(3, 3), Blue); // top-right, bottom-left and edges cover it
    EXPECT_EQ(canvas.PixelAt(0, 0), Red);
    EXPECT_EQ(canvas.PixelAt(6, 6), 0u);
    slice.Draw(canvas, { 5, 5, 5, 5 }); // empty target: corners only, nothing stretched
}

TEST(TextRenderer, DirectDrawingHonoursTheContextClip)
{
    TFont font;
    font.Size = 20;
    font.Color = 0xFF000000;
    TBitmap canvas(200, 50);
    cairo_t* cr = canvas.Context();
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, 30, 50);
    cairo_clip(cr);
    DrawText(canvas, font, "Clipped text", { 0, 0, 200, 50 }, tfSingleLine | tfVCenter);
    cairo_restore(cr);
    bool inside = false;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; ++x) {
            if (canvas.PixelAt(x, y) == 0)
                continue;
            ASSERT_LT(x, 30);
            inside = true;
        }
    EXPECT_TRUE(inside);
}

}
}
