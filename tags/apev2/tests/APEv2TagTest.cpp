#include "tags/apev2/APEv2Tag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/io/Bytes.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

using namespace vantor;
using namespace vantor::test;

namespace {

struct TItem {
    std::string Key;
    std::vector<uint8_t> Value;
    uint32_t Flags = 0;
};

std::vector<uint8_t> Footer(uint32_t version, uint32_t size, uint32_t count, uint32_t flags)
{
    std::vector<uint8_t> b = Bytes("APETAGEX");
    AppendLE32(b, version);
    AppendLE32(b, size);
    AppendLE32(b, count);
    AppendLE32(b, flags);
    b.resize(32, 0);
    return b;
}

std::vector<uint8_t> Tag(const std::vector<TItem>& items, uint32_t version = 2000, bool header = true)
{
    std::vector<uint8_t> data;
    for (const TItem& item : items) {
        AppendLE32(data, uint32_t(item.Value.size()));
        AppendLE32(data, item.Flags);
        Append(data, Bytes(item.Key));
        data.push_back(0);
        Append(data, item.Value);
    }
    const uint32_t size = uint32_t(data.size() + 32);
    std::vector<uint8_t> out;
    if (header)
        Append(out, Footer(version, size, uint32_t(items.size()), 0xA0000000));
    Append(out, data);
    Append(out, Footer(version, size, uint32_t(items.size()), header ? 0x80000000 : 0));
    return out;
}

std::vector<uint8_t> ID3v1()
{
    std::vector<uint8_t> r(128, 0);
    std::memcpy(r.data(), "TAGv1", 5);
    return r;
}

} // namespace

TEST(APEv2Tag, ReadsVersion1WithWindowsCodePageBeforeID3v1)
{
    TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("ape-v1.mp3")), apeSuccess);
    EXPECT_EQ(tag.Version, 1000u);
    ASSERT_EQ(tag.Count(), 2);
    EXPECT_EQ(tag.ReadFrameByNameAsText("Title"), "Café");
    EXPECT_EQ(tag.ReadFrameByNameAsText("Artist"), "Someone");
}

TEST(APEv2Tag, Version1IsSavedBackAsVersion2InTheSamePlace)
{
    const auto dir = ScratchDir("APEv1Resave");
    const std::string file = ScratchCopy("ape-v1.mp3", dir);
    const auto before = ReadBytes(file);
    TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(file), apeSuccess);
    const uint64_t oldTagSize = tag.Size; // no header
    ASSERT_EQ(tag.SaveToFile(file), apeSuccess);
    const auto after = ReadBytes(file);
    const size_t audio = before.size() - 128 - oldTagSize;
    ASSERT_EQ(after.size(), audio + tag.CalculateTagSize() + 32 + 128);
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + ptrdiff_t(audio), after.begin()));
    EXPECT_TRUE(std::equal(before.end() - 128, before.end(), after.end() - 128)); // ID3v1 kept at the end
    TAPEv2Tag back;
    ASSERT_EQ(back.LoadFromFile(file), apeSuccess);
    EXPECT_EQ(back.Version, 2000u);
    EXPECT_EQ(back.ReadFrameByNameAsText("TITLE"), "Café"); // upper-cased key, UTF-8 value
}

TEST(APEv2Tag, PicturesAndBinaryItems)
{
    TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("ape-v2.xyz")), apeSuccess);
    ASSERT_EQ(tag.Count(), 4);
    EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), "Título");
    EXPECT_EQ(tag.CoverArtCount(), 1);
    TMemoryStream picture;
    std::string description;
    TAPEv2PictureFormat format;
    ASSERT_TRUE(tag.GetCoverArtFromFrame(2, picture, description, format));
    EXPECT_EQ(description, "front.jpg");
    EXPECT_EQ(format, pfJPEG);
    EXPECT_EQ(picture.Bytes()[0], 0xFF);
    EXPECT_EQ(tag.Frames[3]->GetAsText(), "BINARY 3 Byte");
}

