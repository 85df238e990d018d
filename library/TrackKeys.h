#pragma once

// Keys of the track dictionary. Keys compare without regard to case, but a record keeps the
// spelling a key was first stored with, so every spelling gets its own id and every id knows
// the id of its folded form. The well-known keys have fixed ids whose spelling is canonical,
// so the common look-ups need neither folding nor a lock.

#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

using TTagKey = uint32_t;

// The keys the program sets, in the order ReadTags stores them.
enum TKnownKey : TTagKey {
    tkFilePath,
    tkDirectory,
    tkFileSize,
    tkFileName,
    tkTrackName,
    tkArtist,
    tkAlbum,
    tkYear,
    tkBitrate,
    tkSampleRate,
    tkPlayTime,
    tkChannels,
    tkGenre,
    tkRating,
    tkHasLyrics,
    tkPlayCount,
    tkKnownKeyCount,
};

// The id of this exact spelling, registered when new. Any thread.
TTagKey InternTagKey(std::string_view spelling);
// The id of the folded form of a key (the same for "Artist" and "ARTIST"), or nothing when no
// key of that fold was ever registered (then no record can hold it). Any thread.
bool FindTagKeyFold(std::string_view name, TTagKey& fold);
// The folded id of a registered spelling id.
TTagKey TagKeyFold(TTagKey key);
// The spelling of a registered id.
std::string TagKeyName(TTagKey key);

}
