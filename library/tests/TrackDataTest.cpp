#include "library/tests/LibraryTestSupport.h"

#include "base/IniFile.h"
#include "base/IniValues.h"
#include "library/TrackTexts.h"
#include "tags/Tags.h"
#include "tags/id3v1/ID3v1Genres.h"

#include <algorithm>
#include <map>

namespace vantor::testing {
namespace {

TEST(TrackTags, KeysCompareWithoutCaseAndKeepTheirFirstSpelling)
{
    TTrackData track;
    track.SetTag("FilePath", "/music/a.mp3");
    track.SetTag("Artist", "Abba");
    track.SetTag("ARTIST", "ABBA");
    track.SetTag("Ünïcode-Key", "1");
    track.SetTag("ÜNÏCODE-KEY", "2");
    track.SetTag("Custom", "x");

    EXPECT_EQ(track.GetTag("filepath"), "/music/a.mp3");
    EXPECT_EQ(track.GetTag("artist"), "ABBA");
    EXPECT_EQ(track.GetTag("ünïcode-key"), "2");
    EXPECT_EQ(track.GetTag("missing", "def"), "def");
    ASSERT_EQ(track.tdTagsList.Count(), 4);
    EXPECT_EQ(track.tdTagsList.KeyName(1), "Artist");
    EXPECT_EQ(track.tdTagsList.KeyName(2), "Ünïcode-Key");
}

TEST(TrackTags, ValuesSurviveManyReplacements)
{
    TTrackTags tags;
    std::map<std::string, std::string> expected;
    for (int round = 0; round < 200; ++round) {
        std::string const key = "Key" + std::to_string(round % 7);
        std::string const value(static_cast<size_t>((round * 37) % 50), static_cast<char>('a' + round % 26));
        tags.Set(key, value);
        expected[key] = value;
        if (round % 10 == 0)
            tags.Shrink();
    }
    for (auto const& [key, value] : expected)
        EXPECT_EQ(tags.Get(key), value) << key;
    EXPECT_EQ(tags.Count(), 7);

    // A value taken from the dictionary itself, while the dictionary grows under it.
    tags.Set(tkTrackName, std::string(300, 't'));
    tags.Shrink();
    for (TKnownKey key : { tkArtist, tkAlbum, tkGenre })
        tags.Set(key, tags.View(tkTrackName));
    EXPECT_EQ(tags.Get(tkGenre), std::string(300, 't'));
    tags.Set(tkTrackName, tags.View(tkTrackName).substr(10));
    EXPECT_EQ(tags.Get(tkTrackName), std::string(290, 't'));
}

TEST(TrackTexts, Durations)
{
    struct {
        double seconds;
        const char* text;
    } const cases[] = {
        { 0, "00:00" },
        { 59.9, "00:59" },
        { 59.9996, "01:00" },
        { 205, "03:25" },
        { 3723, "01:02:03" },
        { 3725, "01:02:05" },
        { 90000, "01:00:00" },
        { -5, "00:00" },
    };
    for (auto const& c : cases)
        EXPECT_EQ(DurationText(c.seconds), c.text) << c.seconds;
    EXPECT_EQ(DurationTextFromPlayTime("205,4"), "03:25");
    EXPECT_EQ(DurationTextFromPlayTime("garbage"), "00:00");
}

TEST(TrackTexts, SizesRatingsChannelsAndSizeGroups)
{
    EXPECT_EQ(SizeText(1024), "1024 bytes");
    EXPECT_EQ(SizeText(1536), "1.5 ItemData.KB");
    EXPECT_EQ(SizeText(1048576 + 10486), "1.01 ItemData.MB");
    EXPECT_EQ(SizeText(3LL * 1073741824), "3 ItemData.GB");
    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(-1), "0 bytes");

    std::pair<const char*, const char*> const ratings[] = {
        { "0", "0" },
        { "1", "1" },
        { "51", "1" },
        { "52", "2" },
        { "153", "3" },
        { "154", "4" },
        { "204", "4" },
        { "205", "5" },
        { "255", "5" },
        { "256", "5" },
        { "abc", "0" },
    };
    for (auto const& [tag, stars] : ratings)
        EXPECT_EQ(RatingFromTag(tag).value_or("none"), stars) << tag;
    EXPECT_FALSE(RatingFromTag("257"));
    EXPECT_FALSE(RatingFromTag("-1"));
    // Stars written by the player read back as the same stars; out of range is kept within 0..5.
    for (int stars = -1; stars <= 6; ++stars)
        EXPECT_EQ(RatingFromTag(RatingTagValue(stars)), std::to_string(std::clamp(stars, 0, 5))) << stars;

