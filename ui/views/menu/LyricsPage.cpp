#include "ui/views/menu/LyricsPage.h"

#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/TrackData.h"
#include "platform/audio/AudioEngine.h"
#include "platform/shell/ClipboardText.h"
#include "player/playback/PlaybackController.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/views/ViewContext.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartScroll.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <sstream>
#include <string_view>

namespace vantor {

namespace {

constexpr int kBarWidth = 50;
constexpr int kTextGap = 20;
constexpr int kFallbackLineHeight = 40;
constexpr int kFallbackCharWidth = 10;
constexpr int kGlideFrameMs = 16;
// A timed line starting sooner than the next position update gets a timer of its own.
constexpr int64_t kCueAheadMs = 600;

// The rows text takes when broken between words to fit width, as the view breaks it; a word
// wider than a row is broken inside and takes the rows its width needs.
template <class TMeasure>
int WrappedRows(std::string_view text, int width, TMeasure const& measure)
{
    if (measure(text) <= width)
        return 1;
    int rows = 1;
    size_t rowStart = 0;
    bool rowEmpty = true;
    for (size_t at = 0; at <= text.size();) {
        size_t const end = std::min(text.find(' ', at), text.size());
        if (!rowEmpty && measure(text.substr(rowStart, end - rowStart)) > width) {
            ++rows;
            rowStart = at;
            rowEmpty = true;
        }
        if (rowEmpty) {
            int const wordWidth = measure(text.substr(at, end - at));
            if (wordWidth > width)
                rows += (wordWidth - 1) / width;
            rowEmpty = false;
        }
        at = end + 1;
    }
    return rows;
}

}

TTextContainer2::TTextContainer2(TCreateKey key, const TViewContext* context)
    : TSmartCtrl(key)
    , m_context(context)
{
    tcScrollBar = AddItem("TSmartScroll", "Top", Create<TSmartScroll>(context));
    tcScrollBar->ssAction = [this](TSmartScroll&, const TInputData&) {
        // Dragging the bar is the user's scroll as much as the wheel.
        m_heldUntil = TTimerClock::now() + std::chrono::milliseconds(WheelHoldMs);
        if (m_glideTimer)
            m_glideTimer->SetEnabled(false);
        Arrange();
        Invalidate(true);
    };
}

TTextContainer2::~TTextContainer2() = default;

void TTextContainer2::SetText(const std::string& Value)
{
    tcText.clear();
    std::istringstream lines(Value);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        tcText.push_back(line);
    }
    tcTimed = ParseLrc(Value);
    tcCurrent = -1;
    m_heldUntil = {};
    if (m_glideTimer)
        m_glideTimer->SetEnabled(false);
    tcScrollBar->SetPos(0);
    CalculateScroll();
    Arrange();
    Invalidate(true);
}

std::string TTextContainer2::Text() const
{
    std::string text;
    for (std::string const& line : tcText) {
        text += line;
        text += '\n';
    }
    return text;
}

void TTextContainer2::CalculateScroll()
{
    TThemeManager const* const theme = m_context ? m_context->Theme : nullptr;
    int const lineHeight =
        theme ? theme->FontHeight(skin::fonts::Lyrics_Text, kFallbackLineHeight) : kFallbackLineHeight;
    tcScrollValue = lineHeight;
    m_lineHeight = lineHeight;
    if (!tcTimed.empty()) {
        // One timed line after another, a wrapped one taking the rows it needs; the range
        // lets the last line come up to the middle.
        // Measured in the highlight's font, the wider of the two.
        auto const measure = [theme](std::string_view text) {
            int const width = theme ? theme->TextWidth(skin::fonts::Lyrics_Current, text, -1) : -1;
            return width >= 0 ? width : kFallbackCharWidth * static_cast<int>(text.size());
        };
        int const textWidth = std::max(1, Width() - kBarWidth - kTextGap);
        m_timedTops.clear();
        int top = 0;
        for (TLrcLine const& line : tcTimed) {
            m_timedTops.push_back(top);
            top += WrappedRows(line.Text, textWidth, measure) * lineHeight + TimedLineGap;
        }
        m_timedTops.push_back(top);
        tcScrollBar->SetMax(std::max(0, top - Height() / 2));
        return;
    }
    // A line wider than the view takes two.
    int wide = 0;
    for (std::string const& line : tcText) {
        int const width = theme ? theme->TextWidth(skin::fonts::Lyrics_Text, line, -1) : -1;
        if ((width >= 0 ? width : 10 * static_cast<int>(line.size())) > Width())
            ++wide;
    }
    int const range = lineHeight * (wide + static_cast<int>(tcText.size())) - Height() + 30;
    tcScrollBar->SetMax(std::max(0, range));
}

int TTextContainer2::TimedLineTop(int line) const
{
    return line >= 0 && line + 1 < static_cast<int>(m_timedTops.size()) ? m_timedTops[line] : -1;
}

