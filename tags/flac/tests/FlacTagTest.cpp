#include "tags/flac/FlacTag.h"
#include "tags/Tags.h"
#include "tags/io/Bytes.h"
#include "tags/ogg/OggPage.h"
#include "tags/ogg/tests/ExternalTools.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/Requirements.h"
#include "tests/support/SafeWriteFaults.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace vantor::test;

struct TBlock {
    int Type;
    bool Last;
    uint32_t Length;
};

// The metadata block chain of a native FLAC file.
std::vector<TBlock> Blocks(const std::vector<uint8_t>& bytes, size_t start = 0)
{
    std::vector<TBlock> blocks;
    for (size_t at = start + 4; at + 4 <= bytes.size();) {
        blocks.push_back({ bytes[at] & 0x7F, (bytes[at] & 0x80) != 0, GetBE24(bytes.data() + at + 1) });
        at += 4 + blocks.back().Length;
        if (blocks.back().Last)
            break;
    }
    return blocks;
}

std::vector<uint8_t> AudioOf(const std::string& file)
{
    TFlacTag tag;
    EXPECT_EQ(tag.LoadFromFile(file), 0);
    const std::vector<uint8_t> bytes = ReadBytes(file);
    return std::vector<uint8_t>(bytes.begin() + ptrdiff_t(tag.FAudioOffset), bytes.end());
}

TEST(FlacTag, ReadsCommentsPicturesAndStreamInfo)
{
    TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("flac/tagged.flac")), 0);
    EXPECT_EQ(tag.StreamType, fstNativeFlac);
    EXPECT_TRUE(tag.Loaded());
    EXPECT_EQ(tag.ReadFrameByNameAsText("title"), "Sine");
    std::vector<std::string> artists;
    EXPECT_TRUE(tag.GetMultipleValues("ARTIST", artists));
    EXPECT_EQ(artists, (std::vector<std::string> { "First", "Second" }));
    ASSERT_EQ(tag.PictureCount(), 1);
    EXPECT_EQ(tag.Picture(0).MIMEType, "image/png");
    EXPECT_EQ(tag.Picture(0).Description, "front");
    EXPECT_EQ(tag.FSampleRate, 8000);
    EXPECT_EQ(tag.FChannels, 1);
    EXPECT_EQ(tag.FBitsPerSample, 24);
    EXPECT_EQ(tag.FSamples, 2400);
    EXPECT_DOUBLE_EQ(tag.Playtime(), 0.3);
    EXPECT_EQ(tag.ChannelMode(), "Mono");
    EXPECT_EQ(tag.FPadding, 600);
    EXPECT_GT(tag.FBitrate, 0u);
}

TEST(FlacTag, OddEntriesAndControlBytes)
{
    TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("flac/odd-comments.flac")), 0);
    ASSERT_EQ(tag.Count(), 3); // the entry without "=" is dropped
    EXPECT_EQ(tag.Tags[0]->Name, "");
    EXPECT_EQ(tag.Tags[0]->GetAsText(), "empty name");
    EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), "a b");
    EXPECT_EQ(tag.VendorString, "vendor");

    tag.DeleteFrame(0);
    EXPECT_EQ(tag.Tags[0]->Index, 0);
    EXPECT_EQ(tag.Tags[1]->Index, 1);
    tag.Tags[0]->SetAsText("");
    EXPECT_EQ(tag.Count(), 1);
    tag.SetMultipleValues("ARTIST", {});
    EXPECT_EQ(tag.Count(), 0);
}

TEST(FlacTag, StreamInfoOnlyLoadsButCannotBeSaved)
{
    const auto dir = ScratchDir("StreamInfoOnly");
    const std::string file = ScratchCopy("flac/streaminfo-only.flac", dir);
    TFlacTag tag;
    EXPECT_EQ(tag.LoadFromFile(file), ftrNoMetaBlocks);
    EXPECT_TRUE(tag.Valid());
    EXPECT_EQ(tag.FSamples, 2400);
    tag.AddTextTag("TITLE", "x");
    const auto before = ReadBytes(file);
    EXPECT_EQ(tag.SaveToFile(file), ftrError);
    EXPECT_EQ(ReadBytes(file), before);
}

