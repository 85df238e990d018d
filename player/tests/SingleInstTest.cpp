// The single-instance guard between real processes (the probe program stands in for the
// player) and, in this process, the answers to raw messages.

#include "player/single_instance/SingleInst.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>
#include <set>
#include <thread>

extern char** environ;

namespace vantor {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A private folder for the socket, as the guard demands.
fs::path SocketFolder()
{
    fs::path const folder = testing::ScratchFolder();
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
    return folder;
}

std::set<fs::path> Listing(fs::path const& folder)
{
    std::set<fs::path> entries;
    for (auto const& entry : fs::directory_iterator(folder))
        entries.insert(entry.path().filename());
    return entries;
}

// One probe process; its stdout goes to a file.
class TProbe {
public:
    TProbe(fs::path const& output, std::vector<std::string> const& arguments)
        : m_output(output)
    {
        std::vector<std::string> all { SINGLE_INST_PROBE };
        all.insert(all.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& argument : all)
            argv.push_back(argument.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, m_output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~TProbe()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }
    TProbe(const TProbe&) = delete;
    TProbe& operator=(const TProbe&) = delete;

    std::string Output() const { return testing::ReadBytes(m_output); }

    bool WaitForOutput(std::string const& text, std::chrono::milliseconds timeout = 20s) const
    {
        for (auto const end = std::chrono::steady_clock::now() + timeout; std::chrono::steady_clock::now() < end;) {
            if (Output().find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    // The exit status, or none while it still runs after timeout.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout = 20s)
    {
        for (auto const end = std::chrono::steady_clock::now() + timeout; m_pid > 0;) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() >= end)
                return std::nullopt;
            std::this_thread::sleep_for(10ms);
        }
        return std::nullopt;
    }

    void Signal(int signal) const { kill(m_pid, signal); }

private:
    fs::path m_output;
    pid_t m_pid = -1;
};

class SingleInstTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = SocketFolder();
        m_socket = m_folder / "instance.sock";
        m_logs = m_folder.string() + ".logs";
        fs::remove_all(m_logs);
        fs::create_directories(m_logs);
    }

    std::unique_ptr<TProbe> Start(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), m_socket.string());
        return std::make_unique<TProbe>(m_logs / ("probe" + std::to_string(m_started++) + ".out"), arguments);
    }

    std::unique_ptr<TProbe> StartRunning()
    {
        auto probe = Start({});
        EXPECT_TRUE(probe->WaitForOutput("RUNNING\n"));
        return probe;
    }

    fs::path m_folder;
    fs::path m_socket;
    fs::path m_logs;
    int m_started = 0;
};

TEST_F(SingleInstTest, SecondStartHandsOverItsArgumentsAndEndsWithoutTouchingFiles)
{
    auto player = StartRunning();
    struct stat info { };
    ASSERT_EQ(stat(m_socket.c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    auto const before = Listing(m_folder);

    auto second = Start({ "x.mp3", "", "/music/y z.flac" });
    EXPECT_EQ(second->WaitExit(), 0);
    EXPECT_EQ(second->Output(), "HANDED-OVER\n");
    // The empty argument names no file and is not handed over.
    EXPECT_TRUE(player->WaitForOutput("PARAMS\tx.mp3\t/music/y z.flac\nRESTORE\n")) << player->Output();
    EXPECT_EQ(Listing(m_folder), before);
}

TEST_F(SingleInstTest, SecondStartWithoutArgumentsOnlyRaisesTheWindow)
{
    auto player = StartRunning();
    auto second = Start({});
    EXPECT_EQ(second->WaitExit(), 0);
    EXPECT_EQ(second->Output(), "HANDED-OVER\n");
    EXPECT_TRUE(player->WaitForOutput("RESTORE\n"));
    EXPECT_EQ(player->Output().find("PARAMS"), std::string::npos);
}

TEST_F(SingleInstTest, OfSimultaneousStartsExactlyOneRuns)
{
    std::vector<std::unique_ptr<TProbe>> probes;
    for (int i = 0; i < 4; ++i)
        probes.push_back(Start({ "file" + std::to_string(i) }));
    // Three hand over and end; the fourth keeps running and receives their files.
    TProbe* running = nullptr;
    int handedOver = 0;
    for (auto& probe : probes) {
        if (!probe->WaitForOutput("\n")) {
            ADD_FAILURE() << "a probe said nothing";
            continue;
        }
        if (probe->Output().starts_with("RUNNING\n")) {
            EXPECT_EQ(running, nullptr) << "two probes run";
            running = probe.get();
        } else {
            EXPECT_EQ(probe->WaitExit(), 0);
            EXPECT_EQ(probe->Output(), "HANDED-OVER\n");
            ++handedOver;
        }
    }
    EXPECT_EQ(handedOver, 3);
    ASSERT_NE(running, nullptr);
    for (int i = 0; i < 4; ++i)
        if (running != probes[i].get()) {
            EXPECT_TRUE(running->WaitForOutput("PARAMS\tfile" + std::to_string(i) + "\n")) << running->Output();
        }
}

TEST_F(SingleInstTest, SocketOfAKilledPlayerDoesNotBlockTheNextStart)
{
    {
        auto killed = StartRunning();
        killed->Signal(SIGKILL);
        killed->WaitExit();
    }
    ASSERT_TRUE(fs::exists(fs::symlink_status(m_socket))); // left behind
    auto player = StartRunning();
    auto third = Start({ "a.ogg" });
    EXPECT_EQ(third->WaitExit(), 0);
    EXPECT_TRUE(player->WaitForOutput("PARAMS\ta.ogg\n"));
}

TEST_F(SingleInstTest, ClosedPlayerRemovesItsSocket)
{
    auto player = StartRunning();
    player->Signal(SIGTERM);
    EXPECT_EQ(player->WaitExit(), 0);
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_socket)));
}

