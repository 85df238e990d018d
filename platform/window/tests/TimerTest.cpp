#include "platform/window/Timer.h"

#include <gtest/gtest.h>

#include <memory>

namespace vantor {
namespace {

using namespace std::chrono_literals;

TEST(Timer, FiresEveryIntervalWhileEnabled)
{
    TTimerQueue queue;
    TTimer timer(queue, 500);
    int ticks = 0;
    timer.OnTimer = [&] { ++ticks; };
    EXPECT_FALSE(queue.NextDeadline());
    auto const start = TTimerClock::now();
    timer.SetEnabled(true);
    ASSERT_TRUE(queue.NextDeadline());
    EXPECT_GE(*queue.NextDeadline(), start + 500ms);

    EXPECT_EQ(queue.RunDue(start + 100ms), 0);
    EXPECT_EQ(queue.RunDue(start + 10s), 1) << "a stalled loop gets one tick, not a burst";
    EXPECT_EQ(queue.RunDue(start + 10s), 0);
    EXPECT_EQ(queue.RunDue(start + 11s), 1);
    EXPECT_EQ(ticks, 2);

    timer.SetEnabled(false);
    EXPECT_EQ(queue.RunDue(start + 60s), 0);
    EXPECT_FALSE(queue.NextDeadline());
}

TEST(Timer, HandlersMayStopRestartOrFreeTimers)
{
    TTimerQueue queue;
    auto self = std::make_unique<TTimer>(queue, 10);
    TTimer stopper(queue, 10);
    TTimer victim(queue, 10);
    int victimTicks = 0;
    self->OnTimer = [&] { self.reset(); };
    stopper.OnTimer = [&] { victim.SetEnabled(false); };
    victim.OnTimer = [&] { ++victimTicks; };
    stopper.SetEnabled(true);
    victim.SetEnabled(true);
    self->SetEnabled(true);

    EXPECT_EQ(queue.RunDue(TTimerClock::now() + 1s), 2) << "the stopped victim does not fire";
    EXPECT_EQ(self, nullptr);
    EXPECT_EQ(victimTicks, 0);

    // A one-shot: the handler disables its own timer.
    TTimer once(queue, 10);
    int onceTicks = 0;
    once.OnTimer = [&] {
        ++onceTicks;
        once.SetEnabled(false);
    };
    once.SetEnabled(true);
    queue.RunDue(TTimerClock::now() + 1s);
    queue.RunDue(TTimerClock::now() + 2s);
    EXPECT_EQ(onceTicks, 1);
}

TEST(Timer, TimersMayOutliveTheirQueue)
{
    auto queue = std::make_unique<TTimerQueue>();
    TTimer timer(*queue, 10);
    timer.SetEnabled(true);
    queue.reset();
    EXPECT_FALSE(timer.Enabled());
}

}
}
