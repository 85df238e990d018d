#include "library/SpecialLists.h"

namespace vantor {

TDefaultList::TDefaultList(TCreateKey key, TPlayerSession& session)
    : TVPlayList(key, session)
{
    SetIdentity("*DefaultList", "Default.vlbr", "PlayList.Default", "Icons:Icon.Track.46");
}

TLibraryList::TLibraryList(TCreateKey key, TPlayerSession& session)
    : TVPlayList(key, session)
{
    SetIdentity("*LibraryPlayList", "Library.vlbr", "PlayList.Library", "Icons:Icon.library.46");
}

TFavoriteList::TFavoriteList(TCreateKey key, TPlayerSession& session)
    : TVPlayList(key, session)
{
    SetIdentity("*FavoritePlayList", "Favorite.vlbr", "PlayList.Favorites", "Icons:Icon.Favorites");
}

TRadioList::TRadioList(TCreateKey key, TPlayerSession& session)
    : TVPlayList(key, session)
{
    SetIdentity("*RadioPlayList", "Radio.vlbr", "PlayList.Radio", "Icons:Icon.Radio.64");
}

TMostPlayedList::TMostPlayedList(TCreateKey key, TPlayerSession& session)
    : TVPlayList(key, session)
{
    SetIdentity("*MostPlayedList", "Top.vlbr", "PlayList.MostPlayed", "Icons:Icon.Top.46");
}

}
