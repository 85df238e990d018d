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
        TTimer timer(loop.Timers(), 10);
        timer.OnTimer = [signal] { std::raise(signal); };
        timer.SetEnabled(true);
        loop.Run(); // returns only through the signal
        SUCCEED();
    }
}

}
}
