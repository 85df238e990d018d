#include "player/playback/PlaybackController.h"

#include "library/GroupData.h"
#include "library/PlayList.h"
#include "library/PlayQueue.h"
#include "library/PlayerSession.h"
#include "library/TrackData.h"
#include "library/TrackTexts.h"
#include "platform/audio/AudioEngine.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Timer.h"
#include "player/equalizer/Equalizer.h"
#include "player/playback/ReplayGain.h"
#include "ui/framework/LocaleManager.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <system_error>

namespace vantor {

namespace {

// How long before the end of a track the next one is opened and linked: enough for its file
// to open and its decoder to fill the queue, even from a slow disk.
constexpr double kPrepareSeconds = 5.0;

bool FileExists(std::string const& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::exists(path, error);
}

// Whether path lies inside folder (a path the user handed over).
bool IsInside(std::string const& path, std::string folder)
{
    if (folder.empty())
        return false;
    if (folder.back() != '/')
        folder += '/';
    return path.starts_with(folder);
}

}

TPlaybackController::TPlaybackController(TPlayerSession& session, TSettings& settings, IMessageBox& messages,
    const TLocaleManager* locale, TTimer* playTimer)
    : m_session(session)
    , m_settings(settings)
    , m_queue(session.Queue())
    , m_history(session.History())
    , m_messages(messages)
    , m_locale(locale)
    , m_timer(playTimer)
{
    if (m_timer)
        m_timer->OnTimer = [this] { PlayTimerTimer(); };
    m_session.RegisterTrackHolder(this);
}

TPlaybackController::~TPlaybackController()
{
    m_session.UnregisterTrackHolder(this);
    if (m_timer) {
        m_timer->SetEnabled(false);
        m_timer->OnTimer = nullptr;
    }
}

std::string TPlaybackController::Text(char const* key) const
{
    return m_locale ? m_locale->Get(key) : std::string(key);
}

void TPlaybackController::ShowError(char const* key, std::string const& path)
{
    m_messages.Show(TMessageKind::mkError, Text(key) + " " + path);
}

void TPlaybackController::SetTimerEnabled(bool enabled)
{
    if (m_timer)
        m_timer->SetEnabled(enabled);
}

void TPlaybackController::RepaintRow(TTrackData* track)
{
    if (track && Hooks.RepaintRow)
        Hooks.RepaintRow(*track);
}

// The control bar shows the tracks around the current one; peeking also notes a list's end.
void TPlaybackController::UpdateTrackInfo()
{
    bool addToHistory = false;
    TTrackData* next = nullptr;
    TTrackData* previous = nullptr;
    m_peekNext = GetNextItem(next, addToHistory, false) ? next : nullptr;
    m_peekPrevious = GetPrevItem(previous, addToHistory, false) ? previous : nullptr;
    if (Hooks.TrackInfoChanged)
        Hooks.TrackInfoChanged();
    if (Hooks.StateChanged)
        Hooks.StateChanged();
}

void TPlaybackController::PlayFile(TTrackData* TrackData, bool AddToHistory, double StartPosition)
{
    StartTrack(TrackData, AddToHistory, StartPosition, false);
}

void TPlaybackController::StartTrack(TTrackData* TrackData, bool AddToHistory, double StartPosition, bool AtJoint)
{
    TAudioEngine* const engine = AudioEngine;
    if (!engine)
        return;
    if (!std::isfinite(StartPosition))
        StartPosition = 0;
    StartPosition = std::clamp(StartPosition, 0.0, 100.0);

    if (m_session.CurrentTrack) {
        m_session.CurrentTrack->idPlaying = false;
        RepaintRow(m_session.CurrentTrack);
    }
    bool const resuming = PlayerState == psPaused && TrackData && TrackData == m_session.CurrentTrack;
    if (!TrackData && PlayerState == psStopped && m_session.CurrentPlayList)
        m_session.CurrentPlayList->GetTrackbyIDX(0, TrackData);
    m_session.CurrentTrack = TrackData;
    if (!TrackData)
        return;

    std::string const path = TrackData->GetTag("FilePath");
    TPreparedNext prepared;
    if (!resuming) {
        if (!FileExists(path)) {
            DropPrepared();
            ShowError("Error.CannotOpen", path);
            return;
        }
        prepared = TakePrepared(TrackData);
        if (StreamHandle != 0)
            engine->StreamFree(StreamHandle);
        StreamHandle = prepared.Handle;
        if (StreamHandle == 0) {
            StreamHandle = engine->StreamCreateFile(path);
            if (StreamHandle != 0)
                SetUpStream(StreamHandle, *TrackData);
        }
        if (StreamHandle == 0) {
            // The old stream is gone: nothing plays any more, whatever the state said.
            PlayPosition = 0;
            if (PlayerState != psStopped) {
                PlayerState = psStopped;
                SetTimerEnabled(false);
                UpdateTrackInfo();
            }
            ShowError("Error.CannotLoad", path);
            return;
        }
        // A track started anew may be followed again, even in a list that reached its end
        // before; the peek below notes the end again when this is the last track.
        if (TVPlayList* const list = TrackData->tdPlayList)
            list->plAllPlayed = false;
    }

    if (AddToHistory)
        m_history.AddToHistory(TrackData);
    int64_t const length = engine->ChannelGetLength(StreamHandle);
    TrackLastByte = length - 1;
    if (!resuming) {
        if (AtJoint && prepared.Handle != 0) {
            // The stream took over at the joint and has been playing since.
            PlayPosition = engine->ChannelGetPosition(StreamHandle);
        } else {
            PlayPosition = std::llround(static_cast<double>(TrackLastByte) / 100.0 * StartPosition);
            if (engine->ChannelGetPosition(StreamHandle) != PlayPosition)
                engine->ChannelSetPosition(StreamHandle, PlayPosition);
        }
    }
    engine->ChannelSetAttribute(
        StreamHandle, TChannelAttribute::Volume, m_settings.Muted ? 0.0f : static_cast<float>(m_settings.Volume));
    engine->ChannelSetAttribute(StreamHandle, TChannelAttribute::Pan, static_cast<float>(m_settings.BalanceValue));
    // A prepared stream's filters follow the preset in force even when the equalizer has been
    // switched off since (its preset is the flat one then).
    if (Equalizer) {
        if (prepared.Filters[0] != 0)
            Equalizer->TakeOverFilters(prepared.Filters);
        else if (m_settings.EqualizerOn)
            Equalizer->ApplyEqPreset(Equalizer->CurrentPreset);
    }

    // At the joint the stream is left alone: it plays, or has even played to its end already
    // (a track shorter than a tick), which the next tick notices.
    if (!(AtJoint && prepared.Handle != 0) && !engine->ChannelPlay(StreamHandle, false)) {
        ShowError("Error.UnableToPlay", path);
        return;
    }
    TrackData->idPlaying = true;
    RepaintRow(TrackData);
    PlayerState = psPlaying;
    UpdateTrackInfo();
    if (Hooks.RepaintBottomBar)
        Hooks.RepaintBottomBar();
    SetTimerEnabled(true);
    PrepareNext(engine->ChannelGetPosition(StreamHandle), length);
}

void TPlaybackController::SetUpStream(uint32_t handle, TTrackData const& track)
{
    TAudioEngine* const engine = AudioEngine;
    engine->ChannelSetAttribute(
        handle, TChannelAttribute::Volume, m_settings.Muted ? 0.0f : static_cast<float>(m_settings.Volume));
    engine->ChannelSetAttribute(handle, TChannelAttribute::Pan, static_cast<float>(m_settings.BalanceValue));
    auto const mode = static_cast<TReplayGainMode>(m_settings.ReplayGain);
    if (mode != TReplayGainMode::Off)
        engine->ChannelSetGain(handle, ReplayGainFactor(ReadReplayGain(track), mode, m_settings.ReplayGainPreamp));
}

void TPlaybackController::PrepareNext(int64_t position, int64_t length)
{
    TAudioEngine* const engine = AudioEngine;
    if (!engine || StreamHandle == 0 || PlayerState == psStopped || position < 0 || length < 0)
        return;
    TVPlayList const* const list = m_session.CurrentTrack ? m_session.CurrentTrack->tdPlayList : nullptr;
    // A list that has reached its end waits at its end, whatever has been queued since.
    if ((list && list->plAllPlayed) || engine->ChannelBytes2Seconds(StreamHandle, length - position) > kPrepareSeconds)
        return;
    TTrackData* next = nullptr;
    bool addToHistory = false;
    if (!GetNextItem(next, addToHistory, false))
        next = nullptr;
    if (next == m_prepared.Track)
        return;
    DropPrepared();
    if (!next)
        return;
    m_prepared.Track = next;
    std::string const path = next->GetTag("FilePath");
    if (!FileExists(path))
        return;
    m_prepared.Handle = engine->StreamCreateFile(path);
    if (m_prepared.Handle == 0)
        return;
    SetUpStream(m_prepared.Handle, *next);
    if (m_settings.EqualizerOn && Equalizer)
        m_prepared.Filters = Equalizer->FiltersFor(m_prepared.Handle);
    engine->ChannelSetNext(StreamHandle, m_prepared.Handle);
}

TPlaybackController::TPreparedNext TPlaybackController::TakePrepared(TTrackData const* track)
{
    if (track != m_prepared.Track)
        DropPrepared();
    TPreparedNext const taken = m_prepared;
    m_prepared = {};
    return taken;
}

void TPlaybackController::DropPrepared()
{
    if (m_prepared.Handle != 0 && AudioEngine)
        AudioEngine->StreamFree(m_prepared.Handle);
    m_prepared = {};
}

void TPlaybackController::Pause()
{
    if (PlayerState == psPlaying) {
        if (AudioEngine)
            AudioEngine->ChannelPause(StreamHandle);
        PlayerState = psPaused;
        if (Hooks.StateChanged)
            Hooks.StateChanged();
    } else {
        // A paused track resumes where it halted; a stopped one starts from its beginning.
        PlayFile(m_session.CurrentTrack, false, 0);
    }
    if (Hooks.RepaintBottomBar)
        Hooks.RepaintBottomBar();
}

void TPlaybackController::StopPlay()
{
    if (!PlayingOrPaused())
        return;
    PlayPosition = 0;
    DropPrepared();
    if (AudioEngine && StreamHandle != 0)
        AudioEngine->StreamFree(StreamHandle);
    StreamHandle = 0;
    PlayerState = psStopped;
    if (m_session.CurrentTrack) {
        m_session.CurrentTrack->idPlaying = false;
        RepaintRow(m_session.CurrentTrack);
    }
    SetTimerEnabled(false);
    UpdateTrackInfo();
    if (Hooks.RepaintBottomBar)
        Hooks.RepaintBottomBar();
}

void TPlaybackController::PlayNext(double PlayOffset)
{
    TTrackData* next = nullptr;
    bool addToHistory = false;
    if (GetNextItem(next, addToHistory, true))
        PlayFile(next, addToHistory, PlayOffset);
}

void TPlaybackController::PlayPrevious()
{
    if (!PlayingOrPaused())
        return;
    StopPlay();
    TTrackData* previous = nullptr;
    bool addToHistory = false;
    if (GetPrevItem(previous, addToHistory, true))
        PlayFile(previous, false, 0);
}

bool TPlaybackController::GetNextItem(TTrackData*& ItemData, bool& AddToHistory, bool MoveIndex)
{
    ItemData = nullptr;
    AddToHistory = false;

    if (m_queue.Count() > 0 && m_session.QueueIndex >= 0 && m_session.QueueIndex < m_queue.Count()) {
        if (TTrackData* const queued = m_queue.Track(m_session.QueueIndex)) {
            ItemData = queued;
            AddToHistory = true;
            if (MoveIndex) {
                ++m_session.QueueIndex;
                m_queue.UpdateQueue();
            }
            return true;
        }
    }

    int const historyCount = m_history.Count();
    if (historyCount > 0 && m_history.vtHistoryIDX < historyCount - 1) {
        ItemData = m_history.vtHistoryList[static_cast<size_t>(m_history.vtHistoryIDX + 1)];
        if (MoveIndex)
            ++m_history.vtHistoryIDX;
        return true;
    }

    TVPlayList* const list = m_session.CurrentTrack ? m_session.CurrentTrack->tdPlayList : m_session.CurrentPlayList;
    if (!list)
        return false;

    if (list->vtShuffle) {
        if (list->plShuffleList.empty()) {
            list->plAllPlayed = true;
            if (list->vtRepeat) {
                PopulateShuffleList(*list);
                list->plAllPlayed = false;
            }
            return false;
        }
        ItemData = list->plShuffleList.front();
        if (MoveIndex) {
            list->plShuffleList.erase(list->plShuffleList.begin());
            AddToHistory = true;
        }
        return true;
    }

    if (!m_session.CurrentTrack)
        return false;
    TItemData const* const row = m_session.CurrentTrack->tdItemData;
    if (!row || !list->GetTrackbyIDX(row->idIndex + 1, ItemData)) {
        list->plAllPlayed = true;
        ItemData = nullptr;
        if (!list->vtRepeat || !list->GetTrackbyIDX(0, ItemData))
            return false;
        list->plAllPlayed = false;
    }
    AddToHistory = true;
    return true;
}

bool TPlaybackController::GetPrevItem(TTrackData*& ItemData, bool& AddToHistory, bool MoveIndex)
{
    ItemData = nullptr;
    AddToHistory = false;
    int const count = m_history.Count();
    int const i = m_history.vtHistoryIDX;
    if (i < 1 || i > count) {
        if (count == 0)
            return false;
        m_history.vtHistoryIDX = 0;
        ItemData = m_history.vtHistoryList.front();
        return true;
    }
    ItemData = m_history.vtHistoryList[static_cast<size_t>(i - 1)];
    if (MoveIndex)
        m_history.vtHistoryIDX = i - 1;
    return true;
}

void TPlaybackController::PlayTimerTimer()
{
    TAudioEngine* const engine = AudioEngine;
    TTrackData* const current = m_session.CurrentTrack;
    if (PlayerState != psPlaying || !current || !engine)
        return;
    int64_t const position = engine->ChannelGetPosition(StreamHandle);
    int64_t const length = engine->ChannelGetLength(StreamHandle);
    // No stream to follow (its load failed while the timer ran): nothing to show or do.
    if (position < 0 || length < 0)
        return;
    PlayPosition = position;
    PositionText = DurationText(engine->ChannelBytes2Seconds(StreamHandle, position));
    LengthText = DurationText(engine->ChannelBytes2Seconds(StreamHandle, length));
    if (Hooks.RepaintControlBar)
        Hooks.RepaintControlBar();
    if (Hooks.RepaintBottomBar)
        Hooks.RepaintBottomBar();
    if (current->tdPlayList && current->tdPlayList == m_session.CurrentPlayList)
        RepaintRow(current);

    if (position < length) {
        PrepareNext(position, length);
        return;
    }
    // The prepared stream may have taken over at the joint: then the controller moves on even
    // where the list has been marked as ended since, and silences it when no track follows.
    bool const tookOver = m_prepared.Handle != 0
        && (engine->ChannelIsActive(m_prepared.Handle) == TChannelState::Playing
            || engine->ChannelGetPosition(m_prepared.Handle) > 0);
    TVPlayList const* const list = current->tdPlayList;
    if (list && list->plAllPlayed && !tookOver)
        return;
    TTrackData* next = nullptr;
    bool addToHistory = false;
    if (GetNextItem(next, addToHistory, true)) {
        ++current->tdPlayCount;
        StartTrack(next, addToHistory, 0, tookOver);
    } else {
        DropPrepared();
    }
}

void TPlaybackController::PopulateShuffleList(TVPlayList& List)
{
    List.plShuffleList.clear();
    List.plShuffleList.reserve(List.plDataList.size());
    for (auto const& track : List.plDataList)
        List.plShuffleList.push_back(track.get());
    std::mt19937 random(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    size_t const count = List.plShuffleList.size();
    for (size_t i = 0; i + 1 < count; ++i) {
        std::uniform_int_distribution<size_t> offset(0, count - i - 1);
        std::swap(List.plShuffleList[i], List.plShuffleList[i + offset(random)]);
    }
}

void TPlaybackController::PlayPauseKey()
{
    if (PlayerState == psStopped)
        PlayFile(nullptr, true, 0);
    else
        Pause();
}

// Switching an option on lets a list that already reached its end go on: the shuffle list is
// fresh, or repeat now starts over; the peek notes the end again where there still is one.
void TPlaybackController::ToggleShuffle()
{
    TVPlayList* const list = m_session.CurrentPlayList;
    if (!list)
        return;
    list->vtShuffle = !list->vtShuffle;
    if (list->vtShuffle) {
        PopulateShuffleList(*list);
        list->plAllPlayed = false;
    }
    if (PlayingOrPaused())
        UpdateTrackInfo();
}

void TPlaybackController::ToggleRepeat()
{
    TVPlayList* const list = m_session.CurrentPlayList;
    if (!list)
        return;
    list->vtRepeat = !list->vtRepeat;
    if (list->vtRepeat)
        list->plAllPlayed = false;
    if (PlayingOrPaused())
        UpdateTrackInfo();
}

void TPlaybackController::PlayHandedOver(TVPlayList& List, std::vector<std::string> const& Paths)
{
    for (std::string const& path : Paths) {
        int const index = List.TrackExists(path);
        if (index >= 0) {
            PlayFile(List.GetTrackData(index), true, 0);
            return;
        }
        for (TGroupData const* group : List.plGroups)
            for (TItemData const* row : group->Rows())
                if (row->idTrackData && IsInside(row->idTrackData->GetTag("FilePath"), path)) {
                    PlayFile(row->idTrackData, true, 0);
                    return;
                }
    }
    Pause();
}

void TPlaybackController::ReleaseTrack(TTrackData& track)
{
    // The stream of a track that leaves the program must not play on without it.
    if (&track == m_session.CurrentTrack)
        StopPlay();
    if (&track == m_prepared.Track)
        DropPrepared();
    if (m_peekNext == &track)
        m_peekNext = nullptr;
    if (m_peekPrevious == &track)
        m_peekPrevious = nullptr;
}

}
