// The item container: stacking, its scroll range and the wheel.

#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartScroll.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

class TItem : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
    int Wheels = 0;

protected:
    TSmartCtrl* On_MouseWheel(const TInputData&, bool&) override
    {
        ++Wheels;
        return this;
    }
};

std::unique_ptr<TItemContainer> Container(int items, int height)
{
    auto container = TSmartCtrl::Create<TItemContainer>(nullptr);
    container->SetWidth(500);
    container->SetHeight(height);
    for (int i = 0; i < items; ++i)
        container->AddItem(TSmartCtrl::Create<TItem>());
    container->Arrange();
    return container;
}

TEST(ItemContainer, StacksItemsAndScrollsTheLastOneUpToTheMargin)
{
    auto container = Container(5, 400);
    TSmartCtrl* last = container->ItemList().Control(4);
    EXPECT_EQ(last->Left(), 10);
    EXPECT_EQ(last->Top(), 410);
    EXPECT_EQ(last->Width(), 480);
    EXPECT_EQ(last->Height(), 90);
    EXPECT_EQ(container->mhScrollBar->ssMax, 110) << "500 + 0 - 400 + 10";
    EXPECT_TRUE(container->mhScrollBar->Visible());
    EXPECT_EQ(container->mhScrollBar->Left(), 500 - 50 - 1);
    EXPECT_EQ(container->mhScrollBar->Height(), 400);

    // Two items fit: nothing to scroll; no item: nothing either.
    EXPECT_FALSE(Container(2, 400)->mhScrollBar->Visible());
    EXPECT_EQ(Container(0, 400)->mhScrollBar->ssMax, 0);
}

TEST(ItemContainer, WheelScrollsWithinTheRangeAndStillReachesTheItem)
{
    auto container = Container(5, 400);
    TInputData wheel;
    wheel.idXPos = 100;
    wheel.idYPos = 50;
    wheel.idDirection = -120;
    container->MouseWheel(wheel);
    EXPECT_EQ(container->ScrollPos(), 100);
    EXPECT_EQ(container->ItemList().Control(0)->Top(), 10 - 100);
    container->MouseWheel(wheel);
    EXPECT_EQ(container->ScrollPos(), 110) << "clamped to the range";
    EXPECT_EQ(container->ItemList().Control(4)->Top() + 90, 400 - 10);
    wheel.idDirection = 120;
    for (int i = 0; i < 3; ++i)
        container->MouseWheel(wheel);
    EXPECT_EQ(container->ScrollPos(), 0);
    // The item under the pointer got every turn as well.
    int wheels = 0;
    for (int n = 0; n < 5; ++n)
        wheels += static_cast<TItem*>(container->ItemList().Control(n))->Wheels;
    EXPECT_EQ(wheels, 5);
}

TEST(ItemContainer, ScrollBarMovesTheItems)
{
    auto container = Container(8, 400);
    ASSERT_EQ(container->mhScrollBar->ssMax, 410);
    TInputData press;
    press.idButton = mbLeft;
    press.idXPos = container->mhScrollBar->Left() + 10;
    press.idYPos = 399; // past the end of the knob's travel
    container->MouseDown(press);
    EXPECT_EQ(container->ScrollPos(), 410);
    EXPECT_EQ(container->ItemList().Control(0)->Top(), 10 - 410);
}

}
}
