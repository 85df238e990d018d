#include "tags/audio_attributes/TTAInfo.h"

#include <cstring>

namespace vantor {

bool TTTAInfo::LoadFromStream(const TByteSource& Stream, uint64_t Start, uint64_t TagsSize)
{
    *this = TTTAInfo {};
    uint8_t H[22];
    if (!Stream.ReadExact(Start, H, sizeof H) || std::memcmp(H, "TTA1", 4) != 0)
        return false;
    Format = GetLE16(H + 4);
    Audio.Channels = GetLE16(H + 6);
    Audio.BitsPerSample = GetLE16(H + 8);
    Audio.SamplesPerSec = GetLE32(H + 10);
    Audio.SampleCount = GetLE32(H + 14); // per channel
    if (Format == 0 || Format > 2 || Audio.Channels == 0 || Audio.SamplesPerSec == 0 || Audio.BitsPerSample == 0
        || Audio.BitsPerSample > 32)
        return false;
    const uint64_t Size = Stream.Size();
    SetTimeAndBitRate(Audio, Size > Start + TagsSize ? Size - Start - TagsSize : 0);
    return true;
}

} // namespace vantor
