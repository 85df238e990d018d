#pragma once

// The position bar and the volume bar of the bottom control bar: a 60-unit knob travels over
// each, with its value written across.

#include "ui/framework/SmartCtrl.h"

#include <cstdint>

namespace vantor {

struct TViewContext;

inline constexpr int kProgressKnobWidth = 60;

// Where a knob's left edge sits for value of total on a bar of the given width; value itself
// when total is 0 or less.
int KnobLeft(int width, int64_t value, int64_t total);
// The value a press at x sets on a bar of the given width: x is kept 30 units from either end.
int64_t ValueAt(int width, int x, int64_t total);

// The playing track's position: seeking by a left press while playing; the loading progress
// of the current list while it loads.
class TTrackProgress : public TSmartCtrl {
public:
    TTrackProgress(TCreateKey key, const TViewContext& context);

protected:
    void On_Paint(TBitmap& Canvas) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
};

// The volume ("Volume", 0..1): set by a left press or drag, muted and unmuted by a middle
// press.
class TVolumeProgress : public TSmartCtrl {
public:
    TVolumeProgress(TCreateKey key, const TViewContext& context);

    float vcPos = 0.0f; // percent

protected:
    void On_Paint(TBitmap& Canvas) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    void SetFromPoint(int x);
};

}
