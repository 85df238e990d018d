#include "ui/views/playlist/PlayListView.h"

#include "base/CaseFold.h"
#include "base/IniValues.h"
#include "library/PlayQueue.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "library/SelectionOps.h"
#include "library/TrackData.h"
#include "library/TrackTexts.h"
#include "platform/graphics/Bitmap.h"
#include "player/playback/PlaybackController.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/PlaybackActions.h"
#include "ui/views/ViewContext.h"
#include "ui/views/playlist/AlphabetPanel.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/SmartScroll.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

namespace vantor {

using namespace playlist_layout;

namespace {

constexpr uint32_t kFallbackBack = 0xFF212228;
constexpr int kIconSize = 74;

TRect CenteredIn(const TRect& area, int width, int height)
{
    int const left = area.Left + area.Width() / 2 - width / 2;
    int const top = area.Top + area.Height() / 2 - height / 2;
    return TRect::FromSize(left, top, width, height);
}

// The icon of the left action area, by the modes in force (the later mode wins).
const char* ActionIcon(const TVPlayList& list, const TTrackData& track)
{
    const char* icon = skin::icons::Icon_CD_74;
    if (list.plSelectMode)
        icon = track.tdSelected ? skin::icons::Icon_Selected_74 : skin::icons::Icon_NotSelected_74;
    if (list.plTagEditMode)
        icon = skin::icons::Icon_Tags_74;
    if (list.plLyricsMode)
        icon = track.tdHasLyrics ? skin::icons::Icon_Lyrics_74 : skin::icons::Icon_Lyrics_Empty_74;
    if (list.plDeleteMode)
        icon = skin::icons::Icon_Bin_64;
    if (list.plLocationMode)
        icon = skin::icons::Icon_Folder_64;
    return icon;
}

bool AnyMode(const TVPlayList& list)
{
    return list.plDeleteMode || list.plLocationMode || list.plSelectMode || list.plTagEditMode || list.plLyricsMode;
}

}

TPlayListView::TPlayListView(TCreateKey key, std::unique_ptr<TVPlayList> list, const TViewContext* context)
    : TSmartCtrl(key)
    , m_list(std::move(list))
    , m_context(context)
{
    plScrollBar = AddItem(Create<TSmartScroll>(context));
    // The bar picks a track; the list scrolls to its row.
    plScrollBar->ssAction = [this](TSmartScroll& bar, const TInputData&) {
        TItemData* row = nullptr;
        if (m_list->GetItem(bar.ssPos, row))
            ScrollToItem(row);
    };
    plAlphabetPanel = AddItem(Create<TAlphabetPanel>(*this, context));
}

TPlayListView::~TPlayListView() = default;

void TPlayListView::On_Create()
{
    TSmartCtrl::On_Create();
    SC_ID = m_list->ControlID();
}

void TPlayListView::On_Show()
{
    TSmartCtrl::On_Show();
    // A hidden view is not resized: it catches up when it shows.
    PlaceAll();
}

void TPlayListView::On_Resize()
{
    TSmartCtrl::On_Resize();
    PlaceAll();
}

void TPlayListView::PlaceAll()
{
    plScrollBar->SetPosition(Width() - ScrollBarWidth - ScrollBarGap, 0);
    plScrollBar->SetWidth(ScrollBarWidth);
    plScrollBar->SetHeight(Height());
    plAlphabetPanel->SetPosition(0, 0);
    plAlphabetPanel->SetWidth(AlphabetWidth);
    plAlphabetPanel->SetHeight(Height());
    ArrangeGroups();
    CalculateScroll();
}

void TPlayListView::ArrangeGroups()
{
    m_layout.Arrange(*m_list, Width(), Height());
    m_arrangedVersion = m_list->GroupsVersion();
    ShowActiveLetters();
}

void TPlayListView::EnsureArranged() const
{
    if (m_arrangedVersion == m_list->GroupsVersion())
        return;
    m_layout.Arrange(*m_list, Width(), Height());
    m_arrangedVersion = m_list->GroupsVersion();
}

void TPlayListView::CalculateScroll()
{
    EnsureArranged();
    m_list->plScrollMax = m_layout.ScrollMax(m_list->plScroll);
    plScrollBar->SetMax(m_list->TrackCount());
    plScrollBar->SetPos(m_list->plCurrentItemIdx);
    if (m_list->plScroll > m_list->plScrollMax) {
        m_list->plScroll = m_list->plScrollMax;
        ArrangeGroups();
    }
}

void TPlayListView::SetScroll(int Value)
{
    m_list->plScroll = std::clamp(Value, 0, std::max(0, m_list->plScrollMax));
    plScrollBar->SetPos(m_list->plCurrentItemIdx);
    ArrangeGroups();
    Invalidate(false);
}

void TPlayListView::ScrollToItem(const TItemData* ItemData)
{
    EnsureArranged();
    if (!ItemData)
        return;
    m_list->plCurrentItemIdx = ItemData->idIndex;
    for (TGroupPlace const& place : m_layout.Groups()) {
        if (place.Group != ItemData->idGroupData)
            continue;
        for (int n = 0; n < place.ShownRows; ++n) {
            if (TPlayListLayout::ShownRow(place, n) == ItemData) {
                SetScroll(m_layout.RowRect(place, n).Top + m_list->plScroll - TopMargin);
                return;
            }
        }
    }
}

void TPlayListView::ScrollToGroup(const TGroupData* group)
{
    EnsureArranged();
    for (TGroupPlace const& place : m_layout.Groups()) {
        if (place.Group == group) {
            ScrollToItem(TPlayListLayout::ShownRow(place, 0));
            return;
        }
    }
}

void TPlayListView::ShowActiveLetters()
{
    if (!plAlphabetPanel || !plAlphabetPanel->Visible() || m_list->plGroups.empty())
        return;
    std::vector<TGroupLetterButton*> const letters = plAlphabetPanel->Letters();
    for (TGroupLetterButton* letter : letters) {
        letter->glState = bsNormal;
        letter->glActive = false;
    }
    int const height = Height();
    for (TGroupPlace const& place : Layout().Groups()) {
        if (place.HeaderTop <= 0 || place.HeaderTop >= height)
            continue;
        // The same key the letters were made with, so every grouping marks its letters.
        std::string const key = LetterID(*place.Group, m_list->plGroupMode);
        for (TGroupLetterButton* letter : letters)
            if (letter->Letter.glID == key)
                letter->glActive = true;
    }
    plAlphabetPanel->Invalidate(false);
}

bool TPlayListView::ChildAt(int X, int Y) const
{
    for (TSmartCtrl const* child :
        { static_cast<const TSmartCtrl*>(plScrollBar), static_cast<const TSmartCtrl*>(plAlphabetPanel) })
        if (child->Visible() && X >= child->Left() && X < child->Right() && Y >= child->Top()
            && Y < child->Top() + child->Height())
            return true;
    return false;
}

TItemData* TPlayListView::GetItem(int X, int Y) const { return Layout().RowAt(X, Y); }

bool TPlayListView::GroupShown(const TGroupData& group) const { return Visible() && Layout().HeaderShown(&group); }

TSmartCtrl* TPlayListView::On_MouseWheel(const TInputData& InputData, bool& ChildNotify)
{
    EnsureArranged();
    // Over the letters the wheel scrolls them.
    if (ChildAt(InputData.idXPos, InputData.idYPos))
        return this;
    ChildNotify = false;
    int const tracks = m_list->TrackCount();
    if (tracks == 0 || InputData.idDirection == 0)
        return this;
    bool const down = InputData.idDirection < 0;
    if (InputData.idXPos >= RowsLeft) {
        // Over the rows: one track at a time, never past the last one.
        m_list->plCurrentItemIdx = std::clamp(m_list->plCurrentItemIdx + (down ? 1 : -1), 0, tracks - 1);
        TItemData* row = nullptr;
        if (m_list->GetItem(m_list->plCurrentItemIdx, row))
            ScrollToItem(row);
        return this;
    }
    // Over the header column: one group at a time, from the first whose header is below the
    // top edge.
    auto const& groups = m_layout.Groups();
    auto const first =
        std::find_if(groups.begin(), groups.end(), [](const TGroupPlace& place) { return place.HeaderTop > 0; });
    if (first == groups.end())
        return this;
    auto target = first;
    if (down && std::next(first) != groups.end())
        target = std::next(first);
    else if (!down && first != groups.begin())
        target = std::prev(first);
    ScrollToItem(TPlayListLayout::ShownRow(*target, 0));
    return this;
}

TSmartCtrl* TPlayListView::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    EnsureArranged();
    // The scroll bar and the letters lie over the rows and take their own presses.
    if (ChildAt(InputData.idXPos, InputData.idYPos))
        return this;
    ChildNotify = false;
    TRect rect;
    if (TItemData* const row = m_layout.RowAt(InputData.idXPos, InputData.idYPos, &rect))
        RowPress(*row, InputData.idXPos - rect.Left, rect.Width(), InputData);
    return this;
}

