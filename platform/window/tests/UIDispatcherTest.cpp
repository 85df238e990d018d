#include "platform/window/UIDispatcher.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace vantor {
namespace {

TEST(UIDispatcher, PostedClosuresRunInOrderOnTheUIThread)
{
    TUIDispatcher dispatcher;
    std::vector<int> ran;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            dispatcher.Post([&ran, &dispatcher, i] {
                EXPECT_TRUE(dispatcher.IsUIThread());
                ran.push_back(i);
            });
    });
    worker.join();
    EXPECT_TRUE(ran.empty()) << "nothing runs before the UI thread asks";
    EXPECT_EQ(dispatcher.RunPosted(), 3u);
    EXPECT_EQ(ran, (std::vector<int> { 0, 1, 2 }));
}

TEST(UIDispatcher, InvokeOnTheUIThreadRunsAtOnce)
{
    TUIDispatcher dispatcher;
    bool ran = false;
    EXPECT_TRUE(dispatcher.Invoke([&] { ran = true; }));
    EXPECT_TRUE(ran);
}

// The UI thread stops a worker that is itself waiting in Invoke: waiting by running posted
// closures lets the worker finish instead of deadlocking.
TEST(UIDispatcher, UIThreadWaitingForAWorkerKeepsRunningItsHandOffs)
{
    TUIDispatcher dispatcher;
    std::atomic<bool> finished { false };
    int committed = 0;
    std::thread worker([&] {
        for (int i = 0; i < 5; ++i)
            EXPECT_TRUE(dispatcher.Invoke([&] { ++committed; }));
        finished = true;
        dispatcher.Wake();
    });
    dispatcher.RunPostedUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(committed, 5);
}

TEST(UIDispatcher, InvokeReportsTheClosuresException)
{
    TUIDispatcher dispatcher;
    std::atomic<bool> finished { false };
    bool caught = false;
    std::thread worker([&] {
        try {
            dispatcher.Invoke([] { throw std::runtime_error("bad"); });
        } catch (const std::runtime_error&) {
            caught = true;
        }
        finished = true;
    });
    dispatcher.RunPostedUntil([&] { return finished.load(); });
    worker.join();
    EXPECT_TRUE(caught);
}

TEST(UIDispatcher, ShutdownReleasesWaitingWorkersAndRefusesNewWork)
{
    TUIDispatcher dispatcher;
    std::atomic<bool> queued { false };
    bool result = true;
    bool ran = false;
    std::thread worker([&] {
        dispatcher.SetWakeHook([&] { queued = true; });
        result = dispatcher.Invoke([&] { ran = true; });
    });
    while (!queued)
        std::this_thread::yield();
    dispatcher.Shutdown();
    worker.join();
    EXPECT_FALSE(result);
    EXPECT_FALSE(ran);
    EXPECT_FALSE(dispatcher.Post([] {}));
    EXPECT_EQ(dispatcher.RunPosted(), 0u);
}

}
}
