// The top control bar and the playlist bar: the track board's marks, the window buttons, and
// the group buttons.

#include "library/tests/LibraryTestSupport.h"

#include "platform/audio/tests/AudioTestSupport.h"
#include "platform/window/WindowClient.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/controlbar/ControlBar.h"
#include "ui/views/playlist/PlayListBar.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

class TRecordingWindow : public IWindowShell {
public:
    void SetCursorShape(TCursorShape) override { }
    void Minimize() override { Calls += "min "; }
    void ToggleMaximize() override { Calls += "max "; }
    bool IsMaximized() const override { return false; }
    void Close() override { Calls += "close "; }
    std::string Calls;
};

class ControlBars : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        Host.Window = &Window;
        Context.Session = &Session;
        Context.Host = &Host;
        List = std::make_unique<TVPlayList>(Session);
        for (char const* name : { "b", "a" }) {
            std::filesystem::path const path = Root / "music" / (std::string(name) + ".wav");
            std::filesystem::create_directories(path.parent_path());
            test::WriteWav(path, 44100, 1, 0.1, test::Sine(440.0, 0.2));
            auto track = std::make_unique<TTrackData>();
            track->SetTag(tkFilePath, path.string());
            ASSERT_TRUE(track->ReadTags());
            track->SetTag(tkArtist, name);
            List->AppendTrack(std::move(track));
        }
        List->GroupPlaylist(gmArtist, false);
        Session.CurrentPlayList = List.get();
    }

    void TearDown() override
    {
        Session.CurrentTrack = nullptr;
        List.reset();
        LibraryTest::TearDown();
    }

    static TInputData Press(const TSmartCtrl& child, int x, int y)
    {
        TInputData input;
        input.idXPos = child.Left() + x;
        input.idYPos = child.Top() + y;
        return input;
    }

    TRecordingWindow Window;
    TSmartVCL Host { 400, 300 };
    TViewContext Context;
    std::unique_ptr<TVPlayList> List;
};

TEST_F(ControlBars, TheStarsRateTheCurrentTrackInItsFile)
{
    auto bar = TSmartCtrl::Create<TControlBar>(Context);
    bar->SetWidth(2731);
    bar->SetHeight(TControlBar::BarHeight);
    TTrackBoard& board = *bar->cbTrackBoard;
    ASSERT_EQ(board.Left(), 650);
    // Presses reach the board through its bar, as from the window.
    bar->MouseDown(Press(board, 100, TTrackBoard::StarsTop + 10));
    EXPECT_EQ(List->plDataList[0]->GetTag("Rating"), "0") << "without a current track the stars do nothing";

    TTrackData& track = *List->plDataList[0];
    Session.CurrentTrack = &track;
    // 100 units into the stars: the third.
    bar->MouseDown(Press(board, 100, TTrackBoard::StarsTop + 10));
    EXPECT_EQ(track.GetTag("Rating"), "3");
    bar->MouseDown(Press(board, 5 * TTrackBoard::StarSize - 1, TTrackBoard::StarsTop + 10));
    EXPECT_EQ(track.GetTag("Rating"), "5");
    // The file keeps the stars: read again, the track has five.
    TTrackData reread;
    reread.SetTag(tkFilePath, track.GetTag(tkFilePath));
    ASSERT_TRUE(reread.ReadTags());
    EXPECT_EQ(reread.GetTag("Rating"), "5");
}

TEST_F(ControlBars, WindowButtonsSitTopRightAndActOnTheWindow)
{
    auto bar = TSmartCtrl::Create<TControlBar>(Context);
    bar->SetWidth(2000);
    bar->SetHeight(TControlBar::BarHeight);
    EXPECT_EQ(bar->cbClose->Left(), 2000 - 20 - 46);
    EXPECT_EQ(bar->cbMaximize->Left(), 2000 - 2 * (20 + 46));
    EXPECT_EQ(bar->cbMinimize->Left(), 2000 - 3 * (20 + 46));
    for (TWindowButton* button : { bar->cbMinimize, bar->cbMaximize, bar->cbClose })
        bar->MouseDown(Press(*button, 10, 10));
    EXPECT_EQ(Window.Calls, "min max close ");
}

TEST_F(ControlBars, TheBarMovesTheWindowButNotFromItsButtonsMarksAndMainCover)
{
    // The window asks the host, the host asks the top-level bar.
    TSmartVCL host(Scale(2000), Scale(TControlBar::BarHeight));
    TControlBar* const bar = host.AddControl("ControlBar", TSmartCtrl::Create<TControlBar>(Context));
    bar->SetWidth(2000);
    bar->SetHeight(TControlBar::BarHeight);
    auto const drags = [&](int x, int y) { return host.WindowHitTest(Scale(x), Scale(y)) == TWindowHit::whDraggable; };
    EXPECT_TRUE(drags(40, 120)) << "left of the covers";
    EXPECT_FALSE(drags(300, 120)) << "the main cover";
    for (TWindowButton const* button : { bar->cbMinimize, bar->cbMaximize, bar->cbClose })
        EXPECT_FALSE(drags(button->Left() + 23, button->Top() + 23)) << button->wbAction;
    int const board = bar->cbTrackBoard->Left();
    EXPECT_TRUE(drags(board + 100, 40)) << "the title";
    EXPECT_FALSE(drags(board + 100, TTrackBoard::StarsTop + 10)) << "the stars";
    EXPECT_FALSE(drags(board + 300, TTrackBoard::StarsTop + 10)) << "the favourite mark";
    EXPECT_TRUE(drags(board + 600, TTrackBoard::StarsTop + 10)) << "the details right of the marks";
}

TEST_F(ControlBars, GroupButtonsRegroupAndOnlyTheModeShownTurnsTheOrder)
{
    auto bar = TSmartCtrl::Create<TPlayListBar>(Context);
    bar->SetWidth(2400);
    bar->SetHeight(TPlayListBar::BarHeight);
    TGroupButton& track = *bar->Button(0);
    TGroupButton& artist = *bar->Button(1);
    EXPECT_EQ(track.gbGroupMode, gmTrackName);
    EXPECT_EQ(artist.Left(), 260 + 12);
    EXPECT_EQ(artist.Top(), 5);
    ASSERT_TRUE(List->plAscending);
    artist.MouseDown(Press(artist, 10, 10));
    EXPECT_FALSE(List->plAscending) << "the mode shown turns round";
    EXPECT_EQ(List->plGroups[0]->gdID, "B");
    track.MouseDown(Press(track, 10, 10));
    EXPECT_EQ(List->plGroupMode, gmTrackName);
    EXPECT_TRUE(List->plAscending) << "another mode starts ascending";
}

}
}
