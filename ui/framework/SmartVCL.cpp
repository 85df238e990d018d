#include "ui/framework/SmartVCL.h"

#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"

#include <cstddef>
#include <cstdint>

namespace vantor {

namespace {

constexpr uint32_t BackgroundColor = 0xFFECECEC; // red, green and blue 236, opaque

}

TSmartVCL::TSmartVCL(int width, int height)
    : svCanvas(width, height)
    , ThemeManager(std::make_unique<TThemeManager>())
    , m_width(width > 0 ? width : 0)
    , m_height(height > 0 ? height : 0)
{
    Invalidate();
}

TSmartVCL::~TSmartVCL()
{
    // The views go first, while every member they may reach in their destructors exists.
    CM_LIST.Clear();
}

TSmartCtrl* TSmartVCL::AddTopLevel(const std::string& ID, std::unique_ptr<TSmartCtrl> control)
{
    if (!control || CM_LIST.ControlExists(ID))
        return nullptr;
    control->SC_ID = ID;
    control->SC_PARENT = nullptr;
    control->scHost = this;
    return CM_LIST.AddControl(std::move(control));
}

TSmartCtrl* TSmartVCL::ControlAtXY(const TInputData& InputData, bool searchChild)
{
    for (int i = CM_LIST.Count() - 1; i >= 0; --i) {
        TSmartCtrl* control = CM_LIST.Control(i);
        if (!control->SC_VISIBLE || !control->SC_ENABLED || !control->CursorOver(InputData.idXPos, InputData.idYPos))
            continue;
        if (!searchChild)
            return control;
        TInputData local = InputData;
        local.idXPos -= control->Left();
        local.idYPos -= control->Top();
        return control->ControlAtXY(local);
    }
    return nullptr;
}

bool TSmartVCL::ControlAtXY(const TInputData& InputData, bool searchChild, TSmartCtrl*& control)
{
    control = ControlAtXY(InputData, searchChild);
    return control != nullptr;
}

// ---- Invalidation and painting ----------------------------------------------------------

namespace {

int64_t Area(const TRect& r) { return int64_t(r.Width()) * r.Height(); }

}

void TSmartVCL::InvalidateRectangle(const TRect& rect)
{
    TRect added = rect.Intersect(TRect::FromSize(0, 0, m_width, m_height));
    if (added.IsEmpty())
        return;
    // Rectangles that overlap become their union, so no pixel is painted twice; the union may
    // overlap others in turn, hence the repeat.
    for (size_t i = 0; i < m_dirty.size();) {
        if (m_dirty[i].Intersect(added).IsEmpty()) {
            ++i;
            continue;
        }
        added = added.Union(m_dirty[i]);
        m_dirty.erase(m_dirty.begin() + static_cast<std::ptrdiff_t>(i));
        i = 0;
    }
    if (m_dirty.size() < MaxDirtyRects) {
        m_dirty.push_back(added);
        return;
    }
    // Too many pieces cost more in per-rectangle overhead than they save: the new one joins the
    // one whose union grows the least, and that union absorbs what it overlaps.
    size_t best = 0;
    int64_t bestGrowth = INT64_MAX;
    for (size_t i = 0; i < m_dirty.size(); ++i) {
        int64_t const growth = Area(m_dirty[i].Union(added)) - Area(m_dirty[i]) - Area(added);
        if (growth < bestGrowth) {
            bestGrowth = growth;
            best = i;
        }
    }
    TRect const merged = m_dirty[best].Union(added);
    m_dirty.erase(m_dirty.begin() + static_cast<std::ptrdiff_t>(best));
    InvalidateRectangle(merged);
}

void TSmartVCL::InvalidateControl(const TSmartCtrl* control)
{
    if (control)
        InvalidateRectangle(control->GlobalRect());
}

void TSmartVCL::Invalidate()
{
    if (vcUpdating)
        return;
    vcUpdating = true;
    InvalidateRectangle(TRect::FromSize(0, 0, m_width, m_height));
    vcUpdating = false;
}

void TSmartVCL::Reset()
{
    CM_FOCUSE.Clear();
    CM_FOCUSE_TRY.Clear();
    CM_ACTIVE.Clear();
    CM_ACTIVE_TRY.Clear();
}

void TSmartVCL::PaintBackBuffer() { PaintBackBuffer(TRect::FromSize(0, 0, m_width, m_height)); }

void TSmartVCL::PaintBackBuffer(const TRect& rect)
{
    svCanvas.PushClip(rect);
    svCanvas.FillRect(rect, BackgroundColor);
    // By index: a view's paint code must not change the top-level list, but an index loop
    // stays within bounds even if one does.
    for (int i = 0; i < CM_LIST.Count(); ++i) {
        TSmartCtrl* control = CM_LIST.Control(i);
        if (control->SC_VISIBLE && !control->scLoading)
            control->DrawTo(control->scLeft, control->scTop, svCanvas);
    }
    svCanvas.PopClip();
}

const TBitmap& TSmartVCL::WindowPaint(std::vector<TRect>& dirty)
{
    dirty.swap(m_dirty);
    m_dirty.clear();
    for (const TRect& rect : dirty)
        PaintBackBuffer(rect);
    return svCanvas;
}

void TSmartVCL::WindowResized(int width, int height)
{
    m_width = width > 0 ? width : 0;
    m_height = height > 0 ? height : 0;
    svCanvas.SetSize(m_width, m_height);
    m_dirty.clear();
    InvalidateRectangle(TRect::FromSize(0, 0, m_width, m_height));
    if (OnResizeProc)
        OnResizeProc();
}

// ---- Edge band --------------------------------------------------------------------------

int8_t TSmartVCL::EdgeZone(int x, int y, int width, int height)
{
    int constexpr near = EdgeBand - 1;
    bool const left = x <= near;
    bool const top = y <= near;
    bool const right = width - x <= near;
    bool const bottom = height - y <= near;
    if (top && left)
        return 4;
    if (top && right)
        return 5;
    if (bottom && left)
        return 7;
    if (bottom && right)
        return 8;
    if (top)
        return 3;
    if (left)
        return 1;
    if (bottom)
        return 6;
    if (right)
        return 2;
    return -1;
}

TCursorShape TSmartVCL::CursorForZone(int zone)
{
    switch (zone) {
    case 4:
    case 8: return TCursorShape::crSizeNWSE;
    case 5:
    case 7: return TCursorShape::crSizeNESW;
    case 3:
    case 6: return TCursorShape::crSizeNS;
    case 1:
    case 2: return TCursorShape::crSizeWE;
    default: return TCursorShape::crArrow;
    }
}

void TSmartVCL::SetCursorFor(int8_t zone)
{
    ResizeDir = zone;
    if (Window)
        Window->SetCursorShape(CursorForZone(zone));
}

TWindowHit TSmartVCL::WindowHitTest(int x, int y)
{
    switch (EdgeZone(x, y, m_width, m_height)) {
    case 1: return TWindowHit::whResizeLeft;
    case 2: return TWindowHit::whResizeRight;
    case 3: return TWindowHit::whResizeTop;
    case 4: return TWindowHit::whResizeTopLeft;
    case 5: return TWindowHit::whResizeTopRight;
    case 6: return TWindowHit::whResizeBottom;
    case 7: return TWindowHit::whResizeBottomLeft;
    case 8: return TWindowHit::whResizeBottomRight;
    default: break;
    }
    TInputData point;
    point.idXPos = Unscale(x);
    point.idYPos = Unscale(y);
    if (TSmartCtrl* control = ControlAtXY(point, false))
        if (control->IsDragArea(point.idXPos - control->Left(), point.idYPos - control->Top()))
            return TWindowHit::whDraggable;
    return TWindowHit::whNormal;
}

// ---- Mouse ------------------------------------------------------------------------------

void TSmartVCL::StorePointer(TShiftState shift, int x, int y)
{
    InputDataGLobal.idShift = shift;
    InputDataGLobal.idXPos = Unscale(x);
    InputDataGLobal.idYPos = Unscale(y);
}

void TSmartVCL::WindowMouseMove(TShiftState shift, int x, int y)
{
    SetCursorFor(EdgeZone(x, y, m_width, m_height));
    if (ResizeDir != -1)
        return; // the edge band belongs to the window manager
    StorePointer(shift, x, y);
    TSmartCtrl* control = ControlAtXY(InputDataGLobal, false);
    if (!control)
        return;
    CM_ACTIVE_TRY = control->MouseMove(InputDataGLobal);
    TControlRef const hovered = CM_ACTIVE_TRY;
    if (hovered.Get() == CM_ACTIVE.Get())
        return;
    if (TSmartCtrl* old = CM_ACTIVE.Get())
        old->Leave(InputDataGLobal);
    if (TSmartCtrl* now = hovered.Get())
        now->Enter(InputDataGLobal);
    CM_ACTIVE = hovered.Get();
}

void TSmartVCL::WindowMouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    // The zone is taken from the press itself as well, so a press that arrives without a
    // preceding move is judged by where it happened.
    SetCursorFor(EdgeZone(x, y, m_width, m_height));
    if (ResizeDir != -1 && button == mbLeft)
        return; // a native resize: the window's hit test hands it to the window manager
    InputDataGLobal.idButton = button;
    StorePointer(shift, x, y);
    TSmartCtrl* control = ControlAtXY(InputDataGLobal, false);
    if (!control)
        return;
    if (shift & ssDouble) {
        control->MouseDouble(InputDataGLobal);
        return;
    }
    CM_FOCUSE_TRY = control->MouseDown(InputDataGLobal);
    TControlRef const candidate = CM_FOCUSE_TRY;
    TSmartCtrl* target = candidate.Get();
    if (!target || !target->scCanFocuse || target == CM_FOCUSE.Get())
        return;
    if (TSmartCtrl* old = CM_FOCUSE.Get())
        old->UnFocus(InputDataGLobal);
    if (TSmartCtrl* now = candidate.Get()) {
        now->Focus(InputDataGLobal);
        CM_FOCUSE = candidate.Get();
    } else {
        CM_FOCUSE.Clear();
    }
}

