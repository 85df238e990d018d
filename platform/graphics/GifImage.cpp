#include "platform/graphics/GifImage.h"

#include "platform/graphics/ImageLimits.h"

#include <cairo.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace vantor {

namespace {

// LZW codes are at least 3 bits and expand to at most 4096 pixels each, so a GIF that claims
// more pixels than that allows cannot hold them.
constexpr uint64_t MaxPixelsPerByte = 4096 * 8 / 3;

struct TMemoryReader {
    const uint8_t* Data;
    size_t Size;
    size_t Position = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* buffer, int count)
{
    auto* const reader = static_cast<TMemoryReader*>(gif->UserData);
    if (count <= 0)
        return 0;
    size_t const n = std::min(size_t(count), reader->Size - reader->Position);
    std::memcpy(buffer, reader->Data + reader->Position, n);
    reader->Position += n;
    return int(n);
}

struct TGifCloser {
    void operator()(GifFileType* gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

// Skips an extension, noting the transparent colour of a graphic control block.
bool ReadExtension(GifFileType* gif, int& transparent)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        return false;
    while (block) {
        if (code == GRAPHICS_EXT_FUNC_CODE && block[0] >= 4) {
            GraphicsControlBlock control;
            if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                transparent = control.TransparentColor;
        }
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            return false;
    }
    return true;
}

}

TBitmap DecodeGif(const uint8_t* data, size_t size)
{
    if (!data || size < 6 || std::memcmp(data, "GIF", 3) != 0)
        return {};
    TMemoryReader reader { data, size };
    int error = 0;
    std::unique_ptr<GifFileType, TGifCloser> gif(DGifOpen(&reader, ReadMemory, &error));
    if (!gif)
        return {};

    int transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType record;
        if (DGifGetRecordType(gif.get(), &record) == GIF_ERROR)
            return {};
        if (record == TERMINATE_RECORD_TYPE)
            return {};
        if (record == EXTENSION_RECORD_TYPE) {
            if (!ReadExtension(gif.get(), transparent))
                return {};
            continue;
        }
        if (record == IMAGE_DESC_RECORD_TYPE)
            break;
    }
    if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
        return {};

    GifImageDesc const& desc = gif->Image;
    ColorMapObject const* colors = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    uint64_t const pixels = uint64_t(desc.Width) * uint64_t(desc.Height);
    if (!colors || desc.Width <= 0 || desc.Height <= 0 || desc.Width > ImageMaxSide || desc.Height > ImageMaxSide
        || pixels > ImageMaxPixels || pixels > size * MaxPixelsPerByte)
        return {};

    int const width = desc.Width;
    int const height = desc.Height;
    std::vector<GifPixelType> indices(size_t(width) * height);
    if (desc.Interlace) {
        // Rows arrive in four passes: every 8th from 0, every 8th from 4, every 4th from 2,
        // every 2nd from 1.
        static constexpr int Start[] = { 0, 4, 2, 1 };
        static constexpr int Step[] = { 8, 8, 4, 2 };
        for (int pass = 0; pass < 4; ++pass)
            for (int y = Start[pass]; y < height; y += Step[pass])
                if (DGifGetLine(gif.get(), indices.data() + size_t(y) * width, width) == GIF_ERROR)
                    return {};
    } else {
        for (int y = 0; y < height; ++y)
            if (DGifGetLine(gif.get(), indices.data() + size_t(y) * width, width) == GIF_ERROR)
                return {};
    }

    TBitmap bitmap(width, height);
    if (bitmap.IsEmpty())
        return {};
    cairo_surface_t* const surface = bitmap.Surface();
    cairo_surface_flush(surface);
    uint8_t* const out = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        auto* const row = reinterpret_cast<uint32_t*>(out + size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            int const index = indices[size_t(y) * width + x];
            // Transparent pixels and indices past the palette stay clear.
            if (index == transparent || index >= colors->ColorCount) {
                row[x] = 0;
                continue;
            }
            GifColorType const& c = colors->Colors[index];
            row[x] = 0xFF000000u | (uint32_t(c.Red) << 16) | (uint32_t(c.Green) << 8) | c.Blue;
        }
    }
    cairo_surface_mark_dirty(surface);
    return bitmap;
}

}
