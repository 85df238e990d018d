#include "app/TrackDetails.h"

#include "platform/shell/Shell.h"
#include "tags/Tags.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::ScratchFolder;

TEST(TrackDetails, LeadingTrackNumber)
{
    struct TCase {
        char const* Field;
        int32_t Number;
    };
    for (TCase const c : { TCase { "3", 3 }, { "03/12", 3 }, { " 7", 7 }, { "", 0 }, { "0", 0 }, { "-2", 0 },
             { "A1", 0 }, { "99999999999", 0 } })
        EXPECT_EQ(LeadingTrackNumber(c.Field), c.Number) << c.Field;
}

// The cover goes into the cache folder under a name of the track's own; the next track's
// details replace it, and the last one is removed with the object.
TEST(TrackDetails, TagsAndCoverFileFollowTheTrack)
{
    fs::path const root = ScratchFolder();
    fs::path const tagged = root / "tagged.mp3";
    fs::path const plain = root / "plain.mp3";
    fs::copy_file(fs::path(VANTOR_TEST_DATA) / "audio/sine.mp3", tagged);
    fs::copy_file(fs::path(VANTOR_TEST_DATA) / "audio/sine.mp3", plain);
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(tagged.string()), tlSuccess);
        tags.SetTag("TRACKNUMBER", "04/10");
        tags.SetTag("ALBUMARTIST", "The Band");
        tags.SetTag("GENRE", "Jazz");
        ASSERT_NE(tags.AddCoverArt("Cover", (fs::path(VANTOR_TEST_DATA) / "covers/jpeg/grey.jpg").string()), nullptr);
        ASSERT_EQ(tags.SaveToFile(tagged.string(), ttAutomatic), tlSuccess);
    }
    fs::path const cache = root / "cache";
    auto details = std::make_unique<TTrackDetails>(cache);

    TTrackDetails::TDetails const first = details->For(tagged.string());
    EXPECT_EQ(first.TrackNumber, 4);
    EXPECT_EQ(first.AlbumArtist, "The Band");
    EXPECT_EQ(first.Genre, "Jazz");
    ASSERT_EQ(first.ArtUrl.rfind(FileUri(cache.string() + "/cover-"), 0), 0u) << first.ArtUrl;
    std::string const cover = first.ArtUrl.substr(7);
    EXPECT_EQ(ReadBytes(cover), ReadBytes(fs::path(VANTOR_TEST_DATA) / "covers/jpeg/grey.jpg"));

    TTrackDetails::TDetails const second = details->For(plain.string());
    EXPECT_EQ(second.TrackNumber, 0);
    EXPECT_TRUE(second.ArtUrl.empty());
    EXPECT_FALSE(fs::exists(cover)) << "the cover of the track before stays";
    EXPECT_TRUE(details->For((root / "gone.mp3").string()).AlbumArtist.empty());

    EXPECT_EQ(details->For(tagged.string()).ArtUrl, first.ArtUrl);
    details.reset();
    EXPECT_TRUE(fs::is_empty(cache)) << "the last cover outlives the player";
}

}
}
