#include "tags/audio_attributes/DSFInfo.h"

#include "tags/audio_attributes/AudioProperties.h"

#include <cstring>

namespace vantor {

uint32_t TDSFInfo::BitRate() const
{
    if (!(PlayTime > 0))
        return 0;
    // The bits-per-sample field only tells the bit order of the bytes; every DSD sample is one
    // bit, and counting 8 would report eight times the real rate.
    const double Bits = BitsPerSample == 8 ? 1 : BitsPerSample;
    return RoundProperty<uint32_t>(double(SampleCount) * ChannelNumber * Bits / 8 / PlayTime / 125);
}

bool ReadDSFInfo(const TByteSource& Source, TDSFInfo& Info)
{
    Info.Clear();
    uint8_t Header[12];
    if (!Source.ReadExact(0, Header, sizeof Header) || std::memcmp(Header, "DSD ", 4) != 0)
        return false;
    const uint64_t FmtAt = GetLE64(Header + 4);
    // id, size, version, format id, channel type and number, rate, bits, samples, block size
    uint8_t Fmt[12 + 36];
    if (FmtAt < 12 || !Source.ReadExact(FmtAt, Fmt, sizeof Fmt) || std::memcmp(Fmt, "fmt ", 4) != 0)
        return false;
    const uint8_t* P = Fmt + 12;
    Info.FormatVersion = GetLE32(P);
    Info.FormatID = GetLE32(P + 4);
    Info.ChannelType = GetLE32(P + 8);
    if (Info.ChannelType < 1 || Info.ChannelType > 7)
        Info.ChannelType = 0;
    Info.ChannelNumber = GetLE32(P + 12);
    Info.SamplingFrequency = GetLE32(P + 16);
    Info.BitsPerSample = GetLE32(P + 20);
    Info.SampleCount = GetLE64(P + 24);
    Info.BlockSizePerChannel = GetLE32(P + 32);
    if (Info.SamplingFrequency != 0)
        Info.PlayTime = double(Info.SampleCount) / Info.SamplingFrequency;
    return true;
}

} // namespace vantor
