#pragma once

// The pages that list tracks: the selection and the play queue. Their entries follow the
// models' changes; the left area of an entry takes the track off the page.

#include "ui/views/menu/MenuHolder.h"
#include "ui/views/menu/TrackEntry.h"

namespace vantor {

class TSelectedItem : public TTrackEntry {
public:
    using TTrackEntry::TTrackEntry;

protected:
    // Unselects the track, which takes its entry away.
    void ActionPress() override;
    const char* ActionIcon() const override;
};

class TSelectedHolder : public TMenuHolder {
public:
    // Follows the session's selection while it lives.
    TSelectedHolder(TCreateKey key, const TViewContext& context);
    ~TSelectedHolder() override;

    // Adds or removes a track's entry as its tdSelected says; the tab shows the count.
    void AddSelected(TTrackData& TrackData);
    void LoadMenu() override;
    void Activate() override;

private:
    void ShowCount();
};

class TQueueEntry : public TTrackEntry {
public:
    TQueueEntry(TCreateKey key, const TViewContext& context, TTrackData& track, int index);
    int Index; // the entry's place in the queue

protected:
    // Takes the track off the queue.
    void ActionPress() override;
    const char* ActionIcon() const override;
    // The queue plays its entries without adding them to the history.
    bool AddsToHistory() const override { return false; }
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
};

class TQueueHolder : public TMenuHolder {
public:
    // Follows the session's queue while it lives.
    TQueueHolder(TCreateKey key, const TViewContext& context);
    ~TQueueHolder() override;
    // The entries of the queue, made again (the queue changed).
    void LoadMenu() override;
    void Activate() override;
    // Open the pages that save the queue into a file and list the saved ones.
    std::function<void()> ShowSave;
    std::function<void()> ShowFiles;
};

}
