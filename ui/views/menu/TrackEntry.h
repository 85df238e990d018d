#pragma once

// TTrackEntry: one track on a side-menu page (search results, the selection): its title and
// artist, an action area on the left, and a bar of its progress while it plays. A press
// elsewhere plays it from its list, or seeks when it is the track playing.

#include "ui/framework/SmartCtrl.h"
#include "ui/views/shared/ButtonState.h"

namespace vantor {

struct TViewContext;
class TTrackData;

class TTrackEntry : public TSmartCtrl {
public:
    static constexpr int ActionWidth = 64;

    TTrackEntry(TCreateKey key, const TViewContext& context, TTrackData& track);

    TTrackData* Track; // non-owning: the page lets the entry go with its track
    TButtonState State = bsNormal;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    // A press in the action area; nothing by default.
    virtual void ActionPress() { }
    // The icon of the action area (a skin key), or none.
    virtual const char* ActionIcon() const { return nullptr; }
    // Whether playing from the entry adds the track to the history.
    virtual bool AddsToHistory() const { return true; }
    // Plays the track from its list (or seeks in it), shows its list and brings its row up.
    void PlayPress(const TInputData& InputData);
    const TViewContext& Context() const { return *m_context; }

private:
    const TViewContext* m_context; // non-owning
};

}
