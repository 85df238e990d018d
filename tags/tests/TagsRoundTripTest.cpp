// Saves followed by loads, in memory: what was set loads back once, and what was
// deleted stays out. Each case is a fault the round-trip fuzzer found.
#include "tags/MP4TagBase.h"
#include "tags/Tags.h"
#include "tags/io/TextCodec.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

using namespace vantor;
using namespace vantor::test;

namespace {

std::vector<std::string> Values(const TTags& tags, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& t : tags.Tags)
        if (SameTextAscii(t->Name, name))
            values.push_back(t->Value);
    return values;
}

// Loads the stream merging only one kind of tag, so that other tags in it cannot hide it.
void LoadOnly(TTags& tags, TStream& stream, TTagType kind)
{
    tags.TagLoadPriority.fill(ttNone);
    tags.TagLoadPriority[0] = kind;
    ASSERT_EQ(tags.LoadFromStream(stream), tlSuccess);
}

} // namespace

TEST(TagsRoundTrip, SetTagReplacesEveryValueOfTheName)
{
    for (TTagType kind : { ttID3v2, ttAPEv2 }) {
        TMemoryStream stream(ReadBytes(Fixture("plain.mp3")));
        {
            TTags tags;
            tags.AddField("TITLE", "Old one");
            tags.AddField("TITLE", "Old two");
            ASSERT_EQ(tags.SaveToStream(stream, kind), tlSuccess);
        }
        TTags tags;
        LoadOnly(tags, stream, kind);
        ASSERT_EQ(Values(tags, "TITLE"), (std::vector<std::string> { "Old one", "Old two" }));
        tags.SetTag("TITLE", "New");
        ASSERT_EQ(tags.SaveToStream(stream, kind), tlSuccess);
        TTags back;
        LoadOnly(back, stream, kind);
        EXPECT_EQ(Values(back, "TITLE"), (std::vector<std::string> { "New" })) << kind;
    }
}

TEST(TagsRoundTrip, APEv2TrackItemIsReplacedNotDoubled)
{
    // The fixture's "Track" item holds "3/12", which loads as TRACKNUMBER 3 and TOTALTRACKS 12.
    struct {
        const char* Set;
        const char* Track;
        const char* Total;
    } cases[] = {
        { "4/9", "4", "9" }, { "5", "5", "12" }, // the total stays with the number
    };
    for (const auto& c : cases) {
        TMemoryStream stream(ReadBytes(Fixture("ape-v2.xyz")));
        TTags tags;
        LoadOnly(tags, stream, ttAPEv2);
        tags.SetTag("TRACKNUMBER", c.Set);
        ASSERT_EQ(tags.SaveToStream(stream, ttAPEv2), tlSuccess);
        TTags back;
        LoadOnly(back, stream, ttAPEv2);
        EXPECT_EQ(Values(back, "TRACKNUMBER"), (std::vector<std::string> { c.Track })) << c.Set;
        EXPECT_EQ(Values(back, "TOTALTRACKS"), (std::vector<std::string> { c.Total })) << c.Set;
    }
}

TEST(TagsRoundTrip, TrackNumberWinsOverTrack)
{
    // An APEv2 "Track" item without a total loads as TRACK; a TRACKNUMBER set beside it must
    // be what is saved, wherever it stands in the list.
    struct {
        const char* Fixture;
        TTagType Kind;
    } cases[] = {
        { "plain.mp3", ttAPEv2 },
        { "plain.mp3", ttID3v2 },
        { "plain.m4a", ttMP4 },
    };
    for (const auto& c : cases) {
        TMemoryStream stream(ReadBytes(Fixture(c.Fixture)));
        TTags tags;
        tags.AddField("TRACKNUMBER", "4/9");
        tags.AddField("TRACK", "3");
        ASSERT_EQ(tags.SaveToStream(stream, c.Kind), tlSuccess);
        TTags back;
        LoadOnly(back, stream, c.Kind);
        EXPECT_EQ(Values(back, "TRACKNUMBER"), (std::vector<std::string> { "4" })) << c.Kind;
        EXPECT_EQ(Values(back, "TOTALTRACKS"), (std::vector<std::string> { "9" })) << c.Kind;
        EXPECT_EQ(back.Exists("TRACK"), -1) << c.Kind;
    }
}

TEST(TagsRoundTrip, ID3v1TakesTheNumberOfATrackAndTotal)
{
    // The track number shares the comment's last two bytes; a comment's text ends at a NUL.
    struct TCase {
        std::string Track;
        std::string Comment;
        std::string Loaded;
    };
    const TCase cases[] = {
        { "4/9", "", "4" },
        { " 7 ", "", "7" },
        { "12/", "", "12" },
        { "x", "", "" },
        { "300", "", "" },
        { "4", std::string("short\0and the rest of thirty bytes", 35), "4" },
        { "4", "a comment of thirty characters", "" },
    };
    for (const auto& c : cases) {
        TMemoryStream stream(ReadBytes(Fixture("plain.mp3")));
        TTags tags;
        tags.SetTag("TITLE", "t");
        tags.SetTag("TRACKNUMBER", c.Track);
        tags.SetTag("COMMENT", c.Comment);
        ASSERT_EQ(tags.SaveToStream(stream, ttID3v1), tlSuccess);
        TTags back;
        LoadOnly(back, stream, ttID3v1);
        EXPECT_EQ(back.GetTag("TRACKNUMBER"), c.Loaded) << c.Track << " " << c.Comment;
    }
}

