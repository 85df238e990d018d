#pragma once

// The selected tracks and what the selection page does with them: select all, none or the
// inverse; copy or cut their files to the clipboard; move their files to the trash; remove
// them from their lists. UI thread.

#include "library/LibraryHooks.h"

#include <cstddef>
#include <functional>
#include <vector>

namespace vantor {

class IMessageBox;
class IShell;
class TPlayerSession;
class TTrackData;
class TVPlayList;

enum TSelectOption {
    selAll = 0,
    sellNone = 1,
    selInvert = 2,
};

// The selection: one entry per selected track, in the order they were selected. A track that
// is freed leaves the selection first (it is a registered track holder).
class TTrackSelection : public ITrackHolder {
public:
    // Registers with the session as a track holder; the session must outlive the selection.
    explicit TTrackSelection(TPlayerSession& session);
    ~TTrackSelection() override;
    TTrackSelection(const TTrackSelection&) = delete;
    TTrackSelection& operator=(const TTrackSelection&) = delete;

    TPlayerSession& Session() const { return *m_session; }
    const std::vector<TTrackData*>& Entries() const { return m_entries; }
    bool Empty() const { return m_entries.empty(); }
    size_t Count() const { return m_entries.size(); }

    // Selects the track (tdSelected) and appends its entry; nothing when it is selected.
    void Add(TTrackData& track);
    // Deselects the track and drops its entry.
    void Remove(TTrackData& track);
    void ReleaseTrack(TTrackData& track) override { Remove(track); }

    // The selection page's rows follow the entries.
    std::function<void(TTrackData&)> EntryAdded;
    std::function<void(TTrackData&)> EntryRemoved;

private:
    TPlayerSession* m_session;          // non-owning
    std::vector<TTrackData*> m_entries; // non-owning
};

// Changes the selection for every track of the list, in group and row order, then recounts
// the list's plSelCount.
void Select(TVPlayList& list, TSelectOption option, TTrackSelection& selection);
// Tracks of the list that have a row and are selected.
int CountSelected(const TVPlayList& list);

// The selection's files, from the last entry to the first, on the clipboard as the file
// manager's copy or cut would put them. Nothing else changes.
bool CopySelected(const TTrackSelection& selection, IShell& shell);
bool CutSelected(const TTrackSelection& selection, IShell& shell);

// Asks, then moves every selected file to the trash and removes its track (stopping playback
// when it plays). A file that could not be moved keeps its track and its entry, so nothing
// disappears from the list that is still on disk. Returns the number of tracks removed.
size_t DeleteSelected(TTrackSelection& selection, IMessageBox& messages);
// The same for one track (its row's delete action); true when it was removed.
bool DeleteTrack(TTrackData& track, IMessageBox& messages);

// Removes every selected track from its list, from the last entry to the first, without
// touching the files; then recounts and re-arranges the current list.
void RemoveSelected(TTrackSelection& selection);

}
