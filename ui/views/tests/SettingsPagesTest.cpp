// The settings page and the pages it leads to: which themes and languages are listed, what a
// pick changes and keeps, the about text and its fallback, and each page painted with the
// default theme at the scale of a 96 DPI screen (0.4) and at 1.0.

#include "library/tests/LibraryTestSupport.h"

#include "platform/shell/FakeShell.h"
#include "player/paths/AppPaths.h"
#include "player/settings/Settings.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/LyricsPage.h"
#include "ui/views/menu/MenuPanel.h"
#include "ui/views/menu/SettingsPages.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartScroll.h"

#include "ui/views/tests/ColourDistance.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace vantor::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = VANTOR_SOURCE_DIR;

std::vector<std::string> Dirs(std::vector<TChoiceInfo> const& list)
{
    std::vector<std::string> dirs;
    for (TChoiceInfo const& info : list)
        dirs.push_back(info.Dir);
    return dirs;
}

TEST(SettingsLists, ThemesAndLanguagesAreListedByTheirFiles)
{
    struct TCase {
        const char* Name;
        std::vector<std::pair<std::string, std::string>> Files; // path under the folder, content
        std::vector<std::string> Dirs;                          // what the list holds, in order
        std::string FirstCaption;
        std::string FirstDesc;
    };
    TCase const themes[] = {
        { "a theme with #Info", { { "Theme/dark/ThemeData.qxs", "[#Info]\nName=Dark\nAuthor=Ann\n" } }, { "dark" },
            "Dark", "Ann" },
        { "without #Info: its folder's name", { { "Theme/plain/ThemeData.qxs", "[Fonts]\n" } }, { "plain" }, "plain",
            "Nobody" },
        { "without the theme file: not listed",
            { { "Theme/bare/Controls/x.png", "" }, { "Theme/ok/ThemeData.qxs", "" } }, { "ok" }, "ok", "Nobody" },
        { "a file beside the folders is no theme", { { "Theme/ThemeData.qxs", "" } }, {}, "", "" },
        { "no Theme folder", {}, {}, "", "" },
    };
    for (TCase const& c : themes) {
        SCOPED_TRACE(c.Name);
        fs::path const root = ScratchFolder();
        for (auto const& [path, content] : c.Files)
            WriteBytes(root / path, content);
        std::vector<TChoiceInfo> const list = ListThemes({ root }, "Nobody");
        EXPECT_EQ(Dirs(list), c.Dirs);
        if (!list.empty()) {
            EXPECT_EQ(list[0].Caption, c.FirstCaption);
            EXPECT_EQ(list[0].Desc, c.FirstDesc);
        }
    }

    TLocaleManager const locale(kSource, "English.vlng");
    TCase const languages[] = {
        { "exactly .vlng", { { "Languages/Zulu.vlng", "[#Info]\nName=isiZulu\nAuthor=Z\n" } }, { "Zulu.vlng" },
            "isiZulu", "Z" },
        { "an upper-case extension is not listed",
            { { "Languages/Loud.VLNG", "" }, { "Languages/Mixed.Vlng", "" }, { "Languages/Quiet.vlng", "" } },
            { "Quiet.vlng" }, "Quiet.vlng", "Unknown author" },
        { "about texts and other files are not languages",
            { { "Languages/English.vlnga", "" }, { "Languages/notes.txt", "" }, { "Languages/vlng", "" } }, {}, "",
            "" },
    };
    for (TCase const& c : languages) {
        SCOPED_TRACE(c.Name);
        fs::path const root = ScratchFolder();
        for (auto const& [path, content] : c.Files)
            WriteBytes(root / path, content);
        std::vector<TChoiceInfo> const list = ListLanguages({ root }, locale);
        EXPECT_EQ(Dirs(list), c.Dirs);
        if (!list.empty()) {
            EXPECT_EQ(list[0].Caption, c.FirstCaption);
            EXPECT_EQ(list[0].Desc, c.FirstDesc);
        }
    }
}

