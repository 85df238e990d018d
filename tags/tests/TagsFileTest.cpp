#include "tags/Tags.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <unistd.h>

using namespace vantor;
using namespace vantor::test;

namespace {

std::vector<std::string> Values(TTags& tags, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& t : tags.Tags)
        if (t->Name == name)
            values.push_back(t->Value);
    return values;
}

// Deletes every field and picture, the way a user empties a file's tags.
void DeleteEverything(TTags& tags)
{
    while (tags.Count() > 0)
        tags.Delete(tags.Count() - 1);
    tags.DeleteAllCoverArts();
}

} // namespace

TEST(TagsFile, FileWithoutTagsLoadsEmpty)
{
    TTags tags;
    EXPECT_EQ(tags.LoadFromFile(Fixture("plain.mp3")), tlSuccess);
    EXPECT_FALSE(tags.Loaded);
    EXPECT_EQ(tags.Count(), 0);
    EXPECT_EQ(tags.FileName, Fixture("plain.mp3"));
}

TEST(TagsFile, ID3v1AndLyrics3)
{
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(Fixture("id3v1-lyrics3.mp3")), tlSuccess);
    EXPECT_TRUE(tags.Loaded);
    EXPECT_EQ(tags.GetTag("TITLE"), "A Title Longer Than Thirty Characters");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "7");
    EXPECT_EQ(tags.GetTag("GENRE"), "Psychedelic");
    EXPECT_EQ(tags.Size(), 128u);
}

TEST(TagsFile, APEv2TrackSplitAndPicture)
{
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(Fixture("ape-v2.xyz")), tlSuccess);
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    EXPECT_EQ(tags.Exists("Data"), -1); // binary items stay native
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Name, "Cover Art (Front)");
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/jpeg");
    EXPECT_EQ(tags.CoverArts[0]->Description, "front.jpg");
    EXPECT_EQ(tags.CoverArts[0]->CoverType, 3u);
}

TEST(TagsFile, APEv2AtTheEndIsNoID3v1AndKeepsItsMultiValueItem)
{
    // The APE header's "TAG" lies 128 bytes before the end; the artist item holds two values.
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(Fixture("ape-at-end.mp3")), tlSuccess);
    EXPECT_FALSE(tags.ID3v1Tag->Loaded);
    EXPECT_EQ(tags.GetTag("Title"), "Twenty-eight bytes of title.");
    EXPECT_EQ(Values(tags, "Artist"), (std::vector<std::string> { "piman", "jzig" }));
    EXPECT_EQ(tags.Count(), 3);

    // Saved back, the fields of one name are one item again, and no ID3v1 tag appears.
    const auto dir = ScratchDir("APEv2AtTheEnd");
    const std::string file = ScratchCopy("ape-at-end.mp3", dir);
    {
        TTags edit;
        ASSERT_EQ(edit.LoadFromFile(file), tlSuccess);
        edit.Add("Artist")->Value = "third";
        ASSERT_EQ(edit.SaveToFile(file, ttAPEv2), tlSuccess);
    }
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_FALSE(back.ID3v1Tag->Loaded);
    EXPECT_EQ(Values(back, "ARTIST"), (std::vector<std::string> { "piman", "jzig", "third" }));
    int artistItems = 0;
    for (const auto& frame : back.APEv2Tag->Frames)
        artistItems += frame->Name == "ARTIST";
    EXPECT_EQ(artistItems, 1);
    EXPECT_EQ(back.APEv2Tag->ReadFrameByNameAsText("ARTIST"), std::string("piman\0jzig\0third", 16));

    // Deleting one of the values keeps the others in the item.
    back.Delete(back.Exists("ARTIST"));
    ASSERT_EQ(back.SaveToFile(file, ttAPEv2), tlSuccess);
    TTags rest;
    ASSERT_EQ(rest.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(Values(rest, "ARTIST"), (std::vector<std::string> { "jzig", "third" }));
}

