#include "library/PlayQueue.h"

#include "base/IniFile.h"
#include "library/FolderScan.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/TrackData.h"

#include <algorithm>
#include <random>
#include <system_error>
#include <unordered_map>

namespace vantor {

namespace {

constexpr char kOptionsSection[] = "#Options";

}

TQueueItem::TQueueItem(TCreateKey key)
    : TSmartCtrl(key)
{
}

TPlayQueue::TPlayQueue(TPlayerSession& session)
    : m_session(&session)
{
    m_session->RegisterTrackHolder(this);
}

TPlayQueue::~TPlayQueue()
{
    m_session->UnregisterTrackHolder(this);
    for (int i = 0; i < Count(); ++i) {
        if (TTrackData* const track = Track(i); track && track->tdQueueItem == Item(i))
            track->tdQueueItem = nullptr;
    }
}

TQueueItem* TPlayQueue::Item(int index) const { return static_cast<TQueueItem*>(vtQueueList.Control(index)); }

TTrackData* TPlayQueue::Track(int index) const
{
    TQueueItem* const item = Item(index);
    return item ? item->qiTrackData : nullptr;
}

void TPlayQueue::AddToQueue(TTrackData* TrackData)
{
    if (!TrackData)
        return;
    auto item = TSmartCtrl::Create<TQueueItem>();
    item->qiTrackData = TrackData;
    item->qiPlayList = TrackData->tdPlayList;
    item->qiCaption = TrackData->GetTag(tkTrackName);
    item->qiAlbum = TrackData->GetTag(tkArtist);
    TrackData->tdQueueItem = static_cast<TQueueItem*>(vtQueueList.AddControl(std::move(item)));
    UpdateQueue();
}

void TPlayQueue::RemoveFromQueue(TTrackData* TrackData)
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (Track(i) != TrackData)
            continue;
        TrackData->QueueNumber = 0;
        TrackData->tdQueueItem = nullptr;
        vtQueueList.Delete(i);
        // Entries before QueueIndex have been played; removing one of them must not make the
        // queue skip the entry that was to play next.
        if (i < m_session->QueueIndex)
            --m_session->QueueIndex;
        UpdateQueue();
        return;
    }
}

void TPlayQueue::UpdateQueue()
{
    for (int i = 0; i < Count(); ++i) {
        if (TTrackData* const track = Track(i))
            track->QueueNumber = i + 1;
    }
    if (Changed)
        Changed();
}

void TPlayQueue::ClearQueue()
{
    for (int i = 0; i < Count(); ++i) {
        if (TTrackData* const track = Track(i)) {
            track->QueueNumber = -1;
            track->tdQueueItem = nullptr;
        }
    }
    vtQueueList.Clear();
    m_session->QueueIndex = 0;
    if (Changed)
        Changed();
}

void TPlayQueue::ReleaseTrack(TTrackData& track)
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (Track(i) == &track)
            RemoveFromQueue(&track);
    }
}

std::string TPlayQueue::SaveQueueFile(
    const std::filesystem::path& folder, const std::string& Caption, const std::string& Description) const
{
    if (Caption.empty())
        return {};
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error))
        return {};
    // An existing file would merge two queues: draw until the name is free.
    thread_local std::mt19937 generator { std::random_device {}() };
    std::uniform_int_distribution<int> number(0, 50633);
    std::filesystem::path path;
    do
        path = folder / ("Queue [" + std::to_string(number(generator)) + "].vqf");
    while (std::filesystem::exists(path, error) || std::filesystem::is_symlink(path, error));

    TIniFile file(path, TIniAccess::WholeFile);
    file.WriteString(kOptionsSection, "Caption", Caption);
    file.WriteString(kOptionsSection, "Description", Description);
    file.WriteInteger(kOptionsSection, "Count", Count());
    // One section per list, in the order each list first occurs in the queue.
    for (int i = 0; i < Count(); ++i) {
        TTrackData const* const track = Track(i);
        if (track && track->tdPlayList)
            file.WriteString(track->tdPlayList->plID, track->tdID, track->GetTag(tkFileName));
    }
    return file.UpdateFile() ? path.string() : std::string();
}

int TPlayQueue::LoadQueueFile(const std::filesystem::path& path, const std::vector<TVPlayList*>& lists)
{
    return LoadQueue(TIniFile(path, TIniAccess::WholeFile), lists);
}

int TPlayQueue::LoadQueue(const TIniFile& file, const std::vector<TVPlayList*>& lists)
{
    ClearQueue();
    int added = 0;
    for (std::string const& section : file.ReadSections()) {
        if (section == kOptionsSection)
            continue;
        // The first list with that ID, as the panel finds it.
        auto const found = std::find_if(lists.begin(), lists.end(), [&](TVPlayList* l) { return l->plID == section; });
        if (found == lists.end())
            continue;
        TVPlayList* const list = *found;
        std::unordered_map<std::string, TTrackData*> byID;
        byID.reserve(list->plDataList.size());
        for (auto const& track : list->plDataList)
            byID.emplace(track->tdID, track.get());
        for (std::string const& key : file.ReadSection(section)) {
            auto const found = byID.find(key);
            if (found == byID.end())
                continue;
            found->second->QueueNumber = ++added;
            AddToQueue(found->second);
        }
    }
    return added;
}

std::vector<TQueueFileInfo> TPlayQueue::ListQueueFiles(const std::filesystem::path& folder)
{
    std::vector<std::string> files;
    CollectFilesNamed(folder, ".vqf", files);
    std::vector<TQueueFileInfo> list;
    for (auto const& path : files) {
        TIniFile const file(path, TIniAccess::WholeFile);
        list.push_back({ file.ReadString(kOptionsSection, "Caption", "Queue"),
            file.ReadString(kOptionsSection, "Description", "My Birthday Queue"),
            file.ReadString(kOptionsSection, "Count", "0"), path });
    }
    return list;
}

// ---- History ---------------------------------------------------------------------------------

THistory::THistory(TPlayerSession& session)
    : m_session(&session)
{
    m_session->RegisterTrackHolder(this);
}

THistory::~THistory() { m_session->UnregisterTrackHolder(this); }

void THistory::AddToHistory(TTrackData* TrackData)
{
    if (!TrackData)
        return;
    while (!vtHistoryList.empty() && Count() >= m_session->HistoryLimit)
        vtHistoryList.erase(vtHistoryList.begin());
    vtHistoryList.push_back(TrackData);
    vtHistoryIDX = Count() - 1;
}

void THistory::ReleaseTrack(TTrackData& track)
{
    for (int i = Count() - 1; i >= 0; --i) {
        if (vtHistoryList[static_cast<size_t>(i)] != &track)
            continue;
        vtHistoryList.erase(vtHistoryList.begin() + i);
        if (i < vtHistoryIDX)
            --vtHistoryIDX;
    }
    vtHistoryIDX = std::max(0, std::min(vtHistoryIDX, Count() - 1));
}

}
