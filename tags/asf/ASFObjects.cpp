#include "tags/asf/ASFObjects.h"

#include "tags/io/Bytes.h"

#include <cstring>

namespace vantor {

const uint8_t* TASFReader::Take(uint64_t count)
{
    if (FFailed || count > Remaining()) {
        FFailed = true;
        return nullptr;
    }
    const uint8_t* at = FData + FPosition;
    FPosition += size_t(count);
    return at;
}

uint8_t TASFReader::U8()
{
    const uint8_t* p = Take(1);
    return p ? p[0] : 0;
}

uint16_t TASFReader::U16()
{
    const uint8_t* p = Take(2);
    return p ? GetLE16(p) : 0;
}

uint32_t TASFReader::U32()
{
    const uint8_t* p = Take(4);
    return p ? GetLE32(p) : 0;
}

uint64_t TASFReader::U64()
{
    const uint8_t* p = Take(8);
    return p ? GetLE64(p) : 0;
}

TASFGuid TASFReader::Guid()
{
    TASFGuid guid;
    if (const uint8_t* p = Take(16))
        std::memcpy(guid.Bytes.data(), p, 16);
    return guid;
}

bool SplitASFObjects(const uint8_t* data, size_t size, std::vector<TASFObject>& objects)
{
    objects.clear();
    TASFReader reader(data, size);
    while (reader.Remaining() > 0) {
        TASFObject object;
        object.Guid = reader.Guid();
        const uint64_t objectSize = reader.U64();
        if (reader.Failed() || objectSize < asf::ObjectHeaderSize)
            return false;
        const uint8_t* body = reader.Take(objectSize - asf::ObjectHeaderSize);
        if (!body)
            return false;
        object.Body.assign(body, body + (objectSize - asf::ObjectHeaderSize));
        objects.push_back(std::move(object));
    }
    return true;
}

bool SplitHeaderExtension(
    const std::vector<uint8_t>& body, std::vector<uint8_t>& prefix, std::vector<TASFObject>& objects)
{
    if (body.size() < asf::HeaderExtensionPrefix)
        return false;
    const uint32_t dataSize = GetLE32(body.data() + 18);
    if (dataSize != body.size() - asf::HeaderExtensionPrefix)
        return false;
    prefix.assign(body.begin(), body.begin() + asf::HeaderExtensionPrefix);
    return SplitASFObjects(body.data() + asf::HeaderExtensionPrefix, dataSize, objects);
}

void AppendASFObject(std::vector<uint8_t>& out, const TASFGuid& guid, const std::vector<uint8_t>& body)
{
    out.insert(out.end(), guid.Bytes.begin(), guid.Bytes.end());
    AppendLE64(out, asf::ObjectHeaderSize + body.size());
    out.insert(out.end(), body.begin(), body.end());
}

void AppendLE16(std::vector<uint8_t>& out, uint16_t value)
{
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void AppendLE64(std::vector<uint8_t>& out, uint64_t value)
{
    AppendLE32(out, uint32_t(value));
    AppendLE32(out, uint32_t(value >> 32));
}

} // namespace vantor
