// The floating tip: placed where asked, as wide as its text, hidden by its timer.

#include "ui/views/shared/SmartTip.h"
#include "platform/window/Timer.h"
#include "ui/framework/SmartVCL.h"
#include "ui/views/ViewContext.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(SmartTip, PopsUpWhereAskedAndHidesWhenItsTimeIsUp)
{
    TTimerQueue timers;
    TSmartVCL host(800, 600);
    host.Timers = &timers;
    TViewContext context;
    context.Host = &host;
    auto tip = TSmartCtrl::Create<TSmartTip>(&context);
    EXPECT_FALSE(tip->Visible());
    EXPECT_EQ(tip->mtCaption, "Create New PlayList");

    auto const start = TTimerClock::now();
    tip->PopUp("Menu.Search", 1000, { 300, 40 });
    EXPECT_TRUE(tip->Visible());
    EXPECT_EQ(tip->Left(), 300);
    EXPECT_EQ(tip->Top(), 40);
    EXPECT_EQ(tip->Height(), 100);
    EXPECT_EQ(tip->Width(), 400 + 100) << "no theme: the text counts as 400 wide";
    EXPECT_EQ(tip->mtCaption, "Menu.Search") << "no language: the key shows";

    timers.RunDue(start + std::chrono::milliseconds(500));
    EXPECT_TRUE(tip->Visible());
    timers.RunDue(start + std::chrono::milliseconds(1500));
    EXPECT_FALSE(tip->Visible());

    // A negative duration keeps it up until it is hidden.
    tip->PopUp("Menu.Search", -1);
    timers.RunDue(start + std::chrono::hours(1));
    EXPECT_TRUE(tip->Visible());
    tip->Hide();
    EXPECT_FALSE(tip->Visible());
}

}
}
