#include "library/SpecialLists.h"

namespace vantor {

TDefaultList::TDefaultList(TCreateKey key)
    : TVPlayList(key)
{
    SetIdentity("*DefaultList", "Default.vlbr", "PlayList.Default", "Icons:Icon.Track.46");
}

TLibraryList::TLibraryList(TCreateKey key)
    : TVPlayList(key)
{
    SetIdentity("*LibraryPlayList", "Library.vlbr", "PlayList.Library", "Icons:Icon.library.46");
}

TFavoriteList::TFavoriteList(TCreateKey key)
    : TVPlayList(key)
{
    SetIdentity("*FavoritePlayList", "Favorite.vlbr", "PlayList.Favorites", "Icons:Icon.Favorites");
}

TRadioList::TRadioList(TCreateKey key)
    : TVPlayList(key)
{
    SetIdentity("*RadioPlayList", "Radio.vlbr", "PlayList.Radio", "Icons:Icon.Radio.64");
}

TMostPlayedList::TMostPlayedList(TCreateKey key)
    : TVPlayList(key)
{
    SetIdentity("*MostPlayedList", "Top.vlbr", "PlayList.MostPlayed", "Icons:Icon.Top.46");
}

TSpecialLists& SpecialLists()
{
    static TSpecialLists lists;
    return lists;
}

void TSpecialLists::Forget(TVPlayList* list)
{
    if (Default == list)
        Default = nullptr;
    if (Library == list)
        Library = nullptr;
    if (Favorites == list)
        Favorites = nullptr;
    if (Radio == list)
        Radio = nullptr;
    if (MostPlayed == list)
        MostPlayed = nullptr;
}

}
