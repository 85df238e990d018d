#include "platform/window/EventLoop.h"

#include "platform/window/SdlWindow.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

namespace vantor {

namespace {

// Whether the user's session names a bus: an address in the environment (whatever it holds),
// or the per-user bus socket.
bool SessionBusNamed()
{
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    char const* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    return runtime && *runtime && std::filesystem::exists(std::filesystem::path(runtime) / "bus", error);
}

// SDL connects to the session bus when it first starts. In a session without a bus the bus
// library would instead fork and run a launcher for one (dbus-launch --autolaunch), which
// holds up the start by tens of milliseconds and at best gives a bus nothing else uses. An
// address of a kind the library does not know makes it give up at once; it is set only while
// SDL starts, so that programs the player opens see the environment as it was. The loop is
// created before the program starts threads, so nothing reads the environment meanwhile.
int InitEventsWithoutBusLaunch()
{
    if (SessionBusNamed())
        return SDL_InitSubSystem(SDL_INIT_EVENTS);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    int const result = SDL_InitSubSystem(SDL_INIT_EVENTS);
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    return result;
}

}

static_assert(std::atomic<bool>::is_always_lock_free, "RequestQuit must be async-signal-safe");

std::atomic<bool> TEventLoop::s_quit { false };

TEventLoop::TEventLoop()
{
    // SDL's own SIGINT and SIGTERM handlers turn those signals into SDL_QUIT.
    if (InitEventsWithoutBusLaunch() != 0)
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
