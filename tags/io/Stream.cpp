#include "tags/io/Stream.h"

#include <algorithm>
#include <cstring>

namespace vantor {

std::vector<uint8_t> TStream::ReadAt(uint64_t position, uint64_t count)
{
    std::vector<uint8_t> bytes;
    const uint64_t size = Size();
    if (position >= size || !Seek(position))
        return bytes;
    bytes.resize(size_t(std::min(count, size - position)));
    bytes.resize(Read(bytes.data(), bytes.size()));
    return bytes;
}

std::vector<uint8_t> TStream::ReadAll() { return ReadAt(0, Size()); }

TMemoryStream::TMemoryStream(const void* data, size_t size)
    : FData(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size)
{
}

size_t TMemoryStream::Read(void* buffer, size_t count)
{
    if (FPosition >= FData.size())
        return 0;
    const size_t n = size_t(std::min<uint64_t>(count, FData.size() - FPosition));
    if (n)
        std::memcpy(buffer, FData.data() + FPosition, n);
    FPosition += n;
    return n;
}

bool TMemoryStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return true;
    const uint64_t end = FPosition + count;
    if (end > FData.size())
        FData.resize(size_t(end));
    std::memcpy(FData.data() + FPosition, buffer, count);
    FPosition = end;
    return true;
}

bool TMemoryStream::Truncate(uint64_t size)
{
    FData.resize(size_t(size));
    return true;
}

bool TMemoryStream::Replace(uint64_t offset, uint64_t removeCount, const void* buffer, size_t count)
{
    if (offset > FData.size())
        FData.resize(size_t(offset));
    removeCount = std::min<uint64_t>(removeCount, FData.size() - offset);
    const auto* src = static_cast<const uint8_t*>(buffer);
    auto at = FData.begin() + ptrdiff_t(offset);
    at = FData.erase(at, at + ptrdiff_t(removeCount));
    if (count)
        FData.insert(at, src, src + count);
    FPosition = offset + count;
    return true;
}

size_t TMemoryView::Read(void* buffer, size_t count)
{
    if (FPosition >= FSize)
        return 0;
    const size_t n = size_t(std::min<uint64_t>(count, FSize - FPosition));
    if (n)
        std::memcpy(buffer, FData + FPosition, n);
    FPosition += n;
    return n;
}

} // namespace vantor
