#pragma once

// The lyrics page: a track's lyrics in a read-only scrolling text view, with buttons to clear,
// copy, paste and save them into the file. Time-stamped lyrics show without their stamps and
// follow the playing track: the line being sung is highlighted and kept near the middle.

#include "library/LibraryHooks.h"
#include "library/LrcLyrics.h"
#include "platform/window/Timer.h"
#include "ui/views/menu/MenuHolder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

class TSmartScroll;

// Read-only text, wrapped at word boundaries, with a scroll bar when it is longer than the view.
// Time-stamped text shows one timed line after another instead, the current one highlighted.
class TTextContainer2 : public TSmartCtrl {
public:
    // Timed lines: the gap between two, and how long the view glides to a new current line.
    static constexpr int TimedLineGap = 12;
    static constexpr int GlideMs = 150;
    // How long a turn of the wheel stops the view from following the song.
    static constexpr int WheelHoldMs = 4000;

    TTextContainer2(TCreateKey key, const TViewContext* context);
    ~TTextContainer2() override;

    std::vector<std::string> tcText;
    TSmartScroll* tcScrollBar = nullptr; // a child, in the list "Top"
    TRect tcTextRect;
    int tcScrollValue = 40;

    // Replaces the lines by those of Value and scrolls to the top.
    void SetText(const std::string& Value);
    // The lines, each ended by a line break: the raw text, stamps included.
    std::string Text() const;

    // The timed lines of the text; empty for plain text.
    std::vector<TLrcLine> tcTimed;
    // The highlighted timed line; -1 for none.
    int tcCurrent = -1;
    // Follows the song at positionMs: highlights the line being sung and glides it to the
    // middle, unless the wheel turned lately. None: the track does not play; no highlight, top.
    void FollowTime(std::optional<int64_t> positionMs);
    // Where a timed line starts, in the text's own units (before scrolling); -1 for none.
    int TimedLineTop(int line) const;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Arrange() override;
    void On_Resize() override;
    TSmartCtrl* On_MouseWheel(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    void CalculateScroll();
    void ScrollTo(int position);
    void GlideStep();

    // Timed lines: top of each and of the end, set by CalculateScroll.
    std::vector<int> m_timedTops;
    int m_lineHeight = 40;
    TTimerClock::time_point m_heldUntil {};
    // The glide to a new current line, on the window's timers.
    std::unique_ptr<TTimer> m_glideTimer;
    TTimerClock::time_point m_glideStart {};
    int m_glideFrom = 0;
    int m_glideTo = 0;
};

class TLyricsHolder : public TMenuHolder, public ITrackHolder {
public:
    TLyricsHolder(TCreateKey key, const TViewContext& context);
    ~TLyricsHolder() override;

    TTrackData* lhTrackData = nullptr; // non-owning; let go when the track goes
    TTextContainer2* lhTextContainer = nullptr;

    // Shows a track's lyrics (while the page shows); ForceReread reads the file again.
    void ReadLyrics(TTrackData& TrackData, bool ForceReread);
    // Writes the shown text into the track's file; false without a track.
    bool SaveLyrics();
    void Activate() override;
    void Deactivate() override;
    void ReleaseTrack(TTrackData& track) override;
    // Timed lyrics follow the position of the shown track while it is the playing one; called
    // at the player's position updates and when a track starts or stops.
    void FollowPlayback();

protected:
    void On_Arrange() override;
    // The clipboard; the desktop's unless a subclass has another.
    virtual std::optional<std::string> ReadClipboard() const;
    virtual void WriteClipboard(const std::string& Text);

private:
    // The view shows the "no lyrics" text, which is not the track's.
    bool m_placeholder = false;
    // Fires when the next timed line starts between two position updates.
    std::unique_ptr<TTimer> m_cueTimer;
};

}
