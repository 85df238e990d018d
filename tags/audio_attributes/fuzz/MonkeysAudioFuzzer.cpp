// Runs the Monkey's Audio property reader over arbitrary bytes.

#include "tags/audio_attributes/MonkeysAudioInfo.h"

#include <cstddef>
#include <cstdint>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const TMemorySource Source({ Data, Size });
    TMonkeysAudioInfo Info;
    // Also behind a claimed ID3v2 tag and before claimed tags at the end.
    for (const uint64_t Start : { uint64_t(0), uint64_t(Size > 1 ? Data[1] : 0) })
        if (Info.LoadFromStream(Source, Start, Size > 0 ? Data[0] : 0))
            (void)Info.Properties();
    return 0;
}
