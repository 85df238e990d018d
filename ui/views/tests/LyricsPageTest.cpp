// The lyrics page painted off screen with the default theme: time-stamped lyrics highlight the
// line sung at a position and bring it to the middle, gliding there on the window's timers;
// the wheel holds them; plain lyrics show as they always did.

#include "ui/views/menu/LyricsPage.h"
#include "platform/window/Timer.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/SmartScroll.h"

#include "ui/views/tests/ColourDistance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vantor::testing {
namespace {

constexpr uint32_t kAccent = 0xFF4C8DFF;

// Forty lines, one every two seconds from 0:02, the fifth one sung twice.
std::string TimedLyrics()
{
    std::string text = "[ar:Someone]\n[ti:A song]\n";
    for (int n = 1; n <= 40; ++n) {
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "[%02d:%02d.00]", 2 * n / 60, 2 * n % 60);
        text += stamp + (n == 5 ? std::string("[01:30.00]") : std::string()) + "Line " + std::to_string(n) + "\n";
    }
    return text;
}

// The side menu's panel, which the pages are drawn over.
class TPanelBack : public TSmartCtrl {
public:
    TPanelBack(TCreateKey key, TThemeManager& theme)
        : TSmartCtrl(key)
        , m_theme(theme)
    {
    }

protected:
    void On_Paint(TBitmap& Canvas) override
    {
        m_theme.Draw(skin::controls::MenuPanel_Back, Canvas, "TPanelBack", CanvasRect());
    }

private:
    TThemeManager& m_theme;
};

class LyricsPage : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override
    {
        SetUIScale(GetParam());
        Host = std::make_unique<TSmartVCL>(Scale(900), Scale(1400));
        ASSERT_TRUE(Host->ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs"));
        Context.Theme = Host->ThemeManager.get();
        Context.Host = Host.get();
        TSmartCtrl* const back = Host->AddControl("Back", TSmartCtrl::Create<TPanelBack>(*Host->ThemeManager));
        back->SetWidth(900);
        back->SetHeight(1400);
        Page = Host->AddControl("LyricsHolder", TSmartCtrl::Create<TLyricsHolder>(Context));
        Page->SetPosition(0, 0);
        Page->SetWidth(900);
        Page->SetHeight(1400);
        Page->SetVisible(true);
        Page->Arrange();
        View = Page->lhTextContainer;
    }

    void TearDown() override
    {
        Host.reset();
        SetUIScale(1.0);
    }

    // The window rectangle of a timed line as it is drawn now.
    TRect LineRect(int line) const
    {
        TRect const view = Unscale(View->GlobalRect());
        int const top = view.Top + View->tcTextRect.Top + View->TimedLineTop(line);
        return { view.Left, top, view.Left + View->tcTextRect.Right, top + 40 };
    }

    // Device pixels of a logical rectangle near a colour, and those that stand out from the page.
    int Count(const TRect& logical, uint32_t colour, int near) const
    {
        int count = 0;
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                count += (near >= 0 ? ColourDistance(Host->svCanvas.PixelAt(x, y), colour) <= near
                                    : ColourDistance(Host->svCanvas.PixelAt(x, y), colour) > -near)
                    ? 1
                    : 0;
        return count;
    }
    int Accent(const TRect& logical) const { return Count(logical, kAccent, 40); }
    int Ink(const TRect& logical) const { return Count(logical, Host->svCanvas.PixelAt(Scale(5), Scale(700)), -90); }

    std::unique_ptr<TSmartVCL> Host;
    TViewContext Context;
    TLyricsHolder* Page = nullptr;
    TTextContainer2* View = nullptr;
};

