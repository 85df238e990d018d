// The side menu's playlists, queue, selection, search, queue file and tag pages painted with
// the default theme at 0.4 and 1.0: each draws its entries where they are, with the skin's
// backgrounds, texts and icons.

#include "library/tests/LibraryTestSupport.h"

#include "library/PlayQueue.h"
#include "library/SelectionOps.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "tags/Tags.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/ListHolder.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/menu/QueueFilePages.h"
#include "ui/views/menu/SearchHolder.h"
#include "ui/views/menu/TagPages.h"
#include "ui/views/menu/TrackEntry.h"
#include "ui/views/menu/TrackPages.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"

#include "ui/views/tests/ColourDistance.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vantor::testing {
namespace {

class MenuPagesRender : public LibraryTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        SetUIScale(GetParam());
        Host = std::make_unique<TSmartVCL>(Scale(1000), Scale(1200));
        ASSERT_TRUE(Host->ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs"));
        Context.Theme = Host->ThemeManager.get();
        Context.Session = &Session;
        Context.Host = Host.get();
        Lists = TSmartCtrl::Create<TPlayListPanel>(Session, &Context);
        Context.PlayLists = Lists.get();
        // The pages in the side menu, wired as the window wires them.
        Menu = Host->AddControl("MenuPanel", TSmartCtrl::Create<TMenuPanel>(Context));
        Menu->SetWidth(TMenuPanel::TabColumnWidth);
        Menu->SetHeight(1200);
        ListsPage = Add<TListHolder>("ListHolder", TSmartTabBar::tbPlayLists);
        QueuePage = Add<TQueueHolder>("QueueHolder", TSmartTabBar::tbQueue);
        SelectionPage = Add<TSelectedHolder>("mhSelectedHolder", TSmartTabBar::tbSelected);
        SearchPage = Add<TSearchHolder>("SearchHolder", TSmartTabBar::tbSearch);
        auto back = [this] { Menu->ShowHolder(QueuePage, true); };
        FilesPage = Add<TQueueFilesHolder>("QueueFilesHolder", -1, Root / "Queues", back);
        SavePage = Add<TQueueSaveHolder>("QueueFilesSaveHolder", -1, Root / "Queues", back);
        TagsPage = Add<TTagsHolder>("TagsHolder", TSmartTabBar::tbTags);
        PickerPage = Add<TTagsSelectHolder>("TagsSelectHolder", -1, *TagsPage, [] {});
    }

    void TearDown() override
    {
        Host.reset();
        Lists.reset();
        SetUIScale(1.0);
        LibraryTest::TearDown();
    }

    template <class T, class... Args>
    T* Add(const std::string& id, int tab, Args&&... args)
    {
        return static_cast<T*>(Menu->AddHolder(id, TSmartCtrl::Create<T>(Context, std::forward<Args>(args)...), tab));
    }

    // A list of titled tracks by one artist, the active one unless told otherwise.
    TVPlayList* ListOf(std::initializer_list<const char*> titles, bool active = true)
    {
        TVPlayList* const list = Lists->AddPlaylist({}, active);
        for (char const* title : titles)
            list->AppendTrack(
                Track({ { "FilePath", std::string("/m/") + title }, { "TrackName", title }, { "Artist", "Someone" } }));
        list->GroupPlaylist(gmTrackName, false);
        return list;
    }

    void Show(TMenuHolder& page)
    {
        Menu->ShowHolder(&page, true);
        Host->PaintBackBuffer();
    }

    uint32_t At(int x, int y) const { return Host->svCanvas.PixelAt(Scale(x), Scale(y)); }

    // The colour a skin image fills a rectangle with, drawn on its own.
    uint32_t SkinColour(std::string_view key) const
    {
        TBitmap probe(Scale(100), Scale(100));
        Host->ThemeManager->Draw(key, probe, "probe", { 0, 0, 100, 100 });
        return probe.PixelAt(Scale(50), Scale(50));
    }

    // How many device pixels of a logical rectangle stand out from a colour.
    int Ink(const TRect& logical, uint32_t background) const
    {
        int count = 0;
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                count += ColourDistance(Host->svCanvas.PixelAt(x, y), background) > 90 ? 1 : 0;
        return count;
    }

