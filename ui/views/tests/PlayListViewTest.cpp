// The playlist view's layout, scrolling and hit tests, in logical units at scale 1.

#include "library/tests/LibraryTestSupport.h"

#include "ui/views/playlist/PlayListView.h"
#include "ui/views/shared/SmartScroll.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

class PlayListView : public LibraryTest {
protected:
    // A 1000 x 800 view of a list grouped by artist: one group per entry of rowsPerGroup,
    // "A", "B", ... in that order.
    void Make(const std::vector<int>& rowsPerGroup)
    {
        auto list = std::make_unique<TVPlayList>(Session);
        for (size_t g = 0; g < rowsPerGroup.size(); ++g) {
            for (int r = 0; r < rowsPerGroup[g]; ++r) {
                std::string path = "/m/";
                path += std::to_string(g * 1000 + r);
                std::string title = "T";
                title += std::to_string(100 + r);
                list->AppendTrack(Track({ { "FilePath", path },
                    { "Artist", std::string(1, static_cast<char>('A' + g)) }, { "TrackName", title } }));
            }
        }
        list->GroupPlaylist(gmArtist, false);
        View = TSmartCtrl::Create<TPlayListView>(std::move(list), nullptr);
        View->SetWidth(1000);
        View->SetHeight(800);
    }

    std::vector<int> Tops() const
    {
        std::vector<int> tops;
        for (TGroupPlace const& place : View->Layout().Groups())
            tops.push_back(place.Top);
        return tops;
    }

    int HeaderTop(int group) const { return View->Layout().Groups()[group].HeaderTop; }

    std::unique_ptr<TPlayListView> View;
};

TEST_F(PlayListView, GroupsStackWithTheirMinimumHeight)
{
    Make({ 1, 5, 2 });
    // One row: 300 high, not 100; five rows: 5 x 110 - 10.
    ASSERT_EQ(Tops(), (std::vector<int> { 60, 410, 1000 }));
    EXPECT_EQ(View->Layout().Groups()[1].Height, 540);
    TRect const row = View->Layout().RowRect(View->Layout().Groups()[1], 2);
    EXPECT_EQ(row.Left, 370);
    EXPECT_EQ(row.Top, 410 + 220);
    EXPECT_EQ(row.Width(), 1000 - 370 - 60 - 10);
    EXPECT_EQ(row.Height(), 100);
    // The last group ends at 1300; with the top margin below it, 560 more than the view holds.
    EXPECT_EQ(View->List().plScrollMax, 1300 + 60 - 800);
}

TEST_F(PlayListView, HeadersStickUnderTheTopMarginUntilTheirGroupEnds)
{
    Make({ 10, 3 }); // the first group is 1090 high, the second keeps its header at its top
    struct TCase {
        int Scroll;
        int FirstHeader;
        int SecondHeader;
    };
    for (TCase const c : {
             TCase { 0, 60, 1200 },
             TCase { 200, 60, 1000 },
             // The first group ends at 1150 - scroll: its header rides up once that end is
             // within 222 + 100 of the margin.
             TCase { 768, 60, 432 },
             TCase { 800, 28, 400 },
             TCase { 1000, -172, 200 },
         }) {
        SCOPED_TRACE(c.Scroll);
        View->List().plScroll = c.Scroll;
        View->ArrangeGroups();
        EXPECT_EQ(HeaderTop(0), c.FirstHeader);
        EXPECT_EQ(HeaderTop(1), c.SecondHeader);
    }
}

TEST_F(PlayListView, ScrollingStaysInItsRange)
{
    Make({ 1 });
    EXPECT_EQ(View->List().plScrollMax, 0) << "a list shorter than the view has nothing to scroll";
    View->SetScroll(500);
    EXPECT_EQ(View->List().plScroll, 0);

    Make({ 20 });
    int const max = View->List().plScrollMax;
    ASSERT_EQ(max, 60 + 20 * 110 - 10 + 60 - 800);
    View->SetScroll(max + 1000);
    EXPECT_EQ(View->List().plScroll, max);
    View->SetScroll(-5);
    EXPECT_EQ(View->List().plScroll, 0);

    // A row brought to the top margin; the wheel over the rows moves one track and stops at
    // the last one.
    TItemData* row = nullptr;
    ASSERT_TRUE(View->List().GetItem(3, row));
    View->ScrollToItem(row);
    EXPECT_EQ(View->List().plScroll, 3 * 110);
    EXPECT_EQ(View->List().plCurrentItemIdx, 3);
    TInputData wheel;
    wheel.idXPos = 500;
    wheel.idYPos = 100;
    wheel.idDirection = -120;
    for (int i = 0; i < 30; ++i)
        View->MouseWheel(wheel);
    EXPECT_EQ(View->List().plCurrentItemIdx, 19);
    EXPECT_EQ(View->List().plScroll, max);
    wheel.idDirection = 120;
    View->MouseWheel(wheel);
    EXPECT_EQ(View->List().plCurrentItemIdx, 18);

    // The scroll bar steps by tracks: a press at its top, handed on by the view, picks the
    // first.
    ASSERT_EQ(View->plScrollBar->ssMax, 20);
    EXPECT_TRUE(View->plScrollBar->Visible());
    EXPECT_EQ(View->plScrollBar->Left(), 1000 - 65);
    ASSERT_EQ(View->Left(), 0);
    TInputData press;
    press.idXPos = View->plScrollBar->Left() + 10;
    press.idYPos = 0;
    View->MouseDown(press);
    EXPECT_EQ(View->List().plCurrentItemIdx, 0);
    EXPECT_EQ(View->List().plScroll, 0);
}

