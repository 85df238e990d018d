#include "ui/framework/SmartCtrl.h"

#include "ui/framework/SmartVCL.h"
#include "ui/framework/UIScale.h"

#include <cxxabi.h>

#include <cstdlib>
#include <random>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

namespace vantor {

namespace {

std::string Demangled(const std::type_info& type)
{
    int status = 0;
    char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string result = (status == 0 && name) ? name : type.name();
    std::free(name);
    auto const colon = result.rfind("::");
    if (colon != std::string::npos)
        result.erase(0, colon + 2);
    return result;
}

// The class name of a type, demangled once per thread.
const std::string& ClassNameOf(const std::type_info& type)
{
    thread_local std::unordered_map<std::type_index, std::string> names;
    auto [it, added] = names.try_emplace(std::type_index(type));
    if (added)
        it->second = Demangled(type);
    return it->second;
}

std::string RandomDigits(int count)
{
    thread_local std::mt19937 generator { std::random_device {}() };
    std::uniform_int_distribution<int> digit(0, 9);
    std::string digits;
    for (int i = 0; i < count; ++i)
        digits += static_cast<char>('0' + digit(generator));
    return digits;
}

// Clears a flag on every way out of a scope.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~TFlagGuard() { m_flag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& m_flag;
};

}

TControlRef::TControlRef(TSmartCtrl* control)
    : m_control(control)
{
    if (!control)
        return;
    if (!control->m_aliveToken && !control->m_destroying)
        control->m_aliveToken = std::make_shared<const int>(0);
    m_token = control->m_aliveToken;
}

TSmartCtrl::TSmartCtrl(TCreateKey)
{
    auto list = std::make_unique<TControlList>("default");
    scLists.AddList(list.get());
    m_ownedLists.push_back(std::move(list));
}

TSmartCtrl::TSmartCtrl(TCreateKey, TLeafControl) { }

TSmartCtrl::~TSmartCtrl()
{
    // References to this control read as null from here on, also from code that runs while
    // the children are freed below.
    m_destroying = true;
    m_aliveToken.reset();
    // Children first, then the lists; m_ownedLists never holds a linked list.
    for (auto& list : m_ownedLists)
        list->Clear();
    m_ownedLists.clear();
    scCanvas.reset();
}

void TSmartCtrl::RunCreateSequence()
{
    scInvalidating = false;
    scHasCanvas = false;
    OnCreateCanvas();
    SC_ID = ClassNameOf(typeid(*this)) + RandomDigits(5);
    On_CreateBegin();
    On_Create();
    On_CreateEnd();
}

std::string TSmartCtrl::ClassName() const { return ClassNameOf(typeid(*this)); }

// ---- Geometry ---------------------------------------------------------------------------

int TSmartCtrl::Left() const { return Unscale(scLeft); }
int TSmartCtrl::Top() const { return Unscale(scTop); }
int TSmartCtrl::Width() const { return Unscale(scWidth); }
int TSmartCtrl::Height() const { return Unscale(scHeight); }

void TSmartCtrl::SetLeft(int value) { scLeft = Scale(value); }
void TSmartCtrl::SetTop(int value) { scTop = Scale(value); }

void TSmartCtrl::SetWidth(int value)
{
    int const device = Scale(value);
    if (device == scWidth)
        return;
    scWidth = device;
    if (scCanvas)
        scCanvas->SetSize(scWidth, scHeight);
    if (SC_VISIBLE)
        On_Resize();
}

void TSmartCtrl::SetHeight(int value)
{
    int const device = Scale(value);
    if (device == scHeight)
        return;
    scHeight = device;
    if (scCanvas)
        scCanvas->SetSize(scWidth, scHeight);
    if (SC_VISIBLE)
        On_Resize();
}

void TSmartCtrl::SetPosition(int left, int top)
{
    SetLeft(left);
    SetTop(top);
    if (SC_VISIBLE)
        On_Arrange();
}

TRect TSmartCtrl::ControlRect() const { return TRect::FromSize(Left(), Top(), Width(), Height()); }

void TSmartCtrl::SetVisible(bool value)
{
    if (value == SC_VISIBLE)
        return;
    TControlRef const self(this);
    if (value)
        Show();
    else
        On_Hide();
    // The area is repainted from the host, because a hidden control invalidates nothing.
    if (self)
        if (TSmartVCL* host = Host())
            host->InvalidateControl(this);
}

TSmartVCL* TSmartCtrl::Host() const
{
    const TSmartCtrl* top = this;
    while (top->SC_PARENT)
        top = top->SC_PARENT;
    return top->scHost;
}

void TSmartCtrl::Show()
{
    TControlRef const self(this);
    SC_VISIBLE = true;
    On_Show();
    if (self)
        On_Arrange();
    if (self)
        Invalidate(true);
}