TEST(APEv2Tag, BinaryTextAndPictureGuess)
{
    TAPEv2Tag tag;
    std::vector<uint8_t> data(2048, 7);
    TAPEv2Frame* big = tag.AddBinaryFrame("Blob", data.data(), data.size());
    EXPECT_EQ(big->GetAsText(), "BINARY 2.00 KB");
    EXPECT_FALSE(big->IsCoverArt());
    const std::vector<uint8_t> back = { 'd', 0, 0xFF, 0xD8, 1 };
    EXPECT_TRUE(tag.AddBinaryFrame("Cover Art (Back)", back.data(), back.size())->IsCoverArt());
    const std::vector<uint8_t> noise = { 0, 9, 0x42, 0x4D, 9 };
    EXPECT_TRUE(tag.AddBinaryFrame("Noise", noise.data(), noise.size())->IsCoverArt());
}

TEST(APEv2Tag, EmptyTagsAreNotWritten)
{
    TAPEv2Tag tag;
    TMemoryStream stream(Bytes("audio"));
    EXPECT_EQ(tag.SaveToStream(stream), apeEmptyTag);
    tag.AddTextFrame("TITLE", "");
    EXPECT_EQ(tag.SaveToStream(stream), apeEmptyTag); // the empty item was removed first
    EXPECT_EQ(stream.Size(), 5u);
}

TEST(APEv2Tag, NoItemsLeftTakesTheTagOut)
{
    // In front of an ID3v1 tag, which stays; the audio in front is untouched.
    const std::vector<uint8_t> id3v1 = [] {
        auto b = Bytes("TAG");
        b.resize(128, 0);
        return b;
    }();
    TAPEv2Tag tag;
    tag.AddTextFrame("TITLE", "t");
    std::vector<uint8_t> expected = Bytes("audio");
    Append(expected, id3v1);
    TMemoryStream stream(expected);
    ASSERT_EQ(tag.SaveToStream(stream), apeSuccess);
    ASSERT_GT(stream.Size(), 5u + 128);

    TAPEv2Tag loaded;
    ASSERT_EQ(loaded.LoadFromStream(stream), apeSuccess);
    loaded.Frames[0]->SetAsText("");
    ASSERT_EQ(loaded.SaveToStream(stream), apeSuccess);
    EXPECT_EQ(stream.Bytes(), expected);
    EXPECT_EQ(loaded.SaveToStream(stream), apeEmptyTag);

    // A damaged old tag is not cut out.
    std::vector<uint8_t> damaged = Bytes("audio");
    Append(damaged, Footer(3000, 32, 0, 0));
    TMemoryStream bad(damaged);
    EXPECT_EQ(loaded.SaveToStream(bad), apeNotSupportedVersion);
    EXPECT_EQ(bad.Bytes(), damaged);
}

TEST(APEv2Tag, DamagedTags)
{
    struct TCase {
        const char* Name;
        std::vector<uint8_t> Bytes;
        int Result;
        int ItemsKept;
    };
    auto oversized = Tag({ { "A", Bytes("1") }, { "B", Bytes("2") } });
    PutLE32(oversized.data() + 32 + 11, 0x7FFFFFFF); // value size of the second item
    auto manyItems = Tag({ { "A", Bytes("1") } });
    PutLE32(manyItems.data() + manyItems.size() - 32 + 16, 0xFFFFFFFFu); // item count in the footer
    auto hugeSize = Tag({ { "A", Bytes("1") } });
    PutLE32(hugeSize.data() + hugeSize.size() - 32 + 12, 0xFFFFFFF0u);
    auto badVersion = Tag({ { "A", Bytes("1") } }, 3000);
    std::vector<uint8_t> shortFooter = Bytes("audioAPETAGEX");
    Append(shortFooter, std::vector<uint8_t>(19, 0));
    const TCase cases[] = {
        { "value size beyond the tag", oversized, apeNotSupportedFormat, 1 },
        { "item count of four billion", manyItems, apeSuccess, 1 },
        { "tag size beyond the file", hugeSize, apeNotSupportedFormat, 0 },
        { "unknown version", badVersion, apeNotSupportedVersion, 0 },
        { "no tag", Bytes(std::string(100, 'x')), apeNoTag, 0 },
    };
    for (const TCase& c : cases) {
        TMemoryStream stream(c.Bytes);
        TAPEv2Tag tag;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(tag.LoadFromStream(stream), c.Result) << c.Name;
        EXPECT_EQ(tag.Count(), c.ItemsKept) << c.Name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.Name;
    }
}

