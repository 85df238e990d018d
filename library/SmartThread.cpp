#include "library/SmartThread.h"

#include "platform/window/UIDispatcher.h"

namespace vantor {

TSmartThread::TSmartThread(TVPlayList* VirtualFolder, THandler OnExecute, TUIDispatcher* dispatcher)
    : m_playList(VirtualFolder)
    , m_onExecute(std::move(OnExecute))
    , m_dispatcher(dispatcher)
    , m_thread([this] { Execute(); })
{
}

TSmartThread::~TSmartThread()
{
    Shutdown();
    if (m_dispatcher && m_dispatcher->IsUIThread())
        m_dispatcher->RunPostedUntil([this] { return Finished(); });
    m_thread.join();
}

void TSmartThread::Reset()
{
    itPaused = false;
    {
        std::lock_guard lock(m_mutex);
        m_changeSignalled = true;
    }
    m_signal.notify_all();
}

void TSmartThread::Shutdown()
{
    m_terminated.store(true, std::memory_order_release);
    m_playList.store(nullptr, std::memory_order_release);
    {
        std::lock_guard lock(m_mutex);
        m_shutdownSignalled = true;
    }
    m_signal.notify_all();
}

void TSmartThread::Abort()
{
    m_aborted.store(true, std::memory_order_release);
    Shutdown();
}

void TSmartThread::Execute()
{
    while (!Terminated()) {
        bool run = false;
        {
            std::unique_lock lock(m_mutex);
            m_signal.wait(lock, [this] { return m_changeSignalled || m_shutdownSignalled; });
            // Both events reset automatically when a wait takes them.
            if (m_shutdownSignalled)
                m_shutdownSignalled = false;
            else {
                m_changeSignalled = false;
                run = true;
            }
        }
        if (run && !Terminated() && m_onExecute)
            m_onExecute(*this);
    }
    m_finished.store(true, std::memory_order_release);
    if (m_dispatcher)
        m_dispatcher->Wake();
}

bool TSmartThread::Synchronize(const std::function<void()>& fn)
{
    if (Aborted())
        return false;
    if (!m_dispatcher) {
        fn();
        return true;
    }
    bool ran = false;
    // Abort is called on the UI thread, so this check there cannot race with it.
    bool const invoked = m_dispatcher->Invoke([&] {
        if (Aborted())
            return;
        fn();
        ran = true;
    });
    return invoked && ran;
}

bool TSmartThread::Sleep(std::chrono::milliseconds time)
{
    std::unique_lock lock(m_mutex);
    m_signal.wait_for(lock, time, [this] { return Terminated() || m_changeSignalled; });
    // A Reset during the sleep means "go again now": it is taken here, not run once more.
    m_changeSignalled = false;
    return !Terminated();
}

}