TRect TSmartCtrl::GlobalRect() const
{
    int left = 0;
    int top = 0;
    for (const TSmartCtrl* c = this; c; c = c->SC_PARENT) {
        left += c->scLeft;
        top += c->scTop;
    }
    return TRect::FromSize(left, top, scWidth, scHeight);
}

TRect TSmartCtrl::RealControlRect() const { return TRect::FromSize(scLeft, scTop, scWidth, scHeight); }

TRect TSmartCtrl::CanvasRect() const
{
    if (scHasCanvas)
        return TRect::FromSize(0, 0, Width(), Height());
    return ControlRect();
}

bool TSmartCtrl::CursorOver(int X, int Y) const { return ControlRect().Contains(X, Y); }

// ---- Tree -------------------------------------------------------------------------------

TSmartCtrl* TSmartCtrl::AddItemTo(TControlList* list, std::unique_ptr<TSmartCtrl> control)
{
    if (!list || !control)
        return nullptr;
    control->SC_PARENT = this;
    return list->AddControl(std::move(control));
}

TSmartCtrl* TSmartCtrl::Item_Add(std::unique_ptr<TSmartCtrl> control, TControlList& list, int index)
{
    if (!control)
        return nullptr;
    control->SC_PARENT = this;
    return list.AddControl(std::move(control), index);
}

TControlList* TSmartCtrl::GetList(const std::string& listID, bool createIfNotFound)
{
    if (TControlList* list = scLists.FindList(listID))
        return list;
    if (!createIfNotFound)
        return nullptr;
    auto list = std::make_unique<TControlList>(listID);
    scLists.AddList(list.get());
    m_ownedLists.push_back(std::move(list));
    return m_ownedLists.back().get();
}

void TSmartCtrl::LinkList(const std::string& listID, TControlList& list)
{
    for (int i = scLists.Count() - 1; i >= 0; --i) {
        TControlList* existing = scLists.GetList(i);
        if (existing->CL_ID != listID || existing == &list)
            continue;
        scLists.RemoveAt(i);
        // An own list that is no longer shown would otherwise live on unreachable.
        std::erase_if(m_ownedLists, [existing](const auto& owned) { return owned.get() == existing; });
    }
    int const current = scLists.IndexOf(&list);
    if (current >= 0)
        scLists.RemoveAt(current);
    scLists.InsertList(0, &list);
    list.CL_ID = listID;
    list.CL_AUTO_FREE = false;
}

bool TSmartCtrl::FindItem(const std::string& id, TSmartCtrl*& control) const
{
    for (int i = 0; i < scLists.Count(); ++i) {
        if (TSmartCtrl* found = scLists.GetList(i)->FindControl(id)) {
            control = found;
            return true;
        }
    }
    control = nullptr;
    return false;
}

TSmartCtrl* TSmartCtrl::FindItem(const std::string& id) const
{
    TSmartCtrl* control = nullptr;
    FindItem(id, control);
    return control;
}

bool TSmartCtrl::RemoveItem(const std::string& id)
{
    for (int i = 0; i < scLists.Count(); ++i) {
        TControlList* list = scLists.GetList(i);
        if (list->RemoveControl(id)) {
            Reset();
            return true;
        }
    }
    return false;
}

void TSmartCtrl::RemoveChild(TControlList& list, int index)
{
    Reset();
    list.Delete(index);
}

// ---- Painting ---------------------------------------------------------------------------

void TSmartCtrl::DrawTo(int X, int Y, TBitmap& dest)
{
    TRect const area = TRect::FromSize(X, Y, scWidth, scHeight);
    TRect const clip = dest.ClipRect();
    // While only part of dest is repainted, a control outside that part is skipped: nothing it
    // draws would show. A whole repaint keeps the parent's culling rules as they are.
    if (clip != TRect::FromSize(0, 0, dest.Width(), dest.Height()) && area.Intersect(clip).IsEmpty())
        return;
    if (!scCanvas) {
        // Painting straight onto the parent's canvas: it may not spill over its bounds, which
        // are all that an invalidation of it repaints.
        dest.PushClip(area);
        Paint(dest);
        dest.PopClip();
        return;
    }
    if (scCanvas->IsEmpty())
        return;
    // Only the part of the canvas that shows on dest is refreshed and painted: the canvas
    // takes dest's clip, moved to its own origin.
    TRect const visible = area.Intersect(clip);
    TRect const local = visible.Offset(-X, -Y);
    scCanvas->CopyFrom(dest, visible, local.Left, local.Top);
    scCanvas->PushClip(local);
    Paint(*scCanvas);
    scCanvas->PopClip();
    dest.CopyFrom(*scCanvas, local, visible.Left, visible.Top);
}

