#include "ui/views/controlbar/ProgressBars.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "player/playback/PlaybackController.h"
#include "player/settings/Settings.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/PlaybackActions.h"
#include "ui/views/ViewContext.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vantor {

namespace {

constexpr int kTextInset = 20;
constexpr int kPressInset = 30;

}

int KnobLeft(int width, int64_t value, int64_t total)
{
    if (total <= 0)
        return static_cast<int>(value);
    return static_cast<int>(std::nearbyint(static_cast<double>(width - kProgressKnobWidth) * value / total));
}

int64_t ValueAt(int width, int x, int64_t total)
{
    int const span = width - 2 * kPressInset;
    if (span <= 0)
        return 0;
    int const clamped = std::clamp(x, kPressInset, width - kPressInset);
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(total) * (clamped - kPressInset) / span));
}

// ---- Position ------------------------------------------------------------------------------

TTrackProgress::TTrackProgress(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TTrackProgress::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    int const width = area.Width();
    theme->Draw(skin::controls::TrackProgress_Back, Canvas, "TTrackProgress", area);
    TVPlayList const* const list = m_context->Session ? m_context->Session->CurrentPlayList : nullptr;
    if (list && list->plLoading) {
        int const knob = KnobLeft(width, list->plLoadingPos, list->plLoadingMax);
        theme->Draw(skin::controls::TrackProgress_Back_Loading, Canvas, "TTrackProgress.Fill",
            { area.Left, area.Top, area.Left + knob + kProgressKnobWidth, area.Bottom });
        theme->TextOut(list->LoadingText(), skin::fonts::TrackProgress_Loading,
            tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis,
            { area.Left + kTextInset, area.Top, area.Right, area.Bottom }, Canvas);
        return;
    }
    TPlaybackController const* const playback = m_context->Playback;
    if (!playback)
        return;
    int const knob = std::clamp(
        KnobLeft(width, playback->PlayPosition, playback->TrackLastByte), 0, std::max(0, width - kProgressKnobWidth));
    theme->Draw(skin::controls::ProgressProgress, Canvas, "TTrackProgress.Fill",
        { area.Left, area.Top, area.Left + knob + kProgressKnobWidth, area.Bottom });
    theme->Draw(skin::controls::TrackProgress_Knob, Canvas, "TTrackProgress.Knob",
        { area.Left + knob, area.Top, area.Left + knob + kProgressKnobWidth, area.Bottom });
    TTextFlags const flags = tfVCenter | tfSingleLine;
    theme->TextOut(playback->PositionText, skin::fonts::ProgressBar_Song_TimeDisplay, flags | tfLeft,
        { area.Left + kTextInset, area.Top, area.Right, area.Bottom }, Canvas);
    theme->TextOut(playback->LengthText, skin::fonts::ProgressBar_Song_TimeDisplay, flags | tfRight,
        { area.Left, area.Top, area.Right - kTextInset, area.Bottom }, Canvas);
}

TSmartCtrl* TTrackProgress::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    TPlaybackController* const playback = m_context->Playback;
    if (InputData.idButton != mbLeft || !playback || playback->PlayerState != psPlaying)
        return this;
    SeekTo(*m_context, ValueAt(Width(), InputData.idXPos, playback->TrackLastByte));
    if (m_context->Host)
        m_context->Host->Invalidate();
    return this;
}

// ---- Volume --------------------------------------------------------------------------------

TVolumeProgress::TVolumeProgress(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
}

void TVolumeProgress::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    TSettings const* const settings = m_context->Settings;
    if (!theme || !settings)
        return;
    TRect const area = CanvasRect();
    int const knob = static_cast<int>(std::nearbyint((area.Width() - kProgressKnobWidth) * settings->Volume));
    theme->Draw(skin::controls::VolumeProgress_Back, Canvas, "TVolumeProgress", area);
    theme->Draw(settings->Muted ? skin::controls::VolumeProgress_Muted : skin::controls::VolumeProgress_Back_Level,
        Canvas, "TVolumeProgress.Fill",
        { area.Left, area.Top, area.Left + knob + kProgressKnobWidth / 2, area.Bottom });
    theme->Draw(skin::controls::VolumeProgress_Knob, Canvas, "TVolumeProgress.Knob",
        { area.Left + knob, area.Top, area.Left + knob + kProgressKnobWidth, area.Bottom });
    std::string const text = settings->Muted && m_context->Session
        ? m_context->Session->Text("Volume.Muted")
        : std::to_string(static_cast<int>(std::nearbyint(settings->Volume * 100)));
    theme->TextOut(text, skin::fonts::VolumeProgress_Volume, tfCenter | tfVCenter | tfSingleLine, area, Canvas);
}

void TVolumeProgress::SetFromPoint(int x)
{
    vcPos = static_cast<float>(ValueAt(Width(), x, 100));
    SetVolume(*m_context, vcPos / 100.0);
    Invalidate(false);
}

TSmartCtrl* TVolumeProgress::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idButton == mbLeft) {
        SetFromPoint(InputData.idXPos);
    } else if (InputData.idButton == mbMiddle && m_context->Settings) {
        m_context->Settings->Muted = !m_context->Settings->Muted;
        ApplyVolume(*m_context);
        Invalidate(false);
    }
    return this;
}

TSmartCtrl* TVolumeProgress::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idShift & ssLeft)
        SetFromPoint(InputData.idXPos);
    return this;
}

}
