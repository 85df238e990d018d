#include "platform/graphics/BmpImage.h"
#include "platform/graphics/GifImage.h"
#include "platform/graphics/ImageScale.h"
#include "platform/graphics/JpegImage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace vantor {
namespace {

std::vector<uint8_t> ReadSample(const std::string& name)
{
    std::ifstream in(std::string(VANTOR_TEST_DATA) + "/covers/" + name, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

TBitmap DecodeSample(const std::string& name)
{
    std::vector<uint8_t> const bytes = ReadSample(name);
    EXPECT_FALSE(bytes.empty()) << name;
    std::string const ext = name.substr(name.rfind('.'));
    if (ext == ".jpg")
        return DecodeJpeg(bytes.data(), bytes.size());
    if (ext == ".gif")
        return DecodeGif(bytes.data(), bytes.size());
    return DecodeBmp(bytes.data(), bytes.size());
}

// Channels of two unpremultiplied ARGB values differ by at most tolerance.
bool Near(uint32_t a, uint32_t b, int tolerance)
{
    for (int shift = 0; shift < 32; shift += 8)
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

struct TPixelCase {
    const char* File;
    int Width;
    int Height;
    int X;
    int Y;
    uint32_t Argb;
    int Tolerance; // JPEG is lossy
};

class PictureSamples : public testing::TestWithParam<TPixelCase> { };

TEST_P(PictureSamples, DecodesSizeAndPixel)
{
    TPixelCase const c = GetParam();
    TBitmap const bitmap = DecodeSample(c.File);
    ASSERT_EQ(bitmap.Width(), c.Width);
    ASSERT_EQ(bitmap.Height(), c.Height);
    uint32_t const pixel = bitmap.PixelAt(c.X, c.Y);
    EXPECT_TRUE(Near(pixel, c.Argb, c.Tolerance)) << std::hex << pixel << " expected " << c.Argb;
}

INSTANTIATE_TEST_SUITE_P(Formats, PictureSamples,
    testing::Values(TPixelCase { "jpeg/red.jpg", 32, 24, 5, 5, 0xFFFF0000, 4 },
        TPixelCase { "jpeg/grey.jpg", 16, 8, 15, 7, 0xFF808080, 2 },
        TPixelCase { "gif/green.gif", 20, 10, 19, 0, 0xFF00FF00, 4 },
        TPixelCase { "bmp/blue24.bmp", 16, 8, 15, 7, 0xFF0000FF, 0 },
        TPixelCase { "bmp/palette8.bmp", 3, 2, 2, 0, 0xFF0000FF, 0 },
        TPixelCase { "bmp/palette8.bmp", 3, 2, 0, 1, 0xFF0000FF, 0 },
        TPixelCase { "bmp/palette8.bmp", 3, 2, 2, 1, 0xFF000000, 0 },
        TPixelCase { "bmp/palette4.bmp", 3, 2, 2, 0, 0xFF0000FF, 0 },
        TPixelCase { "bmp/palette4.bmp", 3, 2, 1, 1, 0xFF000000, 0 },
        TPixelCase { "bmp/palette1.bmp", 3, 2, 2, 0, 0xFF0000FF, 0 },
        TPixelCase { "bmp/palette1.bmp", 3, 2, 0, 1, 0xFF0000FF, 0 },
        TPixelCase { "bmp/palette1.bmp", 3, 2, 1, 1, 0xFF000000, 0 },
        TPixelCase { "bmp/blue16.bmp", 16, 8, 3, 2, 0xFF0000FF, 0 },
        TPixelCase { "bmp/blue32.bmp", 16, 8, 3, 2, 0xFF0000FF, 0 },
        // bottom-up RLE8: the file's second row is the picture's top row
        TPixelCase { "bmp/rle8.bmp", 5, 2, 0, 1, 0xFFFF0000, 0 },
        TPixelCase { "bmp/rle8.bmp", 5, 2, 1, 0, 0xFF00FF00, 0 },
        TPixelCase { "bmp/rle8.bmp", 5, 2, 2, 0, 0xFFFF0000, 0 },
        TPixelCase { "bmp/rle8.bmp", 5, 2, 4, 0, 0xFFFF0000, 0 },
        TPixelCase { "bmp/alpha-topdown.bmp", 2, 2, 0, 0, 0x80FFFFFF, 1 },
        TPixelCase { "bmp/alpha-topdown.bmp", 2, 2, 1, 1, 0xFF000000, 0 }));

TEST(PictureDecoders, DamagedInputGivesAnEmptyBitmap)
{
    EXPECT_TRUE(DecodeSample("jpeg/truncated.jpg").IsEmpty());

    // Headers that claim far more pixels than the bytes behind them can hold.
    std::vector<uint8_t> bmp = ReadSample("bmp/blue24.bmp");
    bmp[18] = 0xFF; // width 65535 + ...
    bmp[19] = 0xFF;
    EXPECT_TRUE(DecodeBmp(bmp.data(), bmp.size()).IsEmpty());
    std::vector<uint8_t> gif = ReadSample("gif/green.gif");
    gif.resize(40);
    EXPECT_TRUE(DecodeGif(gif.data(), gif.size()).IsEmpty());
    for (auto* decode : { DecodeJpeg, DecodeGif, DecodeBmp }) {
        EXPECT_TRUE(decode(nullptr, 0).IsEmpty());
        uint8_t const junk[] = { 'B', 'M', 0xFF, 0xD8, 'G', 'I', 'F', '8', '9', 'a' };
        EXPECT_TRUE(decode(junk, sizeof junk).IsEmpty());
    }
}

// An 8x8 JPEG of one colour, encoded here: CMYK files and progressive files are rare in the
// wild but must decode.
std::vector<uint8_t> EncodeJpeg(J_COLOR_SPACE space, int components, const uint8_t* pixel, bool progressive)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 8;
    info.image_height = 8;
    info.input_components = components;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(8) * components);
    for (int x = 0; x < 8; ++x)
        std::copy(pixel, pixel + components, row.begin() + x * components);
    while (info.next_scanline < info.image_height) {
        JSAMPROW rows[1] = { row.data() };
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

TEST(PictureDecoders, ProgressiveAndAdobeCmykJpegs)
{
    uint8_t const green[] = { 0, 200, 0 };
    std::vector<uint8_t> const progressive = EncodeJpeg(JCS_RGB, 3, green, true);
    TBitmap const decoded = DecodeJpeg(progressive.data(), progressive.size());
    ASSERT_EQ(decoded.Width(), 8);
    EXPECT_TRUE(Near(decoded.PixelAt(3, 3), 0xFF00C800, 4)) << std::hex << decoded.PixelAt(3, 3);

    // Red in CMYK (C 0, M 255, Y 255, K 0), stored inverted as Adobe applications write it.
    uint8_t const red[] = { 255, 0, 0, 255 };
    std::vector<uint8_t> const cmyk = EncodeJpeg(JCS_CMYK, 4, red, false);
    TBitmap const decodedCmyk = DecodeJpeg(cmyk.data(), cmyk.size());
    ASSERT_EQ(decodedCmyk.Width(), 8);
    EXPECT_TRUE(Near(decodedCmyk.PixelAt(3, 3), 0xFFFF0000, 4)) << std::hex << decodedCmyk.PixelAt(3, 3);
}

TEST(ImageScale, ShrinkingAveragesAndKeepsTheEdges)
{
    // Left half red, right half blue.
    TBitmap source(100, 10);
    source.FillRect(TRect::FromSize(0, 0, 50, 10), 0xFFFF0000);
    source.FillRect(TRect::FromSize(50, 0, 50, 10), 0xFF0000FF);
    TBitmap const scaled = ScaleBitmap(source, 10, 1);
    ASSERT_EQ(scaled.Width(), 10);
    ASSERT_EQ(scaled.Height(), 1);
    EXPECT_EQ(scaled.PixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(scaled.PixelAt(9, 0), 0xFF0000FFu);
    uint32_t const middle = scaled.PixelAt(5, 0);
    EXPECT_GT(middle & 0xFF, 0u) << "the pixel at the seam mixes both halves";
    EXPECT_GT((middle >> 16) & 0xFF, 0u);
}

TEST(ImageScale, KeepsTranslucencyAndEnlargesUniformly)
{
    TBitmap source(3, 3);
    source.FillRect(TRect::FromSize(0, 0, 3, 3), 0x80FFFFFF);
    TBitmap const grown = ScaleBitmap(source, 8, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_TRUE(Near(grown.PixelAt(x, y), 0x80FFFFFF, 2)) << std::hex << grown.PixelAt(x, y);
    EXPECT_TRUE(ScaleBitmap(source, 0, 5).IsEmpty());
    EXPECT_TRUE(ScaleBitmap(TBitmap(), 5, 5).IsEmpty());
}

}
}
