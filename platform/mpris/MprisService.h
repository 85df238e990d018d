#pragma once

// TMprisService: the player's media-key service on the session bus. It owns the name
// "org.mpris.MediaPlayer2.vantor" and serves the root and player interfaces at
// "/org/mpris/MediaPlayer2", so desktop media keys, applets and `playerctl`-style tools can
// play, pause, stop, skip, seek and switch shuffle and repeat. Bus traffic is handled on a private GLib context that
// the UI thread pumps (Dispatch), so every callback below runs on the UI thread.
//
//   TMprisService mpris(actions);        // no session bus: Available() is false
//   timer.OnTimer = [&] { mpris.Dispatch(); };
//   mpris.PropertiesChanged();            // after the state or the track changed

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vantor {

struct TMprisMetadata {
    std::string TrackID; // a D-Bus object path; empty: no track
    std::string Title;
    std::string Artist;
    std::string Album;
    int64_t LengthMicroseconds = 0;
    std::string Url;         // "file://" URI of the track's file
    int32_t TrackNumber = 0; // 0: none
    std::string AlbumArtist;
    std::string Genre;
    std::string ArtUrl; // "file://" URI of a picture of the cover; empty: none
};

struct TMprisPlayer {
    std::function<void()> PlayPause, Play, Pause, Stop, Next, Previous, Raise, Quit;
    // "Playing", "Paused" or "Stopped".
    std::function<std::string()> PlaybackStatus;
    std::function<TMprisMetadata()> Metadata;
    std::function<int64_t()> PositionMicroseconds;
    // Whether the track playing or paused can be moved in, and the move; false when it did
    // not happen.
    std::function<bool()> CanSeek;
    std::function<bool(int64_t)> SetPositionMicroseconds;
    // Shuffle and the loop status ("None", "Track" or "Playlist") of what plays.
    std::function<bool()> Shuffle;
    std::function<void(bool)> SetShuffle;
    std::function<std::string()> LoopStatus;
    std::function<void(std::string const&)> SetLoopStatus;
    std::function<double()> Volume;
    std::function<void(double)> SetVolume;
    std::function<bool()> CanGoNext, CanGoPrevious, CanPlay;
};

class TMprisService {
public:
    explicit TMprisService(TMprisPlayer player);
    ~TMprisService();
    TMprisService(const TMprisService&) = delete;
    TMprisService& operator=(const TMprisService&) = delete;

    // False when there is no session bus (the player then runs without media keys).
    bool Available() const;
    // Runs the bus requests that have arrived; UI thread, never blocks.
    void Dispatch();
    // Tells listeners that the playback status, the track, the navigation, shuffle or the loop
    // status changed.
    void PropertiesChanged();
    // Tells listeners that the position jumped (a seek made in the window).
    void Seeked();

private:
    struct TState;
    std::unique_ptr<TState> m_state; // GLib callbacks get it as their user data
};

}
