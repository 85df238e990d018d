#include "base/PositionedIO.h"

#include <cerrno>
#include <unistd.h>

namespace vantor {

size_t PreadAll(int fd, void* buffer, size_t count, uint64_t offset)
{
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, out + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    return done;
}

bool PwriteAll(int fd, const void* buffer, size_t count, uint64_t offset)
{
    const auto* in = static_cast<const uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, in + done, count - done, off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}

} // namespace vantor
