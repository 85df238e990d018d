// Reads arbitrary bytes as native FLAC or Ogg FLAC. Read again with deferred pictures, which
// are then fetched, the picture blocks must be the ones the first read gave.
#include "tags/flac/FlacTag.h"

#include <cstdlib>

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

    vantor::TFlacTag deferred;
    deferred.DeferPictureData = true;
    deferred.LoadFromStream(view);
    for (int i = 0; i < deferred.PictureCount(); ++i)
        deferred.Picture(i);
    if (!deferred.LoadDeferredPictures(view) || deferred.HasDeferredPictures()
        || deferred.CoverArtCount() != tag.CoverArtCount())
        std::abort();
    for (int i = 0; i < tag.CoverArtCount(); ++i)
        if (deferred.MetaBlocksCoverArts[size_t(i)].Data != tag.MetaBlocksCoverArts[size_t(i)].Data)
            std::abort();
    return 0;
}