TEST(TagsFile, APEv2TrackAndDiscItemsTakeTheNewNumbers)
{
    const auto dir = ScratchDir("APEv2TrackAndDisc");
    const std::string file = ScratchCopy("plain.mp3", dir);
    {
        TAPEv2Tag ape;
        ape.AddTextFrame("Track", "3/12");
        ape.AddTextFrame("Disc", "1/2");
        ASSERT_EQ(ape.SaveToFile(file), 0);
    }
    auto names = [](const TAPEv2Tag& ape) {
        std::vector<std::string> out;
        for (const auto& frame : ape.Frames)
            out.push_back(frame->Name);
        return out;
    };
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
        EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
        EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
        EXPECT_EQ(tags.GetTag("DISCNUMBER"), "1");
        EXPECT_EQ(tags.GetTag("TOTALDISCS"), "2");
        tags.SetTag("TRACKNUMBER", "7");
        tags.SetTag("TOTALTRACKS", "9");
        tags.SetTag("DISCNUMBER", "2");
        ASSERT_EQ(tags.SaveToFile(file, ttAPEv2), tlSuccess);
    }
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(Values(back, "TRACKNUMBER"), std::vector<std::string> { "7" });
    EXPECT_EQ(Values(back, "TOTALTRACKS"), std::vector<std::string> { "9" });
    EXPECT_EQ(Values(back, "DISCNUMBER"), std::vector<std::string> { "2" });
    EXPECT_EQ(Values(back, "TOTALDISCS"), std::vector<std::string> { "2" });
    // Item names are written in capitals.
    EXPECT_EQ(names(*back.APEv2Tag), (std::vector<std::string> { "TRACK", "DISC" }));
    EXPECT_EQ(back.APEv2Tag->ReadFrameByNameAsText("TRACK"), "7/9");
    EXPECT_EQ(back.APEv2Tag->ReadFrameByNameAsText("DISC"), "2/2");

    // Deleted, the disc number and total take their item with them.
    back.Delete(back.Exists("DISCNUMBER"));
    back.Delete(back.Exists("TOTALDISCS"));
    ASSERT_EQ(back.SaveToFile(file, ttAPEv2), tlSuccess);
    TTags rest;
    ASSERT_EQ(rest.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(rest.Exists("DISCNUMBER"), -1);
    EXPECT_EQ(names(*rest.APEv2Tag), std::vector<std::string> { "TRACK" });
}

TEST(TagsFile, AutomaticSaveChoosesTheNaturalTag)
{
    const auto dir = ScratchDir("AutomaticSave");
    struct {
        const char* Fixture;
        const char* As;
        bool ID3v2AtStart;
    } cases[] = {
        { "plain.mp3", "song.mp3", true }, { "plain.mp3", "song.xyz", true }, // content decides before the extension
        { "ape-v2.xyz", "blob.xyz", false }, // neither content nor extension known: APEv2
    };
    for (const auto& c : cases) {
        const std::string file = ScratchCopy(c.Fixture, dir, c.As);
        TTags tags;
        tags.SetTag("TITLE", "Saved");
        ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess) << c.As;
        const auto bytes = ReadBytes(file);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3) == "ID3", c.ID3v2AtStart) << c.As;
        TTags back;
        ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
        EXPECT_EQ(back.GetTag("TITLE"), "Saved") << c.As;
    }
}

TEST(TagsFile, ID3v2WinsOverID3v1)
{
    const auto dir = ScratchDir("Priority");
    const std::string file = ScratchCopy("plain.mp3", dir);
    TTags writer;
    writer.SetTag("TITLE", "Old title");
    writer.SetTag("YEAR", "1999");
    ASSERT_EQ(writer.SaveToFile(file, ttID3v1), tlSuccess);
    writer.SetTag("TITLE", "New title");
    writer.Delete("YEAR");
    ASSERT_EQ(writer.SaveToFile(file, ttID3v2), tlSuccess);

    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "New title");
    EXPECT_EQ(tags.GetTag("YEAR"), "1999"); // only ID3v1 has it
}

