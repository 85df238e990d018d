#include "tags/audio_attributes/ByteSource.h"

#include "base/PositionedIO.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

bool TByteSource::ReadExact(uint64_t Offset, void* Buffer, size_t Count) const
{
    return ReadAt(Offset, Buffer, Count) == Count;
}

uint64_t TByteSource::Remaining(uint64_t Offset) const
{
    const uint64_t Total = Size();
    return Offset < Total ? Total - Offset : 0;
}

size_t TMemorySource::ReadAt(uint64_t Offset, void* Buffer, size_t Count) const
{
    if (Offset >= FData.size())
        return 0;
    const size_t N = size_t(std::min<uint64_t>(Count, FData.size() - Offset));
    if (N > 0)
        std::memcpy(Buffer, FData.data() + Offset, N);
    return N;
}

TFileSource::~TFileSource()
{
    if (FHandle >= 0)
        ::close(FHandle);
}

bool TFileSource::Open(const std::filesystem::path& FileName)
{
    if (FHandle >= 0) {
        ::close(FHandle);
        FHandle = -1;
    }
    const int Handle = ::open(FileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (Handle < 0)
        return false;
    struct stat Info { };
    if (::fstat(Handle, &Info) != 0 || !S_ISREG(Info.st_mode)) {
        ::close(Handle);
        return false;
    }
    FHandle = Handle;
    FSize = uint64_t(Info.st_size);
    return true;
}

size_t TFileSource::ReadAt(uint64_t Offset, void* Buffer, size_t Count) const
{
    if (FHandle < 0 || Offset >= FSize)
        return 0;
    return PreadAll(FHandle, Buffer, size_t(std::min<uint64_t>(Count, FSize - Offset)), Offset);
}

} // namespace vantor