// Each case edits a copy, saves it and looks at the block chain and the audio.
TEST(FlacTag, InPlaceAndRewriteLayouts)
{
    struct TCase {
        const char* Fixture;
        int Change; // bytes added to the comment block (negative: removed)
        bool SameLength;
        std::vector<int> Types; // block types after the save
    } cases[] = {
        // grows less than the padding: in place, padding shrinks
        { "flac/tagged.flac", 100, true, { 0, 6, 4, 1 } },
        // grows beyond the padding: rewritten with 4096 bytes of padding last
        { "flac/tagged.flac", 2000, false, { 0, 6, 4, 1 } },
        // two padding blocks: the second one's space is reclaimed
        { "flac/two-padding.flac", 50, true, { 0, 2, 4, 1 } },
        { "flac/two-padding.flac", 150, false, { 0, 2, 4, 1 } },
        // no padding, shrinking by 5 or more: in place with a new padding block
        { "flac/no-padding.flac", -8, true, { 0, 6, 4, 1 } },
        { "flac/no-padding.flac", -3, false, { 0, 6, 4, 1 } },
        // no comment block: added by the rebuild, padding shrinks
        { "flac/no-comment.flac", 0, true, { 0, 4, 1 } },
        { "flac/id3-prefixed.flac", 10, true, { 0, 4, 1 } },
    };
    const auto dir = ScratchDir("Layouts");
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Fixture) + " " + std::to_string(c.Change));
        const std::string file = ScratchCopy(c.Fixture, dir);
        const std::vector<uint8_t> before = ReadBytes(file);
        const std::vector<uint8_t> audio = AudioOf(file);
        TFlacTag tag;
        tag.LoadFromFile(file);
        tag.PaddingSizeToWrite = 4096;
        const int64_t oldComments = tag.FVorbisIndex ? tag.FTagSize : 0;
        if (c.Change >= 0) {
            tag.AddTextTag("COMMENT", std::string(size_t(std::max(c.Change - 12, 1)), 'c'));
        } else {
            // "Fixtures" shortened; emptied, the whole entry goes
            tag.SetTextFrameText("ALBUM", std::string("Fixtures").substr(0, size_t(std::max(8 + c.Change, 0))));
        }
        ASSERT_EQ(tag.SaveToFile(file), 0);
        const std::vector<uint8_t> after = ReadBytes(file);
        EXPECT_EQ(after.size() == before.size(), c.SameLength);
        EXPECT_EQ(AudioOf(file), audio);
        const size_t start = std::string(c.Fixture).find("id3") != std::string::npos ? 30 : 0;
        EXPECT_TRUE(std::equal(before.begin(), before.begin() + ptrdiff_t(start), after.begin()));
        std::vector<int> types;
        for (const TBlock& block : Blocks(after, start))
            types.push_back(block.Type);
        EXPECT_EQ(types, c.Types);
        const std::vector<TBlock> blocks = Blocks(after, start);
        EXPECT_TRUE(blocks.back().Last);
        if (!c.SameLength) {
            EXPECT_EQ(blocks.back().Length, 4096u);
        }
        TFlacTag back;
        ASSERT_EQ(back.LoadFromFile(file), 0);
        EXPECT_EQ(back.CalculateVorbisCommentsSize(), tag.CalculateVorbisCommentsSize());
        EXPECT_EQ(back.PictureCount(), tag.PictureCount());
        if (c.Fixture == std::string("flac/tagged.flac") && c.SameLength) {
            EXPECT_EQ(back.FPadding, 600 - (back.FTagSize - oldComments));
        }
    }
}

