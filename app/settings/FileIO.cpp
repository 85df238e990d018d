#include "app/settings/FileIO.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        ssize_t const n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}

std::optional<std::string> ReadWholeFile(std::filesystem::path const& path)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; regular files ignore it
    int const fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        ssize_t const n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
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
    bytes.resize(filled);
    return bytes;
}

bool ReplaceFileContents(std::filesystem::path const& target, std::string_view bytes)
{
    std::error_code ec;
    std::filesystem::path destination = target;
    if (std::filesystem::is_symlink(destination, ec)) {
        destination = std::filesystem::canonical(target, ec);
        if (ec)
            return false;
    }
    std::filesystem::path folder = destination.parent_path();
    if (folder.empty())
        folder = ".";
    std::string name = ".";
    name += destination.filename().string();
    name += ".XXXXXX";
    std::string temporary = (folder / name).string();
    int const fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;

    mode_t mode = 0644;
    struct stat old {};
    if (::stat(destination.c_str(), &old) == 0)
        mode = old.st_mode & 07777;

    bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = ::rename(temporary.c_str(), destination.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}
