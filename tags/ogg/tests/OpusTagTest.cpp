#include "tags/ogg/OpusTag.h"
#include "tags/Tags.h"
#include "tags/io/Bytes.h"
#include "tags/ogg/OggStream.h"
#include "tags/ogg/tests/ExternalTools.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/Requirements.h"

#include <gtest/gtest.h>

#include <map>

namespace vantor {
namespace {

using namespace vantor::test;

std::vector<uint8_t> CommentPacket(const std::vector<std::string>& entries, uint32_t count)
{
    std::vector<uint8_t> packet = Bytes("OpusTags");
    AppendLE32(packet, 3);
    Append(packet, Bytes("abc"));
    AppendLE32(packet, count);
    for (const std::string& entry : entries) {
        AppendLE32(packet, uint32_t(entry.size()));
        Append(packet, Bytes(entry));
    }
    return packet;
}

// An Opus stream: the OpusHead page, the comment pages, two audio pages.
std::vector<uint8_t> MakeOpus(const std::vector<uint8_t>& comment)
{
    TOggHeader header;
    std::copy_n("OggS", 4, header.ID);
    header.Serial = 0x1234;
    TMemoryStream templ(header.Encode());
    TOGGStream ogg(templ);
    std::vector<uint8_t> head = Bytes("OpusHead");
    Append(head, { 1, 2, 0x38, 0x01, 0x80, 0xBB, 0, 0, 0, 0, 0 });
    TMemoryStream out, a(head), b(comment);
    ogg.CreateTagStream(a, out, 0);
    const int pages = ogg.CreateTagStream(b, out, 1);
    for (int i = 0; i < 2; ++i) {
        TMemoryStream audio(std::vector<uint8_t>(100, uint8_t(i + 1)));
        ogg.CreateTagStream(audio, out, uint32_t(pages + 1 + i));
    }
    return out.Bytes();
}

// Every page checks, and each logical stream numbers its pages 0, 1, 2 ...
void ExpectAllPagesValid(const std::vector<uint8_t>& bytes)
{
    std::map<uint32_t, uint32_t> next;
    for (uint64_t at = 0; at < bytes.size();) {
        const TOggHeader header = DecodeOggHeader(bytes.data() + at, bytes.size() - at);
        ASSERT_TRUE(header.HasCapturePattern()) << at;
        ASSERT_LE(at + header.PageSize(), bytes.size());
        EXPECT_TRUE(OggPageCrcValid(bytes.data() + at, header.PageSize())) << at;
        EXPECT_EQ(header.PageNumber, next[header.Serial]++) << at;
        at += header.PageSize();
    }
}

TEST(OpusTag, CommentsAsStoredInThePacket)
{
    TMemoryStream stream(MakeOpus(CommentPacket({ "title=Song", "NOEQUALS", "=empty name", "a=b=c", "Tab=x\ty" }, 5)));
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), 0);
    EXPECT_EQ(tag.Format, ofOpus);
    EXPECT_EQ(tag.VendorString, "abc");
    ASSERT_EQ(tag.Count(), 4);
    EXPECT_EQ(tag.Frames[0]->Name, "TITLE");
    EXPECT_EQ(tag.Frames[1]->Name, "");
    EXPECT_EQ(tag.Frames[1]->GetAsText(), "empty name");
    EXPECT_EQ(tag.ReadFrameByNameAsText("a"), "b=c");
    EXPECT_EQ(tag.ReadFrameByNameAsText("TAB"), "x y");
    EXPECT_EQ(tag.AudioProperties().Channels, 2);
    EXPECT_EQ(tag.AudioProperties().SamplesPerSec, 48000u);

    tag.DeleteFrame(0);
    for (int i = 0; i < tag.Count(); ++i)
        EXPECT_EQ(tag.Frames[size_t(i)]->Index, i);
}

TEST(OpusTag, HostileCountsAndLengthsEndPromptly)
{
    for (const auto& packet : { CommentPacket({ "A=1" }, 0xFFFFFFFF), CommentPacket({}, 0x7FFFFFFF) }) {
        TMemoryStream stream(MakeOpus(packet));
        TOpusTag tag;
        EXPECT_EQ(tag.LoadFromStream(stream), 0);
        EXPECT_LE(tag.Count(), 1);
    }
    std::vector<uint8_t> vendor = Bytes("OpusTags");
    AppendLE32(vendor, 0xFFFFFF00);
    TMemoryStream stream(MakeOpus(vendor));
    TOpusTag tag;
    EXPECT_EQ(tag.LoadFromStream(stream), 0);
    EXPECT_EQ(tag.Count(), 0);
}

