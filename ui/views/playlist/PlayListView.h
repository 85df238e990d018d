#pragma once

// TPlayListView: the control that shows one playlist, its groups and their rows. It owns the
// list; the list's groups and rows are plain records that it lays out, paints and hit-tests
// itself (TPlayListLayout), so a row costs no control of its own.

#include "library/PlayList.h"
#include "ui/framework/SmartCtrl.h"
#include "ui/views/playlist/PlayListLayout.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vantor {

struct TViewContext;
class TAlphabetPanel;
class TSmartScroll;

class TPlayListView : public TSmartCtrl {
public:
    // context: the views' services (may be null in tests: then nothing is drawn but the
    // background); it must outlive the view.
    TPlayListView(TCreateKey key, std::unique_ptr<TVPlayList> list, const TViewContext* context);
    // Frees the list, which first stops its workers.
    ~TPlayListView() override;

    TVPlayList& List() const { return *m_list; }
    // Its scroll bar, a child: one step per track.
    TSmartScroll* plScrollBar = nullptr;
    // Its jump letters, a child shown while the pointer is near the left edge.
    TAlphabetPanel* plAlphabetPanel = nullptr;
    // The layout, made again first when the list's groups or rows changed since.
    const TPlayListLayout& Layout() const
    {
        EnsureArranged();
        return m_layout;
    }

    // Places the groups for the current size and scroll offset.
    void ArrangeGroups();
    // The scroll range for the current arrangement (plScrollMax, never negative).
    void CalculateScroll();
    // Scrolls to Value, kept within 0..plScrollMax, and repaints.
    void SetScroll(int Value);
    // Brings a row to the top margin and makes it the scroll anchor.
    void ScrollToItem(const TItemData* ItemData);
    // Scrolls to the first row of one of the list's groups.
    void ScrollToGroup(const TGroupData* group);
    // Marks the letters whose groups' headers are on screen (while the letters show).
    void ShowActiveLetters();
    // The shown row under a point of the view, or null.
    TItemData* GetItem(int X, int Y) const;
    // Whether a group's header is on screen: only those groups hold covers.
    bool GroupShown(const TGroupData& group) const;

protected:
    void On_Create() override;
    void On_Show() override;
    void On_Resize() override;
    void On_Paint(TBitmap& Canvas) override;
    TSmartCtrl* On_MouseWheel(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;
    void OnDrop(const std::vector<std::string>& Files, TPoint Point) override;

private:
    std::unique_ptr<TVPlayList> m_list;
    const TViewContext* m_context; // non-owning
    // The layout points at groups and rows: it is made again before any use once the list
    // has changed them, so a paint or a press between a change and its arrangement never
    // reaches a freed group.
    mutable TPlayListLayout m_layout;
    mutable uint64_t m_arrangedVersion = 0;
    void EnsureArranged() const;
    // Whether a shown child (the scroll bar, the letters) is under a point of the view.
    bool ChildAt(int X, int Y) const;

    // Places the scroll bar and the groups for the view's size.
    void PlaceAll();
    void PaintHeader(TBitmap& canvas, const TGroupPlace& place, const TRect& area) const;
    void PaintRow(TBitmap& canvas, const TItemData& row, const TRect& rect) const;
    // A press on a row, x from the row's left edge.
    void RowPress(TItemData& row, int x, int width, const TInputData& input);
    void ToggleSelection(TTrackData& track);
    // Lays the list out again after rows went, and repaints the window.
    void Rearrange();
};

// The panel's look where no rows are: the list background and, over it, a line that says how
// music comes in. Both the panel (no list shown) and an empty list's view draw it.
void PaintEmptyList(TBitmap& Canvas, const TViewContext* Context, const TRect& Area);

}
