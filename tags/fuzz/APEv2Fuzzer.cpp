// APEv2 reader, item accessors, and a write over the same bytes. Read again with deferred
// pictures, which are then fetched, the items must be the ones the first read gave.
#include "tags/apev2/APEv2Tag.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView view(data, size);
    vantor::TAPEv2Tag tag;
    tag.LoadFromStream(view);
    for (const auto& frame : tag.Frames) {
        frame->GetAsText();
        vantor::TNameValueList list;
        frame->GetAsList(list);
        if (frame->IsCoverArt()) {
            vantor::TMemoryStream picture;
            std::string description;
            vantor::TAPEv2PictureFormat format;
            tag.GetCoverArtFromFrame(frame->Index, picture, description, format);
        }
    }

    vantor::TAPEv2Tag deferred;
    deferred.DeferPictureData = true;
    deferred.LoadFromStream(view);
    for (const auto& frame : deferred.Frames) {
        // A deferred item shows the description and picture format of the whole one.
        if (frame->DeferredSize == 0 || size_t(frame->Index) >= tag.Frames.size())
            continue;
        std::string description, wholeDescription;
        vantor::TAPEv2PictureFormat format, wholeFormat;
        const uint8_t* at;
        size_t length;
        if (!deferred.GetCoverArtInfoPointer(frame->Index, format, description, at, length)
            || !tag.GetCoverArtInfoPointer(frame->Index, wholeFormat, wholeDescription, at, length)
            || description != wholeDescription || format != wholeFormat)
            std::abort();
    }
    if (!deferred.LoadDeferredPictures(view) || deferred.HasDeferredPictures() || deferred.Count() != tag.Count())
        std::abort();
    for (int i = 0; i < tag.Count(); ++i)
        if (deferred.Frames[size_t(i)]->Stream.Bytes() != tag.Frames[size_t(i)]->Stream.Bytes())
            std::abort();

    tag.AddTextFrame("FUZZ", "value");
    vantor::TMemoryStream copy(data, size);
    tag.SaveToStream(copy);
    return 0;
}