TEST(OpusTag, SameSizeSaveIsInPlaceAndAGrowingOneRenumbers)
{
    const std::vector<uint8_t> original = MakeOpus(CommentPacket({ "TITLE=Song" }, 1));
    TMemoryStream stream(original);
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), 0);
    tag.SetTextFrameText("TITLE", "Sonf");
    ASSERT_EQ(tag.SaveToStream(stream), 0);
    EXPECT_EQ(stream.Size(), original.size());
    ExpectAllPagesValid(stream.Bytes());

    tag.AddTextFrame("COMMENT", std::string(9000, 'c'));
    ASSERT_EQ(tag.SaveToStream(stream), 0);
    ExpectAllPagesValid(stream.Bytes());
    TOpusTag back;
    ASSERT_EQ(back.LoadFromStream(stream), 0);
    EXPECT_EQ(back.ReadFrameByNameAsText("TITLE"), "Sonf");
    EXPECT_EQ(back.ReadFrameByNameAsText("COMMENT").size(), 9000u);
    EXPECT_EQ(back.Info.HeaderPages, 3u);
    // The audio pages follow unchanged but for their numbers and CRCs.
    const std::vector<uint8_t>& bytes = stream.Bytes();
    EXPECT_TRUE(std::equal(original.end() - 100, original.end(), bytes.end() - 100));
}

TEST(OpusTag, HeaderPageSharedWithAudioIsNotRewritten)
{
    // The comment packet's last page also starts an audio packet: rebuilding
    // the header pages would lose it, so the save is refused.
    TOggHeader header;
    std::copy_n("OggS", 4, header.ID);
    TMemoryStream templ(header.Encode());
    TOGGStream ogg(templ);
    std::vector<uint8_t> head = Bytes("OpusHead");
    Append(head, { 1, 1, 0, 0, 0x80, 0xBB, 0, 0, 0, 0, 0 });
    std::vector<uint8_t> packets = CommentPacket({ "TITLE=x" }, 1);
    const uint64_t commentSize = packets.size();
    Append(packets, std::vector<uint8_t>(50, 0xAA));
    TMemoryStream out, a(head), b(packets);
    ogg.CreateTagStream(a, out, 0);
    templ.Bytes()[18] = 1; // the next pages are numbered from 1
    TOGGStream second(templ);
    second.CreateTagStreamVorbis(commentSize, b, out);
    const std::vector<uint8_t> before = out.Bytes();

    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromStream(out), 0);
    EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), "x");
    EXPECT_FALSE(tag.Info.Rewritable);
    tag.SetTextFrameText("TITLE", "longer title");
    EXPECT_EQ(tag.SaveToStream(out), otrError);
    EXPECT_EQ(out.Bytes(), before);
}

TEST(OpusTag, PaddingCommentDroppedUnlessAsked)
{
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("ogg/opus.opus")), 0);
    EXPECT_EQ(tag.ReadFrameByNameAsText("PADDING"), "#####");
    TMemoryStream stream(ReadBytes(Fixture("ogg/opus.opus")));
    ASSERT_EQ(tag.SaveToStream(stream), 0);
    TOpusTag back;
    back.LoadFromStream(stream);
    EXPECT_EQ(back.FrameExists("PADDING"), -1);
    EXPECT_EQ(back.ReadFrameByNameAsText("ALBUM"), "Fixtures");

    // With padding allowed, the first save makes room and the next one fits
    // into it, keeping the file's size.
    back.WritePadding = true;
    back.AddTextFrame("COMMENT", std::string(300, 'c'));
    ASSERT_EQ(back.SaveToStream(stream), 0);
    const uint64_t size = stream.Size();
    back.SetTextFrameText("ALBUM", "F");
    back.SetTextFrameText("COMMENT", std::string(900, 'c'));
    ASSERT_EQ(back.SaveToStream(stream), 0);
    EXPECT_EQ(stream.Size(), size);
    ExpectAllPagesValid(stream.Bytes());
    TOpusTag again;
    again.LoadFromStream(stream);
    EXPECT_EQ(again.ReadFrameByNameAsText("ALBUM"), "F");
    EXPECT_GT(again.ReadFrameByNameAsText("PADDING").size(), 0u);
}

