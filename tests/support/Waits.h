#pragma once

// Waits on a condition with a deadline, so a fault fails the test instead of hanging it.
// Both return whether the condition holds: call them as ASSERT_TRUE(WaitUntil(...)).

#include <chrono>
#include <functional>
#include <thread>

#include "platform/window/UIDispatcher.h"

namespace vantor::testing {

inline constexpr std::chrono::seconds kWaitDeadline { 30 };

// Polls done() from this thread.
[[nodiscard]] inline bool WaitUntil(
    std::function<bool()> const& done, std::chrono::milliseconds deadline = kWaitDeadline)
{
    auto const until = std::chrono::steady_clock::now() + deadline;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until)
            return done();
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

// The UI thread runs the hand-offs queued to it until done() holds.
[[nodiscard]] inline bool RunPostedUntil(
    TUIDispatcher& dispatcher, std::function<bool()> const& done, std::chrono::milliseconds deadline = kWaitDeadline)
{
    auto const until = std::chrono::steady_clock::now() + deadline;
    dispatcher.RunPostedUntil(
        [&] { return done() || std::chrono::steady_clock::now() > until; }, std::chrono::milliseconds(1));
    return done();
}

}
