#include "base/FileIO.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace vantor {

namespace {

// Opens a regular file for reading and tells its size; -1 when it is missing, not a regular
// file or cannot be opened.
int OpenRegularFile(std::filesystem::path const& path, size_t& size)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; regular files ignore it
    int const fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat info { };
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return -1;
    }
    size = static_cast<size_t>(info.st_size);
    return fd;
}

// Reads up to size bytes into buffer and closes fd; the count read, or nothing on an error.
std::optional<size_t> ReadAndClose(int fd, char* buffer, size_t size)
{
    size_t filled = 0;
    while (filled < size) {
        ssize_t const n = ::read(fd, buffer + filled, size - filled);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break; // the file shrank meanwhile
        filled += static_cast<size_t>(n);
    }
    ::close(fd);
    return filled;
}

}

std::optional<std::string> ReadWholeFile(std::filesystem::path const& path)
{
    size_t size = 0;
    int const fd = OpenRegularFile(path, size);
    if (fd < 0)
        return std::nullopt;
    std::string bytes(size, '\0');
    std::optional<size_t> const filled = ReadAndClose(fd, bytes.data(), bytes.size());
    if (!filled)
        return std::nullopt;
    bytes.resize(*filled);
    return bytes;
}

std::optional<TFileBytes> TFileBytes::Read(std::filesystem::path const& path)
{
    size_t size = 0;
    int const fd = OpenRegularFile(path, size);
    if (fd < 0)
        return std::nullopt;
    TFileBytes bytes;
    if (size > 0) {
        void* const memory = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            ::close(fd);
            return std::nullopt;
        }
        // Large pages where the system allows them on request; only a hint.
        ::madvise(memory, size, MADV_HUGEPAGE);
        bytes.m_data = static_cast<char*>(memory);
        bytes.m_mapped = size;
    }
    std::optional<size_t> const filled = ReadAndClose(fd, bytes.m_data, size);
    if (!filled)
        return std::nullopt;
    bytes.m_size = *filled;
    return bytes;
}

TFileBytes::TFileBytes(TFileBytes&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
    , m_mapped(std::exchange(other.m_mapped, 0))
{
}

TFileBytes& TFileBytes::operator=(TFileBytes&& other) noexcept
{
    if (this != &other) {
        Release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, 0);
    }
    return *this;
}

TFileBytes::~TFileBytes() { Release(); }

void TFileBytes::Release()
{
    if (m_data)
        ::munmap(m_data, m_mapped);
    m_data = nullptr;
    m_size = m_mapped = 0;
}

}
