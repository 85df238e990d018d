// What a press on a playlist row does, by button, place and mode, on a real playback
// controller over a silent output.

#include "library/tests/LibraryTestSupport.h"

#include "library/PlayQueue.h"
#include "library/SelectionOps.h"
#include "platform/audio/AudioEngine.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "platform/window/FakeMessageBox.h"
#include "player/playback/PlaybackController.h"
#include "player/settings/Settings.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/PlayListView.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

class PlayListRows : public LibraryTest {
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
        Context.Messages = &Messages;
        Session.Hooks.MoveToTrash = [this](const std::string& path) {
            Trashed.push_back(path);
            return true;
        };

        auto list = std::make_unique<TVPlayList>(Session);
        for (char const* name : { "A", "B" }) {
            std::filesystem::path const path = Root / "music" / (std::string(name) + ".wav");
            std::filesystem::create_directories(path.parent_path());
            test::WriteWav(path, 44100, 2, 1.0, test::Sine(440.0, 0.2));
            list->AppendTrack(Track({ { "FilePath", path.string() }, { "TrackName", name }, { "Artist", "X" } }));
        }
        list->GroupPlaylist(gmArtist, false);
        Session.CurrentPlayList = list.get();
        View = TSmartCtrl::Create<TPlayListView>(std::move(list), &Context);
        View->SetWidth(1000);
        View->SetHeight(800);
    }

    void TearDown() override
    {
        View.reset();
        Playback.reset();
        Engine.Free();
        LibraryTest::TearDown();
    }

    TVPlayList& List() const { return View->List(); }
    TTrackData& TrackA() const { return *List().plGroups[0]->Rows()[0]->idTrackData; }

    // A press at x units into the first row (row width 1000 - 440 = 560).
    void PressA(int x, TMouseButton button = mbLeft, TShiftState shift = 0)
    {
        TInputData input;
        input.idButton = button;
        input.idShift = shift;
        input.idXPos = playlist_layout::RowsLeft + x;
        input.idYPos = playlist_layout::TopMargin + 50;
        View->MouseDown(input);
    }

    TAudioEngine Engine;
    TFakeMessageBox Messages;
    TSettings Settings;
    std::unique_ptr<TPlaybackController> Playback;
    TViewContext Context;
    std::unique_ptr<TPlayListView> View;
    std::vector<std::string> Trashed;
};

TEST_F(PlayListRows, TheLeftAreaQueuesAndSelects)
{
    PressA(10);
    EXPECT_EQ(TrackA().QueueNumber, 1);
    EXPECT_EQ(Session.Queue().Count(), 1);
    PressA(10);
    EXPECT_EQ(Session.Queue().Count(), 0);

    PressA(10, mbRight);
    EXPECT_TRUE(TrackA().tdSelected);
    EXPECT_EQ(List().plSelCount, 1);
    List().plSelectMode = true;
    PressA(10);
    EXPECT_FALSE(TrackA().tdSelected);
    EXPECT_EQ(Session.Queue().Count(), 0) << "select mode selects instead of queueing";
}

TEST_F(PlayListRows, DeletePressesRemoveRowsAndAskBeforeTrashingFiles)
{
    // Ctrl and a right press asks; "No" leaves row, file and selection as they were.
    PressA(10, mbRight, ssCtrl);
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_TRUE(Messages.Shown[0].Question);
    EXPECT_EQ(List().TrackCount(), 2);
    EXPECT_FALSE(TrackA().tdSelected);
    EXPECT_TRUE(Trashed.empty());

    // "Yes" trashes the file and drops the row.
    std::string const pathA = TrackA().GetTag(tkFilePath);
    Messages.Answers.push_back(true);
    PressA(10, mbRight, ssCtrl);
    EXPECT_EQ(Trashed, std::vector<std::string> { pathA });
    ASSERT_EQ(List().TrackCount(), 1);

    // Ctrl and a left press removes the row at once and keeps the file.
    std::string const pathB = TrackA().GetTag(tkFilePath);
    PressA(10, mbLeft, ssCtrl);
    EXPECT_EQ(List().TrackCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(pathB));
    EXPECT_EQ(Messages.Shown.size(), 2u);
    EXPECT_EQ(View->Layout().Groups().size(), 0u) << "the view lays the list out again";
}

TEST_F(PlayListRows, APressPlaysAndInThePlayingRowSeeks)
{
    PressA(300);
    ASSERT_EQ(Session.CurrentTrack, &TrackA());
    ASSERT_EQ(Playback->PlayerState, psPlaying);
    ASSERT_GT(Playback->TrackLastByte, 0);
    // Halfway along the part right of the left area.
    PressA(96 + (560 - 96) / 2);
    EXPECT_NEAR(static_cast<double>(Playback->PlayPosition), Playback->TrackLastByte / 2.0, 1.0);
    EXPECT_EQ(Playback->PlayerState, psPlaying);
    PressA(300, mbMiddle);
    EXPECT_EQ(Playback->PlayerState, psPaused);
}

}
}