    static TRect Logical(const TSmartCtrl& control) { return Unscale(control.GlobalRect()); }
    static TSmartCtrl& Entry(TMenuHolder& page, int n) { return *page.mhItemContainer->ItemList().Control(n); }

    // A track entry: its body and left area in their skin colours, the page's icon there (a
    // search result has none), its title and artist.
    void ExpectTrackEntry(const TSmartCtrl& entry, bool withIcon)
    {
        TRect const area = Logical(entry);
        int const middle = area.Top + area.Height() / 2;
        int const left = TTrackEntry::ActionWidth;
        uint32_t const body = At(area.Right - 10, middle);
        EXPECT_LE(ColourDistance(body, SkinColour(skin::controls::PlayListItem)), 12);
        uint32_t const action = At(area.Left + 5, middle);
        EXPECT_LE(ColourDistance(action, SkinColour(skin::controls::PlaylistItem_Left)), 12) << "the left area";
        int const icon =
            Ink({ area.Left + (left - 46) / 2, middle - 23, area.Left + (left + 46) / 2, middle + 23 }, action);
        if (withIcon)
            EXPECT_GT(icon, 20) << "its icon";
        else
            EXPECT_EQ(icon, 0) << "no icon";
        EXPECT_GT(Ink({ area.Left + left + 20, area.Top, area.Right - 20, middle }, body), 20) << "the title";
        EXPECT_GT(Ink({ area.Left + left + 20, middle, area.Right - 20, area.Bottom }, body), 20) << "the artist";
    }

    std::unique_ptr<TSmartVCL> Host;
    TViewContext Context;
    std::unique_ptr<TPlayListPanel> Lists;
    TMenuPanel* Menu = nullptr;
    TListHolder* ListsPage = nullptr;
    TQueueHolder* QueuePage = nullptr;
    TSelectedHolder* SelectionPage = nullptr;
    TSearchHolder* SearchPage = nullptr;
    TQueueFilesHolder* FilesPage = nullptr;
    TQueueSaveHolder* SavePage = nullptr;
    TTagsHolder* TagsPage = nullptr;
    TTagsSelectHolder* PickerPage = nullptr;
};

TEST_P(MenuPagesRender, PlaylistsPageHighlightsTheActiveListAndMarksThePlayingOne)
{
    ListOf({ "A", "B" })->plCaption = "Evening";
    TVPlayList* const playing = ListOf({ "C" }, false);
    playing->plCaption = "Morning";
    Session.CurrentTrack = playing->plGroups[0]->Rows()[0]->idTrackData;
    Show(*ListsPage);
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(ListsPage->mhItemContainer->ItemList().Count(), 2);

    uint32_t const highlight = SkinColour(skin::controls::ListItem);
    uint32_t const panel = SkinColour(skin::controls::MenuPanel_Back);
    ASSERT_GT(ColourDistance(highlight, panel), 12);
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        TRect const entry = Logical(Entry(*ListsPage, n));
        int const middle = entry.Top + entry.Height() / 2;
        // Between the list's icon and its texts.
        uint32_t const back = At(entry.Left + 88, middle);
        EXPECT_LE(ColourDistance(back, n == 0 ? highlight : panel), 12) << "only the active list is highlighted";
        EXPECT_GT(Ink({ entry.Left + 23, middle - 23, entry.Left + 69, middle + 23 }, back), 20) << "its icon";
        EXPECT_GT(Ink({ entry.Left + 108, entry.Top, entry.Right - 80, middle }, back), 20) << "the caption";
        EXPECT_GT(Ink({ entry.Left + 108, middle, entry.Right - 80, entry.Bottom }, back), 20) << "the track count";
        int const track = Ink({ entry.Right - 69, middle - 23, entry.Right - 23, middle + 23 }, back);
        if (n == 0)
            EXPECT_EQ(track, 0) << "no track of it plays";
        else
            EXPECT_GT(track, 20) << "the playing track's icon";
    }
}