TEST(OpusTag, PlayTimeLeavesOutPreSkipAndWhatCameBeforeTheFirstPage)
{
    // 0.3 s from the start, and 2 s cut out of a longer stream whose first kept audio page
    // begins at sample 48000; both with a pre-skip of 312 samples.
    const struct {
        const char* File;
        double Seconds;
    } Cases[] = { { "ogg/opus.opus", 0.3 }, { "ogg/opus-cut.opus", 2.0 } };
    for (const auto& c : Cases) {
        TOpusTag tag;
        tag.ParsePlayTime = true;
        ASSERT_EQ(tag.LoadFromFile(Fixture(c.File)), 0) << c.File;
        EXPECT_EQ(tag.Info.PreSkip, 312) << c.File;
        EXPECT_NEAR(tag.Info.PlayTime, c.Seconds, 1e-9) << c.File;
    }

    // A save of the cut stream keeps its audio and its play time.
    const auto dir = ScratchDir("OpusCut");
    const std::string file = ScratchCopy("ogg/opus-cut.opus", dir);
    const std::string md5 = HasFfmpeg() ? DecodedAudioMd5(file) : "";
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), 0);
    tags.SetTag("TITLE", std::string(3000, 't'));
    ASSERT_EQ(tags.SaveToFile(file), 0);
    if (!md5.empty()) {
        EXPECT_EQ(DecodedAudioMd5(file), md5);
    }
    TOpusTag back;
    back.ParsePlayTime = true;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_NEAR(back.Info.PlayTime, 2.0, 1e-9);
}

TEST(OpusTag, PicturesAsBase64Blocks)
{
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("ogg/vorbis.ogg")), 0);
    EXPECT_EQ(tag.Format, ofVorbis);
    ASSERT_EQ(tag.PictureCount(), 1);
    const TNativePicture picture = tag.Picture(0);
    EXPECT_EQ(picture.MIMEType, "image/png");
    EXPECT_EQ(picture.Description, "front");
    EXPECT_EQ(picture.CoverType, 3u);
    EXPECT_EQ(picture.Data.size(), 70u);
    EXPECT_EQ(
        tag.Frames[size_t(tag.FrameExists("METADATA_BLOCK_PICTURE"))]->GetAsText().rfind("COVER ART BINARY ", 0), 0u);

    TNativePicture upper = picture;
    upper.MIMEType = "IMAGE/JPEG";
    const int index = tag.AddCoverArtFrame(upper);
    TNativePicture stored;
    ASSERT_TRUE(tag.GetCoverArtFromFrame(index, stored));
    EXPECT_EQ(stored.MIMEType, "image/jpeg");
    EXPECT_EQ(stored.Data, picture.Data);
}

TEST(OpusTag, VorbisSaveKeepsSetupHeaderAudioAndPages)
{
    const auto dir = ScratchDir("VorbisSave");
    const std::string file = ScratchCopy("ogg/vorbis.ogg", dir);
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    const std::vector<uint8_t> setup = tag.VorbisData;
    ASSERT_GT(setup.size(), 100u);
    const std::string md5 = HasFfmpeg() ? DecodedAudioMd5(file) : "";

    tag.SetTextFrameText("TITLE", std::string(5000, 't'));
    tag.DeleteFrameByName("ARTIST");
    ASSERT_EQ(tag.SaveToFile(file), 0);
    TOpusTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.VorbisData, setup);
    EXPECT_EQ(back.ReadFrameByNameAsText("TITLE").size(), 5000u);
    EXPECT_EQ(back.ReadFrameByNameAsText("ARTIST"), "Second");
    ExpectAllPagesValid(ReadBytes(file));
    if (!md5.empty()) {
        EXPECT_EQ(DecodedAudioMd5(file), md5);
    }
}

TEST(OpusTag, TheoraMultiplexedWithVorbis)
{
    const auto dir = ScratchDir("Theora");
    const std::string file = ScratchCopy("ogg/theora-vorbis.ogv", dir);
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.Format, ofTheora);
    EXPECT_EQ(tag.StreamFormat(), afOggTheora);
    EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), "Both");
    const std::vector<uint8_t> setup = tag.VorbisData;
    const std::string md5 =
        HasFfmpeg() ? RunShell("ffmpeg -v error -i '" + file + "' -map 0 -f md5 - 2>/dev/null").Text : "";

    tag.SetTextFrameText("TITLE", std::string(6000, 'v'));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    TOpusTag back;
    ASSERT_EQ(back.LoadFromFile(file), 0);
    EXPECT_EQ(back.ReadFrameByNameAsText("TITLE").size(), 6000u);
    EXPECT_EQ(back.VorbisData, setup);
    ExpectAllPagesValid(ReadBytes(file));
    if (md5.empty() || !HasTool("ogginfo")) {
        VANTOR_SKIP_UNLESS_CI("ffmpeg or ogginfo is missing: the audio after the save was not checked");
    }
    EXPECT_EQ(RunShell("ffmpeg -v error -i '" + file + "' -map 0 -f md5 - 2>/dev/null").Text, md5);
    const std::string info = RunShell("ogginfo '" + file + "' 2>&1").Text;
    EXPECT_EQ(info.find("WARNING"), std::string::npos) << info;
    EXPECT_EQ(info.find("ERROR"), std::string::npos) << info;
}