void TSmartCtrl::Paint(TBitmap& Canvas)
{
    On_Paint(Canvas);
    On_Paint_Children(Canvas);
}

void TSmartCtrl::On_Paint_Children(TBitmap& Canvas)
{
    for (int i = 0; i < scLists.Count(); ++i)
        On_Paint_Children(*scLists.GetList(i), Canvas);
}

void TSmartCtrl::On_Paint_Children(TControlList& list, TBitmap& Canvas)
{
    if (list.clManual)
        return;
    int const height = Height();
    // By index, so a paint handler that changes the list cannot run past its end.
    for (int i = 0; i < list.Count(); ++i) {
        TSmartCtrl* child = list.Control(i);
        if (!child->SC_VISIBLE)
            continue;
        TRect const r = child->ControlRect();
        bool const straddlesTop = r.Top <= 0 && r.Bottom >= 0;
        bool const startsInside = r.Top >= 0 && r.Top <= height;
        if (straddlesTop || startsInside)
            child->DrawTo(child->scLeft, child->scTop, Canvas);
    }
}

void TSmartCtrl::On_Paint(TBitmap&) { }

// ---- Dispatch ---------------------------------------------------------------------------

TSmartCtrl* TSmartCtrl::Dispatch(const TInputData& InputData, THandler handler, TDispatch recurse, bool invalidate)
{
    TControlRef const self(this);
    TInputData local = InputData;
    local.idXPos -= Left();
    local.idYPos -= Top();

    bool childNotify = true;
    TSmartCtrl* handled = (this->*handler)(local, childNotify);
    // The handler may have freed this control (or its page); then nothing here is touched.
    if (!self)
        return nullptr;
    TControlRef result(handled);

    if (childNotify) {
        if (TSmartCtrl* child = ControlAtXY(local)) {
            result = (child->*recurse)(local);
            if (!self)
                return nullptr;
        }
    }
    if (invalidate)
        Invalidate(false);
    return self ? result.Get() : nullptr;
}

TSmartCtrl* TSmartCtrl::MouseDown(const TInputData& InputData)
{
    return Dispatch(InputData, &TSmartCtrl::On_MouseDown, &TSmartCtrl::MouseDown, true);
}

TSmartCtrl* TSmartCtrl::MouseUp(const TInputData& InputData)
{
    return Dispatch(InputData, &TSmartCtrl::On_MouseUp, &TSmartCtrl::MouseUp, true);
}

TSmartCtrl* TSmartCtrl::MouseMove(const TInputData& InputData)
{
    return Dispatch(InputData, &TSmartCtrl::On_MouseMove, &TSmartCtrl::MouseMove, false);
}

TSmartCtrl* TSmartCtrl::MouseDouble(const TInputData& InputData)
{
    return Dispatch(InputData, &TSmartCtrl::On_MouseDouble, &TSmartCtrl::MouseDouble, true);
}

TSmartCtrl* TSmartCtrl::MouseWheel(const TInputData& InputData)
{
    return Dispatch(InputData, &TSmartCtrl::On_MouseWheel, &TSmartCtrl::MouseWheel, false);
}

TSmartCtrl* TSmartCtrl::On_MouseWheel(const TInputData&, bool& ChildNotify)
{
    ChildNotify = true;
    return this;
}

TSmartCtrl* TSmartCtrl::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = true;
    return this;
}

TSmartCtrl* TSmartCtrl::On_MouseDouble(const TInputData&, bool& ChildNotify)
{
    ChildNotify = true;
    return this;
}

TSmartCtrl* TSmartCtrl::On_MouseMove(const TInputData&, bool& ChildNotify)
{
    ChildNotify = true;
    return this;
}

TSmartCtrl* TSmartCtrl::On_MouseUp(const TInputData&, bool& ChildNotify)
{
    ChildNotify = true;
    return this;
}

TSmartCtrl* TSmartCtrl::ControlAtXY(const TInputData& InputData)
{
    for (int i = scLists.Count() - 1; i >= 0; --i) {
        const TControlList& list = *scLists.GetList(i);
        if (list.clManual)
            continue;
        if (TSmartCtrl* hit = ControlAtXY(list, InputData.idXPos, InputData.idYPos))
            return hit;
    }
    return nullptr;
}

bool TSmartCtrl::ControlAtXY(const TInputData& InputData, TSmartCtrl*& control)
{
    control = ControlAtXY(InputData);
    return control != nullptr;
}

TSmartCtrl* TSmartCtrl::ControlAtXY(const TControlList& list, int X, int Y) const
{
    for (int i = list.Count() - 1; i >= 0; --i) {
        TSmartCtrl* child = list.Control(i);
        if (child->SC_VISIBLE && child->SC_ENABLED && child->CursorOver(X, Y))
            return child;
    }
    return nullptr;
}

