#pragma once

// The loader of a playlist: one load per signal of the list's loader thread. A load adds the
// files of the list's drop list, or rescans its linked folders, reading every new file's tags
// on the loader thread; the first load also reads the list's playlist file (only once, so a
// drop that arrives before it cannot make the file's tracks go missing); then the UI thread takes the results
// over in one synchronous hand-off (tracks, grouping, playback, covers, layout, repaint).
//
// The loader never touches the list's tracks or groups: it builds its results privately and
// only the progress fields (atomics, and the progress text under its lock) change meanwhile.
//
//   list.plDropList = {"/music/Album"};
//   Load_Start(list, true, false, true);  // what a drop does
//
// Everything here is called on the UI thread, except LoadList (the loader thread's body).

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vantor {

class TPlayerSession;
class TSmartThread;
class TUIDispatcher;
class TVPlayList;

// The view layer's part of a load's hand-off; the session holds one set, connected by the main
// controller (and by tests).
// Unset hooks are skipped. UI thread unless noted.
struct TLoaderHooks {
    // The dispatcher whose UI thread takes the hand-offs; null runs them on the worker
    // (tests of single-threaded paths only).
    TUIDispatcher* Dispatcher = nullptr;
    // The play/pause toggle: with the player stopped and no current track it plays the first
    // track of the current list.
    std::function<void()> PlayPause;
    // Refills the shuffle list of a list in shuffle mode.
    std::function<void(TVPlayList&)> RefillShuffle;
    // The host window's resize handling (lays out the views).
    std::function<void()> Resize;
    // Makes a list the current one and shows it. Unset: only CurrentPlayList changes.
    std::function<void(TVPlayList&)> Activate;
    // Arranges the groups of the current list.
    std::function<void(TVPlayList&)> Arrange;
    // Repaints the host window; any thread.
    std::function<void()> Repaint;
    // A load of files hands the tracks it has read over in batches, so their rows show while
    // it goes on: the first once FirstBatch has passed (at once by default), the next ones
    // every BatchInterval.
    std::chrono::milliseconds FirstBatch { 0 };
    std::chrono::milliseconds BatchInterval { 500 };
};

// Connects the session's lists to their threads: a list that wants its covers starts its cover
// thread, and hand-offs go to dispatcher's UI thread. The main controller calls it once,
// before the lists are added (and makes the panel's new lists load on their own loader with
// Load_Start).
void ConnectPlaylistWorkers(TPlayerSession& session, TUIDispatcher& dispatcher);

// A new loader for the list (stopping the old one first, which lets a load in progress hand
// its results over); Activate makes the list current when a load starts, FromScanList makes
// the next load rescan plScanList. StartLoading runs one load at once.
void Load_Start(TVPlayList& list, bool StartLoading, bool Activate, bool FromScanList);
// Stops and frees the loader, waiting for a load in progress to finish.
void Load_Stop(TVPlayList& list);
// Runs one more load on the existing loader.
void Load_Reset(TVPlayList& list);
void Load_Pause(TVPlayList& list);
bool Load_Active(const TVPlayList& list);

// A drop on the list view: the paths (in drop order) are added by a load without activation.
void OnDrop(TVPlayList& list, std::vector<std::string> paths);
// Rescans the linked folders: files found there that the list does not hold yet are added.
void ReScan(TVPlayList& list);

// The loader thread's body: one load of thread.itPlayList().
void LoadList(TSmartThread& thread);

}