TEST_P(LyricsPage, TheSungLineIsHighlightedNearTheMiddle)
{
    SCOPED_TRACE(GetParam());
    View->SetText(TimedLyrics());
    ASSERT_EQ(View->tcTimed.size(), 41u);
    EXPECT_EQ(View->tcTimed[0].Text, "Line 1") << "shown without stamps or tags";
    EXPECT_EQ(View->Text().substr(0, 13), "[ar:Someone]\n") << "the raw text is what is edited";

    View->FollowTime(31000); // 0:30 started "Line 15"
    ASSERT_EQ(View->tcCurrent, 14);
    Host->PaintBackBuffer();
    TRect const sung = LineRect(14);
    int const middle = Unscale(View->GlobalRect()).Top + View->Height() / 2;
    EXPECT_LE(std::abs((sung.Top + sung.Bottom) / 2 - middle), 40) << "near the middle";
    EXPECT_GT(Accent(sung), 20) << "in the accent colour";
    EXPECT_GT(Ink(LineRect(13)), 20);
    EXPECT_EQ(Accent(LineRect(13)), 0) << "the lines around are not";
    EXPECT_EQ(Accent(LineRect(15)), 0);

    // The repeated line is highlighted where it is sung again; the view keeps within range.
    View->FollowTime(90500);
    EXPECT_EQ(View->tcTimed[View->tcCurrent].Text, "Line 5");
    View->FollowTime(10 * 60 * 1000);
    EXPECT_EQ(View->tcCurrent, 40);
    TRect const last = LineRect(40);
    EXPECT_LE(std::abs((last.Top + last.Bottom) / 2 - middle), 40) << "the last line comes up to the middle";
    // Before the first line and when the track does not play: nothing highlighted, the top.
    View->FollowTime(500);
    EXPECT_EQ(View->tcCurrent, -1);
    EXPECT_EQ(View->tcScrollBar->ssPos, 0);
    View->FollowTime(31000);
    View->FollowTime(std::nullopt);
    EXPECT_EQ(View->tcCurrent, -1);
    EXPECT_EQ(View->tcScrollBar->ssPos, 0);
    Host->PaintBackBuffer();
    EXPECT_EQ(Accent(Unscale(View->GlobalRect())), 0);
    EXPECT_GT(Ink(LineRect(0)), 20) << "the first line shows at the top";
}

// A line too wide for the view is broken between words and takes the rows it needs, no more:
// the next line follows one gap below its last row, which shows.
TEST_P(LyricsPage, AWrappedLineTakesTheRowsItNeeds)
{
    SCOPED_TRACE(GetParam());
    int const textWidth = View->tcScrollBar->Left() - 20;
    std::string wide;
    while (Context.Theme->TextWidth(skin::fonts::Lyrics_Current, wide, 0) < textWidth * 7 / 4)
        wide += "words ";
    View->SetText("[00:01]short\n[00:02]" + wide + "\n[00:03]after\n");
    int const pitch = View->TimedLineTop(1) - View->TimedLineTop(0);
    int const row = pitch - TTextContainer2::TimedLineGap;
    EXPECT_EQ(View->TimedLineTop(2) - View->TimedLineTop(1), 2 * row + TTextContainer2::TimedLineGap);
    View->FollowTime(2500);
    Host->PaintBackBuffer();
    TRect const second = LineRect(1).Offset(0, row);
    EXPECT_GT(Accent(second), 20) << "the second row of the sung line";
}

TEST_P(LyricsPage, ATrackThatDoesNotPlayShowsItsTimedLyricsAtTheTop)
{
    // No playback: the page's track is not the playing one.
    View->SetText(TimedLyrics());
    View->FollowTime(31000);
    Page->FollowPlayback();
    EXPECT_EQ(View->tcCurrent, -1);
    EXPECT_EQ(View->tcScrollBar->ssPos, 0);
}

TEST_P(LyricsPage, TheWheelHoldsTheViewAndTheViewGlidesOnTheWindowTimers)
{
    TTimerQueue timers;
    Host->Timers = &timers;
    View->SetText(TimedLyrics());
    View->FollowTime(31000);
    EXPECT_EQ(View->tcScrollBar->ssPos, 0) << "the glide has not begun";
    auto const until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    std::vector<int> positions;
    while (timers.NextDeadline() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        timers.RunDue(std::chrono::steady_clock::now());
        positions.push_back(View->tcScrollBar->ssPos);
    }
    ASSERT_GE(positions.size(), 2u) << "in more than one step";
    int const target = positions.back();
    EXPECT_GT(target, 0);
    EXPECT_LT(positions.front(), target);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));

    TInputData wheel;
    wheel.idDirection = 1;
    View->MouseWheel(wheel);
    int const held = View->tcScrollBar->ssPos;
    EXPECT_LT(held, target);
    View->FollowTime(61000);
    EXPECT_EQ(View->tcCurrent, 29) << "the highlight still moves";
    EXPECT_EQ(View->tcScrollBar->ssPos, held) << "the view stays where the wheel left it";
    EXPECT_FALSE(timers.NextDeadline());
    Host->Timers = nullptr;
    View->SetText({});
}

TEST_P(LyricsPage, PlainLyricsShowAsBefore)
{
    SCOPED_TRACE(GetParam());
    View->SetText("[Chorus]\nFirst words\nSecond words\n");
    EXPECT_TRUE(View->tcTimed.empty());
    View->FollowTime(31000);
    EXPECT_EQ(View->tcCurrent, -1);
    Host->PaintBackBuffer();
    TRect const view = Unscale(View->GlobalRect());
    EXPECT_GT(Ink({ view.Left, view.Top, view.Left + 300, view.Top + 40 }), 20) << "[Chorus] is shown";
    EXPECT_EQ(Accent(view), 0);
}

INSTANTIATE_TEST_SUITE_P(Scales, LyricsPage, ::testing::Values(0.4, 1.0));

}
}
