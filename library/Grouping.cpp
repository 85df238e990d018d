// Grouping, sorting and searching of a playlist.

#include "base/CaseFold.h"
#include "base/Collation.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/TrackTexts.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

namespace vantor {

const char* GroupButtonCaptionKey(TGroupMode mode)
{
    switch (mode) {
    case gmArtist: return "GroupButton.Artist";
    case gmAlbum: return "GroupButton.Album";
    case gmTrackName: return "GroupButton.Track";
    case gmGenre: return "GroupButton.Genre";
    case gmRating: return "GroupButton.Rating";
    case gmYear: return "GroupButton.Year";
    case gmBitrate: return "GroupButton.Bitrate";
    case gmSize: return "GroupButton.Size";
    case gmDuration: return "GroupButton.Duration";
    case gmFolder:
    case gmNone: break;
    }
    return "";
}

namespace {

// The locale texts one grouping needs, looked up once; the keys themselves without a list.
struct TGroupTexts {
    explicit TGroupTexts(const TVPlayList* list)
        : Unknown(Text(list, "Group.Unknown"))
        , Kbps(Text(list, "ItemData.kbps"))
        , BitrateUnknown(Text(list, "Group.BitrateUnknown"))
        , Hrs(Text(list, "Group.Hrs"))
        , Min(Text(list, "Group.Min"))
        , Tracks(Text(list, "Group.Tracks"))
    {
    }
    static std::string Text(const TVPlayList* list, const char* key)
    {
        return list ? list->Session().Text(key) : std::string(key);
    }
    std::string Unknown;
    std::string Kbps;
    std::string BitrateUnknown;
    std::string Hrs;
    std::string Min;
    std::string Tracks;
};

// Key and caption of a track's group in a mode.
std::pair<std::string, std::string> GroupKey(const TTrackData& track, TGroupMode mode, const TGroupTexts& texts)
{
    TTrackTags const& tags = track.tdTagsList;
    std::string key;
    std::string caption;
    bool captionIsKey = true;
    switch (mode) {
    case gmArtist: key = tags.View(tkArtist); break;
    case gmFolder: key = tags.View(tkDirectory); break;
    case gmAlbum: key = tags.View(tkAlbum); break;
    case gmTrackName: key = FirstChars(tags.View(tkTrackName), 1); break;
    case gmGenre: key = tags.View(tkGenre); break;
    case gmRating: key = tags.Get(tkRating, "0") + " Stars"; break;
    case gmNone: break;
    case gmYear: key = FirstChars(tags.View(tkYear), 4); break;
    case gmBitrate:
        key = tags.Get(tkBitrate, "0");
        caption = key == "0" ? texts.BitrateUnknown : key + " " + texts.Kbps;
        captionIsKey = false;
        break;
    case gmSize: key = SizeGroupLabel(tags.View(tkFileSize)); break;
    case gmDuration: {
        auto const colons = std::count(track.Duration.begin(), track.Duration.end(), ':');
        key = std::string(FirstChars(track.Duration, 2)) + " " + (colons == 2 ? texts.Hrs : texts.Min);
        break;
    }
    }
    if (key.empty())
        return { "Unknown", texts.Unknown };
    if (captionIsKey)
        caption = key;
    return { std::move(key), std::move(caption) };
}

// The group key of the modes whose key is (a part of) one dictionary value, as a view into the
// record; empty for the computed keys and for an empty value.
std::string_view StoredKey(const TTrackData& track, TGroupMode mode)
{
    TTrackTags const& tags = track.tdTagsList;
    switch (mode) {
    case gmArtist: return tags.View(tkArtist);
    case gmFolder: return tags.View(tkDirectory);
    case gmAlbum: return tags.View(tkAlbum);
    case gmTrackName: return FirstChars(tags.View(tkTrackName), 1);
    case gmGenre: return tags.View(tkGenre);
    case gmYear: return FirstChars(tags.View(tkYear), 4);
    default: return {};
    }
}

// In-place quicksort with the middle element as pivot (the lower middle for an even count).
// It is not stable. The smaller part is sorted by recursion and the larger by the loop, so
// the depth stays logarithmic whatever the input; the result is the same either way.
template <class T, class Less>
void QuickSort(std::vector<T>& items, ptrdiff_t left, ptrdiff_t right, Less less)
{
    while (left < right) {
        ptrdiff_t i = left;
        ptrdiff_t j = right;
        ptrdiff_t pivot = left + (right - left) / 2;
        do {
            while (less(items[static_cast<size_t>(i)], items[static_cast<size_t>(pivot)]))
                ++i;
            while (less(items[static_cast<size_t>(pivot)], items[static_cast<size_t>(j)]))
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(items[static_cast<size_t>(i)], items[static_cast<size_t>(j)]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - left < right - i) {
            QuickSort(items, left, j, less);
            left = i;
        } else {
            QuickSort(items, i, right, less);
            right = j;
        }
    }
}

template <class T>
void SortByKey(std::vector<std::pair<std::string, T>>& items, bool ascending)
{
    if (items.size() < 2)
        return;
    auto const last = static_cast<ptrdiff_t>(items.size()) - 1;
    if (ascending)
        QuickSort(items, 0, last, [](const auto& a, const auto& b) { return a.first < b.first; });
    else
        QuickSort(items, 0, last, [](const auto& a, const auto& b) { return b.first < a.first; });
}

}

std::string LetterID(const TGroupData& group, TGroupMode mode)
{
    switch (mode) {
    case gmYear: return std::string(FirstChars(group.gdID, 4));
    case gmBitrate:
    case gmSize:
    case gmGenre:
    case gmRating:
    case gmDuration: return group.gdID;
    default: return std::string(FirstChars(group.gdID, 1));
    }
}

namespace {

void SetSecondLine(TGroupData& group, TGroupMode mode, const TTrackData& lastTrack, const TGroupTexts& texts)
{
    group.gdSecondLine =
        mode == gmAlbum ? lastTrack.GetTag(tkYear) : std::to_string(group.RowCount()) + " " + texts.Tracks;
}

std::string RowKey(const TTrackData& track) { return CollationKey(track.tdTagsList.View(tkTrackName)); }

// Sorts owned items by the collation key keyOf gives each.
template <class T, class KeyOf>
void SortOwned(std::vector<std::unique_ptr<T>>& items, bool ascending, KeyOf keyOf)
{
    if (items.size() < 2)
        return;
    std::vector<std::pair<std::string, std::unique_ptr<T>>> keyed;
    keyed.reserve(items.size());
    for (auto& item : items) {
        std::string key = keyOf(*item);
        keyed.emplace_back(std::move(key), std::move(item));
    }
    SortByKey(keyed, ascending);
    for (size_t i = 0; i < keyed.size(); ++i)
        items[i] = std::move(keyed[i].second);
}

std::string GroupKeyOf(const TGroupData& group) { return CollationKey(group.gdID); }

void SortGroups(TGrouping& grouping) { SortOwned(grouping.Groups, grouping.Ascending, GroupKeyOf); }

template <class TGroups>
void NumberRows(const TGroups& groups)
{
    int32_t index = 0;
    for (auto const& group : groups) {
        for (TItemData* row : group->Rows())
            row->idIndex = index++;
    }
}

template <class TGroups>
std::vector<TGroupLetter> BuildLetters(const TGroups& groups, TGroupMode mode, TVPlayList* owner)
{
    std::vector<TGroupLetter> letters;
    for (auto const& group : groups) {
        std::string id = LetterID(*group, mode);
        bool const exists =
            std::any_of(letters.begin(), letters.end(), [&](const TGroupLetter& letter) { return letter.glID == id; });
        if (exists)
            continue;
        std::string caption = mode == gmBitrate ? group->gdCaption : id;
        letters.push_back({ &*group, std::move(id), std::move(caption), owner });
    }
    return letters;
}

}

TItemData* TGroupData::AddRow(TTrackData* track)
{
    auto row = std::make_unique<TItemData>();
    row->idTrackData = track;
    row->idGroupData = this;
    return m_rows.emplace_back(std::move(row)).get();
}

bool TGroupData::RemoveRow(TItemData* row)
{
    auto const found = std::find_if(
        m_rows.begin(), m_rows.end(), [row](const std::unique_ptr<TItemData>& owned) { return owned.get() == row; });
    if (found == m_rows.end())
        return false;
    m_rows.erase(found);
    return true;
}

void TGroupData::SortRows(bool ascending)
{
    SortOwned(m_rows, ascending, [](const TItemData& row) { return RowKey(*row.idTrackData); });
}

bool TVPlayList::KeptAscending(TGroupMode GroupMode) const { return GroupMode == plGroupMode ? plAscending : true; }

void TVPlayList::GroupButtonPress(TGroupMode GroupMode)
{
    bool const ascending = GroupMode == plGroupMode ? !plAscending : true;
    plGroupMode = GroupMode;
    plAscending = ascending;
    GroupPlaylist(GroupMode, true);
}

TGrouping TVPlayList::BuildGrouping(
    const std::vector<TTrackData*>& tracks, TGroupMode GroupMode, bool Ascending, TVPlayList* owner)
{
    TGroupTexts const texts(owner);
    TGrouping grouping;
    grouping.Mode = GroupMode;
    grouping.Ascending = Ascending;

    // The tracks are filed first and the rows made afterwards, already in their sorted order.
    // Tracks of one group mostly spell its key alike: a key read from the dictionary is looked
    // up as it is first, and upper-cased (and its caption made) only when it is new.
    std::unordered_map<std::string_view, size_t> byStored;
    std::unordered_map<std::string, size_t> byID;
    std::vector<std::vector<TTrackData*>> members; // per group, in creation order
    for (TTrackData* const track : tracks) {
        std::string_view const stored = StoredKey(*track, GroupMode);
        size_t index = members.size();
        if (auto const found = stored.empty() ? byStored.end() : byStored.find(stored); found != byStored.end()) {
            index = found->second;
        } else {
            std::string const id = UpperCase(GroupKey(*track, GroupMode, texts).first);
            auto const [it, added] = byID.emplace(id, members.size());
            if (added) {
                grouping.Groups.push_back(std::make_unique<TGroupData>());
                grouping.Groups.back()->gdID = id;
                grouping.Groups.back()->gdPlayList = owner;
                members.emplace_back();
            }
            index = it->second;
            if (!stored.empty())
                byStored.emplace(stored, index);
        }
        members[index].push_back(track);
    }

    std::vector<std::pair<std::string, TTrackData*>> keyed;
    for (size_t index = 0; index < grouping.Groups.size(); ++index) {
        TGroupData& group = *grouping.Groups[index];
        std::vector<TTrackData*> const& groupTracks = members[index];
        // The track filed last decides the caption's spelling (and an album's year).
        TTrackData const& last = *groupTracks.back();
        group.gdCaption = GroupKey(last, GroupMode, texts).second;
        keyed.clear();
        for (TTrackData* track : groupTracks)
            keyed.emplace_back(groupTracks.size() > 1 ? RowKey(*track) : std::string(), track);
        SortByKey(keyed, Ascending);
        group.ReserveRows(keyed.size());
        for (auto const& [key, track] : keyed)
            group.AddRow(track);
        SetSecondLine(group, GroupMode, last, texts);
    }
    SortGroups(grouping);
    NumberRows(grouping.Groups);
    grouping.Letters = BuildLetters(grouping.Groups, GroupMode, owner);
    return grouping;
}

void TVPlayList::CommitGrouping(TGrouping grouping)
{
    for (auto const& track : plDataList)
        track->tdItemData = nullptr;
    ++m_groupsVersion;
    m_groups = std::move(grouping.Groups);
    for (auto const& group : m_groups) {
        group->gdPlayList = this;
        for (TItemData* row : group->Rows()) {
            row->idTrackData->tdItemData = row;
            row->idTrackData->tdPlayList = this;
        }
    }
    m_letters = std::move(grouping.Letters);
    for (TGroupLetter& letter : m_letters)
        letter.glPlayList = this;
    // The group the last track was filed into.
    LastGroupData = nullptr;
    for (auto track = plDataList.rbegin(); track != plDataList.rend() && !LastGroupData; ++track) {
        if ((*track)->tdItemData)
            LastGroupData = (*track)->tdItemData->idGroupData;
    }
    plGroupMode = grouping.Mode;
    plAscending = grouping.Ascending;
    plScroll = 0;
    plCurrentItemIdx = 0;
}

void TVPlayList::GroupPlaylist(TGroupMode GroupMode, bool LoadCovers)
{
    std::vector<TTrackData*> tracks;
    tracks.reserve(plDataList.size());
    for (auto const& track : plDataList)
        tracks.push_back(track.get());
    CommitGrouping(BuildGrouping(tracks, GroupMode, KeptAscending(GroupMode), this));
    TLibraryHooks const& hooks = Session().Hooks;
    if (hooks.Grouped)
        hooks.Grouped(*this);
    if (LoadCovers && hooks.StartCovers)
        hooks.StartCovers(*this);
}

bool TVPlayList::GetGroup(const std::string& ID, TGroupData*& GroupData, bool CreateIfNotfound)
{
    std::string const id = UpperCase(ID);
    for (TGroupData* group : plGroups) {
        if (group->gdID == id) {
            GroupData = LastGroupData = group;
            return true;
        }
    }
    if (!CreateIfNotfound) {
        GroupData = nullptr;
        return false;
    }
    ++m_groupsVersion;
    TGroupData* const group = m_groups.emplace_back(std::make_unique<TGroupData>()).get();
    group->gdID = id;
    group->gdCaption = id;
    group->gdPlayList = this;
    GroupData = LastGroupData = group;
    return true;
}

void TVPlayList::AddTrack(TTrackData* TrackData)
{
    if (!TrackData)
        return;
    TGroupTexts const texts(this);
    auto [key, caption] = GroupKey(*TrackData, plGroupMode, texts);
    TGroupData* group = nullptr;
    GetGroup(key, group, true);
    TrackData->tdPlayList = this;
    ++m_groupsVersion;
    TrackData->tdItemData = group->AddRow(TrackData);
    SetSecondLine(*group, plGroupMode, *TrackData, texts);
    group->gdCaption = std::move(caption);
}

void TVPlayList::SortPlaylist()
{
    if (!plGroups.empty()) {
        ++m_groupsVersion;
        SortOwned(m_groups, plAscending, GroupKeyOf);
        for (TGroupData* group : plGroups)
            group->SortRows(plAscending);
    }
    RenumberRows();
}

void TVPlayList::RenumberRows() { NumberRows(plGroups); }

void TVPlayList::CreateAlphabet() { m_letters = BuildLetters(plGroups, plGroupMode, this); }

void TVPlayList::RemoveGroup(TGroupData* group)
{
    // Letters and LastGroupData must not keep the freed group.
    std::erase_if(m_letters, [group](const TGroupLetter& letter) { return letter.glGroup == group; });
    if (LastGroupData == group)
        LastGroupData = nullptr;
    ++m_groupsVersion;
    std::erase_if(m_groups, [group](const std::unique_ptr<TGroupData>& owned) { return owned.get() == group; });
}

void TVPlayList::RemoveEmptyGroups()
{
    std::vector<TGroupData*> empty;
    for (TGroupData* group : plGroups) {
        if (group->RowCount() == 0)
            empty.push_back(group);
    }
    for (TGroupData* group : empty)
        RemoveGroup(group);
}

bool TVPlayList::GetItem(int ItemIndex, TItemData*& ItemData) const
{
    ItemData = nullptr;
    if (ItemIndex < 0)
        return false;
    int remaining = ItemIndex;
    for (TGroupData* group : plGroups) {
        int const rows = group->RowCount();
        if (remaining < rows) {
            ItemData = group->Rows()[remaining];
            return true;
        }
        remaining -= rows;
    }
    return false;
}

bool TVPlayList::GetTrackbyIDX(int Index, TTrackData*& TrackData) const
{
    TItemData* row = nullptr;
    TrackData = GetItem(Index, row) ? row->idTrackData : nullptr;
    return TrackData != nullptr;
}

std::vector<TTrackData*> TVPlayList::Search(const std::string& Text) const
{
    std::vector<TTrackData*> results;
    if (Text.empty())
        return results;
    std::string const wanted = LowerCase(Text);
    for (TGroupData* group : plGroups) {
        for (TItemData* row : group->Rows()) {
            if (LowerCase(row->idTrackData->tdTagsList.View(tkTrackName)).find(wanted) != std::string::npos)
                results.push_back(row->idTrackData);
        }
    }
    return results;
}

std::vector<TTrackData*> DoSearch(const TPlayerSession& session, const std::string& Text)
{
    return session.CurrentPlayList ? session.CurrentPlayList->Search(Text) : std::vector<TTrackData*>();
}

}
