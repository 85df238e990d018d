// The window with bad input, painted off screen with the default theme: damaged cover
// pictures, a list file naming tracks that are gone, and titles that are very long or not
// written left to right in Latin letters.

#include "library/tests/LoaderFixture.h"

#include "tags/Tags.h"
#include "tests/support/TestFiles.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/controlbar/ControlBar.h"
#include "ui/views/playlist/PlayListView.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace playlist_layout;

class BadInput : public LoaderTest {
protected:
    void SetUp() override
    {
        LoaderTest::SetUp();
        ASSERT_TRUE(Host.ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs"));
        Context.Theme = Host.ThemeManager.get();
        Context.Session = &Session;
        Context.Host = &Host;
    }

    void TearDown() override
    {
        Session.CurrentTrack = nullptr;
        Session.CurrentPlayList = nullptr;
        LoaderTest::TearDown();
    }

    // Shows list in a view filling the window, as the current list.
    TPlayListView& Show(std::unique_ptr<TVPlayList> list)
    {
        Session.CurrentPlayList = list.get();
        TPlayListView* const view =
            Host.AddControl("List", TSmartCtrl::Create<TPlayListView>(std::move(list), &Context));
        view->SetWidth(Host.ClientWidth());
        view->SetHeight(Host.ClientHeight());
        return *view;
    }

    // A copy of the picture-less fixture track whose tag carries the picture file's bytes.
    fs::path TrackWithPicture(const fs::path& picture, const fs::path& relative)
    {
        fs::path const track = CopyTrack("no-cover.mp3", relative);
        TTags tags;
        tags.LoadFromFile(track.string());
        EXPECT_NE(tags.AddCoverArt("Cover", picture.string()), nullptr);
        EXPECT_EQ(tags.SaveToFile(track.string()), 0);
        return track;
    }

    TBitmap Region(const TRect& rect)
    {
        TBitmap part(rect.Width(), rect.Height());
        part.CopyFrom(Host.svCanvas, rect, 0, 0);
        return part;
    }

    TSmartVCL Host { 1200, 1800 }; // at scale 1, device pixels are logical units
    TViewContext Context;
};

bool SamePixels(const TBitmap& a, const TBitmap& b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            if (a.PixelAt(x, y) != b.PixelAt(x, y))
                return false;
    return true;
}

// Where two paints of the same window differ: inside each of two boxes, and elsewhere.
struct TDiff {
    int InFirst = 0;
    int InSecond = 0;
    int Outside = 0;
};

TDiff Diff(const TBitmap& a, const TBitmap& b, const TRect& first, const TRect& second)
{
    TDiff diff;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x) {
            if (a.PixelAt(x, y) == b.PixelAt(x, y))
                continue;
            if (first.Contains(x, y))
                ++diff.InFirst;
            else if (second.Contains(x, y))
                ++diff.InSecond;
            else
                ++diff.Outside;
        }
    return diff;
}

// Pictures whose bytes are damaged inside the tag: the group keeps its placeholder, exactly
// as a group whose tracks hold no picture, while a good picture still shows.
TEST_F(BadInput, DamagedCoverPicturesLeaveTheirGroupsPlaceholder)
{
    fs::path const covers = fs::path(VANTOR_TEST_DATA) / "covers";
    std::string png = testing::ReadBytes(covers / "png/yellow.png");
    WriteText(Root / "truncated.png", png.substr(0, png.size() / 2));
    // Groups by folder, in this order; the good picture last, so that once it shows every
    // damaged one has been tried.
    std::vector<fs::path> const tracks = {
        CopyTrack("no-cover.mp3", "a/none.mp3"),
        CopyTrack("broken-cover.mp3", "b/markers-overwritten.mp3"),
        TrackWithPicture(covers / "jpeg/truncated.jpg", "c/truncated-jpeg.mp3"),
        TrackWithPicture(Root / "truncated.png", "d/truncated-png.mp3"),
        CopyTrack("red-cover.mp3", "e/red.mp3"),
    };
    auto list = std::make_unique<TVPlayList>(Session);
    for (fs::path const& path : tracks) {
        auto track = std::make_unique<TTrackData>();
        track->SetTag(tkFilePath, path.string());
        ASSERT_TRUE(track->ReadTags());
        list->AppendTrack(std::move(track));
    }
    list->GroupPlaylist(gmFolder, false);
    TPlayListView& view = Show(std::move(list));
    Icons_Start(view.List(), true);
    TGroupData const& red = *view.List().plGroups[4];
    ASSERT_TRUE(testing::RunPostedUntil(Dispatcher, [&] { return red.gdHaveCover.load(); }));
    Host.PaintBackBuffer();

    auto const& places = view.Layout().Groups();
    ASSERT_EQ(places.size(), tracks.size());
    TBitmap const placeholder = Region(view.Layout().HeaderRect(places[0]));
    for (size_t g = 1; g < 4; ++g) {
        SCOPED_TRACE(tracks[g].filename().string());
        EXPECT_FALSE(places[g].Group->gdHaveCover);
        EXPECT_TRUE(SamePixels(Region(view.Layout().HeaderRect(places[g])), placeholder));
    }
    EXPECT_FALSE(SamePixels(Region(view.Layout().HeaderRect(places[4])), placeholder));
}

