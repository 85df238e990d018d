// The playlist options page: filled for the active list from the playlists page, the name
// renames and saves the list on the way back, folders are linked through the desktop's folder
// dialog, unlinked by a press on their entry and rescanned; a list that goes is let go, and
// late dialog answers are dropped. Painted with the default theme at 0.4 and 1.0.

#include "library/tests/LibraryTestSupport.h"

#include "library/PlaylistLoader.h"
#include "platform/shell/FakeShell.h"
#include "platform/window/FakeMessageBox.h"
#include "platform/window/UIDispatcher.h"
#include "player/settings/Settings.h"
#include "tests/support/Waits.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/ListHolder.h"
#include "ui/views/menu/ListOptionsHolder.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"

#include "ui/views/tests/ColourDistance.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ListOptions : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        Session.LoaderHooks.Dispatcher = &Dispatcher;
        Context.Session = &Session;
        Context.Host = &Host;
        Context.Settings = &Settings;
        Context.Shell = &Shell;
        Context.Messages = &Messages;
        Lists = TSmartCtrl::Create<TPlayListPanel>(Session, &Context);
        Lists->MessageBox = &Messages;
        Context.PlayLists = Lists.get();
        ThePanel = Host.AddControl("MenuPanel", TSmartCtrl::Create<TMenuPanel>(Context));
        ThePanel->SetPosition(2000 - 100, 0);
        ThePanel->SetWidth(100);
        ThePanel->SetHeight(1200);
        ThePanel->Relayout = [this] { ThePanel->SetPosition(2000 - ThePanel->Width(), 0); };
        // Wired as the window wires them.
        ListsPage = static_cast<TListHolder*>(
            ThePanel->AddHolder("ListHolder", TSmartCtrl::Create<TListHolder>(Context), TSmartTabBar::tbPlayLists));
        Page = static_cast<TListOptionsHolder*>(ThePanel->AddHolder("mhListOptionsHolder",
            TSmartCtrl::Create<TListOptionsHolder>(Context, [this] { ThePanel->ShowHolder(ListsPage, true); })));
        ListsPage->ShowOptions = [this](TVPlayList& list) {
            Page->PopulateSettings(list);
            ThePanel->ShowHolder(Page, false);
        };
        ListsPage->ListRemoved = [this](const TVPlayList& list) { Page->ReleasePlayList(list); };
        fs::create_directories(Root / "linked/Jazz");
        fs::create_directories(Root / "linked/Rock");
    }

    void TearDown() override
    {
        Host.CM_LIST.Clear();
        Lists.reset();
        LibraryTest::TearDown();
    }

    static TMenuButton* Button(TMenuHolder& page, const std::string& icon)
    {
        TControlList& buttons = *page.mhActionsBar->Controls(0);
        for (int n = 0; n < buttons.Count(); ++n)
            if (auto* const button = static_cast<TMenuButton*>(buttons.Control(n)); button->mbIcon == icon)
                return button;
        return nullptr;
    }

    static void Press(TMenuHolder& page, const std::string& icon)
    {
        TMenuButton* const button = Button(page, icon);
        ASSERT_NE(button, nullptr) << icon;
        button->mbAction(*button, {});
    }

    // A list with two linked folders, active, its options page open.
    TVPlayList* OpenOptions()
    {
        TVPlayList* const list = Lists->AddPlaylist({}, true);
        list->plCaption = "Evening";
        list->plLinkedFolders = { Jazz(), Rock() };
        Press(*ListsPage, "Icon.Menu.46");
        return list;
    }

    TControlList& Entries() const { return Page->mhItemContainer->ItemList(); }
    TLinkedFolderItem* Entry(int n) const { return static_cast<TLinkedFolderItem*>(Entries().Control(n)); }

    void PressEntry(int n, int x)
    {
        TInputData press;
        press.idXPos = Page->mhItemContainer->Left() + Entry(n)->Left() + x;
        press.idYPos = Page->mhItemContainer->Top() + Entry(n)->Top() + 40;
        Page->mhItemContainer->MouseDown(press);
    }

    std::string Jazz() const { return (Root / "linked/Jazz").string(); }
    std::string Rock() const { return (Root / "linked/Rock").string(); }

    TUIDispatcher Dispatcher;
    TSmartVCL Host { 2000, 1200 };
    TSettings Settings;
    TFakeShell Shell;
    TFakeMessageBox Messages;
    TViewContext Context;
    std::unique_ptr<TPlayListPanel> Lists;
    TMenuPanel* ThePanel = nullptr;
    TListHolder* ListsPage = nullptr;
    TListOptionsHolder* Page = nullptr;
};