TSmartCtrl* TPlayListView::On_MouseMove(const TInputData& InputData, bool&)
{
    // The letters slide in near the left edge and go once the pointer leaves their column.
    int const x = InputData.idXPos;
    if (!plAlphabetPanel->Visible() && x >= 0 && x < AlphabetRevealBand && m_list->TrackCount() > 0)
        plAlphabetPanel->SetVisible(true);
    else if (plAlphabetPanel->Visible() && (x < 0 || x >= AlphabetWidth))
        plAlphabetPanel->SetVisible(false);
    return this;
}

void TPlayListView::RowPress(TItemData& row, int x, int width, const TInputData& input)
{
    if (!m_context || !row.idTrackData)
        return;
    TTrackData& track = *row.idTrackData;
    TPlayerSession& session = m_list->Session();
    TPlaybackController* const playback = m_context->Playback;
    bool const inAction = x < ActionWidth;
    bool const deleting = (input.idShift & ssCtrl) || m_list->plDeleteMode;
    bool const locating = (input.idShift & ssShift) || m_list->plLocationMode;
    switch (input.idButton) {
    case mbRight:
        if (x >= width - ActionWidth) {
            AddtoFavorites(session, &track, true, true);
        } else if (inAction && deleting) {
            // "No" leaves the row, its file and the selection as they were.
            if (m_context->Messages && DeleteTrack(track, *m_context->Messages))
                Rearrange();
            return;
        } else if (inAction) {
            ToggleSelection(track);
        }
        break;
    case mbMiddle:
        if (track.idPlaying && playback)
            playback->Pause();
        break;
    case mbLeft:
        if (inAction) {
            if (deleting) {
                m_list->RemoveItem(&row, false);
                Rearrange();
                return;
            }
            if (locating) {
                track.ShowInExplorer();
            } else if (m_list->plLyricsMode) {
                if (m_context->PlayLists && m_context->PlayLists->ShowLyrics)
                    m_context->PlayLists->ShowLyrics(track);
            } else if (m_list->plTagEditMode) {
                if (m_context->PlayLists && m_context->PlayLists->ShowTags)
                    m_context->PlayLists->ShowTags(track);
            } else if (m_list->plSelectMode) {
                ToggleSelection(track);
            } else if (track.QueueNumber < 1) {
                session.Queue().AddToQueue(&track);
            } else {
                session.Queue().RemoveFromQueue(&track);
            }
        } else if (playback && !track.idPlaying) {
            playback->PlayFile(&track, true, 0);
        } else if (playback && width > ActionWidth) {
            // A press in the playing row seeks to the same share of the track.
            double const share = static_cast<double>(x - ActionWidth) / (width - ActionWidth);
            SeekTo(*m_context, static_cast<int64_t>(std::nearbyint(playback->TrackLastByte * share)));
        }
        break;
    }
    if (m_context->Host)
        m_context->Host->Invalidate();
}

