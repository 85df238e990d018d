#include "library/PlayList.h"

#include "base/CaseFold.h"
#include "base/FileIO.h"
#include "base/IniFile.h"
#include "base/IniValues.h"
#include "base/SafeFileWriter.h"
#include "base/TextFileEncoding.h"
#include "library/ExistingFiles.h"
#include "library/FileTrash.h"
#include "library/PlayerSession.h"
#include "library/PlaylistFile.h"
#include "library/SpecialLists.h"

#include <algorithm>
#include <iterator>
#include <random>
#include <system_error>
#include <thread>
#include <unordered_set>

namespace vantor {

namespace {

constexpr char kSettingsSection[] = "#Settings";
constexpr char kLinkedSection[] = "#Linked";

// Playlist files with this many sections or more are read by two threads.
constexpr size_t kSectionsForTwoThreads = 4096;

int RandomNumber(int max)
{
    thread_local std::mt19937 generator { std::random_device {}() };
    return std::uniform_int_distribution<int>(0, max)(generator);
}

bool FolderExists(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(path, error);
}

void RepaintBottomBar(const TPlayerSession& session)
{
    if (session.Hooks.RepaintBottomBar)
        session.Hooks.RepaintBottomBar();
}

}

std::string RandomPlaylistFileName()
{
    std::string name = "Playlist [";
    name += std::to_string(RandomNumber(49999));
    name += "].vpl";
    return name;
}

std::string RandomPlaylistID()
{
    std::string id = "#";
    id += std::to_string(RandomNumber(50399));
    return id;
}

TVPlayList::TVPlayList(TPlayerSession& session)
    : plFileName(RandomPlaylistFileName())
    , plCaption(session.Text("PlayList.PlayList"))
    , plID(RandomPlaylistID())
    , m_session(&session)
{
}

TVPlayList::~TVPlayList()
{
    // The workers go first: they read this list until they have ended.
    if (vfIconThread) {
        vfIconThread->Abort();
        vfIconThread.reset();
    }
    if (vfLoadThread) {
        vfLoadThread->Abort();
        vfLoadThread.reset();
    }
    if (m_session->CurrentPlayList == this)
        m_session->CurrentPlayList = nullptr;
    m_session->Special.Forget(this);
    for (auto& track : plDataList)
        m_session->ReleaseTrack(*track);
    m_groups.clear(); // the rows go before the tracks they show
}

void TVPlayList::SetIdentity(
    const std::string& controlID, const std::string& fileName, const std::string& captionKey, const std::string& icon)
{
    m_controlID = controlID;
    plFileName = fileName;
    plCaption = m_session->Text(captionKey);
    plIcon = icon;
    plCanRename = false;
    plCanDelete = false;
    plPath = (std::filesystem::path(m_session->AppPath()) / kPlaylistsFolder / fileName).string();
}

std::string TVPlayList::LoadingText() const
{
    std::lock_guard lock(m_loadingTextLock);
    return m_loadingText;
}

void TVPlayList::SetLoadingText(std::string_view text)
{
    std::lock_guard lock(m_loadingTextLock);
    m_loadingText.assign(text);
}

// ---- Files ---------------------------------------------------------------------------------

std::filesystem::path TVPlayList::SavePath() const
{
    // Only the name part: a name read from a file never points outside the folder.
    return std::filesystem::path(m_session->AppPath()) / kPlaylistsFolder
        / std::filesystem::path(plFileName).filename();
}

void TVPlayList::LoadSettings()
{
    if (!RegularFileExists(plPath))
        return;
    plFileName = std::filesystem::path(plPath).filename().string();
    LoadSettings(TPlaylistFile::FromPath(plPath, { kSettingsSection, kLinkedSection }));
}

void TVPlayList::LoadSettings(const TPlaylistFile& file)
{
    if (plCanRename)
        plCaption = file.Value(kSettingsSection, "Caption", "My Playlist");
    plID = file.Value(kSettingsSection, "ID", "");
    int const mode = ParseIniInteger(file.Value(kSettingsSection, "GroupMode"), gmArtist);
    plGroupMode = mode >= 0 && mode < kGroupModeCount ? static_cast<TGroupMode>(mode) : gmArtist;
    vtShuffle = ParseIniBool(file.Value(kSettingsSection, "Shuffle"), false);
    vtRepeat = ParseIniBool(file.Value(kSettingsSection, "Repeat"), false);
    plScroll = ParseIniInteger(file.Value(kSettingsSection, "Scroll"), 0);
    plLinkedFolders.clear();
    if (TPlaylistFile::TSection const* const linked = file.Find(kLinkedSection)) {
        for (auto const& [key, folder] : linked->Values()) {
            if (FolderExists(std::string(folder)))
                plLinkedFolders.emplace_back(folder);
        }
    }
}

void TVPlayList::LoadFromFile(const std::string& Path)
{
    std::vector<TAbsentSection> absent;
    AppendTracks(ReadTracksFile(Path, &absent), true);
    KeepAbsentSections(std::move(absent));
}

void TVPlayList::KeepAbsentSections(std::vector<TAbsentSection> sections)
{
    m_absent.insert(m_absent.end(), std::make_move_iterator(sections.begin()), std::make_move_iterator(sections.end()));
}

std::vector<std::unique_ptr<TTrackData>> TVPlayList::ReadTracksFile(
    const std::string& Path, std::vector<TAbsentSection>* absent)
{
    if (!RegularFileExists(Path))
        return {};
    return ReadTracks(TPlaylistFile::FromPath(Path), absent);
}

std::vector<std::unique_ptr<TTrackData>> TVPlayList::ReadTracks(
    const TPlaylistFile& file, std::vector<TAbsentSection>* absent)
{
    size_t const count = file.Sections().size();
    plLoadingMax = static_cast<int32_t>(count);
    std::vector<std::unique_ptr<TTrackData>> tracks;
    if (count < kSectionsForTwoThreads) {
        tracks = ReadSections(file, 0, count, true, absent);
    } else {
        // A big file is read by two threads, one half each; most of the time goes into
        // making the records, which the two do side by side. The records keep file order.
        size_t const half = count / 2;
        std::vector<std::unique_ptr<TTrackData>> second;
        std::vector<TAbsentSection> secondAbsent;
        {
            std::jthread helper(
                [&] { second = ReadSections(file, half, count, false, absent ? &secondAbsent : nullptr); });
            tracks = ReadSections(file, 0, half, true, absent);
        }
        tracks.reserve(tracks.size() + second.size());
        std::move(second.begin(), second.end(), std::back_inserter(tracks));
        if (absent)
            std::move(secondAbsent.begin(), secondAbsent.end(), std::back_inserter(*absent));
    }
    RepaintBottomBar(*m_session);
    return tracks;
}

std::vector<std::unique_ptr<TTrackData>> TVPlayList::ReadSections(
    const TPlaylistFile& file, size_t begin, size_t end, bool report, std::vector<TAbsentSection>* absent)
{
    std::vector<std::unique_ptr<TTrackData>> tracks;
    auto const& sections = file.Sections();
    tracks.reserve(end - begin);
    TExistingFiles existing;
    std::vector<TPlaylistFile::TValue> values; // of the current section, reused
    std::string progress;
    for (size_t i = begin; i < end; ++i) {
        TPlaylistFile::TSection const& section = sections[i];
        // The reporting thread stands for the whole file: its place in its share, scaled.
        size_t const position = (i - begin) * sections.size() / (end - begin);
        if (report)
            plLoadingPos = static_cast<int32_t>(position);
        if (section.Name == kSettingsSection)
            continue;
        values.assign(section.Values().begin(), section.Values().end());
        std::string_view path;
        size_t textBytes = 0;
        for (auto const& [key, value] : values) {
            if (path.empty() && EqualsNoCase(key, "FilePath"))
                path = value;
            textBytes += value.size();
        }
        if (!path.empty() && existing.IsRegularFile(path)) {
            auto track = std::make_unique<TTrackData>(std::string(section.Name));
            track->tdPlayList = this;
            track->tdTagsList.Reserve(values.size(), textBytes);
            for (auto const& [key, value] : values)
                track->SetTag(key, value);
            TTrackTags const& tags = track->tdTagsList;
            if (report) {
                progress.assign(std::to_string(position + 1));
                progress += " / ";
                progress += std::to_string(sections.size());
                progress += " : ";
                progress += tags.View(tkFileName);
                SetLoadingText(progress);
            }
            track->tdPlayCount = ParseIniInteger(tags.View(tkPlayCount), 0);
            track->tdHasLyrics = ParseIniBool(tags.View(tkHasLyrics), false);
            track->UpdateDuration();
            tracks.push_back(std::move(track));
        } else if (!path.empty() && absent) {
            TAbsentSection& kept = absent->emplace_back();
            kept.Name = section.Name;
            for (auto const& [key, value] : values)
                kept.Values.emplace_back(key, value);
        }
        if (report)
            RepaintBottomBar(*m_session);
    }
    return tracks;
}

bool TVPlayList::SaveToFile()
{
    if (plVirtual)
        return true;
    std::filesystem::path const path = SavePath();
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    // A file that exists but cannot be read is never overwritten: its tracks were never seen.
    std::optional<TFileBytes> const old = TFileBytes::Read(path);
    if (!old && std::filesystem::exists(path, error))
        return false;
    std::string_view const oldBytes = old ? old->View() : std::string_view();
    // Plain UTF-8, the common case, is its own text; other encodings are decoded first.
    bool const plain = IsPlainUtf8(oldBytes);
    TDecodedText decoded;
    if (!plain)
        decoded = DecodeTextFile(oldBytes);
    std::string_view const oldText = plain ? oldBytes : std::string_view(decoded.text);

    TPlaylistWriter writer;
    std::vector<std::string_view> oldSettings;
    if (plNeeedSave) {
        size_t room = 4096;
        for (auto const& track : plDataList)
            room += track->tdID.size() + track->tdTagsList.HeapBytes() + 32;
        for (TAbsentSection const& section : m_absent)
            for (auto const& [key, value] : section.Values)
                room += key.size() + value.size() + 2;
        writer.Reserve(room);
        for (auto const& track : plDataList) {
            if (!writer.Section(track->tdID))
                continue;
            TTrackTags const& tags = track->tdTagsList;
            for (int i = 0; i < tags.Count(); ++i) {
                if (tags.Entry(i).Fold != tkHasLyrics)
                    writer.Value(tags.KeyName(i), tags.Value(tags.Entry(i)));
            }
            writer.Value("HasLyrics", FormatIniBool(track->tdHasLyrics));
        }
        for (TAbsentSection const& section : m_absent) {
            auto const path = std::find_if(section.Values.begin(), section.Values.end(),
                [](auto const& value) { return EqualsNoCase(value.first, "FilePath"); });
            if (path != section.Values.end() && TrackExists(path->second) >= 0)
                continue; // the file is back in the list as a track of its own
            if (!writer.Section(section.Name))
                continue;
            for (auto const& [key, value] : section.Values)
                writer.Value(key, value);
        }
    } else {
        // The track sections stay exactly as they are; settings and linked folders are
        // written anew after them, keeping settings keys this program does not know.
        writer.Reserve(oldText.size() + 4096);
        KeepLinesOutside(oldText, { kSettingsSection, kLinkedSection }, oldSettings, writer);
    }
    writer.Section(kSettingsSection);
    writer.Value("Caption", plCaption);
    writer.Value("ID", plID);
    writer.Value("GroupMode", FormatIniInteger(plGroupMode));
    writer.Value("Shuffle", FormatIniBool(vtShuffle));
    writer.Value("Repeat", FormatIniBool(vtRepeat));
    writer.Value("Scroll", FormatIniInteger(plScroll));
    for (std::string_view const line : oldSettings) {
        std::string_view const key = line.substr(0, line.find('='));
        bool known = false;
        for (const char* name : { "Caption", "ID", "GroupMode", "Shuffle", "Repeat", "Scroll" })
            known = known || EqualsNoCase(TrimIniBlanks(key), name);
        if (!known)
            writer.RawLine(line);
    }
    writer.Section(kLinkedSection);
    for (size_t i = 0; i < plLinkedFolders.size(); ++i)
        writer.Value(std::to_string(i), plLinkedFolders[i]);

    std::string text = writer.TakeText();
    if (old && DetectLineEnding(oldText) == TLineEnding::CRLF) {
        std::string crlf;
        crlf.reserve(text.size() + text.size() / 16);
        for (char const c : text) {
            if (c == '\n')
                crlf += '\r';
            crlf += c;
        }
        text = std::move(crlf);
    }
    std::string const bytes = plain ? std::move(text) : EncodeTextFile(text, decoded.encoding);
    // An unchanged list (the common case at shutdown) leaves its file alone.
    if (!(old && oldBytes == bytes) && !ReplaceFileContents(path, bytes))
        return false; // plNeeedSave stays set: the tracks are written at the next save
    plNeeedSave = false;
    // A list that was never saved is found through this file from now on (and deleting the
    // list deletes it).
    if (plPath.empty())
        plPath = path.string();
    return true;
}

// ---- Tracks --------------------------------------------------------------------------------

void TVPlayList::MakeIDsUnique(std::vector<std::unique_ptr<TTrackData>>& tracks)
{
    std::unordered_set<std::string_view> used;
    used.reserve(tracks.size());
    for (auto& track : tracks) {
        while (track->tdID.empty() || used.contains(track->tdID))
            track->tdID = TTrackData::RandomID();
        used.insert(track->tdID);
    }
}

void TVPlayList::AppendTracks(std::vector<std::unique_ptr<TTrackData>> tracks, bool IDsUnique)
{
    if (tracks.empty())
        return;
    plDataList.reserve(plDataList.size() + tracks.size());
    // The first tracks of a list (its file) need no index: only their own IDs can clash.
    if (plDataList.empty() && !m_indexed) {
        if (!IDsUnique)
            MakeIDsUnique(tracks);
        for (auto& track : tracks) {
            track->tdPlayList = this;
            plDataList.push_back(std::move(track));
        }
        return;
    }
    EnsureIndex();
    for (auto& track : tracks) {
        while (track->tdID.empty() || m_byID.contains(track->tdID))
            track->tdID = TTrackData::RandomID();
        track->tdPlayList = this;
        plDataList.push_back(std::move(track));
        IndexTrack(plDataList.back().get());
    }
}

uint64_t TVPlayList::PathKey(std::string_view Path) { return std::hash<std::string> {}(FoldCase(Path)); }

void TVPlayList::IndexTrack(TTrackData* track) const
{
    m_byID.emplace(track->tdID, track);
    m_byPath.emplace(PathKey(track->tdTagsList.View(tkFilePath)), track);
}

void TVPlayList::EnsureIndex() const
{
    if (m_indexed)
        return;
    m_byID.reserve(plDataList.size());
    m_byPath.reserve(plDataList.size());
    for (auto const& track : plDataList)
        IndexTrack(track.get());
    m_indexed = true;
}

std::vector<uint64_t> TVPlayList::PathKeys() const
{
    EnsureIndex();
    std::vector<uint64_t> keys;
    keys.reserve(m_byPath.size());
    for (auto const& entry : m_byPath)
        keys.push_back(entry.first);
    return keys;
}

TTrackData* TVPlayList::AppendTrack(std::unique_ptr<TTrackData> track)
{
    TTrackData* const added = track.get();
    std::vector<std::unique_ptr<TTrackData>> one;
    one.push_back(std::move(track));
    AppendTracks(std::move(one));
    return added;
}

void TVPlayList::ClearList()
{
    for (auto& track : plDataList)
        m_session->ReleaseTrack(*track);
    plShuffleList.clear();
    ++m_groupsVersion;
    m_groups.clear();
    m_letters.clear();
    LastGroupData = nullptr;
    plDataList.clear();
    m_byID.clear();
    m_byPath.clear();
    m_indexed = false;
    plSelCount = 0;
    m_absent.clear();
}

TTrackData* TVPlayList::GetTrackData(int Index) const
{
    if (Index < 0 || Index >= TrackCount())
        return nullptr;
    return plDataList[static_cast<size_t>(Index)].get();
}

bool TVPlayList::GetTrackData(const std::string& TrackDataID, TTrackData*& TrackData) const
{
    EnsureIndex();
    auto const found = m_byID.find(TrackDataID);
    TrackData = found == m_byID.end() ? nullptr : found->second;
    return TrackData != nullptr;
}

int TVPlayList::TrackExists(const std::string& Path) const
{
    EnsureIndex();
    auto [candidate, end] = m_byPath.equal_range(PathKey(Path));
    TTrackData const* first = nullptr;
    size_t firstIndex = plDataList.size();
    for (; candidate != end; ++candidate) {
        if (!EqualsNoCase(candidate->second->tdTagsList.View(tkFilePath), Path))
            continue;
        // Equal paths may be listed more than once; the first in list order counts.
        auto const at = std::find_if(plDataList.begin(), plDataList.end(),
            [track = candidate->second](auto const& t) { return t.get() == track; });
        size_t const index = static_cast<size_t>(at - plDataList.begin());
        if (index < firstIndex) {
            firstIndex = index;
            first = candidate->second;
        }
    }
    return first ? static_cast<int>(firstIndex) : -1;
}

int TVPlayList::TrackExists(const TTrackData& TrackData) const { return TrackExists(TrackData.GetTag(tkFilePath)); }

void TVPlayList::RemoveItem(TItemData* ItemData, bool DeleteFile)
{
    if (ItemData && ItemData->idTrackData)
        RemoveTrack(ItemData->idTrackData, DeleteFile);
}

void TVPlayList::RemoveTrack(TTrackData* TrackData, bool DeleteFile)
{
    if (!TrackData || TrackData->tdPlayList != this)
        return;
    if (DeleteFile) {
        if (TrackData == m_session->CurrentTrack && m_session->Hooks.StopPlayback)
            m_session->Hooks.StopPlayback();
        std::string const path = TrackData->GetTag(tkFilePath);
        if (RegularFileExists(path)) {
            if (m_session->Hooks.MoveToTrash)
                m_session->Hooks.MoveToTrash(path);
            else
                MoveFileToTrash(path);
        }
    }
    m_session->ReleaseTrack(*TrackData);
    RemoveTrackData(TrackData);
    plNeeedSave = true;
}

void TVPlayList::RemoveTrackData(TTrackData* TrackData)
{
    if (TItemData* const row = std::exchange(TrackData->tdItemData, nullptr)) {
        TGroupData* const group = row->idGroupData;
        ++m_groupsVersion;
        if (group && group->RemoveRow(row) && group->RowCount() == 0)
            RemoveGroup(group);
        // The rows behind it move up in the play order: next, the wheel and the scroll bar
        // find rows by their place.
        RenumberRows();
    }
    std::erase(plShuffleList, TrackData);
    if (m_indexed) {
        m_byID.erase(TrackData->tdID);
        auto [entry, end] = m_byPath.equal_range(PathKey(TrackData->tdTagsList.View(tkFilePath)));
        for (; entry != end; ++entry)
            if (entry->second == TrackData) {
                m_byPath.erase(entry);
                break;
            }
    }
    std::erase_if(plDataList, [TrackData](const std::unique_ptr<TTrackData>& t) { return t.get() == TrackData; });
}

void TVPlayList::CheckForFavorites()
{
    TVPlayList const* const favorites = m_session->Special.Favorites;
    if (!favorites || favorites->plDataList.empty())
        return;
    std::unordered_set<std::string> paths;
    for (auto const& track : favorites->plDataList)
        paths.insert(FoldCase(track->tdTagsList.View(tkFilePath)));
    for (auto const& track : plDataList) {
        if (paths.contains(FoldCase(track->tdTagsList.View(tkFilePath))))
            track->IsFavorite = true;
    }
}

}
