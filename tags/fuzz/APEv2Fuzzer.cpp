// APEv2 reader, item accessors, and a write over the same bytes.
#include "tags/apev2/APEv2Tag.h"

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
    tag.AddTextFrame("FUZZ", "value");
    vantor::TMemoryStream copy(data, size);
    tag.SaveToStream(copy);
    return 0;
}