// A tag that outgrows its padding rewrites the file: natively through the edit stream, in Ogg
// through a replacement file. Either way a failure leaves the old file.
TEST(FlacTag, FailedRewritesKeepTheOldFile)
{
    const auto dir = ScratchDir("FailedRewrites");
    for (const char* fixture : { "flac/tagged.flac", "flac/ogg-flac.oga" }) {
        SCOPED_TRACE(fixture);
        const std::string file = ScratchCopy(fixture, dir);
        TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(file), 0);
        tag.AddTextTag("COMMENT", std::string(5000, 'c'));
        testing::ExpectFailedSavesKeepTheFile(file, [&] { return tag.SaveToFile(file) == ftrSuccess; });
    }
}

TEST(FlacTag, PreserveDateKeepsTheModificationTime)
{
    const auto dir = ScratchDir("PreserveDate");
    const std::string file = ScratchCopy("flac/tagged.flac", dir);
    const auto old = std::filesystem::last_write_time(file) - std::chrono::hours(48);
    std::filesystem::last_write_time(file, old);
    TFlacTag tag;
    tag.LoadFromFile(file);
    tag.bTAG_PreserveDate = true;
    tag.AddTextTag("COMMENT", std::string(3000, 'c')); // a complete rewrite
    ASSERT_EQ(tag.SaveToFile(file), 0);
    EXPECT_EQ(std::filesystem::last_write_time(file), old);
}

TEST(FlacTag, UnknownBlockTypeEndsTheChainAndBlocksSaving)
{
    std::vector<uint8_t> bytes = ReadBytes(Fixture("flac/streaminfo-only.flac"));
    bytes.resize(42);
    bytes[4] = 0;
    Append(bytes, { 0x09, 0, 0, 2, 'x', 'y' }); // a reserved block type
    Append(bytes, { 0xFF, 0xF8, 1, 2, 3 });     // audio
    TMemoryStream stream(bytes);
    TFlacTag tag;
    EXPECT_EQ(tag.LoadFromStream(stream), 0);
    EXPECT_FALSE(tag.Loaded());
    EXPECT_FALSE(tag.Valid());
    tag.AddTextTag("TITLE", "x");
    EXPECT_EQ(tag.SaveToStream(stream), ftrError);
    EXPECT_EQ(stream.Bytes(), bytes);
}

TEST(FlacTag, HostileBlockLengthEndsPromptly)
{
    std::vector<uint8_t> bytes = ReadBytes(Fixture("flac/streaminfo-only.flac"));
    bytes.resize(42);
    bytes[4] = 0;                           // STREAMINFO is not the last block
    Append(bytes, { 4, 0xFF, 0xFF, 0xFF }); // a 16 MB comment block in a tiny file
    Append(bytes, std::vector<uint8_t>(2000, 'x'));
    TMemoryStream stream(bytes);
    TFlacTag tag;
    EXPECT_EQ(tag.LoadFromStream(stream), ftrError);
    EXPECT_EQ(tag.SaveToStream(stream), ftrError);
    EXPECT_EQ(stream.Bytes(), bytes);
}

TEST(OggFlac, ReadsAndSavesThroughPages)
{
    const auto dir = ScratchDir("OggFlac");
    const std::string file = ScratchCopy("flac/ogg-flac.oga", dir);
    TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.StreamType, fstOggFlac);
    EXPECT_EQ(tag.FSampleRate, 8000);
    EXPECT_EQ(tag.FSamples, 0); // this encoder leaves the sample count open
    EXPECT_FALSE(tag.Valid());
    const std::string md5 = HasFfmpeg() ? DecodedAudioMd5(file) : "";

    tag.SetTextFrameText("TITLE", "Ogg FLAC");
    ASSERT_EQ(tag.SaveToFile(file), 0); // grows: rewritten with padding
    const uint64_t size = ReadBytes(file).size();
    tag.SetTextFrameText("ALBUM", "fits into the padding");
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const std::vector<uint8_t> bytes = ReadBytes(file);
    EXPECT_EQ(bytes.size(), size);

    for (size_t at = 0; at < bytes.size();) {
        const TOggHeader header = DecodeOggHeader(bytes.data() + at, bytes.size() - at);
        ASSERT_TRUE(header.HasCapturePattern());
        EXPECT_TRUE(OggPageCrcValid(bytes.data() + at, header.PageSize())) << at;
        at += header.PageSize();
    }
    TFlacTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.ReadFrameByNameAsText("TITLE"), "Ogg FLAC");
    EXPECT_EQ(back.ReadFrameByNameAsText("ALBUM"), "fits into the padding");
    EXPECT_EQ(GetBE16(bytes.data() + 28 + 7), back.FOggHeaderPages > 0 ? 2 : 0);
    if (md5.empty()) {
        VANTOR_SKIP_UNLESS_CI("ffmpeg is missing: the audio after the save was not compared");
    }
    EXPECT_EQ(DecodedAudioMd5(file), md5);
}

