#include "library/SpecialLists.h"

namespace vantor {

TDefaultList::TDefaultList(TPlayerSession& session)
    : TVPlayList(session)
{
    SetIdentity("*DefaultList", "Default.vlbr", "PlayList.Default", "Icons:Icon.Track.46");
}

TLibraryList::TLibraryList(TPlayerSession& session)
    : TVPlayList(session)
{
    SetIdentity("*LibraryPlayList", "Library.vlbr", "PlayList.Library", "Icons:Icon.library.46");
}

TFavoriteList::TFavoriteList(TPlayerSession& session)
    : TVPlayList(session)
{
    SetIdentity("*FavoritePlayList", "Favorite.vlbr", "PlayList.Favorites", "Icons:Icon.Favorites");
}

TRadioList::TRadioList(TPlayerSession& session)
    : TVPlayList(session)
{
    SetIdentity("*RadioPlayList", "Radio.vlbr", "PlayList.Radio", "Icons:Icon.Radio.64");
}

TMostPlayedList::TMostPlayedList(TPlayerSession& session)
    : TVPlayList(session)
{
    SetIdentity("*MostPlayedList", "Top.vlbr", "PlayList.MostPlayed", "Icons:Icon.Top.46");
}

}
