#include "platform/graphics/JpegImage.h"

#include "platform/graphics/ImageLimits.h"

#include <cairo.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace vantor {

namespace {

// Scans of a progressive file beyond this are refused: each scan walks the whole image, so a
// small hostile file could otherwise keep the decoder busy for minutes.
constexpr int MaxScans = 256;
// Working memory of the decoder (the coefficients of a progressive image live there).
constexpr long MaxDecoderMemory = 512L << 20;
// An entropy-coded 8x8 block takes at least a few bits, so no JPEG describes more than a
// few hundred pixels per byte; anything claiming more is a lie about its size.
constexpr uint64_t MaxPixelsPerByte = 1024;

struct TErrorManager {
    jpeg_error_mgr Public;
    std::jmp_buf Jump;
};

[[noreturn]] void ErrorExit(j_common_ptr info) { std::longjmp(reinterpret_cast<TErrorManager*>(info->err)->Jump, 1); }

void SilentMessage(j_common_ptr) { }

void CountScans(j_common_ptr info)
{
    auto* const decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->is_decompressor && decompress->input_scan_number > MaxScans)
        ErrorExit(info);
}

// Cairo's ARGB32 is a native-endian 32-bit word.
uint32_t Opaque(uint32_t r, uint32_t g, uint32_t b) { return 0xFF000000u | (r << 16) | (g << 8) | b; }

// The setjmp frame: it holds no object with a destructor, and everything that must survive a
// jump back (the bitmap, the row buffer) belongs to the caller.
bool DecodeInto(jpeg_decompress_struct& info, TErrorManager& errors, jpeg_progress_mgr& progress, const uint8_t* data,
    size_t size, TBitmap& bitmap, std::vector<uint8_t>& row)
{
    if (setjmp(errors.Jump))
        return false;
    jpeg_create_decompress(&info);
    info.progress = &progress;
    info.mem->max_memory_to_use = MaxDecoderMemory;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        return false;
    uint64_t const pixels = uint64_t(info.image_width) * info.image_height;
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > ImageMaxSide
        || info.image_height > ImageMaxSide || pixels > ImageMaxPixels || pixels > size * MaxPixelsPerByte)
        return false;

    bool const cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);

    int const width = int(info.output_width);
    int const height = int(info.output_height);
    bitmap.SetSize(width, height);
    if (bitmap.IsEmpty())
        return false;
    cairo_surface_t* const surface = bitmap.Surface();
    cairo_surface_flush(surface);
    uint8_t* const pixelsOut = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    row.resize(size_t(width) * info.output_components);
    // Adobe writes CMYK inverted; that is what nearly every CMYK JPEG carries.
    bool const inverted = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height) {
        JSAMPROW rows[1] = { row.data() };
        int const y = int(info.output_scanline);
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            return false;
        auto* const out = reinterpret_cast<uint32_t*>(pixelsOut + size_t(y) * stride);
        for (int x = 0; x < width; ++x) {
            uint8_t const* in = row.data() + size_t(x) * info.output_components;
            if (!cmyk) {
                out[x] = Opaque(in[0], in[1], in[2]);
                continue;
            }
            uint32_t c = in[0], m = in[1], yy = in[2], k = in[3];
            if (!inverted) {
                c = 255 - c;
                m = 255 - m;
                yy = 255 - yy;
                k = 255 - k;
            }
            out[x] = Opaque(c * k / 255, m * k / 255, yy * k / 255);
        }
    }
    cairo_surface_mark_dirty(surface);
    jpeg_finish_decompress(&info);
    return true;
}

}

TBitmap DecodeJpeg(const uint8_t* data, size_t size)
{
    if (!data || size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return {};
    jpeg_decompress_struct info;
    std::memset(&info, 0, sizeof info);
    TErrorManager errors;
    info.err = jpeg_std_error(&errors.Public);
    errors.Public.error_exit = ErrorExit;
    errors.Public.output_message = SilentMessage;
    jpeg_progress_mgr progress {};
    progress.progress_monitor = CountScans;

    TBitmap bitmap;
    std::vector<uint8_t> row;
    bool const decoded = DecodeInto(info, errors, progress, data, size, bitmap, row);
    jpeg_destroy_decompress(&info);
    if (!decoded)
        return {};
    return bitmap;
}

}
