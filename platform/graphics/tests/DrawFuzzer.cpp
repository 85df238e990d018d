// Hostile geometry for the image drawing paths: margins, target rectangles and a translated,
// clipped canvas context come from the input, the image from a PNG that follows them.

#include "platform/graphics/ImagePattern.h"
#include "platform/graphics/NineSlice.h"
#include "platform/graphics/PngImage.h"

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

int32_t Take(const uint8_t*& data, size_t& size)
{
    int32_t value = 0;
    if (size >= 4) {
        std::memcpy(&value, data, 4);
        data += 4;
        size -= 4;
    }
    return value;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vantor;
    TRect const margins { Take(data, size), Take(data, size), Take(data, size), Take(data, size) };
    // Keep targets inside the range the callers clamp device rectangles to.
    auto coordinate = [&] { return Take(data, size) % (1 << 22); };
    TRect const target { coordinate(), coordinate(), coordinate(), coordinate() };
    int const dx = Take(data, size) % 64, dy = Take(data, size) % 64;
    TBitmap const image = DecodePng(data, size);
    if (image.IsEmpty())
        return 0;

    TBitmap canvas(48, 32);
    cairo_t* cr = canvas.Context();
    cairo_translate(cr, dx, dy);
    cairo_rectangle(cr, -dx, -dy, 30, 20);
    cairo_clip(cr);

    TNineSlice slice;
    slice.Build(image, margins);
    slice.Draw(canvas, target);
    slice.Draw(canvas, target);
    TImagePattern pattern;
    pattern.Bind(image);
    pattern.Blend(canvas, { 0, 0, image.Width(), image.Height() }, target);
    pattern.Blend(canvas, target.Left, target.Top);
    return 0;
}
