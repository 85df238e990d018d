#include "library/tests/LibraryTestSupport.h"

#include "base/CaseFold.h"
#include "base/Collation.h"
#include "tests/support/Requirements.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>

namespace vantor::testing {
namespace {

class Grouping : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        List = std::make_unique<TVPlayList>(Session);
    }

    TTrackData* Add(std::initializer_list<std::pair<const char*, std::string>> tags)
    {
        return List->AppendTrack(Track(tags));
    }

    std::vector<std::string> GroupIDs() const
    {
        std::vector<std::string> ids;
        for (auto const& group : List->plGroups)
            ids.push_back(group->gdID);
        return ids;
    }

    std::unique_ptr<TVPlayList> List;
};

TEST_F(Grouping, KeysIgnoreCaseAndTheLastTrackNamesTheGroup)
{
    Add({ { "TrackName", "Waterloo" }, { "Artist", "Abba" } });
    Add({ { "TrackName", "SOS" }, { "Artist", "ABBA" } });
    Add({ { "TrackName", "apple" }, { "Artist", "abba" } });
    List->GroupPlaylist(gmArtist, false);
    ASSERT_EQ(GroupIDs(), std::vector<std::string>({ "ABBA" }));
    EXPECT_EQ(List->plGroups[0]->gdCaption, "abba");
    EXPECT_EQ(List->plGroups[0]->gdSecondLine, "3 Group.Tracks");

    // One more track filed into the existing grouping joins its group.
    TTrackData* const late = Add({ { "TrackName", "Fernando" }, { "Artist", "aBBA" } });
    List->AddTrack(late);
    ASSERT_EQ(List->plGroups.size(), 1);
    EXPECT_EQ(late->tdItemData->idGroupData, List->plGroups[0]);
    EXPECT_EQ(List->plGroups[0]->gdCaption, "aBBA");
    EXPECT_EQ(List->plGroups[0]->gdSecondLine, "4 Group.Tracks");
    List->SortPlaylist();
    std::vector<std::string> titles;
    for (TItemData* row : List->plGroups[0]->Rows()) {
        EXPECT_EQ(row->idIndex, static_cast<int>(titles.size()));
        titles.push_back(row->idTrackData->GetTag("TrackName"));
    }
    // The C locale of the test program orders by bytes: capitals first.
    EXPECT_EQ(titles, std::vector<std::string>({ "Fernando", "SOS", "Waterloo", "apple" }));

    Add({ { "TrackName", "Avocado" } });
    List->GroupPlaylist(gmTrackName, false);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "A", "F", "S", "W" }));
    EXPECT_EQ(List->plGroups[0]->RowCount(), 2);
}

TEST_F(Grouping, KeysOfEveryMode)
{
    TTrackData* const track = Add({ { "TrackName", "Éclair" }, { "Directory", "/m" }, { "Year", "2001-05-01" },
        { "FileSize", std::to_string(1048576 * 3 / 2) }, { "PlayTime", "205" } });
    struct {
        TGroupMode mode;
        const char* id;
        const char* caption;
    } const cases[] = {
        { gmTrackName, "É", "É" },
        { gmFolder, "/M", "/m" },
        { gmArtist, "UNKNOWN", "Group.Unknown" },
        { gmRating, "0 STARS", "0 Stars" },
        { gmYear, "2001", "2001" },
        { gmBitrate, "0", "Group.BitrateUnknown" },
        { gmSize, "1 MB TO 5 MB", "1 Mb to 5 Mb" },
        { gmDuration, "03 GROUP.MIN", "03 Group.Min" },
        { gmNone, "UNKNOWN", "Group.Unknown" },
    };
    for (auto const& c : cases) {
        List->GroupPlaylist(c.mode, false);
        ASSERT_EQ(List->plGroups.size(), 1);
        EXPECT_EQ(List->plGroups[0]->gdID, c.id) << int(c.mode);
        EXPECT_EQ(List->plGroups[0]->gdCaption, c.caption) << int(c.mode);
        EXPECT_EQ(track->tdItemData->idGroupData, List->plGroups[0]);
    }
    track->SetTag("Bitrate", "320");
    List->GroupPlaylist(gmBitrate, false);
    EXPECT_EQ(List->plGroups[0]->gdCaption, "320 ItemData.kbps");
    EXPECT_EQ(List->Letters()[0].glCaption, "320 ItemData.kbps");
}

