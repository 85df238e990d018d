// ID3v1 and Lyrics3 reader, then a write of what was read.
#include "tags/id3v1/ID3v1Tag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView view(data, size);
    vantor::TID3v1Tag tag;
    if (tag.LoadFromStream(view) != vantor::id3v1Success)
        return 0;
    tag.LyricsTagBytes();
    vantor::TMemoryStream copy(data, size);
    tag.SaveToStream(copy);
    return 0;
}
