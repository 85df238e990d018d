// The bottom control bar: knob geometry, the play button's stop area, and the volume bar's
// presses, on a real playback controller over a silent output.

#include "library/tests/LibraryTestSupport.h"

#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "platform/window/FakeMessageBox.h"
#include "player/playback/PlaybackController.h"
#include "player/settings/Settings.h"
#include "ui/views/ViewContext.h"
#include "ui/views/controlbar/ControlBarBottom.h"
#include "ui/views/controlbar/PlayerButtons.h"
#include "ui/views/controlbar/ProgressBars.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

TEST(ProgressKnob, PressesKeepClearOfTheEnds)
{
    struct TCase {
        int Width, X;
        int64_t Total, Value;
    };
    for (TCase const c : {
             TCase { 300, 10, 1000, 0 }, // inside the left inset: the start
             TCase { 300, 30, 1000, 0 },
             TCase { 300, 150, 1000, 500 }, // the middle
             TCase { 300, 290, 1000, 1000 },
             TCase { 300, 500, 1000, 1000 },
             TCase { 60, 30, 1000, 0 }, // no room between the insets
             TCase { 20, 10, 1000, 0 },
         }) {
        SCOPED_TRACE(::testing::Message() << c.Width << " " << c.X);
        EXPECT_EQ(ValueAt(c.Width, c.X, c.Total), c.Value);
    }
    EXPECT_EQ(KnobLeft(360, 0, 1000), 0);
    EXPECT_EQ(KnobLeft(360, 500, 1000), 150);
    EXPECT_EQ(KnobLeft(360, 1000, 1000), 300);
}

class ControlBarBottom : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        TNullOutputOptions options;
        options.Clock = TNullOutputOptions::TClock::Manual;
        ASSERT_TRUE(Engine.InitNull(options));
        Playback = std::make_unique<TPlaybackController>(Session, Settings, Messages, nullptr, nullptr);
        Playback->AudioEngine = &Engine;
        Context.Playback = Playback.get();
        Context.Session = &Session;
        Context.Settings = &Settings;

        List = std::make_unique<TVPlayList>(Session);
        std::filesystem::path const path = Root / "music" / "a.wav";
        std::filesystem::create_directories(path.parent_path());
        test::WriteWav(path, 44100, 2, 1.0, test::Sine(440.0, 0.2));
        List->AppendTrack(Track({ { "FilePath", path.string() }, { "TrackName", "A" } }));
        List->GroupPlaylist(gmTrackName, false);
        Session.CurrentPlayList = List.get();

        Bar = TSmartCtrl::Create<TControlBarBottom>(Context);
        Bar->SetWidth(2731);
        Bar->SetHeight(TControlBarBottom::BarHeight);
    }

    void TearDown() override
    {
        Bar.reset();
        Playback.reset();
        List.reset();
        Engine.Free();
        LibraryTest::TearDown();
    }

    // A press x units into a child of the bar (input arrives in the bar's coordinates).
    static TInputData Press(const TSmartCtrl& child, int x, TMouseButton button = mbLeft)
    {
        TInputData input;
        input.idButton = button;
        input.idXPos = child.Left() + x;
        input.idYPos = child.Top() + 30;
        return input;
    }

    TAudioEngine Engine;
    TFakeMessageBox Messages;
    TSettings Settings;
    std::unique_ptr<TPlaybackController> Playback;
    TViewContext Context;
    std::unique_ptr<TVPlayList> List;
    std::unique_ptr<TControlBarBottom> Bar;
};

