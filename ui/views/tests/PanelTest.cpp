#include "library/tests/LibraryTestSupport.h"

#include "base/IniFile.h"
#include "library/PlayQueue.h"
#include "platform/window/FakeMessageBox.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/SmartScroll.h"

#include <set>

namespace vantor::testing {
namespace {

class Panel : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        ThePanel = TSmartCtrl::Create<TPlayListPanel>(Session);
        ThePanel->MessageBox = &Box;
    }
    void TearDown() override
    {
        ThePanel.reset();
        LibraryTest::TearDown();
    }

    void PlaylistFile(const std::filesystem::path& path, const std::string& id, const std::string& track)
    {
        WriteBytes(path, "[t1]\nFilePath=" + track + "\nTrackName=T\n[#Settings]\nCaption=C\nID=" + id + "\n");
    }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (TVPlayList* list : ThePanel->PlayLists())
            captions.push_back(list->plCaption);
        return captions;
    }

    TFakeMessageBox Box;
    std::unique_ptr<TPlayListPanel> ThePanel;
};

TEST_F(Panel, LoadsSpecialListsThenPlaylistFilesSubfoldersFirst)
{
    std::string const song = AudioFile("song.mp3");
    PlaylistFile(Root / "Playlists" / "Top.vpl", "#1", song);
    PlaylistFile(Root / "Playlists" / "Mix.vpl.bak", "#2", song);
    PlaylistFile(Root / "Playlists" / "Old" / "Deep.vpl", "#3", song);
    WriteBytes(Root / "Playlists" / "notes.txt", "x");
    Session.LastPlayListID = "#3";

    ThePanel->LoadPlaylists();
    ASSERT_EQ(ThePanel->Count(), 8);
    EXPECT_NE(Session.Special.Default, nullptr);
    EXPECT_EQ(ThePanel->PlayList(2), Session.Special.Favorites);
    EXPECT_EQ(ThePanel->PlayList(0)->plCaption, "PlayList.Default");
    EXPECT_FALSE(ThePanel->PlayList(0)->plCanDelete);
    EXPECT_EQ(ThePanel->PlayList(5)->plID, "#3"); // the subfolder's list comes first
    std::set<std::string> const files { ThePanel->PlayList(6)->plFileName, ThePanel->PlayList(7)->plFileName };
    EXPECT_EQ(files, std::set<std::string>({ "Top.vpl", "Mix.vpl.bak" }));
    EXPECT_EQ(ThePanel->PlayList(5)->TrackCount(), 1);

    // "LastPlayList" made the list current; a second look-up of a special list gives nothing new.
    EXPECT_EQ(Session.CurrentPlayList, ThePanel->PlayList(5));
    EXPECT_EQ(ThePanel->AddPlaylist("#Library", false), nullptr);
    TVPlayList* found = nullptr;
    ASSERT_TRUE(ThePanel->GetPlayList("#2", found));
    EXPECT_EQ(ThePanel->AddPlaylist("#2", false), found);
    EXPECT_EQ(Session.CurrentPlayList, found);

    // The subfolder's list is written back into "Playlists" itself.
    ASSERT_TRUE(ThePanel->SaveAll());
    EXPECT_TRUE(std::filesystem::exists(Root / "Playlists" / "Deep.vpl"));
    EXPECT_TRUE(std::filesystem::exists(Root / "Playlists" / "Default.vlbr"));
}