TEST(FlacInterop, TagsOfMutagenReadAndOursReadByMutagen)
{
    if (!HasFfmpeg() || !HasMutagen())
        VANTOR_SKIP_UNLESS_CI("ffmpeg or mutagen is missing");
    const auto dir = ScratchDir("FlacInterop");
    const std::string file = ScratchCopy("flac/tagged.flac", dir);
    const std::string md5 = DecodedAudioMd5(file);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    ASSERT_EQ(tags.CoverArtCount(), 1);
    tags.SetTag("TITLE", "Ünïcode");
    tags.SetTag("COMMENT", std::string(5000, 'z'));
    ASSERT_EQ(tags.SaveToFile(file), 0);
    const std::string seen = MutagenTags(file);
    EXPECT_NE(seen.find("TITLE=Ünïcode"), std::string::npos) << seen;
    EXPECT_NE(seen.find("ARTIST=Second"), std::string::npos) << seen;
    EXPECT_NE(FfprobeTags(file).find("Ünïcode"), std::string::npos);
    EXPECT_EQ(
        RunShell(
            "/usr/bin/python3 -c \"import mutagen.flac,sys; print(len(mutagen.flac.FLAC(sys.argv[1]).pictures))\" '"
            + file + "'")
            .Text,
        "1\n");
    EXPECT_EQ(DecodedAudioMd5(file), md5);
}

TEST(FlacInterop, MetaflacAndTheReferenceDecoder)
{
    if (!HasTool("metaflac") || !HasTool("flac"))
        VANTOR_SKIP_UNLESS_CI("metaflac or flac is missing");
    const auto dir = ScratchDir("Metaflac");
    const std::string file = ScratchCopy("flac/tagged.flac", dir);
    ASSERT_EQ(
        RunShell("metaflac --remove-tag=TITLE --set-tag='TITLE=From metaflac' --set-tag='LYRICIST=Ünï' '" + file + "'")
            .Status,
        0);
    TFlacTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), "From metaflac");
    EXPECT_EQ(tag.ReadFrameByNameAsText("LYRICIST"), "Ünï");

    // In place, then a complete rewrite: the decoder checks the audio against
    // the MD5 stored in STREAMINFO each time.
    for (size_t size : { 20u, 9000u }) {
        tag.SetTextFrameText("COMMENT", std::string(size, 'm'));
        ASSERT_EQ(tag.SaveToFile(file), 0);
        EXPECT_EQ(RunShell("flac -t -s '" + file + "' 2>&1").Status, 0);
        const std::string exported = RunShell("metaflac --export-tags-to=- '" + file + "'").Text;
        EXPECT_NE(exported.find("COMMENT=" + std::string(size, 'm') + "\n"), std::string::npos);
        EXPECT_NE(exported.find("LYRICIST=Ünï"), std::string::npos);
        EXPECT_NE(RunShell("metaflac --list --block-type=PICTURE '" + file + "'").Text.find("MIME type: image/png"),
            std::string::npos);
    }
}

} // namespace
} // namespace vantor
