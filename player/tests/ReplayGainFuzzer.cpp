// The ReplayGain value parsers on arbitrary tag text: an accepted gain or peak is finite and
// within its bounds, and the factor made from it stays a usable one.

#include "player/playback/ReplayGain.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    using namespace vantor;
    std::string_view const text(reinterpret_cast<char const*>(data), size);
    TReplayGainValues values;
    values.TrackGain = ParseReplayGain(text);
    values.TrackPeak = ParseReplayGainPeak(text);
    if (values.TrackGain && !(std::abs(*values.TrackGain) <= 60.0))
        std::abort();
    if (values.TrackPeak && !(*values.TrackPeak > 0.0 && *values.TrackPeak <= 100.0))
        std::abort();
    float const factor = ReplayGainFactor(values, TReplayGainMode::Track, 0.0);
    if (!std::isfinite(factor) || factor <= 0.0f)
        std::abort();
    return 0;
}
