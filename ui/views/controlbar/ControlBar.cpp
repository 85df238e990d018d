#include "ui/views/controlbar/ControlBar.h"

#include "base/IniValues.h"
#include "library/CoverThread.h"
#include "library/PlayList.h"
#include "library/PlayQueue.h"
#include "library/PlayerSession.h"
#include "library/TrackData.h"
#include "library/TrackTexts.h"
#include "platform/graphics/ImageScale.h"
#include "platform/window/WindowClient.h"
#include "player/playback/PlaybackController.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/PlayListPanel.h"

#include <algorithm>
#include <cstdio>

namespace vantor {

namespace {

constexpr int kWindowButtonSize = 46;
constexpr TTextFlags kLineFlags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;

TTrackData* CurrentTrack(const TViewContext& context)
{
    return context.Session ? context.Session->CurrentTrack : nullptr;
}

std::string Text(const TViewContext& context, std::string_view key)
{
    return context.Session ? context.Session->Text(key) : std::string(key);
}

// "44.1" for 44100: kHz in the shortest decimal form.
std::string KiloHertz(std::string_view sampleRate)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", ParseIniInteger(sampleRate, 0) / 1000.0);
    return buffer;
}

// The cover of a track prepared at a frame's device size; empty without one.
TBitmap CoverFor(const TTrackData* track, const TDrawPoint& frame)
{
    if (!track)
        return {};
    TBitmap const picture = ReadFirstPicture(track->GetTag(tkFilePath));
    if (picture.IsEmpty())
        return {};
    TRect const device = frame.DeviceRect();
    return ScaleBitmap(picture, device.Width(), device.Height());
}

}

// ---- Window buttons --------------------------------------------------------------------------

TWindowButton::TWindowButton(TCreateKey key, const TViewContext& context, std::string action)
    : TSmartCtrl(key)
    , wbAction(std::move(action))
    , m_context(&context)
{
}

void TWindowButton::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    const char* icon = skin::icons::Window_Close_46;
    if (wbAction == "cbMinimize")
        icon = skin::icons::Window_Minimize_46;
    else if (wbAction == "cbMaximize")
        icon = skin::icons::Window_Maximize_46;
    TRect const area = CanvasRect();
    theme->Draw(icon, Canvas, "TWindowButton",
        TRect::FromSize(area.Left + area.Width() / 2 - kWindowButtonSize / 2,
            area.Top + area.Height() / 2 - kWindowButtonSize / 2, kWindowButtonSize, kWindowButtonSize));
}

TSmartCtrl* TWindowButton::On_MouseDown(const TInputData&, bool& ChildNotify)
{
    ChildNotify = false;
    IWindowShell* const window = m_context->Host ? m_context->Host->Window : nullptr;
    if (!window)
        return this;
    if (wbAction == "cbClose")
        window->Close();
    else if (wbAction == "cbMinimize")
        window->Minimize();
    else if (wbAction == "cbMaximize")
        window->ToggleMaximize();
    return this;
}

// ---- Track board -----------------------------------------------------------------------------

TTrackBoard::TTrackBoard(TCreateKey key, const TViewContext& context, TControlBar& bar)
    : TSmartCtrl(key)
    , ttControlBar(&bar)
    , m_context(&context)
{
}

