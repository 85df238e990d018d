// Any bytes: a header that loads is saved with changed attributes; the result loads
// again with exactly the attributes saved, eagerly or with its large picture deferred and then
// fetched, and everything behind the header is unchanged.

#include "tags/asf/WMATag.h"
#include "tags/io/Stream.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <tuple>

using namespace vantor;

namespace {

using TKey = std::tuple<std::string, int, std::vector<uint8_t>, uint16_t>;

std::vector<TKey> Keys(const TWMATag& tag)
{
    std::vector<TKey> keys;
    for (const auto& frame : tag.Frames)
        keys.emplace_back(UpperAscii(frame->Name), frame->Format, frame->Stream, frame->Language); // names compare so
    std::sort(keys.begin(), keys.end());
    return keys;
}

uint64_t HeaderSize(const std::vector<uint8_t>& bytes)
{
    uint64_t size = 0;
    for (int i = 7; i >= 0; --i)
        size = size << 8 | bytes[16 + size_t(i)];
    return size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TMemoryStream stream(data, size);
    TWMATag tag;
    if (tag.LoadFromStream(stream) != wmaSuccess)
        return 0;
    const uint64_t oldHeader = HeaderSize(stream.Bytes());

    tag.SetTextFrameText("Title", "round trip");
    tag.AddText("WM/Lyrics", std::string(size % 4 ? 300 : 33000, 'x')); // the library when over 64 KB
    tag.SetAsInteger("WM/Track", wmaTypeDWORD, size);
    tag.SetAsInteger("WM/IsCompilation", wmaTypeBool, size & 1);
    TWMATagFrame* guid = tag.AddFrame("WM/MediaClassPrimaryID");
    guid->Format = wmaTypeGUID;
    guid->Stream.assign(data, data + std::min<size_t>(size, 16));
    TNativePicture picture;
    picture.MIMEType = "image/png";
    picture.Description = "fuzz";
    picture.Data.assign(data, data + std::min<size_t>(size, 300));
    tag.AddPicture(picture);
    // One large enough that a deferred load leaves it in the stream.
    picture.Data.resize(3000 + size % 7, uint8_t(size));
    tag.AddPicture(picture);
    tag.PaddingToWrite = size % 5 ? 0 : 100;

    const int saved = tag.SaveToStream(stream);
    // Only a header with tens of thousands of records can overflow the 16-bit counts.
    if (saved == wmaTooMany && size > 6 * 0xFFFF)
        return 0;
    if (saved != wmaSuccess)
        std::abort();
    const std::vector<uint8_t>& bytes = stream.Bytes();
    const uint64_t newHeader = HeaderSize(bytes);
    if (bytes.size() - newHeader != size - oldHeader
        || std::memcmp(bytes.data() + newHeader, data + oldHeader, size_t(size - oldHeader)) != 0)
        std::abort();

    TWMATag back;
    if (back.LoadFromStream(stream) != wmaSuccess || Keys(back) != Keys(tag)
        || back.CoverArtCount() != tag.CoverArtCount())
        std::abort();
    // Loaded with the large picture left in the stream and fetched: the same attributes.
    TWMATag deferred;
    deferred.DeferPictureData = true;
    if (deferred.LoadFromStream(stream) != wmaSuccess || !deferred.HasDeferredPictures()
        || !deferred.LoadDeferredPictures(stream) || Keys(deferred) != Keys(tag))
        std::abort();

    // Taking every attribute out leaves a header without them and the rest as it was.
    back.DeleteAllFrames();
    if (back.SaveToStream(stream) != wmaSuccess || back.LoadFromStream(stream) != wmaSuccess || back.Count() != 0)
        std::abort();
    const uint64_t emptied = HeaderSize(stream.Bytes());
    if (stream.Size() - emptied != size - oldHeader
        || std::memcmp(stream.Bytes().data() + emptied, data + oldHeader, size_t(size - oldHeader)) != 0)
        std::abort();
    return 0;
}
