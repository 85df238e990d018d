#include "library/tests/LoaderFixture.h"

#include "library/SmartThread.h"

#include <unordered_set>

namespace vantor {
namespace {

std::string Track(const std::string& name) { return std::string(VANTOR_TEST_DATA) + "/covers/tracks/" + name; }

TEST(CoverPicture, ReadsAndDecodesTheFirstPictureOfATrack)
{
    TBitmap const red = ReadFirstPicture(Track("red-cover.mp3"));
    ASSERT_EQ(red.Width(), 32);
    EXPECT_GT((red.PixelAt(4, 4) >> 16) & 0xFF, 0xF0u);
    uint32_t const yellow = ReadFirstPicture(Track("yellow-cover.mp3")).PixelAt(1, 1);
    EXPECT_GT((yellow >> 8) & 0xFF, 0xF0u) << std::hex << yellow;
    EXPECT_LT(yellow & 0xFF, 0x10u) << std::hex << yellow;
    EXPECT_TRUE(ReadFirstPicture(Track("broken-cover.mp3")).IsEmpty());
    EXPECT_TRUE(ReadFirstPicture(Track("no-cover.mp3")).IsEmpty());
    EXPECT_TRUE(ReadFirstPicture(Track("missing.mp3")).IsEmpty());
}

class CoverThreadTest : public LoaderTest {
protected:
    // A current list grouped by folder: one group per folder, every group on screen.
    std::unique_ptr<TVPlayList> MakeList(const std::vector<std::vector<std::string>>& folders)
    {
        auto list = std::make_unique<TVPlayList>(Session);
        list->plGroupMode = gmArtist;
        for (size_t f = 0; f < folders.size(); ++f)
            for (size_t t = 0; t < folders[f].size(); ++t) {
                std::string name = std::to_string(t);
                name += '-';
                name += folders[f][t];
                fs::path const file = CopyTrack(folders[f][t], fs::path("covers") / std::to_string(f) / name);
                auto track = std::make_unique<TTrackData>();
                track->SetTag(tkFilePath, file.string());
                EXPECT_TRUE(track->ReadTags());
                list->AppendTrack(std::move(track));
            }
        list->GroupPlaylist(gmFolder, false);
        Session.CurrentPlayList = list.get();
        // The walk asks on the UI thread, like the test changes the set.
        Session.CoverHooks.GroupShown = [this](const TVPlayList&, const TGroupData& group) {
            return !m_hidden.contains(&group);
        };
        return list;
    }

    // Scrolls a group off screen, or back.
    void SetShown(const TGroupData* group, bool shown)
    {
        if (shown)
            m_hidden.erase(group);
        else
            m_hidden.insert(group);
    }

