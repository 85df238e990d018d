// Reads arbitrary bytes as RIFF WAVE or RF64 chunks.
#include "tags/wav/WAVTag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView view(data, size);
    vantor::TWAVTag tag;
    tag.LoadFromStream(view);
    vantor::TNameValueList list;
    for (int i = 0; i < tag.Count(); ++i) {
        tag.FrameText(i);
        tag.Frames[size_t(i)]->GetAsList(list);
    }
    tag.AudioProperties();
    tag.CalculateTagSize();
    return 0;
}
