#include "library/SelectionOps.h"

#include "library/tests/LoaderFixture.h"
#include "platform/shell/FakeShell.h"
#include "platform/window/FakeMessageBox.h"

#include <algorithm>

namespace vantor {
namespace {

class SelectionTest : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        List = std::make_unique<TVPlayList>(Session);
        for (const char* name : { "a.mp3", "b.mp3", "c.mp3", "d.mp3" }) {
            fs::path const file = CopyTrack("no-cover.mp3", fs::path("sel") / name);
            auto track = std::make_unique<TTrackData>();
            track->SetTag(tkFilePath, file.string());
            track->ReadTags();
            List->AppendTrack(std::move(track));
        }
        List->GroupPlaylist(gmFolder, false);
        Session.CurrentPlayList = List.get();
        Session.Hooks.MoveToTrash = [this](const std::string& path) {
            if (TrashFails)
                return false;
            Trashed.push_back(path);
            fs::remove(path);
            return true;
        };
        Session.Hooks.StopPlayback = [this] {
            Events.push_back("stop");
            Session.CurrentTrack = nullptr;
        };
    }

    void TearDown() override
    {
        List.reset();
        LoaderTest::TearDown();
    }

    TTrackData& Track(int index) { return *List->plDataList[size_t(index)]; }

    std::unique_ptr<TVPlayList> List;
    std::vector<std::string> Trashed;
    std::vector<std::string> Events;
    bool TrashFails = false;
};

TEST_F(SelectionTest, SelectAllNoneAndInvert)
{
    TTrackSelection& selection = Session.Selection();
    Track(1).tdSelected = true;
    selection.Add(Track(1));
    Select(*List, selInvert, selection);
    EXPECT_EQ(selection.Count(), 3u);
    EXPECT_FALSE(Track(1).tdSelected);
    EXPECT_EQ(List->plSelCount, 3);
    Select(*List, selAll, selection);
    EXPECT_EQ(selection.Count(), 4u);
    EXPECT_EQ(List->plSelCount, 4);
    Select(*List, sellNone, selection);
    EXPECT_TRUE(selection.Empty());
    EXPECT_EQ(List->plSelCount, 0);
}

TEST_F(SelectionTest, CopyAndCutHandOverTheFilesFromLastToFirst)
{
    TTrackSelection& selection = Session.Selection();
    selection.Add(Track(2));
    selection.Add(Track(0));
    TFakeShell shell;
    ASSERT_TRUE(CutSelected(selection, shell));
    EXPECT_EQ(shell.ClipboardVerb, TClipboardVerb::cvCut);
    EXPECT_EQ(
        shell.ClipboardPaths, (std::vector<std::string> { Track(0).GetTag(tkFilePath), Track(2).GetTag(tkFilePath) }));
    ASSERT_TRUE(CopySelected(selection, shell));
    EXPECT_EQ(shell.ClipboardVerb, TClipboardVerb::cvCopy);
    EXPECT_EQ(selection.Count(), 2u) << "nothing else changes";
    EXPECT_EQ(List->TrackCount(), 4);
}

TEST_F(SelectionTest, DeletingThreeSelectedTracksTrashesTheirFilesAndStopsPlaybackFirst)
{
    TTrackSelection& selection = Session.Selection();
    for (int i : { 3, 0, 1 })
        selection.Add(Track(i));
    Session.CurrentTrack = &Track(0);
    Session.Hooks.MoveToTrash = [this, inner = Session.Hooks.MoveToTrash](const std::string& path) {
        Events.push_back(fs::path(path).filename().string());
        return inner(path);
    };
    std::vector<std::string> const paths = { Track(3).GetTag(tkFilePath), Track(0).GetTag(tkFilePath),
        Track(1).GetTag(tkFilePath) };

    TFakeMessageBox no;
    EXPECT_EQ(DeleteSelected(selection, no), 0u);
    EXPECT_EQ(List->TrackCount(), 4);

    TFakeMessageBox yes;
    yes.Answers = { true };
    EXPECT_EQ(DeleteSelected(selection, yes), 3u);
    ASSERT_EQ(yes.Shown.size(), 1u);
    EXPECT_EQ(yes.Shown[0].Text, "Messages.FileDelete? [3] Messages.Files?");
    EXPECT_EQ(yes.Shown[0].Caption, "Messages.FileDelete");
    EXPECT_EQ(Trashed, paths);
    EXPECT_EQ(Events, (std::vector<std::string> { "d.mp3", "stop", "a.mp3", "b.mp3" }));
    EXPECT_TRUE(selection.Empty());
    ASSERT_EQ(List->TrackCount(), 1);
    EXPECT_TRUE(List->plNeeedSave);
    EXPECT_EQ(Session.CurrentTrack, nullptr);
}

TEST_F(SelectionTest, AFileThatCannotBeTrashedKeepsItsTrack)
{
    TTrackSelection& selection = Session.Selection();
    selection.Add(Track(2));
    TrashFails = true;
    TFakeMessageBox yes;
    yes.Answers = { true };
    EXPECT_EQ(DeleteSelected(selection, yes), 0u);
    EXPECT_EQ(List->TrackCount(), 4);
    EXPECT_EQ(selection.Count(), 1u);

    TrashFails = false;
    yes.Answers = { true };
    EXPECT_TRUE(DeleteTrack(Track(2), yes));
    EXPECT_EQ(yes.Shown.back().Text, "Messages.FileDelete? [c.mp3] Messages.File?");
    EXPECT_TRUE(selection.Empty());
}

TEST_F(SelectionTest, RemoveFromListKeepsTheFiles)
{
    TTrackSelection& selection = Session.Selection();
    selection.Add(Track(1));
    selection.Add(Track(2));
    std::string const path = Track(1).GetTag(tkFilePath);
    int arranged = 0;
    Session.LoaderHooks.Arrange = [&](TVPlayList&) { ++arranged; };
    RemoveSelected(selection);
    EXPECT_TRUE(selection.Empty());
    EXPECT_EQ(List->TrackCount(), 2);
    EXPECT_TRUE(fs::exists(path));
    EXPECT_TRUE(Trashed.empty());
    EXPECT_EQ(List->plSelCount, 0);
    EXPECT_EQ(arranged, 1);
}

}
}