TEST_F(Grouping, SizeAndDurationBuckets)
{
    for (int64_t size : { 1048576LL * 3 / 2, 1048576LL * 5 / 2, 1048576LL * 4 / 10, 3LL * 1073741824 })
        Add({ { "FileSize", std::to_string(size) } });
    List->GroupPlaylist(gmSize, false);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "1 MB AND LESS", "1 MB TO 5 MB", "500 MB +" }));

    List->ClearList();
    Add({ { "PlayTime", "205" } });  // 03:25
    Add({ { "PlayTime", "3725" } }); // 01:02:05
    Add({ { "PlayTime", "65" } });   // 01:05
    List->GroupPlaylist(gmDuration, false);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "01 GROUP.HRS", "01 GROUP.MIN", "03 GROUP.MIN" }));
}

TEST_F(Grouping, OnlyAButtonPressOnTheModeShownReversesAndRowsAreNumberedInOrder)
{
    Add({ { "Artist", "B" }, { "TrackName", "b2" } });
    Add({ { "Artist", "A" }, { "TrackName", "a2" } });
    Add({ { "Artist", "B" }, { "TrackName", "b1" } });
    Add({ { "Artist", "A" }, { "TrackName", "a1" } });
    List->plGroupMode = gmTrackName;
    List->GroupPlaylist(gmArtist, false);
    EXPECT_TRUE(List->plAscending);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "A", "B" }));
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        TItemData* row = nullptr;
        ASSERT_TRUE(List->GetItem(i, row));
        EXPECT_EQ(row->idIndex, i);
        order.push_back(row->idTrackData->GetTag("TrackName"));
    }
    EXPECT_EQ(order, std::vector<std::string>({ "a1", "a2", "b1", "b2" }));
    TItemData* none = nullptr;
    EXPECT_FALSE(List->GetItem(4, none));

    // Regroupings (loads, drops, favourites) keep the direction; a press on the button of the
    // mode shown turns it round, and the next regrouping keeps that.
    List->GroupPlaylist(gmArtist, false);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "A", "B" }));
    List->GroupButtonPress(gmArtist);
    EXPECT_FALSE(List->plAscending);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "B", "A" }));
    List->ReGroup();
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "B", "A" }));
    List->GroupButtonPress(gmAlbum);
    EXPECT_TRUE(List->plAscending);
}

TEST_F(Grouping, QuicksortOrdersLikeTheCollation)
{
    std::mt19937 random(7);
    std::vector<std::string> titles;
    for (int i = 0; i < 500; ++i) {
        std::string title(1 + random() % 5, 'a');
        for (char& c : title)
            c = "aAbB1 9z"[random() % 8];
        titles.push_back(title);
        Add({ { "TrackName", title }, { "Artist", "X" } });
    }
    for (bool ascending : { true, false }) {
        List->plGroupMode = gmArtist;
        List->plAscending = ascending;
        List->GroupPlaylist(gmArtist, false);
        ASSERT_EQ(List->plAscending, ascending);
        std::vector<std::string> sorted;
        for (TItemData* row : List->plGroups[0]->Rows())
            sorted.push_back(row->idTrackData->GetTag("TrackName"));
        // The C library's own comparison is the judge.
        auto const before = [](std::string const& a, std::string const& b) {
            return std::strcoll(a.c_str(), b.c_str()) < 0;
        };
        EXPECT_TRUE(ascending ? std::is_sorted(sorted.begin(), sorted.end(), before)
                              : std::is_sorted(sorted.rbegin(), sorted.rend(), before));
        std::sort(titles.begin(), titles.end());
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(sorted, titles);
    }
}

TEST_F(Grouping, LettersOfYearsAndGenres)
{
    Add({ { "Year", "1999-01-01" }, { "Genre", "Rock" } });
    Add({ { "Year", "1999" }, { "Genre", "Pop" } });
    Add({ { "Year", "2005" }, { "Genre", "Punk" } });
    List->GroupPlaylist(gmYear, false);
    ASSERT_EQ(List->Letters().size(), 2u);
    EXPECT_EQ(List->Letters()[0].glID, "1999");
    List->GroupPlaylist(gmGenre, false);
    ASSERT_EQ(List->Letters().size(), 3u);
    EXPECT_EQ(List->Letters()[1].glID, "PUNK");
}

