// Runs the Speex property reader over arbitrary bytes, the search for the last page included.

#include "tags/audio_attributes/SpeexInfo.h"

#include <cstddef>
#include <cstdint>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const TMemorySource Source({ Data, Size });
    TSpeexInfo Info;
    if (Info.LoadFromStream(Source))
        (void)Info.Properties();
    return 0;
}
