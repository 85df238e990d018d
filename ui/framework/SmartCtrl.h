#pragma once

// TSmartCtrl: the windowless, owner-drawn control every view derives from.
//
//   class TMyView : public TSmartCtrl {
//   public:
//       using TSmartCtrl::TSmartCtrl;            // or TMyView(TCreateKey key, ...) : TSmartCtrl(key)
//   protected:
//       void On_Create() override;              // create children, set fields
//       void On_Paint(TBitmap& Canvas) override;
//   };
//   auto view = TSmartCtrl::Create<TMyView>();  // constructs and runs the creation sequence
//   TButton* ok = view->AddItem("Ok", TSmartCtrl::Create<TButton>());
//
// Geometry is stored in device pixels and read and written in logical units (UIScale()).
// Everything here runs on the UI thread, except that a worker may create controls and build a
// subtree of its own before handing it to the UI thread.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Geometry.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/ControlRef.h"
#include "ui/framework/InputData.h"
#include "ui/framework/ListContainer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace vantor {

class TSmartVCL;

enum TCtrlState : uint8_t {
    csNormal,
    csHot, // the pointer is over the control
    csDraggedOver,
};

// Only TSmartCtrl::Create can make one, so every control goes through the creation sequence.
// A view's constructor takes it as its first parameter and hands it to TSmartCtrl.
class TCreateKey {
    TCreateKey() = default;
    friend class TSmartCtrl;
};

// Passed to TSmartCtrl by controls that never hold children, such as the rows of a list of
// 100,000 tracks: they are made without the "default" list, and AddItem on them refuses.
struct TLeafControl { };

class TSmartCtrl {
public:
    explicit TSmartCtrl(TCreateKey);
    TSmartCtrl(TCreateKey, TLeafControl);
    // Frees the own canvas and every child list that the control owns (with their controls);
    // lists shown through LinkList are left alone.
    virtual ~TSmartCtrl();

    TSmartCtrl(const TSmartCtrl&) = delete;
    TSmartCtrl& operator=(const TSmartCtrl&) = delete;

    // Constructs a T and runs the creation sequence: OnCreateCanvas, the generated SC_ID,
    // On_CreateBegin, On_Create, On_CreateEnd.
    template <class T, class... Args>
    static std::unique_ptr<T> Create(Args&&... args)
    {
        static_assert(std::is_base_of_v<TSmartCtrl, T>);
        std::unique_ptr<T> control(new T(TCreateKey(), std::forward<Args>(args)...));
        static_cast<TSmartCtrl*>(control.get())->RunCreateSequence();
        return control;
    }

    // ---- Fields ----------------------------------------------------------------------------
    // Unique within the list that holds the control; class name plus five random digits.
    std::string SC_ID;
    // Size and position in device pixels, position relative to the parent (top-level
    // controls: to the host's client area). Views use the logical properties below.
    int32_t scWidth = 0;
    int32_t scHeight = 0;
    int32_t scLeft = 0;
    int32_t scTop = 0;
    bool SC_VISIBLE = true; // hidden controls are neither painted nor hit
    bool SC_ENABLED = true; // disabled controls are not hit
    bool SC_FOCUSED = false;
    TSmartCtrl* SC_PARENT = nullptr; // non-owning
    TSmartVCL* scHost = nullptr;     // non-owning; set on top-level controls by their host
    TListContainer scLists;          // list 0 is "default" until LinkList puts one before it
    TControlRef SC_FOCUSE;           // child that receives forwarded key events
    TControlRef SC_ACTIVE;           // hovered child
    TControlRef SC_ACTIVE_TRY;
    TControlRef SC_FOCUSE_TRY;
    TCtrlState SC_STATE = csNormal;
    bool scCanFocuse = false;             // a press may give this control the keyboard focus
    std::unique_ptr<TBitmap> scCanvas;    // own canvas, device size; null for canvas-less leaves
    bool scLoading = true;                // true only inside the creation sequence
    TControlList* scParentList = nullptr; // non-owning: the list holding this control
    bool scHasCanvas = false;
    bool scInvalidating = false;

