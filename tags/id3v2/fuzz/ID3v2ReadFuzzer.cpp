// Loads arbitrary bytes as a file that may carry an ID3v2 tag and reads every frame back
// through every accessor. Loaded again with deferred pictures, which are then fetched, the
// frames must be the ones the first load gave.

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
    Tag.AudioProperties();

    std::string A, B;
    std::vector<std::string> List;
    std::vector<uint8_t> Bytes;
    uint32_t U = 0;
    uint8_t Byte = 0;
    for (int I = 0; I < Tag.FrameCount(); ++I) {
        Tag.GetUnicodeText(I);
        Tag.GetUnicodeText(I, true);
        Tag.GetUnicodeTextMultiple(I, List);
        Tag.GetUnicodeContent(I, A, B);
        Tag.GetURL(I);
        Tag.GetUnicodeUserDefinedURLLink(I, A);
        Tag.GetUnicodeUserDefinedTextInformationMultiple(I, A, List);
        Tag.GetUnicodeCoverPictureStream(I, Bytes, A, B, U);
        Tag.GetPlayCount(I);
        Tag.GetPopularimeter(I, A, U, Byte);
        Tag.GetUnicodeListFrame(I, List);
        Tag.GetUFID(I, A, Bytes);
    }
    Tag.FindTXXXByDescription("x");

    const TMemorySource Source({ Data, Size });
    TID3v2Tag Deferred;
    Deferred.DeferPictureData = true;
    Deferred.LoadFromStream(Source);
    for (int I = 0; I < Deferred.FrameCount(); ++I) {
        Deferred.GetUnicodeCoverPictureInfo(I, A, B, U);
        Deferred.GetUnicodeCoverPictureStream(I, Bytes, A, B, U);
    }
    if (!Deferred.LoadDeferredData(Source) || Deferred.HasDeferredData())
        std::abort();
    Deferred.RemoveUnsynchronisationOnAllFrames();
    Deferred.DeCompressAllFrames();
    if (Deferred.FrameCount() != Tag.FrameCount())
        std::abort();
    for (int I = 0; I < Tag.FrameCount(); ++I)
        if (Deferred.Frame(I)->Stream != Tag.Frame(I)->Stream || Deferred.Frame(I)->ID != Tag.Frame(I)->ID)
            std::abort();
    return 0;
}
