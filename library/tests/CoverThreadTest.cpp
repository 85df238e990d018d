#include "library/tests/LoaderFixture.h"

#include "library/SmartThread.h"

#include <mutex>

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
        auto list = TSmartCtrl::Create<TVPlayList>();
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
        list->SetHeight(1000);
        list->GroupPlaylist(gmFolder, false);
        PlaceGroups(*list, 0);
        App.CurrentPlayList = list.get();
        return list;
    }

    static void PlaceGroups(TVPlayList& list, int top)
    {
        for (TGroupData* group : list.plGroups) {
            group->SetTop(top);
            group->SetHeight(50);
            top += 50;
        }
    }

    void WaitFor(const std::function<bool()>& done)
    {
        auto const deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        Dispatcher.RunPostedUntil([&] { return done() || std::chrono::steady_clock::now() > deadline; },
            std::chrono::milliseconds(1));
        ASSERT_TRUE(done());
    }
};

TEST_F(CoverThreadTest, APictureThatFailsToDecodeIsSkipped)
{
    // Rows sort by title ascending: Broken before Red.
    auto list = MakeList({ { "broken-cover.mp3", "red-cover.mp3" }, { "broken-cover.mp3" } });
    ASSERT_EQ(list->plGroups.size(), 2);
    ASSERT_TRUE(list->plAscending);
    CoverHooks().CoverSize = [](const TVPlayList&, const TGroupData&, int& width, int& height) {
        width = 10;
        height = 8;
    };
    int repaints = 0;
    CoverHooks().RepaintList = [&](TVPlayList&) { ++repaints; };
    Icons_Start(*list, true);
    TGroupData& both = *list->plGroups[0];
    TGroupData& brokenOnly = *list->plGroups[1];
    WaitFor([&] { return both.gdHaveCover.load() && !brokenOnly.gdNeedIcons; });
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
    WaitFor([&] { return list->plGroups[0]->gdHaveCover && list->plGroups[1]->gdHaveCover; });
    // Scrolled: the first group ends above the list, the second reaches in from above.
    list->plGroups[0]->SetTop(-50);
    list->plGroups[1]->SetTop(-25);
    TGroupData& first = *list->plGroups[0];
    WaitFor([&] { return first.gdNeedIcons.load(); });
    EXPECT_FALSE(first.gdHaveCover);
    EXPECT_EQ(first.gdPicture, nullptr);
    EXPECT_TRUE(list->plGroups[1]->gdHaveCover);
    // Not the current list: nothing is loaded.
    App.CurrentPlayList = nullptr;
    list->plGroups[0]->SetTop(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
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
        Dispatcher.RunPostedUntil([&] { return std::chrono::steady_clock::now() > until; },
            std::chrono::milliseconds(1));
        list->GroupPlaylist(gmFolder, false);
        PlaceGroups(*list, 0);
        Dispatcher.RunPosted();
    }
    WaitFor([&] {
        for (const auto& group : list->plGroups)
            if (!group->gdHaveCover)
                return false;
        return true;
    });
    Icons_Stop(*list);
    list.reset(); // freeing a list with covers
}

TEST_F(CoverThreadTest, DeletingAListStopsItsCoverThread)
{
    auto list = MakeList({ { "red-cover.mp3" } });
    Icons_Start(*list, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    list.reset();
    Dispatcher.RunPosted();
    SUCCEED();
}

}
}
