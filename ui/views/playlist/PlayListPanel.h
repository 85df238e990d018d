#pragma once

// TPlayListPanel: holds every playlist of the running program, each in the view that shows it,
// in its list "PlayLists" (insertion order: saving and the menu follow it); exactly one of
// them, CurrentPlayList, is shown.

#include "library/PlayList.h"
#include "ui/framework/SmartCtrl.h"
#include "ui/views/playlist/PlayListView.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

class IMessageBox;
class TPlayerSession;
struct TViewContext;

inline constexpr char kPlayListsListID[] = "PlayLists";

class TPlayListPanel : public TSmartCtrl {
public:
    // session: where the lists belong; context: what the list views draw with (null: only
    // their background). Both must outlive the panel.
    TPlayListPanel(TCreateKey key, TPlayerSession& session, const TViewContext* context = nullptr);
    ~TPlayListPanel() override;

    // A path that starts with "#" is a look-up name: an existing list with that plID becomes
    // current and is returned; otherwise the special list named in it is created (none when
    // it names none). Any other path (empty for a new list) creates an ordinary list for that
    // file. A new list reads its settings, joins "PlayLists" and the side menu and starts
    // loading, activating itself when SetActive or when it was the last list.
    TVPlayList* AddPlaylist(const std::string& Path, bool SetActive);
    // The five special lists, then every file whose name holds ".vpl" under AppPath +
    // "Playlists/" (subfolders first, depth-first, then the folder's own files).
    void LoadPlaylists();
    // The first list whose plID equals PlayListID exactly.
    bool GetPlayList(const std::string& PlayListID, TVPlayList*& PlayList) const;
    // Makes List the current, visible list; the others are hidden.
    void SetActiveList(TVPlayList* List);
    // Asks (through MessageBox), then deletes the list's file, releases every reference to its
    // tracks and frees it. False when the list may not be deleted or the answer was no.
    bool RemovePlaylist(TVPlayList* PlayList);
    // Saves every list in panel order; false when one could not be written.
    bool SaveAll();

    int Count() const;
    TVPlayList* PlayList(int index) const;
    std::vector<TVPlayList*> PlayLists() const;
    // The view showing a list of this panel; null for any other list.
    TPlayListView* ViewOf(const TVPlayList* List) const;
    // A "Playlist [n].vpl" name used by no list and no file in "Playlists".
    std::string UnusedFileName() const;
    // A "#n" ID used by no list.
    std::string UnusedID() const;

    // Not owned; answers the delete question. Null answers no.
    IMessageBox* MessageBox = nullptr;
    // Starts loading a list (the loader thread). Unset: the list's file is read and the list
    // grouped at once on this thread.
    std::function<void(TVPlayList& list, bool activate)> StartLoad;
    // The side menu's playlist entries.
    std::function<void(TVPlayList& list)> PlaylistAdded;
    std::function<void(TVPlayList& list)> PlaylistRemoved;
    // A row's lyrics and tag-edit actions: the side menu's lyrics page and tag editor.
    std::function<void(TTrackData& track)> ShowLyrics;
    std::function<void(TTrackData& track)> ShowTags;
    // The panel needs a repaint and a new layout.
    std::function<void()> Changed;

    TPlayerSession& Session() const { return *m_session; }

protected:
    void On_Paint(TBitmap& Canvas) override;

private:
    TPlayerSession* m_session;     // non-owning
    const TViewContext* m_context; // non-owning
    TControlList& Lists() const;
    TPlayListView* View(int index) const;
    // Adds a view for list; returns the list.
    TVPlayList* Adopt(std::unique_ptr<TVPlayList> list);
    TVPlayList* CreateSpecial(const std::string& Path);
};

}
