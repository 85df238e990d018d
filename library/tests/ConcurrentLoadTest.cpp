#include "library/tests/LibraryTestSupport.h"

#include <thread>

namespace vantor::testing {
namespace {

// Loaders read files and build groupings on their own threads at the same time (start-up
// loads every list at once); the UI thread commits the results.
TEST_F(LibraryTest, ListsLoadOnSeveralThreadsAtOnce)
{
    constexpr int kLists = 4;
    constexpr int kTracks = 200;
    std::string const song = AudioFile("song.mp3");
    std::vector<std::unique_ptr<TVPlayList>> lists;
    std::vector<std::string> paths;
    for (int l = 0; l < kLists; ++l) {
        std::string text;
        for (int t = 0; t < kTracks; ++t) {
            text += '[';
            text += std::to_string(t);
            text += "]\nFilePath=" + song + "\nTrackName=" + std::to_string(t % 13) + "\nOwn Key ";
            text += std::to_string(l) + "-" + std::to_string(t % 5) + "=v\nArtist=a\n";
        }
        paths.push_back((Root / ("list" + std::to_string(l) + ".vpl")).string());
        WriteBytes(paths.back(), text);
        lists.push_back(std::make_unique<TVPlayList>(Session));
    }

    std::vector<std::vector<std::unique_ptr<TTrackData>>> tracks(kLists);
    std::vector<TGrouping> groupings(kLists);
    std::vector<std::thread> loaders;
    for (int l = 0; l < kLists; ++l) {
        loaders.emplace_back([&, l] {
            tracks[l] = lists[l]->ReadTracksFile(paths[l]);
            std::vector<TTrackData*> pointers;
            for (auto const& track : tracks[l])
                pointers.push_back(track.get());
            groupings[l] = TVPlayList::BuildGrouping(pointers, gmTrackName, true, lists[l].get());
        });
    }
    for (int l = 0; l < kLists; ++l) {
        // The bottom bar reads the progress while the loaders run.
        (void)lists[l]->plLoadingPos.load();
        (void)lists[l]->LoadingText();
    }
    for (auto& loader : loaders)
        loader.join();

    for (int l = 0; l < kLists; ++l) {
        lists[l]->AppendTracks(std::move(tracks[l]));
        lists[l]->CommitGrouping(std::move(groupings[l]));
        ASSERT_EQ(lists[l]->TrackCount(), kTracks);
        EXPECT_EQ(lists[l]->plGroups.size(), 10); // "0".."9" (10, 11, 12 file under "1")
        EXPECT_EQ(lists[l]->GetTrackData(7)->GetTag("own key " + std::to_string(l) + "-2"), "v");
        EXPECT_EQ(lists[l]->GetTrackData(7)->tdItemData->idTrackData, lists[l]->GetTrackData(7));
    }
}

}
}
