// The scroll bar: its range, the knob's place and what a press picks.

#include "ui/views/shared/SmartScroll.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(SmartScroll, PositionStaysInRangeAndPressesPickAlongTheTravel)
{
    auto bar = TSmartCtrl::Create<TSmartScroll>(nullptr);
    bar->SetWidth(60);
    bar->SetHeight(600);
    EXPECT_FALSE(bar->Visible()) << "nothing to scroll";
    bar->SetMax(1000);
    EXPECT_TRUE(bar->Visible());
    bar->SetPos(-5);
    EXPECT_EQ(bar->ssPos, 0);
    bar->SetPos(5000);
    EXPECT_EQ(bar->ssPos, 1000);
    EXPECT_EQ(bar->ssPanPoint, 500 + 50) << "the knob at the end of its travel";

    int reported = -1;
    bar->ssAction = [&](TSmartScroll& sender, const TInputData&) { reported = sender.ssPos; };
    struct TCase {
        int Y, Pos;
    };
    for (TCase const c :
        { TCase { 0, 0 }, TCase { 50, 0 }, TCase { 300, 500 }, TCase { 550, 1000 }, TCase { 599, 1000 } }) {
        TInputData press;
        press.idYPos = c.Y;
        bar->MouseDown(press);
        EXPECT_EQ(bar->ssPos, c.Pos) << c.Y;
        EXPECT_EQ(reported, c.Pos) << c.Y;
    }
    bar->SetMax(0);
    EXPECT_FALSE(bar->Visible());
    EXPECT_EQ(bar->ssPos, 0);

    // A bar no taller than its knob takes no presses (and divides by nothing).
    bar->SetMax(10);
    bar->SetHeight(100);
    reported = -1;
    TInputData press;
    press.idYPos = 60;
    bar->MouseDown(press);
    EXPECT_EQ(reported, -1);
}

}
}
