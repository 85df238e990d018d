#include "ui/views/controlbar/ControlBarBottom.h"

#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/controlbar/PlayerButtons.h"
#include "ui/views/controlbar/ProgressBars.h"

#include <algorithm>

namespace vantor {

TMainButton::TMainButton(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TMainButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    if (gbState)
        theme->Draw(skin::controls::TabBar_Tab_Active, Canvas, "TMainButton", area);
    theme->Draw(skin::icons::Icon_Main_74, Canvas, "TMainButton.Icon",
        TRect::FromSize(area.Left + area.Width() / 2 - 37, area.Top + area.Height() / 2 - 37, 74, 74));
}

void TMainButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    gbState = true;
    Invalidate(false);
}

void TMainButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    gbState = false;
    Invalidate(false);
}

TSmartCtrl* TMainButton::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    if (OpenSettings)
        OpenSettings();
    if (m_context->Host)
        m_context->Host->Invalidate();
    return this;
}

TControlBarBottom::TControlBarBottom(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    tpButtonPlay = AddItem("ButtonPlay", Create<TPlayButton>(context));
    tpButtonPrev = AddItem("tpButtonPrev", Create<TPreviousButton>(context));
    tpButtonNext = AddItem("tpButtonNext", Create<TNextButton>(context));
    tpProgress = AddItem(Create<TTrackProgress>(context));
    tpVolume = AddItem(Create<TVolumeProgress>(context));
    // The shuffle and the repeat button share their ID.
    tpButtonShuffle = AddItem("tpButtonShuffle", Create<TShuffleButton>(context));
    tpRepeatnShuffle = AddItem("tpButtonShuffle", Create<TRepeatButton>(context));
    tpEQButton = AddItem("tpEQButton", Create<TEQButton>(context));
    tpMuteButton = AddItem("tpMuteButton", Create<TMuteButton>(context));
    tpMuteButton->SetVisible(false);
    cbMainButton = AddItem(Create<TMainButton>(context));
}

void TControlBarBottom::On_Paint(TBitmap& Canvas)
{
    if (TThemeManager* const theme = m_context->Theme)
        theme->Draw(skin::controls::ControlBar_Bottom_Back, Canvas, "TControlBarBottom", CanvasRect());
}

void TControlBarBottom::On_Resize()
{
    TSmartCtrl::On_Resize();
    constexpr int top = 18;
    constexpr int height = 72;
    int left = 20;
    auto place = [&](TSmartCtrl* child, int gap, int width) {
        left += gap;
        child->SetPosition(left, top);
        child->SetWidth(std::max(0, width));
        child->SetHeight(height);
        left += std::max(0, width);
    };
    place(tpButtonPlay, 0, 220);
    place(tpButtonPrev, 25, 113);
    place(tpButtonNext, 25, 113);
    place(tpProgress, 45, Width() - (left + 45) - 960);
    place(tpVolume, 45, 395);
    place(tpButtonShuffle, 45, 105);
    place(tpRepeatnShuffle, 25, 105);
    place(tpEQButton, 25, 105);
    place(tpMuteButton, 25, 105);
    cbMainButton->SetPosition(Width() - 100, 0);
    cbMainButton->SetWidth(100);
    cbMainButton->SetHeight(Height());
}

}
