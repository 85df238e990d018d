#pragma once

// The five special lists. Each changes only its identity (file, caption, icon, control ID);
// none may be renamed or deleted.

#include "library/PlayList.h"

namespace vantor {

class TDefaultList : public TVPlayList {
public:
    explicit TDefaultList(TPlayerSession& session);
    static constexpr char LookupName[] = "#DefaultList";
};

class TLibraryList : public TVPlayList {
public:
    explicit TLibraryList(TPlayerSession& session);
    static constexpr char LookupName[] = "#Library";
};

class TFavoriteList : public TVPlayList {
public:
    explicit TFavoriteList(TPlayerSession& session);
    static constexpr char LookupName[] = "#Favorites";
};

class TRadioList : public TVPlayList {
public:
    explicit TRadioList(TPlayerSession& session);
    static constexpr char LookupName[] = "#Radio";
};

class TMostPlayedList : public TVPlayList {
public:
    explicit TMostPlayedList(TPlayerSession& session);
    static constexpr char LookupName[] = "#MostPlayed";
};

}