TEST(TagsRoundTrip, ANameWithANulStaysOutOfTheTag)
{
    // Keys and descriptions end at a NUL: written, the name would cut its item in two.
    for (TTagType kind : { ttID3v2, ttAPEv2 }) {
        TMemoryStream stream(ReadBytes(Fixture("plain.mp3")));
        TTags tags;
        tags.AddField(std::string("A\0TITLE", 7), "stray");
        tags.SetTag("TITLE", "Title");
        ASSERT_EQ(tags.SaveToStream(stream, kind), tlSuccess);
        TTags back;
        LoadOnly(back, stream, kind);
        ASSERT_EQ(back.Count(), 1) << kind;
        EXPECT_EQ(back.GetTag("TITLE"), "Title") << kind;
    }
}

TEST(TagsRoundTrip, AutomaticSaveFailsWhenOneOfItsTagsFails)
{
    // The ID3v2 chunk, which holds what the INFO list cannot, cannot be written into this
    // damaged form; the INFO list can. The save must not report success.
    TMemoryStream stream(ReadBytes(Fixture("wav/regress-unpadded-odd-chunk.wav")));
    TTags tags;
    tags.SetTag("TITLE", "t");
    tags.SetTag("CUSTOM", "only ID3v2 holds this");
    TMemoryStream id3v2Only(stream.Bytes());
    ASSERT_NE(tags.SaveToStream(id3v2Only, ttID3v2), tlSuccess);
    EXPECT_NE(tags.SaveToStream(stream, ttAutomatic), tlSuccess);
}

TEST(TagsRoundTrip, DeletingAFreeFormFieldTakesItsItemWhateverTheMean)
{
    // Free-form MP4 items load as fields of their name, not only those of the usual mean.
    TMemoryStream stream(ReadBytes(Fixture("plain.m4a")));
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromStream(stream), tlSuccess);
        tags.MP4Tag->SetFreeFormText("org.example", "MOOD", "calm");
        ASSERT_EQ(tags.SaveToStream(stream, ttMP4), tlSuccess);
    }
    TTags tags;
    LoadOnly(tags, stream, ttMP4);
    ASSERT_EQ(tags.GetTag("MOOD"), "calm");
    tags.Delete("MOOD");
    ASSERT_EQ(tags.SaveToStream(stream, ttMP4), tlSuccess);
    TTags back;
    LoadOnly(back, stream, ttMP4);
    EXPECT_EQ(back.Exists("MOOD"), -1);
}

TEST(TagsRoundTrip, DeletingEveryFieldTakesWhatASaveWroteOut)
{
    // A first save writes the fields into the native tags; deleting the fields must delete
    // what that save wrote, however it was stored.
    struct TCase {
        const char* Fixture;
        TTagType Kind;
        std::string Name;
        std::string Value;
    };
    const TCase cases[] = {
        { "plain.mp3", ttID3v2, "CUSTOM", "x" },                            // a TXXX frame
        { "plain.mp3", ttID3v2, "NAMED", std::string("a\0b", 3) },          // saved as two values
        { "plain.m4a", ttMP4, "TRACKNUMBER", "4/9" },                       // trkn
        { "plain.m4a", ttMP4, "GENRE", "Rock" },                            // gnre
        { "plain.m4a", ttMP4, "MEDIA", "Music" },                           // stik
        { "plain.mp3", ttAPEv2, "CART PostTimer1", " 0" },                  // loads without the blank
        { "plain.mp3", ttAPEv2, "GROUPING", "" },                           // one of several values, see below
        { "plain.mp3", ttAPEv2, "ENCODED", std::string("L\0\x03\xe8", 4) }, // not UTF-8: loads changed
        { "plain.mp3", ttID3v2, "ENCODED", std::string("L\0\x03\xe8", 4) },
        { "plain.mp3", ttAPEv2, "TIPL", "mixer=\x04M\r\nP" }, // a list: loads as "mixer=M\r\nP="
    };
    for (const auto& c : cases) {
        const std::vector<uint8_t> original = ReadBytes(Fixture(c.Fixture));
        TTags tags;
        ASSERT_EQ(tags.LoadFromMemory(original.data(), int64_t(original.size())), tlSuccess);
        tags.SetTag("TITLE", "t");
        tags.AddField(c.Name, c.Value);
        if (c.Name == "GROUPING") {
            tags.AddField("GROUPING", "\x01");
            tags.AddField("GROUPING", "g");
        }
        TMemoryStream first(original);
        ASSERT_EQ(tags.SaveToStream(first, c.Kind), tlSuccess) << c.Name;
        while (tags.Count() > 0)
            tags.Delete(tags.Count() - 1);
        TMemoryStream second(original);
        const int saved = tags.SaveToStream(second, c.Kind);
        EXPECT_TRUE(saved == tlSuccess || saved == tlEmptyTag || saved == tlEmptyFrames) << c.Name;
        TTags back;
        LoadOnly(back, second, c.Kind);
        EXPECT_EQ(back.Count(), 0) << c.Name;
        if (c.Kind != ttMP4) { // an MP4 file keeps its empty item list
            EXPECT_FALSE(back.IsLoaded(c.Kind)) << c.Name;
        }
    }
}