TEST_F(ControlBarBottom, ChildrenSitInOneRow)
{
    // Play at 20, previous and next 25 apart, the position bar taking what the fixed parts
    // leave, and the menu button in the corner.
    EXPECT_EQ(Bar->tpButtonPlay->Left(), 20);
    EXPECT_EQ(Bar->tpButtonNext->Left(), 20 + 220 + 25 + 113 + 25);
    EXPECT_EQ(Bar->tpProgress->Left(), 516 + 45);
    EXPECT_EQ(Bar->tpProgress->Width(), 2731 - 561 - 960);
    EXPECT_EQ(Bar->tpVolume->Width(), 395);
    EXPECT_FALSE(Bar->tpMuteButton->Visible());
    EXPECT_EQ(Bar->cbMainButton->Left(), 2731 - 100);
    // A window too narrow for the position bar leaves it empty, never negative.
    Bar->SetWidth(1200);
    EXPECT_EQ(Bar->tpProgress->Width(), 0);
}

TEST_F(ControlBarBottom, ThePlayButtonsLeftPartStops)
{
    Bar->tpButtonPlay->MouseDown(Press(*Bar->tpButtonPlay, 64));
    EXPECT_EQ(Playback->PlayerState, psPlaying) << "stopped: a press plays the current list";
    Bar->tpButtonPlay->MouseDown(Press(*Bar->tpButtonPlay, 64));
    EXPECT_EQ(Playback->PlayerState, psPaused);
    Bar->tpButtonPlay->MouseDown(Press(*Bar->tpButtonPlay, 63));
    EXPECT_EQ(Playback->PlayerState, psStopped);
    EXPECT_EQ(Bar->tpButtonPlay->pbState, bsPressed);
    Bar->tpButtonPlay->MouseUp(Press(*Bar->tpButtonPlay, 63));
    EXPECT_EQ(Bar->tpButtonPlay->pbState, bsNormal);
}

TEST_F(ControlBarBottom, ThePositionBarSeeksOnlyWhilePlaying)
{
    int seeks = 0;
    Playback->Hooks.Seeked = [&] { ++seeks; };
    TTrackProgress& bar = *Bar->tpProgress;
    bar.MouseDown(Press(bar, bar.Width() / 2));
    EXPECT_EQ(seeks, 0) << "stopped";
    Playback->PlayPauseKey();
    ASSERT_EQ(Playback->PlayerState, psPlaying);
    bar.MouseDown(Press(bar, bar.Width() / 2));
    EXPECT_EQ(seeks, 1);
    EXPECT_NEAR(
        static_cast<double>(Playback->PlayPosition), Playback->TrackLastByte / 2.0, Playback->TrackLastByte / 100.0);
    Playback->Pause();
    bar.MouseDown(Press(bar, 40));
    EXPECT_EQ(seeks, 1) << "paused";
}

TEST_F(ControlBarBottom, TheVolumeBarSetsAndMutes)
{
    TVolumeProgress& volume = *Bar->tpVolume; // 395 wide: 335 between the insets
    Settings.Muted = true;
    volume.MouseDown(Press(volume, 30 + 335 / 4));
    EXPECT_DOUBLE_EQ(Settings.Volume, 0.25);
    EXPECT_FALSE(Settings.Muted) << "setting a volume unmutes";
    volume.MouseDown(Press(volume, 100, mbMiddle));
    EXPECT_TRUE(Settings.Muted);
    EXPECT_DOUBLE_EQ(Settings.Volume, 0.25) << "muting keeps the volume";
    volume.MouseDown(Press(volume, 100, mbMiddle));
    EXPECT_FALSE(Settings.Muted);
    EXPECT_DOUBLE_EQ(Settings.Volume, 0.25);
}

TEST_F(ControlBarBottom, SwitchesActOnTheCurrentList)
{
    Bar->tpButtonShuffle->MouseDown(Press(*Bar->tpButtonShuffle, 10));
    EXPECT_TRUE(List->vtShuffle);
    Bar->tpRepeatnShuffle->MouseDown(Press(*Bar->tpRepeatnShuffle, 10));
    EXPECT_TRUE(List->vtRepeat);
    // Without a current list the presses do nothing.
    Session.CurrentPlayList = nullptr;
    Bar->tpButtonShuffle->MouseDown(Press(*Bar->tpButtonShuffle, 10));
    EXPECT_TRUE(List->vtShuffle);
}

}
}