    // Runs hand-offs until done() holds; false when it never does (ASSERT_TRUE(WaitFor(...))).
    [[nodiscard]] bool WaitFor(const std::function<bool()>& done) { return testing::RunPostedUntil(Dispatcher, done); }

private:
    std::unordered_set<const TGroupData*> m_hidden;
};

TEST_F(CoverThreadTest, APictureThatFailsToDecodeIsSkipped)
{
    // Rows sort by title ascending: Broken before Red.
    auto list = MakeList({ { "broken-cover.mp3", "red-cover.mp3" }, { "broken-cover.mp3" } });
    ASSERT_EQ(list->plGroups.size(), 2);
    ASSERT_TRUE(list->plAscending);
    Session.CoverHooks.CoverSize = [](const TVPlayList&, const TGroupData&, int& width, int& height) {
        width = 10;
        height = 8;
    };
    int repaints = 0;
    Session.CoverHooks.RepaintList = [&](TVPlayList&) { ++repaints; };
    Icons_Start(*list, true);
    TGroupData& both = *list->plGroups[0];
    TGroupData& brokenOnly = *list->plGroups[1];
    ASSERT_TRUE(WaitFor([&] { return both.gdHaveCover.load() && !brokenOnly.gdNeedIcons; }));
    Icons_Stop(*list);
    EXPECT_EQ(both.gdPicture->Width(), 10);
    EXPECT_EQ(both.gdPicture->Height(), 8);
    EXPECT_EQ(both.gdPictureCache->Width(), 32) << "the cache holds the picture as decoded";
    EXPECT_FALSE(brokenOnly.gdHaveCover);
    EXPECT_EQ(repaints, 1);
}

TEST_F(CoverThreadTest, GroupsOffScreenReleaseTheirPictures)
{
    auto list = MakeList({ { "red-cover.mp3" }, { "yellow-cover.mp3" } });
    Icons_Start(*list, true);
    ASSERT_TRUE(WaitFor([&] { return list->plGroups[0]->gdHaveCover && list->plGroups[1]->gdHaveCover; }));
    // Scrolled: the first group is above the list, the second still reaches in.
    SetShown(list->plGroups[0], false);
    TGroupData& first = *list->plGroups[0];
    ASSERT_TRUE(WaitFor([&] { return first.gdNeedIcons.load(); }));
    EXPECT_FALSE(first.gdHaveCover);
    EXPECT_EQ(first.gdPicture, nullptr);
    EXPECT_TRUE(list->plGroups[1]->gdHaveCover);
    // Not the current list: nothing is loaded. Each walk starts with a hand-off, so once two
    // more have run a whole walk has seen the list as not current.
    Session.CurrentPlayList = nullptr;
    SetShown(list->plGroups[0], true);
    int const walks = Queued;
    ASSERT_TRUE(WaitFor([&] { return Queued >= walks + 2; }));
    Dispatcher.RunPosted();
    EXPECT_TRUE(first.gdNeedIcons);
    Icons_Stop(*list);
}

// The UI thread regroups again and again while the cover thread walks: the thread never sees a
// freed group and stores pictures only into the groups of the current grouping.
TEST_F(CoverThreadTest, RegroupingWhileTheCoverThreadWalks)
{
    std::vector<std::vector<std::string>> folders;
    for (int f = 0; f < 12; ++f)
        folders.push_back({ "broken-cover.mp3", f % 2 ? "red-cover.mp3" : "yellow-cover.mp3" });
    auto list = MakeList(folders);
    Icons_Start(*list, true);
    for (int round = 0; round < 40; ++round) {
        auto const until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2);
        Dispatcher.RunPostedUntil(
            [&] { return std::chrono::steady_clock::now() > until; }, std::chrono::milliseconds(1));
        list->GroupPlaylist(gmFolder, false);
        Dispatcher.RunPosted();
    }
    ASSERT_TRUE(WaitFor([&] {
        for (const auto& group : list->plGroups)
            if (!group->gdHaveCover)
                return false;
        return true;
    }));
    Icons_Stop(*list);
    list.reset(); // freeing a list with covers
}

// Freed while a hand-off of its thread waits in the queue: the thread ends, the hand-off never
// touches the freed list, and nothing repaints afterwards.
TEST_F(CoverThreadTest, DeletingAListStopsItsCoverThread)
{
    auto list = MakeList({ { "red-cover.mp3" } });
    std::atomic<int> repaints { 0 };
    Session.CoverHooks.RepaintList = [&](TVPlayList&) { ++repaints; };
    Icons_Start(*list, true);
    ASSERT_TRUE(WaitFor([&] { return repaints > 0; })) << "the cover never arrived";
    int const queued = Queued;
    ASSERT_TRUE(testing::WaitUntil([&] { return Queued > queued; })) << "no further walk began";
    list.reset();
    int const after = Queued;
    int const repainted = repaints;
    Dispatcher.RunPosted();
    // A thread still running would walk every 2 ms.
    EXPECT_FALSE(testing::WaitUntil([&] { return Queued != after; }, std::chrono::milliseconds(100)));
    Dispatcher.RunPosted();
    EXPECT_EQ(repaints, repainted);
}

}
}
