#include "ui/views/menu/MenuPanel.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "player/settings/Settings.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/MenuHolder.h"
#include "ui/views/shared/SmartTip.h"

#include <string>
#include <utility>

namespace vantor {

namespace {

struct TTabInfo {
    const char* Icon;
    const char* Caption;
};

constexpr TTabInfo kTabs[TSmartTabBar::TabCount] = {
    { skin::icons::Icon_PlayList_46, "Menu.PlayLists" },
    { skin::icons::Icon_Queue_46, "Menu.PlayQueue" },
    { skin::icons::Icon_Selected_46, "Menu.Selected" },
    { skin::icons::Icon_Lyrics_46, "Menu.LyricsViewer" },
    { skin::icons::Icon_Tags_46, "Menu.TagsEditor" },
    { skin::icons::Icon_EQ_46, "Menu.Equalizer" },
    { skin::icons::Tab_Search_46, "Menu.Search" },
};

constexpr int kTabSize = 100;
constexpr int kTabPitch = 115;
constexpr int kIconSize = 46;
constexpr int kModeButtonBottom = 120;

TRect CentredIcon(const TRect& area)
{
    return TRect::FromSize(
        area.Left + (area.Width() - kIconSize) / 2, area.Top + (area.Height() - kIconSize) / 2, kIconSize, kIconSize);
}

// A tip with its right edge TipGap left of a control of the tab column, level with its top.
void TipLeftOf(TSmartTip& tip, const TSmartCtrl& control)
{
    TRect const area = Unscale(control.GlobalRect());
    tip.SetPosition(area.Left - TSmartTab::TipGap - tip.Width(), area.Top);
}

}

TSmartTab::TSmartTab(
    TCreateKey key, const TViewContext& context, TMenuPanel& panel, std::string icon, std::string caption)
    : TSmartCtrl(key)
    , stIcon(std::move(icon))
    , stCaption(std::move(caption))
    , m_context(&context)
    , m_panel(&panel)
{
}

void TSmartTab::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    if (stActive)
        theme->Draw(skin::controls::TabBar_Tab_Active, Canvas, "TSmartTab", area);
    if (stState != bsNormal)
        theme->Draw(skin::controls::TabBar_Tab_Active, Canvas, "TSmartTab", area);
    if (stSelCount <= 0) {
        theme->Draw(stIcon, Canvas, "TSmartTab.Icon", CentredIcon(area));
    } else {
        theme->TextOut(std::to_string(stSelCount),
            stActive ? skin::fonts::Tab_Selected_Active : skin::fonts::Tab_Selected_Normal,
            tfCenter | tfVCenter | tfSingleLine, area, Canvas);
    }
}

void TSmartTab::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    stState = bsActive;
    Invalidate(false);
    // The tab's caption, left of the column, while no page is open.
    if (m_context->Tip && m_panel->mpCollapsed) {
        m_context->Tip->PopUp(stCaption, TipDuration);
        TipLeftOf(*m_context->Tip, *this);
    }
}

void TSmartTab::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    stState = bsNormal;
    Invalidate(false);
    if (m_context->Tip)
        m_context->Tip->Hide();
}

TSmartCtrl* TSmartTab::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (m_context->Tip)
        m_context->Tip->Hide();
    m_panel->TabPressed(*this, InputData);
    return this;
}

TSmartTabBar::TSmartTabBar(TCreateKey key, const TViewContext& context, TMenuPanel& panel)
    : TSmartCtrl(key)
    , m_context(&context)
{
    for (TTabInfo const& tab : kTabs)
        AddItem(Create<TSmartTab>(context, panel, tab.Icon, tab.Caption));
}

TSmartTab* TSmartTabBar::Tab(int index) const
{
    TControlList const* const tabs = scLists.GetList(0);
    return tabs ? static_cast<TSmartTab*>(tabs->Control(index)) : nullptr;
}

void TSmartTabBar::On_Paint(TBitmap& Canvas)
{
    if (TThemeManager* const theme = m_context->Theme)
        theme->Draw(skin::controls::TabBar_Back, Canvas, "TSmartTabBar", CanvasRect());
}

void TSmartTabBar::On_Resize()
{
    TSmartCtrl::On_Resize();
    for (int i = 0; i < TabCount; ++i) {
        TSmartTab* const tab = Tab(i);
        tab->SetPosition(0, kTabPitch * i);
        tab->SetWidth(kTabSize);
        tab->SetHeight(kTabSize);
    }
}

TModeButton::TModeButton(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TModeButton::On_Paint(TBitmap& Canvas)
{
    TVPlayList const* const list = m_context->Session ? m_context->Session->CurrentPlayList : nullptr;
    if (!list || !m_context->Theme)
        return;
    m_context->Theme->Draw(list->plDeleteMode ? skin::icons::Icon_Bin_46 : skin::icons::Icon_Bin_off_46, Canvas,
        "TModeButton", CentredIcon(CanvasRect()));
}

void TModeButton::ShowTip()
{
    TVPlayList const* const list = m_context->Session ? m_context->Session->CurrentPlayList : nullptr;
    TSmartTip* const tip = m_context->Tip;
    if (!list || !tip)
        return;
    auto text = [this](const char* key) { return m_context->Locale ? m_context->Locale->Get(key) : std::string(key); };
    tip->PopUpCaption(
        text("Tip.DeleteMode") + ": " + text(list->plDeleteMode ? "Tip.DeleteMode.On" : "Tip.DeleteMode.Off"),
        TSmartTab::TipDuration);
    TipLeftOf(*tip, *this);
}

void TModeButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    ShowTip();
}

void TModeButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    if (m_context->Tip)
        m_context->Tip->Hide();
}

TSmartCtrl* TModeButton::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    TVPlayList* const list = m_context->Session ? m_context->Session->CurrentPlayList : nullptr;
    if (!list)
        return this;
    // The rows show other icons now: nothing may keep pointing at one.
    if (m_context->Host)
        m_context->Host->Reset();
    list->plDeleteMode = !list->plDeleteMode;
    ShowTip();
    if (m_context->Host)
        m_context->Host->Invalidate();
    return this;
}

TMenuPanel::TMenuPanel(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    TabBar = AddItem(Create<TSmartTabBar>(context, *this), "TopControls");
    mpModeButton = AddItem(Create<TModeButton>(context), "mpModeButton");
}

TMenuHolder* TMenuPanel::AddHolder(const std::string& id, std::unique_ptr<TMenuHolder> holder, int tab)
{
    TMenuHolder* const added = AddItem(id, std::move(holder));
    if (TSmartTab* const opener = added && tab >= 0 ? TabBar->Tab(tab) : nullptr) {
        opener->stHolder = added;
        added->mhTabData = opener;
    }
    return added;
}

void TMenuPanel::ShowHolder(TMenuHolder* MenuHolder, bool Load)
{
    if (!MenuHolder)
        return;
    mpCollapsed = false;
    SetPanelWidth(OpenWidth);
    TControlList& pages = *Controls(0);
    for (int n = 0; n < pages.Count(); ++n) {
        auto* const page = static_cast<TMenuHolder*>(pages.Control(n));
        if (page->Visible()) {
            page->SetVisible(false);
            page->Deactivate();
        }
    }
    mpHolder = MenuHolder;
    // A page with a tab of its own lights that tab, however it was opened; pages reached from
    // another page keep the tab of the page they came from.
    bool const ownTab = [&] {
        for (int i = 0; i < TSmartTabBar::TabCount; ++i)
            if (TabBar->Tab(i)->stHolder == MenuHolder)
                return true;
        return false;
    }();
    if (ownTab)
        for (int i = 0; i < TSmartTabBar::TabCount; ++i)
            TabBar->Tab(i)->stActive = TabBar->Tab(i)->stHolder == MenuHolder;
    if (Load)
        MenuHolder->LoadMenu();
    MenuHolder->SetVisible(true);
    MenuHolder->Activate();
    Arrange();
}

void TMenuPanel::ShowHolder(const std::string& HolderID, bool Load)
{
    ShowHolder(dynamic_cast<TMenuHolder*>(Controls(0)->FindControl(HolderID)), Load);
}

void TMenuPanel::Collapse()
{
    if (mpHolder) {
        mpHolder->SetVisible(false);
        mpHolder->Deactivate();
    }
    for (int i = 0; i < TSmartTabBar::TabCount; ++i)
        TabBar->Tab(i)->stActive = false;
    mpCollapsed = true;
    mpHolder = nullptr;
    SetPanelWidth(TabColumnWidth);
}

void TMenuPanel::TabPressed(TSmartTab& tab, const TInputData& input)
{
    if (!tab.stHolder)
        return;
    for (int i = 0; i < TSmartTabBar::TabCount; ++i)
        TabBar->Tab(i)->stActive = false;
    if (tab.stHolder == mpHolder) {
        Collapse();
        return;
    }
    if (input.idButton == mbRight && m_context->Settings)
        m_context->Settings->MenuOnTop = !m_context->Settings->MenuOnTop;
    tab.stActive = true;
    ShowHolder(tab.stHolder, false);
}

void TMenuPanel::SetPanelWidth(int width)
{
    SetWidth(width);
    if (Relayout)
        Relayout();
    if (m_context->Host)
        m_context->Host->Invalidate();
}

void TMenuPanel::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::MenuPanel_Side, Canvas, "TMenuPanel.Side",
        { area.Right - TabColumnWidth, area.Top, area.Right, area.Bottom });
    if (!mpCollapsed)
        theme->Draw(skin::controls::MenuPanel_Back, Canvas, "TMenuPanel.Back",
            { area.Left, area.Top, area.Right - TabColumnWidth, area.Bottom });
}

void TMenuPanel::On_Resize()
{
    TabBar->SetPosition(Width() - TabColumnWidth, 0);
    TabBar->SetWidth(TabColumnWidth);
    TabBar->SetHeight(Height());
    mpModeButton->SetPosition(Width() - TabColumnWidth, Height() - kModeButtonBottom);
    mpModeButton->SetWidth(TabColumnWidth);
    mpModeButton->SetHeight(TabColumnWidth);
    TSmartCtrl::On_Resize();
}

void TMenuPanel::On_Arrange()
{
    TControlList& pages = *Controls(0);
    for (int n = 0; n < pages.Count(); ++n) {
        TSmartCtrl* const page = pages.Control(n);
        if (!page->Visible())
            continue;
        page->SetPosition(0, 0);
        page->SetWidth(Width() - TabColumnWidth);
        page->SetHeight(Height());
        page->Arrange();
    }
    TSmartCtrl::On_Arrange();
}

}
