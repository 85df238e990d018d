#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace vantor {

// Hands closures from any thread to the UI thread.
//
//   worker:     dispatcher.Invoke([&] { list.CommitLoaded(results); }); // waits until it ran
//   UI thread:  the event loop calls RunPosted(); while it waits for a worker to end it calls
//               dispatcher.RunPostedUntil([&] { return worker.Finished(); }) instead of
//               blocking, so a worker that is inside Invoke can finish.
//
// The thread that constructs the dispatcher is its UI thread.
class TUIDispatcher {
public:
    TUIDispatcher();
    ~TUIDispatcher();

    TUIDispatcher(const TUIDispatcher&) = delete;
    TUIDispatcher& operator=(const TUIDispatcher&) = delete;

    bool IsUIThread() const { return std::this_thread::get_id() == m_uiThread; }

    // Queues fn to run on the UI thread. False (fn dropped) after Shutdown.
    bool Post(std::function<void()> fn);
    // Runs fn on the UI thread and returns once it has run: at once when called on the UI
    // thread, else by queueing it and waiting. False when fn did not run because the
    // dispatcher was shut down first. An exception from fn is passed on to the caller.
    bool Invoke(std::function<void()> fn);

    // UI thread: runs the closures queued so far; returns how many ran.
    size_t RunPosted();
    // UI thread: keeps running queued closures until done() holds. done() is checked after
    // every closure, on every Wake() and at least every poll interval.
    void RunPostedUntil(
        const std::function<bool()>& done, std::chrono::milliseconds poll = std::chrono::milliseconds(10));
    // Makes RunPostedUntil check its condition now (a worker calls it when it finishes).
    void Wake();

    // Called (on the posting thread) whenever a closure is queued, so an event loop that
    // sleeps can wake up; set it before other threads start posting.
    void SetWakeHook(std::function<void()> hook);

    // Refuses new closures and releases every Invoke that is still waiting (it returns
    // false); queued closures that have not run are dropped.
    void Shutdown();

private:
    struct TInvocation;
    struct TItem {
        std::function<void()> Fn;
        std::shared_ptr<TInvocation> Waiter; // set for Invoke
    };

    void RunItem(TItem& item);

    std::thread::id const m_uiThread;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<TItem> m_queue;
    std::function<void()> m_wakeHook;
    bool m_shutdown = false;
    bool m_woken = false;
};

}