TEST_F(Panel, NewListsNeverShareAnIDOrAFile)
{
    std::string const song = AudioFile("song.mp3");
    PlaylistFile(Root / "Playlists" / "A.vpl", "#5", song);
    PlaylistFile(Root / "Playlists" / "Sub" / "A.vpl", "#5", song);
    ThePanel->LoadPlaylists();
    TVPlayList* const sub = ThePanel->PlayList(5);
    TVPlayList* const top = ThePanel->PlayList(6);
    EXPECT_EQ(sub->plID, "#5");
    EXPECT_NE(top->plID, "#5");
    EXPECT_NE(top->plFileName, sub->plFileName);

    ThePanel->SetWidth(1000);
    ThePanel->SetHeight(800);
    TVPlayList* const fresh = ThePanel->AddPlaylist("", true);
    EXPECT_EQ(Session.CurrentPlayList, fresh);
    EXPECT_TRUE(ThePanel->ViewOf(fresh)->Visible());
    // Sized while hidden, the view lays itself out when it shows.
    EXPECT_EQ(ThePanel->ViewOf(fresh)->plScrollBar->Left(), 1000 - 65);
    EXPECT_FALSE(ThePanel->ViewOf(sub)->Visible());
    for (TVPlayList* other : ThePanel->PlayLists()) {
        if (other != fresh) {
            EXPECT_NE(other->plID, fresh->plID);
            EXPECT_NE(other->plFileName, fresh->plFileName);
        }
    }
    EXPECT_FALSE(std::filesystem::exists(fresh->SavePath()));
}

TEST_F(Panel, RemovingAListAsksFirstAndReleasesItsTracks)
{
    std::string const song = AudioFile("song.mp3");
    std::filesystem::path const file = Root / "Playlists" / "Gone.vpl";
    PlaylistFile(file, "#9", song);
    ThePanel->LoadPlaylists();
    TVPlayList* const list = ThePanel->PlayList(5);
    TTrackData* const track = list->GetTrackData(0);
    TPlayQueue queue(Session);
    THistory history(Session);
    queue.AddToQueue(track);
    history.AddToHistory(track);
    Session.CurrentTrack = track;

    EXPECT_FALSE(ThePanel->RemovePlaylist(Session.Special.Radio));
    Box.Answers = { false };
    EXPECT_FALSE(ThePanel->RemovePlaylist(list));
    EXPECT_EQ(ThePanel->Count(), 6);
    ASSERT_EQ(Box.Shown.size(), 1u);
    EXPECT_EQ(Box.Shown[0].Text, "Messages.PlaylistDelete?");
    EXPECT_EQ(Box.Shown[0].Caption, "Messages.PlaylistDelete");

    Box.Answers = { true };
    EXPECT_TRUE(ThePanel->RemovePlaylist(list));
    EXPECT_EQ(ThePanel->Count(), 5);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(queue.Count(), 0);
    EXPECT_EQ(history.Count(), 0);
    EXPECT_EQ(Session.CurrentTrack, nullptr);
    EXPECT_EQ(Session.CurrentPlayList, nullptr);
}

TEST_F(Panel, RemovingAListFromASubfolderRemovesTheCopySavedBesideIt)
{
    std::filesystem::path const file = Root / "Playlists" / "Old" / "Deep.vpl";
    PlaylistFile(file, "#4", AudioFile("song.mp3"));
    ThePanel->LoadPlaylists();
    ASSERT_TRUE(ThePanel->SaveAll());
    ASSERT_TRUE(std::filesystem::exists(Root / "Playlists" / "Deep.vpl"));
    Box.Answers = { true };
    ASSERT_TRUE(ThePanel->RemovePlaylist(ThePanel->PlayList(5)));
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(std::filesystem::exists(Root / "Playlists" / "Deep.vpl"));
    EXPECT_TRUE(std::filesystem::exists(Root / "Playlists" / "Default.vlbr"));
}

TEST_F(Panel, APathHoldingHashIsNotALookupName)
{
    std::filesystem::path const folder = Root / "Playlists" / "#hits";
    std::string const song = AudioFile("song.mp3");
    PlaylistFile(folder / "Best.vpl", "#1", song);
    TVPlayList* const list = ThePanel->AddPlaylist((folder / "Best.vpl").string(), false);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->plCaption, "C");
    EXPECT_EQ(list->TrackCount(), 1);
}

}
}
