#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v1/ID3v1Genres.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vantor;
using namespace vantor::test;

namespace {

std::vector<uint8_t> Record(const std::string& comment, uint8_t byte126, uint8_t genre)
{
    std::vector<uint8_t> r(128, 0);
    std::memcpy(r.data(), "TAGTitle", 8);
    std::memcpy(r.data() + 97, comment.data(), std::min<size_t>(comment.size(), 30));
    r[126] = byte126 ? byte126 : r[126];
    r[127] = genre;
    return r;
}

} // namespace

TEST(ID3v1Genres, NamesAndIndices)
{
    EXPECT_EQ(ID3v1GenreName(0), "Blues");
    EXPECT_EQ(ID3v1GenreName(12), "Other");
    EXPECT_EQ(ID3v1GenreName(67), "Psychedelic");
    EXPECT_EQ(ID3v1GenreName(147), "Synthpop");
    EXPECT_EQ(ID3v1GenreName(200), "Other");
    EXPECT_EQ(ID3v1GenreIndex("Psychadelic"), 67);
    EXPECT_EQ(ID3v1GenreIndex("Synthpop"), 147);
    EXPECT_EQ(ID3v1GenreIndex("No Such Genre"), 12);
    EXPECT_EQ(ID3v1GenreIndex("rock"), 12); // exact comparison
}

TEST(ID3v1Tag, RevisionFollowsByte125)
{
    struct {
        std::string Comment;
        bool Revision1;
        uint8_t Track;
    } cases[] = {
        { "short", true, 9 },
        { std::string(29, 'c'), false, 0 },
        { std::string(30, 'c'), false, 0 },
    };
    for (const auto& c : cases) {
        auto bytes = Record(c.Comment, 9, 200);
        if (c.Comment.size() >= 29)
            std::memcpy(bytes.data() + 97, c.Comment.data(), c.Comment.size());
        TID3v1Tag tag;
        TMemoryStream stream(bytes);
        ASSERT_EQ(tag.LoadFromStream(stream), id3v1Success);
        EXPECT_EQ(tag.Revision1, c.Revision1) << c.Comment;
        EXPECT_EQ(tag.Track, c.Track);
        EXPECT_EQ(tag.Comment, c.Comment);
        EXPECT_EQ(tag.Genre, "Other");
    }
}

TEST(ID3v1Tag, NoTagAndShortStreams)
{
    TID3v1Tag tag;
    TMemoryStream none(std::vector<uint8_t>(500, 'x'));
    EXPECT_EQ(tag.LoadFromStream(none), id3v1NoTag);
    EXPECT_FALSE(tag.Loaded);
    TMemoryStream tiny(Bytes("TAG"));
    EXPECT_EQ(tag.LoadFromStream(tiny), id3v1NoTag);
    EXPECT_EQ(tag.LoadFromMemory(nullptr), id3v1NoTag);
    EXPECT_EQ(tag.LoadFromFile("/nonexistent/file.mp3"), id3v1ErrorOpeningFile);
}

TEST(ID3v1Tag, WritesAsciiCutAndPaddedAndOverwritesInPlace)
{
    TID3v1Tag tag;
    tag.Title = "Café au lait";
    tag.Artist = std::string(40, 'a');
    tag.Comment = "c";
    tag.Track = 5;
    tag.Genre = "Psychadelic";
    TMemoryStream stream(Bytes("audio"));
    ASSERT_EQ(tag.SaveToStream(stream), id3v1Success);
    ASSERT_EQ(stream.Size(), 5u + 128);
    const auto& b = stream.Bytes();
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 20), "Caf? au lait");
    EXPECT_EQ(b[5 + 33 + 29], 'a');
    EXPECT_EQ(b[5 + 126], 5);
    EXPECT_EQ(b[5 + 127], 67);

    tag.Genre = "Free text genre";
    ASSERT_EQ(tag.SaveToStream(stream), id3v1Success);
    EXPECT_EQ(stream.Size(), 5u + 128); // the old tag was overwritten
    EXPECT_EQ(stream.Bytes()[5 + 127], 12);

    TID3v1Tag back;
    ASSERT_EQ(back.LoadFromStream(stream), id3v1Success);
    EXPECT_EQ(back.Title, "Caf? au lait");
    EXPECT_EQ(back.Artist, std::string(30, 'a'));
    EXPECT_EQ(back.Track, 5);
}

TEST(ID3v1Tag, EmptyGenreIsStoredAsNone)
{
    TID3v1Tag tag;
    tag.Title = "t";
    TMemoryStream stream;
    ASSERT_EQ(tag.SaveToStream(stream), id3v1Success);
    EXPECT_EQ(stream.Bytes()[127], 0xFF);
    TID3v1Tag back;
    ASSERT_EQ(back.LoadFromStream(stream), id3v1Success);
    EXPECT_EQ(back.Genre, "");
}

