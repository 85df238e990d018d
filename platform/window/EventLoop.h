#pragma once

// The UI thread's event loop: SDL events of the window, timers and closures posted by other
// threads. One per process, created and run on the UI thread.
//
//   TEventLoop loop;                           // SDL events and timers (no display needed)
//   TSmartVCL host(width, height);
//   TSdlWindow window(loop, host, width, height);
//   window.Show();
//   TTimer playTimer(loop.Timers(), 500);      // timers fire on this thread
//   loop.Run();                                // returns after window close, SIGINT, SIGTERM
//                                              // or RequestQuit(); then shut down
//   loop.Dispatcher().RunPostedUntil(...);     // while waiting for workers during shutdown

#include "platform/window/Timer.h"
#include "platform/window/UIDispatcher.h"

#include <atomic>
#include <cstdint>

union SDL_Event;

namespace vantor {

class TSdlWindow;

class TEventLoop {
public:
    // Throws std::runtime_error when SDL's event system cannot start.
    TEventLoop();
    ~TEventLoop();
    TEventLoop(const TEventLoop&) = delete;
    TEventLoop& operator=(const TEventLoop&) = delete;

    TTimerQueue& Timers() { return m_timers; }
    TUIDispatcher& Dispatcher() { return m_dispatcher; }

    // Runs rounds until a quit is requested. A request made before Run makes it return at
    // once; Run clears the request when it returns.
    void Run();
    // One round: handles the events waiting (or waits up to timeoutMs for one), runs posted
    // closures and due timers, and lets the window repaint what was invalidated.
    void RunOnce(int timeoutMs);

    // Asks Run to return. Safe from any thread and from a signal handler (it only sets a
    // flag, which the loop reads at least every QuitPollMs).
    static void RequestQuit();
    static bool QuitRequested();
    static constexpr int QuitPollMs = 100;

private:
    friend class TSdlWindow;
    void Attach(TSdlWindow* window) { m_window = window; }
    void Detach(TSdlWindow* window);
    void Handle(const SDL_Event& event);
    int WaitBudget(int timeoutMs) const;

    TTimerQueue m_timers;
    TUIDispatcher m_dispatcher;
    TSdlWindow* m_window = nullptr; // non-owning
    uint32_t m_wakeEvent = 0;
    static std::atomic<bool> s_quit;
};

}