TEST_P(MenuPagesRender, QueuePageDrawsEachQueuedTrackWithItsBin)
{
    TVPlayList* const list = ListOf({ "A", "B" });
    for (auto const& group : list->plGroups)
        Session.Queue().AddToQueue(group->Rows()[0]->idTrackData);
    Show(*QueuePage);
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(QueuePage->mhItemContainer->ItemList().Count(), 2);
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        ExpectTrackEntry(Entry(*QueuePage, n), true);
    }
    EXPECT_GE(Logical(Entry(*QueuePage, 1)).Top, Logical(Entry(*QueuePage, 0)).Bottom) << "one below the other";
}

TEST_P(MenuPagesRender, SelectionPageDrawsTheTrackAndItsTabTheCountInsteadOfTheIcon)
{
    TVPlayList* const list = ListOf({ "A", "B" });
    Show(*SelectionPage);
    TRect const tab = Logical(*Menu->TabBar->Tab(TSmartTabBar::tbSelected));
    uint32_t const tabBack = At(tab.Left + 3, tab.Top + 3);
    int const icon = Ink(tab, tabBack);
    EXPECT_GT(icon, 20) << "the icon while nothing is selected";

    Session.Selection().Add(*list->plGroups[0]->Rows()[0]->idTrackData);
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(SelectionPage->mhItemContainer->ItemList().Count(), 1);
    ExpectTrackEntry(Entry(*SelectionPage, 0), true);
    int const count = Ink(tab, tabBack);
    EXPECT_GT(count, 20) << "the count";
    EXPECT_LT(count, icon) << "a digit is smaller than the tick icon";
}

TEST_P(MenuPagesRender, SearchPageDrawsTheQueryTheFoundCountAndTheResults)
{
    ListOf({ "Blue Moon", "Green", "bluebird" });
    Show(*SearchPage);
    TRect const field = Logical(*SearchPage->shSearchEdit);
    Host->WindowMouseMove({}, Scale(field.Left + 50), Scale(field.Top + 10));
    Host->WindowMouseDown(mbLeft, {}, Scale(field.Left + 50), Scale(field.Top + 10));
    Host->WindowMouseUp(mbLeft, {}, Scale(field.Left + 50), Scale(field.Top + 10));
    for (char32_t const c : std::u32string(U"blue"))
        Host->WindowKeyPress(c);
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    EXPECT_EQ(SearchPage->shSearchEdit->seText, "blue");
    ASSERT_EQ(SearchPage->shFound, 2);

    TRect const caption = Logical(*SearchPage->mhCaptionBar);
    uint32_t const page = At(caption.Right - 5, caption.Bottom + 5);
    EXPECT_GT(Ink({ field.Left + 10, field.Top + 10, field.Left + 300, field.Bottom - 10 }, page), 20) << "the query";
    // The count's box: right of the field, as high.
    TRect const count { field.Right, field.Top, caption.Right - 10, field.Bottom };
    EXPECT_GT(Ink(count, page), 20) << "the found count";
    EXPECT_GE(Logical(Entry(*SearchPage, 0)).Top, field.Bottom) << "results below the field";
    for (int n = 0; n < 2; ++n)
        ExpectTrackEntry(Entry(*SearchPage, n), false);
}

TEST_P(MenuPagesRender, SavedQueuesPageDrawsNameDescriptionAndCount)
{
    TVPlayList* const list = ListOf({ "A", "B" });
    for (auto const& group : list->plGroups)
        Session.Queue().AddToQueue(group->Rows()[0]->idTrackData);
    ASSERT_FALSE(Session.Queue().SaveQueueFile(Root / "Queues", "Evening", "Quiet ones").empty());
    Show(*FilesPage);
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(FilesPage->mhItemContainer->ItemList().Count(), 1);
    TRect const entry = Logical(Entry(*FilesPage, 0));
    int const middle = entry.Top + entry.Height() / 2;
    uint32_t const back = At(entry.Left + 15, middle);
    EXPECT_LE(ColourDistance(back, SkinColour(skin::controls::PlayListItem)), 12);
    EXPECT_GT(Ink({ entry.Left + 30, entry.Top, entry.Right - 150, middle }, back), 20) << "the name";
    EXPECT_GT(Ink({ entry.Left + 30, middle, entry.Right - 150, entry.Bottom }, back), 20) << "the description";
    EXPECT_GT(Ink({ entry.Right - 150, entry.Top, entry.Right - 30, entry.Bottom }, back), 20) << "the count";
    TRect const caption = Logical(*FilesPage->mhCaptionBar);
    EXPECT_GT(Ink(caption, At(caption.Right - 5, caption.Top + 5)), 20) << "the page's caption";
}

