#pragma once
// One field value of the unified tag model.

#include "tags/TagTypes.h"

#include <string>

namespace vantor {

class TTags;

class TTag {
public:
    explicit TTag(TTags* parent)
        : Parent(parent)
    {
    }

    std::string Name;        // unified field name; compared ASCII-case-insensitively
    std::string Value;       // multi-line values use CR LF between lines
    std::string Language;    // three letters (ID3v2 comments and lyrics)
    std::string Description; // content descriptor, or TXXX/WXXX description
    TExtTagType ExtTagType = ettUnknown;
    TTags* Parent;     // not owned
    int32_t Index = 0; // position in Parent->Tags

    // Empties the four texts.
    void Clear();
    // Copies the four texts; a null source leaves the field cleared.
    bool Assign(const TTag* source);
    // Parent->Delete(Index): also removes the native counterparts.
    bool Delete();
    // Parent->Remove(Index): the unified list only.
    bool Remove();
    // Value := name CR LF value CR LF for every entry.
    bool SetAsList(const TNameValueList& list);
    // Pairs of lines become "name=value" entries; a value with an odd or zero
    // number of lines gives an empty list.
    bool GetAsList(TNameValueList& list) const;
};

} // namespace vantor
