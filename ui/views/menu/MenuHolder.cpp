#include "ui/views/menu/MenuHolder.h"

#include "ui/framework/ControlList.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartTip.h"

#include <utility>

namespace vantor {

namespace {

constexpr int kIconSize = 46;
constexpr int kTipDuration = 1000;
constexpr int kTipGap = 20;

}

TMenuButton::TMenuButton(TCreateKey key, const TViewContext& context, std::string icon, std::string caption,
    TButtonAlign align, TMenuButtonAction action)
    : TSmartCtrl(key)
    , mbCaption(std::move(caption))
    , mbIcon(std::move(icon))
    , mbAction(std::move(action))
    , mbAlign(align)
    , m_context(&context)
{
}

void TMenuButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    if (mBState != bsNormal)
        theme->Draw(skin::controls::Menu_Button_Back, Canvas, "TMenuButton", area);
    theme->Draw("Icons:" + mbIcon, Canvas, "TMenuButton.Icon",
        TRect::FromSize(area.Left + 17, area.Top + (area.Height() - kIconSize) / 2, kIconSize, kIconSize));
}

void TMenuButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    mBState = bsActive;
    Invalidate(false);
    TSmartTip* const tip = m_context->Tip;
    // The page is the bar's parent: the tip is centred over it, a little above the button.
    TSmartCtrl const* const page = Parent() ? Parent()->Parent() : nullptr;
    if (!tip || !page)
        return;
    tip->PopUp(mbCaption, kTipDuration);
    TRect const area = Unscale(page->GlobalRect());
    TRect const button = Unscale(GlobalRect());
    tip->SetPosition(area.Left + (area.Width() - tip->Width()) / 2, button.Top - kTipGap - tip->Height());
}

void TMenuButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    mBState = bsNormal;
    Invalidate(false);
    if (m_context->Tip)
        m_context->Tip->Hide();
}

TSmartCtrl* TMenuButton::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (mbAction) {
        TMenuButtonAction const action = mbAction;
        action(*this, InputData);
    }
    return this;
}

TMenuCaptionBar::TMenuCaptionBar(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TMenuCaptionBar::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::MenuPanel_Top, Canvas, "TMenuCaptionBar", area);
    if (cbCaption.empty())
        return;
    std::string const caption = m_context->Locale ? m_context->Locale->Get(cbCaption) : cbCaption;
    int const top = area.Top + (area.Height() - kIconSize) / 2;
    theme->TextOut(caption, skin::fonts::MenuPanel_Top_Title, tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis,
        { area.Left + kIconSize, top, area.Right, top + kIconSize }, Canvas);
}

TMenuActionsBar::TMenuActionsBar(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TMenuActionsBar::On_Paint(TBitmap& Canvas)
{
    if (TThemeManager* const theme = m_context->Theme)
        theme->Draw(skin::controls::MainWindowActions, Canvas, "TMenuActionsBar", CanvasRect());
}

void TMenuActionsBar::On_Arrange()
{
    TControlList& buttons = *Controls(0);
    int left = 0;
    int right = 0;
    // Right-aligned buttons count from the last one.
    for (int n = buttons.Count() - 1; n >= 0; --n) {
        auto* const button = static_cast<TMenuButton*>(buttons.Control(n));
        if (button->mbAlign == asRight)
            button->SetPosition(Width() - TMenuButton::ButtonPitch * right++ - TMenuButton::ButtonPitch, 0);
    }
    for (int n = 0; n < buttons.Count(); ++n) {
        auto* const button = static_cast<TMenuButton*>(buttons.Control(n));
        if (button->mbAlign == asLeft)
            button->SetPosition(TMenuButton::ButtonPitch * left++ + 10, 0);
        button->SetWidth(TMenuButton::ButtonWidth);
        button->SetHeight(Height());
    }
    TSmartCtrl::On_Arrange();
}

TMenuHolder::TMenuHolder(TCreateKey key, const TViewContext& context, std::string caption)
    : TSmartCtrl(key)
    , m_context(&context)
{
    SetVisible(false);
    mhItemContainer = AddItem("mhItemContainer", Create<TItemContainer>(&context));
    mhItemContainer->icOnArrangeProc = [this](TItemContainer& container) { ArrangeProc(container); };
    mhCaptionBar = AddItem("CaptionBar", Create<TMenuCaptionBar>(context));
    mhCaptionBar->cbCaption = std::move(caption);
    mhActionsBar = AddItem("ActionsBar", Create<TMenuActionsBar>(context));
}

TMenuButton* TMenuHolder::AddButton(
    std::string icon, std::string caption, TButtonAlign align, TMenuButton::TMenuButtonAction action)
{
    return mhActionsBar->AddItem(
        Create<TMenuButton>(*m_context, std::move(icon), std::move(caption), align, std::move(action)));
}

void TMenuHolder::On_Arrange()
{
    auto place = [](TSmartCtrl* child, int top, int width, int height) {
        child->SetPosition(0, top);
        child->SetWidth(width);
        child->SetHeight(std::max(0, height));
        child->Arrange();
    };
    place(mhCaptionBar, 0, Width(), BarHeight);
    place(mhActionsBar, Height() - BarHeight, Width(), BarHeight);
    place(mhItemContainer, BarHeight, Width(), Height() - 2 * BarHeight);
}

void TMenuHolder::ArrangeProc(TItemContainer& ItemContainer)
{
    TControlList& items = ItemContainer.ItemList();
    for (int n = 0; n < items.Count(); ++n) {
        TSmartCtrl* const item = items.Control(n);
        item->SetWidth(ItemContainer.Width() - 20);
        item->SetHeight(90);
        item->SetPosition(10, 100 * n + 10 - ItemContainer.ScrollPos());
    }
}

void TMenuHolder::Activate()
{
    Arrange();
    RepaintWindow();
}

void TMenuHolder::Deactivate() { RepaintWindow(); }

void TMenuHolder::LoadMenu() { Arrange(); }

void TMenuHolder::RepaintWindow()
{
    if (m_context->Host)
        m_context->Host->Invalidate();
    else
        Invalidate(true);
}

}
