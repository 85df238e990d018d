// The views painted off screen with the default theme, at the scale of a 96 DPI screen (0.4)
// and at 1.0: at key points of each view the right image, colour or text shows.

#include "library/tests/LibraryTestSupport.h"

#include "platform/audio/tests/AudioTestSupport.h"
#include "player/settings/Settings.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/controlbar/ControlBar.h"
#include "ui/views/controlbar/ControlBarBottom.h"
#include "ui/views/controlbar/PlayerButtons.h"
#include "ui/views/controlbar/ProgressBars.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/playlist/AlphabetPanel.h"
#include "ui/views/playlist/PlayListBar.h"
#include "ui/views/playlist/PlayListView.h"
#include "ui/views/shared/SmartTip.h"

#include "ui/views/tests/ColourDistance.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vantor::testing {
namespace {

constexpr uint32_t kBase = 0xFF1B1C21;    // window chrome
constexpr uint32_t kPanel = 0xFF212228;   // list and rows
constexpr uint32_t kRaised = 0xFF2A2C33;  // cover frames
constexpr uint32_t kRowLeft = 0xFF25262D; // a row's action area
constexpr uint32_t kAccent = 0xFF4C8DFF;
constexpr uint32_t kAccentDeep = 0xFF2D5FB8;
constexpr uint32_t kRaisedHot = 0xFF33363F;

class Render : public LibraryTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        SetUIScale(GetParam());
        // The window of a 1092 x 630 screen at 0.4, the smallest allowed window at 1.0.
        Width = GetParam() < 1 ? 2730 : 1920;
        Height = GetParam() < 1 ? 1575 : 1200;
        Host = std::make_unique<TSmartVCL>(Scale(Width), Scale(Height));
        ASSERT_TRUE(Host->ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs"));
        Context.Theme = Host->ThemeManager.get();
        Context.Session = &Session;
        Context.Host = Host.get();
        Context.Settings = &Settings;

        auto list = std::make_unique<TVPlayList>(Session);
        for (int n = 0; n < 6; ++n) {
            std::filesystem::path const path = Root / "music" / (std::to_string(n) + ".wav");
            std::filesystem::create_directories(path.parent_path());
            test::WriteWav(path, 44100, 1, 0.1, test::Sine(440.0, 0.2));
            auto track = std::make_unique<TTrackData>();
            track->SetTag(tkFilePath, path.string());
            ASSERT_TRUE(track->ReadTags());
            track->SetTag(tkTrackName, "Song " + std::to_string(n));
            track->SetTag(tkAlbum, n < 3 ? "Amber" : "Blue");
            list->AppendTrack(std::move(track));
        }
        list->GroupPlaylist(gmAlbum, false);
        Session.CurrentPlayList = &list.operator*();
        Session.CurrentTrack = list->plGroups[0]->Rows()[0]->idTrackData;

        int const top = TControlBar::BarHeight + TPlayListBar::BarHeight;
        int const bottom = TControlBarBottom::BarHeight;
        Bar = Place("ControlBar", TSmartCtrl::Create<TControlBar>(Context), 0, 0, Width, TControlBar::BarHeight);
        GroupBar = Place("PlayListBar", TSmartCtrl::Create<TPlayListBar>(Context), 0, TControlBar::BarHeight, Width,
            TPlayListBar::BarHeight);
        Bottom = Place(
            "ControlBarBottom", TSmartCtrl::Create<TControlBarBottom>(Context), 0, Height - bottom, Width, bottom);
        View = Place("List", TSmartCtrl::Create<TPlayListView>(std::move(list), &Context), 0, top,
            Width - TMenuPanel::TabColumnWidth, Height - top - bottom);
        Menu = Place("MenuPanel", TSmartCtrl::Create<TMenuPanel>(Context), Width - TMenuPanel::TabColumnWidth,
            TControlBar::BarHeight, TMenuPanel::TabColumnWidth, Height - TControlBar::BarHeight - bottom);
        Tip = Place("mpTip", TSmartCtrl::Create<TSmartTip>(&Context), 0, 0, 400, 100);
        Context.Tip = Tip;
    }

    void TearDown() override
    {
        Session.CurrentTrack = nullptr;
        Session.CurrentPlayList = nullptr;
        Host.reset();
        SetUIScale(1.0);
        LibraryTest::TearDown();
    }

    template <class T>
    T* Place(const std::string& id, std::unique_ptr<T> view, int left, int top, int width, int height)
    {
        T* const placed = Host->AddControl(id, std::move(view));
        placed->SetPosition(left, top);
        placed->SetWidth(width);
        placed->SetHeight(height);
        return placed;
    }

    // The colour at a logical point of the window.
    uint32_t At(int x, int y) const { return Host->svCanvas.PixelAt(Scale(x), Scale(y)); }

    // How many device pixels of a logical rectangle of the window stand out from a colour.
    int Ink(const TRect& logical, uint32_t background) const
    {
        int count = 0;
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                count += ColourDistance(Host->svCanvas.PixelAt(x, y), background) > 90 ? 1 : 0;
        return count;
    }

    // Whether a logical rectangle holds a pixel of nearly the given colour.
    bool Holds(const TRect& logical, uint32_t colour) const
    {
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                if (ColourDistance(Host->svCanvas.PixelAt(x, y), colour) <= 6)
                    return true;
        return false;
    }

    // A child's rectangle in logical window units.
    static TRect Logical(const TSmartCtrl& control) { return Unscale(control.GlobalRect()); }