TEST(SettingsLists, TheUsersOwnWinOverShippedOnesOfTheSameName)
{
    fs::path const user = ScratchFolder() / "user";
    fs::path const shipped = user.parent_path() / "shipped";
    WriteBytes(user / "Theme/dark/ThemeData.qxs", "[#Info]\nName=Mine\n");
    WriteBytes(shipped / "Theme/dark/ThemeData.qxs", "[#Info]\nName=Shipped\n");
    WriteBytes(shipped / "Theme/default/ThemeData.qxs", "");
    std::vector<TChoiceInfo> const list = ListThemes({ user, shipped }, "");
    EXPECT_EQ(Dirs(list), (std::vector<std::string> { "dark", "default" }));
    EXPECT_EQ(list[0].Caption, "Mine");
}

// A portable copy in a scratch folder: the default theme, a theme without images or #Info,
// and the shipped languages.
class SettingsPages : public LibraryTest, public ::testing::WithParamInterface<double> {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        SetUIScale(GetParam());
        fs::create_directories(Root / "Theme");
        fs::create_directory_symlink(kSource / "Theme/default", Root / "Theme/default");
        WriteBytes(Root / "Theme/plain/ThemeData.qxs", "[Colors]\n");
        fs::create_directories(Root / "Languages");
        for (const char* file : { "English.vlng", "English.vlnga", "Deutsch.vlng" })
            fs::copy_file(kSource / "Languages" / file, Root / "Languages" / file);
        Paths = TAppPaths::InFolder(Root);
        Locale = std::make_unique<TLocaleManager>(Root, "English.vlng");

        Width = GetParam() < 1 ? 2730 : 1920;
        Height = GetParam() < 1 ? 1575 : 1200;
        Host = std::make_unique<TSmartVCL>(Scale(Width), Scale(Height));
        ASSERT_TRUE(Host->ThemeManager->Load(Paths.ThemeFile("default").string()));
        Context.Theme = Host->ThemeManager.get();
        Context.Locale = Locale.get();
        Context.Session = &Session;
        Context.Host = Host.get();
        Context.Settings = &Settings;
        Context.Shell = &Shell;
        auto open = [this](const std::string& id) { Opened.push_back(id); };
        auto back = [this] { Opened.push_back("back"); };
        // The pages in the side menu, as the window has them.
        Menu = Host->AddControl("MenuPanel", TSmartCtrl::Create<TMenuPanel>(Context));
        Menu->SetWidth(TMenuPanel::TabColumnWidth);
        Menu->SetHeight(Height - 300);
        Settings_ = Add<TSettingsHolder>("SettingsHolder", open);
        Themes = Add<TThemesHolder>("ThemesHolder", Paths, back);
        Languages = Add<TLanguagesHolder>("LanguageHolder", *Locale, Paths, back);
        About = Add<TAboutHolder>("AboutHolder", back);
    }

    void TearDown() override
    {
        Host.reset();
        SetUIScale(1.0);
        LibraryTest::TearDown();
    }

    template <class T, class... Args>
    T* Add(const std::string& id, Args&&... args)
    {
        return static_cast<T*>(Menu->AddHolder(id, TSmartCtrl::Create<T>(Context, std::forward<Args>(args)...)));
    }

    // Opens one page, filled, at the window's top-left corner, and paints the window.
    void Show(TMenuHolder& page)
    {
        Menu->ShowHolder(&page, true);
        Host->PaintBackBuffer();
    }

    uint32_t At(int x, int y) const { return Host->svCanvas.PixelAt(Scale(x), Scale(y)); }

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

    TSmartCtrl* Entry(TMenuHolder& page, int n) const { return page.mhItemContainer->ItemList().Control(n); }

    void Press(TSmartCtrl& control)
    {
        TRect const area = Logical(control);
        int const x = Scale(area.Left + area.Width() / 2);
        int const y = Scale(area.Top + area.Height() / 2);
        Host->WindowMouseMove({}, x, y);
        Host->WindowMouseDown(mbLeft, {}, x, y);
        Host->WindowMouseUp(mbLeft, {}, x, y);
    }

    int Width = 0;
    int Height = 0;
    TAppPaths Paths = TAppPaths::InFolder(".");
    std::unique_ptr<TLocaleManager> Locale;
    std::unique_ptr<TSmartVCL> Host;
    TSettings Settings;
    TFakeShell Shell;
    TViewContext Context;
    std::vector<std::string> Opened;
    TMenuPanel* Menu = nullptr;
    TSettingsHolder* Settings_ = nullptr;
    TThemesHolder* Themes = nullptr;
    TLanguagesHolder* Languages = nullptr;
    TAboutHolder* About = nullptr;
};

