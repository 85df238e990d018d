#include "library/PlayQueue.h"
#include "library/PlayerSession.h"
#include "library/SpecialLists.h"

namespace vantor {

void AddtoFavorites(TPlayerSession& session, TTrackData* TrackData, bool Arrange, bool SaveList)
{
    TFavoriteList* const favorites = session.Special.Favorites;
    if (!TrackData || !favorites)
        return;
    std::string const path = TrackData->GetTag(tkFilePath);
    int const index = favorites->TrackExists(path);
    if (index < 0) {
        auto copy = std::make_unique<TTrackData>();
        copy->SetTag(tkFilePath, path);
        copy->tdPlayList = favorites;
        copy->ReadTags();
        copy->IsFavorite = true;
        TrackData->IsFavorite = true;
        favorites->AppendTrack(std::move(copy));
    } else {
        // TrackData may be the favourites' own record, which is freed here.
        TrackData->IsFavorite = false;
        favorites->RemoveTrack(favorites->GetTrackData(index), false);
    }
    if (Arrange)
        favorites->GroupPlaylist(gmTrackName, true);
    if (SaveList) {
        favorites->plNeeedSave = true;
        favorites->SaveToFile();
    }
}

}
