#include "library/LibraryHooks.h"

#include "app/AppState.h"
#include "ui/framework/LocaleManager.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace vantor {

namespace {

std::atomic<const TLocaleManager*> g_locale { nullptr };

std::vector<ITrackHolder*>& Holders()
{
    static std::vector<ITrackHolder*> holders;
    return holders;
}

}

TLibraryHooks& LibraryHooks()
{
    static TLibraryHooks hooks;
    return hooks;
}

void SetLibraryLocale(const TLocaleManager* locale) { g_locale.store(locale, std::memory_order_release); }

std::string LibraryText(std::string_view key)
{
    const TLocaleManager* const locale = g_locale.load(std::memory_order_acquire);
    return locale ? locale->Get(key, kLocaleData) : std::string(key);
}

void RegisterTrackHolder(ITrackHolder* holder)
{
    if (holder && std::find(Holders().begin(), Holders().end(), holder) == Holders().end())
        Holders().push_back(holder);
}

void UnregisterTrackHolder(ITrackHolder* holder) { std::erase(Holders(), holder); }

void ReleaseTrack(TTrackData& track)
{
    // A holder may unregister another while releasing; walk a copy.
    std::vector<ITrackHolder*> const holders = Holders();
    for (ITrackHolder* holder : holders) {
        if (std::find(Holders().begin(), Holders().end(), holder) != Holders().end())
            holder->ReleaseTrack(track);
    }
    if (App.CurrentTrack == &track)
        App.CurrentTrack = nullptr;
}

}