TEST_F(ListOptions, OpensForTheActiveListWithTheFieldAboveOneEntryPerFolder)
{
    Press(*ListsPage, "Icon.Menu.46");
    EXPECT_NE(ThePanel->mpHolder, Page) << "no active list: nothing opens";

    OpenOptions();
    ASSERT_EQ(ThePanel->mpHolder, Page);
    EXPECT_EQ(Page->loListName->seText, "Evening");
    EXPECT_EQ(Page->loListName->Left(), 10);
    EXPECT_EQ(Page->loListName->Top(), TMenuHolder::BarHeight + 10);
    EXPECT_EQ(Page->loListName->Width(), Page->Width() - 20);
    EXPECT_EQ(Page->loListName->Height(), TListOptionsHolder::FieldHeight);
    ASSERT_EQ(Entries().Count(), 2);
    EXPECT_EQ(Entry(0)->Caption, Jazz());
    EXPECT_EQ(Entry(1)->Caption, Rock());
    EXPECT_GE(Page->mhItemContainer->Top() + Entry(0)->Top(), Page->loListName->Top() + Page->loListName->Height())
        << "the entries start below the field";
    EXPECT_EQ(Entry(1)->Top() - Entry(0)->Top(), 100);
}

TEST_F(ListOptions, BackRenamesAndSavesOnlyAChangedName)
{
    struct TCase {
        std::string Typed;
        std::string Caption; // after going back
    };
    for (TCase const& c : std::vector<TCase> {
             { "Road trip", "Road trip" },
             { "Evening", "Evening" },
             { "", "Evening" },
             { "  ", "Evening" },
         }) {
        SCOPED_TRACE(c.Typed);
        TVPlayList* const list = OpenOptions();
        Page->loListName->SetText(c.Typed);
        Press(*Page, "Icon.Backward.Back");
        EXPECT_EQ(list->plCaption, c.Caption);
        EXPECT_EQ(ThePanel->mpHolder, ListsPage);
        bool const renamed = c.Typed == "Road trip";
        EXPECT_EQ(fs::exists(list->SavePath()), renamed) << "the file is written only for a new name";
        if (renamed) {
            EXPECT_NE(ReadText(list->SavePath()).find("Caption=Road trip"), std::string::npos);
        }
    }
    // A special list keeps its name.
    TVPlayList* const library = Lists->AddPlaylist("#Library", true);
    ASSERT_NE(library, nullptr);
    std::string const caption = library->plCaption;
    Press(*ListsPage, "Icon.Menu.46");
    Page->loListName->SetText("Mine");
    Press(*Page, "Icon.Backward.Back");
    EXPECT_EQ(library->plCaption, caption);
}

