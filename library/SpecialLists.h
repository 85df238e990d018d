#pragma once

// The five special lists. Each changes only its identity (file, caption, icon, control ID);
// none may be renamed or deleted.

#include "library/PlayList.h"

namespace vantor {

class TDefaultList : public TVPlayList {
public:
    TDefaultList(TCreateKey key, TPlayerSession& session);
    static constexpr char LookupName[] = "#DefaultList";
};

class TLibraryList : public TVPlayList {
public:
    TLibraryList(TCreateKey key, TPlayerSession& session);
    static constexpr char LookupName[] = "#Library";
};

class TFavoriteList : public TVPlayList {
public:
    TFavoriteList(TCreateKey key, TPlayerSession& session);
    static constexpr char LookupName[] = "#Favorites";
};

class TRadioList : public TVPlayList {
public:
    TRadioList(TCreateKey key, TPlayerSession& session);
    static constexpr char LookupName[] = "#Radio";
};

class TMostPlayedList : public TVPlayList {
public:
    TMostPlayedList(TCreateKey key, TPlayerSession& session);
    static constexpr char LookupName[] = "#MostPlayed";
};

}
