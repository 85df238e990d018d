#pragma once

// TControlBar: the bar along the window's top edge. Three cover frames (previous, current and
// next track), the track board with the current track's texts, rating, favourite and lyrics
// marks, and the window buttons. Dragging the bar moves the window.

#include "platform/graphics/Bitmap.h"
#include "ui/framework/DrawPoint.h"
#include "ui/framework/SmartCtrl.h"

#include <array>
#include <functional>
#include <string>

namespace vantor {

struct TViewContext;
class TControlBar;

// One of the window's buttons: "cbClose", "cbMinimize" or "cbMaximize".
class TWindowButton : public TSmartCtrl {
public:
    TWindowButton(TCreateKey key, const TViewContext& context, std::string action);
    std::string wbAction;

protected:
    void On_Paint(TBitmap& Canvas) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

// The current track's texts and marks; empty without a current track.
class TTrackBoard : public TSmartCtrl {
public:
    static constexpr int StarSize = 47;
    static constexpr int StarsTop = 190;

    TTrackBoard(TCreateKey key, const TViewContext& context, TControlBar& bar);

    TControlBar* ttControlBar; // non-owning: the bar it sits on
    TDrawPoint cbStarsDrawPoint { 0, StarsTop, 5 * StarSize, StarSize };
    TDrawPoint cbFavDrawPoint { 281, StarsTop, StarSize, StarSize };
    TDrawPoint cbLyricsDrawPoint { 374, StarsTop, StarSize, StarSize };
    // Opens the side menu's lyrics page; unset, a press on the lyrics mark only repaints.
    std::function<void()> OpenLyrics;

    bool IsDragArea(int X, int Y) override; // asked by its bar

protected:
    void On_Paint(TBitmap& Canvas) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

class TControlBar : public TSmartCtrl {
public:
    static constexpr int BarHeight = 250;

    TControlBar(TCreateKey key, const TViewContext& context);

    // Reads the covers of the current track and of the tracks previous and next would play,
    // then repaints.
    void UpdateINFO();

    // 0: current track, 1: previous, 2: next; each prepared at its frame's size on screen.
    std::array<TBitmap, 3> tpCoverList;
    bool cbHasCover = false;
    bool hasPrevCover = false;
    bool hasNextCover = false;
    TTrackBoard* cbTrackBoard = nullptr; // children, owned by the bar's list
    TWindowButton* cbClose = nullptr;
    TWindowButton* cbMinimize = nullptr;
    TWindowButton* cbMaximize = nullptr;
    TDrawPoint dpPrevCover { 70, 40, 170, 170 };
    TDrawPoint dpNextCover { 390, 40, 170, 170 };
    TDrawPoint dpMainCover { 204, 14, 222, 222 };

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    bool IsDragArea(int X, int Y) override;

private:
    const TViewContext* m_context; // non-owning
    void PaintCover(TBitmap& canvas, const TDrawPoint& frame, const TBitmap& cover, bool has, double opacity,
        const char* placeholder, int placeholderSize) const;
};

}
