#pragma once

// Groups and rows of a playlist: controls of the tree. A playlist holds its groups in a
// manual list and each group holds its rows in its list 0; the playlist paints and hit-tests
// both itself, so neither has a canvas, and rows (one per track, 100,000 in a big library)
// are leaves without child lists.
//
// A loader thread may build a whole grouping privately; from then on, groups and rows belong to
// the UI thread, like every control.

#include "platform/graphics/Bitmap.h"
#include "ui/framework/SmartCtrl.h"

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

// One track row. Visible() tells whether it is shown in its group.
class TItemData : public TSmartCtrl {
public:
    explicit TItemData(TCreateKey key)
        : TSmartCtrl(key, TLeafControl {})
    {
    }

    TTrackData* idTrackData = nullptr; // non-owning
    TGroupData* idGroupData = nullptr; // non-owning
    int32_t idIndex = 0;               // position in the list's play order

protected:
    void OnCreateCanvas() override { }
};

// One group: its key, header texts, rows (the controls of its list 0, in display order) and
// cover.
class TGroupData : public TSmartCtrl {
public:
    explicit TGroupData(TCreateKey key)
        : TSmartCtrl(key)
    {
    }

    std::string gdID; // the key in upper case
    std::string gdCaption;
    std::string gdSecondLine;
    TVPlayList* gdPlayList = nullptr; // non-owning

    // Cover state. The cover thread loads and releases pictures while the UI thread paints
    // them; the pictures are guarded by gdCoverLock.
    std::atomic<bool> gdNeedIcons { true };
    std::atomic<bool> gdHaveCover { false };
    std::mutex gdCoverLock;
    std::unique_ptr<TBitmap> gdPicture;      // prepared at the header's device size
    std::unique_ptr<TBitmap> gdPictureCache; // as decoded from the file

    TControlsOf<TItemData> Rows() const { return TControlsOf<TItemData>(scLists.GetList(0)); }
    int RowCount() const { return Rows().size(); }
    // Appends a row for track and links it to this group.
    TItemData* AddRow(TTrackData* track);
    // Frees row; false when it is not one of this group's.
    bool RemoveRow(TItemData* row);

protected:
    void OnCreateCanvas() override { }
};

// One letter of the alphabet panel.
struct TGroupLetter {
    TGroupData* glGroup = nullptr; // non-owning
    std::string glID;
    std::string glCaption;
    TVPlayList* glPlayList = nullptr; // non-owning
};

// A complete grouped arrangement, built privately (by a loader, or for a regrouping) and then
// committed to its playlist (TVPlayList::CommitGrouping), which takes the groups over.
struct TGrouping {
    TGroupMode Mode = gmTrackName;
    bool Ascending = true;
    std::vector<std::unique_ptr<TGroupData>> Groups; // sorted, rows sorted and numbered
    std::vector<TGroupLetter> Letters;
};

}
