#pragma once

// Groups and rows of a playlist: plain records. A playlist owns its groups and each group its
// rows (one per track, 100,000 in a big library); the playlist view paints and hit-tests them.
//
// A loader thread may build a whole grouping privately; from then on, groups and rows belong to
// the UI thread, like the list.

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

// The raw pointers of a vector of owners, read-only: iteration, size and index.
template <class T>
class TOwnedView {
public:
    using TOwners = std::vector<std::unique_ptr<T>>;
    class iterator {
    public:
        explicit iterator(typename TOwners::const_iterator at)
            : m_at(at)
        {
        }
        T* operator*() const { return m_at->get(); }
        iterator& operator++()
        {
            ++m_at;
            return *this;
        }
        bool operator==(const iterator& other) const { return m_at == other.m_at; }

    private:
        typename TOwners::const_iterator m_at;
    };

    explicit TOwnedView(const TOwners& owners)
        : m_owners(&owners)
    {
    }
    iterator begin() const { return iterator(m_owners->begin()); }
    iterator end() const { return iterator(m_owners->end()); }
    int size() const { return static_cast<int>(m_owners->size()); }
    bool empty() const { return m_owners->empty(); }
    // Null outside 0..size-1.
    T* operator[](int index) const { return index >= 0 && index < size() ? (*m_owners)[index].get() : nullptr; }

private:
    const TOwners* m_owners;
};

// One track row.
class TItemData {
public:
    TTrackData* idTrackData = nullptr; // non-owning
    TGroupData* idGroupData = nullptr; // non-owning
    int32_t idIndex = 0;               // position in the list's play order
    bool Visible = true;               // shown in its group (a change is a change of the list's rows)
};

// One group: its key, header texts, rows (in display order, owned) and cover.
class TGroupData {
public:
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

    TOwnedView<TItemData> Rows() const { return TOwnedView<TItemData>(m_rows); }
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    void ReserveRows(size_t count) { m_rows.reserve(count); }
    // Appends a row for track and links it to this group.
    TItemData* AddRow(TTrackData* track);
    // Frees row; false when it is not one of this group's.
    bool RemoveRow(TItemData* row);
    // Reorders the rows by their tracks' titles (collation order, stable).
    void SortRows(bool ascending);

private:
    std::vector<std::unique_ptr<TItemData>> m_rows;
};

// One letter of the alphabet panel.
struct TGroupLetter {
    TGroupData* glGroup = nullptr; // non-owning
    std::string glID;
    std::string glCaption;
    TVPlayList* glPlayList = nullptr; // non-owning
};

// The key of a group's alphabet letter: the first character of its key, the first four in
// year grouping, the whole key where groups are values (genre, bitrate, size, rating,
// duration).
std::string LetterID(const TGroupData& group, TGroupMode mode);

// A complete grouped arrangement, built privately (by a loader, or for a regrouping) and then
// committed to its playlist (TVPlayList::CommitGrouping), which takes the groups over.
struct TGrouping {
    TGroupMode Mode = gmTrackName;
    bool Ascending = true;
    std::vector<std::unique_ptr<TGroupData>> Groups; // sorted, rows sorted and numbered
    std::vector<TGroupLetter> Letters;
};

}
