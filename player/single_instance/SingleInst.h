#pragma once

// TSingleInst: the single-instance guard. The running player listens on a per-user Unix
// domain socket; a second start connects, hands its arguments over, asks for the window to
// come to the front and ends without touching any file.
//
//   TSingleInst guard;                         // first thing in main
//   if (!guard.CanStartApp(arguments))
//       return 0;                              // handed over to the running player
//   guard.fOnProcessParam = [&](auto const& files) { form.HandleParam(files); };
//   guard.fOnEnsureRestore = [&] { window.Raise(); };
//   every 100 ms on the UI thread: guard.ServeMessages();
//
// A lock file beside the socket (flock) serialises the decision, so of two starts at the same
// moment one runs and the other hands over. A socket left by a player that was killed is
// replaced by the next start.

#include "player/single_instance/HandOverMessage.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vantor {

using TSingleInstParamHandler = std::function<void(std::vector<std::string> const&)>;

class TSingleInst {
public:
    // socketPath: $XDG_RUNTIME_DIR/vantor-instance.sock, or a private folder under /tmp when
    // that is not set. Its folder must be a directory of this user that others cannot write
    // to; a missing last folder is created with mode 0700.
    static std::filesystem::path DefaultSocketPath();

    // answerTimeout bounds how long a second start waits for the running player.
    explicit TSingleInst(std::filesystem::path socketPath = DefaultSocketPath(),
        std::chrono::milliseconds answerTimeout = std::chrono::seconds(10));
    ~TSingleInst();
    TSingleInst(const TSingleInst&) = delete;
    TSingleInst& operator=(const TSingleInst&) = delete;

    // True when this process shall run the player; it then listens for later starts. False
    // when a running player took the arguments (arguments: the command line without the
    // program). A player that does not answer 1 leaves this process to run as well, and so
    // does a socket folder that is not private.
    bool CanStartApp(std::vector<std::string> const& arguments);

    // Running player, UI thread: accepts waiting connections, reads what has arrived without
    // blocking and handles every complete message. Does nothing when not listening.
    void ServeMessages();
    // Handles one message; answer: 1 when it was taken. False for a message of no known kind.
    bool HandleMessages(THandOverMessage const& Msg, uint32_t& answer);

    bool Listening() const { return m_listen >= 0; }
    std::filesystem::path const& SocketPath() const { return m_socketPath; }

    // Receives the arguments of a hand-over (the main controller's HandleParam).
    TSingleInstParamHandler fOnProcessParam;
    // Brings the window to the front, restoring it when minimised.
    std::function<void()> fOnEnsureRestore;
    // The arguments of the last hand-over.
    std::vector<std::string> siParamList;

private:
    struct TConnection {
        int Fd = -1;
        std::string Received;
        std::chrono::steady_clock::time_point Deadline;
    };

    bool PrepareFolder() const;
    int Connect() const;
    bool Send(std::string const& message, uint32_t& answer) const;
    bool HandOver(std::vector<std::string> const& arguments) const;
    bool Listen();
    void StopListening();
    // False when the connection is finished (answered, failed or timed out) and was closed.
    bool Serve(TConnection& connection);

    std::filesystem::path m_socketPath;
    std::filesystem::path m_lockPath;
    std::chrono::milliseconds m_answerTimeout;
    int m_lock = -1;
    int m_listen = -1;
    // The socket file this process bound, so that it removes only its own.
    uint64_t m_socketDevice = 0;
    uint64_t m_socketInode = 0;
    std::vector<TConnection> m_connections;
    bool m_serving = false;
};

}
