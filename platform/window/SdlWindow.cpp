#include "platform/window/SdlWindow.h"

#include "platform/window/Display.h"
#include "platform/window/EventLoop.h"
#include "platform/window/SdlInput.h"

#include <SDL.h>
#include <cairo.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <string>
#include <utility>

namespace vantor {

namespace {

SDL_HitTestResult SdlHit(TWindowHit hit)
{
    switch (hit) {
    case TWindowHit::whNormal: return SDL_HITTEST_NORMAL;
    case TWindowHit::whDraggable: return SDL_HITTEST_DRAGGABLE;
    case TWindowHit::whResizeLeft: return SDL_HITTEST_RESIZE_LEFT;
    case TWindowHit::whResizeRight: return SDL_HITTEST_RESIZE_RIGHT;
    case TWindowHit::whResizeTop: return SDL_HITTEST_RESIZE_TOP;
    case TWindowHit::whResizeTopLeft: return SDL_HITTEST_RESIZE_TOPLEFT;
    case TWindowHit::whResizeTopRight: return SDL_HITTEST_RESIZE_TOPRIGHT;
    case TWindowHit::whResizeBottom: return SDL_HITTEST_RESIZE_BOTTOM;
    case TWindowHit::whResizeBottomLeft: return SDL_HITTEST_RESIZE_BOTTOMLEFT;
    case TWindowHit::whResizeBottomRight: return SDL_HITTEST_RESIZE_BOTTOMRIGHT;
    }
    return SDL_HITTEST_NORMAL;
}

SDL_HitTestResult SDLCALL HitTest(SDL_Window*, const SDL_Point* point, void* data)
{
    return SdlHit(static_cast<IWindowClient*>(data)->WindowHitTest(point->x, point->y));
}

TMouseButton ButtonOf(uint8_t sdlButton)
{
    switch (sdlButton) {
    case SDL_BUTTON_RIGHT: return mbRight;
    case SDL_BUTTON_MIDDLE: return mbMiddle;
    default: return mbLeft;
    }
}

TShiftState ButtonBit(TMouseButton button)
{
    switch (button) {
    case mbRight: return ssRight;
    case mbMiddle: return ssMiddle;
    default: return ssLeft;
    }
}

SDL_SystemCursor SystemCursorOf(TCursorShape shape)
{
    switch (shape) {
    case TCursorShape::crSizeNWSE: return SDL_SYSTEM_CURSOR_SIZENWSE;
    case TCursorShape::crSizeNESW: return SDL_SYSTEM_CURSOR_SIZENESW;
    case TCursorShape::crSizeNS: return SDL_SYSTEM_CURSOR_SIZENS;
    case TCursorShape::crSizeWE: return SDL_SYSTEM_CURSOR_SIZEWE;
    default: return SDL_SYSTEM_CURSOR_ARROW;
    }
}

}

TSdlWindow::TSdlWindow(TEventLoop& loop, IWindowClient& client, int width, int height)
    : TSdlWindow(loop, client, width, height, int(SDL_WINDOWPOS_CENTERED), int(SDL_WINDOWPOS_CENTERED))
{
}

TSdlWindow::TSdlWindow(TEventLoop& loop, IWindowClient& client, int width, int height, int x, int y)
    : m_loop(loop)
    , m_client(client)
{
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
        throw std::runtime_error(std::string("SDL video: ") + SDL_GetError());
    ReleaseScreenDpiDisplay();
    // Cairo paints in software, so the window takes the pixels as they are: a GPU-backed
    // window surface would only add the start-up of the GL stack.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    m_window = SDL_CreateWindow("Vantor", x, y, width > 0 ? width : 1, height > 0 ? height : 1,
        SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (!m_window) {
        std::string const error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        throw std::runtime_error("SDL window: " + error);
    }
    m_id = SDL_GetWindowID(m_window);
    SDL_SetWindowHitTest(m_window, HitTest, &m_client);
    SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
    SDL_StartTextInput();
    m_loop.Attach(this);
    int w = 0;
    int h = 0;
    SDL_GetWindowSize(m_window, &w, &h);
    m_client.WindowResized(w, h);
}

TSdlWindow::~TSdlWindow()
{
    m_loop.Detach(this);
    for (SDL_Cursor* cursor : m_cursors)
        if (cursor)
            SDL_FreeCursor(cursor);
    SDL_DestroyWindow(m_window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void TSdlWindow::Show() { SDL_ShowWindow(m_window); }

void TSdlWindow::Raise()
{
    // Restoring a maximised window would shrink it: restore only a minimised one.
    if (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MINIMIZED)
        SDL_RestoreWindow(m_window);
    SDL_RaiseWindow(m_window);
}

TRect TSdlWindow::Bounds() const
{
    int x = 0;
    int y = 0;
    int w = 0;
    int h = 0;
    SDL_GetWindowPosition(m_window, &x, &y);
    SDL_GetWindowSize(m_window, &w, &h);
    return TRect::FromSize(x, y, w, h);
}

void TSdlWindow::SetMinimumSize(int width, int height)
{
    if (m_window)
        SDL_SetWindowMinimumSize(m_window, std::max(1, width), std::max(1, height));
}

void TSdlWindow::SetBounds(const TRect& bounds)
{
    SDL_SetWindowPosition(m_window, bounds.Left, bounds.Top);
    if (bounds.Width() > 0 && bounds.Height() > 0)
        SDL_SetWindowSize(m_window, bounds.Width(), bounds.Height());
}

void TSdlWindow::SetCursorShape(TCursorShape shape)
{
    if (shape == m_cursor)
        return;
    auto& cursor = m_cursors[static_cast<size_t>(shape)];
    if (!cursor)
        cursor = SDL_CreateSystemCursor(SystemCursorOf(shape));
    if (cursor)
        SDL_SetCursor(cursor);
    m_cursor = shape;
}

void TSdlWindow::Minimize() { SDL_MinimizeWindow(m_window); }

void TSdlWindow::ToggleMaximize()
{
    if (IsMaximized())
        SDL_RestoreWindow(m_window);
    else
        SDL_MaximizeWindow(m_window);
}

bool TSdlWindow::IsMaximized() const { return (SDL_GetWindowFlags(m_window) & SDL_WINDOW_MAXIMIZED) != 0; }

void TSdlWindow::Close() { TEventLoop::RequestQuit(); }

// ---- Presenting -------------------------------------------------------------------------

namespace {

// Writes the monotonic time of the first present to stderr when VANTOR_REPORT_FIRST_PRESENT
// is set, so that start-up can be timed from outside the process.
void ReportFirstPresent()
{
    if (!std::getenv("VANTOR_REPORT_FIRST_PRESENT"))
        return;
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "first-present %lld.%09ld\n", static_cast<long long>(now.tv_sec), now.tv_nsec);
    std::fflush(stderr);
}

}

void TSdlWindow::Upload(SDL_Surface* target, const TBitmap& buffer, const TRect& area)
{
    cairo_surface_t* surface = buffer.Surface();
    TRect const rect = area.Intersect(TRect::FromSize(0, 0, buffer.Width(), buffer.Height()))
                           .Intersect(TRect::FromSize(0, 0, target->w, target->h));
    if (!surface || rect.IsEmpty())
        return;
    unsigned char const* data = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    // Cairo's ARGB32 is a native-endian 32-bit word, which is SDL's ARGB8888.
    auto* pixels = static_cast<unsigned char*>(target->pixels);
    SDL_ConvertPixels(rect.Width(), rect.Height(), SDL_PIXELFORMAT_ARGB8888, data + rect.Top * stride + rect.Left * 4,
        stride, target->format->format, pixels + rect.Top * target->pitch + rect.Left * target->format->BytesPerPixel,
        target->pitch);
}

void TSdlWindow::PresentIfNeeded()
{
    SDL_Surface* target = nullptr;
    std::vector<SDL_Rect> rects;
    if (m_client.WindowNeedsPaint()) {
        std::vector<TRect> dirty;
        const TBitmap& buffer = m_client.WindowPaint(dirty);
        if (buffer.IsEmpty())
            return;
        target = SDL_GetWindowSurface(m_window);
        if (!target)
            return;
        cairo_surface_flush(buffer.Surface());
        if (SDL_MUSTLOCK(target))
            SDL_LockSurface(target);
        // A new window surface holds nothing yet: it takes the whole buffer.
        if (target != m_surface) {
            dirty.assign(1, TRect::FromSize(0, 0, target->w, target->h));
            m_surface = target;
            m_needPresent = true;
            if (buffer.Width() < target->w || buffer.Height() < target->h)
                SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 236, 236, 236));
        }
        for (const TRect& rect : dirty) {
            Upload(target, buffer, rect);
            rects.push_back({ rect.Left, rect.Top, rect.Width(), rect.Height() });
        }
        if (SDL_MUSTLOCK(target))
            SDL_UnlockSurface(target);
    }
    if (m_needPresent) {
        // The window was uncovered or resized: everything goes out again.
        if (!m_surface || SDL_GetWindowSurface(m_window) != m_surface)
            return;
        SDL_UpdateWindowSurface(m_window);
        m_needPresent = false;
    } else if (!rects.empty()) {
        SDL_UpdateWindowSurfaceRects(m_window, rects.data(), static_cast<int>(rects.size()));
    } else {
        return;
    }
    if (m_presented)
        return;
    m_presented = true;
    ReportFirstPresent();
    if (OnFirstPresent)
        std::exchange(OnFirstPresent, nullptr)();
}

