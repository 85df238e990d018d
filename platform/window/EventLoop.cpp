#include "platform/window/EventLoop.h"

#include "platform/window/SdlWindow.h"

#include <SDL.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace vantor {

static_assert(std::atomic<bool>::is_always_lock_free, "RequestQuit must be async-signal-safe");

std::atomic<bool> TEventLoop::s_quit { false };

TEventLoop::TEventLoop()
{
    // SDL's own SIGINT and SIGTERM handlers turn those signals into SDL_QUIT.
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0)
        throw std::runtime_error(std::string("SDL events: ") + SDL_GetError());
    m_wakeEvent = SDL_RegisterEvents(1);
    uint32_t const wake = m_wakeEvent;
    m_dispatcher.SetWakeHook([wake] {
        SDL_Event event {};
        event.type = wake;
        SDL_PushEvent(&event); // thread-safe; an empty user event only ends the wait
    });
}

TEventLoop::~TEventLoop()
{
    m_dispatcher.Shutdown();
    m_dispatcher.SetWakeHook(nullptr);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

void TEventLoop::Detach(TSdlWindow* window)
{
    if (m_window == window)
        m_window = nullptr;
}

void TEventLoop::RequestQuit() { s_quit.store(true); }

bool TEventLoop::QuitRequested() { return s_quit.load(); }

void TEventLoop::Run()
{
    while (!QuitRequested())
        RunOnce(QuitPollMs);
    s_quit.store(false);
}

int TEventLoop::WaitBudget(int timeoutMs) const
{
    int budget = std::clamp(timeoutMs, 0, QuitPollMs);
    if (auto next = m_timers.NextDeadline()) {
        auto const left = std::chrono::ceil<std::chrono::milliseconds>(*next - TTimerClock::now()).count();
        budget = std::min<int>(budget, static_cast<int>(std::max<long long>(left, 0)));
    }
    return budget;
}

void TEventLoop::RunOnce(int timeoutMs)
{
    SDL_Event event;
    int const budget = WaitBudget(timeoutMs);
    bool const got = budget > 0 ? SDL_WaitEventTimeout(&event, budget) == 1 : SDL_PollEvent(&event) == 1;
    if (got) {
        Handle(event);
        while (!QuitRequested() && SDL_PollEvent(&event) == 1)
            Handle(event);
    }
    m_dispatcher.RunPosted();
    m_timers.RunDue(TTimerClock::now());
    if (m_window)
        m_window->PresentIfNeeded();
}

void TEventLoop::Handle(const SDL_Event& event)
{
    if (event.type == m_wakeEvent)
        return;
    if (event.type == SDL_QUIT) {
        RequestQuit();
        return;
    }
    if (m_window)
        m_window->HandleEvent(event);
}

}
