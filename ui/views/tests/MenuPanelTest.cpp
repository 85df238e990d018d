// The side menu: tabs open and close their pages, the actions bar places its buttons, tips
// show where they should, the delete-mode switch, the playlists page follows the lists and
// the search page finds tracks of the active list.

#include "library/tests/LibraryTestSupport.h"

#include "library/PlayQueue.h"
#include "library/SelectionOps.h"
#include "platform/window/FakeMessageBox.h"
#include "player/settings/Settings.h"
#include "ui/framework/SmartVCL.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/ListHolder.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/menu/QueueFilePages.h"
#include "ui/views/menu/SearchHolder.h"
#include "ui/views/menu/TrackPages.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"
#include "ui/views/shared/SmartTip.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

class Menu : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        Context.Session = &Session;
        Context.Host = &Host;
        Context.Settings = &Settings;
        Lists = TSmartCtrl::Create<TPlayListPanel>(Session, &Context);
        Context.PlayLists = Lists.get();
        ThePanel = Host.AddControl("MenuPanel", TSmartCtrl::Create<TMenuPanel>(Context));
        ThePanel->SetPosition(2000 - 100, 0);
        ThePanel->SetWidth(100);
        ThePanel->SetHeight(1200);
        ThePanel->Relayout = [this] {
            ThePanel->SetPosition(2000 - ThePanel->Width(), 0);
            ++Relayouts;
        };
        ListsPage = static_cast<TListHolder*>(
            ThePanel->AddHolder("ListHolder", TSmartCtrl::Create<TListHolder>(Context), TSmartTabBar::tbPlayLists));
        SearchPage = static_cast<TSearchHolder*>(
            ThePanel->AddHolder("SearchHolder", TSmartCtrl::Create<TSearchHolder>(Context), TSmartTabBar::tbSearch));
        Context.Tip = Host.AddControl("mpTip", TSmartCtrl::Create<TSmartTip>(&Context));
    }

    void TearDown() override
    {
        Host.CM_LIST.Clear();
        Lists.reset();
        LibraryTest::TearDown();
    }

    void PressTab(int index, TMouseButton button = mbLeft)
    {
        TSmartTab* const tab = ThePanel->TabBar->Tab(index);
        TInputData press;
        press.idButton = button;
        press.idXPos = ThePanel->Left() + ThePanel->Width() - 50;
        press.idYPos = tab->Top() + 50;
        ThePanel->MouseDown(press);
    }

    TSmartVCL Host { 800, 480 };
    TSettings Settings;
    TViewContext Context;
    std::unique_ptr<TPlayListPanel> Lists;
    TMenuPanel* ThePanel = nullptr;
    TListHolder* ListsPage = nullptr;
    TSearchHolder* SearchPage = nullptr;
    int Relayouts = 0;
};

TEST_F(Menu, TabsOpenSwitchAndCloseTheirPages)
{
    PressTab(TSmartTabBar::tbPlayLists);
    EXPECT_FALSE(ThePanel->mpCollapsed);
    EXPECT_EQ(ThePanel->Width(), 850);
    EXPECT_EQ(ThePanel->mpHolder, ListsPage);
    EXPECT_TRUE(ListsPage->Visible());
    EXPECT_EQ(ListsPage->Width(), 750);
    EXPECT_TRUE(ThePanel->TabBar->Tab(TSmartTabBar::tbPlayLists)->stActive);

    PressTab(TSmartTabBar::tbSearch);
    EXPECT_FALSE(ThePanel->mpCollapsed) << "another tab switches pages";
    EXPECT_FALSE(ListsPage->Visible());
    EXPECT_TRUE(SearchPage->Visible());
    EXPECT_FALSE(ThePanel->TabBar->Tab(TSmartTabBar::tbPlayLists)->stActive);

    PressTab(TSmartTabBar::tbSearch);
    EXPECT_TRUE(ThePanel->mpCollapsed) << "the open page's tab closes it";
    EXPECT_EQ(ThePanel->Width(), 100);
    EXPECT_EQ(ThePanel->mpHolder, nullptr);
    EXPECT_FALSE(SearchPage->Visible());
    EXPECT_GE(Relayouts, 3);

    // A right press opens the page too, and switches "MenuOnTop".
    PressTab(TSmartTabBar::tbPlayLists, mbRight);
    EXPECT_TRUE(Settings.MenuOnTop);
    EXPECT_TRUE(ListsPage->Visible());
    // A tab without its page yet does nothing.
    PressTab(TSmartTabBar::tbLyrics);
    EXPECT_EQ(ThePanel->mpHolder, ListsPage);

    // A page opened from elsewhere (the board, a button) lights its own tab, not the last one.
    ThePanel->ShowHolder(SearchPage, false);
    EXPECT_TRUE(ThePanel->TabBar->Tab(TSmartTabBar::tbSearch)->stActive);
    EXPECT_FALSE(ThePanel->TabBar->Tab(TSmartTabBar::tbPlayLists)->stActive);
}

