#pragma once

// The playlist options page: the list's name in a field and one entry per linked folder; a
// press on an entry's left area unlinks that folder. Its buttons go back (renaming the list when
// its name was edited), link a folder through the desktop's folder dialog and rescan the
// linked folders.

#include "ui/views/menu/MenuHolder.h"

#include <functional>
#include <memory>
#include <string>

namespace vantor {

struct TFolderPick;
class TSmartEdit;
class TVPlayList;

class TLinkedFolderItem : public TSmartCtrl {
public:
    static constexpr int ActionWidth = 96;

    // remove: unlinks the folder and frees the entry.
    TLinkedFolderItem(TCreateKey key, const TViewContext& context, std::string folder,
        std::function<void(TLinkedFolderItem&)> remove);

    std::string Caption; // the folder's path

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Enter(const TInputData& InputData) override;
    void On_Leave(const TInputData& InputData) override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;

private:
    const TViewContext* m_context; // non-owning
    std::function<void(TLinkedFolderItem&)> m_remove;
    TButtonState m_state = bsNormal;
};

class TListOptionsHolder : public TMenuHolder {
public:
    static constexpr int FieldHeight = 75;
    static constexpr char PickerTitle[] = "Selected Folder";
    static constexpr char PickerAcceptLabel[] = "Select Folder";

    // back: shows the playlists page.
    TListOptionsHolder(TCreateKey key, const TViewContext& context, std::function<void()> back);

    TSmartEdit* loListName = nullptr; // a child, in the list "TopList"

    // Fills the page for a list; a folder dialog opened for another list is forgotten.
    void PopulateSettings(TVPlayList& PlayList);
    // The list shown, or none.
    TVPlayList* PlayList() const { return m_playList; }
    // A list is about to go: when it is the one shown, the page forgets it.
    void ReleasePlayList(const TVPlayList& PlayList);

    // The back button: a changed name that is not blank renames the list and saves its file; then the
    // playlists page shows.
    void GoBack();
    // Opens the folder dialog; the folder chosen is linked to the list shown then, unless it is
    // linked already. False when no dialog opened (no list, or one is open already).
    bool LinkFolder();
    // Scans the linked folders for files the list does not hold yet, in the background.
    void ReScan();
    // Unlinks an entry's folder and removes the entry (which is freed).
    void RemoveFolder(TLinkedFolderItem& Item);

    void ArrangeProc(TItemContainer& ItemContainer) override;

protected:
    void On_Arrange() override;

private:
    void AddFolderItem(const std::string& Folder);
    void Answered(TVPlayList& PlayList, const TFolderPick& Pick);
    // Keeps the list's file in step with its links.
    void SaveLinks();

    TVPlayList* m_playList = nullptr; // non-owning; let go when the list goes
    std::function<void()> m_back;
    // The list a folder dialog links to, held weakly by its answer: filling the page for a new
    // list, the list's going or the page's end drops it, and a late answer is ignored.
    std::shared_ptr<TVPlayList* const> m_pickTarget;
};

}