    EXPECT_EQ(ChannelsText("2"), "Channels.Stereo");
    EXPECT_EQ(ChannelsText("7"), "Channels.5.1");
    EXPECT_EQ(ChannelsText("9"), "9");

    std::pair<int64_t, const char*> const sizes[] = {
        { 1048576 * 4 / 10, "1 Mb and Less" },   // 0.4 MiB
        { 1048576 * 3 / 2, "1 Mb to 5 Mb" },     // 1.5 MiB rounds to 2
        { 1048576 * 5 / 2, "1 Mb to 5 Mb" },     // 2.5 MiB rounds to 2 (ties to even)
        { 1048576LL * 11 / 2, "5 Mb to 10 Mb" }, // 5.5 MiB rounds to 6
        { 1048576LL * 500, "250 Mb to 500 Mb" },
        { 2147483648LL, "500 Mb +" }, // 2 GiB: beyond 32 bits
        { 5LL * 1073741824, "500 Mb +" },
        { -1, "1 Mb and Less" },
    };
    for (auto const& [bytes, label] : sizes)
        EXPECT_EQ(SizeGroupLabel(std::to_string(bytes)), label) << bytes;
}

class TrackFiles : public LibraryTest {
protected:
    // A copy of a small MP3 carrying the given tags.
    std::string TaggedMp3(const std::string& name, std::initializer_list<std::pair<const char*, const char*>> fields)
    {
        std::filesystem::path const path = Root / name;
        std::filesystem::copy_file(std::filesystem::path(VANTOR_TEST_DATA) / "audio" / "sine.mp3", path);
        TTags tags;
        tags.LoadFromFile(path.string());
        for (auto const& [field, value] : fields)
            tags.SetTag(field, value);
        EXPECT_EQ(tags.SaveToFile(path.string(), ttID3v2), 0);
        return path.string();
    }

