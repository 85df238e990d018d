#pragma once

// Helpers shared by the frame content accessors of TID3v2Tag.

#include "tags/id3v2/ID3v2Frame.h"
#include "tags/id3v2/ID3v2Text.h"

#include <span>
#include <string>
#include <string_view>

namespace vantor {

inline std::span<const uint8_t> FrameData(const TID3v2Frame* F)
{
    return F ? std::span<const uint8_t>(F->Stream) : std::span<const uint8_t>();
}

// A reader positioned after the encoding byte of text-bearing data; data without a valid
// encoding byte is read as Windows-1252 from its first byte.
inline TFrameTextReader TextReaderFor(std::span<const uint8_t> Data, bool NativeText = false)
{
    if (!Data.empty() && Data[0] <= id3teUTF8)
        return TFrameTextReader(Data.subspan(1), Data[0], NativeText);
    return TFrameTextReader(Data, id3teANSI, NativeText);
}

// ASCII-only case-insensitive comparison.
// The parts of APIC frame data: Picture points into Data.
bool ParseAPICData(std::span<const uint8_t> Data, const uint8_t*& Picture, size_t& PictureSize, std::string& MIMEType,
    std::string& Description, uint32_t& CoverType, uint8_t& TextEncoding);
bool SameTextIgnoringCase(std::string_view A, std::string_view B);

} // namespace vantor
