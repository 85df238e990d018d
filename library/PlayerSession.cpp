#include "library/PlayerSession.h"

#include "library/PlayList.h"
#include "library/PlayQueue.h"
#include "library/SelectionOps.h"
#include "library/SpecialLists.h"
#include "ui/framework/LocaleManager.h"

#include <algorithm>

namespace vantor {

void TSpecialLists::Forget(const TVPlayList* list)
{
    if (static_cast<const TVPlayList*>(Default) == list)
        Default = nullptr;
    if (static_cast<const TVPlayList*>(Library) == list)
        Library = nullptr;
    if (static_cast<const TVPlayList*>(Favorites) == list)
        Favorites = nullptr;
    if (static_cast<const TVPlayList*>(Radio) == list)
        Radio = nullptr;
    if (static_cast<const TVPlayList*>(MostPlayed) == list)
        MostPlayed = nullptr;
}

TPlayerSession::TPlayerSession(std::string appPath)
{
    SetAppPath(std::move(appPath));
    m_queue = std::make_unique<TPlayQueue>(*this);
    m_history = std::make_unique<THistory>(*this);
    m_selection = std::make_unique<TTrackSelection>(*this);
}

TPlayerSession::~TPlayerSession() = default;

void TPlayerSession::SetAppPath(std::string appPath)
{
    m_appPath = std::move(appPath);
    if (m_appPath.empty() || m_appPath.back() != '/')
        m_appPath += '/';
}

std::string TPlayerSession::Text(std::string_view key) const
{
    const TLocaleManager* const locale = m_locale.load(std::memory_order_acquire);
    return locale ? locale->Get(key, kLocaleData) : std::string(key);
}

void TPlayerSession::RegisterTrackHolder(ITrackHolder* holder)
{
    if (holder && std::find(m_holders.begin(), m_holders.end(), holder) == m_holders.end())
        m_holders.push_back(holder);
}

void TPlayerSession::UnregisterTrackHolder(ITrackHolder* holder) { std::erase(m_holders, holder); }

void TPlayerSession::ReleaseTrack(TTrackData& track)
{
    // A holder may unregister another while releasing; walk a copy.
    std::vector<ITrackHolder*> const holders = m_holders;
    for (ITrackHolder* holder : holders) {
        if (std::find(m_holders.begin(), m_holders.end(), holder) != m_holders.end())
            holder->ReleaseTrack(track);
    }
    if (CurrentTrack == &track)
        CurrentTrack = nullptr;
}

std::string SessionText(const TTrackData* track, std::string_view key)
{
    if (track && track->tdPlayList)
        return track->tdPlayList->Session().Text(key);
    return std::string(key);
}

}
