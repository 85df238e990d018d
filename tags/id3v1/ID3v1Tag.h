#pragma once
// The 128-byte ID3v1 tag at the end of a file (revisions 1.0 and 1.1) and the
// Lyrics3 v2 block that may stand in front of it.

#include "tags/io/Stream.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

// Result codes of TID3v1Tag.
enum : int {
    id3v1Success = 0,
    id3v1ErrorOpeningFile = 3,
    id3v1ErrorReading = 4,
    id3v1ErrorWriting = 5,
    id3v1NoTag = 0xFFFF, // also any other failure
};

struct TID3LyricsFrame {
    std::string ID;   // 3 characters
    std::string Data; // UTF-8 (stored one character per byte, Windows-1252)
};

class TID3v1Tag {
public:
    std::string FileName;
    bool Loaded = false;
    bool Revision1 = false; // the tag carries a track number
    std::string Title, Artist, Album, Year, Comment;
    uint8_t Track = 0;
    std::string TrackString;
    std::string Genre;
    std::vector<std::unique_ptr<TID3LyricsFrame>> LyricsFrames;
    bool LyricsHasTimeStamp = false;
    bool InhibitTracksForRandomSelection = false;
    uint32_t FLyricsTagSize = 0; // the Lyrics3 size field: "LYRICSBEGIN" and the fields
    uint64_t FFileSize = 0;

    int LoadFromFile(const std::string& fileName);
    int LoadFromStream(TStream& stream);
    // The 128 bytes at the address.
    int LoadFromMemory(const void* address);
    int SaveToFile(const std::string& fileName, bool writeLyricsTag = false);
    // Writes the 128-byte record; a tag without content is taken out of the stream instead
    // (kept, empty, only when a Lyrics3 block in front of it holds lyrics).
    int SaveToStream(TStream& stream);
    // Any text, track or genre to write.
    bool HasContent() const;
    // Reads the Lyrics3 block in front of the ID3v1 tag at the stream's end.
    bool LoadLyricsTag(TStream& stream);
    // The Lyrics3 block as it would be written.
    std::vector<uint8_t> LyricsTagBytes() const;
    bool LyricsTagSaveToStream(TStream& stream);
    void Clear();
    TID3LyricsFrame* AddLyricsFrame(const std::string& id);
    bool DeleteLyricsFrame(int index);
    TID3LyricsFrame* FindLyricsFrame(const std::string& id);
    std::string GetLyrics();
    void SetLyrics(const std::string& text);
    bool Assign(const TID3v1Tag& source);

    // Whole size of the Lyrics3 block in the file (size field + 15), 0 when none.
    uint64_t LyricsBlockSize() const { return FLyricsTagSize ? FLyricsTagSize + 15 : 0; }
};

// Size of the Lyrics3 v2 block directly in front of an ID3v1 tag ending at
// tagEnd (block including its size field and "LYRICS200"), 0 when there is none.
uint64_t FindLyrics3Block(TStream& stream, uint64_t tagEnd);

// True when the last 128 bytes are an ID3v1 tag: they begin with "TAG" and no
// APE footer ends the file (an APE tag's own bytes can put "TAG" there).
bool HasID3v1Tag(TStream& stream);

} // namespace vantor