    int Width = 0;
    int Height = 0;
    std::unique_ptr<TSmartVCL> Host;
    TSettings Settings;
    TViewContext Context;
    TControlBar* Bar = nullptr;
    TPlayListBar* GroupBar = nullptr;
    TControlBarBottom* Bottom = nullptr;
    TPlayListView* View = nullptr;
    TMenuPanel* Menu = nullptr;
    TSmartTip* Tip = nullptr;
};

TEST_P(Render, ControlBarsShowTheTrackAndTheirButtons)
{
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    // The bar's chrome, the main cover frame with its placeholder disc, the track's title.
    EXPECT_LE(ColourDistance(At(Width - 700, 200), kBase), 6);
    EXPECT_LE(ColourDistance(At(204 + 30, 14 + 111), kRaised), 6) << "inside the main frame";
    EXPECT_GT(Ink({ 204 + 74, 14 + 74, 204 + 148, 14 + 148 }, kRaised), 0) << "the disc";
    EXPECT_GT(Ink({ 650, 0, 1250, 76 }, kBase), 20) << "the title";
    // The play button's icon and the accent line under the active group button only.
    TRect const play = Logical(*Bottom->tpButtonPlay);
    EXPECT_GT(Ink({ play.Left + 60, play.Top + 10, play.Right - 60, play.Bottom - 10 }, kPanel), 20);
    EXPECT_GT(Ink(Logical(*Bottom->tpVolume), kBase), 20);
    TRect const album = Logical(*GroupBar->Button(2));
    TRect const track = Logical(*GroupBar->Button(0));
    EXPECT_TRUE(Holds({ album.Left, album.Bottom - 15, album.Right, album.Bottom }, kAccent));
    EXPECT_FALSE(Holds({ track.Left, track.Bottom - 15, track.Right, track.Bottom }, kAccent));
    // The tab column: its chrome and the first tab's icon.
    EXPECT_LE(ColourDistance(At(Width - 50, Height - 200), kBase), 6);
    EXPECT_GT(Ink({ Width - 73, 250 + 27, Width - 27, 250 + 73 }, kBase), 20);
}

TEST_P(Render, TheListShowsHeadersCoversAndRows)
{
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    int const top = TControlBar::BarHeight + TPlayListBar::BarHeight;
    TGroupPlace const& first = View->Layout().Groups()[0];
    TRect const header = View->Layout().HeaderRect(first).Offset(0, top);
    EXPECT_LE(ColourDistance(At(header.Left + 20, header.Top + 20), kRaised), 6) << "the cover frame";
    EXPECT_GT(Ink({ header.Left + 74, header.Top + 74, header.Left + 148, header.Top + 148 }, kRaised), 0);
    EXPECT_GT(Ink({ header.Left - 70, header.Bottom + 20, header.Right + 70, header.Bottom + 60 }, kPanel), 20)
        << "the album's name";
    TRect const row = View->Layout().RowRect(first, 1).Offset(0, top);
    EXPECT_LE(ColourDistance(At(row.Left + 5, row.Top + 50), kRowLeft), 6) << "the action area";
    EXPECT_LE(ColourDistance(At(row.Right - 200, row.Top + 50), kPanel), 6);
    EXPECT_GT(Ink({ row.Left + 100, row.Top, row.Left + 500, row.Top + 50 }, kPanel), 20) << "the title";
}

TEST_P(Render, AnEmptyListSaysHowMusicComesIn)
{
    TLocaleManager const locale(VANTOR_SOURCE_DIR, "English.vlng");
    Context.Locale = &locale;
    TRect const area = Logical(*View);
    auto* const empty =
        Place("Empty", TSmartCtrl::Create<TPlayListView>(std::make_unique<TVPlayList>(Session), &Context), area.Left,
            area.Top, area.Width(), area.Height());
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    TRect const shown = Logical(*empty);
    EXPECT_LE(ColourDistance(At(shown.Left + 20, shown.Top + 20), kPanel), 6) << "the list's own background";
    int const middle = (shown.Top + shown.Bottom) / 2;
    EXPECT_GT(Ink({ shown.Left, middle - 30, shown.Right, middle + 30 }, kPanel), 20) << "the hint";
    Context.Locale = nullptr;
}

TEST_P(Render, LettersAndTheTipShowOverTheList)
{
    TInputData move;
    move.idXPos = 10;
    move.idYPos = 500;
    View->MouseMove(move);
    ASSERT_TRUE(View->plAlphabetPanel->Visible());
    Tip->PopUp("Menu.Search", -1, { 1000, 800 });
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    // Both groups are on screen: their letters take the pressed look, with the caption on it.
    std::vector<TGroupLetterButton*> const letters = View->plAlphabetPanel->Letters();
    ASSERT_EQ(letters.size(), 2u);
    TRect const letter = Logical(*letters[1]);
    EXPECT_LE(ColourDistance(At(letter.Left + 10, letter.Top + 40), kAccentDeep), 6);
    EXPECT_GT(Ink(letter, kAccentDeep), 20) << "the caption";
    EXPECT_LE(ColourDistance(At(Logical(*View->plAlphabetPanel).Left + 300, Height - 400), kBase), 6);
    EXPECT_LE(ColourDistance(At(1000 + 20, 800 + 50), kRaisedHot), 6) << "the tip";
    EXPECT_GT(Ink(Logical(*Tip), kRaisedHot), 20) << "the tip's text";
}

INSTANTIATE_TEST_SUITE_P(Scales, Render, ::testing::Values(0.4, 1.0));

}
}