    // ---- Properties (logical units) ------------------------------------------------------
    const std::string& ID() const { return SC_ID; }
    void SetID(std::string id) { SC_ID = std::move(id); }
    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    int Right() const { return Left() + Width(); }
    TPoint Position() const { return { Left(), Top() }; }
    // Stores the converted value; no event.
    void SetLeft(int value);
    void SetTop(int value);
    // Stores the converted size when the device value changes, resizes the own canvas and,
    // when visible, raises On_Resize.
    void SetWidth(int value);
    void SetHeight(int value);
    // Sets Left and Top, then raises On_Arrange when visible.
    void SetPosition(int left, int top);
    // (Left, Top, Width, Height) relative to the parent.
    TRect ControlRect() const;
    bool Visible() const { return SC_VISIBLE; }
    // Shows (Show) or hides (On_Hide) on a change; either way the covered area is repainted.
    void SetVisible(bool value);
    TSmartCtrl* Parent() const { return SC_PARENT; }
    // The host whose tree holds the control (through its top-level ancestor); null while the
    // control is not in a host's tree.
    TSmartVCL* Host() const;
    TCtrlState State() const { return SC_STATE; }
    TSmartCtrl* ActiveControl() const { return SC_ACTIVE.Get(); }
    void SetActiveControl(TSmartCtrl* control) { SC_ACTIVE = control; }
    TSmartCtrl* FocusedControl() const { return SC_FOCUSE.Get(); }
    void SetFocusedControl(TSmartCtrl* control) { SC_FOCUSE = control; }
    bool Loading() const { return scLoading; }
    // The own canvas, or null.
    TBitmap* Canvas() const { return scCanvas.get(); }
    // The class name without namespace, as SC_ID starts with it.
    std::string ClassName() const;
    // True when this control is a T (or derives from one).
    template <class T>
    bool ClassIs() const
    {
        if constexpr (std::is_base_of_v<T, TSmartCtrl>)
            return true;
        else
            return dynamic_cast<const T*>(this) != nullptr;
    }

    // ---- Geometry ------------------------------------------------------------------------
    // Visible := true, On_Show, On_Arrange, Invalidate(true).
    void Show();
    void Arrange() { On_Arrange(); }
    // Device rectangle in host client coordinates.
    TRect GlobalRect() const;
    // Device rectangle relative to the parent.
    TRect RealControlRect() const;
    // Where On_Paint draws: (0, 0, Width, Height) on the own canvas, else ControlRect on the
    // parent's canvas (logical units).
    TRect CanvasRect() const;
    // Logical point inside ControlRect: left and top inclusive, right and bottom exclusive.
    virtual bool CursorOver(int X, int Y) const;

    // ---- Tree ----------------------------------------------------------------------------
    // Sets the parent and appends to list 0 (or the list named ListID, created when absent).
    // Null when the list refused the control (it is then freed).
    template <class T>
    T* AddItem(std::unique_ptr<T> control)
    {
        return Typed<T>(AddItemTo(scLists.GetList(0), std::move(control)));
    }
    template <class T>
    T* AddItem(std::string controlID, std::unique_ptr<T> control)
    {
        if (control)
            control->SC_ID = std::move(controlID);
        return AddItem(std::move(control));
    }
    template <class T>
    T* AddItem(std::string controlID, const std::string& listID, std::unique_ptr<T> control)
    {
        if (control)
            control->SC_ID = std::move(controlID);
        return AddItem(std::move(control), listID);
    }
    template <class T>
    T* AddItem(std::unique_ptr<T> control, const std::string& listID)
    {
        return Typed<T>(AddItemTo(GetList(listID, true), std::move(control)));
    }
    // Inserts into list at index and sets the parent.
    TSmartCtrl* Item_Add(std::unique_ptr<TSmartCtrl> control, TControlList& list, int index);

    // The list with exactly that CL_ID; a new one appended to the container when absent and
    // createIfNotFound, else null.
    TControlList* GetList(const std::string& listID, bool createIfNotFound);
    TControlList* Controls(int index) { return scLists.GetList(index); }
    TControlList* Controls(const std::string& listID) { return GetList(listID, true); }
    // Shows a list owned by somebody else as list 0 under the name listID. A list of that name
    // already in the container is taken out (and freed when this control owns it). The linked
    // list is never freed by this control.
    void LinkList(const std::string& listID, TControlList& list);

    // First control with that SC_ID in any list, lists in container order.
    bool FindItem(const std::string& id, TSmartCtrl*& control) const;
    TSmartCtrl* FindItem(const std::string& id) const;
    // Frees the first control with that ID, then Reset; false when none was found.
    bool RemoveItem(const std::string& id);
    // Reset, then frees the control at index of list.
    void RemoveChild(TControlList& list, int index);

    // ---- Painting ------------------------------------------------------------------------
    // Paints the control onto dest. With an own canvas: the part of dest under the control is
    // copied in first (so the control can blend over its parent), Paint runs on the canvas,
    // and the canvas is copied onto dest at device position (X, Y). Without one, Paint runs
    // on dest directly.
    void DrawTo(int X, int Y, TBitmap& dest);
    // On_Paint, then On_Paint_Children.
    virtual void Paint(TBitmap& Canvas);
    // Every list in container order through On_Paint_Children(list, Canvas). Views override
    // the per-list form; keeping this one non-virtual lets them do so without hiding it.
    void On_Paint_Children(TBitmap& Canvas);

