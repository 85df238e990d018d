#include "platform/graphics/TextRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace vantor {
namespace {

// Bounds of the pixels text touched (alpha above a faint threshold); empty when none.
TRect InkBounds(const TBitmap& bitmap, const TRect& area)
{
    TRect ink { area.Right, area.Bottom, area.Left, area.Top };
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if ((bitmap.PixelAt(x, y) >> 24) > 40) {
                ink.Left = std::min(ink.Left, x);
                ink.Top = std::min(ink.Top, y);
                ink.Right = std::max(ink.Right, x + 1);
                ink.Bottom = std::max(ink.Bottom, y + 1);
            }
    return ink.IsEmpty() ? TRect {} : ink;
}

TFont SansFont(int size)
{
    TFont font;
    font.Name = "Open Sans";
    font.Size = size;
    font.Color = 0xFF000000;
    return font;
}

TEST(TextRenderer, WidthsAreProportionalToTheSize)
{
    std::string const text = "The quick brown fox jumps";
    TTextExtent const at14 = MeasureText(SansFont(14), text);
    TTextExtent const at21 = MeasureText(SansFont(21), text);
    ASSERT_GT(at14.Width, 100);
    EXPECT_NEAR(at21.Width, at14.Width * 1.5, 2.0);
    EXPECT_GT(at21.Height, at14.Height);
    EXPECT_GT(MeasureText(SansFont(14), text + text).Width, at14.Width);
    EXPECT_EQ(MeasureText(SansFont(14), "").Width, 0);
}

TEST(TextRenderer, SizeIsPointsAtNinetySixDotsPerInch)
{
    // Line height of a font is about 1.36 em for this family; 12 points are 16 pixels.
    TTextExtent const extent = MeasureText(SansFont(12), "Text");
    EXPECT_NEAR(extent.Height, 16 * 1.36, 2.0);
}

struct TAlignCase {
    TTextFlags Flags;
    int ExpectedCentreX; // of the ink, within 6 pixels
    int ExpectedCentreY;
};

class TextAlignment : public testing::TestWithParam<TAlignCase> { };

TEST_P(TextAlignment, PlacesTheTextInsideTheRectangle)
{
    TBitmap canvas(400, 200);
    TRect const rect { 50, 20, 350, 180 };
    DrawText(canvas, SansFont(12), "Mid", rect, GetParam().Flags);
    TRect const ink = InkBounds(canvas, { 0, 0, 400, 200 });
    ASSERT_FALSE(ink.IsEmpty());
    int const width = MeasureText(SansFont(12), "Mid").Width;
    int const height = MeasureText(SansFont(12), "Mid").Height;
    int expectedX = GetParam().ExpectedCentreX;
    int expectedY = GetParam().ExpectedCentreY;
    // -1 and -2 stand for the left/top and right/bottom positions, which depend on the extent
    if (expectedX == -1)
        expectedX = rect.Left + width / 2;
    if (expectedX == -2)
        expectedX = rect.Right - width / 2;
    if (expectedY == -1)
        expectedY = rect.Top + height / 2;
    if (expectedY == -2)
        expectedY = rect.Bottom - height / 2;
    EXPECT_NEAR((ink.Left + ink.Right) / 2, expectedX, 6);
    EXPECT_NEAR((ink.Top + ink.Bottom) / 2, expectedY, 6);
}

INSTANTIATE_TEST_SUITE_P(Flags, TextAlignment,
    testing::Values(TAlignCase { tfLeft | tfTop | tfSingleLine, -1, -1 },
        TAlignCase { tfCenter | tfVCenter | tfSingleLine, 200, 100 },
        TAlignCase { tfRight | tfBottom | tfSingleLine, -2, -2 },
        TAlignCase { tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis, 200, 100 },
        TAlignCase { tfRight | tfVCenter | tfWordBreak, -2, 100 }));

TEST(TextRenderer, EndEllipsisFitsTheTextIntoItsRectangle)
{
    std::string const text = "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
    TRect const rect { 10, 10, 130, 50 };
    TBitmap clipped(200, 60);
    DrawText(clipped, SansFont(12), text, rect, tfSingleLine | tfVCenter);
    TBitmap ellipsized(200, 60);
    DrawText(ellipsized, SansFont(12), text, rect, tfSingleLine | tfVCenter | tfEndEllipsis);

    TRect const whole { 0, 0, 200, 60 };
    TRect const clippedInk = InkBounds(clipped, whole);
    TRect const ellipsisInk = InkBounds(ellipsized, whole);
    ASSERT_FALSE(ellipsisInk.IsEmpty());
    EXPECT_GE(ellipsisInk.Left, rect.Left);
    EXPECT_LE(ellipsisInk.Right, rect.Right);
    // The cut-off text reaches the right edge with the tall W strokes; the ellipsized one
    // ends in dots, which stay in the lower half of the line.
    int const middle = (clippedInk.Top + clippedInk.Bottom) / 2;
    TRect const upperTail { rect.Right - 10, clippedInk.Top, rect.Right, middle };
    EXPECT_FALSE(InkBounds(clipped, upperTail).IsEmpty());
    EXPECT_TRUE(InkBounds(ellipsized, upperTail).IsEmpty());
    EXPECT_FALSE(InkBounds(ellipsized, { rect.Right - 20, middle, rect.Right, clippedInk.Bottom }).IsEmpty());
}

TEST(TextRenderer, WordBreakWrapsIntoSeveralLines)
{
    TBitmap canvas(200, 200);
    DrawText(canvas, SansFont(12), "one two three four five six", { 0, 0, 80, 200 }, tfWordBreak);
    TRect const ink = InkBounds(canvas, { 0, 0, 200, 200 });
    EXPECT_LE(ink.Right, 80);
    EXPECT_GT(ink.Height(), 2 * MeasureText(SansFont(12), "one").Height);

    TBitmap single(200, 200);
    DrawText(single, SansFont(12), "one two three four five six", { 0, 0, 80, 200 }, tfWordBreak | tfSingleLine);
    EXPECT_LT(InkBounds(single, { 0, 0, 200, 200 }).Height(), MeasureText(SansFont(12), "one").Height);
}

TEST(TextRenderer, ColourWithZeroAlphaIsOpaque)
{
    TFont font = SansFont(30);
    font.Color = 0x000000FF; // written as $000000FF in theme files: blue, opaque
    TBitmap canvas(100, 60);
    DrawText(canvas, font, "I", { 0, 0, 100, 60 }, tfCenter | tfVCenter | tfSingleLine);
    uint32_t strongest = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            strongest = std::max(strongest, canvas.PixelAt(x, y));
    EXPECT_EQ(strongest, 0xFF0000FFu);

    font.Color = 0x800000FF; // any other alpha is kept
    TBitmap half(100, 60);
    DrawText(half, font, "I", { 0, 0, 100, 60 }, tfCenter | tfVCenter | tfSingleLine);
    uint32_t maxAlpha = 0;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 100; ++x)
            maxAlpha = std::max(maxAlpha, half.PixelAt(x, y) >> 24);
    EXPECT_NEAR(double(maxAlpha), 128.0, 2.0);
}

