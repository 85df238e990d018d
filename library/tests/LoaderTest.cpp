#include "library/tests/LoaderFixture.h"

#include "library/SpecialLists.h"
#include "platform/window/FakeMessageBox.h"

#include <algorithm>
#include <thread>

namespace vantor {
namespace {

using TListPtr = std::unique_ptr<TVPlayList>;

TEST_F(LoaderTest, AllSpecialListsAndThreeUserListsLoadAtOnce)
{
    std::vector<TListPtr> lists;
    lists.push_back(std::make_unique<TDefaultList>(Session));
    lists.push_back(std::make_unique<TLibraryList>(Session));
    lists.push_back(std::make_unique<TFavoriteList>(Session));
    lists.push_back(std::make_unique<TRadioList>(Session));
    lists.push_back(std::make_unique<TMostPlayedList>(Session));
    for (int i = 0; i < 3; ++i) {
        lists.push_back(std::make_unique<TVPlayList>(Session));
        lists.back()->plPath = (Root / "Playlists" / ("Mix " + std::to_string(i) + ".vpl")).string();
    }
    // List i holds i + 1 tracks, and one section whose file is gone.
    for (size_t i = 0; i < lists.size(); ++i) {
        std::vector<fs::path> tracks;
        for (size_t t = 0; t <= i; ++t)
            tracks.push_back(
                CopyTrack("no-cover.mp3", fs::path("music") / std::to_string(i) / (std::to_string(t) + ".mp3")));
        tracks.push_back(Root / "gone.mp3");
        WritePlaylist(lists[i]->plPath, tracks);
        lists[i]->LoadSettings();
    }
    for (auto& list : lists)
        Load_Start(*list, true, false, false);
    ASSERT_TRUE(WaitForCommits(int(lists.size()))) << "the loads did not finish";
    for (size_t i = 0; i < lists.size(); ++i) {
        EXPECT_EQ(lists[i]->TrackCount(), int(i + 1)) << lists[i]->plPath;
        EXPECT_FALSE(lists[i]->plLoading);
        EXPECT_FALSE(lists[i]->plGroups.empty());
        EXPECT_FALSE(lists[i]->plNeeedSave) << "reading a playlist file changes nothing to save";
    }
    EXPECT_EQ(PlayPauses, 0);
}

// Start-up order: the default list's first load (its file) has not taken its work when the
// command line arrives with activation and play-on-load. Both the file's tracks and the
// argument end up in the list, and the argument plays in the activated list.
TEST_F(LoaderTest, CommandLineBeforeTheFirstLoadStartedKeepsTheFileAndPlaysInTheRightList)
{
    std::vector<fs::path> const saved = { CopyTrack("no-cover.mp3", "saved/1.mp3"),
        CopyTrack("no-cover.mp3", "saved/2.mp3") };
    WritePlaylist(Root / "Playlists/Default.vlbr", saved);
    fs::path const argument = CopyTrack("red-cover.mp3", "argument.mp3");
    auto list = std::make_unique<TDefaultList>(Session);
    list->LoadSettings();
    Load_Start(*list, true, false, false);

    TVPlayList* currentWhenPlayed = nullptr;
    Session.LoaderHooks.PlayPause = [&] {
        ++PlayPauses;
        currentWhenPlayed = Session.CurrentPlayList;
    };
    list->plDropList = { argument.string() };
    list->plPlayFile = true;
    Load_Start(*list, true, true, true);
    // The first load may have been stopped before it ran at all: wait for the content.
    ASSERT_TRUE(testing::RunPostedUntil(
        Dispatcher, [&] { return PlayPauses > 0; }, std::chrono::seconds(60)));
    std::vector<std::string> paths = Paths(*list);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string> { argument.string(), saved[0].string(), saved[1].string() }));
    EXPECT_EQ(PlayPauses, 1);
    EXPECT_EQ(currentWhenPlayed, list.get());

    // Later loads never read the file again.
    int const before = Commits;
    Load_Reset(*list);
    ASSERT_TRUE(WaitForCommits(before + 1)) << "the loads did not finish";
    EXPECT_EQ(list->TrackCount(), 3);
}

