#include "ui/views/menu/SettingsPages.h"

#include "platform/shell/Shell.h"
#include "player/paths/AppPaths.h"
#include "player/settings/Settings.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/LyricsPage.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartTip.h"

#include <algorithm>
#include <map>
#include <utility>

namespace vantor {

namespace fs = std::filesystem;
using L = TSettingsLayout;

namespace {

constexpr int kIconSize = 46;
constexpr int kEntryIconSize = 74;
constexpr int kTipDuration = 1000;
constexpr int kTipGap = 20;
constexpr char kLanguagesFolder[] = "Languages";
constexpr char kLanguageExtension[] = ".vlng";

std::string Translate(const TViewContext& context, const std::string& key)
{
    return context.Locale ? context.Locale->Get(key) : key;
}

// The user's folder, then the shipped one (the same folder in a portable copy).
std::vector<fs::path> Folders(const TAppPaths& paths)
{
    std::vector<fs::path> folders { paths.UserFolder() };
    if (paths.ShippedFolder() != paths.UserFolder())
        folders.push_back(paths.ShippedFolder());
    return folders;
}

// Subfolders (themes) or regular files (languages) of folder, by name; unreadable folders
// give nothing.
std::vector<fs::path> Entries(const fs::path& folder, bool folders)
{
    std::vector<fs::path> found;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (folders ? it->is_directory(kind) : it->is_regular_file(kind))
            found.push_back(it->path());
    }
    return found;
}

std::vector<TChoiceInfo> Sorted(std::map<std::string, TChoiceInfo> byName)
{
    std::vector<TChoiceInfo> list;
    for (auto& [name, info] : byName)
        list.push_back(std::move(info));
    return list;
}

}

TSettingItem::TSettingItem(TCreateKey key, const TViewContext& context, std::string caption, std::string icon,
    std::string menu, std::function<void(const std::string&)> open)
    : TSmartCtrl(key)
    , siCaption(std::move(caption))
    , siIcon(std::move(icon))
    , siMenu(std::move(menu))
    , m_context(&context)
    , m_open(std::move(open))
{
}

void TSettingItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(
        m_state == bsNormal ? skin::controls::PlayListItem : skin::controls::ListItem, Canvas, "TSettingItem", area);
    theme->Draw(siIcon, Canvas, "TSettingItem.Icon",
        TRect::FromSize(area.Left + (L::EntryIconColumn - kEntryIconSize) / 2,
            area.Top + (area.Height() - kEntryIconSize) / 2, kEntryIconSize, kEntryIconSize));
    theme->TextOut(Translate(*m_context, siCaption), skin::fonts::Settings_MenuItem,
        tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis,
        { area.Left + L::EntryTextLeft, area.Top, area.Right - L::EntryTextRightMargin, area.Bottom }, Canvas);
}

void TSettingItem::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    m_state = bsActive;
    Invalidate(false);
}

void TSettingItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    m_state = bsNormal;
    Invalidate(false);
}

TSmartCtrl* TSettingItem::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    // Opening leaves this page; the entry is not touched after.
    auto const open = m_open;
    std::string const menu = siMenu;
    if (open)
        open(menu);
    return nullptr;
}

TDonateButton::TDonateButton(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TDonateButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    if (dbState != bsNormal)
        theme->Draw(skin::controls::Donate_Back, Canvas, "TDonateButton", area);
    theme->Draw(skin::icons::Paypal_Donate_223, Canvas, "TDonateButton.Image", area);
}

void TDonateButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    dbState = bsActive;
    Invalidate(false);
    TSmartTip* const tip = m_context->Tip;
    if (!tip)
        return;
    // Centred over the button, a little above it.
    tip->PopUp("Button.Donate", kTipDuration);
    TRect const button = Unscale(GlobalRect());
    tip->SetPosition(button.Left + (button.Width() - tip->Width()) / 2, button.Top - kTipGap - tip->Height());
}

void TDonateButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    dbState = bsNormal;
    Invalidate(false);
    if (m_context->Tip)
        m_context->Tip->Hide();
}

TSmartCtrl* TDonateButton::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    if (m_context->Shell)
        m_context->Shell->OpenWebPage(kDonatePage);
    return this;
}

TSettingsHolder::TSettingsHolder(
    TCreateKey key, const TViewContext& context, std::function<void(const std::string&)> open)
    : TMenuHolder(key, context, "Menu.Settings")
    , m_open(std::move(open))
{
    // The product header takes the caption bar's place.
    mhCaptionBar->SetVisible(false);
    ahDonate = mhActionsBar->AddItem("ahDonate", "TopList", Create<TDonateButton>(context));
}