TEST(TextRenderer, LargeTextsBeyondTheMaskBudgetStillDraw)
{
    TFont font = SansFont(150);
    TRect const rect { 0, 0, 1600, 300 };
    std::string const text = "WWWWWWW";
    ASSERT_GT(MeasureText(font, text).Width, 1200);
    TBitmap canvas(1600, 300);
    // Over 1,200 x 200 pixels of coverage each: 150 of them exceed what is kept.
    for (int i = 0; i < 150; ++i)
        DrawText(canvas, font, text + std::to_string(i), rect, tfSingleLine);
    TBitmap again(1600, 300);
    DrawText(again, font, text + "0", rect, tfSingleLine);
    EXPECT_FALSE(InkBounds(again, rect).IsEmpty());
    TBitmap reference(1600, 300);
    DrawText(reference, font, text + "0", { 0, 0, 1600, 300 }, tfSingleLine);
    for (int y = 0; y < 300; y += 5)
        for (int x = 0; x < 1600; x += 5)
            ASSERT_EQ(again.PixelAt(x, y), reference.PixelAt(x, y));
}

TEST(TextRenderer, HostileInputDrawsSafely)
{
    TBitmap canvas(50, 20);
    TFont font = SansFont(2000000000);
    DrawText(canvas, font, "big", { 0, 0, 50, 20 }, tfSingleLine);
    font.Size = -5;
    DrawText(canvas, font, std::string("bad \xff\xfe utf-8"), { 0, 0, 50, 20 }, tfEndEllipsis);
    DrawText(canvas, font, "inverted", { 40, 20, 0, 0 }, 0);
    EXPECT_GT(MeasureText(SansFont(12), std::string("\xc3", 1)).Width, 0);
    TBitmap empty;
    DrawText(empty, SansFont(12), "nothing", { 0, 0, 10, 10 }, 0);
}

}
}
