// Content detection never fails, whatever the bytes.
#include "tags/FormatDetection.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView view(data, size);
    vantor::DetectAudioFormat(view);
    return 0;
}
