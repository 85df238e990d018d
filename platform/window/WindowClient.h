#pragma once

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/window/InputTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

// What a window delivers to the code that fills it. Every position is in device pixels of
// the client area. All calls arrive on the UI thread.
class IWindowClient {
public:
    virtual ~IWindowClient() = default;

    virtual void WindowMouseDown(TMouseButton button, TShiftState shift, int x, int y) = 0;
    virtual void WindowMouseUp(TMouseButton button, TShiftState shift, int x, int y) = 0;
    virtual void WindowMouseMove(TShiftState shift, int x, int y) = 0;
    // delta: multiples of 120, positive away from the user.
    virtual void WindowMouseWheel(int delta, TShiftState shift) = 0;
    virtual void WindowMouseEnter() = 0;
    virtual void WindowMouseLeave() = 0;

    virtual void WindowKeyDown(uint16_t key, TShiftState shift) = 0;
    virtual void WindowKeyUp(uint16_t key, TShiftState shift) = 0;
    // One typed character (a Unicode code point).
    virtual void WindowKeyPress(char32_t character) = 0;

    // The client area changed to width x height device pixels.
    virtual void WindowResized(int width, int height) = 0;
    // Files dropped onto the window at (x, y).
    virtual void WindowDrop(const std::vector<std::string>& files, int x, int y) = 0;

    // What the window manager should do with a press at (x, y).
    virtual TWindowHit WindowHitTest(int x, int y) = 0;

    // Whether anything was invalidated since the last WindowPaint.
    virtual bool WindowNeedsPaint() const = 0;
    // Repaints and returns the back buffer (client size); dirty receives the areas that
    // changed since the last call, clipped to the buffer and not overlapping. Only those
    // areas are presented.
    virtual const TBitmap& WindowPaint(std::vector<TRect>& dirty) = 0;
};

// Services of the native window that the client may ask for.
class IWindowShell {
public:
    virtual ~IWindowShell() = default;

    virtual void SetCursorShape(TCursorShape shape) = 0;
    virtual void Minimize() = 0;
    // Maximizes the window, or restores it when it is maximized.
    virtual void ToggleMaximize() = 0;
    virtual bool IsMaximized() const = 0;
    // Asks the event loop to end, as closing the window does.
    virtual void Close() = 0;
};

}