TEST_F(ListOptions, AFolderPickedIsLinkedSavedAndShown)
{
    TVPlayList* const list = OpenOptions();
    fs::create_directories(Root / "linked/Folk");
    std::string const folk = (Root / "linked/Folk").string();

    Press(*Page, "Icon.Add.46");
    EXPECT_EQ(Shell.PickTitle, "Selected Folder");
    EXPECT_EQ(Shell.PickAcceptLabel, "Select Folder");
    EXPECT_FALSE(Page->LinkFolder()) << "one dialog at a time";
    ASSERT_TRUE(Shell.AnswerFolder(TFolderPickResult::fpPicked, folk));
    EXPECT_EQ(list->plLinkedFolders, (std::vector<std::string> { Jazz(), Rock(), folk }));
    ASSERT_EQ(Entries().Count(), 3);
    EXPECT_EQ(Entry(2)->Caption, folk);
    EXPECT_EQ(Entry(2)->Top() - Entry(1)->Top(), 100);
    EXPECT_NE(
        ReadText(list->SavePath()).find("[#Linked]\n0=" + Jazz() + "\n1=" + Rock() + "\n2=" + folk), std::string::npos);

    // A folder linked already, closing the dialog: nothing changes; no dialog at all is said
    // in a message.
    Press(*Page, "Icon.Add.46");
    ASSERT_TRUE(Shell.AnswerFolder(TFolderPickResult::fpPicked, Jazz()));
    Press(*Page, "Icon.Add.46");
    ASSERT_TRUE(Shell.AnswerFolder(TFolderPickResult::fpCancelled));
    Press(*Page, "Icon.Add.46");
    ASSERT_TRUE(Shell.AnswerFolder(TFolderPickResult::fpUnavailable));
    EXPECT_EQ(list->plLinkedFolders.size(), 3u);
    EXPECT_EQ(Entries().Count(), 3);
    ASSERT_EQ(Messages.Shown.size(), 1u);
    EXPECT_EQ(Messages.Shown[0].Text, "Messages.NoFolderDialog");
}

TEST_F(ListOptions, APressOnAnEntryUnlinksItsFolderWhichTheRescanThenSkips)
{
    TVPlayList* const list = OpenOptions();
    fs::copy_file(fs::path(VANTOR_TEST_DATA) / "covers/tracks/no-cover.mp3", Root / "linked/Rock/a.mp3");
    fs::copy_file(fs::path(VANTOR_TEST_DATA) / "covers/tracks/no-cover.mp3", Root / "linked/Jazz/b.mp3");

    PressEntry(0, TLinkedFolderItem::ActionWidth + 100);
    EXPECT_EQ(Entries().Count(), 2) << "only the left area unlinks";
    PressEntry(0, 40);
    ASSERT_EQ(Entries().Count(), 1);
    EXPECT_EQ(Entry(0)->Caption, Rock());
    EXPECT_EQ(Entry(0)->Top(), 10 + TListOptionsHolder::FieldHeight + 20) << "the rest moves up";
    EXPECT_EQ(list->plLinkedFolders, std::vector<std::string> { Rock() });
    std::string const file = ReadText(list->SavePath());
    EXPECT_EQ(file.find(Jazz()), std::string::npos) << "the file forgets the link at once";

    Press(*Page, "Icon.Refresh.46");
    EXPECT_EQ(list->plScanList, std::vector<std::string> { Rock() });
    ASSERT_TRUE(RunPostedUntil(Dispatcher, [&] { return list->TrackCount() == 1 && !list->plLoading; }));
    Load_Stop(*list);
    EXPECT_EQ(list->GetTrackData(0)->GetTag(tkFilePath), (Root / "linked/Rock/a.mp3").string());
}

TEST_F(ListOptions, AListThatGoesIsLetGoAndLateAnswersAreDropped)
{
    TVPlayList* const first = OpenOptions();
    // A dialog opened for one list does not link into the list shown when it answers.
    Press(*Page, "Icon.Add.46");
    TVPlayList* const second = Lists->AddPlaylist({}, true);
    Press(*ListsPage, "Icon.Menu.46");
    ASSERT_EQ(Page->PlayList(), second);
    ASSERT_TRUE(Shell.AnswerFolder(TFolderPickResult::fpPicked, Jazz()));
    EXPECT_TRUE(second->plLinkedFolders.empty());
    EXPECT_EQ(first->plLinkedFolders.size(), 2u);
    EXPECT_EQ(Entries().Count(), 0);

    // The list shown goes while its dialog is open.
    Press(*Page, "Icon.Add.46");
    Messages.Answers.push_back(true);
    ASSERT_TRUE(Lists->RemovePlaylist(second));
    EXPECT_EQ(Page->PlayList(), nullptr);
    EXPECT_TRUE(Page->loListName->seText.empty());
    ASSERT_TRUE(Shell.AnswerFolder(TFolderPickResult::fpUnavailable));
    EXPECT_EQ(Messages.Shown.size(), 1u) << "only the delete question";
    for (const char* icon : { "Icon.Backward.Back", "Icon.Add.46", "Icon.Refresh.46" })
        Press(*Page, icon);
    EXPECT_FALSE(Shell.PendingPick) << "no dialog without a list";
    EXPECT_EQ(ThePanel->mpHolder, ListsPage);
}

