// The alphabet panel: its letters follow the list's grouping, lie in rows by the grouping,
// mark the groups on screen, jump to a group, and show only near the list's left edge.

#include "library/tests/LibraryTestSupport.h"

#include "ui/views/playlist/AlphabetPanel.h"
#include "ui/views/playlist/PlayListView.h"
#include "ui/views/shared/ItemContainer.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

class AlphabetPanel : public LibraryTest {
protected:
    // A 1000 x 800 view; one group of four tracks per artist, each with its own year and genre.
    void Make(const std::vector<std::string>& artists, TGroupMode mode)
    {
        auto list = std::make_unique<TVPlayList>(Session);
        int n = 0;
        for (std::string const& artist : artists) {
            for (int r = 0; r < 4; ++r, ++n) {
                // Appended, not built with operator+, which trips a false -Wrestrict in GCC 12.
                std::string path = "/m/";
                path += std::to_string(n);
                std::string genre = "Genre ";
                genre += artist;
                std::string title = "T";
                title += std::to_string(r);
                list->AppendTrack(Track({ { "FilePath", path }, { "Artist", artist },
                    { "Year", std::to_string(1990 + n / 4) }, { "Genre", genre }, { "TrackName", title } }));
            }
        }
        list->GroupPlaylist(mode, false);
        View = TSmartCtrl::Create<TPlayListView>(std::move(list), nullptr);
        View->SetWidth(1000);
        View->SetHeight(800);
    }

    void MovePointer(int x)
    {
        TInputData move;
        move.idXPos = x;
        move.idYPos = 400;
        View->MouseMove(move);
    }

    std::vector<std::string> LetterIDs() const
    {
        std::vector<std::string> ids;
        for (TGroupLetterButton const* letter : View->plAlphabetPanel->Letters())
            ids.push_back(letter->Letter.glID);
        return ids;
    }

    std::unique_ptr<TPlayListView> View;
};

TEST_F(AlphabetPanel, ShowsNearTheLeftEdgeAndGoesOutsideItsColumn)
{
    Make({ "Abba", "Beck" }, gmArtist);
    TAlphabetPanel* const panel = View->plAlphabetPanel;
    EXPECT_FALSE(panel->Visible());
    MovePointer(200);
    EXPECT_FALSE(panel->Visible());
    MovePointer(79);
    ASSERT_TRUE(panel->Visible());
    EXPECT_EQ(panel->Width(), 480);
    EXPECT_EQ(panel->Height(), 800);
    EXPECT_EQ(panel->apList->Width(), 480) << "the letters fill the panel once it shows";
    MovePointer(479);
    EXPECT_TRUE(panel->Visible());
    MovePointer(480);
    EXPECT_FALSE(panel->Visible());
}

TEST_F(AlphabetPanel, LettersLieInRowsByTheGrouping)
{
    struct TCase {
        TGroupMode Mode;
        int Width;
        int SecondLeft, SecondTop; // where the second letter goes
    };
    for (TCase const c : {
             TCase { gmArtist, 80, 95, 18 }, TCase { gmYear, 215, 230, 18 }, // two a row
             TCase { gmGenre, 430, 10, 102 },                                // one a row
         }) {
        SCOPED_TRACE(static_cast<int>(c.Mode));
        Make({ "A", "B", "C", "D", "E", "F" }, c.Mode);
        MovePointer(10);
        std::vector<TGroupLetterButton*> const letters = View->plAlphabetPanel->Letters();
        ASSERT_EQ(letters.size(), 6u);
        EXPECT_EQ(letters[0]->Left(), 10);
        EXPECT_EQ(letters[0]->Top(), 18);
        EXPECT_EQ(letters[0]->Width(), c.Width);
        EXPECT_EQ(letters[0]->Height(), 80);
        EXPECT_EQ(letters[1]->Left(), c.SecondLeft);
        EXPECT_EQ(letters[1]->Top(), c.SecondTop);
    }
    // Five 80-wide letters fit a 480 row (the fifth ends at 430); the sixth starts a new one.
    Make({ "A", "B", "C", "D", "E", "F" }, gmArtist);
    MovePointer(10);
    std::vector<TGroupLetterButton*> const letters = View->plAlphabetPanel->Letters();
    EXPECT_EQ(letters[4]->Left(), 350);
    EXPECT_EQ(letters[5]->Left(), 10);
    EXPECT_EQ(letters[5]->Top(), 18 + 84);
}

TEST_F(AlphabetPanel, MarksGroupsOnScreenAndJumpsToAGroup)
{
    // Groups of four rows lie 480 apart: the headers of both A groups are on screen.
    Make({ "Abba", "Air", "Beck", "Cher", "Dido" }, gmArtist);
    MovePointer(10);
    EXPECT_EQ(LetterIDs(), (std::vector<std::string> { "A", "B", "C", "D" })) << "one letter per first character";
    auto active = [&] {
        std::string marked;
        for (TGroupLetterButton const* letter : View->plAlphabetPanel->Letters())
            if (letter->glActive)
                marked += letter->Letter.glID;
        return marked;
    };
    EXPECT_EQ(active(), "A");

    // A press on "C" brings Cher's first row to the top; C and D are on screen then.
    TGroupLetterButton* const c = View->plAlphabetPanel->Letters()[2];
    TInputData press;
    press.idXPos = c->Left() + 5;
    press.idYPos = c->Top() + 5;
    View->MouseDown(press);
    TVPlayList const& list = View->List();
    EXPECT_EQ(list.plCurrentItemIdx, 12);
    EXPECT_EQ(active(), "CD");
    EXPECT_EQ(View->GetItem(500, 60), list.plGroups[3]->Rows()[0]) << "the press reached no row";
}

TEST_F(AlphabetPanel, LettersAreMadeAgainAfterARegrouping)
{
    Make({ "Abba", "Beck" }, gmArtist);
    MovePointer(10);
    ASSERT_EQ(LetterIDs().size(), 2u);
    View->List().GroupPlaylist(gmYear, false);
    EXPECT_EQ(LetterIDs(), (std::vector<std::string> { "1990", "1991" }));
    // Folder groups are keyed by the whole folder, their letters by its first character: the
    // letters still light.
    View->List().GroupPlaylist(gmFolder, false);
    View->ArrangeGroups();
    ASSERT_FALSE(LetterIDs().empty());
    EXPECT_TRUE(View->plAlphabetPanel->Letters()[0]->glActive);
}

}
}
