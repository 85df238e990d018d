#pragma once

// The play queue: a user-chosen sequence of tracks from any playlists, played before anything
// else; it can be saved into a queue file (".vqf" in "Queues/") and loaded again. The session's
// QueueIndex is the position of the next entry to play.

#include "library/LibraryHooks.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SmartCtrl.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vantor {

class TIniFile;
class TPlayQueue;
class TPlayerSession;
class TTrackData;
class TVPlayList;

inline constexpr char kQueuesFolder[] = "Queues";

// One queue entry, shown on the queue page.
class TQueueItem : public TSmartCtrl {
public:
    explicit TQueueItem(TCreateKey key);
    void OnCreateCanvas() override { }

    TTrackData* qiTrackData = nullptr; // non-owning
    TVPlayList* qiPlayList = nullptr;  // non-owning: the track's list when queued
    std::string qiCaption;             // "TrackName"
    std::string qiAlbum;               // "Artist"
};

// A saved queue as listed on the queue-files page.
struct TQueueFileInfo {
    std::string Caption;
    std::string Description;
    std::string Count;
    std::string Path;
};

class TPlayQueue : public ITrackHolder {
public:
    // Registers with the session as a track holder; the session must outlive the queue.
    explicit TPlayQueue(TPlayerSession& session);
    ~TPlayQueue() override;
    TPlayQueue(const TPlayQueue&) = delete;
    TPlayQueue& operator=(const TPlayQueue&) = delete;

    TControlList vtQueueList { "Items" }; // owning, in queue order

    int Count() const { return vtQueueList.Count(); }
    TQueueItem* Item(int index) const;
    TTrackData* Track(int index) const;

    void AddToQueue(TTrackData* TrackData);
    // Removes the last entry holding the track; QueueIndex is not changed.
    void RemoveFromQueue(TTrackData* TrackData);
    // Renumbers the tracks' QueueNumber from the entries' positions.
    void UpdateQueue();
    // Every queued track's QueueNumber := -1, the queue emptied, QueueIndex := 0.
    void ClearQueue();
    // The queue page wants re-arranging.
    std::function<void()> Changed;

    // Writes the queue into a new file in folder (AppPath + "Queues/" in the program) under a
    // "Queue [n].vqf" name no file uses yet. Returns the file's path, or empty when nothing
    // was written: an empty Caption (the caller asks for a name), a missing or read-only folder
    // (the caller reports "Unable to write to" the path).
    std::string SaveQueueFile(
        const std::filesystem::path& folder, const std::string& Caption, const std::string& Description) const;
    // Clears the queue and fills it from a queue file, finding lists among lists (the panel's,
    // in its order) by plID and tracks by tdID; unknown lists and tracks are skipped. Returns
    // the entries added.
    int LoadQueueFile(const std::filesystem::path& path, const std::vector<TVPlayList*>& lists);
    int LoadQueue(const TIniFile& file, const std::vector<TVPlayList*>& lists);
    // The queue files under folder: subfolders first (depth-first), then the folder's own
    // files whose name holds ".vqf".
    static std::vector<TQueueFileInfo> ListQueueFiles(const std::filesystem::path& folder);

    void ReleaseTrack(TTrackData& track) override;

private:
    TPlayerSession* m_session; // non-owning
};

// The play history, oldest first, at most the session's HistoryLimit entries.
class THistory : public ITrackHolder {
public:
    explicit THistory(TPlayerSession& session);
    ~THistory() override;
    THistory(const THistory&) = delete;
    THistory& operator=(const THistory&) = delete;

    std::vector<TTrackData*> vtHistoryList; // non-owning
    int32_t vtHistoryIDX = 0;               // entry of the track last started

    void AddToHistory(TTrackData* TrackData);
    int Count() const { return static_cast<int>(vtHistoryList.size()); }
    void ReleaseTrack(TTrackData& track) override;

private:
    TPlayerSession* m_session; // non-owning
};

// The heart toggle: copies the track into the favourites list, or removes it from there when
// a track with its path is already in. Arrange regroups the favourites by track name;
// SaveList rewrites its file.
void AddtoFavorites(TPlayerSession& session, TTrackData* TrackData, bool Arrange, bool SaveList);

}
