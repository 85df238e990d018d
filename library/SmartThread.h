#pragma once

// TSmartThread: a worker thread that runs its work once per signal of an auto-reset event.
//
//   TSmartThread loader(list, [&](TSmartThread& t) { LoadList(t); }, &dispatcher);
//   loader.Reset();   // one run of the work
//   ...
//   loader.reset();   // (the owner frees it) stop: finish the current run, then end
//
// The thread that creates it must be the dispatcher's UI thread: freeing the thread waits for
// it while running the UI-thread hand-offs it queued, so a worker that is blocked in
// Synchronize can always finish.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace vantor {

class TUIDispatcher;
class TVPlayList;

class TSmartThread {
public:
    using THandler = std::function<void(TSmartThread&)>;

    // Create: both events unsignalled, flags cleared, the thread started. dispatcher may be
    // null when the work never hands anything to the UI thread.
    TSmartThread(TVPlayList* VirtualFolder, THandler OnExecute, TUIDispatcher* dispatcher);
    // Destroy: Shutdown, then wait for the thread to end (running its hand-offs meanwhile).
    ~TSmartThread();

    TSmartThread(const TSmartThread&) = delete;
    TSmartThread& operator=(const TSmartThread&) = delete;

    // itPaused := false and signal the change event: the work runs once more.
    void Reset();
    // Marks the thread terminated, clears itPlayList and wakes it so that it ends after the
    // run in progress.
    void Shutdown();
    // Shutdown, and also asks the run in progress to stop early: Aborted() turns true and
    // hand-offs are no longer run. Used when the list itself is going away.
    void Abort();

    bool Terminated() const { return m_terminated.load(std::memory_order_acquire); }
    bool Aborted() const { return m_aborted.load(std::memory_order_acquire); }
    bool Finished() const { return m_finished.load(std::memory_order_acquire); }
    TVPlayList* itPlayList() const { return m_playList.load(std::memory_order_acquire); }
    TUIDispatcher* Dispatcher() const { return m_dispatcher; }

    // Worker: runs fn on the UI thread and waits until it has run. False (fn not run) once
    // the thread was aborted or the dispatcher shut down; fn runs at once without a
    // dispatcher. fn is skipped when Abort came in while the hand-off was queued.
    bool Synchronize(const std::function<void()>& fn);
    // Worker: sleeps for the given time, until Reset (which it takes) or until the thread is
    // shut down; false once it is.
    bool Sleep(std::chrono::milliseconds time);

    // The cover thread stops its current walk when set.
    std::atomic<bool> itPaused { false };
    // A load makes its list the current list.
    std::atomic<bool> itActivate { false };

private:
    void Execute();

    std::atomic<TVPlayList*> m_playList;
    THandler const m_onExecute;
    TUIDispatcher* const m_dispatcher;

    std::mutex m_mutex;
    std::condition_variable m_signal;
    bool m_changeSignalled = false;   // itChangeHandle
    bool m_shutdownSignalled = false; // itShutdownHandle

    std::atomic<bool> m_terminated { false };
    std::atomic<bool> m_aborted { false };
    std::atomic<bool> m_finished { false };
    std::thread m_thread; // last: started once every field above exists
};

}