void TSettingsHolder::LoadMenu()
{
    mhItemContainer->ItemList().Clear();
    struct TEntry {
        const char* Caption;
        const char* Icon;
        const char* Menu;
    };
    TEntry const entries[] = {
        { "Menu.About", skin::icons::Settings_About_74, "AboutHolder" },
        { "Menu.Language", skin::icons::Settings_Lang_74, "LanguageHolder" },
        { "Menu.Themes", skin::icons::Settings_Theme_74, "ThemesHolder" },
    };
    for (TEntry const& entry : entries)
        mhItemContainer->AddItem(Create<TSettingItem>(Context(), entry.Caption, entry.Icon, entry.Menu, m_open));
    TMenuHolder::LoadMenu();
}

void TSettingsHolder::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = Context().Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::Search_Top_Back, Canvas, "TSettingsHolder",
        { area.Left, area.Top, area.Right, area.Top + L::HeaderHeight });
    theme->Draw(skin::icons::Icon_Main_166, Canvas, "TSettingsHolder.Logo",
        TRect::FromSize(area.Left + L::LogoMargin, area.Top + L::LogoMargin, L::LogoSize, L::LogoSize));
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    theme->TextOut("vantor", skin::fonts::Settings_vantor, flags,
        { area.Left + L::NameLeft, area.Top + L::NameTop, area.Right - L::TextRightMargin, area.Top + L::NameBottom },
        Canvas);
    theme->TextOut("version 0.1", skin::fonts::Settings_Version, flags,
        { area.Left + L::VersionLeft, area.Top + L::NameBottom, area.Right - L::TextRightMargin,
            area.Top + L::VersionBottom },
        Canvas);
}

void TSettingsHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    mhItemContainer->SetPosition(0, L::HeaderHeight);
    mhItemContainer->SetHeight(std::max(0, Height() - L::HeaderHeight - BarHeight));
    mhItemContainer->Arrange();
    ahDonate->SetWidth(L::DonateWidth);
    ahDonate->SetHeight(L::DonateHeight);
    ahDonate->SetPosition(
        mhActionsBar->Width() - L::DonateRightMargin - L::DonateWidth, (mhActionsBar->Height() - L::DonateHeight) / 2);
}

std::vector<TChoiceInfo> ListThemes(std::vector<fs::path> const& folders, std::string_view unknownAuthor)
{
    std::map<std::string, TChoiceInfo> byName;
    for (fs::path const& folder : folders)
        for (fs::path const& theme : Entries(folder / kThemeFolder, true)) {
            std::string const name = theme.filename().string();
            std::error_code error;
            if (byName.count(name) || !fs::is_regular_file(theme / kThemeFileName, error))
                continue;
            TThemeInfo const info = TThemeManager::ReadInfo((theme / kThemeFileName).string(), name, unknownAuthor);
            byName[name] = { info.Name, info.Author, name };
        }
    return Sorted(std::move(byName));
}

std::vector<TChoiceInfo> ListLanguages(std::vector<fs::path> const& folders, TLocaleManager const& locale)
{
    std::map<std::string, TChoiceInfo> byName;
    for (fs::path const& folder : folders)
        for (fs::path const& file : Entries(folder / kLanguagesFolder, false)) {
            std::string const name = file.filename().string();
            if (file.extension() != kLanguageExtension || byName.count(name))
                continue;
            TLanguageInfo const info = ReadLanguageInfo(file, locale);
            byName[name] = { info.Name, info.Author, name };
        }
    return Sorted(std::move(byName));
}

TThemeItem::TThemeItem(TCreateKey key, const TViewContext& context, TChoiceInfo info, std::function<bool()> current,
    std::function<void()> pick)
    : TSmartCtrl(key)
    , tiCaption(std::move(info.Caption))
    , tiDesc(std::move(info.Desc))
    , tiDir(std::move(info.Dir))
    , m_context(&context)
    , m_current(std::move(current))
    , m_pick(std::move(pick))
{
}

std::string_view TThemeItem::Icon() const { return skin::icons::Settings_Theme_46; }

std::string_view TLanguageItem::Icon() const { return skin::icons::Settings_Lang_46; }

