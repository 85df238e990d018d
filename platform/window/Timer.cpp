#include "platform/window/Timer.h"

#include <algorithm>
#include <vector>

namespace vantor {

TTimerQueue::~TTimerQueue()
{
    // Timers outliving their queue must not touch it any more.
    for (auto& [ticket, entry] : m_entries)
        entry.Timer->m_ticket = 0;
}

uint64_t TTimerQueue::Schedule(TTimer* timer, TTimerClock::time_point deadline)
{
    uint64_t const ticket = m_nextTicket++;
    m_entries.emplace(ticket, TEntry { timer, deadline });
    return ticket;
}

void TTimerQueue::Unschedule(uint64_t ticket) { m_entries.erase(ticket); }

std::optional<TTimerClock::time_point> TTimerQueue::NextDeadline() const
{
    std::optional<TTimerClock::time_point> next;
    for (const auto& [ticket, entry] : m_entries)
        if (!next || entry.Deadline < *next)
            next = entry.Deadline;
    return next;
}

int TTimerQueue::RunDue(TTimerClock::time_point now)
{
    // Tickets first: handlers change the map. A timer restarted by a handler gets a new
    // ticket, so it does not fire twice in one round.
    std::vector<uint64_t> due;
    for (const auto& [ticket, entry] : m_entries)
        if (entry.Deadline <= now)
            due.push_back(ticket);
    int fired = 0;
    for (uint64_t ticket : due) {
        auto it = m_entries.find(ticket);
        if (it == m_entries.end())
            continue;
        TTimer* timer = it->second.Timer;
        // The next period counts from the missed deadline, but never lies in the past, so a
        // stalled loop does not fire a burst of catch-up ticks.
        auto const period = std::chrono::milliseconds(std::max(timer->m_interval, 1));
        it->second.Deadline = std::max(it->second.Deadline + period, now + std::chrono::milliseconds(1));
        if (timer->OnTimer) {
            auto handler = timer->OnTimer; // the handler may free the timer
            handler();
        }
        ++fired;
    }
    return fired;
}

TTimer::TTimer(TTimerQueue& queue, int intervalMs)
    : m_queue(queue)
    , m_interval(intervalMs)
{
}

TTimer::~TTimer() { Stop(); }

void TTimer::SetInterval(int intervalMs)
{
    m_interval = intervalMs;
    if (Enabled())
        Restart();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == Enabled())
        return;
    if (enabled)
        Start(TTimerClock::now());
    else
        Stop();
}

void TTimer::Restart()
{
    Stop();
    Start(TTimerClock::now());
}

void TTimer::Start(TTimerClock::time_point from)
{
    m_ticket = m_queue.Schedule(this, from + std::chrono::milliseconds(std::max(m_interval, 1)));
}

void TTimer::Stop()
{
    if (m_ticket != 0)
        m_queue.Unschedule(m_ticket);
    m_ticket = 0;
}

}