TEST(APEv2Tag, SaveKeepsID3v1AndLyrics3BehindTheTag)
{
    std::vector<uint8_t> file = Bytes("AUDIO-DATA");
    const std::vector<uint8_t> lyrics = Bytes("LYRICSBEGINLYR00002hi000021LYRICS200");
    Append(file, lyrics);
    Append(file, ID3v1());
    TMemoryStream stream(file);
    TAPEv2Tag tag;
    tag.AddTextFrame("Artist", "X");
    ASSERT_EQ(tag.SaveToStream(stream), apeSuccess);
    const auto& b = stream.Bytes();
    const size_t apeSize = size_t(tag.CalculateTagSize() + 32);
    ASSERT_EQ(b.size(), 10 + apeSize + lyrics.size() + 128);
    EXPECT_EQ(std::string(b.begin() + 10, b.begin() + 18), "APETAGEX");
    EXPECT_TRUE(std::equal(lyrics.begin(), lyrics.end(), b.begin() + ptrdiff_t(10 + apeSize)));

    // Saved again: found before the Lyrics3 block and replaced, not stacked.
    tag.SetTextFrameText("Artist", "Longer artist name");
    ASSERT_EQ(tag.SaveToStream(stream), apeSuccess);
    TAPEv2Tag back;
    ASSERT_EQ(back.LoadFromStream(stream), apeSuccess);
    EXPECT_EQ(back.ReadFrameByNameAsText("ARTIST"), "Longer artist name");
    EXPECT_EQ(stream.Size(), 10 + tag.CalculateTagSize() + 32 + lyrics.size() + 128);
}

TEST(APEv2Tag, ListsAndExistingTagChecks)
{
    TAPEv2Tag tag;
    tag.AddFrame("TIPL")->SetAsList({ "producer=A", "mix=B" });
    TNameValueList list;
    ASSERT_TRUE(tag.ReadFrameByNameAsList("TIPL", list));
    EXPECT_EQ(list, (TNameValueList { "producer=A", "mix=B" }));

    // An existing tag with unexpected flags is not overwritten.
    std::vector<uint8_t> bytes = Bytes("audio");
    auto old = Tag({ { "A", Bytes("1") } });
    PutLE32(old.data() + old.size() - 32 + 20, 0x80000004u);
    Append(bytes, old);
    TMemoryStream stream(bytes);
    EXPECT_EQ(tag.SaveToStream(stream), apeNotSupportedFormat);
    EXPECT_EQ(stream.Bytes(), bytes);
}

TEST(APEv2Tag, AFooterAtTheEndWinsOverAnID3v1Guess)
{
    // A 131-byte tag puts the "TAG" of its header's "APETAGEX" 128 bytes before the end.
    std::vector<uint8_t> file = Bytes("AUDIO-DATA");
    Append(file, Tag({ { "Title", Bytes(std::string(53, 't')) } }));
    ASSERT_EQ(file.size(), 10u + 131u);
    ASSERT_EQ(std::memcmp(file.data() + file.size() - 128, "TAG", 3), 0);
    TMemoryStream stream(file);
    TID3v1Tag id3v1;
    EXPECT_EQ(id3v1.LoadFromStream(stream), id3v1NoTag);
    TAPEv2Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), apeSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("Title"), std::string(53, 't'));

    // A new ID3v1 tag goes behind the APE tag instead of over it, and both load again.
    id3v1.Title = "Real";
    ASSERT_EQ(id3v1.SaveToStream(stream), id3v1Success);
    EXPECT_EQ(stream.Size(), file.size() + 128);
    TID3v1Tag back;
    ASSERT_EQ(back.LoadFromStream(stream), id3v1Success);
    EXPECT_EQ(back.Title, "Real");
    ASSERT_EQ(tag.LoadFromStream(stream), apeSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("Title"), std::string(53, 't'));
}

TEST(APEv2Tag, KeysThatWouldCutTheirItemAreNotWritten)
{
    // A key ends at its NUL: written, these would end their item early and the title behind
    // them would load wrongly.
    for (const std::string& key : { std::string(), std::string("A\0TITLE", 7) }) {
        TAPEv2Tag tag;
        tag.AddTextFrame(key, "old");
        tag.AddTextFrame("TITLE", "kept");
        TMemoryStream stream(Bytes("audio"));
        ASSERT_EQ(tag.SaveToStream(stream), apeSuccess);
        TAPEv2Tag back;
        ASSERT_EQ(back.LoadFromStream(stream), apeSuccess);
        ASSERT_EQ(back.Count(), 1);
        EXPECT_EQ(back.ReadFrameByNameAsText("TITLE"), "kept");
    }
}
