#pragma once

// TTrackData: one audio file as the player knows it: its dictionary of text values (filled
// from the file system and the file's tags, or read from a playlist file), its play, queue,
// selection and favourite state, and non-owning links to the row and list that show it.

#include "library/TrackTags.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantor {

class TIniFile;
class TItemData;
class TQueueItem;
class TSmartCtrl;
class TVPlayList;

class TTrackData {
public:
    // A record with a fresh random tdID and an empty dictionary.
    TTrackData();
    // A record with the given tdID (read from a playlist file).
    explicit TTrackData(std::string id);
    TTrackData(const TTrackData&) = delete;
    TTrackData& operator=(const TTrackData&) = delete;

    // Three random integers in 0..4999 written one after the other.
    static std::string RandomID();

    std::string tdID;     // section name in the playlist file, key in queue files
    std::string FileType; // extension with the dot, as written in the path
    std::string Duration; // play time as display text ("03:25", "01:02:05")
    bool idPlaying = false;
    bool IsFavorite = false;
    bool tdSelected = false;
    bool tdVisible = true;
    bool tdHasLyrics = false;
    bool LyricsLoaded = false;
    int32_t QueueNumber = 0; // 1-based queue position; 0 or -1 when not queued
    int32_t tdPlayCount = 0;
    TItemData* tdItemData = nullptr;      // non-owning: the row showing the record
    TVPlayList* tdPlayList = nullptr;     // non-owning: the owning playlist
    TSmartCtrl* tdSelectedItem = nullptr; // non-owning: entry on the selection page
    TQueueItem* tdQueueItem = nullptr;    // non-owning: entry in the play queue
    std::string Lyrics = "Empty";
    TTrackTags tdTagsList;

    // The value of the first entry whose key equals TagID without regard to case.
    std::string GetTag(std::string_view TagID, std::string_view defValue = {}) const
    {
        return tdTagsList.Get(TagID, defValue);
    }
    std::string GetTag(TKnownKey TagID, std::string_view defValue = {}) const
    {
        return tdTagsList.Get(TagID, defValue);
    }
    // Replaces the first matching entry's value (keeping its spelling) or appends one.
    void SetTag(std::string_view TagID, std::string_view Value) { tdTagsList.Set(TagID, Value); }
    void SetTag(TKnownKey TagID, std::string_view Value) { tdTagsList.Set(TagID, Value); }

    // Fills the dictionary from the file system and the file's tags. False when no file
    // exists at "FilePath" (nothing changes then) or the tag library failed (the file-system
    // keys stay set). Any thread: touches only this record.
    bool ReadTags();
    // The lyrics, read from the file the first time (or again when ForceReread). Finding
    // lyrics marks the owning playlist for rewriting.
    std::string ReadLyrics(bool ForceReread);
    // Writes the record's section (its dictionary, then "HasLyrics") into DataFile, or, when
    // null, into its playlist's file, which is read and written back here.
    void SaveInfo(TIniFile* DataFile = nullptr) const;
    // Writes one field into the audio file, then the record into its playlist file. The
    // record's own dictionary is left to the caller.
    void SaveTag(std::string_view TagID, std::string_view TagValue);
    // Opens the file manager with the file selected.
    bool ShowInExplorer() const;
    // Sets Duration from "PlayTime".
    void UpdateDuration();
    // Memory held by the record and its dictionary, for the benchmark.
    size_t MemoryBytes() const;
};

}
