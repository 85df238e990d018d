// Loads arbitrary bytes, renders the tag and loads the rendering again: the second rendering
// must equal the first. Also saves into the bytes as an in-memory file, reloads them and takes
// the tag out again.

#include "tags/id3v2/ID3v2Tag.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace vantor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TID3v2Tag Tag;
    Tag.LoadFromStream(TMemorySource({ Data, Size }));
    Tag.RemoveUnsynchronisationOnAllFrames();
    Tag.DeCompressAllFrames();
    if (Tag.FrameCount() > 0)
        Tag.SetUnicodeText(0, "round trip");

    std::vector<uint8_t> First;
    if (Tag.SaveTagToStream(First, 16) != id3v2Success)
        return 0;
    TID3v2Tag Again;
    if (Again.LoadFromStream(TMemorySource(First)) != id3v2Success)
        std::abort();
    std::vector<uint8_t> Second;
    if (Again.SaveTagToStream(Second, 16) != id3v2Success || Second != First)
        std::abort();

    std::vector<uint8_t> Image(Data, Data + Size);
    Tag.PaddingToWrite = 64;
    if (Tag.SaveToStream(Image) == id3v2Success && Tag.CalculateTagSize(0) > 10) {
        TID3v2Tag Reloaded;
        if (Reloaded.LoadFromStream(TMemorySource(Image)) != id3v2Success)
            std::abort();
        // Without frames the tag just written is taken out again: the file comes back. A WAV,
        // AIFF or DSF form behind it whose own tag cannot be removed safely makes the removal
        // refuse, and then nothing may have changed.
        const std::vector<uint8_t> Tagged = Image;
        Reloaded.DeleteAllFrames();
        const int Removed = Reloaded.SaveToStream(Image);
        if (Removed == id3v2InvalidContainer ? Image != Tagged
                                             : Removed != id3v2Success || Image.size() >= Tagged.size())
            std::abort();
    }
    return 0;
}