TEST(ID3v1Tag, ReadsLyrics3Block)
{
    TID3v1Tag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("id3v1-lyrics3.mp3")), id3v1Success);
    EXPECT_EQ(tag.Title, "A Title Longer Than Thirty Characters"); // ETT gives the full text
    EXPECT_EQ(tag.Artist, "Artist");
    EXPECT_EQ(tag.Track, 7);
    EXPECT_EQ(tag.Genre, "Psychedelic");
    EXPECT_EQ(tag.GetLyrics(), "First line\r\nSecond line");
    EXPECT_TRUE(tag.LyricsHasTimeStamp);
    EXPECT_FALSE(tag.InhibitTracksForRandomSelection);
    EXPECT_GT(tag.FLyricsTagSize, 0u);
}

TEST(ID3v1Tag, Lyrics3RoundTripReplacesTheOldBlock)
{
    const auto dir = ScratchDir("Lyrics3RoundTrip");
    const std::string file = ScratchCopy("id3v1-lyrics3.mp3", dir);
    const auto before = ReadBytes(file);
    TID3v1Tag tag;
    ASSERT_EQ(tag.LoadFromFile(file), id3v1Success);
    tag.SetLyrics("New lyrics");
    ASSERT_EQ(tag.SaveToFile(file, true), id3v1Success);
    TID3v1Tag back;
    ASSERT_EQ(back.LoadFromFile(file), id3v1Success);
    EXPECT_EQ(back.GetLyrics(), "New lyrics");
    EXPECT_EQ(back.Title, "A Title Longer Than Thirty Characters");
    const uint64_t oldBlock = tag.LyricsBlockSize();
    EXPECT_EQ(ReadBytes(file).size(), before.size() - oldBlock + back.LyricsBlockSize());
}

TEST(ID3v1Tag, AnEmptyTagIsTakenOut)
{
    const auto lyrics3 = [](const std::string& fields) {
        const std::string body = "LYRICSBEGININD00003100" + fields;
        std::string size = std::to_string(body.size());
        return Bytes(body + std::string(6 - size.size(), '0') + size + "LYRICS200");
    };
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Block; // Lyrics3 block in front of the tag
        bool TagStays;
    } cases[] = {
        { "plain", {}, false },
        { "full title only", lyrics3("ETT00005Title"), false },
        { "lyrics", lyrics3("LYR00005words"), true },
    };
    for (const TCase& c : cases) {
        std::vector<uint8_t> bytes = Bytes("audio");
        Append(bytes, c.Block);
        Append(bytes, Record("", 3, 0));
        TMemoryStream stream(bytes);
        TID3v1Tag tag;
        ASSERT_EQ(tag.LoadFromStream(stream), id3v1Success);
        tag.Title.clear();
        tag.Track = 0;
        tag.Genre.clear();
        ASSERT_FALSE(tag.HasContent()) << c.Name;
        ASSERT_EQ(tag.SaveToStream(stream), id3v1Success) << c.Name;
        if (!c.TagStays) {
            EXPECT_EQ(stream.Bytes(), Bytes("audio")) << c.Name;
            continue;
        }
        EXPECT_EQ(stream.Size(), bytes.size()) << c.Name;
        TID3v1Tag back;
        ASSERT_EQ(back.LoadFromStream(stream), id3v1Success);
        EXPECT_EQ(back.Title, "") << c.Name;
        EXPECT_EQ(back.GetLyrics(), "words");
    }
    // Nothing to take out: nothing written.
    TMemoryStream none(Bytes("audio"));
    TID3v1Tag empty;
    EXPECT_EQ(empty.SaveToStream(none), id3v1Success);
    EXPECT_EQ(none.Bytes(), Bytes("audio"));
}

TEST(ID3v1Tag, DamagedLyrics3SizesAreIgnored)
{
    // Size fields that point before the start of the file or are not digits.
    for (const std::string size : { "999999", "00abc0", "000005" }) {
        std::vector<uint8_t> bytes = Bytes("xxLYRICSBEGININD00003110" + size + "LYRICS200");
        Append(bytes, Record("c", 1, 0));
        TMemoryStream stream(bytes);
        TID3v1Tag tag;
        ASSERT_EQ(tag.LoadFromStream(stream), id3v1Success) << size;
        EXPECT_EQ(tag.FLyricsTagSize, 0u) << size;
        EXPECT_TRUE(tag.LyricsFrames.empty());
    }
}