TEST_F(Grouping, RemovingTheLastTrackOfAGroupDropsGroupAndLetter)
{
    TTrackData* const lonely = Add({ { "TrackName", "Zed" } });
    Add({ { "TrackName", "Alpha" } });
    List->GroupPlaylist(gmTrackName, false);
    ASSERT_EQ(List->Letters().size(), 2u);
    List->RemoveItem(lonely->tdItemData, false);
    EXPECT_EQ(GroupIDs(), std::vector<std::string>({ "A" }));
    ASSERT_EQ(List->Letters().size(), 1u);
    EXPECT_EQ(List->Letters()[0].glID, "A");
    EXPECT_EQ(List->TrackCount(), 1);
    EXPECT_TRUE(List->plNeeedSave);
}

TEST_F(Grouping, RemovingARowMovesTheRowsBehindItUpInThePlayOrder)
{
    TTrackData* const first = Add({ { "TrackName", "Alpha" }, { "Artist", "A" } });
    TTrackData* const second = Add({ { "TrackName", "Beta" }, { "Artist", "A" } });
    Add({ { "TrackName", "Gamma" }, { "Artist", "A" } });
    Add({ { "TrackName", "Delta" }, { "Artist", "B" } });
    List->GroupPlaylist(gmArtist, false);
    for (TTrackData* removed : { second, first }) {
        List->RemoveItem(removed->tdItemData, false);
        int place = 0;
        for (TGroupData* group : List->plGroups) {
            for (TItemData* row : group->Rows()) {
                EXPECT_EQ(row->idIndex, place) << row->idTrackData->GetTag("TrackName");
                TItemData* found = nullptr;
                ASSERT_TRUE(List->GetItem(place++, found));
                EXPECT_EQ(found, row);
            }
        }
        EXPECT_EQ(place, List->TrackCount());
    }
}

TEST_F(Grouping, GroupsRowsAndTracksPointAtEachOther)
{
    TTrackData* const first = Add({ { "TrackName", "Alpha" } });
    TTrackData* const second = Add({ { "TrackName", "Avocado" } });
    Add({ { "TrackName", "Beta" } });
    auto const linked = [&] {
        int rows = 0;
        for (TGroupData* group : List->plGroups) {
            EXPECT_EQ(group->gdPlayList, List.get());
            for (TItemData* row : group->Rows()) {
                EXPECT_EQ(row->idGroupData, group);
                EXPECT_EQ(row->idTrackData->tdItemData, row);
                EXPECT_EQ(row->idTrackData->tdPlayList, List.get());
                ++rows;
            }
        }
        return rows;
    };
    List->GroupPlaylist(gmTrackName, false);
    ASSERT_EQ(List->plGroups.size(), 2);
    EXPECT_EQ(linked(), 3);

    // Removing a track drops its row only; a regrouping makes new rows for every track.
    List->RemoveItem(first->tdItemData, false);
    EXPECT_EQ(List->plGroups[0]->RowCount(), 1);
    EXPECT_EQ(List->plGroups[0]->Rows()[0], second->tdItemData);
    EXPECT_EQ(linked(), 2);
    List->GroupPlaylist(gmTrackName, false);
    EXPECT_EQ(linked(), 2);
    ASSERT_NE(List->LastGroupData, nullptr); // the group of the track filed last
    EXPECT_EQ(List->LastGroupData->gdID, "B");
}

TEST_F(Grouping, SearchFindsTitlesWithoutCase)
{
    Add({ { "TrackName", "Love Me Do" } });
    Add({ { "TrackName", "Glove" } });
    Add({ { "TrackName", "Help" } });
    Add({ { "TrackName", "ÉTÉ love" } });
    List->GroupPlaylist(gmArtist, false);
    Session.CurrentPlayList = List.get();
    EXPECT_EQ(DoSearch(Session, "LOVE").size(), 3u);
    EXPECT_EQ(DoSearch(Session, "été").size(), 1u);
    EXPECT_TRUE(DoSearch(Session, "").empty());
    Session.CurrentPlayList = nullptr;
    EXPECT_TRUE(DoSearch(Session, "LOVE").empty());
}

// The player's start-up locale taken from LC_ALL for one test; the C locale again after.
class TEnvironmentLocale {
public:
    explicit TEnvironmentLocale(char const* name)
    {
        if (char const* old = std::getenv("LC_ALL"))
            m_old = old;
        ::setenv("LC_ALL", name, 1);
        UseEnvironmentLocale();
        char const* collate = std::setlocale(LC_COLLATE, nullptr);
        m_active = collate && std::strcmp(collate, name) == 0;
    }
    ~TEnvironmentLocale()
    {
        if (m_old)
            ::setenv("LC_ALL", m_old->c_str(), 1);
        else
            ::unsetenv("LC_ALL");
        std::setlocale(LC_ALL, "C");
    }
    TEnvironmentLocale(TEnvironmentLocale const&) = delete;
    TEnvironmentLocale& operator=(TEnvironmentLocale const&) = delete;

