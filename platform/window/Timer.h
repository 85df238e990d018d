#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace vantor {

using TTimerClock = std::chrono::steady_clock;

class TTimer;

// The timers of the UI thread. The event loop sleeps until NextDeadline and then calls
// RunDue; tests drive it with their own clock values. UI thread only.
class TTimerQueue {
public:
    TTimerQueue() = default;
    ~TTimerQueue();
    TTimerQueue(const TTimerQueue&) = delete;
    TTimerQueue& operator=(const TTimerQueue&) = delete;

    // The earliest deadline of an enabled timer.
    std::optional<TTimerClock::time_point> NextDeadline() const;
    // Fires every timer whose deadline is at or before now, each at most once; returns how
    // many fired. A timer's handler may stop, restart or free any timer, itself included.
    int RunDue(TTimerClock::time_point now);

private:
    friend class TTimer;
    uint64_t Schedule(TTimer* timer, TTimerClock::time_point deadline);
    void Unschedule(uint64_t ticket);

    struct TEntry {
        TTimer* Timer;
        TTimerClock::time_point Deadline;
    };
    std::map<uint64_t, TEntry> m_entries; // ticket -> entry; tickets only grow
    uint64_t m_nextTicket = 1;
};

// A repeating timer on a queue: while enabled, OnTimer runs every Interval milliseconds.
//
//   TTimer playTimer(loop.Timers());
//   playTimer.OnTimer = [&] { PlayTimerTimer(); };
//   playTimer.SetInterval(500);
//   playTimer.SetEnabled(true);
class TTimer {
public:
    explicit TTimer(TTimerQueue& queue, int intervalMs = 1000);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    std::function<void()> OnTimer;

    int Interval() const { return m_interval; }
    // Changes the interval; an enabled timer starts counting it again from now.
    void SetInterval(int intervalMs);
    bool Enabled() const { return m_ticket != 0; }
    // Enabling starts counting the interval from now; disabling stops the timer.
    void SetEnabled(bool enabled);
    // Stops and starts again, counting the interval from now.
    void Restart();

private:
    friend class TTimerQueue;
    void Start(TTimerClock::time_point from);
    void Stop();

    TTimerQueue& m_queue;
    int m_interval;
    uint64_t m_ticket = 0;
};

}