TEST_F(SingleInstTest, PlayerThatDoesNotAnswerLeavesTheSecondStartRunning)
{
    auto hung = Start({ "--hang" });
    ASSERT_TRUE(hung->WaitForOutput("RUNNING\n"));
    auto second = Start({ "--timeout-ms", "300", "x.mp3" });
    EXPECT_TRUE(second->WaitForOutput("RUNNING UNGUARDED\n")) << second->Output();
}

TEST_F(SingleInstTest, FolderOthersCanWriteToIsNotTrusted)
{
    fs::permissions(m_folder, fs::perms::all, fs::perm_options::replace);
    TSingleInst guard(m_socket);
    EXPECT_TRUE(guard.CanStartApp({ "x" }));
    EXPECT_FALSE(guard.Listening());
    EXPECT_FALSE(fs::exists(fs::symlink_status(m_socket)));
}

// Sends raw bytes to the guard from another thread and serves here until the answer came.
std::optional<uint32_t> Exchange(TSingleInst& server, std::string const& bytes)
{
    std::optional<uint32_t> answer;
    std::atomic<bool> done = false;
    std::thread client([&] {
        // The scratch path may be too long for an address: go through its folder.
        int const folder = open(server.SocketPath().parent_path().c_str(), O_PATH | O_DIRECTORY);
        std::string const path =
            "/proc/self/fd/" + std::to_string(folder) + "/" + server.SocketPath().filename().string();
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        int const fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            for (size_t sent = 0; sent < bytes.size();) {
                ssize_t const n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    break;
                sent += size_t(n);
            }
            shutdown(fd, SHUT_WR);
            unsigned char reply[4];
            if (recv(fd, reply, 4, MSG_WAITALL) == 4)
                answer = reply[0] | reply[1] << 8 | reply[2] << 16 | uint32_t(reply[3]) << 24;
        }
        close(fd);
        close(folder);
        done = true;
    });
    while (!done) {
        server.ServeMessages();
        std::this_thread::sleep_for(1ms);
    }
    client.join();
    return answer;
}

TEST_F(SingleInstTest, AnswersRawMessages)
{
    TSingleInst server(m_socket);
    ASSERT_TRUE(server.CanStartApp({}));
    ASSERT_TRUE(server.Listening());
    std::vector<std::vector<std::string>> received;
    int restores = 0;
    server.fOnProcessParam = [&](std::vector<std::string> const& params) { received.push_back(params); };
    server.fOnEnsureRestore = [&] { ++restores; };

    struct TCase {
        char const* Name;
        std::string Bytes;
        uint32_t Answer;
    };
    std::string oversized = EncodeCopyData({ std::string(kMaxHandOverSize, 'a') });
    TCase const cases[] = {
        { "hand-over", EncodeCopyData({ "a", "b" }), 1 },
        { "other tag", EncodeCopyData({ "c" }, 7), 0 },
        { "restore", EncodeEnsureRestore(), 1 },
        { "garbage", "not a message", 0 },
        { "empty", "", 0 },
        { "too long", oversized, 0 },
    };
    for (TCase const& c : cases)
        EXPECT_EQ(Exchange(server, c.Bytes), c.Answer) << c.Name;
    EXPECT_EQ(received, (std::vector<std::vector<std::string>> { { "a", "b" } }));
    EXPECT_EQ(server.siParamList, (std::vector<std::string> { "a", "b" }));
    EXPECT_EQ(restores, 1);
}

}
}
