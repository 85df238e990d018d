#include "ui/views/shared/ItemContainer.h"

#include "ui/framework/ControlList.h"
#include "ui/framework/SmartVCL.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/SmartScroll.h"

#include <algorithm>

namespace vantor {

namespace {

constexpr int kItemHeight = 90;
constexpr int kItemPitch = 100;
constexpr int kMargin = 10;

}

TItemContainer::TItemContainer(TCreateKey key, const TViewContext* context)
    : TSmartCtrl(key)
    , m_context(context)
{
    // Items stay in the first list; the bar's list comes after it.
    mhScrollBar = AddItem("scroll", "overlay", Create<TSmartScroll>(context));
    mhScrollBar->ssAction = [this](TSmartScroll&, const TInputData&) { ScrollAction(); };
}

int TItemContainer::ScrollPos() const { return mhScrollBar->ssPos; }

void TItemContainer::On_Resize()
{
    mhScrollBar->SetPosition(Width() - icScrollWidth - 1, 0);
    mhScrollBar->SetWidth(icScrollWidth);
    mhScrollBar->SetHeight(Height());
    TSmartCtrl::On_Resize();
}

void TItemContainer::On_Arrange()
{
    // Arranging computes the range, which may clamp the position and so arrange once more.
    if (m_arranging)
        return;
    m_arranging = true;
    int const before = ScrollPos();
    if (icOnArrangeProc) {
        TContainerProc const arrange = icOnArrangeProc;
        arrange(*this);
    } else {
        int const width = std::max(0, Width() - 2 * kMargin);
        TControlList& items = ItemList();
        for (int n = 0; n < items.Count(); ++n) {
            TSmartCtrl* const item = items.Control(n);
            item->SetWidth(width);
            item->SetHeight(kItemHeight);
            item->SetPosition(kMargin, kItemPitch * n + kMargin - before);
        }
    }
    CalculateScroll();
    m_arranging = false;
    if (ScrollPos() != before)
        On_Arrange();
}

void TItemContainer::CalculateScroll()
{
    if (icOnCalculateProc) {
        TContainerProc const calculate = icOnCalculateProc;
        calculate(*this);
        return;
    }
    TControlList& items = ItemList();
    int bottom = 0;
    bool any = false;
    for (int n = 0; n < items.Count(); ++n) {
        TSmartCtrl const* const item = items.Control(n);
        if (!item->Visible())
            continue;
        bottom = any ? std::max(bottom, item->Top() + item->Height()) : item->Top() + item->Height();
        any = true;
    }
    mhScrollBar->SetMax(any ? bottom + ScrollPos() - Height() + kMargin : 0);
}

TSmartCtrl* TItemContainer::On_MouseWheel(const TInputData& InputData, bool& ChildNotify)
{
    // The item under the pointer still gets the wheel.
    ChildNotify = true;
    if (InputData.idDirection != 0 && mhScrollBar->ssMax > 0) {
        int const step = GetScrollAmount(InputData.idDirection);
        mhScrollBar->SetPos(ScrollPos() + (InputData.idDirection > 0 ? -step : step));
        On_Arrange();
        RepaintWindow();
    }
    return this;
}

void TItemContainer::ScrollAction()
{
    On_Arrange();
    RepaintWindow();
}

int TItemContainer::GetScrollAmount(int) const { return mhScrollValue; }

void TItemContainer::RepaintWindow()
{
    if (m_context && m_context->Host)
        m_context->Host->Invalidate();
    else
        Invalidate(true);
}

}