bool TSdlWindow::ReadPixels(TBitmap& bitmap)
{
    SDL_Surface* surface = SDL_GetWindowSurface(m_window);
    if (!surface || surface != m_surface || surface->w <= 0 || surface->h <= 0)
        return false;
    bitmap.SetSize(surface->w, surface->h);
    cairo_surface_t* target = bitmap.Surface();
    if (!target)
        return false;
    cairo_surface_flush(target);
    if (SDL_MUSTLOCK(surface))
        SDL_LockSurface(surface);
    int const ok = SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
        SDL_PIXELFORMAT_ARGB8888, cairo_image_surface_get_data(target), cairo_image_surface_get_stride(target));
    if (SDL_MUSTLOCK(surface))
        SDL_UnlockSurface(surface);
    // The window surface has no alpha channel of its own: what it shows is opaque.
    if (!SDL_ISPIXELFORMAT_ALPHA(surface->format->format)) {
        unsigned char* data = cairo_image_surface_get_data(target);
        int const stride = cairo_image_surface_get_stride(target);
        for (int y = 0; y < surface->h; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < surface->w; ++x)
                row[x] |= 0xFF000000u;
        }
    }
    cairo_surface_mark_dirty(target);
    return ok == 0;
}

// ---- Events -----------------------------------------------------------------------------