void TThemeItem::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(
        m_state == bsNormal ? skin::controls::PlayListItem : skin::controls::ListItem, Canvas, "TThemeItem", area);
    theme->Draw(skin::controls::PlaylistItem_Left, Canvas, "TThemeItem.Left",
        { area.Left, area.Top, area.Left + L::EntryIconColumn, area.Bottom });
    bool const current = m_current && m_current();
    theme->Draw(current ? std::string_view(skin::icons::Icon_Selected_46) : Icon(), Canvas, "TThemeItem.Icon",
        TRect::FromSize(area.Left + (L::EntryIconColumn - kIconSize) / 2, area.Top + (area.Height() - kIconSize) / 2,
            kIconSize, kIconSize));
    int const middle = area.Top + area.Height() / 2;
    int const right = area.Right - L::EntryTextRightMargin;
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    theme->TextOut(tiCaption, skin::fonts::Menu_Item_Title, flags,
        { area.Left + L::EntryTextLeft, area.Top, right, middle }, Canvas);
    theme->TextOut(tiDesc, skin::fonts::Menu_Item_Desc, flags,
        { area.Left + L::EntryTextLeft, middle, right, area.Bottom }, Canvas);
}

void TThemeItem::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    m_state = bsActive;
    Invalidate(false);
}

void TThemeItem::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    m_state = bsNormal;
    Invalidate(false);
}

TSmartCtrl* TThemeItem::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    auto const pick = m_pick;
    if (pick)
        pick();
    return this;
}

TThemesHolder::TThemesHolder(
    TCreateKey key, const TViewContext& context, const TAppPaths& paths, std::function<void()> back)
    : TMenuHolder(key, context, "Menu.Themes")
    , m_paths(&paths)
    , m_back(std::move(back))
{
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        if (m_back)
            m_back();
    });
}

void TThemesHolder::LoadMenu()
{
    mhItemContainer->ItemList().Clear();
    for (TChoiceInfo& info : ListThemes(Folders(*m_paths), Translate(Context(), "Unknown.ThemeAuthor"))) {
        std::string const dir = info.Dir;
        mhItemContainer->AddItem(Create<TThemeItem>(
            Context(), std::move(info),
            [this, dir] { return Context().Settings && Context().Settings->ThemeName == dir; },
            [this, dir] { Pick(dir); }));
    }
    TMenuHolder::LoadMenu();
}

bool TThemesHolder::Pick(const std::string& dir)
{
    TThemeManager* const theme = Context().Theme;
    if (!theme || !theme->Load(m_paths->ThemeFile(dir).string()))
        return false;
    if (Context().Settings)
        Context().Settings->ThemeName = dir;
    if (Changed)
        Changed();
    RepaintWindow();
    return true;
}

TLanguagesHolder::TLanguagesHolder(TCreateKey key, const TViewContext& context, TLocaleManager& locale,
    const TAppPaths& paths, std::function<void()> back)
    : TMenuHolder(key, context, "Menu.Language")
    , m_locale(&locale)
    , m_paths(&paths)
    , m_back(std::move(back))
{
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        if (m_back)
            m_back();
    });
}

void TLanguagesHolder::LoadMenu()
{
    mhItemContainer->ItemList().Clear();
    for (TChoiceInfo& info : ListLanguages(Folders(*m_paths), *m_locale)) {
        std::string const file = info.Dir;
        mhItemContainer->AddItem(Create<TLanguageItem>(
            Context(), std::move(info), [this, file] { return m_locale->LanguageFile() == file; },
            [this, file] { Pick(file); }));
    }
    TMenuHolder::LoadMenu();
}

bool TLanguagesHolder::Pick(const std::string& file)
{
    std::string const previous = m_locale->LanguageFile();
    m_locale->SetLanguageFile(file);
    if (!m_locale->Load()) {
        m_locale->SetLanguageFile(previous);
        return false;
    }
    if (Context().Settings)
        Context().Settings->LanguageFile = file;
    if (Changed)
        Changed();
    RepaintWindow();
    return true;
}

TAboutHolder::TAboutHolder(TCreateKey key, const TViewContext& context, std::function<void()> back)
    : TMenuHolder(key, context, "Menu.About")
    , m_back(std::move(back))
{
    ahText = AddItem("ahText", Create<TTextContainer2>(&context));
    AddButton("Icon.Backward.Back", "Button.GoBack", asLeft, [this](TMenuButton&, const TInputData&) {
        if (m_back)
            m_back();
    });
}

void TAboutHolder::LoadMenu()
{
    ahText->SetText(Context().Locale ? Context().Locale->AboutText() : std::string());
    TMenuHolder::LoadMenu();
}

void TAboutHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    ahText->SetPosition(L::TextMargin, BarHeight + L::TextMargin);
    ahText->SetWidth(Width() - 2 * L::TextMargin);
    ahText->SetHeight(std::max(0, Height() - 2 * BarHeight - 2 * L::TextMargin));
    ahText->Arrange();
}

}
