#pragma once

// The five special lists. Each changes only its identity (file, caption, icon, control ID);
// none may be renamed or deleted.

#include "library/PlayList.h"

namespace vantor {

class TDefaultList : public TVPlayList {
public:
    explicit TDefaultList(TCreateKey key);
    static constexpr char LookupName[] = "#DefaultList";
};

class TLibraryList : public TVPlayList {
public:
    explicit TLibraryList(TCreateKey key);
    static constexpr char LookupName[] = "#Library";
};

class TFavoriteList : public TVPlayList {
public:
    explicit TFavoriteList(TCreateKey key);
    static constexpr char LookupName[] = "#Favorites";
};

class TRadioList : public TVPlayList {
public:
    explicit TRadioList(TCreateKey key);
    static constexpr char LookupName[] = "#Radio";
};

class TMostPlayedList : public TVPlayList {
public:
    explicit TMostPlayedList(TCreateKey key);
    static constexpr char LookupName[] = "#MostPlayed";
};

}

namespace vantor {

// The special lists of the running program, set when the panel creates them; non-owning.
struct TSpecialLists {
    TDefaultList* Default = nullptr;
    TLibraryList* Library = nullptr;
    TFavoriteList* Favorites = nullptr;
    TRadioList* Radio = nullptr;
    TMostPlayedList* MostPlayed = nullptr;
    void Forget(TVPlayList* list);
};
TSpecialLists& SpecialLists();

}