    bool Active() const { return m_active; }

private:
    std::optional<std::string> m_old;
    bool m_active = false;
};

struct TCollationCase {
    char const* Locale;
    std::vector<std::string> Titles;  // in the order a reader of that locale expects
    std::vector<std::string> Artists; // group IDs (upper case), likewise
};

// Orders written out by hand: accents and umlauts sort with their base letter (German
// DIN 5007-1: "ä" as "a", "ß" as "ss"), case comes second, Cyrillic follows its alphabet.
// The C locale orders by bytes.
TEST_F(Grouping, RowsAndGroupsSortInTheUsersLocale)
{
    std::vector<TCollationCase> const cases = {
        { "en_US.UTF-8", { "Ábel", "apple", "Banana", "cherry", "École", "fig", "Zebra", "Zoë" },
            { "ABEL", "ÖBERG", "OBERON", "ZANDER" } },
        { "de_DE.UTF-8",
            { "Apfel", "Ärger", "Birne", "Mueller", "Müller", "Mullet", "Öl", "Ostern", "Straße", "Strasser",
                "Zucker" },
            { "ABEL", "ÖBERG", "OBERON", "ZANDER" } },
        { "en_US.UTF-8", { "абрикос", "Борис", "вишня", "ёж", "Жук", "Яблоко" }, { "АННА", "ЁЛКА", "ЖАННА", "ЯКОВ" } },
        { "de_DE.UTF-8", { "абрикос", "Борис", "вишня", "ёж", "Жук", "Яблоко" }, { "АННА", "ЁЛКА", "ЖАННА", "ЯКОВ" } },
        { "C", { "Banana", "Zebra", "Zoë", "apple", "cherry", "fig", "Ábel", "École" },
            { "ABEL", "OBERON", "ZANDER", "ÖBERG" } },
    };
    for (TCollationCase const& c : cases) {
        SCOPED_TRACE(c.Locale);
        TEnvironmentLocale const locale(c.Locale);
        if (!locale.Active()) {
            VANTOR_SKIP_UNLESS_CI(
                std::string("the locale ") + c.Locale + " is not installed (scripts/setup-deps makes it)");
        }
        // Added in an order that is none of the expected ones.
        List = std::make_unique<TVPlayList>(Session);
        std::vector<std::string> titles = c.Titles;
        std::mt19937 random(3);
        std::shuffle(titles.begin(), titles.end(), random);
        for (std::string const& title : titles)
            Add({ { "TrackName", title }, { "Artist", "X" } });
        List->plGroupMode = gmTrackName;
        List->GroupPlaylist(gmArtist, false);
        ASSERT_TRUE(List->plAscending);
        std::vector<std::string> sorted;
        for (TItemData* row : List->plGroups[0]->Rows())
            sorted.push_back(row->idTrackData->GetTag("TrackName"));
        EXPECT_EQ(sorted, c.Titles);

        std::vector<std::string> artists = c.Artists;
        std::reverse(artists.begin(), artists.end());
        for (std::string const& artist : artists)
            Add({ { "TrackName", "t" }, { "Artist", LowerCase(artist) } });
        List->plGroupMode = gmTrackName;
        List->GroupPlaylist(gmArtist, false);
        std::vector<std::string> groups = GroupIDs();
        groups.erase(std::find(groups.begin(), groups.end(), "X"));
        EXPECT_EQ(groups, c.Artists);
    }
}

// The player's locale set-up keeps numbers in the C form: files get "." in every locale.
TEST_F(Grouping, NumbersKeepTheirPointInTheUsersLocale)
{
    TEnvironmentLocale const locale("de_DE.UTF-8");
    if (!locale.Active()) {
        VANTOR_SKIP_UNLESS_CI("the locale de_DE.UTF-8 is not installed (scripts/setup-deps makes it)");
    }
    char text[16];
    std::snprintf(text, sizeof text, "%.2f", 1.5);
    EXPECT_STREQ(text, "1.50");
    EXPECT_EQ(std::strtod("2.25", nullptr), 2.25);
}

}
}
