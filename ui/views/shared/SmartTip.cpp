#include "ui/views/shared/SmartTip.h"

#include "platform/window/Timer.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"

#include <utility>

namespace vantor {

namespace {

constexpr int kTextPadding = 100;

}

TSmartTip::TSmartTip(TCreateKey key, const TViewContext* context)
    : TSmartCtrl(key)
    , mtCaption("Create New PlayList")
    , m_context(context)
{
    SetVisible(false);
    SetWidth(DefaultWidth);
    SetHeight(DefaultHeight);
}

TSmartTip::~TSmartTip() = default;

void TSmartTip::PopUp(std::string_view Text, int Duration, TPoint Pos)
{
    SetPosition(Pos.X, Pos.Y);
    SetWidth(DefaultWidth);
    SetHeight(DefaultHeight);
    PopUp(Text, Duration);
}

void TSmartTip::PopUp(std::string_view Text, int Duration)
{
    PopUpCaption(m_context && m_context->Locale ? m_context->Locale->Get(Text) : std::string(Text), Duration);
}

void TSmartTip::PopUpCaption(std::string Caption, int Duration)
{
    mtCaption = std::move(Caption);
    TThemeManager const* const theme = m_context ? m_context->Theme : nullptr;
    int const textWidth = theme ? theme->TextWidth(skin::fonts::Menu_Tip, mtCaption, DefaultWidth) : DefaultWidth;
    SetWidth(textWidth + kTextPadding);
    SetVisible(true);
    if (Duration >= 0) {
        TSmartVCL* const host = m_context ? m_context->Host : nullptr;
        if (!mtTimer && host && host->Timers) {
            mtTimer = std::make_unique<TTimer>(*host->Timers, Duration);
            mtTimer->OnTimer = [this] { Hide(); };
        }
        if (mtTimer) {
            mtTimer->SetInterval(Duration);
            mtTimer->Restart();
        }
    }
    RepaintWindow();
}

void TSmartTip::Hide()
{
    SetVisible(false);
    if (mtTimer)
        mtTimer->SetEnabled(false);
    RepaintWindow();
}

void TSmartTip::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::Menu_Tip_Back, Canvas, "TSmartTip", area);
    theme->TextOut(mtCaption, skin::fonts::Menu_Tip, tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis, area, Canvas);
}

void TSmartTip::RepaintWindow()
{
    if (m_context && m_context->Host)
        m_context->Host->Invalidate();
}

}
