#include "library/PlaylistLoader.h"

#include "base/CaseFold.h"
#include "library/CoverThread.h"
#include "library/FolderScan.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/SmartThread.h"

#include <chrono>
#include <filesystem>
#include <unordered_set>
#include <utility>

namespace vantor {

namespace {

// What one load works on, taken from the list on the UI thread when the load starts.
struct TLoadJob {
    std::vector<std::string> Drop;
    std::vector<std::string> Scan;
    bool FromList = false;
    bool ReadFile = false;
    std::string Path;
    // TVPlayList::PathKey of every track the list held (taken on the UI thread), and the set
    // the loader builds from them and extends, for the duplicate test of scans.
    std::vector<uint64_t> ListKeys;
    std::unordered_set<uint64_t> Known;
    bool ListWasEmpty = true;
    TGroupMode Mode = gmTrackName;
    bool AscendingBefore = false;
    bool Ascending = true; // what the regrouping after this load gives
};

// What the load hands over.
struct TLoadResult {
    std::vector<std::unique_ptr<TTrackData>> Tracks;
    std::vector<TAbsentSection> Absent; // sections of the list file whose files are not there
    bool Scanned = false;               // tracks came from a scan (duplicates are checked again at the commit)
    bool NeedSave = false;              // dropped or rescanned files mark the list for rewriting
    bool Grouped = false;               // Grouping holds the list's new arrangement
    bool IDsUnique = false;             // the tracks' IDs differ from each other
    TGrouping Grouping;
};

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

bool RegularFile(const std::string& path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

void RepaintHost(const TVPlayList& list)
{
    if (list.Session().LoaderHooks.Repaint)
        list.Session().LoaderHooks.Repaint();
}

void RepaintBottomBar(const TVPlayList& list)
{
    if (list.Session().Hooks.RepaintBottomBar)
        list.Session().Hooks.RepaintBottomBar();
}

// UI thread, at the start of a load.
void TakeJob(TSmartThread& thread, TVPlayList& list, TLoadJob& job)
{
    list.plLoading = true;
    list.plLoadingPos = 0;
    list.plLoadingMax = 0;
    // One activation per Load_Start: later loads of the same loader (drops) do not activate.
    if (thread.itActivate.exchange(false)) {
        if (list.Session().LoaderHooks.Activate)
            list.Session().LoaderHooks.Activate(list);
        else
            list.Session().CurrentPlayList = &list;
    }
    job.Drop = std::exchange(list.plDropList, {});
    job.FromList = list.plLoadFromList;
    if (!job.Drop.empty() || job.FromList) {
        list.plLoadFromList = false;
        job.Scan = list.plScanList;
        job.ListKeys = list.PathKeys();
    }
    job.Path = list.plPath;
    // The file is read once, by the first load, whatever else that load does: a drop that
    // reaches a list before its file was read must not make the file's tracks go missing.
    if (!list.plFileRead && (Contains(job.Path, ".vpl") || Contains(job.Path, ".vlbr"))) {
        job.ReadFile = true;
        list.plFileRead = true;
    }
    job.ListWasEmpty = list.plDataList.empty();
    job.Mode = list.plGroupMode;
    job.AscendingBefore = list.plAscending;
    job.Ascending = list.KeptAscending(list.plGroupMode);
}

// Each hand-over of a batch regroups the whole list on the UI thread: past this size the rest
// waits for the end of the load.
constexpr int kBatchListLimit = 20000;

// UI thread: the tracks read so far join the list, which is grouped again. True while the
// list is small enough for more hand-overs.
bool CommitBatch(TVPlayList& list, TLoadResult& result)
{
    std::erase_if(
        result.Tracks, [&](const std::unique_ptr<TTrackData>& track) { return list.TrackExists(*track) >= 0; });
    list.AppendTracks(std::move(result.Tracks), false);
    result.Tracks.clear();
    list.GroupPlaylist(list.plGroupMode, false);
    RepaintHost(list);
    return list.TrackCount() < kBatchListLimit;
}

// AddFile for every collected path; the records are created for the list and handed over in
// batches.
void AddFiles(
    TSmartThread& thread, TVPlayList& list, TLoadJob& job, TLoadResult& result, const std::vector<std::string>& paths)
{
    result.Scanned = true;
    int32_t const count = static_cast<int32_t>(paths.size());
    list.plLoadingMax = count;
    using TClock = std::chrono::steady_clock;
    TLoaderHooks const& hooks = list.Session().LoaderHooks;
    auto nextBatch = TClock::now() + hooks.FirstBatch;
    bool batches = true;
    for (int32_t i = 0; i < count && !thread.Aborted(); ++i) {
        if (batches && !result.Tracks.empty() && TClock::now() >= nextBatch && i + 1 < count) {
            if (!thread.Synchronize([&] {
                    batches = CommitBatch(list, result);
                    job.ListWasEmpty = false;
                }))
                return;
            nextBatch = TClock::now() + hooks.BatchInterval;
        }
        std::string const& path = paths[size_t(i)];
        list.SetLoadingText(std::to_string(i + 1) + " / " + std::to_string(count) + " : "
            + std::filesystem::path(path).filename().string());
        list.plLoadingPos = i + 1;
        RepaintBottomBar(list);
        // The same file dropped twice, or already in the list, is added once.
        uint64_t const key = TVPlayList::PathKey(path);
        if (job.Known.count(key))
            continue;
        // The file may have vanished, or become a folder, since it was collected.
        if (!RegularFile(path))
            continue;
        auto track = std::make_unique<TTrackData>();
        track->SetTag(tkFilePath, path);
        track->tdPlayList = &list;
        if (!track->ReadTags())
            continue;
        job.Known.insert(key);
        result.Tracks.push_back(std::move(track));
    }
    RepaintBottomBar(list);
}

// UI thread, at the end of a load: the list takes the results over, then the rest of the
// program reacts.
void Commit(TVPlayList& list, TLoadJob& job, TLoadResult& result)
{
    bool regroupHere = !result.Grouped || !list.plDataList.empty() || list.plGroupMode != job.Mode
        || list.plAscending != job.AscendingBefore;
    if (result.Scanned) {
        // The list may have gained some of these files while the load ran.
        std::erase_if(result.Tracks, [&](const std::unique_ptr<TTrackData>& track) {
            if (list.TrackExists(*track) < 0)
                return false;
            regroupHere = true;
            return true;
        });
    }
    list.AppendTracks(std::move(result.Tracks), result.IDsUnique);
    list.KeepAbsentSections(std::move(result.Absent));
    if (result.NeedSave)
        list.plNeeedSave = true;
    if (regroupHere)
        list.GroupPlaylist(list.plGroupMode, false);
    else
        list.CommitGrouping(std::move(result.Grouping));

    list.plLoading = false;
    RepaintHost(list);
    bool const play = list.plPlayFile && list.TrackCount() > 0;
    list.plPlayFile = false;
    TPlayerSession& session = list.Session();
    TLoaderHooks const& hooks = session.LoaderHooks;
    if (list.vtShuffle && hooks.RefillShuffle)
        hooks.RefillShuffle(list);
    list.CheckForFavorites();

    if (play && hooks.PlayPause)
        hooks.PlayPause();
    if (session.CurrentPlayList == &list)
        Icons_Start(list, true);
    if (hooks.Resize)
        hooks.Resize();
    if (session.CurrentPlayList && hooks.Arrange)
        hooks.Arrange(*session.CurrentPlayList);
    RepaintHost(list);
}

}

void ConnectPlaylistWorkers(TPlayerSession& session, TUIDispatcher& dispatcher)
{
    session.LoaderHooks.Dispatcher = &dispatcher;
    session.Hooks.StartCovers = [](TVPlayList& list) { Icons_Start(list, true); };
}

void LoadList(TSmartThread& thread)
{
    TVPlayList* const list = thread.itPlayList();
    if (!list)
        return;
    TLoadJob job;
    if (!thread.Synchronize([&] { TakeJob(thread, *list, job); }))
        return;

    TLoadResult result;
    if (job.ReadFile)
        result.Tracks = list->ReadTracksFile(job.Path, &result.Absent);
    // Files added from elsewhere are checked against every track the list will hold.
    bool const addsFiles = !job.Drop.empty() || job.FromList;
    if (addsFiles) {
        job.Known.insert(job.ListKeys.begin(), job.ListKeys.end());
        for (const auto& track : result.Tracks)
            job.Known.insert(TVPlayList::PathKey(track->GetTag(tkFilePath)));
    }
    auto const cancelled = [&thread] { return thread.Aborted(); };
    if (!job.Drop.empty()) {
        AddFiles(thread, *list, job, result, CollectDropped(job.Drop, cancelled));
        result.NeedSave = true;
    } else if (job.FromList) {
        AddFiles(thread, *list, job, result, CollectFolders(job.Scan, cancelled));
        // Tracks a rescan found are written like dropped ones, or a restart would lose them.
        result.NeedSave = !result.Tracks.empty();
    }
    if (thread.Aborted())
        return;

    // A list that was empty is grouped here, off the UI thread: its new tracks are still
    // private. Otherwise the list's own tracks take part, so the UI thread groups them.
    if (job.ListWasEmpty) {
        if (addsFiles)
            TVPlayList::MakeIDsUnique(result.Tracks);
        result.IDsUnique = true;
        std::vector<TTrackData*> tracks;
        tracks.reserve(result.Tracks.size());
        for (const auto& track : result.Tracks)
            tracks.push_back(track.get());
        result.Grouping = TVPlayList::BuildGrouping(tracks, job.Mode, job.Ascending, list);
        result.Grouped = true;
    }
    thread.Synchronize([&] { Commit(*list, job, result); });
}

void Load_Start(TVPlayList& list, bool StartLoading, bool Activate, bool FromScanList)
{
    if (list.vfLoadThread) {
        // The caller set up the drop list and play request for the new load; the load being
        // stopped may not have taken its work yet and must not take them.
        std::vector<std::string> drop = std::exchange(list.plDropList, {});
        bool const play = std::exchange(list.plPlayFile, false);
        Load_Stop(list);
        list.plDropList.insert(
            list.plDropList.end(), std::make_move_iterator(drop.begin()), std::make_move_iterator(drop.end()));
        list.plPlayFile = play;
    }
    list.vfLoadThread = std::make_unique<TSmartThread>(&list, LoadList, list.Session().LoaderHooks.Dispatcher);
    list.vfLoadThread->itActivate = Activate;
    list.plLoadFromList = FromScanList;
    if (StartLoading)
        Load_Reset(list);
}

void Load_Stop(TVPlayList& list)
{
    if (!list.vfLoadThread)
        return;
    list.vfLoadThread->Shutdown();
    // Freeing waits for the load in progress, running its hand-offs meanwhile.
    list.vfLoadThread.reset();
}

void Load_Reset(TVPlayList& list)
{
    if (list.vfLoadThread)
        list.vfLoadThread->Reset();
}

void Load_Pause(TVPlayList& list)
{
    if (list.vfLoadThread)
        list.vfLoadThread->itPaused = true;
}

bool Load_Active(const TVPlayList& list) { return list.vfLoadThread != nullptr; }

void OnDrop(TVPlayList& list, std::vector<std::string> paths)
{
    // Paths still waiting from an earlier drop stay: the next load adds both.
    list.plDropList.insert(
        list.plDropList.end(), std::make_move_iterator(paths.begin()), std::make_move_iterator(paths.end()));
    // A running loader takes the drop with its next load (the change event remembers the
    // signal), so the window never waits for the load in progress.
    if (list.vfLoadThread) {
        list.plLoadFromList = true;
        Load_Reset(list);
    } else {
        Load_Start(list, true, false, true);
    }
}

void ReScan(TVPlayList& list)
{
    list.plScanList = list.plLinkedFolders;
    if (list.vfLoadThread) {
        list.plLoadFromList = true;
        Load_Reset(list);
    } else {
        Load_Start(list, true, false, true);
    }
}

}
