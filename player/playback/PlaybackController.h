#pragma once

// TPlaybackController: starts, pauses, resumes and stops the one audio stream, decides which
// track comes next or before (queue, history, shuffle, repeat, play order) and follows the
// position every 500 ms, moving on when a track ends. A few seconds before the end it opens
// the next track's stream and links it to the current one, so the engine plays on without a
// gap; the move to that track (play count, history, queue) still happens at the next tick. It works on the session it
// is given (current list and track, queue, history) and holds the stream's state itself; the player buttons, the media
// keys and the playlist loader drive it, all on the UI thread.
//
//   TPlaybackController playback(session, settings, messages, locale, &playTimer);
//   playback.AudioEngine = &engine;
//   playback.PlayFile(track, true, 0);   // plays track from its beginning
//   playback.PlayNext(30);               // the next track, from 30 % of its length

#include "library/LibraryHooks.h"
#include "player/equalizer/EQPresetData.h"
#include "player/settings/Settings.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vantor {

enum TPlayerState : uint8_t {
    psPlaying = 0,
    psStopped = 1,
    psPaused = 2,
};

class IMessageBox;
class TAudioEngine;
class TEqualizer;
class THistory;
class TLocaleManager;
class TPlayQueue;
class TPlayerSession;
class TTimer;
class TTrackData;
class TVPlayList;

class TPlaybackController : public ITrackHolder {
public:
    // Everything is non-owning and must outlive the controller; locale and playTimer may be
    // null (then every text is its key, and nothing ticks by itself). The controller installs
    // itself as the timer's handler and registers with the session as a track holder.
    TPlaybackController(TPlayerSession& session, TSettings& settings, IMessageBox& messages,
        const TLocaleManager* locale, TTimer* playTimer);
    ~TPlaybackController() override;
    TPlaybackController(const TPlaybackController&) = delete;
    TPlaybackController& operator=(const TPlaybackController&) = delete;

    // The output and its equalizer (non-owning); null until the audio device is open and
    // after it is closed. Nothing plays without an engine.
    TAudioEngine* AudioEngine = nullptr;
    TEqualizer* Equalizer = nullptr;

    // The state of the one stream.
    TPlayerState PlayerState = psStopped;
    uint32_t StreamHandle = 0;
    // Bytes of the decoded stream; 64-bit, since a long track passes 2 GiB of samples.
    int64_t PlayPosition = 0;
    int64_t TrackLastByte = 0;
    std::string PositionText;
    std::string LengthText;
    bool PlayingOrPaused() const { return PlayerState == psPlaying || PlayerState == psPaused; }

    // Plays TrackData (none: with the player stopped, the first track of CurrentPlayList),
    // from StartPosition percent of its length; resumes instead when it is the paused track.
    void PlayFile(TTrackData* TrackData, bool AddToHistory, double StartPosition);
    // Playing: pauses. Paused or stopped: plays CurrentTrack (resuming a paused one).
    void Pause();
    // Only when playing or paused: frees the stream; CurrentTrack is kept.
    void StopPlay();
    // The next track, from PlayOffset percent of its length.
    void PlayNext(double PlayOffset);
    // Only when playing or paused: stops, then plays the previous track of the history.
    void PlayPrevious();
    // The track that comes next: queue, history forward, shuffle list or play order. With
    // MoveIndex the track found is consumed; without, this is a peek (which still notes a
    // list's end and refills a repeating shuffle round).
    bool GetNextItem(TTrackData*& ItemData, bool& AddToHistory, bool MoveIndex);
    // The track before, from the history (its oldest entry repeats).
    bool GetPrevItem(TTrackData*& ItemData, bool& AddToHistory, bool MoveIndex);
    // The 500 ms handler: position, time texts, repaints, and the move to the next track.
    void PlayTimerTimer();
    // Fills the list's shuffle list with its tracks in a fresh random order.
    static void PopulateShuffleList(TVPlayList& List);

    // The media play/pause key: with the player stopped, the first track of CurrentPlayList
    // (added to the history); otherwise the play/pause toggle.
    void PlayPauseKey();
    // The shuffle and repeat buttons: toggle the option of CurrentPlayList (switching shuffle
    // on fills the shuffle list).
    void ToggleShuffle();
    void ToggleRepeat();

    // A load asked for playback after paths were handed over by a later start: the first of
    // those paths that the list now holds plays from its beginning (a folder: its first track
    // in play order). When none is there, the play/pause toggle runs as for any other load.
    void PlayHandedOver(TVPlayList& List, std::vector<std::string> const& Paths);

    // What the control bar shows beside the current track: the tracks a press of previous and
    // next would play, as peeked when a track starts or playback stops. Null when none.
    TTrackData* PeekedPrevious() const { return m_peekPrevious; }
    TTrackData* PeekedNext() const { return m_peekNext; }

    // The views' part; unset hooks are skipped.
    struct THooks {
        // The control bar's track information changed (a track started, playback stopped).
        std::function<void()> TrackInfoChanged;
        // The bottom control bar (play button, progress) wants a repaint.
        std::function<void()> RepaintBottomBar;
        // The control bar's time texts changed.
        std::function<void()> RepaintControlBar;
        // A track's row wants a repaint.
        std::function<void(TTrackData&)> RepaintRow;
        // PlayerState or CurrentTrack changed (the media-key service follows it).
        std::function<void()> StateChanged;
        // A view moved the position of the playing or paused track.
        std::function<void()> Seeked;
    };
    THooks Hooks;

    void ReleaseTrack(TTrackData& track) override;

private:
    // The stream opened ahead for the track that follows the current one. A track without a
    // handle failed to open; the move to it at the end reports that.
    struct TPreparedNext {
        TTrackData* Track = nullptr; // non-owning
        uint32_t Handle = 0;
        std::array<uint32_t, kEqBandCount> Filters {};
    };

    // PlayFile; AtJoint: the move at a track's end to the prepared stream, which took over
    // there and plays already.
    void StartTrack(TTrackData* TrackData, bool AddToHistory, double StartPosition, bool AtJoint);
    // Opens and links the next track's stream once the current one has little left to play,
    // and opens it again when the next track has changed meanwhile.
    void PrepareNext(int64_t position, int64_t length);
    // The prepared stream when it is the one for track (the prepared one is gone either way).
    TPreparedNext TakePrepared(TTrackData const* track);
    void DropPrepared();
    // Volume, balance and ReplayGain of a stream that has just been opened for track.
    void SetUpStream(uint32_t handle, TTrackData const& track);
    std::string Text(char const* key) const;
    void ShowError(char const* key, std::string const& path);
    void UpdateTrackInfo();
    void SetTimerEnabled(bool enabled);
    void RepaintRow(TTrackData* track);

    TPlayerSession& m_session;
    TSettings& m_settings;
    TPlayQueue& m_queue;
    THistory& m_history;
    IMessageBox& m_messages;
    const TLocaleManager* m_locale;
    TTimer* m_timer;
    TTrackData* m_peekPrevious = nullptr; // non-owning
    TTrackData* m_peekNext = nullptr;     // non-owning
    TPreparedNext m_prepared;
};

}