TEST_F(Menu, ActionsBarPlacesLeftAndRightButtons)
{
    auto page = TSmartCtrl::Create<TMenuHolder>(Context, "Menu.PlayLists");
    std::vector<TMenuButton*> buttons;
    for (TButtonAlign align : { asLeft, asRight, asLeft, asRight, asLeft })
        buttons.push_back(page->AddButton("Icon.Add.46", "Button.AddPlaylist", align, nullptr));
    page->SetVisible(true);
    page->SetWidth(750);
    page->SetHeight(1000);
    page->Arrange();
    std::vector<int> lefts;
    for (TMenuButton const* button : buttons)
        lefts.push_back(button->Left());
    EXPECT_EQ(lefts, (std::vector<int> { 10, 570, 100, 660, 190 }));
    EXPECT_EQ(page->mhActionsBar->Top(), 900);
    EXPECT_EQ(page->mhItemContainer->Top(), 100);
    EXPECT_EQ(page->mhItemContainer->Height(), 800);
}

TEST_F(Menu, TabTipsShowOnlyWhileCollapsedAndTheModeButtonSwitchesDeleteMode)
{
    TSmartTip* const tip = Context.Tip;
    TInputData at;
    TSmartTab* const tab = ThePanel->TabBar->Tab(TSmartTabBar::tbQueue);
    tab->Enter(at);
    ASSERT_TRUE(tip->Visible());
    EXPECT_EQ(tip->mtCaption, "Menu.PlayQueue");
    EXPECT_EQ(tip->Left() + tip->Width(), ThePanel->Left() - 50);
    EXPECT_EQ(tip->Top(), tab->Top());
    tab->Leave(at);
    EXPECT_FALSE(tip->Visible());
    PressTab(TSmartTabBar::tbPlayLists);
    tab->Enter(at);
    EXPECT_FALSE(tip->Visible()) << "no tab tips while a page is open";
    tab->Leave(at);

    // Page buttons tip always.
    ListsPage->mhActionsBar->Controls(0)->Control(0)->Enter(at);
    EXPECT_TRUE(tip->Visible());
    EXPECT_EQ(tip->mtCaption, "Button.AddPlaylist");

    TVPlayList* const list = Lists->AddPlaylist({}, true);
    ASSERT_NE(list, nullptr);
    TInputData press;
    press.idXPos = ThePanel->mpModeButton->Left() + ThePanel->Left() + 50;
    press.idYPos = ThePanel->mpModeButton->Top() + 50;
    ThePanel->MouseDown(press);
    EXPECT_TRUE(list->plDeleteMode);
    EXPECT_EQ(tip->mtCaption, "Tip.DeleteMode: Tip.DeleteMode.On");
    ThePanel->MouseDown(press);
    EXPECT_FALSE(list->plDeleteMode);
}

TEST_F(Menu, PlaylistsPageFollowsTheListsAndActivatesThem)
{
    TVPlayList* const first = Lists->AddPlaylist({}, true);
    TVPlayList* const second = Lists->AddPlaylist({}, false);
    PressTab(TSmartTabBar::tbPlayLists);
    TControlList& entries = ListsPage->mhItemContainer->ItemList();
    ASSERT_EQ(entries.Count(), 2);
    EXPECT_EQ(entries.Control(1)->Top(), 102 + 10);
    EXPECT_EQ(entries.Control(1)->Height(), 92);

    TInputData press;
    press.idXPos = 300;
    press.idYPos = ListsPage->mhItemContainer->Top() + entries.Control(1)->Top() + 20;
    ListsPage->mhItemContainer->MouseDown(press);
    EXPECT_EQ(Session.CurrentPlayList, second);

    TFakeMessageBox box;
    box.Answers.push_back(true);
    Lists->MessageBox = &box;
    ASSERT_TRUE(Lists->RemovePlaylist(second));
    ASSERT_EQ(entries.Count(), 1);
    EXPECT_EQ(static_cast<TListItem*>(entries.Control(0))->liPlayList, first);
}

TEST_F(Menu, SearchFindsTitlesOfTheActiveListWhateverTheirCase)
{
    TVPlayList* const list = Lists->AddPlaylist({}, true);
    for (char const* title : { "Blue Moon", "so BLUE", "Green", "bluebird" })
        list->AppendTrack(Track({ { "FilePath", std::string("/m/") + title }, { "TrackName", title } }));
    list->GroupPlaylist(gmTrackName, false);
    PressTab(TSmartTabBar::tbSearch);
    SearchPage->shSearchEdit->SetText("blue");
    SearchPage->Search();
    EXPECT_EQ(SearchPage->shFound, 3);
    TControlList& results = SearchPage->mhItemContainer->ItemList();
    ASSERT_EQ(results.Count(), 3);
    std::vector<std::string> titles;
    for (int n = 0; n < results.Count(); ++n)
        titles.push_back(static_cast<TSearchItem*>(results.Control(n))->Track->GetTag("TrackName"));
    EXPECT_EQ(titles, (std::vector<std::string> { "Blue Moon", "bluebird", "so BLUE" })) << "in group and row order";

    // A result whose track goes goes with it.
    list->RemoveItem(list->plGroups[0]->Rows()[0], false);
    EXPECT_EQ(SearchPage->shFound, 2);
    EXPECT_EQ(results.Count(), 2);
}

