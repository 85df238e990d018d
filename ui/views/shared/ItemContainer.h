#pragma once

// TItemContainer: a scrolling column of controls with its own scroll bar. Items live in the
// first list and are stacked one under another (or placed by an arrangement callback); the
// scroll bar sits in a later list, "overlay", so it is painted over the items and hit first.

#include "ui/framework/SmartCtrl.h"

#include <functional>

namespace vantor {

struct TViewContext;
class TSmartScroll;

class TItemContainer : public TSmartCtrl {
public:
    using TContainerProc = std::function<void(TItemContainer& container)>;

    TItemContainer(TCreateKey key, const TViewContext* context);

    TSmartScroll* mhScrollBar = nullptr; // a child, ID "scroll"
    int mhScrollValue = 100;             // the wheel's step
    TContainerProc icOnArrangeProc;      // places the items instead of stacking them
    TContainerProc icOnCalculateProc;    // computes the scroll range instead
    int icScrollWidth = 50;

    // The scroll offset the items are placed with.
    int ScrollPos() const;
    // The scroll range: the lowest item's bottom may come up to 10 above the bottom edge.
    void CalculateScroll();
    // Items in stacking order.
    TControlList& ItemList() { return *Controls(0); }

protected:
    void On_Resize() override;
    void On_Arrange() override;
    TSmartCtrl* On_MouseWheel(const TInputData& InputData, bool& ChildNotify) override;
    // The scroll bar moved.
    virtual void ScrollAction();
    // How far one wheel step scrolls.
    virtual int GetScrollAmount(int Direction) const;

private:
    const TViewContext* m_context; // non-owning; may be null in tests
    bool m_arranging = false;
    void RepaintWindow();
};

}
