#include "ui/views/controlbar/PlayerButtons.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "player/equalizer/Equalizer.h"
#include "player/playback/PlaybackController.h"
#include "player/settings/Settings.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/PlaybackActions.h"
#include "ui/views/ViewContext.h"

namespace vantor {

namespace {

constexpr int kIconSize = 64;

TRect Centred(const TRect& area, int width, int height)
{
    return TRect::FromSize(
        area.Left + area.Width() / 2 - width / 2, area.Top + area.Height() / 2 - height / 2, width, height);
}

TVPlayList* CurrentList(const TViewContext& context)
{
    return context.Session ? context.Session->CurrentPlayList : nullptr;
}

}

TPlayerButton::TPlayerButton(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

const char* TPlayerButton::Background() const { return skin::controls::PLayerButton; }

void TPlayerButton::SetState(TButtonState state)
{
    if (pbState == state)
        return;
    pbState = state;
    Invalidate(false);
}

void TPlayerButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(
        pbState == bsNormal ? Background() : skin::controls::PLayerButton_Active, Canvas, "TPlayerButton", area);
    theme->Draw(Icon(), Canvas, "TPlayerButton.Icon", Centred(area, kIconSize, kIconSize));
}

void TPlayerButton::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    SetState(bsActive);
}

void TPlayerButton::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    SetState(bsNormal);
}

TSmartCtrl* TPlayerButton::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    SetState(bsPressed);
    Press(InputData);
    if (pbAction) {
        TButtonAction const action = pbAction; // the action may replace pbAction
        action(*this, InputData);
    }
    return this;
}

TSmartCtrl* TPlayerButton::On_MouseUp(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    SetState(bsNormal);
    return this;
}

// ---- Play ----------------------------------------------------------------------------------

void TPlayButton::Press(const TInputData& InputData)
{
    TPlaybackController* const playback = Context().Playback;
    if (!playback)
        return;
    // Stopped without a current track, play starts the current list.
    if (InputData.idXPos < StopAreaWidth)
        playback->StopPlay();
    else
        playback->PlayPauseKey();
}

const char* TPlayButton::Icon() const
{
    TPlaybackController const* const playback = Context().Playback;
    return playback && playback->PlayerState == psPlaying ? skin::icons::Button_Pause_64 : skin::icons::Button_Play_64;
}

void TPlayButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = Context().Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    TRect const stop { area.Left, area.Top, area.Left + area.Height(), area.Bottom };
    if (pbState == bsPressed) {
        theme->Draw(skin::controls::PLayerButton, Canvas, "TPlayButton", area);
        if (pbOverStop)
            theme->Draw(skin::controls::Button_Stop_Down, Canvas, "TPlayButton.Stop", stop);
        else
            theme->Draw(skin::controls::PLayerButton_Pressed, Canvas, "TPlayButton", area);
    } else {
        bool const active = pbState == bsActive && !pbOverStop;
        theme->Draw(
            active ? skin::controls::PLayerButton_Active : skin::controls::PLayerButton, Canvas, "TPlayButton", area);
    }
    theme->Draw(Icon(), Canvas, "TPlayButton.Icon", TRect::FromSize(area.Left + 115, area.Top + 4, 64, 64));
    theme->Draw(pbOverStop ? skin::controls::Button_Stop_Hot : skin::controls::PlayStopOverlay, Canvas,
        "TPlayButton.Stop", stop);
    theme->Draw(
        skin::icons::Button_Stop_64, Canvas, "TPlayButton.Icon", TRect::FromSize(area.Left + 5, area.Top + 4, 64, 64));
}

TSmartCtrl* TPlayButton::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    bool const over = InputData.idXPos < StopAreaWidth;
    if (over != pbOverStop) {
        pbOverStop = over;
        Invalidate(false);
    }
    return this;
}

void TPlayButton::On_Leave(const TInputData& InputData)
{
    pbOverStop = false;
    TPlayerButton::On_Leave(InputData);
}

// ---- Next, previous ------------------------------------------------------------------------

void TNextButton::Press(const TInputData& InputData)
{
    if (TPlaybackController* const playback = Context().Playback)
        playback->PlayNext(InputData.idButton == mbRight ? 30 : 0);
}

void TPreviousButton::Press(const TInputData&)
{
    if (TPlaybackController* const playback = Context().Playback)
        playback->PlayPrevious();
}

// ---- Switches ------------------------------------------------------------------------------

void TShuffleButton::Press(const TInputData&)
{
    if (Context().Playback && CurrentList(Context()))
        Context().Playback->ToggleShuffle();
}

const char* TShuffleButton::Background() const
{
    TVPlayList const* const list = CurrentList(Context());
    return list && list->vtShuffle ? skin::controls::PLayerButton_Pressed : TPlayerButton::Background();
}

void TRepeatButton::Press(const TInputData&)
{
    if (Context().Playback && CurrentList(Context()))
        Context().Playback->ToggleRepeat();
}

const char* TRepeatButton::Background() const
{
    TVPlayList const* const list = CurrentList(Context());
    return list && list->vtRepeat ? skin::controls::PLayerButton_Pressed : TPlayerButton::Background();
}

void TEQButton::Press(const TInputData&)
{
    TSettings* const settings = Context().Settings;
    if (!settings)
        return;
    TEqualizer* const equalizer = Context().Playback ? Context().Playback->Equalizer : nullptr;
    if (equalizer)
        equalizer->SetEqualizerOn(!settings->EqualizerOn);
    else
        settings->EqualizerOn = !settings->EqualizerOn;
    if (Toggled)
        Toggled();
}

const char* TEQButton::Background() const
{
    TSettings const* const settings = Context().Settings;
    return settings && settings->EqualizerOn ? skin::controls::PLayerButton_Pressed : TPlayerButton::Background();
}

void TMuteButton::Press(const TInputData&)
{
    if (TSettings* const settings = Context().Settings) {
        settings->Muted = !settings->Muted;
        ApplyVolume(Context());
    }
}

const char* TMuteButton::Background() const
{
    TSettings const* const settings = Context().Settings;
    return settings && settings->Muted ? skin::controls::PLayerButton_Pressed : TPlayerButton::Background();
}

}
