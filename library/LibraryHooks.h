#pragma once

// What the playlist models need from the rest of the program, without depending on windows:
// the playback controller, the shell and the views. The session holds one set; the main
// controller connects it, tests set what they need. UI thread unless noted.

#include <functional>
#include <string>

namespace vantor {

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

// Something that keeps references to tracks (queue, history, selection view). A track about
// to be freed is first released from every holder registered with the session.
class ITrackHolder {
public:
    virtual ~ITrackHolder() = default;
    virtual void ReleaseTrack(TTrackData& track) = 0;
};

}
