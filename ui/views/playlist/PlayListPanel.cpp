#include "ui/views/playlist/PlayListPanel.h"

#include "library/FolderScan.h"
#include "library/PlayerSession.h"
#include "library/SpecialLists.h"
#include "platform/window/MessageBox.h"
#include "ui/views/playlist/PlayListView.h"

#include <algorithm>
#include <system_error>

namespace vantor {

TPlayListPanel::TPlayListPanel(TCreateKey key, TPlayerSession& session, const TViewContext* context)
    : TSmartCtrl(key)
    , m_session(&session)
    , m_context(context)
{
    GetList(kPlayListsListID, true);
}

TPlayListPanel::~TPlayListPanel()
{
    // The lists go before the base class frees them, so that CurrentPlayList and the special
    // lists never point at a half-destroyed list.
    Lists().Clear();
}

TControlList& TPlayListPanel::Lists() const
{
    return *const_cast<TPlayListPanel*>(this)->GetList(kPlayListsListID, true);
}

int TPlayListPanel::Count() const { return Lists().Count(); }

TPlayListView* TPlayListPanel::View(int index) const { return static_cast<TPlayListView*>(Lists().Control(index)); }

TVPlayList* TPlayListPanel::PlayList(int index) const
{
    TPlayListView* const view = View(index);
    return view ? &view->List() : nullptr;
}

TPlayListView* TPlayListPanel::ViewOf(const TVPlayList* List) const
{
    for (int i = 0; i < Count(); ++i) {
        if (&View(i)->List() == List)
            return View(i);
    }
    return nullptr;
}

TVPlayList* TPlayListPanel::Adopt(std::unique_ptr<TVPlayList> list)
{
    return &AddItem(Create<TPlayListView>(std::move(list), m_context), kPlayListsListID)->List();
}

std::vector<TVPlayList*> TPlayListPanel::PlayLists() const
{
    std::vector<TVPlayList*> lists;
    for (int i = 0; i < Count(); ++i)
        lists.push_back(PlayList(i));
    return lists;
}

bool TPlayListPanel::GetPlayList(const std::string& PlayListID, TVPlayList*& List) const
{
    for (int i = 0; i < Count(); ++i) {
        if (PlayList(i)->plID == PlayListID) {
            List = PlayList(i);
            return true;
        }
    }
    List = nullptr;
    return false;
}

std::string TPlayListPanel::UnusedFileName() const
{
    std::filesystem::path const folder = std::filesystem::path(m_session->AppPath()) / kPlaylistsFolder;
    for (;;) {
        std::string name = RandomPlaylistFileName();
        std::error_code error;
        std::vector<TVPlayList*> const lists = PlayLists();
        bool const taken = std::filesystem::exists(folder / name, error)
            || std::any_of(lists.begin(), lists.end(), [&](TVPlayList* l) { return l->plFileName == name; });
        if (!taken)
            return name;
    }
}

std::string TPlayListPanel::UnusedID() const
{
    for (;;) {
        std::string id = RandomPlaylistID();
        TVPlayList* existing = nullptr;
        if (!GetPlayList(id, existing))
            return id;
    }
}

TVPlayList* TPlayListPanel::CreateSpecial(const std::string& Path)
{
    // The last look-up name that occurs in Path wins.
    int kind = -1;
    const char* const names[] = { TFavoriteList::LookupName, TLibraryList::LookupName, TRadioList::LookupName,
        TMostPlayedList::LookupName, TDefaultList::LookupName };
    for (int i = 0; i < 5; ++i) {
        if (Path.find(names[i]) != std::string::npos)
            kind = i;
    }
    TSpecialLists& specials = m_session->Special;
    // Each special list exists once: asking again gives the one there is.
    TVPlayList* const existing[] = { specials.Favorites, specials.Library, specials.Radio, specials.MostPlayed,
        specials.Default };
    if (kind < 0 || existing[kind])
        return nullptr;
    std::unique_ptr<TVPlayList> list;
    switch (kind) {
    case 0: list = std::make_unique<TFavoriteList>(*m_session); break;
    case 1: list = std::make_unique<TLibraryList>(*m_session); break;
    case 2: list = std::make_unique<TRadioList>(*m_session); break;
    case 3: list = std::make_unique<TMostPlayedList>(*m_session); break;
    default: list = std::make_unique<TDefaultList>(*m_session); break;
    }
    TVPlayList* const added = Adopt(std::move(list));
    switch (kind) {
    case 0: specials.Favorites = static_cast<TFavoriteList*>(added); break;
    case 1: specials.Library = static_cast<TLibraryList*>(added); break;
    case 2: specials.Radio = static_cast<TRadioList*>(added); break;
    case 3: specials.MostPlayed = static_cast<TMostPlayedList*>(added); break;
    default: specials.Default = static_cast<TDefaultList*>(added); break;
    }
    return added;
}

TVPlayList* TPlayListPanel::AddPlaylist(const std::string& Path, bool SetActive)
{
    TVPlayList* list = nullptr;
    // Look-up names start with "#"; a path is never taken for one, whatever its folders are
    // called.
    if (!Path.empty() && Path.front() == '#') {
        if (GetPlayList(Path, list)) {
            m_session->CurrentPlayList = list;
            TPlayListView* const view = ViewOf(list);
            view->SetWidth(Width());
            view->SetHeight(Height());
            return list;
        }
        list = CreateSpecial(Path);
        if (!list)
            return nullptr;
    } else {
        list = Adopt(std::make_unique<TVPlayList>(*m_session));
        list->plPath = Path;
    }
    ViewOf(list)->SetVisible(false);

    list->LoadSettings();
    // Another list's ID or file name would make two lists share queue entries or a file.
    TVPlayList* clash = nullptr;
    if (!list->plID.empty() && GetPlayList(list->plID, clash) && clash != list)
        list->plID = UnusedID();
    std::vector<TVPlayList*> const lists = PlayLists();
    bool fileTaken = std::any_of(lists.begin(), lists.end(),
        [&](TVPlayList* other) { return other != list && other->plFileName == list->plFileName; });
    if (list->plPath.empty()) {
        std::error_code error;
        fileTaken = fileTaken || std::filesystem::exists(list->SavePath(), error);
    }
    if (fileTaken)
        list->plFileName = UnusedFileName();

    if (PlaylistAdded)
        PlaylistAdded(*list);
    if (!list->plID.empty() && m_session->LastPlayListID == list->plID)
        SetActive = true;
    if (StartLoad) {
        StartLoad(*list, SetActive);
    } else {
        if (SetActive)
            SetActiveList(list);
        if (list->plPath.find(".vpl") != std::string::npos || list->plPath.find(".vlbr") != std::string::npos)
            list->LoadFromFile(list->plPath);
        list->GroupPlaylist(list->plGroupMode, false);
        list->CheckForFavorites();
    }
    return list;
}

void TPlayListPanel::LoadPlaylists()
{
    for (const char* name : { TDefaultList::LookupName, TLibraryList::LookupName, TFavoriteList::LookupName,
             TRadioList::LookupName, TMostPlayedList::LookupName })
        AddPlaylist(name, false);
    std::vector<std::string> files;
    CollectFilesNamed(std::filesystem::path(m_session->AppPath()) / kPlaylistsFolder, ".vpl", files);
    for (auto const& file : files)
        AddPlaylist(file, false);
}

void TPlayListPanel::SetActiveList(TVPlayList* List)
{
    m_session->CurrentPlayList = List;
    TPlayListView* const shown = ViewOf(List);
    for (int i = 0; i < Count(); ++i) {
        if (View(i) != shown)
            View(i)->SetVisible(false);
    }
    if (shown) {
        shown->SetPosition(0, 0);
        shown->SetWidth(Width());
        shown->SetHeight(Height());
        shown->SetVisible(true);
        if (List->plNeedsIcons && m_session->Hooks.StartCovers)
            m_session->Hooks.StartCovers(*List);
    }
    if (Changed)
        Changed();
}

bool TPlayListPanel::RemovePlaylist(TVPlayList* List)
{
    if (!List || !List->plCanDelete)
        return false;
    int index = -1;
    for (int i = 0; i < Count(); ++i) {
        if (PlayList(i) == List)
            index = i;
    }
    if (index < 0)
        return false;
    if (!MessageBox
        || !MessageBox->AskYesNo(
            m_session->Text("Messages.PlaylistDelete?"), m_session->Text("Messages.PlaylistDelete")))
        return false;
    // Workers first, then every reference to the tracks, then the file and the list.
    if (List->vfIconThread) {
        List->vfIconThread->Abort();
        List->vfIconThread.reset();
    }
    if (List->vfLoadThread) {
        List->vfLoadThread->Abort();
        List->vfLoadThread.reset();
    }
    List->ClearList();
    // A list read from a subfolder is saved into "Playlists" itself: both files go, or the
    // deleted list would come back at the next start.
    std::error_code error;
    if (!List->plPath.empty())
        std::filesystem::remove(List->plPath, error);
    std::filesystem::remove(List->SavePath(), error);
    m_session->CurrentPlayList = nullptr;
    if (PlaylistRemoved)
        PlaylistRemoved(*List);
    Lists().Delete(index);
    if (Changed)
        Changed();
    return true;
}

bool TPlayListPanel::SaveAll()
{
    bool saved = true;
    for (TVPlayList* list : PlayLists())
        saved = list->SaveToFile() && saved;
    return saved;
}

// Under the list shown; with none, the empty look.
void TPlayListPanel::On_Paint(TBitmap& Canvas) { PaintEmptyList(Canvas, m_context, CanvasRect()); }

}
