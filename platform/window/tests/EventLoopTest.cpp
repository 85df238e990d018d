#include "platform/window/EventLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

namespace vantor {
namespace {

// Sets an environment variable (or removes it, given no value) until the end of the scope.
class TScopedEnv {
public:
    TScopedEnv(const char* name, std::optional<std::string> value)
        : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~TScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// SDL connects to the session bus when it first starts (so this holds in a process of its
// own, as CTest runs each case): in a session without a bus, no bus launcher may run, and
// the environment is left as it was.
TEST(EventLoop, SessionWithoutBusLaunchesNone)
{
    namespace fs = std::filesystem;
    const char* scratch = std::getenv("VANTOR_TEST_TMP");
    const fs::path folder = fs::path(scratch ? scratch : fs::temp_directory_path().string()) / "no-session-bus";
    fs::remove_all(folder);
    fs::create_directories(folder / "run");
    fs::create_directories(folder / "bin");
    const fs::path launched = folder / "launched";
    // A launcher that only records that it ran.
    const fs::path launcher = folder / "bin" / "dbus-launch";
    std::ofstream(launcher) << "#!/bin/sh\n: > '" << launched.string() << "'\nexit 1\n";
    fs::permissions(launcher, fs::perms::owner_all);

    {
        TScopedEnv path("PATH", (folder / "bin").string());
        TScopedEnv runtime("XDG_RUNTIME_DIR", (folder / "run").string());
        TScopedEnv address("DBUS_SESSION_BUS_ADDRESS", std::nullopt);
        // The bus library launches only for an X11 session.
        TScopedEnv display("DISPLAY", std::getenv("DISPLAY") ? std::getenv("DISPLAY") : ":0");
        TEventLoop loop;
        EXPECT_EQ(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
    }
    EXPECT_FALSE(fs::exists(launched));
    fs::remove_all(folder);
}

TEST(EventLoop, TimersFireOnTheLoopAndCanEndIt)
{
    TEventLoop loop;
    TTimer timer(loop.Timers(), 20);
    int ticks = 0;
    timer.OnTimer = [&] {
        if (++ticks == 3)
            TEventLoop::RequestQuit();
    };
    timer.SetEnabled(true);
    loop.Run();
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(TEventLoop::QuitRequested()) << "Run clears the request it answered";
}

TEST(EventLoop, ClosuresFromOtherThreadsRunOnTheLoop)
{
    TEventLoop loop;
    std::thread::id ranOn;
    std::thread worker([&] {
        loop.Dispatcher().Invoke([&] {
            ranOn = std::this_thread::get_id();
            TEventLoop::RequestQuit();
        });
    });
    loop.Run();
    worker.join();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}

TEST(EventLoop, TerminationSignalsEndTheLoop)
{
    for (int signal : { SIGTERM, SIGINT }) {
        TEventLoop loop;
        int raised = 0;
        TTimer timer(loop.Timers(), 10);
        timer.OnTimer = [&] {
            ++raised;
            std::raise(signal);
        };
        timer.SetEnabled(true);
        // Ends the loop should the signal not, so that the failure is reported, not a hang.
        bool fallback = false;
        TTimer deadline(loop.Timers(), 10000);
        deadline.OnTimer = [&] {
            fallback = true;
            TEventLoop::RequestQuit();
        };
        deadline.SetEnabled(true);
        loop.Run();
        EXPECT_FALSE(fallback) << "signal " << signal << " did not end the loop";
        EXPECT_EQ(raised, 1) << "the loop returned at the first signal";
        EXPECT_FALSE(TEventLoop::QuitRequested());
    }
}

}
}
