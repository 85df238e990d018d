#include "ui/views/menu/TrackEntry.h"

#include "library/PlayList.h"
#include "library/TrackData.h"
#include "player/playback/PlaybackController.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/PlaybackActions.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/playlist/PlayListView.h"

#include <algorithm>
#include <cmath>

namespace vantor {

TTrackEntry::TTrackEntry(TCreateKey key, const TViewContext& context, TTrackData& track)
    : TSmartCtrl(key)
    , Track(&track)
    , m_context(&context)
{
}

void TTrackEntry::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(
        State == bsNormal ? skin::controls::PlayListItem : skin::controls::ListItem, Canvas, "TTrackEntry", area);
    TRect const action { area.Left, area.Top, area.Left + ActionWidth, area.Bottom };
    theme->Draw(skin::controls::PlaylistItem_Left, Canvas, "TTrackEntry.Left", action);
    if (const char* const icon = ActionIcon())
        theme->Draw(icon, Canvas, "TTrackEntry.Action",
            TRect::FromSize(action.Left + (ActionWidth - 46) / 2, action.Top + (action.Height() - 46) / 2, 46, 46));
    TPlaybackController const* const playback = m_context->Playback;
    if (Track->idPlaying && playback && playback->TrackLastByte > 0) {
        double const part = std::clamp(static_cast<double>(playback->PlayPosition) / playback->TrackLastByte, 0.0, 1.0);
        int const width = static_cast<int>((area.Width() - ActionWidth) * part);
        if (width > 0)
            theme->Draw(skin::controls::PlayListItem_Progress, Canvas, "TTrackEntry.Progress",
                { area.Left + ActionWidth, area.Top, area.Left + ActionWidth + width, area.Bottom });
    }
    int const middle = area.Top + area.Height() / 2;
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    TTrackTags const& tags = Track->tdTagsList;
    theme->TextOut(tags.View(tkTrackName), skin::fonts::Menu_Item_Title, flags,
        { area.Left + ActionWidth + 20, area.Top, area.Right - 20, middle }, Canvas);
    theme->TextOut(tags.View(tkArtist), skin::fonts::Menu_Item_Desc, flags,
        { area.Left + ActionWidth + 20, middle, area.Right - 20, area.Bottom }, Canvas);
}

void TTrackEntry::On_Enter(const TInputData& InputData)
{
    TSmartCtrl::On_Enter(InputData);
    State = bsActive;
    Invalidate(false);
}

void TTrackEntry::On_Leave(const TInputData& InputData)
{
    TSmartCtrl::On_Leave(InputData);
    State = bsNormal;
    Invalidate(false);
}

TSmartCtrl* TTrackEntry::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idXPos < ActionWidth)
        ActionPress();
    else if (InputData.idButton == mbLeft)
        PlayPress(InputData);
    // The press may have taken the entry away: nothing of it is touched here.
    return nullptr;
}

void TTrackEntry::PlayPress(const TInputData& InputData)
{
    TPlaybackController* const playback = m_context->Playback;
    TTrackData& track = *Track;
    if (!playback)
        return;
    if (track.idPlaying) {
        int const width = Width() - ActionWidth;
        if (width > 0) {
            double const share = std::clamp(static_cast<double>(InputData.idXPos - ActionWidth) / width, 0.0, 1.0);
            SeekTo(*m_context, static_cast<int64_t>(std::nearbyint(playback->TrackLastByte * share)));
        }
        return;
    }
    playback->PlayFile(&track, AddsToHistory(), 0);
    if (TPlayListPanel* const panel = m_context->PlayLists; panel && track.tdPlayList) {
        panel->SetActiveList(track.tdPlayList);
        if (TPlayListView* const view = panel->ViewOf(track.tdPlayList))
            view->ScrollToItem(track.tdItemData);
    }
    if (m_context->Host)
        m_context->Host->Invalidate();
}

}
