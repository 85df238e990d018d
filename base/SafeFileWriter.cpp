#include "base/SafeFileWriter.h"

#include "base/PositionedIO.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

thread_local ISafeWriteFaults* t_faults = nullptr;

// The file a write to path really replaces: a symbolic link's target. Empty when path is a
// link that leads nowhere, which must not be replaced by a file of its own.
std::string ResolveTarget(std::filesystem::path const& path)
{
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved))
        return resolved;
    struct stat info { };
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
        return {};
    return path.string();
}

std::string FolderOf(std::string const& path)
{
    size_t const slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new, hidden file beside target. A file that replaces another starts private and
// takes the old one's mode on commit; a new file is created with 0666, which the system cuts
// down by the umask (and the folder's default ACL).
int CreateTemporary(std::string const& target, bool replaces, std::string& name)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<size_t> letter(0, sizeof Letters - 2);
    size_t const slash = target.rfind('/');
    std::string const prefix =
        slash == std::string::npos ? "." + target : target.substr(0, slash + 1) + "." + target.substr(slash + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix + ".";
        for (int i = 0; i < 6; ++i)
            name += Letters[letter(random)];
        int const fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, replaces ? 0600 : 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

}

TSafeWriteFaultScope::TSafeWriteFaultScope(ISafeWriteFaults& faults)
    : m_previous(t_faults)
{
    t_faults = &faults;
}

TSafeWriteFaultScope::~TSafeWriteFaultScope() { t_faults = m_previous; }

TSafeFileWriter::TSafeFileWriter(std::filesystem::path const& target)
    : m_faults(t_faults)
    , m_target(ResolveTarget(target))
{
    if (m_target.empty() || Fails(TSafeWriteStep::Open))
        return;
    m_folder = FolderOf(m_target);
    struct stat info { };
    bool const replaces = ::stat(m_target.c_str(), &info) == 0;
    m_fd = CreateTemporary(m_target, replaces, m_temporary);
    if (m_fd < 0)
        m_temporary.clear();
}

TSafeFileWriter::~TSafeFileWriter() { Discard(); }

bool TSafeFileWriter::Fails(TSafeWriteStep step) const
{
    if (!m_faults || !m_faults->Fails(step))
        return false;
    errno = EIO;
    return true;
}

bool TSafeFileWriter::WriteAt(uint64_t offset, void const* data, size_t count)
{
    if (m_fd < 0 || Fails(TSafeWriteStep::Write) || !PwriteAll(m_fd, data, count, offset)) {
        m_failed = true;
        return false;
    }
    if (offset + count > m_size)
        m_size = offset + count;
    return true;
}

size_t TSafeFileWriter::ReadAt(uint64_t offset, void* data, size_t count) const
{
    return m_fd >= 0 ? PreadAll(m_fd, data, count, offset) : 0;
}

bool TSafeFileWriter::Truncate(uint64_t size)
{
    if (m_fd < 0 || Fails(TSafeWriteStep::Write) || ::ftruncate(m_fd, off_t(size)) != 0) {
        m_failed = true;
        return false;
    }
    m_size = size;
    return true;
}

bool TSafeFileWriter::Commit()
{
    if (m_fd < 0 || m_failed) {
        Discard();
        return false;
    }
    bool ok = true;
    struct stat old { };
    if (::stat(m_target.c_str(), &old) == 0) {
        // Owner first: a change of owner clears the set-id bits the mode then puts back.
        // Keeping another user's ownership needs privileges; without them the file is ours.
        if (::fchown(m_fd, old.st_uid, old.st_gid) != 0 && errno != EPERM)
            ok = false;
        ok = ok && ::fchmod(m_fd, old.st_mode & 07777) == 0;
    }
    ok = ok && !Fails(TSafeWriteStep::Sync) && ::fsync(m_fd) == 0;
    ok = ::close(m_fd) == 0 && ok;
    m_fd = -1;
    ok = ok && !Fails(TSafeWriteStep::Rename) && ::rename(m_temporary.c_str(), m_target.c_str()) == 0;
    if (!ok) {
        Discard();
        return false;
    }
    m_temporary.clear();
    // The rename itself lasts only once the folder is on disk. The target is replaced by now,
    // so a folder that cannot be flushed changes nothing in the answer.
    int const folder = ::open(m_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

void TSafeFileWriter::Discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_temporary.empty())
        ::unlink(m_temporary.c_str());
    m_temporary.clear();
}

bool ReplaceFileContents(std::filesystem::path const& target, std::string_view bytes)
{
    TSafeFileWriter writer(target);
    return writer.Write(bytes) && writer.Commit();
}

}
