#include "platform/window/EventLoop.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace vantor {
namespace {

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