void TTrackBoard::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    TTrackData const* const track = CurrentTrack(*m_context);
    if (!theme || !track)
        return;
    TRect const area = CanvasRect();
    int const width = area.Width();
    auto const at = [&](int left, int top, int w, int h) {
        return TRect::FromSize(area.Left + left, area.Top + top, w, h);
    };
    TTrackTags const& tags = track->tdTagsList;
    theme->TextOut(tags.View(tkTrackName), skin::fonts::ControlBar_Song_Title, kLineFlags, at(0, 0, width, 76), Canvas);
    char const* const font = skin::fonts::ControlBar_Song_Artist;
    theme->TextOut(tags.View(tkArtist), font, kLineFlags, at(0, 76, width, 47), Canvas);

    std::string genre(tags.View(tkGenre));
    if (m_context->Locale && !genre.empty())
        genre = m_context->Locale->Get(genre);
    std::string album(tags.View(tkAlbum));
    album += "  |  ";
    album += tags.View(tkYear);
    album += "  |  ";
    album += genre;
    theme->TextOut(album, font, kLineFlags, at(0, 133, width, 47), Canvas);

    std::string details = "|  ";
    details += DurationTextFromPlayTime(tags.View(tkPlayTime));
    details += "  |  ";
    details += tags.View(tkBitrate);
    details += ' ';
    details += Text(*m_context, "ItemData.kbps");
    details += "  |  ";
    details += KiloHertz(tags.View(tkSampleRate));
    details += ' ';
    details += Text(*m_context, "ItemData.khz");
    details += "  |  ";
    details += SizeText(ParseIniInt64(tags.View(tkFileSize), 0), m_context->Session);
    details += "  |  ";
    details += Text(*m_context, "ItemData.Channels");
    details += ": ";
    details += ChannelsText(tags.View(tkChannels), m_context->Session);
    theme->TextOut(details, font, kLineFlags, at(441, StarsTop, std::max(0, width - 441), StarSize), Canvas);

    int const rating = ParseIniInteger(tags.View(tkRating), 0);
    for (int i = 0; i < 5; ++i) {
        theme->Draw(rating >= i + 1 ? skin::icons::Icon_Star_Dark_47 : skin::icons::Icon_Star_White_47, Canvas,
            "TTrackBoard", at(StarSize * i, StarsTop, StarSize, StarSize));
    }
    TTextFlags const centred = tfCenter | tfVCenter | tfSingleLine;
    theme->TextOut("|", font, centred, { area.Left + 235, area.Top + 190, area.Left + 281, area.Top + 237 }, Canvas);
    theme->Draw(track->IsFavorite ? skin::icons::Icon_Fav_Dark_47 : skin::icons::Icon_Fav_White_47, Canvas,
        "TTrackBoard", cbFavDrawPoint.Rect().Offset(area.Left, area.Top));
    theme->TextOut("|", font, centred, { area.Left + 328, area.Top + 190, area.Left + 374, area.Top + 237 }, Canvas);
    theme->Draw(track->tdHasLyrics ? skin::icons::Icon_Lyrics_Dark_47 : skin::icons::Icon_Lyrics_White_47, Canvas,
        "TTrackBoard", cbLyricsDrawPoint.Rect().Offset(area.Left, area.Top));
}

TSmartCtrl* TTrackBoard::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    TTrackData* const track = CurrentTrack(*m_context);
    if (!track || InputData.idButton != mbLeft)
        return this;
    int const x = InputData.idXPos;
    int const y = InputData.idYPos;
    if (cbFavDrawPoint.Rect().Contains(x, y)) {
        AddtoFavorites(*m_context->Session, track, true, true);
    } else if (cbLyricsDrawPoint.Rect().Contains(x, y)) {
        if (OpenLyrics)
            OpenLyrics();
    } else if (cbStarsDrawPoint.Rect().Contains(x, y)) {
        int const stars = std::min(5, (x - cbStarsDrawPoint.dpLeft) / StarSize + 1);
        track->SetTag(tkRating, std::to_string(stars));
        track->SaveTag("RATING", RatingTagValue(stars));
    } else {
        return this;
    }
    if (m_context->Host)
        m_context->Host->Invalidate();
    return this;
}

bool TTrackBoard::IsDragArea(int X, int Y)
{
    // The marks take clicks; the texts around them move the window like the rest of the bar.
    return !cbStarsDrawPoint.Rect().Contains(X, Y) && !cbFavDrawPoint.Rect().Contains(X, Y)
        && !cbLyricsDrawPoint.Rect().Contains(X, Y);
}

// ---- Bar -------------------------------------------------------------------------------------

TControlBar::TControlBar(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    cbTrackBoard = AddItem(Create<TTrackBoard>(context, *this));
    cbMinimize = AddItem(Create<TWindowButton>(context, "cbMinimize"));
    cbMaximize = AddItem(Create<TWindowButton>(context, "cbMaximize"));
    cbClose = AddItem(Create<TWindowButton>(context, "cbClose"));
}

