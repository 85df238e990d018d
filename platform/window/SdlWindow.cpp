#include "platform/window/SdlWindow.h"

#include "platform/window/EventLoop.h"
#include "platform/window/SdlInput.h"

#include <SDL.h>
#include <cairo.h>

#include <stdexcept>
#include <string>

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
    m_window = SDL_CreateWindow("Vantor", x, y, width > 0 ? width : 1, height > 0 ? height : 1,
        SDL_WINDOW_BORDERLESS | SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
    if (m_window)
        m_renderer = SDL_CreateRenderer(m_window, -1, 0);
    if (!m_renderer) {
        std::string const error = SDL_GetError();
        if (m_window)
            SDL_DestroyWindow(m_window);
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
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    SDL_DestroyRenderer(m_renderer);
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

bool TSdlWindow::EnsureTexture(int width, int height)
{
    if (m_texture && width == m_textureWidth && height == m_textureHeight)
        return false;
    if (m_texture)
        SDL_DestroyTexture(m_texture);
    // Cairo's ARGB32 is a native-endian 32-bit word, which is SDL's ARGB8888.
    m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    m_textureWidth = m_texture ? width : 0;
    m_textureHeight = m_texture ? height : 0;
    return true;
}

void TSdlWindow::Upload(const TBitmap& buffer, const TRect& area)
{
    cairo_surface_t* surface = buffer.Surface();
    TRect const rect = area.Intersect(TRect::FromSize(0, 0, buffer.Width(), buffer.Height()));
    if (!surface || !m_texture || rect.IsEmpty())
        return;
    cairo_surface_flush(surface);
    unsigned char const* data = cairo_image_surface_get_data(surface);
    int const stride = cairo_image_surface_get_stride(surface);
    SDL_Rect const target { rect.Left, rect.Top, rect.Width(), rect.Height() };
    SDL_UpdateTexture(m_texture, &target, data + rect.Top * stride + rect.Left * 4, stride);
}

void TSdlWindow::PresentIfNeeded()
{
    if (m_client.WindowNeedsPaint()) {
        TRect dirty;
        const TBitmap& buffer = m_client.WindowPaint(dirty);
        if (buffer.IsEmpty())
            return;
        bool const fresh = EnsureTexture(buffer.Width(), buffer.Height());
        Upload(buffer, fresh ? TRect::FromSize(0, 0, buffer.Width(), buffer.Height()) : dirty);
        m_needPresent = true;
    }
    if (!m_needPresent || !m_texture)
        return;
    SDL_SetRenderDrawColor(m_renderer, 236, 236, 236, 255);
    SDL_RenderClear(m_renderer);
    SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    SDL_RenderPresent(m_renderer);
    m_needPresent = false;
}

bool TSdlWindow::ReadPixels(TBitmap& bitmap)
{
    int w = 0;
    int h = 0;
    if (SDL_GetRendererOutputSize(m_renderer, &w, &h) != 0 || w <= 0 || h <= 0)
        return false;
    bitmap.SetSize(w, h);
    cairo_surface_t* surface = bitmap.Surface();
    if (!surface)
        return false;
    cairo_surface_flush(surface);
    int const ok = SDL_RenderReadPixels(m_renderer, nullptr, SDL_PIXELFORMAT_ARGB8888,
        cairo_image_surface_get_data(surface), cairo_image_surface_get_stride(surface));
    cairo_surface_mark_dirty(surface);
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
        TShiftState shift = ShiftFromSdlMods(SDL_GetModState()) | ShiftFromSdlButtons(SDL_GetMouseState(nullptr, nullptr));
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
    case SDL_DROPBEGIN:
        m_drop.clear();
        break;
    case SDL_DROPFILE:
        if (event.drop.file) {
            m_drop.emplace_back(event.drop.file);
            SDL_free(event.drop.file);
        }
        break;
    case SDL_DROPCOMPLETE:
        FinishDrop();
        break;
    default:
        break;
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
    case SDL_WINDOWEVENT_EXPOSED:
        m_needPresent = true;
        break;
    case SDL_WINDOWEVENT_ENTER:
        m_client.WindowMouseEnter();
        break;
    case SDL_WINDOWEVENT_LEAVE:
        m_client.WindowMouseLeave();
        break;
    case SDL_WINDOWEVENT_CLOSE:
        TEventLoop::RequestQuit();
        break;
    default:
        break;
    }
}

}
