#pragma once

// TVPlayList: an ordered set of track records with its own settings, its groups and its own
// INI-style file in the "Playlists" folder. The playlist view shows it; the list itself knows
// nothing of painting or input.
//
// Threads: the UI thread owns the list. A loader thread may read files and build tracks and
// groupings privately (ReadTracksFile, BuildGrouping) and touches only the progress fields;
// the UI thread commits the results (AppendTracks, CommitGrouping) in the hand-off.

#include "library/GroupData.h"
#include "library/SmartThread.h"
#include "library/TrackData.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor {

class TIniFile;
class TPlayerSession;
class TPlaylistFile;

inline constexpr char kPlaylistsFolder[] = "Playlists";
inline constexpr char kPlayListControlID[] = "Playlist :)";

// "Playlist [n].vpl" and "#n" with random n; the panel makes sure they are unused.
std::string RandomPlaylistFileName();
std::string RandomPlaylistID();

// A section of a list file whose track file was not there when the file was read: kept as it
// was, so that a file that is away for a while (on a drive not mounted) does not drop out of
// the list file.
struct TAbsentSection {
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Values; // key, value, in file order
};

class TVPlayList {
public:
    // session: the session the list belongs to; it must outlive the list.
    explicit TVPlayList(TPlayerSession& session);
    // Stops the cover thread, then the loader, then frees tracks and groups.
    virtual ~TVPlayList();
    TVPlayList(const TVPlayList&) = delete;
    TVPlayList& operator=(const TVPlayList&) = delete;

    TPlayerSession& Session() const { return *m_session; }
    // The ID of the control that shows the list: fixed for a special list.
    const std::string& ControlID() const { return m_controlID; }

    // ---- Model fields --------------------------------------------------------------------
    std::string plFileName; // file name inside "Playlists"
    std::string plCaption;
    std::string plID; // "#" + number; queue files and "LastPlayList" refer to it
    std::string plIcon = "Icons:Icon.PlayList.46";
    bool plCanRename = true;
    bool plCanDelete = true;
    bool plVirtual = false;   // never saved
    bool plNeeedSave = false; // the track sections must be rewritten at the next save
    std::string plPath;       // file the list was loaded from
    std::vector<std::string> plLinkedFolders;
    TGroupMode plGroupMode = gmTrackName;
    bool plAscending = true;
    int32_t plScroll = 0;
    int32_t plScrollMax = 0;
    int32_t plCurrentItemIdx = 0;
    bool vtShuffle = false;
    bool vtRepeat = false;
    std::vector<TTrackData*> plShuffleList; // non-owning: tracks not yet played in shuffle mode
    bool plAllPlayed = false;
    std::vector<std::unique_ptr<TTrackData>> plDataList; // the tracks, in the order added
    // The groups in display order (owned, and they own their rows).
    TOwnedView<TGroupData> plGroups { m_groups };
    TGroupData* LastGroupData = nullptr; // non-owning
    int32_t plSelCount = 0;

    // ---- Loading: written by the loader, progress read by the bottom bar ---------------------
    bool plPlayFile = false;               // start playback when the current load finishes
    std::vector<std::string> plDropList;   // paths waiting to be added
    std::vector<std::string> plScanList;   // folders waiting to be rescanned
    bool plLoadFromList = false;           // the next load rescans plScanList
    bool plFileRead = false;               // a load has read plPath (it is read once)
    std::atomic<bool> plLoading { false }; // a load runs; the list is not painted
    std::atomic<int32_t> plLoadingPos { 0 };
    std::atomic<int32_t> plLoadingMax { 0 };
    std::atomic<bool> plNeedsIcons { true };
    // The list's loader and cover threads; the list's destruction aborts and frees the cover
    // thread first, then the loader.
    std::unique_ptr<TSmartThread> vfLoadThread;
    std::unique_ptr<TSmartThread> vfIconThread;

    // Progress text for the bottom bar; any thread.
    std::string LoadingText() const;
    void SetLoadingText(std::string_view text);

    // ---- Modes the view shows, switched by the main controller ------------------------------
    bool plDeleteMode = false;
    bool plLocationMode = false;
    bool plSelectMode = false;
    bool plTagEditMode = false;
    bool plLyricsMode = false;

    // ---- Files -----------------------------------------------------------------------------
    // AppPath + "Playlists/" + plFileName: where the list is saved.
    std::filesystem::path SavePath() const;
    // Reads "#Settings" and "#Linked" from plPath; nothing when no file is there.
    void LoadSettings();
    // The same from a file already read.
    void LoadSettings(const TPlaylistFile& file);
    // Reads the track sections of Path and appends their tracks (UI thread).
    void LoadFromFile(const std::string& Path);
    // Any thread: the tracks of a playlist file's sections whose "FilePath" exists, in file
    // order, their tdIDs unique among themselves (sections are); updates only the progress
    // fields of this list. absent, when given, receives the sections naming a file that is
    // not there.
    std::vector<std::unique_ptr<TTrackData>> ReadTracksFile(
        const std::string& Path, std::vector<TAbsentSection>* absent = nullptr);
    // Same, from a file already read.
    std::vector<std::unique_ptr<TTrackData>> ReadTracks(
        const TPlaylistFile& file, std::vector<TAbsentSection>* absent = nullptr);
    // Takes sections read with absent tracks over (UI thread): a rewrite of the track
    // sections keeps them, unless the list holds a track of that file by then.
    void KeepAbsentSections(std::vector<TAbsentSection> sections);
    // Writes the file (temporary file renamed over the old one). Track sections are rewritten
    // only when plNeeedSave is set. False when the file could not be written.
    bool SaveToFile();