TEST_F(PlayListView, TheWheelOverTheHeadersJumpsByGroups)
{
    Make({ 4, 4, 4 });
    TInputData wheel;
    wheel.idXPos = 100;
    wheel.idDirection = -120;
    View->MouseWheel(wheel);
    EXPECT_EQ(View->List().plCurrentItemIdx, 4) << "the second group's first row";
    EXPECT_EQ(Tops()[1], 60);
    wheel.idDirection = 120;
    View->MouseWheel(wheel);
    EXPECT_EQ(View->List().plCurrentItemIdx, 0);
    EXPECT_EQ(View->List().plScroll, 0);
}

TEST_F(PlayListView, RowsAreFoundByPoint)
{
    Make({ 2, 1 });
    TVPlayList const& list = View->List();
    struct TCase {
        int X, Y;
        TItemData* Row;
    };
    for (TCase const c : {
             TCase { 400, 60, list.plGroups[0]->Rows()[0] }, TCase { 929, 269, list.plGroups[0]->Rows()[1] },
             TCase { 400, 165, nullptr }, // the gap between two rows
             TCase { 369, 60, nullptr },  // the header column
             TCase { 930, 60, nullptr },  // the scroll bar's column
             TCase { 400, 400, nullptr }, // below the last row of a group of two
             TCase { 400, 410, list.plGroups[1]->Rows()[0] }, TCase { 400, 30, nullptr }, // the top margin
         }) {
        SCOPED_TRACE(::testing::Message() << c.X << "," << c.Y);
        EXPECT_EQ(View->GetItem(c.X, c.Y), c.Row);
    }
}

// A list changed behind the view's back (a load, a cleared list, a removed row) is laid out
// again before the view touches a group: under AddressSanitizer a stale layout shows as a
// use after free.
TEST_F(PlayListView, ChangedGroupsAreLaidOutAgainBeforeUse)
{
    Make({ 2, 2 });
    TVPlayList& list = View->List();
    list.RemoveItem(list.plGroups[0]->Rows()[0], false);
    EXPECT_EQ(View->GetItem(400, 60), list.plGroups[0]->Rows()[0]);
    list.GroupPlaylist(gmArtist, false);
    EXPECT_EQ(View->GetItem(400, 60), list.plGroups[0]->Rows()[0]);
    list.ClearList();
    EXPECT_EQ(View->GetItem(400, 60), nullptr);
    EXPECT_TRUE(View->Layout().Groups().empty());
}

TEST_F(PlayListView, CoversAreWantedOnlyForHeadersOnScreen)
{
    Make({ 4, 4, 4, 4 });
    TVPlayList const& list = View->List();
    EXPECT_TRUE(View->GroupShown(*list.plGroups[0]));
    EXPECT_TRUE(View->GroupShown(*list.plGroups[1]));  // header at 500
    EXPECT_FALSE(View->GroupShown(*list.plGroups[2])); // header at 940
    View->SetScroll(900);
    EXPECT_FALSE(View->GroupShown(*list.plGroups[0]));
    EXPECT_TRUE(View->GroupShown(*list.plGroups[2]));
}

TEST(PlayListRowTexts, ColumnsFollowTheRowWidth)
{
    // A = 1000 - 96 - 300 = 604; c3 = 700, c2 = 700 - 121, c1 = 579 - 181.
    std::array<TRect, 8> const rects = RowTextRects(1000);
    EXPECT_EQ(rects[0], (TRect { 126, 0, 383, 50 }));
    EXPECT_EQ(rects[3], (TRect { 443, 50, 564, 100 }));
    EXPECT_EQ(rects[4], (TRect { 594, 0, 685, 50 }));
    EXPECT_EQ(rects[7], (TRect { 745, 50, 1000, 100 }));
}

}
}
