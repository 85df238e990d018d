#include "platform/graphics/PngImage.h"

#include <cairo.h>
#include <png.h>

#include <cstring>
#include <fstream>
#include <vector>

namespace vantor {

namespace {

// Deflate cannot expand data by more than about 1032 times, so an image whose smallest
// possible raw size exceeds that of the input is a lie about its size.
constexpr uint64_t MaxInflateRatio = 1032;

void Premultiply(uint8_t* row, int width)
{
    for (int x = 0; x < width; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, 4);
        uint32_t const a = pixel >> 24;
        if (a == 255)
            continue;
        auto mul = [a](uint32_t c) { return (c * a + 127) / 255; };
        pixel = (a << 24) | (mul((pixel >> 16) & 0xFF) << 16) | (mul((pixel >> 8) & 0xFF) << 8) | mul(pixel & 0xFF);
        std::memcpy(row + 4 * x, &pixel, 4);
    }
}

}

TBitmap DecodePng(const uint8_t* data, size_t size)
{
    if (!data || size < 8 || png_sig_cmp(data, 0, 8) != 0)
        return {};
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        return {};

    uint64_t const width = image.width;
    uint64_t const height = image.height;
    uint64_t const smallestRaw = height * (1 + (width + 7) / 8);
    if (width == 0 || height == 0 || width * height > PngMaxPixels || width > INT32_MAX / 4
        || smallestRaw > uint64_t(size) * MaxInflateRatio) {
        png_image_free(&image);
        return {};
    }

    // Cairo's ARGB32 is a native-endian 32-bit word.
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    image.format = PNG_FORMAT_BGRA;
#else
    image.format = PNG_FORMAT_ARGB;
#endif
    // 16-bit images without colour-space chunks are sRGB in practice, not linear.
    image.flags |= PNG_IMAGE_FLAG_16BIT_sRGB;

    TBitmap bitmap(static_cast<int>(width), static_cast<int>(height));
    if (bitmap.IsEmpty()) {
        png_image_free(&image);
        return {};
    }
    cairo_surface_t* surface = bitmap.Surface();
    cairo_surface_flush(surface);
    uint8_t* pixels = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    if (!png_image_finish_read(&image, nullptr, pixels, stride, nullptr)) {
        png_image_free(&image);
        return {};
    }
    for (uint64_t y = 0; y < height; ++y)
        Premultiply(pixels + y * stride, int(width));
    cairo_surface_mark_dirty(surface);
    return bitmap;
}

TBitmap LoadPngFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return {};
    file.seekg(0, std::ios::end);
    std::streamoff const length = file.tellg();
    if (length <= 0 || uint64_t(length) > PngMaxFileBytes)
        return {};
    file.seekg(0);
    std::vector<uint8_t> bytes(static_cast<size_t>(length));
    if (!file.read(reinterpret_cast<char*>(bytes.data()), length))
        return {};
    return DecodePng(bytes.data(), bytes.size());
}

}
