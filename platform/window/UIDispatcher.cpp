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
    std::deque<TItem> batch;
    {
        std::lock_guard lock(m_mutex);
        batch.swap(m_queue);
    }
    size_t ran = 0;
    while (!batch.empty()) {
        TItem item = std::move(batch.front());
        batch.pop_front();
        try {
            RunItem(item);
        } catch (...) {
            // Keep the rest for the next round rather than losing them with the exception.
            std::lock_guard lock(m_mutex);
            m_queue.insert(m_queue.begin(), std::make_move_iterator(batch.begin()),
                std::make_move_iterator(batch.end()));
            throw;
        }
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