TEST(OpusTag, NotOggOrUnknownCodec)
{
    TOpusTag tag;
    EXPECT_EQ(tag.LoadFromFile(Fixture("flac/tagged.flac")), otrError);
    EXPECT_EQ(tag.LoadFromFile(Fixture("ogg/missing.ogg")), otrCannotOpen);
    EXPECT_EQ(tag.LoadFromFile(Fixture("flac/ogg-flac.oga")), otrError);
    const auto dir = ScratchDir("NotOgg");
    EXPECT_EQ(tag.SaveToFile(ScratchCopy("flac/ogg-flac.oga", dir)), otrNotOgg);
}

// Through the unified model, checked by mutagen and ffmpeg.
TEST(OggInterop, TagsWrittenThroughTTagsReadElsewhere)
{
    if (!HasFfmpeg() || !HasMutagen())
        VANTOR_SKIP_UNLESS_CI("ffmpeg or mutagen is missing");
    const auto dir = ScratchDir("OggInterop");
    for (const std::string fixture : { "ogg/vorbis.ogg", "ogg/opus.opus" }) {
        SCOPED_TRACE(fixture);
        const std::string file = ScratchCopy(fixture, dir);
        const std::string md5 = DecodedAudioMd5(file);
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), 0);
        EXPECT_EQ(tags.GetTag("TITLE"), "Sine");
        tags.SetTag("TITLE", "Ünïcode title");
        tags.SetTag("GENRE", "Test");
        ASSERT_EQ(tags.SaveToFile(file), 0);
        const std::string seen = MutagenTags(file);
        EXPECT_NE(seen.find("TITLE=Ünïcode title"), std::string::npos) << seen;
        EXPECT_NE(seen.find("GENRE=Test"), std::string::npos) << seen;
        EXPECT_NE(FfprobeTags(file).find("Ünïcode title"), std::string::npos);
        EXPECT_EQ(DecodedAudioMd5(file), md5);
        ExpectAllPagesValid(ReadBytes(file));
    }
}

TEST(OggInterop, VorbisToolsReadAndCheckOurPages)
{
    if (!HasTool("vorbiscomment") || !HasTool("ogginfo"))
        VANTOR_SKIP_UNLESS_CI("vorbis-tools is missing");
    const auto dir = ScratchDir("VorbisTools");
    const std::string file = ScratchCopy("ogg/vorbis.ogg", dir);
    ASSERT_EQ(RunShell("vorbiscomment -a -t 'LYRICIST=Ünï' '" + file + "'").Status, 0);
    TOpusTag tag;
    ASSERT_EQ(tag.LoadFromFile(file), 0);
    EXPECT_EQ(tag.ReadFrameByNameAsText("LYRICIST"), "Ünï");
    EXPECT_EQ(tag.PictureCount(), 1);

    tag.SetTextFrameText("TITLE", std::string(7000, 'o'));
    ASSERT_EQ(tag.SaveToFile(file), 0);
    const std::string listed = RunShell("vorbiscomment -l '" + file + "'").Text;
    EXPECT_NE(listed.find("TITLE=" + std::string(7000, 'o')), std::string::npos);
    EXPECT_NE(listed.find("LYRICIST=Ünï"), std::string::npos);
    // ogginfo reports damaged pages, sequence gaps and broken headers.
    const TShellOutput info = RunShell("ogginfo '" + file + "' 2>&1");
    EXPECT_EQ(info.Status, 0) << info.Text;
    EXPECT_EQ(info.Text.find("WARNING"), std::string::npos) << info.Text;
    EXPECT_EQ(info.Text.find("ERROR"), std::string::npos) << info.Text;
}

} // namespace
} // namespace vantor