    // ---- Input dispatch (logical units; each returns the deepest control that handled the
    // event, or null when it was freed on the way) ------------------------------------------
    virtual TSmartCtrl* MouseDown(const TInputData& InputData);
    virtual TSmartCtrl* MouseUp(const TInputData& InputData);
    virtual TSmartCtrl* MouseMove(const TInputData& InputData);
    virtual TSmartCtrl* MouseDouble(const TInputData& InputData);
    virtual TSmartCtrl* MouseWheel(const TInputData& InputData);
    virtual void Enter(const TInputData& InputData);
    virtual void Leave(const TInputData& InputData);
    virtual void Focus(const TInputData& InputData);
    virtual void UnFocus(const TInputData& InputData);

    // The child under the point of InputData (local to this control), or null: lists from last
    // to first (manual lists skipped), within a list from last to first, the first visible,
    // enabled child whose CursorOver holds.
    virtual TSmartCtrl* ControlAtXY(const TInputData& InputData);
    bool ControlAtXY(const TInputData& InputData, TSmartCtrl*& control);
    // The same search in one list. (Only the first form is virtual, for the same reason as
    // On_Paint_Children.)
    TSmartCtrl* ControlAtXY(const TControlList& list, int X, int Y) const;
    // The deepest visible, enabled control under the local point; this control when no child
    // is hit.
    TSmartCtrl* ControlAtCursor(int X, int Y);

    // Asks the host to repaint GlobalRect (and, with invParent, the parent's). Hidden controls
    // invalidate nothing.
    virtual void Invalidate(bool invParent);
    // Forgets the focused and hovered children and both candidates.
    virtual void Reset();

    // ---- Overridable events ---------------------------------------------------------------
    virtual void On_CreateBegin();
    virtual void On_Create();
    virtual void On_CreateEnd();
    // Creates the own canvas; canvas-less leaves (list rows) override it with an empty body.
    virtual void OnCreateCanvas();
    virtual void On_Paint(TBitmap& Canvas);
    // Paints the list's visible children with vertical culling: a child is drawn when it
    // straddles the parent's top edge or starts within the parent's height.
    virtual void On_Paint_Children(TControlList& list, TBitmap& Canvas);
    virtual void On_Resize();
    virtual void On_Show();
    virtual void On_Arrange();
    virtual void On_Hide();
    // Key events; the defaults forward them to FocusedControl.
    virtual void On_KeyPress(char32_t Key);
    virtual void On_KeyDown(uint16_t Key, TShiftState Shift);
    virtual void On_KeyUp(uint16_t Key, TShiftState Shift);
    // Mouse handlers: set ChildNotify to false to keep the event from the children; the
    // result is the control that handled it (default: this control).
    virtual TSmartCtrl* On_MouseWheel(const TInputData& InputData, bool& ChildNotify);
    virtual TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify);
    virtual TSmartCtrl* On_MouseDouble(const TInputData& InputData, bool& ChildNotify);
    virtual TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify);
    virtual TSmartCtrl* On_MouseUp(const TInputData& InputData, bool& ChildNotify);
    virtual void On_Focus(const TInputData& InputData);
    virtual void On_UnFocus(const TInputData& InputData);
    virtual void On_Enter(const TInputData& InputData);
    virtual void On_Leave(const TInputData& InputData);
    // Files dropped on this control; Point is in host logical coordinates.
    virtual void OnDrop(const std::vector<std::string>& Files, TPoint Point);
    // Whether a press at the local logical point should move the window (a caption area).
    virtual bool IsDragArea(int X, int Y);

private:
    friend class TControlRef;
    using THandler = TSmartCtrl* (TSmartCtrl::*)(const TInputData&, bool&);
    using TDispatch = TSmartCtrl* (TSmartCtrl::*)(const TInputData&);

    void RunCreateSequence();
    TSmartCtrl* AddItemTo(TControlList* list, std::unique_ptr<TSmartCtrl> control);
    TSmartCtrl* Dispatch(const TInputData& InputData, THandler handler, TDispatch recurse, bool invalidate);
    template <class T>
    static T* Typed(TSmartCtrl* control)
    {
        return static_cast<T*>(control);
    }

    // Expires when the control is freed; TControlRef watches it. Made by the first reference
    // taken to the control, so that controls nobody refers to cost no allocation for it; never
    // made once the destructor runs, so that references taken then read as null.
    std::shared_ptr<const int> m_aliveToken;
    bool m_destroying = false;
    // The lists this control created; linked lists are only in scLists.
    std::vector<std::unique_ptr<TControlList>> m_ownedLists;
};

}
