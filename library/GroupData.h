#pragma once

// Groups and rows of a playlist. A playlist is always shown grouped; these hold the grouped
// arrangement between two regroupings. Rows are plain records rather than controls: a list
// may hold 100,000 tracks, and the playlist itself paints and hit-tests its rows and groups.

#include "platform/graphics/Bitmap.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace vantor {

class TGroupData;
class TTrackData;
class TVPlayList;

// Stored as its ordinal in playlist files.
enum TGroupMode : uint8_t {
    gmArtist = 0,
    gmFolder = 1,
    gmAlbum = 2,
    gmTrackName = 3,
    gmGenre = 4,
    gmRating = 5,
    gmNone = 6,
    gmYear = 7,
    gmBitrate = 8,
    gmSize = 9,
    gmDuration = 10,
};
inline constexpr int kGroupModeCount = 11;

// The language key of a mode's group button; empty for gmFolder and gmNone.
const char* GroupButtonCaptionKey(TGroupMode mode);

// One track row.
class TItemData {
public:
    TTrackData* idTrackData = nullptr; // non-owning
    TGroupData* idGroupData = nullptr; // non-owning
    int32_t idIndex = 0;               // position in the list's play order
    bool Visible = true;               // shown in its group
    // Placement by the view, logical units relative to the playlist.
    int32_t idLeft = 0;
    int32_t idTop = 0;
    int32_t idWidth = 0;
    int32_t idHeight = 0;
};

// One group: its key, header texts, rows and cover.
class TGroupData {
public:
    std::string gdID;         // the key in upper case
    std::string gdCaption;
    std::string gdSecondLine;
    TVPlayList* gdPlayList = nullptr; // non-owning
    std::vector<TItemData*> gdRows;   // non-owning; the rows live in the grouping's arena

    // Cover state. The cover thread loads and releases pictures while the UI thread paints
    // them; the pictures are guarded by gdCoverLock.
    std::atomic<bool> gdNeedIcons { true };
    std::atomic<bool> gdHaveCover { false };
    std::mutex gdCoverLock;
    std::unique_ptr<TBitmap> gdPicture;      // prepared at the header's device size
    std::unique_ptr<TBitmap> gdPictureCache; // as decoded from the file

    // Placement by the view, logical units relative to the playlist.
    bool gdVisible = true;
    int32_t gdLeft = 0;
    int32_t gdTop = 0;
    int32_t gdWidth = 0;
    int32_t gdHeight = 0;
    int32_t gdHeaderTop = 0;

    int RowCount() const { return static_cast<int>(gdRows.size()); }
};

// One letter of the alphabet panel.
struct TGroupLetter {
    TGroupData* glGroup = nullptr; // non-owning
    std::string glID;
    std::string glCaption;
    TVPlayList* glPlayList = nullptr; // non-owning
};

// A complete grouped arrangement. The loader builds one privately and the UI thread commits it
// (TVPlayList::CommitGrouping); a rebuild replaces it whole.
struct TGrouping {
    TGroupMode Mode = gmTrackName;
    bool Ascending = true;
    std::vector<std::unique_ptr<TGroupData>> Groups; // sorted
    std::unique_ptr<TItemData[]> Rows;               // one per track, owned here
    size_t RowCount = 0;
    std::vector<TGroupLetter> Letters;
};

}
