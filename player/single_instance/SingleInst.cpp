#include "player/single_instance/SingleInst.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>

namespace vantor {

namespace {

namespace fs = std::filesystem;

constexpr int kBacklog = 16;
constexpr size_t kMaxConnections = 16;
// How long the running player waits for a connection to deliver its whole message.
constexpr auto kReadTimeout = std::chrono::seconds(5);

// The address of a socket path. A path longer than an address holds is reached through its
// folder, opened here and named under /proc/self/fd, for as long as this object lives.
class TSocketAddress {
public:
    explicit TSocketAddress(fs::path const& path)
    {
        m_address.sun_family = AF_UNIX;
        std::string text = path.string();
        if (text.size() >= sizeof(m_address.sun_path) && path.has_parent_path()) {
            m_folder = open(path.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
            if (m_folder < 0)
                return;
            text = "/proc/self/fd/" + std::to_string(m_folder) + "/" + path.filename().string();
        }
        m_valid = !text.empty() && text.size() < sizeof(m_address.sun_path);
        if (m_valid)
            std::memcpy(m_address.sun_path, text.c_str(), text.size() + 1);
    }
    ~TSocketAddress()
    {
        if (m_folder >= 0)
            close(m_folder);
    }
    TSocketAddress(const TSocketAddress&) = delete;
    TSocketAddress& operator=(const TSocketAddress&) = delete;

    bool Valid() const { return m_valid; }
    sockaddr const* Get() const { return reinterpret_cast<sockaddr const*>(&m_address); }
    socklen_t Size() const { return sizeof m_address; }

private:
    sockaddr_un m_address {};
    int m_folder = -1;
    bool m_valid = false;
};

void SetTimeout(int fd, int option, std::chrono::milliseconds timeout)
{
    timeval value {};
    value.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    value.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
    setsockopt(fd, SOL_SOCKET, option, &value, sizeof value);
}

bool LockFile(int fd, int operation)
{
    while (flock(fd, operation) != 0)
        if (errno != EINTR)
            return false;
    return true;
}

// Holds the lock file for one scope.
class TLockGuard {
public:
    explicit TLockGuard(int fd)
        : m_fd(fd)
        , m_locked(fd >= 0 && LockFile(fd, LOCK_EX))
    {
    }
    ~TLockGuard()
    {
        if (m_locked)
            LockFile(m_fd, LOCK_UN);
    }
    TLockGuard(const TLockGuard&) = delete;
    TLockGuard& operator=(const TLockGuard&) = delete;
    bool Locked() const { return m_locked; }

private:
    int m_fd;
    bool m_locked;
};

bool FromThisUser(int fd)
{
    ucred credentials {};
    socklen_t size = sizeof credentials;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 && credentials.uid == getuid();
}

std::vector<std::string> NonEmpty(std::vector<std::string> const& arguments)
{
    std::vector<std::string> result;
    std::copy_if(arguments.begin(), arguments.end(), std::back_inserter(result),
        [](std::string const& argument) { return !argument.empty(); });
    return result;
}

}

fs::path TSingleInst::DefaultSocketPath()
{
    char const* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && runtime[0] == '/')
        return fs::path(runtime) / "vantor-instance.sock";
    return fs::path("/tmp") / ("vantor-" + std::to_string(getuid())) / "instance.sock";
}

TSingleInst::TSingleInst(fs::path socketPath, std::chrono::milliseconds answerTimeout)
    : m_socketPath(std::move(socketPath))
    , m_answerTimeout(answerTimeout)
{
    m_lockPath = m_socketPath;
    m_lockPath += ".lock";
}

TSingleInst::~TSingleInst()
{
    StopListening();
    if (m_lock >= 0)
        close(m_lock);
}

bool TSingleInst::PrepareFolder() const
{
    // Whoever can write to the folder could put a socket of their own in our place.
    fs::path const folder = m_socketPath.parent_path();
    if (folder.empty())
        return false;
    mkdir(folder.c_str(), 0700);
    struct stat info { };
    return lstat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid()
        && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool TSingleInst::CanStartApp(std::vector<std::string> const& arguments)
{
    if (m_lock >= 0 || !PrepareFolder())
        return true;
    m_lock = open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    TLockGuard const lock(m_lock);
    if (!lock.Locked())
        return true;

    if (HandOver(NonEmpty(arguments)))
        return false;
    // Nobody listens (no player, or one that was killed and left its socket), or the player
    // did not take the arguments. Take its place unless it still listens.
    int const probe = Connect();
    if (probe >= 0) {
        close(probe);
        return true;
    }
    Listen();
    return true;
}

int TSingleInst::Connect() const
{
    TSocketAddress const address(m_socketPath);
    if (!address.Valid())
        return -1;
    int const fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    SetTimeout(fd, SO_SNDTIMEO, m_answerTimeout);
    SetTimeout(fd, SO_RCVTIMEO, m_answerTimeout);
    int result;
    do
        result = connect(fd, address.Get(), address.Size());
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

bool TSingleInst::Send(std::string const& message, uint32_t& answer) const
{
    int const fd = Connect();
    if (fd < 0)
        return false;
    bool ok = true;
    for (size_t sent = 0; ok && sent < message.size();) {
        ssize_t const n = send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n > 0)
            sent += static_cast<size_t>(n);
        else if (n < 0 && errno != EINTR)
            ok = false;
    }
    ok = ok && shutdown(fd, SHUT_WR) == 0;
    std::string reply;
    while (ok && reply.size() < 4) {
        char buffer[4];
        ssize_t const n = recv(fd, buffer, 4 - reply.size(), 0);
        if (n > 0)
            reply.append(buffer, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            ok = false;
    }
    close(fd);
    if (!ok)
        return false;
    answer = 0;
    for (int i = 0; i < 4; ++i)
        answer |= uint32_t(static_cast<unsigned char>(reply[i])) << (8 * i);
    return true;
}

bool TSingleInst::HandOver(std::vector<std::string> const& arguments) const
{
    uint32_t answer = 0;
    if (!arguments.empty()) {
        if (!Send(EncodeCopyData(arguments), answer) || answer != 1)
            return false;
        Send(EncodeEnsureRestore(), answer);
        return true;
    }
    // Without arguments only the window is asked to the front; any answer will do.
    return Send(EncodeEnsureRestore(), answer);
}

bool TSingleInst::Listen()
{
    TSocketAddress const address(m_socketPath);
    if (!address.Valid())
        return false;
    int const fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    unlink(m_socketPath.c_str());
    // The socket file is created with mode 0600; no other thread runs this early.
    mode_t const mask = umask(0177);
    bool const bound = bind(fd, address.Get(), address.Size()) == 0;
    umask(mask);
    struct stat info { };
    if (!bound || listen(fd, kBacklog) != 0 || stat(m_socketPath.c_str(), &info) != 0) {
        close(fd);
        return false;
    }
    m_listen = fd;
    m_socketDevice = info.st_dev;
    m_socketInode = info.st_ino;
    return true;
}

void TSingleInst::StopListening()
{
    for (TConnection const& connection : m_connections)
        close(connection.Fd);
    m_connections.clear();
    if (m_listen < 0)
        return;
    // Closing first lets a start that waits for our answer go on (and take the lock).
    close(m_listen);
    m_listen = -1;
    TLockGuard const lock(m_lock);
    struct stat info { };
    if (lock.Locked() && stat(m_socketPath.c_str(), &info) == 0 && info.st_dev == m_socketDevice
        && info.st_ino == m_socketInode)
        unlink(m_socketPath.c_str());
}

void TSingleInst::ServeMessages()
{
    // A handler may run a nested event loop that calls this again.
    if (m_listen < 0 || m_serving)
        return;
    m_serving = true;
    struct TReset {
        bool& Flag;
        ~TReset() { Flag = false; }
    } const reset { m_serving };

    for (;;) {
        int const fd = accept4(m_listen, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (!FromThisUser(fd) || m_connections.size() >= kMaxConnections) {
            close(fd);
            continue;
        }
        m_connections.push_back({ fd, {}, std::chrono::steady_clock::now() + kReadTimeout });
    }
    std::erase_if(m_connections, [this](TConnection& connection) { return !Serve(connection); });
}

bool TSingleInst::Serve(TConnection& connection)
{
    char buffer[64 * 1024];
    for (;;) {
        size_t const room = std::min(sizeof buffer, kMaxHandOverSize + 1 - connection.Received.size());
        ssize_t const n = recv(connection.Fd, buffer, room, 0);
        if (n > 0) {
            connection.Received.append(buffer, static_cast<size_t>(n));
            if (connection.Received.size() > kMaxHandOverSize)
                break; // too long: answered 0
            continue;
        }
        if (n == 0)
            break;
        if (errno == EINTR)
            continue;
        if ((errno == EAGAIN || errno == EWOULDBLOCK) && std::chrono::steady_clock::now() < connection.Deadline)
            return true;
        close(connection.Fd);
        return false;
    }
    uint32_t answer = 0;
    if (connection.Received.size() <= kMaxHandOverSize)
        if (auto const message = ParseHandOverMessage(connection.Received))
            HandleMessages(*message, answer);
    std::string const reply = EncodeAnswer(answer);
    send(connection.Fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    close(connection.Fd);
    return false;
}

bool TSingleInst::HandleMessages(THandOverMessage const& Msg, uint32_t& answer)
{
    answer = 0;
    switch (Msg.Kind) {
    case THandOverKind::CopyData:
        if (Msg.Tag != kHandOverTag)
            return true;
        siParamList = Msg.Params;
        if (fOnProcessParam)
            fOnProcessParam(siParamList);
        answer = 1;
        return true;
    case THandOverKind::EnsureRestore:
        if (fOnEnsureRestore)
            fOnEnsureRestore();
        answer = 1;
        return true;
    }
    return false;
}

}