void TSdlWindow::HandleEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.windowID == m_id)
            HandleWindowEvent(event);
        break;
    case SDL_MOUSEMOTION:
        if (event.motion.windowID == m_id)
            m_client.WindowMouseMove(ShiftFromSdlMods(SDL_GetModState()) | ShiftFromSdlButtons(event.motion.state),
                event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (event.button.windowID != m_id)
            break;
        TMouseButton const button = ButtonOf(event.button.button);
        TShiftState shift =
            ShiftFromSdlMods(SDL_GetModState()) | ShiftFromSdlButtons(SDL_GetMouseState(nullptr, nullptr));
        if (event.type == SDL_MOUSEBUTTONDOWN) {
            shift |= ButtonBit(button);
            // Every second click of a series is a double click; the one after it starts over.
            if (event.button.clicks >= 2 && event.button.clicks % 2 == 0)
                shift |= ssDouble;
            m_client.WindowMouseDown(button, shift, event.button.x, event.button.y);
        } else {
            shift &= static_cast<TShiftState>(~ButtonBit(button));
            m_client.WindowMouseUp(button, shift, event.button.x, event.button.y);
        }
        break;
    }
    case SDL_MOUSEWHEEL: {
        if (event.wheel.windowID != m_id || event.wheel.y == 0)
            break;
        int const steps = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y;
        m_client.WindowMouseWheel(steps * 120, ShiftFromSdlMods(SDL_GetModState()));
        break;
    }
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        if (event.key.windowID != m_id)
            break;
        uint16_t const key = KeyCodeFromSdl(event.key.keysym.sym, event.key.keysym.scancode);
        if (key == 0)
            break;
        TShiftState const shift = ShiftFromSdlMods(event.key.keysym.mod);
        if (event.type == SDL_KEYDOWN)
            m_client.WindowKeyDown(key, shift);
        else
            m_client.WindowKeyUp(key, shift);
        break;
    }
    case SDL_TEXTINPUT:
        if (event.text.windowID == m_id)
            for (char32_t point : CodePointsOfUtf8(event.text.text))
                m_client.WindowKeyPress(point);
        break;
    case SDL_DROPBEGIN: m_drop.clear(); break;
    case SDL_DROPFILE:
        if (event.drop.file) {
            m_drop.emplace_back(event.drop.file);
            SDL_free(event.drop.file);
        }
        break;
    case SDL_DROPCOMPLETE: FinishDrop(); break;
    default: break;
    }
}

void TSdlWindow::FinishDrop()
{
    std::vector<std::string> files;
    files.swap(m_drop);
    if (files.empty())
        return;
    // A drop carries no position, so it lands where the pointer is now.
    int gx = 0;
    int gy = 0;
    int wx = 0;
    int wy = 0;
    SDL_GetGlobalMouseState(&gx, &gy);
    SDL_GetWindowPosition(m_window, &wx, &wy);
    m_client.WindowDrop(files, gx - wx, gy - wy);
}

void TSdlWindow::HandleWindowEvent(const SDL_Event& event)
{
    switch (event.window.event) {
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        m_client.WindowResized(event.window.data1, event.window.data2);
        m_needPresent = true;
        break;
    case SDL_WINDOWEVENT_EXPOSED: m_needPresent = true; break;
    case SDL_WINDOWEVENT_ENTER: m_client.WindowMouseEnter(); break;
    case SDL_WINDOWEVENT_LEAVE: m_client.WindowMouseLeave(); break;
    case SDL_WINDOWEVENT_CLOSE: TEventLoop::RequestQuit(); break;
    default: break;
    }
}

}