TSmartCtrl* TSmartCtrl::ControlAtCursor(int X, int Y)
{
    TInputData point;
    point.idXPos = X;
    point.idYPos = Y;
    TSmartCtrl* child = ControlAtXY(point);
    if (!child)
        return this;
    return child->ControlAtCursor(X - child->Left(), Y - child->Top());
}

// ---- Focus, hover, keys -----------------------------------------------------------------

void TSmartCtrl::Focus(const TInputData& InputData)
{
    if (!scCanFocuse)
        return;
    TControlRef const self(this);
    SC_FOCUSED = true;
    // A failing view handler must not leave the control unpainted.
    try {
        On_Focus(InputData);
    } catch (...) {
    }
    if (self)
        Invalidate(false);
}

void TSmartCtrl::UnFocus(const TInputData& InputData)
{
    if (!scCanFocuse)
        return;
    TControlRef const self(this);
    try {
        On_UnFocus(InputData);
    } catch (...) {
    }
    if (self)
        Invalidate(false);
}

void TSmartCtrl::On_Focus(const TInputData&)
{
    SC_FOCUSE.Clear();
    SC_ACTIVE.Clear();
    SC_ACTIVE_TRY.Clear();
}

void TSmartCtrl::On_UnFocus(const TInputData& InputData)
{
    SC_FOCUSED = false;
    SC_FOCUSE.Clear();
    // Collected first: a child's UnFocus may rebuild this control's lists.
    std::vector<TControlRef> children;
    for (int i = 0; i < scLists.Count(); ++i) {
        const TControlList& list = *scLists.GetList(i);
        for (int j = 0; j < list.Count(); ++j) {
            TSmartCtrl* child = list.Control(j);
            if (child->SC_VISIBLE && !child->scLoading)
                children.emplace_back(child);
        }
    }
    for (const TControlRef& child : children)
        if (TSmartCtrl* c = child.Get())
            c->UnFocus(InputData);
}

void TSmartCtrl::Enter(const TInputData& InputData)
{
    TControlRef const self(this);
    TInputData local = InputData;
    local.idXPos -= Left();
    local.idYPos -= Top();
    On_Enter(local);
    if (self)
        Invalidate(false);
}

void TSmartCtrl::Leave(const TInputData& InputData)
{
    TControlRef const self(this);
    TInputData local = InputData;
    local.idXPos -= Left();
    local.idYPos -= Top();
    On_Leave(local);
    if (self)
        Invalidate(false);
}

void TSmartCtrl::On_Enter(const TInputData&) { SC_STATE = csHot; }
void TSmartCtrl::On_Leave(const TInputData&) { SC_STATE = csNormal; }

void TSmartCtrl::On_KeyPress(char32_t Key)
{
    if (TSmartCtrl* focused = SC_FOCUSE.Get())
        focused->On_KeyPress(Key);
}

void TSmartCtrl::On_KeyDown(uint16_t Key, TShiftState Shift)
{
    if (TSmartCtrl* focused = SC_FOCUSE.Get())
        focused->On_KeyDown(Key, Shift);
}

void TSmartCtrl::On_KeyUp(uint16_t Key, TShiftState Shift)
{
    if (TSmartCtrl* focused = SC_FOCUSE.Get())
        focused->On_KeyUp(Key, Shift);
}

// ---- Invalidation and the remaining defaults --------------------------------------------

void TSmartCtrl::Invalidate(bool invParent)
{
    if (!SC_VISIBLE || scInvalidating)
        return;
    TFlagGuard const guard(scInvalidating);
    if (TSmartVCL* host = Host())
        host->InvalidateControl(this);
    if (invParent && SC_PARENT)
        SC_PARENT->Invalidate(false);
}

void TSmartCtrl::Reset()
{
    SC_FOCUSE.Clear();
    SC_ACTIVE.Clear();
    SC_ACTIVE_TRY.Clear();
    SC_FOCUSE_TRY.Clear();
}

void TSmartCtrl::On_CreateBegin() { scLoading = true; }
void TSmartCtrl::On_Create() { }
void TSmartCtrl::On_CreateEnd() { scLoading = false; }

void TSmartCtrl::OnCreateCanvas()
{
    scCanvas = std::make_unique<TBitmap>(scWidth, scHeight);
    scHasCanvas = true;
}

void TSmartCtrl::On_Resize()
{
    if (SC_VISIBLE)
        On_Arrange();
}

void TSmartCtrl::On_Show() { }
void TSmartCtrl::On_Arrange() { }
void TSmartCtrl::On_Hide() { SC_VISIBLE = false; }
void TSmartCtrl::OnDrop(const std::vector<std::string>&, TPoint) { }
bool TSmartCtrl::IsDragArea(int, int) { return false; }

}