TEST_P(MenuPagesRender, QueueSavePageDrawsBothFieldsWithTheirLabels)
{
    Show(*SavePage);
    SCOPED_TRACE(GetParam());
    TRect const name = Logical(*SavePage->qsName);
    TRect const description = Logical(*SavePage->qsDescription);
    EXPECT_GE(description.Top, name.Bottom) << "one field below the other";
    for (TRect const& field : { name, description }) {
        uint32_t const back = At(field.Right - 10, field.Top + field.Height() / 2);
        EXPECT_GT(Ink({ field.Left + 10, field.Top + 10, field.Right - 10, field.Bottom - 10 }, back), 20)
            << "the label";
    }
    // A typed name replaces its label.
    TRect const text { name.Left + 10, name.Top + 10, name.Right - 10, name.Bottom - 10 };
    uint32_t const back = At(name.Right - 10, name.Top + name.Height() / 2);
    int const label = Ink(text, back);
    SavePage->qsName->SetText("Evening with a much longer name");
    Host->PaintBackBuffer();
    EXPECT_NE(Ink(text, back), label);
}

TEST_P(MenuPagesRender, TagEditorDrawsItsCaptionFieldsAndValuesAndThePickerItsFieldNames)
{
    std::filesystem::path const path = Root / "song.wav";
    test::WriteWav(path, 44100, 1, 0.2, test::Sine(440.0, 0.3));
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(path.string()), 0);
    tags.SetTag("TITLE", "Old title");
    tags.SetTag("ARTIST", "Someone");
    ASSERT_EQ(tags.SaveToFile(path.string()), 0);
    TVPlayList* const list = Lists->AddPlaylist({}, true);
    auto track = std::make_unique<TTrackData>();
    track->SetTag(tkFilePath, path.string());
    ASSERT_TRUE(track->ReadTags());
    TTrackData* const song = list->AppendTrack(std::move(track));

    Menu->ShowHolder(TagsPage, true);
    TagsPage->ReadTags(*song);
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    TRect const caption = Logical(*TagsPage->mhCaptionBar);
    EXPECT_GT(Ink(caption, At(caption.Right - 5, caption.Top + 5)), 20) << "the caption bar";
    TTagsList& lines = *TagsPage->thTagsList;
    ASSERT_GE(lines.Count(), 2);
    uint32_t const top = SkinColour(skin::controls::Tags_Top);
    for (int n = 0; n < 2; ++n) {
        SCOPED_TRACE(n);
        TRect const line = Logical(*lines.Line(n));
        EXPECT_LE(ColourDistance(At(line.Right - 20, line.Top + 5), top), 12) << "the name's strip";
        EXPECT_GT(Ink({ line.Left + 60, line.Top, line.Right - 40, line.Top + TTagItem::CaptionHeight }, top), 20)
            << "the field's name";
        TRect const value = Logical(*lines.Line(n)->giValueEdit);
        uint32_t const back = At(value.Right - 10, value.Top + 5);
        EXPECT_GT(Ink({ value.Left + 10, value.Top, value.Right - 10, value.Bottom }, back), 20) << "its value";
    }

    Menu->ShowHolder(PickerPage, true);
    PickerPage->Fill();
    Host->PaintBackBuffer();
    ASSERT_GT(PickerPage->mhItemContainer->ItemList().Count(), 2);
    for (int n = 0; n < 2; ++n) {
        TRect const line = Logical(Entry(*PickerPage, n));
        EXPECT_GT(Ink({ line.Left + 60, line.Top, line.Right - 40, line.Top + TTagItem::CaptionHeight }, top), 20)
            << "field name " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Scales, MenuPagesRender, ::testing::Values(0.4, 1.0));

}
}
