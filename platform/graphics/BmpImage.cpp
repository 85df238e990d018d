#include "platform/graphics/BmpImage.h"

#include "platform/graphics/ImageLimits.h"

#include <cairo.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace vantor {

namespace {

enum : uint32_t {
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitFields = 3,
    BiAlphaBitFields = 6,
};

uint16_t U16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p)
{
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// One colour channel described by a bit mask of the pixel word.
struct TChannel {
    uint32_t Mask = 0;
    int Shift = 0;
    uint32_t Max = 0;

    explicit TChannel(uint32_t mask)
        : Mask(mask)
    {
        if (!mask)
            return;
        Shift = std::countr_zero(mask);
        Max = mask >> Shift;
    }
    uint32_t Get(uint32_t pixel, uint32_t missing) const
    {
        if (!Mask)
            return missing;
        return ((pixel & Mask) >> Shift) * 255 / Max;
    }
};

uint32_t Premultiplied(uint32_t a, uint32_t r, uint32_t g, uint32_t b)
{
    if (a != 255) {
        r = (r * a + 127) / 255;
        g = (g * a + 127) / 255;
        b = (b * a + 127) / 255;
    }
    return a << 24 | r << 16 | g << 8 | b;
}

struct THeader {
    int Width = 0;
    int Height = 0; // always positive
    bool TopDown = false;
    int BitCount = 0;
    uint32_t Compression = BiRgb;
    uint32_t Masks[4] = { 0, 0, 0, 0 }; // red, green, blue, alpha
    std::vector<uint32_t> Palette;      // opaque ARGB
};

bool ReadHeader(const uint8_t* data, size_t size, THeader& h)
{
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M')
        return false;
    uint32_t const headerSize = U32(data + 14);
    if (headerSize < 12 || headerSize > size - 14)
        return false;
    const uint8_t* const dib = data + 14;
    size_t paletteAt = 14 + headerSize;
    int paletteEntrySize = 4;
    uint32_t colorsUsed = 0;
    int64_t height = 0;
    if (headerSize == 12) {
        h.Width = U16(dib + 4);
        height = U16(dib + 6);
        h.BitCount = U16(dib + 10);
        paletteEntrySize = 3;
    } else {
        if (headerSize < 40)
            return false;
        h.Width = int32_t(U32(dib + 4));
        height = int32_t(U32(dib + 8));
        h.BitCount = U16(dib + 14);
        h.Compression = U32(dib + 16);
        colorsUsed = U32(dib + 32);
        if (h.Compression == BiBitFields || h.Compression == BiAlphaBitFields) {
            if (headerSize == 40) {
                // An info header is followed by the masks; later versions hold them inside.
                int const masks = h.Compression == BiAlphaBitFields ? 4 : 3;
                if (size < paletteAt + 4 * masks)
                    return false;
                for (int i = 0; i < masks; ++i)
                    h.Masks[i] = U32(dib + 40 + 4 * i);
                paletteAt += 4 * masks;
            } else {
                if (headerSize < 52)
                    return false;
                for (int i = 0; i < (headerSize >= 56 ? 4 : 3); ++i)
                    h.Masks[i] = U32(dib + 40 + 4 * i);
            }
        }
    }
    if (height < 0) {
        h.TopDown = true;
        height = -height;
    }
    if (h.Width <= 0 || height <= 0 || h.Width > ImageMaxSide || height > ImageMaxSide
        || uint64_t(h.Width) * uint64_t(height) > ImageMaxPixels)
        return false;
    h.Height = int(height);

    switch (h.Compression) {
    case BiRgb:
        if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 16 && h.BitCount != 24
            && h.BitCount != 32)
            return false;
        break;
    case BiRle8:
        if (h.BitCount != 8 || h.TopDown)
            return false;
        break;
    case BiRle4:
        if (h.BitCount != 4 || h.TopDown)
            return false;
        break;
    case BiBitFields:
    case BiAlphaBitFields:
        if (h.BitCount != 16 && h.BitCount != 32)
            return false;
        break;
    default: return false;
    }
    if (h.Compression == BiRgb && h.BitCount == 16) {
        h.Masks[0] = 0x7C00;
        h.Masks[1] = 0x03E0;
        h.Masks[2] = 0x001F;
    } else if (h.Compression == BiRgb && h.BitCount == 32) {
        h.Masks[0] = 0xFF0000;
        h.Masks[1] = 0x00FF00;
        h.Masks[2] = 0x0000FF;
    }

    if (h.BitCount <= 8) {
        uint32_t count = colorsUsed == 0 || colorsUsed > (1u << h.BitCount) ? 1u << h.BitCount : colorsUsed;
        // A short palette is read as far as the file holds it; the rest stays black.
        size_t const room = paletteAt < size ? (size - paletteAt) / paletteEntrySize : 0;
        h.Palette.assign(size_t(1) << h.BitCount, 0xFF000000u);
        count = uint32_t(std::min<size_t>(count, room));
        for (uint32_t i = 0; i < count; ++i) {
            const uint8_t* e = data + paletteAt + size_t(i) * paletteEntrySize;
            h.Palette[i] = 0xFF000000u | uint32_t(e[2]) << 16 | uint32_t(e[1]) << 8 | e[0];
        }
    }
    return true;
}

