#pragma once

// MPEG audio frame headers (ISO/IEC 11172-3 and 13818-3) and the VBR headers that encoders
// put into the first frame (Xing/Info and VBRI).

#include "tags/audio_attributes/ByteSource.h"

#include <cstdint>
#include <optional>

namespace vantor {

enum TMPEGVersion { tmpegvUnknown, tmpegv1, tmpegv2, tmpegv25 };
enum TMPEGLayer { tmpeglUnknown, tmpegl1, tmpegl2, tmpegl3 };
enum TMPEGChannelMode { tmpegcmUnknown, tmpegcmMono, tmpegcmDualChannel, tmpegcmJointStereo, tmpegcmStereo };
enum TMPEGModeExtension { tmpegmeUnknown, tmpegmeNone, tmpegmeIntensity, tmpegmeMS, tmpegmeIntensityMS };
enum TMPEGEmphasis { tmpegeUnknown, tmpegeNo, tmpege5015, tmpegeCCITJ17 };

// The first MPEG audio frame header of a stream and its VBR header, when there is one.
struct TMPEGHeaderX {
    uint64_t Position = 0;
    uint32_t Header = 0;
    uint32_t FrameSize = 0;
    TMPEGVersion Version = tmpegvUnknown;
    TMPEGLayer Layer = tmpeglUnknown;
    bool CRC = false;
    uint32_t BitRate = 0;    // kbit/s; 0xFFFF for the free format
    uint32_t SampleRate = 0; // Hz
    bool Padding = false;
    bool _Private = false;
    TMPEGChannelMode ChannelMode = tmpegcmUnknown;
    TMPEGModeExtension ModeExtension = tmpegmeUnknown;
    bool Copyrighted = false;
    bool Original = false;
    TMPEGEmphasis Emphasis = tmpegeUnknown;
    bool VBR = false;
    uint64_t FrameCount = 0;
    uint32_t Quality = 0;
    uint64_t Bytes = 0;
};

// Decodes the four header bytes (big-endian) into Info, leaving Position and the VBR fields.
void DecodeMPEGHeader(uint32_t Header, TMPEGHeaderX& Info);

// Looks for a frame sync from Start: at most 33 attempts of one byte each, where a 0xFF byte
// followed by one of the accepted second bytes is a sync (the byte after a 0xFF is consumed
// either way). Returns the position of the 0xFF byte.
std::optional<uint64_t> FindMPEGFrameSync(const TByteSource& Source, uint64_t Start);

// Finds the first audio frame of a stream from Start, where audio is expected: a sync there
// counts as before; else ID3v2 tags on the way are skipped whole and other bytes for at most
// 128 KiB, and a frame found counts only when the next frame's header follows it (or it ends
// the data), so that stray sync bytes in junk are not taken for audio.
std::optional<uint64_t> FindMPEGAudioFrame(const TByteSource& Source, uint64_t Start);

// Decodes the header at Info.Position and reads the Xing/Info or VBRI header of that frame.
// False when the four header bytes cannot be read.
bool ReadMPEGFrame(const TByteSource& Source, uint64_t Position, TMPEGHeaderX& Info);

} // namespace vantor
