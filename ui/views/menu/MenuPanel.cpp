#include "ui/views/menu/MenuPanel.h"

#include "library/PlayerSession.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
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

}

TSmartTab::TSmartTab(
    TCreateKey key, const TViewContext& context, std::string icon, std::string caption, const bool& panelCollapsed)
    : TSmartCtrl(key)
    , stIcon(std::move(icon))
    , stCaption(std::move(caption))
    , m_context(&context)
    , m_panelCollapsed(&panelCollapsed)
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
    if (stHot)
        theme->Draw(skin::controls::TabBar_Tab_Active, Canvas, "TSmartTab", area);
    if (stSelCount <= 0) {
        theme->Draw(stIcon, Canvas, "TSmartTab.Icon",
            TRect::FromSize(area.Left + area.Width() / 2 - 23, area.Top + area.Height() / 2 - 23, 46, 46));
    } else {
        theme->TextOut(std::to_string(stSelCount),
            stActive ? skin::fonts::Tab_Selected_Active : skin::fonts::Tab_Selected_Normal,
            tfCenter | tfVCenter | tfSingleLine, area, Canvas);
    }
}

void TSmartTab::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    stHot = true;
    Invalidate(false);
    // The tab's caption, left of the column, while no page is open.
    if (m_context->Tip && *m_panelCollapsed) {
        TRect const global = GlobalRect();
        m_context->Tip->PopUp(stCaption, TipDuration);
        m_context->Tip->SetPosition(Unscale(global.Left) - TipGap - m_context->Tip->Width(), Unscale(global.Top));
    }
}

void TSmartTab::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    stHot = false;
    Invalidate(false);
    if (m_context->Tip)
        m_context->Tip->Hide();
}

TSmartTabBar::TSmartTabBar(TCreateKey key, const TViewContext& context, const bool& panelCollapsed)
    : TSmartCtrl(key)
    , m_context(&context)
{
    for (TTabInfo const& tab : kTabs)
        AddItem(Create<TSmartTab>(context, tab.Icon, tab.Caption, panelCollapsed));
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

TMenuPanel::TMenuPanel(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    TabBar = AddItem(Create<TSmartTabBar>(context, mpCollapsed), "TopControls");
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
    TSmartCtrl::On_Resize();
    TabBar->SetPosition(Width() - TabColumnWidth, 0);
    TabBar->SetWidth(TabColumnWidth);
    TabBar->SetHeight(Height());
}

}
