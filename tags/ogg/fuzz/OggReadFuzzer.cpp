// Reads arbitrary bytes as an Ogg stream: the page layer, the packet reader
// and the Opus/Vorbis/Theora comment reader with play time.
#include "tags/ogg/OggPacketReader.h"
#include "tags/ogg/OggStream.h"
#include "tags/ogg/OpusTag.h"

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

    view.Seek(0);
    vantor::TOGGStream pages(view);
    vantor::TMemoryStream sink;
    while (pages.GetNextPageData(sink) && sink.Size() < (1u << 24)) { }
    vantor::TOggPacketReader reader(view, 0);
    std::vector<uint8_t> packet;
    while (reader.NextPacket(packet)) { }
    return 0;
}