// A list saved while its files were there, read after some were deleted: the rest shows and
// the list file keeps every section, through a save of the settings and a rewrite of the
// tracks; only a track the user removes leaves it.
TEST_F(BadInput, AListNamingVanishedTracksShowsTheRestAndKeepsThemInItsFile)
{
    std::vector<fs::path> tracks;
    for (char const* name : { "kept 1", "gone 1", "kept 2", "gone 2" })
        tracks.push_back(CopyTrack("no-cover.mp3", fs::path("music") / (std::string(name) + ".mp3")));
    fs::path const file = Root / "Playlists" / "Mix.vpl";
    WritePlaylist(file, tracks);
    fs::remove(tracks[1]);
    fs::remove(tracks[3]);

    // Loaded as the program loads its lists: on the loader thread.
    auto list = std::make_unique<TVPlayList>(Session);
    list->plPath = file.string();
    list->LoadSettings();
    TPlayListView& view = Show(std::move(list));
    TVPlayList& shown = view.List();
    Load_Start(shown, true, false, false);
    ASSERT_TRUE(WaitForCommits(1));
    EXPECT_EQ(Paths(shown), (std::vector<std::string> { tracks[0].string(), tracks[2].string() }));
    ASSERT_EQ(view.Layout().Groups().size(), 1u);
    EXPECT_EQ(view.Layout().Groups()[0].ShownRows, 2);
    Host.PaintBackBuffer();

    auto const sectionsIn = [&] {
        std::string const text = testing::ReadBytes(file);
        std::vector<bool> found;
        for (fs::path const& track : tracks)
            found.push_back(text.find("FilePath=" + track.string() + "\n") != std::string::npos);
        return found;
    };
    shown.plScroll = 7;
    ASSERT_TRUE(shown.SaveToFile());
    EXPECT_EQ(sectionsIn(), (std::vector<bool> { true, true, true, true })) << "settings only";

    fs::path const added = CopyTrack("no-cover.mp3", "music/added.mp3");
    auto track = std::make_unique<TTrackData>();
    track->SetTag(tkFilePath, added.string());
    ASSERT_TRUE(track->ReadTags());
    shown.AppendTrack(std::move(track));
    shown.plNeeedSave = true;
    ASSERT_TRUE(shown.SaveToFile());
    EXPECT_EQ(sectionsIn(), (std::vector<bool> { true, true, true, true })) << "tracks rewritten";
    EXPECT_NE(testing::ReadBytes(file).find(added.string()), std::string::npos);

    shown.RemoveTrack(shown.plDataList[0].get(), false);
    ASSERT_TRUE(shown.SaveToFile());
    EXPECT_EQ(sectionsIn(), (std::vector<bool> { false, true, true, true })) << "the user removed one";

    // Read again (on this thread), the list shows the tracks that are there, the vanished one
    // that came back among them.
    WriteText(tracks[1], testing::ReadBytes(tracks[2]));
    TVPlayList again(Session);
    again.LoadFromFile(file.string());
    EXPECT_EQ(again.TrackCount(), 3);
}

// Titles that test the text drawing: one far too long for its box, right-to-left scripts
// and CJK. Each paints something inside its box in the row and in the track board, and
// nothing outside it.
TEST_F(BadInput, LongAndForeignTitlesPaintInsideTheirBoxes)
{
    struct TCase {
        const char* Name;
        std::string Title;
    };
    std::string longTitle;
    while (longTitle.size() < 2000)
        longTitle += "A title that goes on and on ";
    longTitle.resize(2000);
    TCase const cases[] = {
        { "2,000 characters", longTitle },
        { "Arabic", "أغنية الصباح على البحر" },
        { "Hebrew", "שיר הבוקר ליד הים" },
        { "Japanese", "朝の海の歌" },
        { "Chinese", "大海的早晨之歌" },
        { "mixed directions", "Song שיר 歌 أغنية 2" },
    };

    fs::path const path = CopyTrack("no-cover.mp3", "music/song.mp3");
    auto list = std::make_unique<TVPlayList>(Session);
    auto track = std::make_unique<TTrackData>();
    track->SetTag(tkFilePath, path.string());
    ASSERT_TRUE(track->ReadTags());
    TTrackData* const song = list->AppendTrack(std::move(track));
    list->GroupPlaylist(gmArtist, false);
    TPlayListView& view = Show(std::move(list));
    TControlBar* const bar = Host.AddControl("ControlBar", TSmartCtrl::Create<TControlBar>(Context));
    bar->SetWidth(Host.ClientWidth());
    bar->SetHeight(TControlBar::BarHeight);
    Session.CurrentTrack = song;
    view.SetPosition(0, TControlBar::BarHeight);
    view.SetHeight(Host.ClientHeight() - TControlBar::BarHeight);

    auto const paintWith = [&](const std::string& title) {
        song->SetTag(tkTrackName, title);
        Host.PaintBackBuffer();
        return Region({ 0, 0, Host.ClientWidth(), Host.ClientHeight() });
    };
    TBitmap const untitled = paintWith("");
    TRect const row = view.Layout().RowRect(view.Layout().Groups()[0], 0).Offset(0, TControlBar::BarHeight);
    TRect const rowTitle = RowTextRects(row.Width())[0].Offset(row.Left, row.Top);
    TSmartCtrl const& board = *bar->cbTrackBoard;
    TRect const boardTitle = TRect::FromSize(board.Left(), board.Top(), board.Width(), 76);
    for (TCase const& c : cases) {
        SCOPED_TRACE(c.Name);
        TDiff const diff = Diff(paintWith(c.Title), untitled, rowTitle, boardTitle);
        EXPECT_GT(diff.InFirst, 50) << "the row's title";
        EXPECT_GT(diff.InSecond, 50) << "the track board's title";
        EXPECT_EQ(diff.Outside, 0);
    }
}

}
}
