#include "ui/views/playlist/PlayListLayout.h"

#include "library/PlayList.h"

#include <algorithm>
#include <cmath>

namespace vantor {

using namespace playlist_layout;

void TPlayListLayout::Arrange(const TVPlayList& list, int width, int height)
{
    m_groups.clear();
    m_headersShown.clear();
    m_height = height;
    m_rowWidth = std::max(0, width - RowsLeft - ScrollBarWidth - 10);
    if (m_countedList != &list || m_countedVersion != list.GroupsVersion()
        || static_cast<int>(m_shownRows.size()) != list.plGroups.size()) {
        m_shownRows.clear();
        m_shownRows.reserve(static_cast<size_t>(list.plGroups.size()));
        for (TGroupData const* group : list.plGroups) {
            int shown = 0;
            for (TItemData const* row : group->Rows())
                shown += row->Visible ? 1 : 0;
            m_shownRows.push_back(shown);
        }
        m_countedList = &list;
        m_countedVersion = list.GroupsVersion();
    }
    int top = TopMargin - list.plScroll;
    for (int g = 0; g < list.plGroups.size(); ++g) {
        TGroupData* const group = list.plGroups[g];
        TGroupPlace place;
        place.Group = group;
        place.ShownRows = m_shownRows[static_cast<size_t>(g)];
        if (place.ShownRows == 0)
            continue;
        int const rows = place.ShownRows;
        place.Top = top;
        place.Height = std::max(MinGroupHeight, rows * RowPitch - (RowPitch - RowHeight));
        // The header sticks under the top margin while its group scrolls past, and the
        // group's end pushes it up; a short group keeps it at its top.
        int header = std::max(top, TopMargin);
        if (top + place.Height < header + HeaderSize + HeaderReserve)
            header = top + place.Height - HeaderSize - HeaderReserve;
        place.HeaderTop = group->RowCount() <= 3 ? top : header;
        if (place.HeaderTop <= height && place.HeaderTop + HeaderSize >= 0)
            m_headersShown.push_back(group);
        top += place.Height + GroupGap;
        m_groups.push_back(place);
    }
}

int TPlayListLayout::ScrollMax(int scroll) const
{
    if (m_groups.empty())
        return 0;
    TGroupPlace const& last = m_groups.back();
    return std::max(0, last.Top + last.Height + scroll + TopMargin - m_height);
}

TRect TPlayListLayout::HeaderRect(const TGroupPlace& place) const
{
    return TRect::FromSize(HeaderLeft, place.HeaderTop, HeaderSize, HeaderSize);
}

TRect TPlayListLayout::RowRect(const TGroupPlace& place, int shownIndex) const
{
    return TRect::FromSize(RowsLeft, place.Top + RowPitch * shownIndex, m_rowWidth, RowHeight);
}

TItemData* TPlayListLayout::ShownRow(const TGroupPlace& place, int shownIndex)
{
    TOwnedView<TItemData> const rows = place.Group->Rows();
    if (place.ShownRows == rows.size())
        return rows[shownIndex];
    for (TItemData* row : rows) {
        if (row->Visible && shownIndex-- == 0)
            return row;
    }
    return nullptr;
}

TItemData* TPlayListLayout::RowAt(int x, int y, TRect* rect) const
{
    if (x < RowsLeft || x >= RowsLeft + m_rowWidth)
        return nullptr;
    // Groups are placed top to bottom: the last one starting at or above y is the candidate.
    auto const after = std::upper_bound(
        m_groups.begin(), m_groups.end(), y, [](int value, const TGroupPlace& place) { return value < place.Top; });
    if (after == m_groups.begin())
        return nullptr;
    TGroupPlace const& place = *std::prev(after);
    int const offset = y - place.Top;
    int const index = offset / RowPitch;
    if (index >= place.ShownRows || offset % RowPitch >= RowHeight)
        return nullptr;
    if (rect)
        *rect = RowRect(place, index);
    return ShownRow(place, index);
}

bool TPlayListLayout::HeaderShown(const TGroupData* group) const
{
    return std::find(m_headersShown.begin(), m_headersShown.end(), group) != m_headersShown.end();
}

std::array<TRect, 8> RowTextRects(int width)
{
    int const available = width - ActionWidth - 300;
    int const c3 = width - 300;
    int const c2 = c3 - static_cast<int>(std::nearbyint(0.2 * available));
    int const c1 = c2 - static_cast<int>(std::nearbyint(0.3 * available));
    return { {
        { 126, 0, c1 - 15, 50 },
        { 156, 50, c1 - 15, 100 },
        { c1 + 15, 0, c2 - 15, 50 },
        { c1 + 45, 50, c2 - 15, 100 },
        { c2 + 15, 0, c3 - 15, 50 },
        { c2 + 45, 50, c3 - 15, 100 },
        { c3 + 15, 0, c3 + 300, 50 },
        { c3 + 45, 50, c3 + 300, 100 },
    } };
}

}