void TPlayListView::ToggleSelection(TTrackData& track)
{
    TTrackSelection& selection = m_list->Session().Selection();
    if (track.tdSelected)
        selection.Remove(track);
    else
        selection.Add(track);
    m_list->plSelCount = CountSelected(*m_list);
}

void TPlayListView::Rearrange()
{
    ArrangeGroups();
    CalculateScroll();
    if (m_context && m_context->Host)
        m_context->Host->Invalidate();
    else
        Invalidate(false);
}

void TPlayListView::OnDrop(const std::vector<std::string>& Files, TPoint) { vantor::OnDrop(*m_list, Files); }

void TPlayListView::On_Paint(TBitmap& Canvas)
{
    EnsureArranged();
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    TRect const area = CanvasRect();
    if (!m_list->plLoading && m_list->TrackCount() == 0) {
        PaintEmptyList(Canvas, m_context, area);
        return;
    }
    Canvas.FillRect(Scale(area), theme ? theme->Color(skin::colors::Playlist_Back) : kFallbackBack);
    // A load shows the rows it has handed over so far.
    if ((m_list->plLoading && m_list->plGroups.empty()) || !Visible() || !theme)
        return;
    int const height = Height();
    for (TGroupPlace const& place : m_layout.Groups()) {
        if (place.Top > height)
            break; // groups are placed top to bottom
        TRect const header = m_layout.HeaderRect(place);
        if (header.Top <= height && header.Bottom >= 0)
            PaintHeader(Canvas, place, area);
        if (place.Top + place.Height < 0)
            continue;
        // Only the rows that reach into the view.
        int const first = std::max(0, -place.Top / RowPitch - 1);
        for (int n = first; n < place.ShownRows; ++n) {
            TRect const rect = m_layout.RowRect(place, n);
            if (rect.Top > height)
                break;
            TItemData const* const row = TPlayListLayout::ShownRow(place, n);
            if (rect.Bottom >= 0 && row && row->idTrackData && row->idTrackData->tdVisible)
                PaintRow(Canvas, *row, rect.Offset(area.Left, area.Top));
        }
    }
}

