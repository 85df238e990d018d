#pragma once

// The lyrics page: a track's lyrics in a read-only scrolling text view, with buttons to clear,
// copy, paste and save them into the file.

#include "library/LibraryHooks.h"
#include "ui/views/menu/MenuHolder.h"

#include <optional>
#include <string>
#include <vector>

namespace vantor {

class TSmartScroll;

// Read-only text, wrapped at word boundaries, with a scroll bar when it is longer than the view.
class TTextContainer2 : public TSmartCtrl {
public:
    TTextContainer2(TCreateKey key, const TViewContext* context);

    std::vector<std::string> tcText;
    TSmartScroll* tcScrollBar = nullptr; // a child, in the list "Top"
    TRect tcTextRect;
    int tcScrollValue = 40;

    // Replaces the lines by those of Value and scrolls to the top.
    void SetText(const std::string& Value);
    // The lines, each ended by a line break.
    std::string Text() const;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Arrange() override;
    void On_Resize() override;
    TSmartCtrl* On_MouseWheel(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    void CalculateScroll();
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

protected:
    void On_Arrange() override;
    // The clipboard; the desktop's unless a subclass has another.
    virtual std::optional<std::string> ReadClipboard() const;
    virtual void WriteClipboard(const std::string& Text);

private:
    // The view shows the "no lyrics" text, which is not the track's.
    bool m_placeholder = false;
};

}