TEST_F(LoaderTest, DroppedFolderAddsSubfolderFilesFirstAndTestsTypes)
{
    CopyTrack("no-cover.mp3", "drop/Album/Sub/s1.mp3");
    CopyTrack("no-cover.mp3", "drop/Album/Sub/s2.mp3");
    CopyTrack("no-cover.mp3", "drop/Album/own1.mp3");
    CopyTrack("no-cover.mp3", "drop/Album/own2.mp3");
    CopyTrack("no-cover.mp3", "drop/Album/Shout.MP3");
    WriteText(Root / "drop/readme.txt", "not audio");

    auto list = std::make_unique<TVPlayList>(Session);
    list->plPlayFile = false;
    bool const ascendingBefore = list->plAscending;
    std::string const text = (Root / "drop/readme.txt").string();
    OnDrop(*list, { (Root / "drop/Album").string(), text, text });
    ASSERT_TRUE(WaitForCommits(1)) << "the loads did not finish";

    std::vector<std::string> const paths = Paths(*list);
    ASSERT_EQ(paths.size(), 5u);
    std::vector<std::string> first(paths.begin(), paths.begin() + 2);
    std::sort(first.begin(), first.end());
    EXPECT_EQ(first[0], (Root / "drop/Album/Sub/s1.mp3").string());
    EXPECT_EQ(first[1], (Root / "drop/Album/Sub/s2.mp3").string());
    EXPECT_EQ(paths[4], text) << "a dropped file is not type-tested, and a second drop of it adds nothing";
    EXPECT_EQ(std::count(paths.begin(), paths.end(), (Root / "drop/Album/Shout.MP3").string()), 0);
    EXPECT_EQ(list->plDataList[4]->GetTag("TrackName"), "") << "a text file has only its file-system keys";
    EXPECT_EQ(list->plDataList[4]->GetTag("FileName"), "readme.txt");

    EXPECT_TRUE(list->plNeeedSave);
    EXPECT_EQ(PlayPauses, 0) << "a drop starts no playback";
    EXPECT_EQ(Session.CurrentPlayList, nullptr) << "a drop does not activate";
    EXPECT_EQ(list->plAscending, ascendingBefore) << "a drop keeps the list's direction";
    EXPECT_TRUE(list->plDropList.empty());
}

TEST_F(LoaderTest, DropWhileALoadRunsLosesNothing)
{
    std::vector<std::string> first, second;
    for (int i = 0; i < 60; ++i)
        first.push_back(CopyTrack("no-cover.mp3", "one/" + std::to_string(i) + ".mp3").string());
    for (int i = 0; i < 5; ++i)
        second.push_back(CopyTrack("no-cover.mp3", "two/" + std::to_string(i) + ".mp3").string());

    auto list = std::make_unique<TVPlayList>(Session);
    OnDrop(*list, { (Root / "one").string() });
    // The second drop lands while the first load reads its files (or before it took them).
    OnDrop(*list, { (Root / "two").string(), first[0] });
    EXPECT_TRUE(testing::RunPostedUntil(
        Dispatcher, [&] { return list->TrackCount() >= 65; }, std::chrono::seconds(60)));
    Load_Stop(*list);
    EXPECT_EQ(list->TrackCount(), 65) << "both drops are added, each file once";
    EXPECT_FALSE(list->plLoading);
}

TEST_F(LoaderTest, RescanAddsNewFilesAndKeepsTracksOfRemovedOnes)
{
    fs::path const a = CopyTrack("no-cover.mp3", "linked/a.mp3");
    fs::path const b = CopyTrack("no-cover.mp3", "linked/b.mp3");
    auto list = std::make_unique<TVPlayList>(Session);
    list->plLinkedFolders = { (Root / "linked").string() };
    ReScan(*list);
    ASSERT_TRUE(WaitForCommits(1)) << "the loads did not finish";
    ASSERT_EQ(list->TrackCount(), 2);
    EXPECT_TRUE(list->plNeeedSave) << "the tracks a rescan found are written at the next save";

    fs::path const c = CopyTrack("no-cover.mp3", "linked/c.mp3");
    fs::remove(a);
    ReScan(*list);
    ASSERT_TRUE(WaitForCommits(2)) << "the loads did not finish";
    std::vector<std::string> paths = Paths(*list);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string> { a.string(), b.string(), c.string() }));
}

// The loader is blocked in its first hand-off (this thread runs none) when the list stops it.
TEST_F(LoaderTest, StoppingALoaderThatWaitsForItsHandOffDoesNotDeadlock)
{
    CopyTrack("no-cover.mp3", "stop/a.mp3");
    auto list = std::make_unique<TVPlayList>(Session);
    list->plDropList = { (Root / "stop").string() };
    Load_Start(*list, true, false, true);
    ASSERT_TRUE(testing::WaitUntil([&] { return Queued > 0; })) << "the loader queued no hand-off";
    Load_Stop(*list);
    EXPECT_FALSE(Load_Active(*list));
    EXPECT_EQ(Commits, 1) << "a plain stop lets the load finish and hand over";
    EXPECT_EQ(list->TrackCount(), 1);
}