void TPlayListView::PaintHeader(TBitmap& canvas, const TGroupPlace& place, const TRect& area) const
{
    TThemeManager& theme = *m_context->Theme;
    TRect const r = m_layout.HeaderRect(place).Offset(area.Left, area.Top);
    theme.Draw(skin::controls::CoverBack, canvas, "CoverBack", r);
    TGroupData& group = *place.Group;
    bool drawn = false;
    if (group.gdHaveCover) {
        std::lock_guard lock(group.gdCoverLock);
        if (group.gdPicture) {
            TRect const device = Scale(r);
            canvas.CopyFrom(*group.gdPicture, { 0, 0, group.gdPicture->Width(), group.gdPicture->Height() },
                device.Left, device.Top);
            drawn = true;
        }
    }
    if (!drawn)
        theme.Draw(skin::icons::Icon_CD_74, canvas, "GroupCD", { r.Left + 74, r.Top + 74, r.Left + 148, r.Top + 148 });
    TTextFlags const centred = tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis;
    theme.TextOut(group.gdCaption, skin::fonts::Group_Title, centred,
        { r.Left - 70, r.Bottom + 20, r.Right + 70, r.Bottom + 60 }, canvas);
    theme.TextOut(group.gdSecondLine, skin::fonts::Group_Second_Title, centred,
        { r.Left - 70, r.Bottom + 65, r.Right + 70, r.Bottom + 110 }, canvas);
}