TEST_F(Menu, SelectionPageFollowsTheSelectionAndItsTabCounts)
{
    auto* const page = static_cast<TSelectedHolder*>(ThePanel->AddHolder(
        "mhSelectedHolder", TSmartCtrl::Create<TSelectedHolder>(Context), TSmartTabBar::tbSelected));
    TVPlayList* const list = Lists->AddPlaylist({}, true);
    for (char const* title : { "A", "B", "C" })
        list->AppendTrack(Track({ { "FilePath", std::string("/m/") + title }, { "TrackName", title } }));
    list->GroupPlaylist(gmTrackName, false);
    Select(*list, selAll, Session.Selection());
    TSmartTab* const tab = ThePanel->TabBar->Tab(TSmartTabBar::tbSelected);
    TControlList& entries = page->mhItemContainer->ItemList();
    EXPECT_EQ(entries.Count(), 3);
    EXPECT_EQ(tab->stSelCount, 3);

    // The left area unselects; the entry goes with it.
    PressTab(TSmartTabBar::tbSelected);
    TInputData press;
    press.idXPos = page->mhItemContainer->Left() + entries.Control(1)->Left() + 10;
    press.idYPos = page->mhItemContainer->Top() + entries.Control(1)->Top() + 10;
    page->MouseDown(press);
    EXPECT_EQ(entries.Count(), 2);
    EXPECT_EQ(tab->stSelCount, 2);
    EXPECT_EQ(Session.Selection().Count(), 2u);
    // A track that goes leaves the selection and the page.
    list->ClearList();
    EXPECT_EQ(entries.Count(), 0);
    EXPECT_EQ(tab->stSelCount, 0);
}

TEST_F(Menu, QueueIsSavedUnderANameAndLoadedBack)
{
    // No queue folder yet: saving makes it.
    std::filesystem::path const queues = Root / "Queues";
    auto* const queuePage = static_cast<TQueueHolder*>(
        ThePanel->AddHolder("QueueHolder", TSmartCtrl::Create<TQueueHolder>(Context), TSmartTabBar::tbQueue));
    auto back = [this, queuePage] { ThePanel->ShowHolder(queuePage, true); };
    auto* const files = static_cast<TQueueFilesHolder*>(
        ThePanel->AddHolder("QueueFilesHolder", TSmartCtrl::Create<TQueueFilesHolder>(Context, queues, back)));
    auto* const save = static_cast<TQueueSaveHolder*>(
        ThePanel->AddHolder("QueueFilesSaveHolder", TSmartCtrl::Create<TQueueSaveHolder>(Context, queues, back)));
    TFakeMessageBox box;
    Context.Messages = &box;

    TVPlayList* const list = Lists->AddPlaylist({}, true);
    for (char const* title : { "A", "B" })
        list->AppendTrack(Track({ { "FilePath", std::string("/m/") + title }, { "TrackName", title } }));
    list->GroupPlaylist(gmTrackName, false);
    for (auto const& group : list->plGroups)
        Session.Queue().AddToQueue(group->Rows()[0]->idTrackData);
    EXPECT_EQ(queuePage->mhItemContainer->ItemList().Count(), 2);

    ThePanel->ShowHolder(save, true);
    EXPECT_FALSE(save->Save()) << "no name";
    ASSERT_EQ(box.Shown.size(), 1u);
    EXPECT_EQ(box.Shown[0].Text, "Messages.QueueName!");
    save->qsName->SetText("Evening");
    save->qsDescription->SetText("Quiet ones");
    EXPECT_TRUE(save->Save());

    Session.Queue().ClearQueue();
    EXPECT_EQ(queuePage->mhItemContainer->ItemList().Count(), 0);
    ThePanel->ShowHolder(files, true);
    TControlList& saved = files->mhItemContainer->ItemList();
    ASSERT_EQ(saved.Count(), 1);
    EXPECT_EQ(static_cast<TQueueFileItem*>(saved.Control(0))->Info.Caption, "Evening");
    TInputData press;
    press.idXPos = files->mhItemContainer->Left() + 100;
    press.idYPos = files->mhItemContainer->Top() + saved.Control(0)->Top() + 10;
    files->MouseDown(press);
    EXPECT_EQ(Session.Queue().Count(), 2);
    EXPECT_EQ(ThePanel->mpHolder, queuePage) << "back on the queue page";
    EXPECT_EQ(queuePage->mhItemContainer->ItemList().Count(), 2);
}

}
}
