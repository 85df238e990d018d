#include "platform/window/UIDispatcher.h"

#include <exception>

namespace vantor {

struct TUIDispatcher::TInvocation {
    bool Done = false;
    bool Ran = false;
    std::exception_ptr Error;
};

TUIDispatcher::TUIDispatcher()
    : m_uiThread(std::this_thread::get_id())
{
}

TUIDispatcher::~TUIDispatcher() { Shutdown(); }

void TUIDispatcher::SetWakeHook(std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_wakeHook = std::move(hook);
}

bool TUIDispatcher::Post(std::function<void()> fn)
{
    std::function<void()> hook;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return false;
        m_queue.push_back({ std::move(fn), nullptr });
        hook = m_wakeHook;
    }
    m_changed.notify_all();
    if (hook)
        hook();
    return true;
}

bool TUIDispatcher::Invoke(std::function<void()> fn)
{
    if (IsUIThread()) {
        fn();
        return true;
    }
    auto waiter = std::make_shared<TInvocation>();
    std::function<void()> hook;
    {
        std::lock_guard lock(m_mutex);
        if (m_shutdown)
            return false;
        m_queue.push_back({ std::move(fn), waiter });
        hook = m_wakeHook;
    }
    m_changed.notify_all();
    if (hook)
        hook();
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return waiter->Done; });
    if (waiter->Error)
        std::rethrow_exception(waiter->Error);
    return waiter->Ran;
}

void TUIDispatcher::RunItem(TItem& item)
{
    std::exception_ptr error;
    try {
        item.Fn();
    } catch (...) {
        if (!item.Waiter)
            throw; // a posted closure has nobody else to report to
        error = std::current_exception();
    }
    if (item.Waiter) {
        {
            std::lock_guard lock(m_mutex);
            item.Waiter->Done = true;
            item.Waiter->Ran = true;
            item.Waiter->Error = error;
        }
        m_changed.notify_all();
    }
}

size_t TUIDispatcher::RunPosted()
{
    // Closures are taken one at a time rather than as a batch: a closure that waits for a
    // worker (RunPostedUntil inside it) must still find the hand-offs queued behind it.
    size_t pending;
    {
        std::lock_guard lock(m_mutex);
        pending = m_queue.size();
    }
    size_t ran = 0;
    while (ran < pending) {
        TItem item;
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty())
                break;
            item = std::move(m_queue.front());
            m_queue.pop_front();
        }
        RunItem(item); // an exception leaves the rest queued for the next round
        ++ran;
    }
    return ran;
}

void TUIDispatcher::RunPostedUntil(const std::function<bool()>& done, std::chrono::milliseconds poll)
{
    while (!done()) {
        if (RunPosted() > 0)
            continue;
        std::unique_lock lock(m_mutex);
        m_changed.wait_for(lock, poll, [&] { return !m_queue.empty() || m_woken; });
        m_woken = false;
    }
}

void TUIDispatcher::Wake()
{
    {
        std::lock_guard lock(m_mutex);
        m_woken = true;
    }
    m_changed.notify_all();
}

void TUIDispatcher::Shutdown()
{
    std::deque<TItem> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_shutdown = true;
        dropped.swap(m_queue);
        for (TItem& item : dropped)
            if (item.Waiter)
                item.Waiter->Done = true;
    }
    m_changed.notify_all();
}

}
