// Reads arbitrary bytes as an Ogg stream: the page layer, the packet reader
// and the Opus/Vorbis/Theora comment reader with play time. Read again with deferred
// pictures, which are then fetched, the comments must be the ones the first read gave.
#include "tags/ogg/OggPacketReader.h"
#include "tags/ogg/OggStream.h"
#include "tags/ogg/OpusTag.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryView view(data, size);
    vantor::TOpusTag tag;
    tag.ParsePlayTime = true;
    tag.DeepOpusBitRateScan = true;
    tag.LoadFromStream(view);
    for (int i = 0; i < tag.PictureCount(); ++i)
        tag.Picture(i);
    for (int i = 0; i < tag.CommentCount(); ++i)
        tag.CommentList(i);

    vantor::TOpusTag deferred;
    deferred.DeferPictureData = true;
    deferred.LoadFromStream(view);
    for (int i = 0; i < deferred.PictureCount(); ++i) {
        const vantor::TNativePicture head = deferred.Picture(i);
        // What a deferred picture names must be what fetching it gives.
        vantor::TNativePicture whole;
        if (head.DeferredTextSize != 0
            && vantor::ReadOggCommentPicture(view, head.DeferredOffset, head.DeferredTextSize, whole)
            && (whole.Data.size() != head.DeferredSize || whole.MIMEType != head.MIMEType
                || whole.Description != head.Description || whole.CoverType != head.CoverType))
            std::abort();
    }
    if (!deferred.LoadDeferredPictures(view) || deferred.HasDeferredPictures()
        || deferred.CommentCount() != tag.CommentCount())
        std::abort();
    for (int i = 0; i < tag.CommentCount(); ++i)
        if (deferred.Frames[size_t(i)]->Value != tag.Frames[size_t(i)]->Value)
            std::abort();

    view.Seek(0);
    vantor::TOGGStream pages(view);
    vantor::TMemoryStream sink;
    while (pages.GetNextPageData(sink) && sink.Size() < (1u << 24)) { }
    vantor::TOggPacketReader reader(view, 0);
    std::vector<uint8_t> packet;
    while (reader.NextPacket(packet)) { }
    return 0;
}