TEST_P(SettingsPages, SettingsPageShowsTheHeaderItsEntriesAndTheDonateButton)
{
    Show(*Settings_);
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(Settings_->mhItemContainer->ItemList().Count(), 3);
    EXPECT_FALSE(Settings_->mhCaptionBar->Visible());
    EXPECT_NEAR(Settings_->mhItemContainer->Top(), TSettingsLayout::HeaderHeight, 1);
    // The header: its back, the logo, the product's name and version.
    uint32_t const header = At(700, 20);
    EXPECT_GT(ColourDistance(header, At(700, TSettingsLayout::HeaderHeight + 5)), 6) << "the header stands out";
    EXPECT_GT(Ink({ 30, 30, 196, 196 }, header), 100) << "the logo";
    EXPECT_GT(Ink({ 235, 50, 700, 120 }, header), 20) << "vantor";
    EXPECT_GT(Ink({ 255, 120, 700, 160 }, header), 20) << "version";
    // Each entry: its icon in the left part and its caption.
    for (int n = 0; n < 3; ++n) {
        TRect const entry = Logical(*Entry(*Settings_, n));
        uint32_t const back = At(entry.Right - 5, entry.Top + entry.Height() / 2);
        EXPECT_GT(Ink({ entry.Left + 10, entry.Top + 8, entry.Left + 84, entry.Bottom - 8 }, back), 20) << n;
        EXPECT_GT(Ink({ entry.Left + 108, entry.Top, entry.Left + 400, entry.Bottom }, back), 20) << n;
    }
    // The donate button: 224 x 64, 30 from the bar's right edge, centred in it.
    TSmartCtrl const& button = *Settings_->ahDonate;
    EXPECT_NEAR(button.Right(), Settings_->mhActionsBar->Width() - 30, 1);
    EXPECT_NEAR(button.Width(), 224, 1);
    EXPECT_NEAR(button.Top(), (100 - 64) / 2, 1);
    TRect const bar = Logical(*Settings_->mhActionsBar);
    EXPECT_GT(Ink(Logical(button), At(bar.Left + 300, bar.Top + 50)), 100);

    // Entries open their pages; the donate button the donation page.
    Press(*Entry(*Settings_, 1));
    EXPECT_EQ(Opened, (std::vector<std::string> { "LanguageHolder" }));
    Press(*Settings_->ahDonate);
    EXPECT_EQ(Shell.Opened, (std::vector<std::string> { kDonatePage }));
}

