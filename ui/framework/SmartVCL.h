#pragma once

// TSmartVCL: the host of the control tree. It owns the top-level controls, paints the whole
// tree into one back buffer and turns window input (device pixels) into control events
// (logical units), keeping track of the hovered and the focused control.
//
//   TSmartVCL host(width, height);             // works without any window (off-screen)
//   host.OnResizeProc = [&] { LayOut(); };
//   host.AddControl("ControlBar", TSmartCtrl::Create<TControlBar>()); // its tree reaches the host
//   TSdlWindow window(loop, host, width, height); // optional: a real window feeds it
//   host.Window = &window;                     // cursor shapes, minimize, maximize, close
//   host.Timers = &loop.Timers();              // views make their TTimers on it
//
// Off-screen, call the Window* operations directly and read svCanvas after WindowPaint.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "platform/window/Timer.h"
#include "platform/window/WindowClient.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/ControlRef.h"
#include "ui/framework/InputData.h"
#include "ui/framework/SmartCtrl.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

class TThemeManager;

using TOnVcllResizeProc = std::function<void()>;
using TOnKeyDownProc = std::function<void(uint16_t Key, TShiftState Shift)>;

class TSmartVCL : public IWindowClient {
public:
    // A host with a back buffer of width x height device pixels.
    TSmartVCL(int width, int height);
    ~TSmartVCL() override;

    TSmartVCL(const TSmartVCL&) = delete;
    TSmartVCL& operator=(const TSmartVCL&) = delete;

    // Width of the band along the window's edges that resizes the window, in device pixels.
    static constexpr int EdgeBand = 10;

    // Edge zone under the pointer: 1 left, 2 right, 3 top, 4 top-left, 5 top-right,
    // 6 bottom, 7 bottom-left, 8 bottom-right; -1 off the edges.
    int8_t ResizeDir = -1;
    // Called after every size change (the main controller lays out the views here).
    TOnVcllResizeProc OnResizeProc;
    // Called after the focused control has seen the key.
    TOnKeyDownProc OnKeyDownProc;
    TOnKeyDownProc OnKeyUpProc;
    // The back buffer, always the client size in device pixels.
    TBitmap svCanvas;
    // Last button, shift state, logical pointer position and wheel delta.
    TInputData InputDataGLobal;
    TControlRef CM_ACTIVE;     // hovered control
    TControlRef CM_ACTIVE_TRY; // hover candidate during a move
    TControlRef CM_FOCUSE;     // control with the keyboard focus
    TControlRef CM_FOCUSE_TRY; // focus candidate during a press
    bool vcUpdating = false;   // re-entrancy guard of the whole-window Invalidate
    std::unique_ptr<TThemeManager> ThemeManager;
    // Top-level controls in paint order (last on top). Declared after ThemeManager so that
    // views are freed while the theme manager still exists.
    TControlList CM_LIST { "CM_LIST" };
    // The native window's services, when there is a window (non-owning).
    IWindowShell* Window = nullptr;
    // The UI thread's timers, for views that need one (a tip that hides itself); set by
    // whoever runs the event loop (non-owning).
    TTimerQueue* Timers = nullptr;

    // Adds a top-level control under ID. When a top-level control already has that ID the
    // new one is freed and null is returned.
    template <class T>
    T* AddControl(const std::string& ID, std::unique_ptr<T> control)
    {
        return static_cast<T*>(AddTopLevel(ID, std::move(control)));
    }

    // Top-level hit search at the logical point of InputData: the last visible, enabled
    // top-level control under it; with searchChild, that control's direct child under the
    // point instead (null on its background).
    TSmartCtrl* ControlAtXY(const TInputData& InputData, bool searchChild);
    bool ControlAtXY(const TInputData& InputData, bool searchChild, TSmartCtrl*& control);

    // Marks a device rectangle of the client area for repainting.
    void InvalidateRectangle(const TRect& rect);
    void InvalidateControl(const TSmartCtrl* control);
    // Marks the whole client area.
    void Invalidate();
    // Forgets the hovered and focused controls and both candidates.
    void Reset();

    int ClientWidth() const { return m_width; }
    int ClientHeight() const { return m_height; }
    // Repaints the whole back buffer: background, then every visible, non-loading top-level
    // control.
    void PaintBackBuffer();
    // Repaints only rect of the back buffer, drawing clipped to it.
    void PaintBackBuffer(const TRect& rect);
    // The areas invalidated since the last WindowPaint: not overlapping, at most MaxDirtyRects.
    const std::vector<TRect>& DirtyRects() const { return m_dirty; }
    static constexpr size_t MaxDirtyRects = 16;

    // The edge zone of a device point in a width x height client area, and its pointer shape.
    static int8_t EdgeZone(int x, int y, int width, int height);
    static TCursorShape CursorForZone(int zone);

    // IWindowClient: window input in device pixels.
    void WindowMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void WindowMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void WindowMouseMove(TShiftState shift, int x, int y) override;
    void WindowMouseWheel(int delta, TShiftState shift) override;
    void WindowMouseEnter() override;
    void WindowMouseLeave() override;
    void WindowKeyDown(uint16_t key, TShiftState shift) override;
    void WindowKeyUp(uint16_t key, TShiftState shift) override;
    void WindowKeyPress(char32_t character) override;
    void WindowResized(int width, int height) override;
    void WindowDrop(const std::vector<std::string>& files, int x, int y) override;
    TWindowHit WindowHitTest(int x, int y) override;
    bool WindowNeedsPaint() const override { return !m_dirty.empty(); }
    const TBitmap& WindowPaint(std::vector<TRect>& dirty) override;

private:
    TSmartCtrl* AddTopLevel(const std::string& ID, std::unique_ptr<TSmartCtrl> control);
    void StorePointer(TShiftState shift, int x, int y);
    void SetCursorFor(int8_t zone);

    int m_width = 0;
    int m_height = 0;
    std::vector<TRect> m_dirty; // device areas invalidated since the last WindowPaint
};

}
