// Loads arbitrary bytes, saves new comments into them and checks that what is
// read back is what was written and that every page after the save has a
// valid CRC.
#include "tags/ogg/OggPacketReader.h"
#include "tags/ogg/OpusTag.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    vantor::TMemoryStream stream(data, size);
    vantor::TOpusTag tag;
    if (tag.LoadFromStream(stream) != 0)
        return 0;
    const std::string title(reinterpret_cast<const char*>(data), std::min<size_t>(size, 40));
    tag.DeleteAllFrames();
    tag.AddTextFrame("TITLE", "round trip");
    tag.AddTextFrame("COMMENT", std::string(size % 5000, 'x'));
    if (tag.SaveToStream(stream) != 0)
        return 0;
    vantor::TOpusTag back;
    if (back.LoadFromStream(stream) != 0 || back.ReadFrameByNameAsText("TITLE") != "round trip"
        || back.ReadFrameByNameAsText("COMMENT").size() != size % 5000)
        std::abort();
    // Every whole page from the comment header on carries a valid CRC.
    const std::vector<uint8_t>& bytes = stream.Bytes();
    uint64_t at = back.Info.SPagePos;
    while (at + vantor::OggHeaderSize <= bytes.size() && bytes[at] == 'O' && bytes[at + 1] == 'g') {
        const vantor::TOggHeader header = vantor::DecodeOggHeader(bytes.data() + at, bytes.size() - at);
        if (at + header.PageSize() > bytes.size())
            break;
        if (!vantor::OggPageCrcValid(bytes.data() + at, header.PageSize()) && at < back.Info.TagEndPos)
            std::abort();
        at += header.PageSize();
    }
    return 0;
}
