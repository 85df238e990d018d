// Loads arbitrary bytes as FLAC, saves changed comments and a picture into
// them and checks that they read back, and that the bytes behind the
// metadata (the audio) are unchanged.
#include "tags/flac/FlacTag.h"

#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryStream stream(data, size);
    vantor::TFlacTag tag;
    if (tag.LoadFromStream(stream) != 0 || !tag.Valid())
        return 0;
    const uint64_t audioSize = size - tag.FAudioOffset;
    const bool ogg = tag.StreamType == vantor::fstOggFlac;
    tag.SetTextFrameText("TITLE", "round trip");
    tag.AddTextTag("COMMENT", std::string(size % 7000 + 1, 'x'));
    vantor::TNativePicture picture;
    picture.MIMEType = "image/png";
    picture.Data.assign(data, data + std::min<size_t>(size, 300));
    tag.AddPicture(picture);
    if (tag.SaveToStream(stream) != 0)
        return 0;
    vantor::TFlacTag back;
    if (back.LoadFromStream(stream) != 0 || back.ReadFrameByNameAsText("TITLE") != "round trip"
        || back.PictureCount() != tag.PictureCount())
        std::abort();
    if (!ogg) {
        const auto& bytes = stream.Bytes();
        if (bytes.size() - back.FAudioOffset != audioSize
            || std::memcmp(bytes.data() + back.FAudioOffset, data + (size - audioSize), audioSize) != 0)
            std::abort();
    }
    return 0;
}
