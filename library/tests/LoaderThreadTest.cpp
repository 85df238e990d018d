#include "library/SmartThread.h"

#include "platform/window/UIDispatcher.h"
#include "tests/support/Waits.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

namespace vantor {
namespace {

using namespace std::chrono_literals;

TEST(SmartThread, RunsTheWorkOncePerSignal)
{
    TUIDispatcher dispatcher;
    std::atomic<int> runs { 0 };
    auto thread = std::make_unique<TSmartThread>(
        nullptr, [&](TSmartThread&) { ++runs; }, &dispatcher);
    // A thread made later has started, been signalled and run: the first had the same chance.
    std::atomic<int> laterRuns { 0 };
    auto later = std::make_unique<TSmartThread>(
        nullptr, [&](TSmartThread&) { ++laterRuns; }, &dispatcher);
    later->Reset();
    ASSERT_TRUE(testing::RunPostedUntil(dispatcher, [&] { return laterRuns == 1; }));
    later.reset();
    EXPECT_EQ(runs.load(), 0) << "the change event starts unsignalled";
    for (int expected = 1; expected <= 3; ++expected) {
        thread->Reset();
        ASSERT_TRUE(testing::RunPostedUntil(dispatcher, [&] { return runs.load() == expected; }));
    }
    thread.reset();
    EXPECT_EQ(runs.load(), 3);
}

// The worker is blocked in its hand-off when the UI thread frees it: the UI thread keeps
// running hand-offs while it waits, so the run completes and the thread ends.
TEST(SmartThread, StoppingAWorkerThatWaitsForItsHandOffDoesNotDeadlock)
{
    TUIDispatcher dispatcher;
    std::atomic<bool> waiting { false };
    bool handedOff = false;
    auto thread = std::make_unique<TSmartThread>(
        nullptr,
        [&](TSmartThread& self) {
            waiting = true;
            EXPECT_TRUE(self.Synchronize([&] { handedOff = true; }));
        },
        &dispatcher);
    thread->Reset();
    ASSERT_TRUE(testing::WaitUntil([&] { return waiting.load(); }));
    thread.reset();
    EXPECT_TRUE(handedOff) << "a plain stop lets the run in progress hand its results over";
}

// A hand-off that frees another worker whose own hand-off is queued behind it: the wait inside
// the hand-off must still run the queued one (a load's hand-off restarts the cover thread).
TEST(SmartThread, AHandOffThatStopsAnotherWaitingWorkerDoesNotDeadlock)
{
    TUIDispatcher dispatcher;
    std::atomic<int> queued { 0 };
    dispatcher.SetWakeHook([&] { ++queued; });
    bool secondHandedOff = false;
    std::unique_ptr<TSmartThread> second;
    auto first = std::make_unique<TSmartThread>(
        nullptr, [&](TSmartThread& self) { self.Synchronize([&] { second.reset(); }); }, &dispatcher);
    second = std::make_unique<TSmartThread>(
        nullptr, [&](TSmartThread& self) { self.Synchronize([&] { secondHandedOff = true; }); }, &dispatcher);
    // The dispatcher's wake hook tells when each hand-off is queued, in this order.
    first->Reset();
    ASSERT_TRUE(testing::WaitUntil([&] { return queued == 1; }));
    second->Reset();
    ASSERT_TRUE(testing::WaitUntil([&] { return queued == 2; }));
    dispatcher.RunPosted();
    EXPECT_EQ(second, nullptr);
    EXPECT_TRUE(secondHandedOff);
    first.reset();
}

TEST(SmartThread, AbortSkipsTheHandOffAndEndsTheRunEarly)
{
    TUIDispatcher dispatcher;
    std::atomic<bool> started { false };
    std::atomic<int> steps { 0 };
    bool handedOff = false;
    auto thread = std::make_unique<TSmartThread>(
        nullptr,
        [&](TSmartThread& self) {
            started = true;
            while (!self.Aborted())
                ++steps;
            EXPECT_FALSE(self.Synchronize([&] { handedOff = true; }));
        },
        &dispatcher);
    thread->Reset();
    ASSERT_TRUE(testing::WaitUntil([&] { return started.load(); }));
    thread->Abort();
    EXPECT_EQ(thread->itPlayList(), nullptr);
    thread.reset();
    EXPECT_FALSE(handedOff);
}

TEST(SmartThread, SleepEndsAtShutdownAndAtReset)
{
    TUIDispatcher dispatcher;
    std::atomic<int> wakes { 0 };
    std::atomic<bool> endedByShutdown { false };
    auto thread = std::make_unique<TSmartThread>(
        nullptr,
        [&](TSmartThread& self) {
            while (self.Sleep(10s))
                ++wakes;
            endedByShutdown = true;
        },
        &dispatcher);
    thread->Reset();
    // A Reset while the work sleeps wakes it at once instead of queueing another run.
    ASSERT_TRUE(testing::WaitUntil([&] {
        thread->Reset();
        return wakes.load() > 0;
    }));
    auto const before = std::chrono::steady_clock::now();
    thread.reset();
    EXPECT_TRUE(endedByShutdown.load());
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
}

}
}
