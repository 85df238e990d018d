// Reads arbitrary bytes as native FLAC or Ogg FLAC.
#include "tags/flac/FlacTag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView view(data, size);
    vantor::TFlacTag tag;
    tag.LoadFromStream(view);
    for (int i = 0; i < tag.PictureCount(); ++i)
        tag.Picture(i);
    for (int i = 0; i < tag.CommentCount(); ++i)
        tag.CommentList(i);
    tag.AudioProperties();
    tag.Ratio();
    return 0;
}