void TTextContainer2::FollowTime(std::optional<int64_t> positionMs)
{
    if (tcTimed.empty())
        return;
    int const current = positionMs ? LrcLineAt(tcTimed, *positionMs) : -1;
    if (current != tcCurrent) {
        tcCurrent = current;
        Invalidate(true);
    }
    if (positionMs && TTimerClock::now() < m_heldUntil)
        return;
    // The current line's middle at the view's middle; the top before the first line.
    int target = 0;
    if (int const top = TimedLineTop(current); top >= 0)
        target = (top + m_timedTops[current + 1] - TimedLineGap) / 2 - Height() / 2;
    target = std::clamp(target, 0, tcScrollBar->ssMax);
    bool const gliding = m_glideTimer && m_glideTimer->Enabled();
    if (gliding ? target == m_glideTo : target == tcScrollBar->ssPos)
        return;
    TSmartVCL* const host = m_context ? m_context->Host : nullptr;
    if (!positionMs || !host || !host->Timers) {
        if (m_glideTimer)
            m_glideTimer->SetEnabled(false);
        ScrollTo(target);
        return;
    }
    if (!m_glideTimer) {
        m_glideTimer = std::make_unique<TTimer>(*host->Timers, kGlideFrameMs);
        m_glideTimer->OnTimer = [this] { GlideStep(); };
    }
    m_glideFrom = tcScrollBar->ssPos;
    m_glideTo = target;
    m_glideStart = TTimerClock::now();
    m_glideTimer->Restart();
}

void TTextContainer2::GlideStep()
{
    double const t = std::chrono::duration<double, std::milli>(TTimerClock::now() - m_glideStart).count() / GlideMs;
    if (t >= 1) {
        m_glideTimer->SetEnabled(false);
        ScrollTo(m_glideTo);
        return;
    }
    // Fast at first, settling gently.
    double const eased = 1 - std::pow(1 - t, 3);
    ScrollTo(m_glideFrom + static_cast<int>(std::lround((m_glideTo - m_glideFrom) * eased)));
}

void TTextContainer2::ScrollTo(int position)
{
    tcScrollBar->SetPos(position);
    Arrange();
    Invalidate(true);
}

void TTextContainer2::On_Resize()
{
    tcScrollBar->SetPosition(Width() - kBarWidth, 0);
    tcScrollBar->SetWidth(kBarWidth);
    tcScrollBar->SetHeight(Height());
    CalculateScroll();
    TSmartCtrl::On_Resize();
}

void TTextContainer2::On_Arrange()
{
    tcTextRect = { 0, -tcScrollBar->ssPos, tcScrollBar->Left() - kTextGap, Height() - 10 };
    TSmartCtrl::On_Arrange();
}

TSmartCtrl* TTextContainer2::On_MouseWheel(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = true;
    if (tcScrollBar->ssMax > 0) {
        m_heldUntil = TTimerClock::now() + std::chrono::milliseconds(WheelHoldMs);
        if (m_glideTimer)
            m_glideTimer->SetEnabled(false);
        tcScrollBar->SetPos(tcScrollBar->ssPos + (InputData.idDirection <= 0 ? tcScrollValue : -tcScrollValue));
        Arrange();
        Invalidate(true);
    }
    return this;
}

void TTextContainer2::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context ? m_context->Theme : nullptr;
    if (!theme || tcText.empty())
        return;
    TRect const area = CanvasRect();
    if (!tcTimed.empty()) {
        for (size_t n = 0; n < tcTimed.size(); ++n) {
            TRect const line = { tcTextRect.Left, tcTextRect.Top + m_timedTops[n], tcTextRect.Right,
                tcTextRect.Top + m_timedTops[n + 1] - TimedLineGap };
            if (line.Bottom <= 0 || line.Top >= Height())
                continue;
            theme->TextOut(tcTimed[n].Text,
                static_cast<int>(n) == tcCurrent ? skin::fonts::Lyrics_Current : skin::fonts::Lyrics_Text,
                tfLeft | tfWordBreak, line.Offset(area.Left, area.Top), Canvas);
        }
        return;
    }
    std::string text = Text();
    text.pop_back();
    theme->TextOut(
        text, skin::fonts::Lyrics_Text, tfLeft | tfWordBreak, tcTextRect.Offset(area.Left, area.Top), Canvas);
}