    // ---- Tracks ----------------------------------------------------------------------------
    // Takes the tracks into plDataList (UI thread); a tdID that is empty or already used in
    // this list is replaced by an unused one. IDsUnique: the caller made the tracks' IDs
    // unique among themselves (MakeIDsUnique), which is all an empty list needs.
    void AppendTracks(std::vector<std::unique_ptr<TTrackData>> tracks, bool IDsUnique = false);
    // Any thread: replaces empty and repeated tdIDs among the tracks by unused ones.
    static void MakeIDsUnique(std::vector<std::unique_ptr<TTrackData>>& tracks);
    TTrackData* AppendTrack(std::unique_ptr<TTrackData> track);
    // Empties tracks and groups; releases CurrentTrack, queue, history and selection entries
    // of the tracks first.
    void ClearList();
    int TrackCount() const { return static_cast<int>(plDataList.size()); }
    TTrackData* GetTrackData(int Index) const;
    bool GetTrackData(const std::string& TrackDataID, TTrackData*& TrackData) const;
    // Index of the first track whose "FilePath" equals Path without regard to case, or -1.
    // Like GetTrackData by ID, it looks the track up in an index built on first use (UI
    // thread); a listed track's "FilePath" and tdID do not change.
    int TrackExists(const std::string& Path) const;
    // The key under which TrackExists files a path: a hash of its case-folded form.
    static uint64_t PathKey(std::string_view Path);
    // The keys of every track's "FilePath" (for a loader's duplicate test).
    std::vector<uint64_t> PathKeys() const;
    int TrackExists(const TTrackData& TrackData) const;
    // Removes a row's track: deletes the file first when DeleteFile (stopping playback when it
    // plays), releases its queue, history and selection entries and CurrentTrack, drops its
    // row and an emptied group, frees the record and marks the list for rewriting.
    void RemoveItem(TItemData* ItemData, bool DeleteFile);
    void RemoveTrack(TTrackData* TrackData, bool DeleteFile);
    // Removes and frees the record from plDataList only.
    void RemoveTrackData(TTrackData* TrackData);
    // Marks every track whose path is also in the favourites list.
    void CheckForFavorites();

    // ---- Grouping, sorting, searching ------------------------------------------------------
    // The direction a regrouping by mode keeps: the list's own for the mode in force, else
    // ascending.
    bool KeptAscending(TGroupMode GroupMode) const;
    // Any thread: groups, sorts and numbers tracks (which are not changed) and builds the
    // letters. owner becomes the groups' gdPlayList.
    static TGrouping BuildGrouping(
        const std::vector<TTrackData*>& tracks, TGroupMode GroupMode, bool Ascending, TVPlayList* owner);
    // UI thread: replaces the groups by grouping, links tracks to their rows, resets scroll,
    // current row and LastGroupData.
    void CommitGrouping(TGrouping grouping);
    // A press on a group button: the mode in force turns its direction round, another mode
    // groups ascending. Only this press changes a list's direction.
    void GroupButtonPress(TGroupMode GroupMode);
    // Rebuilds the groups (direction rule of KeptAscending), then asks for layout and, with
    // LoadCovers, the cover thread.
    void GroupPlaylist(TGroupMode GroupMode, bool LoadCovers);
    void ReGroup() { GroupPlaylist(plGroupMode, true); }
    // Files one track into its group (creating it), as the grouping does for every track.
    void AddTrack(TTrackData* TrackData);
    bool GetGroup(const std::string& ID, TGroupData*& GroupData, bool CreateIfNotfound);
    void SortPlaylist();
    void CreateAlphabet();
    void RemoveEmptyGroups();
    // Frees a group with its rows, and the letter that leads to it.
    void RemoveGroup(TGroupData* group);
    std::vector<TGroupLetter> const& Letters() const { return m_letters; }
    // Changes whenever a group or row is made, freed or moved, so that a view knows its
    // layout, which points at them, is out of date.
    uint64_t GroupsVersion() const { return m_groupsVersion; }
    bool GetTrackbyIDX(int Index, TTrackData*& TrackData) const;
    bool GetItem(int ItemIndex, TItemData*& ItemData) const;
    // Tracks whose "TrackName" contains Text (lower case), in group and row order.
    std::vector<TTrackData*> Search(const std::string& Text) const;

protected:
    // Identity of a special list: control ID, file in "Playlists", caption (language key) and
    // icon; it can be neither renamed nor deleted.
    void SetIdentity(const std::string& controlID, const std::string& fileName, const std::string& captionKey,
        const std::string& icon);

private:
    TPlayerSession* m_session; // non-owning
    std::string m_controlID = kPlayListControlID;
    mutable std::mutex m_loadingTextLock;
    std::string m_loadingText;
    // The tracks read from sections [begin, end) (any thread); report: this call shows the
    // progress.
    std::vector<std::unique_ptr<TTrackData>> ReadSections(
        const TPlaylistFile& file, size_t begin, size_t end, bool report, std::vector<TAbsentSection>* absent);
    std::vector<TAbsentSection> m_absent;
    std::vector<std::unique_ptr<TGroupData>> m_groups;
    uint64_t m_groupsVersion = 0;
    std::vector<TGroupLetter> m_letters;
    // The tracks by tdID and by PathKey; built on the first look-up, then kept up to date.
    void EnsureIndex() const;
    void IndexTrack(TTrackData* track) const;
    mutable bool m_indexed = false;
    mutable std::unordered_map<std::string_view, TTrackData*> m_byID;
    mutable std::unordered_multimap<uint64_t, TTrackData*> m_byPath;
    // Sets every row's idIndex to its place in group and row order.
    void RenumberRows();
};

// The search of the side menu: the tracks of the session's current list whose "TrackName"
// contains Text without regard to case; nothing for an empty text or without a current list.
std::vector<TTrackData*> DoSearch(const TPlayerSession& session, const std::string& Text);

}
