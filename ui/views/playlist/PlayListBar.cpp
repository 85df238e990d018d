#include "ui/views/playlist/PlayListBar.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"

namespace vantor {

namespace {

constexpr TGroupMode kButtonModes[TPlayListBar::ButtonCount] = { gmTrackName, gmArtist, gmAlbum, gmYear, gmGenre,
    gmBitrate, gmSize, gmDuration, gmRating };

const char* ButtonIcon(TGroupMode mode)
{
    switch (mode) {
    case gmArtist: return skin::icons::Icon_Singer_46;
    case gmAlbum: return skin::icons::Icon_Album_46;
    case gmYear: return skin::icons::Icon_Year_46;
    case gmGenre: return skin::icons::Icon_Genre_46;
    case gmBitrate: return skin::icons::Icon_BitRate_46;
    case gmSize: return skin::icons::Icon_Size_64;
    case gmDuration: return skin::icons::Icon_Time_46;
    case gmRating: return skin::icons::Icon_Star_46;
    default: return skin::icons::Icon_Track_46;
    }
}

}

TGroupButton::TGroupButton(TCreateKey key, const TViewContext& context, TGroupMode mode)
    : TSmartCtrl(key)
    , gbGroupMode(mode)
    , gbCaption(GroupButtonCaptionKey(mode))
    , m_context(&context)
{
}

void TGroupButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    TVPlayList const* const list = m_context->Session ? m_context->Session->CurrentPlayList : nullptr;
    if (gbHot || (list && list->plGroupMode == gbGroupMode))
        theme->Draw(skin::controls::GroupButton_Active, Canvas, "TGroupButton.Active",
            { area.Left, area.Bottom - 15, area.Right, area.Bottom });
    int const top = area.Top + (area.Height() - 46) / 2;
    theme->Draw(ButtonIcon(gbGroupMode), Canvas, "TGroupButton", TRect::FromSize(area.Left + 5, top, 46, 46));
    std::string const caption = m_context->Session ? m_context->Session->Text(gbCaption) : gbCaption;
    theme->TextOut(caption, skin::fonts::GroupButton_Title, tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis,
        { area.Left + 46, top, area.Right, top + 46 }, Canvas);
}

void TGroupButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    gbHot = true;
    Invalidate(false);
}

void TGroupButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    gbHot = false;
    Invalidate(false);
}

TSmartCtrl* TGroupButton::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    if (TVPlayList* const list = m_context->Session ? m_context->Session->CurrentPlayList : nullptr)
        list->GroupButtonPress(gbGroupMode);
    if (m_context->Host)
        m_context->Host->Invalidate();
    return this;
}

TPlayListBar::TPlayListBar(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    for (TGroupMode const mode : kButtonModes)
        AddItem(Create<TGroupButton>(context, mode));
}

TGroupButton* TPlayListBar::Button(int index) const
{
    TControlList const* const buttons = scLists.GetList(0);
    return buttons ? static_cast<TGroupButton*>(buttons->Control(index)) : nullptr;
}

void TPlayListBar::On_Paint(TBitmap& Canvas)
{
    if (TThemeManager* const theme = m_context->Theme)
        theme->Draw(skin::controls::GroupBar_Back, Canvas, "TPlayListBar", CanvasRect());
}

void TPlayListBar::On_Resize()
{
    TSmartCtrl::On_Resize();
    for (int i = 0; i < ButtonCount; ++i) {
        TGroupButton* const button = Button(i);
        button->SetPosition((250 + 10) * i + 12, (Height() - 90) / 2);
        button->SetWidth(250);
        button->SetHeight(90);
    }
}

}
