#include "library/TrackData.h"

#include "base/IniFile.h"
#include "base/IniValues.h"
#include "library/ExistingFiles.h"
#include "library/FileTrash.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/TrackTexts.h"
#include "tags/Tags.h"
#include "tags/id3v1/ID3v1Genres.h"

#include <climits>
#include <filesystem>
#include <random>
#include <system_error>

namespace vantor {

namespace {

bool IsBlankOrControl(unsigned char c) { return c <= ' ' || c == 0x7F; }

std::string Trimmed(std::string_view text)
{
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlankOrControl(static_cast<unsigned char>(text[begin])))
        ++begin;
    while (end > begin && IsBlankOrControl(static_cast<unsigned char>(text[end - 1])))
        --end;
    return std::string(text.substr(begin, end - begin));
}

// "(17)" -> the name of ID3v1 genre 17; "(17)Rock" and "()" are not numbers.
std::string GenreText(const TTrackData& track, std::string genre)
{
    if (genre.find('(') != std::string::npos) {
        std::erase(genre, '(');
        std::erase(genre, ')');
        int const number = ParseIniInteger(genre, INT_MIN);
        genre = number == INT_MIN ? std::string() : ID3v1GenreName(number);
    }
    return genre.empty() ? SessionText(&track, "Unknown.Genre") : genre;
}

// Sets Lyrics and tdHasLyrics from a loaded model.
void TakeLyrics(TTrackData& track, const TTags& tags)
{
    track.Lyrics = tags.GetTag("LYRICS");
    if (!track.Lyrics.empty() && track.Lyrics != "Empty")
        track.tdHasLyrics = true;
    else
        track.Lyrics = SessionText(&track, "Lyrics.Empty");
}

size_t StringHeap(const std::string& text) { return text.capacity() > 15 ? text.capacity() + 1 : 0; }

}

TTrackData::TTrackData()
    : tdID(RandomID())
{
}

TTrackData::TTrackData(std::string id)
    : tdID(std::move(id))
{
}

std::string TTrackData::RandomID()
{
    thread_local std::mt19937 generator { std::random_device {}() };
    std::uniform_int_distribution<int> number(0, 4999);
    std::string id = std::to_string(number(generator));
    id += std::to_string(number(generator));
    id += std::to_string(number(generator));
    return id;
}

bool TTrackData::ReadTags()
{
    std::string const path = GetTag(tkFilePath);
    if (!RegularFileExists(path))
        return false;

    std::filesystem::path const file(path);
    SetTag(tkDirectory, file.parent_path().string());
    SetTag(tkFileSize, std::to_string(FileSizeOf(path)));
    std::string const fileName = file.filename().string();
    SetTag(tkFileName, fileName);
    auto const dot = fileName.rfind('.');
    FileType = dot == std::string::npos ? std::string() : fileName.substr(dot);

    try {
        TTags tags;
        // A track without its play time would show no duration: Ogg, WavPack and Musepack
        // files give theirs only when asked.
        tags.ParseOggPlayTime = true;
        tags.ParseWavPackAudioAttributes = true;
        tags.ParseMusePackAudioAttributes = true;
        // The record holds no picture: their bytes stay in the file.
        tags.DeferPictureData = true;
        tags.LoadFromFile(path);
        if (!tags.Loaded)
            return true;

        std::string title = tags.GetTag("TITLE");
        if (title.empty() || title == " ")
            title = fileName;
        SetTag(tkTrackName, Trimmed(title));

        std::string const artist = tags.GetTag("ARTIST");
        SetTag(tkArtist, artist.empty() ? SessionText(this, "Unknown.Author") : artist);
        std::string const album = tags.GetTag("ALBUM");
        SetTag(tkAlbum, album.empty() ? SessionText(this, "Unknown.Album") : album);

        std::string year = tags.GetTag("YEAR");
        for (const char* fallback : { "DATE", "RELEASEDATE", "RECORDINGDATE" }) {
            if (!year.empty())
                break;
            year = tags.GetTag(fallback);
        }
        SetTag(tkYear, year.empty() ? SessionText(this, "Unknown.Year") : year);

        TakeLyrics(*this, tags);

        uint32_t bitRate = 0;
        uint32_t sampleRate = 0;
        double playTime = 0;
        uint16_t channels = 0;
        if (tags.SourceAudioAttributes) {
            bitRate = tags.SourceAudioAttributes->BitRate();
            sampleRate = tags.SourceAudioAttributes->SamplesPerSec();
            playTime = tags.SourceAudioAttributes->PlayTime();
            channels = tags.SourceAudioAttributes->Channels();
        }
        SetTag(tkBitrate, std::to_string(bitRate));
        SetTag(tkSampleRate, std::to_string(sampleRate));
        SetTag(tkPlayTime, FormatPlayTime(playTime));
        SetTag(tkChannels, std::to_string(channels));
        UpdateDuration();

        SetTag(tkGenre, GenreText(*this, tags.GetTag("GENRE")));
        if (auto const rating = RatingFromTag(tags.GetTag("RATING")))
            SetTag(tkRating, *rating);
    } catch (const std::exception&) {
        tdTagsList.Shrink();
        return false;
    }
    tdTagsList.Shrink();
    return true;
}

std::string TTrackData::ReadLyrics(bool ForceReread)
{
    if (ForceReread)
        LyricsLoaded = false;
    if (!LyricsLoaded) {
        tdHasLyrics = false;
        try {
            TTags tags;
            tags.DeferPictureData = true;
            tags.LoadFromFile(GetTag(tkFilePath));
            LyricsLoaded = true;
            if (tags.Loaded) {
                TakeLyrics(*this, tags);
                if (tdHasLyrics && tdPlayList)
                    tdPlayList->plNeeedSave = true;
            }
        } catch (const std::exception&) {
            LyricsLoaded = false;
        }
    }
    return Lyrics;
}

void TTrackData::SaveInfo(TIniFile* DataFile) const
{
    std::unique_ptr<TIniFile> own;
    if (!DataFile) {
        if (!tdPlayList || tdPlayList->plVirtual)
            return;
        // The list may not have been saved yet, nor its folder made.
        std::filesystem::path const path = tdPlayList->SavePath();
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        own = std::make_unique<TIniFile>(path, TIniAccess::WholeFile);
        DataFile = own.get();
    }
    for (int i = 0; i < tdTagsList.Count(); ++i)
        DataFile->WriteString(tdID, tdTagsList.KeyName(i), tdTagsList.Value(tdTagsList.Entry(i)));
    DataFile->WriteBool(tdID, "HasLyrics", tdHasLyrics);
    if (own)
        own->UpdateFile();
}

void TTrackData::SaveTag(std::string_view TagID, std::string_view TagValue)
{
    std::string const path = GetTag(tkFilePath);
    try {
        TTags tags;
        tags.LoadFromFile(path);
        if (tags.Loaded) {
            tags.SetTag(std::string(TagID), std::string(TagValue));
            tags.SaveToFile(path, ttAutomatic);
        }
    } catch (const std::exception&) {
        // The record is saved below whether or not the audio file was written.
    }
    SaveInfo();
}

bool TTrackData::ShowInExplorer() const { return ShowFileInFileManager(GetTag(tkFilePath)); }

void TTrackData::UpdateDuration() { Duration = DurationTextFromPlayTime(tdTagsList.View(tkPlayTime)); }

size_t TTrackData::MemoryBytes() const
{
    return sizeof(*this) + tdTagsList.HeapBytes() + StringHeap(tdID) + StringHeap(FileType) + StringHeap(Duration)
        + StringHeap(Lyrics);
}

}
