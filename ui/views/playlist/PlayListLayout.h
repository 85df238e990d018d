#pragma once

// Where the groups, headers and rows of a playlist are, in logical units relative to the
// playlist: groups one below the other, each header in a left column (sticking under the top
// margin while its group scrolls past) and the rows to its right. Recomputed on every resize,
// scroll and change; rows are never given positions of their own, each is found from its
// group's place and its rank among the group's shown rows.

#include "platform/graphics/Geometry.h"

#include <array>
#include <cstdint>
#include <vector>

namespace vantor {

class TGroupData;
class TItemData;
class TVPlayList;

namespace playlist_layout {
inline constexpr int TopMargin = 60;
inline constexpr int GroupGap = 50;
inline constexpr int MinGroupHeight = 300;
inline constexpr int RowHeight = 100;
inline constexpr int RowPitch = 110; // row height and the gap below it
inline constexpr int HeaderSize = 222;
inline constexpr int HeaderLeft = 74;
inline constexpr int RowsLeft = 370;
inline constexpr int HeaderReserve = 100; // kept free below a header pushed up by its group's end
inline constexpr int ScrollBarWidth = 60;
inline constexpr int ScrollBarGap = 5;
inline constexpr int ActionWidth = 96;        // the row's left action and right favourite areas
inline constexpr int AlphabetWidth = 480;     // the letters' column
inline constexpr int AlphabetRevealBand = 80; // the letters show while the pointer is this near the left edge
}

// One shown group: its top and height, its header's top and how many of its rows are shown.
struct TGroupPlace {
    TGroupData* Group = nullptr; // non-owning
    int Top = 0;
    int Height = 0;
    int HeaderTop = 0;
    int ShownRows = 0;
};

class TPlayListLayout {
public:
    // Page Up and Page Down scroll by the view's height less this much, so a row stays in
    // sight.
    static constexpr int PageMargin = 110;

    // Places the groups of list for a playlist of width x height scrolled by list.plScroll.
    void Arrange(const TVPlayList& list, int width, int height);

    const std::vector<TGroupPlace>& Groups() const { return m_groups; }
    // The largest scroll offset: the last group's end (plus the top margin) reaches the
    // bottom edge. Never negative.
    int ScrollMax(int scroll) const;
    // The rectangle of a group's header and of its n-th shown row.
    TRect HeaderRect(const TGroupPlace& place) const;
    TRect RowRect(const TGroupPlace& place, int shownIndex) const;
    int RowWidth() const { return m_rowWidth; }
    // The n-th shown row of a placed group, or null.
    static TItemData* ShownRow(const TGroupPlace& place, int shownIndex);
    // The shown row containing the point, or null; rect, when given, receives its rectangle.
    TItemData* RowAt(int x, int y, TRect* rect = nullptr) const;
    // Whether a group's header lies at least partly inside the playlist's height.
    bool HeaderShown(const TGroupData* group) const;

private:
    std::vector<TGroupPlace> m_groups;
    // Each group's shown rows, counted again only when the list's groups or rows changed:
    // scrolling a long list then walks its groups, not every row.
    std::vector<int> m_shownRows;
    const TVPlayList* m_countedList = nullptr;
    uint64_t m_countedVersion = 0;
    std::vector<const TGroupData*> m_headersShown; // a screenful at most
    int m_rowWidth = 0;
    int m_height = 0;
};

// The eight text rectangles of a row of the given width, relative to the row: title, artist,
// album, year, genre, duration, bitrate and size.
std::array<TRect, 8> RowTextRects(int width);

}
