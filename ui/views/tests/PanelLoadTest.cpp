// The panel at start-up, with every list loading on its own thread.

#include "library/tests/LoaderFixture.h"

#include "platform/window/FakeMessageBox.h"
#include "ui/views/playlist/PlayListPanel.h"

namespace vantor {
namespace {

// The start-up path: the panel adds the five special lists and every playlist file, and each
// loads on its own loader at the same time; the last list of the previous run becomes current.
// A user list is then deleted while a large drop loads into it.
TEST_F(LoaderTest, PanelStartUpLoadsEveryListOnItsOwnThreadAndDeletesOneWhileItLoads)
{
    std::vector<fs::path> tracks;
    for (int t = 0; t < 3; ++t)
        tracks.push_back(CopyTrack("no-cover.mp3", "music/" + std::to_string(t) + ".mp3"));
    for (const char* special : { "Default.vlbr", "Library.vlbr", "Favorite.vlbr", "Radio.vlbr", "Top.vlbr" })
        WritePlaylist(Root / "Playlists" / special, { tracks[0] });
    for (int i = 0; i < 3; ++i)
        WritePlaylist(Root / "Playlists" / ("Mix " + std::to_string(i) + ".vpl"), tracks, "#10" + std::to_string(i));
    Session.LastPlayListID = "#101";

    auto panel = TSmartCtrl::Create<TPlayListPanel>(Session);
    ConnectPlaylistWorkers(Session, Dispatcher);
    panel->StartLoad = [](TVPlayList& list, bool activate) { Load_Start(list, true, activate, false); };
    panel->LoadPlaylists();
    ASSERT_EQ(panel->Count(), 8);
    ASSERT_TRUE(WaitForCommits(8)) << "the loads did not finish";
    for (TVPlayList* list : panel->PlayLists()) {
        EXPECT_TRUE(Load_Active(*list));
        EXPECT_EQ(list->TrackCount(), list->plCanDelete ? 3 : 1) << list->plPath;
    }
    TVPlayList* last = nullptr;
    ASSERT_TRUE(panel->GetPlayList("#101", last));
    EXPECT_EQ(Session.CurrentPlayList, last);
    EXPECT_TRUE(Icons_Active(*last)) << "the current list's covers start after its load";
    for (TVPlayList* list : panel->PlayLists())
        EXPECT_FALSE(Icons_Active(*list) && list != last);

    for (int i = 0; i < 200; ++i)
        CopyTrack("no-cover.mp3", "big/" + std::to_string(i) + ".mp3");
    OnDrop(*last, { (Root / "big").string() });
    ASSERT_TRUE(testing::RunPostedUntil(Dispatcher, [&] { return last->plLoadingPos > 0; }));
    TFakeMessageBox yes;
    yes.Answers = { true };
    panel->MessageBox = &yes;
    ASSERT_TRUE(panel->RemovePlaylist(last));
    EXPECT_EQ(panel->Count(), 7);
    EXPECT_EQ(Session.CurrentPlayList, nullptr);
    panel.reset();
    Session.LastPlayListID.clear();
}

}
}