TLyricsHolder::TLyricsHolder(TCreateKey key, const TViewContext& context)
    : TMenuHolder(key, context, "Menu.LyricsViewer")
{
    mhItemContainer->SetVisible(false);
    lhTextContainer = AddItem("lhTextContainer", Create<TTextContainer2>(&context));
    AddButton("Icon.Remove.46", "Button.ClearLyrics", asLeft, [this](TMenuButton&, const TInputData&) {
        lhTextContainer->SetText({});
        m_placeholder = false;
    });
    AddButton("Icon.Copy.46", "Button.ClipboardCopy", asLeft,
        [this](TMenuButton&, const TInputData&) { WriteClipboard(lhTextContainer->Text()); });
    AddButton("Icon.Paste.46", "Button.ClipboardPaste", asLeft, [this](TMenuButton&, const TInputData&) {
        // Shown only: the track has lyrics once they are saved.
        if (std::optional<std::string> const text = ReadClipboard()) {
            lhTextContainer->SetText(*text);
            m_placeholder = false;
        }
    });
    AddButton("Icon.Save.46", "Button.SaveChanges", asRight, [this](TMenuButton&, const TInputData&) { SaveLyrics(); });
    if (context.Session)
        context.Session->RegisterTrackHolder(this);
}

TLyricsHolder::~TLyricsHolder()
{
    if (Context().Session)
        Context().Session->UnregisterTrackHolder(this);
}

void TLyricsHolder::ReleaseTrack(TTrackData& track)
{
    if (lhTrackData == &track)
        lhTrackData = nullptr;
}

void TLyricsHolder::ReadLyrics(TTrackData& TrackData, bool ForceReread)
{
    if (!Visible())
        return;
    lhTextContainer->SetText(TrackData.ReadLyrics(ForceReread));
    m_placeholder = !TrackData.tdHasLyrics;
    lhTrackData = &TrackData;
    FollowPlayback();
    RepaintWindow();
}

void TLyricsHolder::FollowPlayback()
{
    TTextContainer2& view = *lhTextContainer;
    if (view.tcTimed.empty())
        return;
    TPlaybackController const* const playback = Context().Playback;
    TAudioEngine const* const engine = playback ? playback->AudioEngine : nullptr;
    bool const shownPlays = lhTrackData && Context().Session && lhTrackData == Context().Session->CurrentTrack && engine
        && playback->PlayingOrPaused();
    int64_t const bytes = shownPlays ? engine->ChannelGetPosition(playback->StreamHandle) : -1;
    double const seconds = bytes >= 0 ? engine->ChannelBytes2Seconds(playback->StreamHandle, bytes) : -1;
    if (seconds < 0) {
        view.FollowTime(std::nullopt);
        return;
    }
    auto const positionMs = static_cast<int64_t>(seconds * 1000.0);
    view.FollowTime(positionMs);
    // The next line may start well before the next update: a timer of the window's own loop
    // brings it in on time.
    size_t const next = static_cast<size_t>(view.tcCurrent + 1);
    TSmartVCL* const host = Context().Host;
    if (playback->PlayerState != psPlaying || next >= view.tcTimed.size() || !host || !host->Timers)
        return;
    int64_t const wait = view.tcTimed[next].TimeMs - positionMs;
    if (wait <= 0 || wait > kCueAheadMs)
        return;
    if (!m_cueTimer) {
        m_cueTimer = std::make_unique<TTimer>(*host->Timers);
        m_cueTimer->OnTimer = [this] {
            m_cueTimer->SetEnabled(false);
            FollowPlayback();
        };
    }
    m_cueTimer->SetInterval(static_cast<int>(wait));
    m_cueTimer->Restart();
}

bool TLyricsHolder::SaveLyrics()
{
    if (!lhTrackData)
        return false;
    TTrackData& track = *lhTrackData;
    // The "no lyrics" text never goes into the file.
    std::string const text = m_placeholder ? std::string() : lhTextContainer->Text();
    track.SaveTag("LYRICS", text);
    track.tdHasLyrics = !text.empty();
    track.SaveInfo();
    RepaintWindow();
    return true;
}

void TLyricsHolder::Activate()
{
    TVPlayList* const list = Context().Session ? Context().Session->CurrentPlayList : nullptr;
    if (list) {
        list->plLyricsMode = true;
        if (TTrackData* const current = Context().Session->CurrentTrack)
            ReadLyrics(*current, false);
    }
    TMenuHolder::Activate();
}

void TLyricsHolder::Deactivate()
{
    lhTrackData = nullptr;
    if (m_cueTimer)
        m_cueTimer->SetEnabled(false);
    if (TVPlayList* const list = Context().Session ? Context().Session->CurrentPlayList : nullptr)
        list->plLyricsMode = false;
    TMenuHolder::Deactivate();
}

void TLyricsHolder::On_Arrange()
{
    TMenuHolder::On_Arrange();
    lhTextContainer->SetPosition(10, BarHeight + 10);
    lhTextContainer->SetWidth(Width() - 20);
    lhTextContainer->SetHeight(std::max(0, Height() - 2 * BarHeight - 20));
    lhTextContainer->Arrange();
}

std::optional<std::string> TLyricsHolder::ReadClipboard() const { return ClipboardText(); }

void TLyricsHolder::WriteClipboard(const std::string& Text) { SetClipboardText(Text); }

}
