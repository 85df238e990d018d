#pragma once

// The search page: a text field, and the tracks of the active list whose titles hold the
// text, in the list's order, with their count. Every change of the text searches again.

#include "library/LibraryHooks.h"
#include "ui/views/menu/MenuHolder.h"
#include "ui/views/menu/TrackEntry.h"

#include <string>

namespace vantor {

class TSmartEdit;

class TSearchItem : public TTrackEntry {
public:
    using TTrackEntry::TTrackEntry;

protected:
    // The whole entry plays its track; a result has nothing to take back.
    void ActionPress() override;
};

class TSearchHolder : public TMenuHolder, public ITrackHolder {
public:
    static constexpr int FieldHeight = 75;
    static constexpr int CountWidth = 200;

    TSearchHolder(TCreateKey key, const TViewContext& context);
    ~TSearchHolder() override;

    TSmartEdit* shSearchEdit = nullptr; // a child, in the list "TopList"
    int shFound = 0;

    // Searches the active list for the field's text and shows the results from the top.
    void Search();
    void ArrangeProc(TItemContainer& ItemContainer) override;
    void Activate() override;
    // A result's track goes: so does the result.
    void ReleaseTrack(TTrackData& track) override;

protected:
    void On_Arrange() override;

private:
    TSmartCtrl* m_count = nullptr; // a child, in the list "TopList"
    void ClearResults();
};

}
