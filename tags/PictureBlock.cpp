#include "tags/PictureBlock.h"

#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

namespace vantor {

bool ParsePictureBlockHead(
    const uint8_t* data, size_t size, TNativePicture& picture, size_t& pictureStart, uint32_t& pictureLength)
{
    size_t at = 0;
    auto u32 = [&](uint32_t& v) {
        if (size - at < 4)
            return false;
        v = GetBE32(data + at);
        at += 4;
        return true;
    };
    auto bytes = [&](std::string& s) {
        uint32_t n;
        if (!u32(n) || n > size - at)
            return false;
        s.assign(reinterpret_cast<const char*>(data + at), n);
        at += n;
        return true;
    };
    uint32_t length = 0;
    std::string mime, description;
    if (!data || !u32(picture.CoverType) || !bytes(mime) || !bytes(description) || !u32(picture.Width)
        || !u32(picture.Height) || !u32(picture.ColorDepth) || !u32(picture.NoOfColors) || !u32(length))
        return false;
    picture.MIMEType = Latin1ToUtf8(mime);
    picture.Description = SanitizeUtf8(description);
    picture.Data.assign(data + at, data + at + std::min<size_t>(length, size - at));
    pictureStart = at;
    pictureLength = length;
    return true;
}

bool ParsePictureBlock(const uint8_t* data, size_t size, TNativePicture& picture)
{
    size_t start = 0;
    uint32_t length = 0;
    if (ParsePictureBlockHead(data, size, picture, start, length) && length <= size - start)
        return true;
    picture.Data.clear();
    return false;
}

std::vector<uint8_t> BuildPictureBlock(const TNativePicture& picture)
{
    std::vector<uint8_t> out;
    std::string mime;
    if (!Utf8ToLatin1(picture.MIMEType, mime))
        mime = Utf8ToAscii(picture.MIMEType);
    AppendBE32(out, picture.CoverType);
    AppendBE32(out, uint32_t(mime.size()));
    out.insert(out.end(), mime.begin(), mime.end());
    AppendBE32(out, uint32_t(picture.Description.size()));
    out.insert(out.end(), picture.Description.begin(), picture.Description.end());
    AppendBE32(out, picture.Width);
    AppendBE32(out, picture.Height);
    AppendBE32(out, picture.ColorDepth);
    AppendBE32(out, picture.NoOfColors);
    AppendBE32(out, uint32_t(picture.Data.size()));
    out.insert(out.end(), picture.Data.begin(), picture.Data.end());
    return out;
}

} // namespace vantor
