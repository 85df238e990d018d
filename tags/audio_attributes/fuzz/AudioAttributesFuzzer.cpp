// Runs the MPEG, WAV/RF64 and AIFF/AIFC audio parsers over arbitrary bytes.

#include "tags/audio_attributes/AIFFInfo.h"
#include "tags/audio_attributes/MPEGHeader.h"
#include "tags/audio_attributes/WaveInfo.h"

#include <cstddef>
#include <cstdint>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const TMemorySource Source({ Data, Size });
    if (const std::optional<uint64_t> Sync = FindMPEGFrameSync(Source, 0)) {
        TMPEGHeaderX Info;
        ReadMPEGFrame(Source, *Sync, Info);
    }
    if (const std::optional<uint64_t> Frame = FindMPEGAudioFrame(Source, 0)) {
        TMPEGHeaderX Info;
        ReadMPEGFrame(Source, *Frame, Info);
    }
    TWaveAudio Wave;
    ReadWaveAudio(Source, Wave);
    TAIFFAudio AIFF;
    ReadAIFFAudio(Source, AIFF);
    return 0;
}
