#pragma once

// The settings page (the product header and the entries leading to the about, language and
// themes pages) and those three pages: the installed themes and languages, switched at once
// on a press, and the about text of the current language.

#include "ui/views/menu/MenuHolder.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class TAppPaths;
class TLocaleManager;
class TTextContainer2;

// The page where donations are taken; the donate button opens it in the browser.
inline constexpr char kDonatePage[] = "https://vantor.org/donate";

// Every layout number of these pages, in logical units.
struct TSettingsLayout {
    static constexpr int HeaderHeight = 226; // the product header; the entries start below it
    static constexpr int LogoMargin = 30;
    static constexpr int LogoSize = 166;
    static constexpr int NameLeft = 235; // "vantor"
    static constexpr int NameTop = 50;
    static constexpr int NameBottom = 120;
    static constexpr int VersionLeft = 255; // "version 0.1"
    static constexpr int VersionBottom = 160;
    static constexpr int TextRightMargin = 50;
    static constexpr int DonateWidth = 224;
    static constexpr int DonateHeight = 64;
    static constexpr int DonateRightMargin = 30;
    static constexpr int EntryIconColumn = 94; // an entry's icon is centred in its left part
    static constexpr int EntryTextLeft = 108;
    static constexpr int EntryTextRightMargin = 30;
    static constexpr int TextMargin = 10; // around the about text
};

// One entry of the settings page: its icon and caption; a press opens its page.
class TSettingItem : public TSmartCtrl {
public:
    TSettingItem(TCreateKey key, const TViewContext& context, std::string caption, std::string icon, std::string menu,
        std::function<void(const std::string&)> open);

    std::string siCaption; // language key
    std::string siIcon;    // skin key, 74 x 74
    std::string siMenu;    // ID of the page it opens

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    std::function<void(const std::string&)> m_open;
    TButtonState m_state = bsNormal;
};

// Opens the donation page in the user's browser.
class TDonateButton : public TSmartCtrl {
public:
    TDonateButton(TCreateKey key, const TViewContext& context);
    TButtonState dbState = bsNormal;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

class TSettingsHolder : public TMenuHolder {
public:
    // open: shows the page of an ID, filled.
    TSettingsHolder(TCreateKey key, const TViewContext& context, std::function<void(const std::string&)> open);

    TDonateButton* ahDonate = nullptr; // in the actions bar's list "TopList"

    void LoadMenu() override;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Arrange() override;

private:
    std::function<void(const std::string&)> m_open;
};

// A theme or a language file as the lists show it.
struct TChoiceInfo {
    std::string Caption; // "#Info" "Name", else the folder or file name
    std::string Desc;    // "#Info" "Author", else the text of "Unknown.ThemeAuthor"
    std::string Dir;     // the theme's folder name, or the language's file name
};

// The themes under each folder's "Theme" (earlier folders win for a name), sorted by name:
// every subfolder that holds the theme file.
std::vector<TChoiceInfo> ListThemes(std::vector<std::filesystem::path> const& folders, std::string_view unknownAuthor);
// The language files under each folder's "Languages" whose extension is exactly ".vlng".
std::vector<TChoiceInfo> ListLanguages(std::vector<std::filesystem::path> const& folders, TLocaleManager const& locale);

// One theme of the themes page; current() tells whether it is the one in use.
class TThemeItem : public TSmartCtrl {
public:
    TThemeItem(TCreateKey key, const TViewContext& context, TChoiceInfo info, std::function<bool()> current,
        std::function<void()> pick);

    std::string tiCaption;
    std::string tiDesc;
    std::string tiDir;

protected:
    // The icon of an entry that is not in use.
    virtual std::string_view Icon() const;
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    std::function<bool()> m_current;
    std::function<void()> m_pick;
    TButtonState m_state = bsNormal;
};

class TLanguageItem : public TThemeItem {
public:
    using TThemeItem::TThemeItem;

protected:
    std::string_view Icon() const override;
};

class TThemesHolder : public TMenuHolder {
public:
    // paths: where themes are found and which file a theme name loads; back: the settings page.
    TThemesHolder(TCreateKey key, const TViewContext& context, const TAppPaths& paths, std::function<void()> back);
    void LoadMenu() override;
    // Loads the theme of a folder name and, once it loaded, keeps it in the settings; a theme
    // whose files went keeps the current look and setting. Repaints the window.
    bool Pick(const std::string& dir);
    // Runs after a theme was loaded (the window lays itself out again).
    std::function<void()> Changed;

private:
    const TAppPaths* m_paths; // non-owning
    std::function<void()> m_back;
};

class TLanguagesHolder : public TMenuHolder {
public:
    TLanguagesHolder(TCreateKey key, const TViewContext& context, TLocaleManager& locale, const TAppPaths& paths,
        std::function<void()> back);
    void LoadMenu() override;
    // Reads the language file and, once it was read, keeps it in the settings; a file that
    // went keeps the current language. Repaints the window.
    bool Pick(const std::string& file);
    // Runs after a language was loaded (texts made from it are made again).
    std::function<void()> Changed;

private:
    TLocaleManager* m_locale; // non-owning
    const TAppPaths* m_paths; // non-owning
    std::function<void()> m_back;
};

class TAboutHolder : public TMenuHolder {
public:
    TAboutHolder(TCreateKey key, const TViewContext& context, std::function<void()> back);
    TTextContainer2* ahText = nullptr;
    void LoadMenu() override;

protected:
    void On_Arrange() override;

private:
    std::function<void()> m_back;
};

}