TEST(TagsFile, ID3v2FieldMappingRoundTrip)
{
    const auto dir = ScratchDir("ID3v2Mapping");
    const std::string file = ScratchCopy("plain.mp3", dir);
    {
        TTags tags;
        tags.Add("ARTIST")->Value = "First";
        tags.Add("ARTIST")->Value = "Second";
        tags.SetTag("TRACKNUMBER", "3");
        tags.SetTag("TOTALTRACKS", "12");
        tags.SetTag("MOOD2", "Calm");
        TTag* comment = tags.Add("COMMENT");
        comment->Value = "Line 1\r\nLine 2";
        comment->Language = "deu";
        ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(Values(tags, "ARTIST"), (std::vector<std::string> { "First", "Second" }));
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    EXPECT_EQ(tags.ID3v2Tag->GetUnicodeText("TRCK"), "3/12");
    EXPECT_EQ(tags.ID3v2Tag->FrameTypeCount("TPE1"), 1);
    ASSERT_NE(tags.Tag("MOOD2"), nullptr);
    EXPECT_EQ(tags.Tag("MOOD2")->ExtTagType, ettTXXX);
    ASSERT_NE(tags.Tag("COMMENT"), nullptr);
    EXPECT_EQ(tags.Tag("COMMENT")->Value, "Line 1\r\nLine 2");
    EXPECT_EQ(tags.Tag("COMMENT")->Language, "deu");
    EXPECT_EQ(tags.ID3v2Tag->FindTXXXByDescription("TOTALTRACKS"), -1); // carried in TRCK
}

TEST(TagsFile, SeveralCommentsSurviveASave)
{
    const auto dir = ScratchDir("SeveralComments");
    const std::string file = ScratchCopy("plain.mp3", dir);
    {
        TTags tags;
        tags.Add("COMMENT")->Value = "Plain";
        TTag* second = tags.Add("COMMENT");
        second->Value = "Other";
        second->Description = "note";
        ASSERT_EQ(tags.SaveToFile(file, ttID3v2), tlSuccess);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    ASSERT_EQ(tags.ID3v2Tag->FrameTypeCount("COMM"), 2);
    ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(Values(back, "COMMENT"), (std::vector<std::string> { "Plain", "Other" }));
}

TEST(TagsFile, DeletedFieldsStayDeletedAfterSave)
{
    const auto dir = ScratchDir("DeleteNative");
    const std::string file = ScratchCopy("plain.mp3", dir);
    {
        TTags tags;
        tags.SetTag("TITLE", "T");
        tags.SetTag("CUSTOM", "x");
        tags.SetTag("PLAYCOUNT", "5");
        ASSERT_EQ(tags.SaveToFile(file, ttID3v2), tlSuccess);
        ASSERT_EQ(tags.SaveToFile(file, ttID3v1), tlSuccess);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    ASSERT_EQ(tags.GetTag("PLAYCOUNT"), "5");
    ASSERT_EQ(tags.Tag("CUSTOM")->ExtTagType, ettTXXX);
    tags.Delete("TITLE");
    tags.Delete("CUSTOM");
    tags.Delete("PLAYCOUNT");
    tags.SetTag("ALBUM", "A");
    ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(back.Exists("TITLE"), -1);
    EXPECT_EQ(back.Exists("CUSTOM"), -1);
    EXPECT_EQ(back.Exists("PLAYCOUNT"), -1);
    EXPECT_EQ(back.GetTag("ALBUM"), "A");
}

TEST(TagsFile, DeletingEveryFieldTakesTheTagsOut)
{
    const auto dir = ScratchDir("DeleteEverything");
    const std::vector<uint8_t> untagged = ReadBytes(Fixture("plain.mp3"));
    const std::string file = ScratchCopy("plain.mp3", dir);
    {
        TTags tags;
        tags.SetTag("TITLE", "A title longer than the thirty characters of ID3v1");
        tags.SetTag("ARTIST", "Artist");
        tags.SetTag("TRACKNUMBER", "4");
        ASSERT_EQ(tags.SaveToFile(file, ttID3v2), tlSuccess);
        ASSERT_EQ(tags.SaveToFile(file, ttAPEv2), tlSuccess);
        // A Lyrics3 block with the full title only, which must not bring the title back.
        tags.ID3v1Tag->Title = tags.GetTag("TITLE");
        tags.ID3v1Tag->Artist = "Artist";
        ASSERT_EQ(tags.ID3v1Tag->SaveToFile(file, true), id3v1Success);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    ASSERT_TRUE(tags.IsLoaded(ttID3v2) && tags.IsLoaded(ttAPEv2) && tags.IsLoaded(ttID3v1));
    DeleteEverything(tags);
    ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    EXPECT_EQ(ReadBytes(file), untagged);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_FALSE(back.Loaded);
    EXPECT_EQ(back.Count(), 0);

    // Explicit saves of an empty model to a file without tags write nothing.
    for (TTagType type : { ttID3v2, ttAPEv2, ttID3v1 })
        EXPECT_NE(back.SaveToFile(file, type), tlErrorWritingFile);
    EXPECT_EQ(ReadBytes(file), untagged);
}

TEST(TagsFile, EmptiedID3v1StaysInFrontOfLyrics)
{
    // The Lyrics3 block holds lyrics the model does not show: the tag behind it stays, empty.
    const auto dir = ScratchDir("EmptiedID3v1");
    const std::string file = ScratchCopy("id3v1-lyrics3.mp3", dir);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    DeleteEverything(tags);
    ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(back.Count(), 0); // the full title in the Lyrics3 block stays out
    TID3v1Tag id3v1;
    ASSERT_EQ(id3v1.LoadFromFile(file), id3v1Success);
    EXPECT_EQ(id3v1.GetLyrics(), "First line\r\nSecond line");
}

TEST(TagsFile, RatingGoesBackIntoThePopularimeter)
{
    const auto dir = ScratchDir("Rating");
    const std::string file = ScratchCopy("plain.mp3", dir);
    {
        TID3v2Tag tag;
        tag.SetPopularimeterByEmail("me@example.com", 196, 42);
        ASSERT_EQ(tag.SaveToFile(file), 0);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    ASSERT_EQ(tags.GetTag("RATING"), "196");
    tags.SetTag("RATING", "64");
    ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(Values(back, "RATING"), (std::vector<std::string> { "64" }));
    std::string email;
    uint32_t counter = 0;
    uint8_t rating = 0;
    ASSERT_TRUE(back.ID3v2Tag->GetPopularimeter(back.ID3v2Tag->FrameExists("POPM"), email, counter, rating));
    EXPECT_EQ(email, "me@example.com");
    EXPECT_EQ(counter, 42u);
    EXPECT_EQ(back.ID3v2Tag->FindTXXXByDescription("RATING"), -1);
}

TEST(TagsFile, PicturesRoundTripThroughID3v2)
{
    const auto dir = ScratchDir("Pictures");
    const std::string file = ScratchCopy("plain.mp3", dir);
    const std::vector<uint8_t> jpeg = { 0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3, 0xFF, 0xD9 };
    WriteBytes(dir / "front.jpg", jpeg);
    {
        TTags tags;
        TCoverArt* picture = tags.AddCoverArt("front", (dir / "front.jpg").string());
        ASSERT_NE(picture, nullptr);
        picture->CoverType = 3;
        ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Name, "Cover art 1");
    EXPECT_EQ(tags.CoverArts[0]->Stream.Bytes(), jpeg);
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/jpeg");
    EXPECT_EQ(tags.CoverArts[0]->PictureFormat, tpfJPEG);
    EXPECT_EQ(tags.CoverArts[0]->CoverType, 3u);
    EXPECT_EQ(tags.CoverArts[0]->Description, "front.jpg");
}

TEST(TagsFile, SaveToStreamAndLoadFromMemory)
{
    TMemoryStream stream(ReadBytes(Fixture("plain.mp3")));
    TTags tags;
    tags.SetTag("TITLE", "In memory");
    ASSERT_EQ(tags.SaveToStream(stream, ttAutomatic), tlSuccess);
    ASSERT_EQ(tags.SaveToStream(stream, ttAPEv2), tlSuccess);
    TTags back;
    ASSERT_EQ(back.LoadFromMemory(stream.Data(), int64_t(stream.Size())), tlSuccess);
    EXPECT_TRUE(back.Loaded);
    EXPECT_EQ(back.GetTag("TITLE"), "In memory");
    EXPECT_TRUE(back.FileName.empty());
    EXPECT_TRUE(back.ID3v2Tag->Loaded);
    EXPECT_TRUE(back.APEv2Tag->Loaded);
}

TEST(TagsFile, UnwritableFileStaysUnchanged)
{
    // The file may not grow, which binds the superuser too: every save that adds a tag fails.
    const auto dir = ScratchDir("ReadOnly");
    const std::string file = ScratchCopy("plain.mp3", dir);
    const auto before = ReadBytes(file);
    TTags tags;
    tags.SetTag("TITLE", "x");
    {
        const vantor::testing::TFileSizeLimit limit(before.size());
        ASSERT_TRUE(limit.Set());
        EXPECT_NE(tags.SaveToFile(file, ttAPEv2), tlSuccess);
        EXPECT_NE(tags.SaveToFile(file, ttID3v1), tlSuccess);
        EXPECT_NE(tags.SaveToFile(file, ttID3v2), tlSuccess);
    }
    EXPECT_EQ(ReadBytes(file), before);

    // Neither a path that is a folder nor one in a missing folder can be saved to.
    EXPECT_NE(tags.SaveToFile(dir.string(), ttID3v2), tlSuccess);
    EXPECT_NE(tags.SaveToFile((dir / "missing" / "a.mp3").string(), ttID3v2), tlSuccess);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

TEST(TagsFile, SizesFromTheFileNeverOutgrowTheInput)
{
    // A 28-bit ID3v2 size and an APE item count of four billion on a 1 KB input.
    std::vector<uint8_t> bytes = { 'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F };
    Append(bytes, Bytes("TIT2"));
    Append(bytes, { 0x7F, 0xFF, 0xFF, 0xFF, 0, 0 });
    bytes.resize(1024 - 32, 'x');
    Append(bytes, Bytes("APETAGEX"));
    Append(bytes, { 0xD0, 0x07, 0, 0, 0x40, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80 });
    bytes.resize(1024, 0);
    const auto start = std::chrono::steady_clock::now();
    TTags tags;
    EXPECT_EQ(tags.LoadFromMemory(bytes.data(), int64_t(bytes.size())), tlSuccess);
    EXPECT_TRUE(tags.ID3v2Tag->Loaded);
    TMemoryStream copy(bytes);
    tags.SetTag("TITLE", "t");
    // The old tag is replaced within the extent its size field gives, nothing before it.
    EXPECT_EQ(tags.SaveToStream(copy, ttAPEv2), tlSuccess);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + 1024 - 64, copy.Bytes().begin()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

TEST(TagsFile, PreserveFileDateKeepsTheModificationTime)
{
    const auto dir = ScratchDir("PreserveDate");
    const std::string file = ScratchCopy("plain.mp3", dir);
    const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(file, old);
    TTags tags;
    tags.PreserveFileDate = true;
    tags.SetTag("TITLE", "x");
    ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    EXPECT_EQ(std::filesystem::last_write_time(file), old);
    tags.PreserveFileDate = false;
    ASSERT_EQ(tags.SaveToFile(file, ttAPEv2), tlSuccess);
    EXPECT_NE(std::filesystem::last_write_time(file), old);
}
