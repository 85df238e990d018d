#include "library/tests/LibraryTestSupport.h"

#include "base/IniFile.h"
#include "library/PlayQueue.h"
#include "library/SpecialLists.h"

namespace vantor::testing {
namespace {

class Queue : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        A = AddList("#1");
        B = AddList("#2");
        for (const char* name : { "A1", "A2" })
            A->AppendTrack(Track({ { "FilePath", AudioFile(std::string(name) + ".mp3") }, { "FileName", name },
                { "TrackName", name } }));
        B->AppendTrack(Track({ { "FilePath", AudioFile("B1.mp3") }, { "FileName", "B1" }, { "TrackName", "B1" } }));
    }
    TVPlayList* AddList(const std::string& id)
    {
        Lists.push_back(std::make_unique<TVPlayList>(Session));
        Lists.back()->plID = id;
        return Lists.back().get();
    }

    std::vector<TVPlayList*> ListPointers() const
    {
        std::vector<TVPlayList*> lists;
        for (auto const& list : Lists)
            lists.push_back(list.get());
        return lists;
    }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < TheQueue.Count(); ++i)
            names.push_back(TheQueue.Track(i)->GetTag("TrackName"));
        return names;
    }

    std::vector<std::unique_ptr<TVPlayList>> Lists;
    TVPlayList* A = nullptr;
    TVPlayList* B = nullptr;
    TPlayQueue& TheQueue = Session.Queue();
};

TEST_F(Queue, SavedQueueComesBackGroupedByList)
{
    TheQueue.AddToQueue(A->GetTrackData(0));
    TheQueue.AddToQueue(B->GetTrackData(0));
    TheQueue.AddToQueue(A->GetTrackData(1));
    EXPECT_EQ(B->GetTrackData(0)->QueueNumber, 2);

    std::string const path = TheQueue.SaveQueueFile(Root / "Queues", "Party", "Friday");
    ASSERT_FALSE(path.empty());
    std::string const second = TheQueue.SaveQueueFile(Root / "Queues", "Party", "again");
    EXPECT_NE(second, path);
    EXPECT_EQ(TIniFile(path, TIniAccess::WholeFile).ReadString("#Options", "Description", ""), "Friday");
    EXPECT_TRUE(TheQueue.SaveQueueFile(Root / "Queues", "", "no name").empty());
    EXPECT_TRUE(TheQueue.SaveQueueFile(Root / "missing", "Party", "").empty());

    Session.QueueIndex = 2;
    EXPECT_EQ(TheQueue.LoadQueueFile(path, ListPointers()), 3);
    EXPECT_EQ(Names(), std::vector<std::string>({ "A1", "A2", "B1" }));
    EXPECT_EQ(Session.QueueIndex, 0);
    EXPECT_EQ(B->GetTrackData(0)->QueueNumber, 3);

    auto const files = TPlayQueue::ListQueueFiles(Root / "Queues");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].Count, "3");
}

TEST_F(Queue, UnknownListsAndTracksAreSkipped)
{
    std::filesystem::path const path = Root / "Queues" / "Q.vqf";
    WriteBytes(path,
        "[#Options]\nCaption=Q\n[#424242]\nx=1\n[" + A->plID + "]\nnope=1\n" + A->GetTrackData(1)->tdID
            + "=A2\ngarbage\n[" + B->plID + "]\n" + B->GetTrackData(0)->tdID + "=B1\n");
    TheQueue.AddToQueue(A->GetTrackData(0));
    EXPECT_EQ(TheQueue.LoadQueueFile(path, ListPointers()), 2);
    EXPECT_EQ(Names(), std::vector<std::string>({ "A2", "B1" }));
    EXPECT_EQ(A->GetTrackData(0)->QueueNumber, -1); // cleared by the load

    WriteBytes(Root / "Queues" / "Sub" / "Deeper.vqf", "");
    auto const files = TPlayQueue::ListQueueFiles(Root / "Queues");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].Caption, "Queue");
    EXPECT_EQ(files[0].Description, "My Birthday Queue");
    EXPECT_EQ(files[0].Count, "0");
    EXPECT_EQ(files[1].Caption, "Q");
}

TEST_F(Queue, RemovingAPlayedEntryKeepsTheNextOne)
{
    TTrackData* const x = A->GetTrackData(0);
    TTrackData* const y = A->GetTrackData(1);
    TTrackData* const z = B->GetTrackData(0);
    for (TTrackData* track : { x, y, z })
        TheQueue.AddToQueue(track);
    Session.QueueIndex = 1; // X has played
    TheQueue.RemoveFromQueue(x);
    EXPECT_EQ(TheQueue.Track(Session.QueueIndex), y);
    EXPECT_EQ(x->QueueNumber, 0);
    EXPECT_EQ(y->QueueNumber, 1);

    TheQueue.RemoveFromQueue(z); // after QueueIndex: no change
    EXPECT_EQ(Session.QueueIndex, 0);
    TheQueue.ClearQueue();
    EXPECT_EQ(y->QueueNumber, -1);
    EXPECT_EQ(y->tdQueueItem, nullptr);
}

TEST_F(Queue, RemovedTracksLeaveQueueAndHistory)
{
    TTrackData* const track = A->GetTrackData(0);
    THistory history(Session);
    TheQueue.AddToQueue(track);
    history.AddToHistory(track);
    history.AddToHistory(B->GetTrackData(0));
    A->RemoveTrack(track, false);
    EXPECT_EQ(TheQueue.Count(), 0);
    ASSERT_EQ(history.Count(), 1);
    EXPECT_EQ(history.vtHistoryIDX, 0);
}

TEST(History, KeepsTheLastTwenty)
{
    std::vector<std::unique_ptr<TTrackData>> tracks;
    TPlayerSession session;
    THistory history(session);
    for (int i = 0; i < 25; ++i) {
        tracks.push_back(std::make_unique<TTrackData>());
        history.AddToHistory(tracks.back().get());
    }
    history.AddToHistory(nullptr);
    ASSERT_EQ(history.Count(), 20);
    EXPECT_EQ(history.vtHistoryList.front(), tracks[5].get());
    EXPECT_EQ(history.vtHistoryIDX, 19);
}

TEST_F(Queue, HeartTogglesTheFavouritesAndRewritesTheirFile)
{
    Lists.push_back(std::make_unique<TFavoriteList>(Session));
    auto* const favorites = static_cast<TFavoriteList*>(Lists.back().get());
    Session.Special.Favorites = favorites;
    TTrackData* const track = A->GetTrackData(0);
    std::filesystem::path const file = favorites->SavePath();

    AddtoFavorites(Session, track, true, true);
    ASSERT_EQ(favorites->TrackCount(), 1);
    EXPECT_TRUE(track->IsFavorite);
    EXPECT_EQ(favorites->plGroupMode, gmTrackName);
    EXPECT_EQ(TIniFile(file, TIniAccess::WholeFile).ReadSections().size(), 3u); // track, settings, linked

    B->AppendTrack(Track({ { "FilePath", track->GetTag("FilePath") } }));
    B->CheckForFavorites();
    EXPECT_TRUE(B->GetTrackData(1)->IsFavorite);

    // Toggling the favourites' own record removes it and releases it as the current track.
    Session.CurrentTrack = favorites->GetTrackData(0);
    AddtoFavorites(Session, favorites->GetTrackData(0), true, true);
    EXPECT_EQ(favorites->TrackCount(), 0);
    EXPECT_EQ(Session.CurrentTrack, nullptr);
    EXPECT_EQ(TIniFile(file, TIniAccess::WholeFile).ReadSections().size(), 2u);
}

}
}
