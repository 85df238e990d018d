#include "platform/graphics/ImageScale.h"

#include "platform/graphics/ImageLimits.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace vantor {

namespace {

// The source pixels one destination pixel reads along one axis, and their weights.
struct TTaps {
    int First = 0;
    std::vector<float> Weights;
};

std::vector<TTaps> LinearTaps(int sourceSize, int targetSize)
{
    double const scale = double(targetSize) / sourceSize;
    // Half-width of the triangle in source pixels: one pixel when enlarging, the reduction
    // factor when shrinking.
    double const radius = scale < 1 ? 1 / scale : 1;
    std::vector<TTaps> taps(static_cast<size_t>(targetSize));
    for (int i = 0; i < targetSize; ++i) {
        double const center = (i + 0.5) / scale - 0.5;
        int const first = std::max(0, int(std::floor(center - radius)) + 1);
        int const last = std::min(sourceSize - 1, int(std::ceil(center + radius)) - 1);
        TTaps& t = taps[size_t(i)];
        double sum = 0;
        for (int j = first; j <= last; ++j) {
            double const w = 1 - std::abs(j - center) / radius;
            t.Weights.push_back(float(std::max(0.0, w)));
            sum += t.Weights.back();
        }
        t.First = first;
        if (t.Weights.empty() || sum <= 0) {
            // Past the edge (enlarging by a large factor): take the nearest pixel.
            t.First = std::clamp(int(std::lround(center)), 0, sourceSize - 1);
            t.Weights.assign(1, 1.0f);
            continue;
        }
        for (float& w : t.Weights)
            w = float(w / sum);
    }
    return taps;
}

uint32_t Channel(float value) { return uint32_t(std::clamp(std::lround(value), 0L, 255L)); }

}

TBitmap ScaleBitmap(const TBitmap& source, int width, int height)
{
    if (source.IsEmpty() || width <= 0 || height <= 0 || width > ImageMaxSide || height > ImageMaxSide
        || uint64_t(width) * uint64_t(height) > ImageMaxPixels)
        return {};
    cairo_surface_t* const in = source.Surface();
    cairo_surface_flush(in);
    const uint8_t* const inPixels = cairo_image_surface_get_data(in);
    int const inStride = cairo_image_surface_get_stride(in);
    int const sourceWidth = source.Width();
    int const sourceHeight = source.Height();

    std::vector<TTaps> const across = LinearTaps(sourceWidth, width);
    std::vector<TTaps> const down = LinearTaps(sourceHeight, height);

    TBitmap target(width, height);
    if (target.IsEmpty())
        return {};
    cairo_surface_t* const outSurface = target.Surface();
    cairo_surface_flush(outSurface);
    uint8_t* const outPixels = cairo_image_surface_get_data(outSurface);
    int const outStride = cairo_image_surface_get_stride(outSurface);

    // Each target row: the source rows it reads, blended down into one float row, then that
    // row blended across. Only one source-wide row is held at a time.
    std::vector<float> blended(size_t(sourceWidth) * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(blended.begin(), blended.end(), 0.0f);
        TTaps const& rows = down[size_t(y)];
        for (size_t k = 0; k < rows.Weights.size(); ++k) {
            auto const* in = reinterpret_cast<const uint32_t*>(inPixels + size_t(rows.First + int(k)) * inStride);
            float const w = rows.Weights[k];
            for (int x = 0; x < sourceWidth; ++x) {
                uint32_t const p = in[x];
                float* b = blended.data() + size_t(x) * 4;
                b[0] += w * float(p >> 24);
                b[1] += w * float((p >> 16) & 0xFF);
                b[2] += w * float((p >> 8) & 0xFF);
                b[3] += w * float(p & 0xFF);
            }
        }
        auto* const row = reinterpret_cast<uint32_t*>(outPixels + size_t(y) * outStride);
        for (int x = 0; x < width; ++x) {
            TTaps const& t = across[size_t(x)];
            float acc[4] = { 0, 0, 0, 0 };
            for (size_t k = 0; k < t.Weights.size(); ++k) {
                const float* b = blended.data() + (size_t(t.First) + k) * 4;
                float const w = t.Weights[k];
                for (int c = 0; c < 4; ++c)
                    acc[c] += w * b[c];
            }
            uint32_t const a = Channel(acc[0]);
            // Premultiplied colour never exceeds its alpha; rounding must not make it.
            row[x] = a << 24 | std::min(a, Channel(acc[1])) << 16 | std::min(a, Channel(acc[2])) << 8
                | std::min(a, Channel(acc[3]));
        }
    }
    cairo_surface_mark_dirty(outSurface);
    return target;
}

}