TEST_F(LoaderTest, DeletingAListWhileItLoadsStopsItsLoader)
{
    for (int i = 0; i < 200; ++i)
        CopyTrack("no-cover.mp3", "big/" + std::to_string(i) + ".mp3");
    for (int round = 0; round < 3; ++round) {
        auto list = std::make_unique<TVPlayList>(Session);
        OnDrop(*list, { (Root / "big").string() });
        // Let the load take its work and read files up to a point, then free the list: at
        // the first file, and later in the middle of the folder.
        int32_t const upTo = round == 2 ? 100 : 1;
        ASSERT_TRUE(testing::RunPostedUntil(Dispatcher, [&] { return list->plLoadingPos >= upTo; }));
        list.reset();
    }
    Dispatcher.RunPosted();
    EXPECT_EQ(Commits, 0) << "an aborted load hands nothing over";
}

TEST_F(LoaderTest, FilesThatVanishOrTurnIntoFoldersAreSkipped)
{
    std::vector<fs::path> files;
    for (int i = 0; i < 4; ++i)
        files.push_back(CopyTrack("no-cover.mp3", "vanish/" + std::to_string(i) + ".mp3"));
    // Before the first file is read, two of the collected files change behind the scan.
    bool changed = false;
    Session.Hooks.RepaintBottomBar = [&] {
        if (changed)
            return;
        changed = true;
        for (int i : { 1, 2 })
            fs::remove(files[size_t(i)]);
        fs::create_directory(files[2]);
    };
    auto list = std::make_unique<TVPlayList>(Session);
    OnDrop(*list, { (Root / "vanish").string() });
    ASSERT_TRUE(WaitForCommits(1)) << "the loads did not finish";
    std::vector<std::string> paths = Paths(*list);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string> { files[0].string(), files[3].string() }));
}

TEST_F(LoaderTest, ActivatingLoadMakesTheListCurrentPlaysAndStartsItsCovers)
{
    CopyTrack("red-cover.mp3", "play/red.mp3");
    auto list = std::make_unique<TDefaultList>(Session);
    auto other = std::make_unique<TVPlayList>(Session);
    int arranged = 0;
    Session.LoaderHooks.Arrange = [&](TVPlayList& current) {
        EXPECT_EQ(&current, list.get());
        ++arranged;
    };
    list->plDropList = { (Root / "play/red.mp3").string() };
    list->plPlayFile = true;
    Load_Start(*list, true, true, true);
    ASSERT_TRUE(WaitForCommits(1)) << "the loads did not finish";
    EXPECT_EQ(Session.CurrentPlayList, list.get());
    EXPECT_EQ(PlayPauses, 1);
    EXPECT_FALSE(list->plPlayFile);
    EXPECT_TRUE(Icons_Active(*list)) << "the current list's covers start after its load";
    EXPECT_EQ(arranged, 1);

    // A later load of another list neither plays nor starts covers there.
    other->plDropList = { (Root / "play/red.mp3").string() };
    Load_Start(*other, true, false, true);
    ASSERT_TRUE(WaitForCommits(2)) << "the loads did not finish";
    EXPECT_EQ(PlayPauses, 1);
    EXPECT_FALSE(Icons_Active(*other));
    EXPECT_EQ(Session.CurrentPlayList, list.get());
}

TEST_F(LoaderTest, RowsOfADropShowWhileItLoadsAndComeOnceInOrder)
{
    std::vector<std::string> files;
    for (int i = 0; i < 30; ++i)
        files.push_back(CopyTrack("no-cover.mp3", "many/" + std::to_string(100 + i) + ".mp3").string());
    Session.LoaderHooks.FirstBatch = std::chrono::milliseconds(0);
    Session.LoaderHooks.BatchInterval = std::chrono::milliseconds(0);
    auto list = std::make_unique<TVPlayList>(Session);
    int shownWhileLoading = 0;
    Session.LoaderHooks.Repaint = [&] {
        if (list->plLoading && list->TrackCount() > 0 && !list->plGroups.empty())
            shownWhileLoading = std::max(shownWhileLoading, list->TrackCount());
    };
    OnDrop(*list, { (Root / "many").string(), files[3] });
    ASSERT_TRUE(WaitForCommits(1)) << "the load did not finish";
    Session.LoaderHooks.Repaint = nullptr;
    EXPECT_GT(shownWhileLoading, 0) << "no rows while loading";
    EXPECT_LT(shownWhileLoading, 30);
    std::vector<std::string> paths = Paths(*list);
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, files) << "each file once";
    EXPECT_FALSE(list->plLoading);
}

}
}