    static std::unique_ptr<TTrackData> ReadFrom(const std::string& path)
    {
        auto track = std::make_unique<TTrackData>();
        track->SetTag("FilePath", path);
        EXPECT_TRUE(track->ReadTags());
        return track;
    }
};

TEST_F(TrackFiles, MissingFilesAndFoldersAreNotRead)
{
    TTrackData track;
    track.SetTag("FilePath", (Root / "gone.mp3").string());
    EXPECT_FALSE(track.ReadTags());
    EXPECT_EQ(track.tdTagsList.Count(), 1);

    track.SetTag("FilePath", Root.string());
    EXPECT_FALSE(track.ReadTags());
    EXPECT_EQ(track.tdTagsList.Count(), 1);
}

TEST_F(TrackFiles, FileWithoutTagsGetsOnlyFileSystemKeys)
{
    std::string const path = AudioFile("notes.txt", 1536);
    auto const track = ReadFrom(path);
    EXPECT_EQ(track->GetTag("Directory"), (Root / "music").string());
    EXPECT_EQ(track->GetTag("FileSize"), "1536");
    EXPECT_EQ(track->GetTag("FileName"), "notes.txt");
    EXPECT_EQ(track->FileType, ".txt");
    EXPECT_EQ(track->tdTagsList.Find("TrackName"), -1);
}

TEST_F(TrackFiles, TagsWithFallbacks)
{
    auto const spaceTitle = ReadFrom(TaggedMp3("space.mp3",
        { { "TITLE", " " }, { "YEAR", "" }, { "DATE", "2001-05-01" }, { "RATING", "255" }, { "GENRE", "(17)" } }));
    EXPECT_EQ(spaceTitle->GetTag("TrackName"), "space.mp3");
    EXPECT_EQ(spaceTitle->GetTag("Year"), "2001-05-01");
    EXPECT_EQ(spaceTitle->GetTag("Rating"), "5");
    EXPECT_EQ(spaceTitle->GetTag("Genre"), ID3v1GenreName(17));
    EXPECT_EQ(spaceTitle->GetTag("Artist"), "Unknown.Author");
    EXPECT_EQ(spaceTitle->GetTag("Album"), "Unknown.Album");
    EXPECT_NE(spaceTitle->GetTag("SampleRate"), "0");
    EXPECT_FALSE(spaceTitle->Duration.empty());
    EXPECT_FALSE(spaceTitle->tdHasLyrics);

    auto const padded = ReadFrom(TaggedMp3("padded.mp3",
        { { "TITLE", "  Song  " }, { "RATING", "257" }, { "GENRE", "(17)Rock" }, { "LYRICS", "la la" } }));
    EXPECT_EQ(padded->GetTag("TrackName"), "Song");
    EXPECT_EQ(padded->tdTagsList.Find("Rating"), -1);
    EXPECT_EQ(padded->GetTag("Genre"), "Unknown.Genre");
    EXPECT_EQ(padded->GetTag("Year"), "Unknown.Year");
    EXPECT_TRUE(padded->tdHasLyrics);
    EXPECT_EQ(padded->ReadLyrics(false), "la la");
}

TEST_F(TrackFiles, FormatsThatGiveTheirPlayTimeOnRequestStillHaveADuration)
{
    for (char const* fixture : { "sine.ogg", "sine.opus", "sine.wv" }) {
        std::filesystem::path const path = Root / fixture;
        std::filesystem::copy_file(std::filesystem::path(VANTOR_TEST_DATA) / "audio" / fixture, path);
        TTags tags;
        tags.LoadFromFile(path.string());
        tags.SetTag("TITLE", "Tone");
        ASSERT_EQ(tags.SaveToFile(path.string()), 0) << fixture;
        auto const track = ReadFrom(path.string());
        EXPECT_NEAR(ParseIniFloat(track->GetTag("PlayTime"), 0.0), 1.0, 0.05) << fixture;
        EXPECT_EQ(track->Duration, "00:01") << fixture;
    }
}

TEST_F(TrackFiles, LyricsAreReadOnceAndTagsSavedIntoFileAndPlaylist)
{
    std::string const path = TaggedMp3("sung.mp3", { { "TITLE", "Sung" }, { "LYRICS", "first" } });
    auto list = std::make_unique<TVPlayList>(Session);
    list->plFileName = "Sung.vpl";
    TTrackData* const track = list->AppendTrack(Track({ { "FilePath", path } }));
    EXPECT_EQ(track->ReadLyrics(false), "first");
    EXPECT_TRUE(track->tdHasLyrics);
    EXPECT_TRUE(list->plNeeedSave);

    // A first run has no playlist folder yet; the track's section makes it.
    std::filesystem::remove_all(Root / "Playlists");
    track->SaveTag("LYRICS", "second");
    track->SaveTag("ARTIST", "New Artist");
    EXPECT_EQ(track->ReadLyrics(false), "first"); // from memory
    EXPECT_EQ(track->ReadLyrics(true), "second");
    TTags tags;
    tags.LoadFromFile(path);
    EXPECT_EQ(tags.GetTag("ARTIST"), "New Artist");
    TIniFile const file(list->SavePath(), TIniAccess::WholeFile);
    EXPECT_EQ(file.ReadString(track->tdID, "FilePath", ""), path);
    EXPECT_EQ(file.ReadString(track->tdID, "HasLyrics", ""), "1");

    std::filesystem::remove(path);
    EXPECT_EQ(track->ReadLyrics(true), "second"); // a vanished file keeps the old text
}

TEST_F(TrackFiles, SaveInfoWritesTheDictionaryThenHasLyrics)
{
    TIniFile file(Root / "list.vpl", TIniAccess::WholeFile);
    auto const track = Track({ { "FilePath", "/a b/c.mp3" }, { "Artist", "X" }, { "HasLyrics", "1" } });
    track->tdHasLyrics = false;
    track->SaveInfo(&file);
    auto const values = file.ReadSectionValues(track->tdID);
    ASSERT_EQ(values.size(), 3u);
    EXPECT_EQ(values[0].first, "FilePath");
    EXPECT_EQ(values[1].second, "X");
    EXPECT_EQ(values[2].first, "HasLyrics");
    EXPECT_EQ(values[2].second, "0");
}

}
}
