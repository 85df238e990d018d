#pragma once

// TPlayerSession: the player's state that the playlists, the loaders, the queue and playback
// share: the current list and track, the queue position, the special lists, the locale texts,
// the track holders and the hooks through which the models reach the views. The main
// controller owns the one session of the program and hands it to whoever needs it; tests make
// their own. UI thread, except Text and the hooks marked "any thread".

#include "library/CoverThread.h"
#include "library/LibraryHooks.h"
#include "library/PlaylistLoader.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class TDefaultList;
class TFavoriteList;
class THistory;
class TLibraryList;
class TLocaleManager;
class TMostPlayedList;
class TPlayQueue;
class TRadioList;
class TTrackData;
class TTrackSelection;
class TVPlayList;

// The special lists of the session, set when the panel creates them; non-owning.
struct TSpecialLists {
    TDefaultList* Default = nullptr;
    TLibraryList* Library = nullptr;
    TFavoriteList* Favorites = nullptr;
    TRadioList* Radio = nullptr;
    TMostPlayedList* MostPlayed = nullptr;
    void Forget(const TVPlayList* list);
};

class TPlayerSession {
public:
    // appPath: the folder whose "Playlists" and "Queues" the session's lists use; a trailing
    // '/' is added when missing.
    explicit TPlayerSession(std::string appPath = "./");
    ~TPlayerSession();
    TPlayerSession(const TPlayerSession&) = delete;
    TPlayerSession& operator=(const TPlayerSession&) = delete;

    const std::string& AppPath() const { return m_appPath; }
    void SetAppPath(std::string appPath);

    TVPlayList* CurrentPlayList = nullptr; // non-owning: the list shown and played from
    TTrackData* CurrentTrack = nullptr;    // non-owning: the track playing or paused
    int32_t QueueIndex = 0;                // the queue entry to play next
    int32_t HistoryLimit = 20;             // entries the history keeps
    std::string LastPlayListID;            // the list to show first ("LastPlayList")
    TSpecialLists Special;

    // The play queue, the history and the selection; they live as long as the session.
    TPlayQueue& Queue() { return *m_queue; }
    THistory& History() { return *m_history; }
    TTrackSelection& Selection() { return *m_selection; }

    // Hooks into the views, connected by the main controller in one place.
    TLibraryHooks Hooks;
    TLoaderHooks LoaderHooks;
    TCoverHooks CoverHooks;

    // The locale the models translate through; not owned. Null: every text is its key.
    void SetLocale(const TLocaleManager* locale) { m_locale.store(locale, std::memory_order_release); }
    // The "#Data" text of key; any thread (the language is switched on the UI thread only
    // while no load runs).
    std::string Text(std::string_view key) const;

    // A track about to be freed is first released from every registered holder (queue,
    // history, selection, playback); CurrentTrack is cleared when it is that track.
    void RegisterTrackHolder(ITrackHolder* holder);
    void UnregisterTrackHolder(ITrackHolder* holder);
    void ReleaseTrack(TTrackData& track);

private:
    std::string m_appPath;
    std::atomic<const TLocaleManager*> m_locale { nullptr };
    std::vector<ITrackHolder*> m_holders;
    // Declared last: they register with the session while it is made and leave it first.
    std::unique_ptr<TPlayQueue> m_queue;
    std::unique_ptr<THistory> m_history;
    std::unique_ptr<TTrackSelection> m_selection;
};

// The text of key in the session the track's list belongs to; the key itself when the track
// has no list. Any thread.
std::string SessionText(const TTrackData* track, std::string_view key);

}