void TControlBar::UpdateINFO()
{
    TPlaybackController const* const playback = m_context->Playback;
    tpCoverList[0] = CoverFor(CurrentTrack(*m_context), dpMainCover);
    tpCoverList[1] = CoverFor(playback ? playback->PeekedPrevious() : nullptr, dpPrevCover);
    tpCoverList[2] = CoverFor(playback ? playback->PeekedNext() : nullptr, dpNextCover);
    cbHasCover = !tpCoverList[0].IsEmpty();
    hasPrevCover = !tpCoverList[1].IsEmpty();
    hasNextCover = !tpCoverList[2].IsEmpty();
    Invalidate(false);
}

void TControlBar::On_Resize()
{
    TSmartCtrl::On_Resize();
    cbTrackBoard->SetPosition(650, 0);
    cbTrackBoard->SetWidth(std::max(0, Width() - 650 - 100));
    cbTrackBoard->SetHeight(Height());
    int left = Width() - 20 - kWindowButtonSize;
    for (TWindowButton* button : { cbClose, cbMaximize, cbMinimize }) {
        button->SetPosition(left, 20);
        button->SetWidth(kWindowButtonSize);
        button->SetHeight(kWindowButtonSize);
        left -= 20 + kWindowButtonSize;
    }
}

void TControlBar::PaintCover(TBitmap& canvas, const TDrawPoint& frame, const TBitmap& cover, bool has, double opacity,
    const char* placeholder, int placeholderSize) const
{
    TThemeManager& theme = *m_context->Theme;
    TRect const area = CanvasRect();
    if (has) {
        TRect const device = frame.DeviceRect();
        canvas.BlendFrom(cover, Scale(area.Left) + device.Left, Scale(area.Top) + device.Top, opacity);
    } else {
        TDrawPoint const shifted { frame.dpLeft + area.Left, frame.dpTop + area.Top, frame.dpWidth, frame.dpHeight };
        theme.Draw(placeholder, canvas, "TControlBar.Cover", shifted.Centered(placeholderSize, placeholderSize));
    }
}

void TControlBar::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::ControlBar_Back, Canvas, "TControlBar", area);
    for (TDrawPoint const* frame : { &dpPrevCover, &dpNextCover, &dpMainCover })
        theme->Draw(skin::controls::CoverBack, Canvas, "TControlBar.Frame", frame->Rect().Offset(area.Left, area.Top));
    PaintCover(Canvas, dpPrevCover, tpCoverList[1], hasPrevCover, 100.0 / 255, skin::icons::Icon_Track_64, 64);
    PaintCover(Canvas, dpNextCover, tpCoverList[2], hasNextCover, 100.0 / 255, skin::icons::Icon_Track_64, 64);
    PaintCover(Canvas, dpMainCover, tpCoverList[0], cbHasCover, 1.0, skin::icons::Icon_CD_74, 74);
}

// Presses elsewhere go on to the window buttons and the track board.
TSmartCtrl* TControlBar::On_MouseDown(const TInputData& InputData, bool&)
{
    TTrackData* const track = CurrentTrack(*m_context);
    if (InputData.idButton != mbLeft || !track || !dpMainCover.Rect().Contains(InputData.idXPos, InputData.idYPos))
        return this;
    // The current track's list comes to the front, scrolled to the track.
    TPlayListPanel* const panel = m_context->PlayLists;
    if (!panel || !track->tdPlayList)
        return this;
    panel->SetActiveList(track->tdPlayList);
    if (TPlayListView* const view = panel->ViewOf(track->tdPlayList))
        view->ScrollToItem(track->tdItemData);
    return this;
}

// The window asks the bar alone: the window buttons and the main cover take clicks, the track
// board decides for its own area, and the rest of the bar moves the window.
bool TControlBar::IsDragArea(int X, int Y)
{
    if (dpMainCover.Rect().Contains(X, Y))
        return false;
    TSmartCtrl const* const child = ControlAtXY(TInputData { mbLeft, 0, X, Y, 0, 0 });
    if (child == cbTrackBoard)
        return cbTrackBoard->IsDragArea(X - child->Left(), Y - child->Top());
    return !child;
}

}
