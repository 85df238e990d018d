#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/window/WindowClient.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SDL_Window;
struct SDL_Surface;
struct SDL_Cursor;
union SDL_Event;

namespace vantor {

class TEventLoop;

// The program's one native window: borderless, titled "Vantor". It shows the client's back
// buffer through a software window surface (repainting and presenting only the areas the
// client reports as damaged), turns SDL input into the
// client's device-pixel events, and lets the window manager resize it from the client's edge
// band and move it by the client's drag areas (SDL hit testing).
class TSdlWindow : public IWindowShell {
public:
    // A hidden window of width x height device pixels, centred or with its top-left corner at
    // (x, y) (any values: screens left of or above the primary one have negative positions).
    // Throws std::runtime_error when SDL cannot create it. The client receives a
    // WindowResized with the real size at once.
    TSdlWindow(TEventLoop& loop, IWindowClient& client, int width, int height);
    TSdlWindow(TEventLoop& loop, IWindowClient& client, int width, int height, int x, int y);
    ~TSdlWindow() override;
    TSdlWindow(const TSdlWindow&) = delete;
    TSdlWindow& operator=(const TSdlWindow&) = delete;

    void Show();
    // Brings the window to the front and gives it the input focus, restoring it when
    // minimised.
    void Raise();
    // Position and size in device pixels.
    TRect Bounds() const;
    void SetBounds(const TRect& bounds);
    // The smallest client size the user can resize to, in device pixels; a smaller window
    // grows to it.
    void SetMinimumSize(int width, int height);
    uint32_t WindowID() const { return m_id; }

    // Presents the client's back buffer when something was invalidated or the window was
    // uncovered; the event loop calls it once per round.
    void PresentIfNeeded();
    // Reads the pixels of the window surface, which holds what was last presented, into
    // bitmap (opaque).
    bool ReadPixels(TBitmap& bitmap);
    // Runs once, right after the first frame has gone out: start-up work the first frame does
    // not need.
    std::function<void()> OnFirstPresent;

    // IWindowShell
    void SetCursorShape(TCursorShape shape) override;
    void Minimize() override;
    void ToggleMaximize() override;
    bool IsMaximized() const override;
    void Close() override;

private:
    friend class TEventLoop;
    void HandleEvent(const SDL_Event& event);
    void HandleWindowEvent(const SDL_Event& event);
    void FinishDrop();
    static void Upload(SDL_Surface* target, const TBitmap& buffer, const TRect& area);

    TEventLoop& m_loop;
    IWindowClient& m_client;
    SDL_Window* m_window = nullptr;
    SDL_Surface* m_surface = nullptr; // the window surface last filled; SDL replaces it on resize
    uint32_t m_id = 0;
    bool m_needPresent = true;
    bool m_presented = false;
    std::array<SDL_Cursor*, 5> m_cursors {};
    TCursorShape m_cursor = TCursorShape::crArrow;
    std::vector<std::string> m_drop; // paths of the drop in progress
};

}
