// Runs the DSF, DSDIFF, WavPack and Musepack property readers over arbitrary bytes, the
// Musepack reader also behind a claimed ID3v2 tag.

#include "tags/audio_attributes/DFFInfo.h"
#include "tags/audio_attributes/DSFInfo.h"
#include "tags/audio_attributes/MusepackInfo.h"
#include "tags/audio_attributes/WavPackInfo.h"

#include <cstddef>
#include <cstdint>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const TMemorySource Source({ Data, Size });
    TDSFInfo DSF;
    if (ReadDSFInfo(Source, DSF))
        (void)DSF.BitRate();
    TDFFInfo DFF;
    DFF.LoadFromStream(Source);
    TWAVPackfile WavPack;
    if (WavPack.LoadFromStream(Source, Size > 0 ? Data[0] : 0))
        (void)WavPack.Properties(), (void)WavPack.Ratio(), (void)WavPack.ChannelMode();
    TMPEGplus Musepack;
    for (const uint64_t ID3v2Size : { uint64_t(0), uint64_t(Size > 1 ? Data[1] : 0) }) {
        if (Musepack.LoadFromStream(Source, ID3v2Size, 128)) {
            (void)Musepack.Properties();
            (void)Musepack.Ratio();
            (void)Musepack.Profile();
            (void)Musepack.ChannelMode();
            (void)Musepack.StreamStreamVersionString();
            (void)Musepack.Corrupted();
        }
    }
    return 0;
}