void TPlayListView::PaintRow(TBitmap& canvas, const TItemData& row, const TRect& rect) const
{
    TThemeManager& theme = *m_context->Theme;
    TTrackData const& track = *row.idTrackData;
    theme.Draw(skin::controls::Track_Back, canvas, "Track.Back", rect);
    TRect const action { rect.Left, rect.Top, rect.Left + ActionWidth, rect.Bottom };
    theme.Draw(skin::controls::Track_Left, canvas, "Track.Left", action);

    if (AnyMode(*m_list) || track.QueueNumber <= 0) {
        theme.Draw(ActionIcon(*m_list, track), canvas, "ItemAction", CenteredIn(action, kIconSize, kIconSize));
    } else {
        theme.TextOut(std::to_string(track.QueueNumber), skin::fonts::Queue_Number, tfCenter | tfVCenter | tfSingleLine,
            action, canvas);
    }

    TPlaybackController const* const playback = m_context->Playback;
    if (track.idPlaying && playback && playback->TrackLastByte > 0) {
        double const part = std::clamp(static_cast<double>(playback->PlayPosition) / playback->TrackLastByte, 0.0, 1.0);
        int const width = static_cast<int>((rect.Width() - ActionWidth) * part);
        if (width > 0)
            theme.Draw(skin::controls::PlayListItem_Progress, canvas, "ItemProgress",
                { rect.Left + ActionWidth, rect.Top, rect.Left + ActionWidth + width, rect.Bottom });
    }

    TRect const favourite { rect.Right - ActionWidth, rect.Top, rect.Right, rect.Bottom };
    theme.Draw(track.IsFavorite ? skin::icons::Favorite_Yes : skin::icons::Favorite_no, canvas, "ItemFavorite",
        CenteredIn(favourite, kIconSize, kIconSize));

    TTrackTags const& tags = track.tdTagsList;
    bool const location = m_list->plLocationMode;
    std::string genre(tags.View(tkGenre));
    if (m_context->Locale && !genre.empty())
        genre = m_context->Locale->Get(genre, "Genres");
    std::string bitrate = std::string(FirstChars(tags.View(tkBitrate), 3));
    bitrate += ' ';
    bitrate += m_list->Session().Text("ItemData.kbps");
    std::string const texts[8] = {
        std::string(tags.View(location ? tkFileName : tkTrackName)),
        std::string(tags.View(location ? tkDirectory : tkArtist)),
        std::string(FirstChars(tags.View(tkAlbum), 30)),
        std::string(tags.View(tkYear)),
        genre,
        DurationTextFromPlayTime(tags.View(tkPlayTime)),
        bitrate,
        SizeText(ParseIniInt64(tags.View(tkFileSize), 0), &m_list->Session()),
    };
    TTextFlags const flags = tfLeft | tfVCenter | tfSingleLine | tfEndEllipsis;
    std::array<TRect, 8> const rects = RowTextRects(rect.Width());
    for (int i = 0; i < 8; ++i) {
        TRect const box = rects[i].Offset(rect.Left, rect.Top);
        if (!box.IsEmpty() && !texts[i].empty())
            theme.TextOut(texts[i], i % 2 ? skin::fonts::Item_Title2 : skin::fonts::Item_Title, flags, box, canvas);
    }
}

void PaintEmptyList(TBitmap& Canvas, const TViewContext* Context, const TRect& Area)
{
    TThemeManager* const theme = Context ? Context->Theme : nullptr;
    Canvas.FillRect(Scale(Area), theme ? theme->Color(skin::colors::Playlist_Back) : kFallbackBack);
    if (!theme || !Context->Locale)
        return;
    constexpr int Margin = 40;
    TRect const box { Area.Left + Margin, Area.Top + Margin, Area.Right - Margin, Area.Bottom - Margin };
    if (!box.IsEmpty())
        theme->TextOut(Context->Locale->Get("PlayList.Empty"), skin::fonts::Group_Second_Title,
            tfCenter | tfVCenter | tfWordBreak, box, Canvas);
}

}
