#include "platform/graphics/PngImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantor {
namespace {

std::string Sample(const std::string& name) { return std::string(VANTOR_TEST_DATA) + "/theme/png/" + name; }

struct TPixelCase {
    const char* File;
    int Width;
    int Height;
    int X;
    int Y;
    uint32_t Argb; // unpremultiplied
};

class PngSamples : public testing::TestWithParam<TPixelCase> { };

TEST_P(PngSamples, DecodesSizeAndPixel)
{
    TPixelCase const c = GetParam();
    TBitmap const bitmap = LoadPngFile(Sample(c.File));
    ASSERT_EQ(bitmap.Width(), c.Width);
    ASSERT_EQ(bitmap.Height(), c.Height);
    EXPECT_EQ(bitmap.PixelAt(c.X, c.Y), c.Argb) << std::hex << bitmap.PixelAt(c.X, c.Y);
}

INSTANTIATE_TEST_SUITE_P(ColourTypes, PngSamples,
    testing::Values(TPixelCase { "rgba8.png", 4, 4, 0, 0, 0xFFFF0000 },
        TPixelCase { "rgba8.png", 4, 4, 3, 0, 0xFF00FF00 }, TPixelCase { "rgba8.png", 4, 4, 0, 3, 0xFF0000FF },
        TPixelCase { "rgba8.png", 4, 4, 3, 3, 0x80FFFFFF }, TPixelCase { "rgba16.png", 2, 2, 0, 1, 0xFFFF0000 },
        TPixelCase { "rgb8.png", 3, 2, 2, 1, 0xFF1414C8 }, TPixelCase { "rgb16.png", 2, 1, 0, 0, 0xFFFF8000 },
        TPixelCase { "gray1.png", 9, 2, 1, 0, 0xFFFFFFFF }, TPixelCase { "gray1.png", 9, 2, 8, 0, 0xFF000000 },
        TPixelCase { "gray1.png", 9, 2, 8, 1, 0xFFFFFFFF }, TPixelCase { "gray4.png", 3, 1, 2, 0, 0xFFEEEEEE },
        TPixelCase { "gray-alpha8.png", 2, 1, 0, 0, 0xFFC8C8C8 },
        TPixelCase { "gray-alpha8.png", 2, 1, 1, 0, 0x00000000 },
        TPixelCase { "gray16-trns.png", 2, 1, 0, 0, 0x00000000 },
        TPixelCase { "gray16-trns.png", 2, 1, 1, 0, 0xFFFFFFFF },
        TPixelCase { "rgb8-trns.png", 2, 1, 0, 0, 0xFF00FF00 }, TPixelCase { "rgb8-trns.png", 2, 1, 1, 0, 0x00000000 },
        TPixelCase { "palette2-trns.png", 4, 1, 0, 0, 0xFFFF0000 },
        TPixelCase { "palette2-trns.png", 4, 1, 1, 0, 0x400000FF },
        TPixelCase { "palette2-trns.png", 4, 1, 2, 0, 0xFF00FF00 },
        TPixelCase { "palette8.png", 2, 2, 1, 1, 0xFFFFFF00 }, TPixelCase { "interlaced.png", 9, 9, 8, 8, 0xFFE0E05A },
        TPixelCase { "interlaced.png", 9, 9, 3, 5, 0xFF548C5A }));

TEST(PngImage, HalfTransparentSixteenBitPixelIsPremultiplied)
{
    TBitmap const bitmap = LoadPngFile(Sample("rgba16.png"));
    uint32_t const pixel = bitmap.PixelAt(1, 0);
    EXPECT_NEAR(double(pixel >> 24), 128.0, 1.0);
    EXPECT_NEAR(double(pixel & 0xFF), 255.0, 2.0);
    EXPECT_EQ(pixel & 0x00FFFF00, 0u);
}

TEST(PngImage, DamagedOrOversizedInputGivesAnEmptyBitmap)
{
    for (const char* name : { "truncated.png", "bad-crc.png", "huge-claim.png", "missing.png" })
        EXPECT_TRUE(LoadPngFile(Sample(name)).IsEmpty()) << name;

    uint8_t const junk[] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13 };
    EXPECT_TRUE(DecodePng(junk, sizeof junk).IsEmpty());
    EXPECT_TRUE(DecodePng(nullptr, 0).IsEmpty());
}

TEST(PngImage, DecodesFromMemoryLikeFromFile)
{
    std::ifstream file(Sample("interlaced.png"), std::ios::binary);
    std::vector<uint8_t> const bytes { std::istreambuf_iterator<char>(file), {} };
    TBitmap const fromMemory = DecodePng(bytes.data(), bytes.size());
    TBitmap const fromFile = LoadPngFile(Sample("interlaced.png"));
    ASSERT_EQ(fromMemory.Width(), 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            ASSERT_EQ(fromMemory.PixelAt(x, y), fromFile.PixelAt(x, y));
}

}
}