TEST_P(SettingsPages, ThemesPageListsThemesAndAPickSwitchesAndKeepsIt)
{
    Show(*Themes);
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(Themes->mhItemContainer->ItemList().Count(), 2);
    auto* const first = static_cast<TThemeItem*>(Entry(*Themes, 0));
    auto* const second = static_cast<TThemeItem*>(Entry(*Themes, 1));
    EXPECT_EQ(first->tiCaption, "Default");
    EXPECT_EQ(first->tiDesc, "the Vantor team");
    EXPECT_EQ(second->tiCaption, "plain");
    EXPECT_EQ(second->tiDesc, "Unknown author");
    // Its left part, an icon on it, the name and the author.
    TRect const entry = Logical(*first);
    uint32_t const back = At(entry.Right - 5, entry.Top + entry.Height() / 2);
    uint32_t const left = At(entry.Left + 3, entry.Top + entry.Height() / 2);
    EXPECT_GT(Ink({ entry.Left + 24, entry.Top + 22, entry.Left + 70, entry.Bottom - 22 }, left), 20) << "the icon";
    EXPECT_GT(Ink({ entry.Left + 108, entry.Top, entry.Left + 400, entry.Top + 45 }, back), 20) << "the name";
    EXPECT_GT(Ink({ entry.Left + 108, entry.Top + 45, entry.Left + 400, entry.Bottom }, back), 20) << "the author";

    // A theme that loads is kept and the window looks different; one whose files went changes
    // nothing.
    uint32_t const before = At(entry.Right - 5, entry.Top + entry.Height() / 2);
    Press(*second);
    EXPECT_EQ(Settings.ThemeName, "plain");
    EXPECT_EQ(Host->ThemeManager->Info().Name, "plain");
    Host->PaintBackBuffer();
    EXPECT_NE(At(entry.Right - 5, entry.Top + entry.Height() / 2), before);
    EXPECT_TRUE(Themes->Pick("default"));
    fs::remove_all(Root / "Theme/plain");
    EXPECT_FALSE(Themes->Pick("plain"));
    EXPECT_EQ(Settings.ThemeName, "default");
    EXPECT_EQ(Host->ThemeManager->Info().Name, "Default");
}

TEST_P(SettingsPages, LanguagesPageListsFilesAndAPickChangesTheTexts)
{
    Show(*Languages);
    SCOPED_TRACE(GetParam());
    ASSERT_EQ(Languages->mhItemContainer->ItemList().Count(), 2);
    auto* const german = static_cast<TLanguageItem*>(Entry(*Languages, 0));
    EXPECT_EQ(german->tiCaption, "Deutsch");
    EXPECT_EQ(german->tiDir, "Deutsch.vlng");
    TRect const caption = Logical(*Languages->mhCaptionBar);
    uint32_t const bar = At(caption.Left + 5, caption.Top + 5);
    int const englishInk = Ink(caption, bar);
    EXPECT_GT(englishInk, 20);

    Press(*german);
    EXPECT_EQ(Settings.LanguageFile, "Deutsch.vlng");
    EXPECT_EQ(Locale->Get("Menu.Language"), "Sprache");
    Host->PaintBackBuffer();
    EXPECT_NE(Ink(caption, bar), englishInk) << "the caption is repainted in German";

    // A file that went keeps the language in use and the setting.
    fs::remove(Root / "Languages/English.vlng");
    EXPECT_FALSE(Languages->Pick("English.vlng"));
    EXPECT_EQ(Settings.LanguageFile, "Deutsch.vlng");
    EXPECT_EQ(Locale->LanguageFile(), "Deutsch.vlng");
    EXPECT_EQ(Locale->Get("Menu.Language"), "Sprache");
}

TEST_P(SettingsPages, AboutPageShowsTheLanguagesTextOrTheEnglishOneAndScrolls)
{
    // Deutsch has no about text here: the English one shows.
    ASSERT_TRUE(Languages->Pick("Deutsch.vlng"));
    Show(*About);
    SCOPED_TRACE(GetParam());
    EXPECT_NE(About->ahText->Text().find("skinnable"), std::string::npos);
    TRect const text = Logical(*About->ahText);
    EXPECT_GT(Ink(text, At(text.Right - 40, text.Bottom - 5)), 20);

    std::string longText;
    for (int n = 0; n < 200; ++n)
        longText += "Zeile " + std::to_string(n) + "\n";
    WriteBytes(Root / "Languages/Deutsch.vlnga", longText);
    Show(*About);
    EXPECT_EQ(About->ahText->Text(), longText);
    Host->WindowMouseMove({}, Scale(text.Left + 100), Scale(text.Top + 100));
    Host->WindowMouseWheel(-1, {});
    EXPECT_GT(About->ahText->tcScrollBar->ssPos, 0);

    // Neither file: an empty page.
    fs::remove(Root / "Languages/Deutsch.vlnga");
    fs::remove(Root / "Languages/English.vlnga");
    Show(*About);
    EXPECT_EQ(About->ahText->Text(), "");
}

INSTANTIATE_TEST_SUITE_P(Scales, SettingsPages, ::testing::Values(0.4, 1.0));

}
}
