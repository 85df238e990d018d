#include "tags/audio_attributes/SpeexInfo.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vantor {

namespace {

constexpr size_t PageHeaderBytes = 27;
constexpr size_t SpeexHeaderBytes = 80;
// The last page is looked for this far from the end; Ogg pages are at most 65,307 bytes.
constexpr uint64_t LastPageWindow = 65536 + PageHeaderBytes;

// The granule position of the last page of that stream, or -1 when none is found.
int64_t LastGranule(const TByteSource& Stream, uint32_t Serial)
{
    const uint64_t Size = Stream.Size();
    const uint64_t From = Size > LastPageWindow ? Size - LastPageWindow : 0;
    std::vector<uint8_t> Tail(size_t(Size - From));
    Tail.resize(Stream.ReadAt(From, Tail.data(), Tail.size()));
    if (Tail.size() < PageHeaderBytes)
        return -1;
    for (size_t At = Tail.size() - PageHeaderBytes + 1; At-- > 0;) {
        if (std::memcmp(Tail.data() + At, "OggS", 4) == 0 && Tail[At + 4] == 0
            && GetLE32(Tail.data() + At + 14) == Serial)
            return int64_t(GetLE64(Tail.data() + At + 6));
    }
    return -1;
}

} // namespace

bool TSpeexInfo::LoadFromStream(const TByteSource& Stream)
{
    *this = TSpeexInfo {};
    uint8_t Page[PageHeaderBytes + 255];
    const size_t Count = Stream.ReadAt(0, Page, sizeof Page);
    if (Count < PageHeaderBytes || std::memcmp(Page, "OggS", 4) != 0 || Page[4] != 0)
        return false;
    const size_t PacketAt = PageHeaderBytes + Page[26];
    uint8_t H[SpeexHeaderBytes];
    if (PacketAt > Count || !Stream.ReadExact(PacketAt, H, sizeof H) || std::memcmp(H, "Speex   ", 8) != 0)
        return false;
    const uint32_t Rate = GetLE32(H + 36);
    const uint32_t Channels = GetLE32(H + 48);
    Mode = int32_t(GetLE32(H + 40));
    NominalBitRate = int32_t(GetLE32(H + 52));
    VBR = GetLE32(H + 60) != 0;
    if (Rate == 0 || Rate > 192000 || Channels == 0 || Channels > 2)
        return false;
    Audio.SamplesPerSec = Rate;
    Audio.Channels = uint16_t(Channels);
    // Granule positions count samples from the start of the stream.
    const int64_t Granule = LastGranule(Stream, GetLE32(Page + 14));
    if (Granule > 0)
        Audio.SampleCount = uint64_t(Granule);
    SetTimeAndBitRate(Audio, Stream.Size());
    if (Audio.BitRate == 0 && NominalBitRate > 0)
        Audio.BitRate = RoundProperty<uint32_t>(NominalBitRate / 1000.0);
    return true;
}

} // namespace vantor