// ---- Painted -----------------------------------------------------------------------------

class ListOptionsRender : public LibraryTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        SetUIScale(GetParam());
        Host = std::make_unique<TSmartVCL>(Scale(750), Scale(1200));
        ASSERT_TRUE(Host->ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs"));
        Context.Theme = Host->ThemeManager.get();
        Context.Session = &Session;
        Context.Host = Host.get();
        Page = Host->AddControl("mhListOptionsHolder", TSmartCtrl::Create<TListOptionsHolder>(Context, nullptr));
        Page->SetWidth(750);
        Page->SetHeight(1200);
        Page->SetVisible(true);
        List = std::make_unique<TVPlayList>(Session);
        List->plCaption = "Evening Mix";
        List->plLinkedFolders = { "/home/me/Music/Jazz Standards", "/home/me/Music/Rock" };
        Page->PopulateSettings(*List);
        Host->PaintBackBuffer();
    }

    void TearDown() override
    {
        Host.reset();
        List.reset();
        SetUIScale(1.0);
        LibraryTest::TearDown();
    }

    uint32_t At(int x, int y) const { return Host->svCanvas.PixelAt(Scale(x), Scale(y)); }

    // Device pixels of a logical rectangle that stand out from the colour at its corner.
    int Ink(const TRect& logical) const
    {
        uint32_t const background = At(logical.Left + 2, logical.Top + 2);
        int count = 0;
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                count += ColourDistance(Host->svCanvas.PixelAt(x, y), background) > 90 ? 1 : 0;
        return count;
    }

    static TRect Logical(const TSmartCtrl& control) { return Unscale(control.GlobalRect()); }

    std::unique_ptr<TSmartVCL> Host;
    TViewContext Context;
    std::unique_ptr<TVPlayList> List;
    TListOptionsHolder* Page = nullptr;
};

TEST_P(ListOptionsRender, TheNameFieldAndTheFolderEntriesShow)
{
    SCOPED_TRACE(GetParam());
    TRect const field = Logical(*Page->loListName);
    EXPECT_GT(Ink({ field.Left + 5, field.Top + 10, field.Left + 300, field.Bottom - 10 }), 20) << "the name";
    EXPECT_GT(Ink({ 100, 20, 650, 80 }), 20) << "the caption";
    TLinkedFolderItem const& entry = *static_cast<TLinkedFolderItem*>(Page->mhItemContainer->ItemList().Control(0));
    TRect const area = Logical(entry);
    EXPECT_GE(area.Top, field.Bottom);
    int const middle = area.Top + area.Height() / 2;
    EXPECT_GT(Ink({ area.Left + 20, area.Top + 20, area.Left + 76, area.Bottom - 20 }), 20) << "the remove icon";
    EXPECT_GT(Ink({ area.Left + 116, area.Top + 5, area.Left + 500, middle }), 20) << "the folder's name";
    EXPECT_GT(Ink({ area.Left + 116, middle, area.Left + 600, area.Bottom - 5 }), 20) << "the folder's path";
    EXPECT_NE(At(area.Right - 10, area.Top + 10), At(area.Right - 10, area.Top - 5)) << "the entry's card";
}

INSTANTIATE_TEST_SUITE_P(Scales, ListOptionsRender, ::testing::Values(0.4, 1.0));

}
}
