#pragma once

// What one format object knows about a file's audio stream, as offered to the choice that
// TSourceAudioAttributes makes. A value nobody knows is 0.

#include <cstdint>

namespace vantor {

struct TAudioPropertySet {
    uint16_t Channels = 0;
    uint32_t SamplesPerSec = 0; // Hz
    uint16_t BitsPerSample = 0;
    double PlayTime = 0; // seconds
    uint64_t SampleCount = 0;
    uint32_t BitRate = 0; // kbit/s

    // The walk for Channels, SamplesPerSec and BitsPerSample ends with 0 at this source (a
    // loaded WMA object).
    bool StopsFormatWalk = false;
    // The walk for BitsPerSample ends with 0 at this source (MPEG audio with a sample rate, an
    // Ogg stream that knows its channels).
    bool StopsBitsPerSampleWalk = false;
};

// Rounds a non-negative value to an integer, clamped to the range of T.
template <typename T>
T RoundProperty(double Value)
{
    if (!(Value > 0))
        return 0;
    constexpr double Max = double(T(~T(0)));
    return Value + 0.5 >= Max ? T(~T(0)) : T(Value + 0.5);
}

// Play time and bit rate from the sample count, the sample rate and the bytes of audio; a
// rate of 0 leaves them 0.
inline void SetTimeAndBitRate(TAudioPropertySet& Audio, uint64_t AudioBytes)
{
    if (Audio.SamplesPerSec == 0)
        return;
    Audio.PlayTime = double(Audio.SampleCount) / Audio.SamplesPerSec;
    if (Audio.PlayTime > 0)
        Audio.BitRate = RoundProperty<uint32_t>(double(AudioBytes) * 8 / 1000 / Audio.PlayTime);
}

} // namespace vantor
