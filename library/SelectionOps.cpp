#include "library/SelectionOps.h"

#include "library/FileTrash.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "platform/shell/Shell.h"
#include "platform/window/MessageBox.h"

#include <algorithm>
#include <filesystem>

namespace vantor {

namespace {

std::vector<std::string> PathsLastToFirst(const TTrackSelection& selection)
{
    std::vector<std::string> paths;
    for (auto it = selection.Entries().rbegin(); it != selection.Entries().rend(); ++it)
        paths.push_back((*it)->GetTag(tkFilePath));
    return paths;
}

// Trashes the track's file (when it exists) and removes the track from its list. False, with
// the track left where it is, when the file exists but could not be moved.
bool TrashAndRemove(TTrackData& track)
{
    TVPlayList* const list = track.tdPlayList;
    if (!list)
        return false;
    TPlayerSession& session = list->Session();
    if (&track == session.CurrentTrack && session.Hooks.StopPlayback)
        session.Hooks.StopPlayback();
    std::string const path = track.GetTag(tkFilePath);
    std::error_code error;
    if (std::filesystem::exists(path, error)) {
        bool const moved = session.Hooks.MoveToTrash ? session.Hooks.MoveToTrash(path) : MoveFileToTrash(path);
        if (!moved)
            return false;
    }
    list->RemoveTrack(&track, false);
    return true;
}

}

TTrackSelection::TTrackSelection(TPlayerSession& session)
    : m_session(&session)
{
    m_session->RegisterTrackHolder(this);
}

TTrackSelection::~TTrackSelection()
{
    m_session->UnregisterTrackHolder(this);
    for (TTrackData* track : m_entries)
        track->tdSelected = false;
}

void TTrackSelection::Add(TTrackData& track)
{
    track.tdSelected = true;
    if (std::find(m_entries.begin(), m_entries.end(), &track) != m_entries.end())
        return;
    m_entries.push_back(&track);
    if (EntryAdded)
        EntryAdded(track);
}

void TTrackSelection::Remove(TTrackData& track)
{
    track.tdSelected = false;
    auto const it = std::find(m_entries.begin(), m_entries.end(), &track);
    if (it == m_entries.end())
        return;
    m_entries.erase(it);
    if (EntryRemoved)
        EntryRemoved(track);
}

void Select(TVPlayList& list, TSelectOption option, TTrackSelection& selection)
{
    for (TGroupData* group : list.plGroups) {
        for (TItemData* row : group->Rows()) {
            if (!row || !row->idTrackData)
                continue;
            TTrackData& track = *row->idTrackData;
            bool const select = option == selAll || (option == selInvert && !track.tdSelected);
            if (select)
                selection.Add(track);
            else
                selection.Remove(track);
        }
    }
    list.plSelCount = CountSelected(list);
}

int CountSelected(const TVPlayList& list)
{
    int count = 0;
    for (const auto& track : list.plDataList)
        if (track->tdSelected && track->tdItemData)
            ++count;
    return count;
}

bool CopySelected(const TTrackSelection& selection, IShell& shell)
{
    return !selection.Empty() && shell.PutFilesOnClipboard(PathsLastToFirst(selection), TClipboardVerb::cvCopy);
}

bool CutSelected(const TTrackSelection& selection, IShell& shell)
{
    return !selection.Empty() && shell.PutFilesOnClipboard(PathsLastToFirst(selection), TClipboardVerb::cvCut);
}

size_t DeleteSelected(TTrackSelection& selection, IMessageBox& messages)
{
    if (selection.Empty())
        return 0;
    TPlayerSession const& session = selection.Session();
    std::string const text = session.Text("Messages.FileDelete?") + " [" + std::to_string(selection.Count()) + "] "
        + session.Text("Messages.Files") + "?";
    if (!messages.AskYesNo(text, session.Text("Messages.FileDelete")))
        return 0;
    // A snapshot: removing a track takes its entry out of the selection, and a track whose
    // file stays keeps its entry.
    std::vector<TTrackData*> const entries = selection.Entries();
    size_t removed = 0;
    for (TTrackData* track : entries)
        if (TrashAndRemove(*track))
            ++removed;
    return removed;
}

bool DeleteTrack(TTrackData& track, IMessageBox& messages)
{
    std::string const text = SessionText(&track, "Messages.FileDelete?") + " [" + track.GetTag(tkFileName) + "] "
        + SessionText(&track, "Messages.File") + "?";
    if (!messages.AskYesNo(text, SessionText(&track, "Messages.FileDelete")))
        return false;
    return TrashAndRemove(track);
}

void RemoveSelected(TTrackSelection& selection)
{
    std::vector<TTrackData*> const entries = selection.Entries();
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        TTrackData* const track = *it;
        if (track->tdPlayList)
            track->tdPlayList->RemoveTrack(track, false);
        else
            selection.Remove(*track);
    }
    TPlayerSession& session = selection.Session();
    if (TVPlayList* const current = session.CurrentPlayList) {
        current->plSelCount = CountSelected(*current);
        if (session.LoaderHooks.Arrange)
            session.LoaderHooks.Arrange(*current);
    }
}

}