size_t RowBytes(const THeader& h) { return ((size_t(h.Width) * h.BitCount + 31) / 32) * 4; }

// Uncompressed rows; the caller checked that the file holds every row.
void ReadRows(const uint8_t* pixels, const THeader& h, uint8_t* out, int stride)
{
    size_t const rowBytes = RowBytes(h);
    TChannel const red(h.Masks[0]), green(h.Masks[1]), blue(h.Masks[2]), alpha(h.Masks[3]);
    for (int y = 0; y < h.Height; ++y) {
        const uint8_t* in = pixels + rowBytes * size_t(h.TopDown ? y : h.Height - 1 - y);
        auto* const row = reinterpret_cast<uint32_t*>(out + size_t(y) * stride);
        for (int x = 0; x < h.Width; ++x) {
            switch (h.BitCount) {
            case 1: row[x] = h.Palette[(in[x >> 3] >> (7 - (x & 7))) & 1]; break;
            case 4: row[x] = h.Palette[(in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]; break;
            case 8: row[x] = h.Palette[in[x]]; break;
            case 24: {
                const uint8_t* p = in + 3 * size_t(x);
                row[x] = 0xFF000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
                break;
            }
            default: {
                uint32_t const pixel = h.BitCount == 16 ? U16(in + 2 * size_t(x)) : U32(in + 4 * size_t(x));
                row[x] =
                    Premultiplied(alpha.Get(pixel, 255), red.Get(pixel, 0), green.Get(pixel, 0), blue.Get(pixel, 0));
            }
            }
        }
    }
}

// Run-length encoded rows (bottom-up). Pixels the runs never reach stay transparent.
bool ReadRunLength(const uint8_t* in, size_t available, const THeader& h, uint8_t* out, int stride)
{
    bool const four = h.Compression == BiRle4;
    size_t pos = 0;
    int x = 0, y = 0; // y counts from the bottom row
    auto put = [&](int index) {
        // Pixels past the row's end are dropped, so x never runs beyond the width.
        if (x < h.Width && y < h.Height) {
            reinterpret_cast<uint32_t*>(out + size_t(h.Height - 1 - y) * stride)[x] = h.Palette[index];
            ++x;
        }
    };
    while (pos + 2 <= available && y < h.Height) {
        uint8_t const count = in[pos];
        uint8_t const value = in[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                put(four ? ((i & 1) ? value & 0xF : value >> 4) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            return true;
        } else if (value == 2) { // delta
            if (pos + 2 > available)
                return false;
            x = std::min(x + in[pos], h.Width);
            y += in[pos + 1];
            pos += 2;
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            size_t const bytes = four ? (size_t(value) + 1) / 2 : value;
            if (pos + bytes > available)
                return false;
            for (int i = 0; i < value; ++i)
                put(four ? ((i & 1) ? in[pos + i / 2] & 0xF : in[pos + i / 2] >> 4) : in[pos + i]);
            pos += bytes + (bytes & 1);
        }
    }
    return y > 0 || x > 0;
}

}

TBitmap DecodeBmp(const uint8_t* data, size_t size)
{
    if (!data)
        return {};
    THeader header;
    if (!ReadHeader(data, size, header))
        return {};
    uint32_t const offset = U32(data + 10);
    if (offset >= size)
        return {};
    // Every run-length command (two bytes) covers at most 255 pixels of a row or skips at most
    // 255 rows, which bounds the picture such data can describe.
    bool const runLength = header.Compression == BiRle8 || header.Compression == BiRle4;
    if (!runLength && RowBytes(header) * size_t(header.Height) > size - offset)
        return {};
    if (runLength) {
        uint64_t const commands = (size - offset) / 2 + 1;
        if (uint64_t(header.Width) > commands * 255 || uint64_t(header.Height) > commands * 255)
            return {};
    }

    TBitmap bitmap(header.Width, header.Height);
    if (bitmap.IsEmpty())
        return {};
    cairo_surface_t* const surface = bitmap.Surface();
    cairo_surface_flush(surface);
    uint8_t* const out = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    bool ok = true;
    if (runLength)
        ok = ReadRunLength(data + offset, size - offset, header, out, stride);
    else
        ReadRows(data + offset, header, out, stride);
    cairo_surface_mark_dirty(surface);
    if (!ok)
        return {};
    return bitmap;
}

}