void TSmartVCL::WindowMouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    InputDataGLobal.idButton = button;
    StorePointer(shift, x, y);
    if (TSmartCtrl* control = ControlAtXY(InputDataGLobal, false))
        control->MouseUp(InputDataGLobal);
}

void TSmartVCL::WindowMouseWheel(int delta, TShiftState)
{
    // Routed by the last stored pointer position: the wheel turns what the user last pointed
    // at, even after the pointer has left the window.
    InputDataGLobal.idDirection = delta;
    TSmartCtrl* control = ControlAtXY(InputDataGLobal, false);
    if (!control)
        return;
    TControlRef const target(control);
    control->MouseWheel(InputDataGLobal);
    if (TSmartCtrl* still = target.Get())
        still->Invalidate(false);
}

void TSmartVCL::WindowMouseEnter() { Invalidate(); }
void TSmartVCL::WindowMouseLeave() { Invalidate(); }

// ---- Keyboard and drops -----------------------------------------------------------------

void TSmartVCL::WindowKeyDown(uint16_t key, TShiftState shift)
{
    if (TSmartCtrl* focused = CM_FOCUSE.Get())
        focused->On_KeyDown(key, shift);
    if (OnKeyDownProc)
        OnKeyDownProc(key, shift);
    Invalidate();
}

void TSmartVCL::WindowKeyUp(uint16_t key, TShiftState shift)
{
    if (TSmartCtrl* focused = CM_FOCUSE.Get())
        focused->On_KeyUp(key, shift);
    if (OnKeyUpProc)
        OnKeyUpProc(key, shift);
    Invalidate();
}

void TSmartVCL::WindowKeyPress(char32_t character)
{
    if (TSmartCtrl* focused = CM_FOCUSE.Get())
        focused->On_KeyPress(character);
    Invalidate();
}

void TSmartVCL::WindowDrop(const std::vector<std::string>& files, int x, int y)
{
    InputDataGLobal.idXPos = Unscale(x);
    InputDataGLobal.idYPos = Unscale(y);
    if (TSmartCtrl* control = ControlAtXY(InputDataGLobal, true))
        control->OnDrop(files, { InputDataGLobal.idXPos, InputDataGLobal.idYPos });
}

}
