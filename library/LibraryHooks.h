#pragma once

// What the playlist models need from the rest of the program, without depending on windows:
// the locale texts, the playback controller, the shell and the views. Everything here is set
// by the main controller at start-up; tests set what they need. UI thread unless noted.

#include <functional>
#include <string>
#include <string_view>

namespace vantor {

class TLocaleManager;
class TTrackData;
class TVPlayList;

struct TLibraryHooks {
    // Stops playback (a playing track's file is about to be deleted).
    std::function<void()> StopPlayback;
    // Moves a file to the trash; true when it was moved. Unset: the platform's trash.
    std::function<bool(const std::string& path)> MoveToTrash;
    // Repaint requests; any thread.
    std::function<void()> RepaintBottomBar;
    // A list was regrouped: lay it out, scroll to the top and repaint.
    std::function<void(TVPlayList&)> Grouped;
    // A list wants its cover thread started (after a regrouping with covers, or on becoming
    // the current list while its covers are missing).
    std::function<void(TVPlayList&)> StartCovers;
};

TLibraryHooks& LibraryHooks();

// The locale the models translate through; not owned. Null: every text is its key.
void SetLibraryLocale(const TLocaleManager* locale);
// The "#Data" text of key; any thread (the language is switched on the UI thread only while
// no load runs).
std::string LibraryText(std::string_view key);

// Something that keeps references to tracks (queue, history, selection view). A track about
// to be freed is first released from every registered holder.
class ITrackHolder {
public:
    virtual ~ITrackHolder() = default;
    virtual void ReleaseTrack(TTrackData& track) = 0;
};
void RegisterTrackHolder(ITrackHolder* holder);
void UnregisterTrackHolder(ITrackHolder* holder);
// Releases the track from every holder and clears CurrentTrack when it is that track.
void ReleaseTrack(TTrackData& track);

}
