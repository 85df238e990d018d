// Tags written by third-party tools (mutagen, the id3v2 command, ffmpeg) are read
// by TTags, and tags written by TTags and vantor-tags are read by mutagen and
// ffprobe; saving tags never changes the decoded audio.

#include "tags/Tags.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/id3v1/ID3v1Tag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/Requirements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/wait.h>

using namespace vantor;
using namespace vantor::test;

namespace {

const std::string Python = "/usr/bin/python3";
const std::string MutagenTool = std::string(VANTOR_SOURCE_DIR) + "/tags/tests/interop/mutagen_tool.py";
const std::vector<uint8_t> Jpeg = { 0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00,
    0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xD9 };

std::string Quote(const std::string& text)
{
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

struct TOutput {
    int Status = -1;
    std::string Text;
};

// Runs a shell command; stdout is captured, stderr goes where the command says.
TOutput Shell(const std::string& command)
{
    TOutput out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.Text.append(buffer, n);
    const int status = ::pclose(pipe);
    out.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

bool HasTools()
{
    return Shell("command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null && command -v id3v2 >/dev/null && "
               + Python + " -c 'import mutagen' 2>/dev/null")
               .Status
        == 0;
}

#define REQUIRE_TOOLS()                                                                                                \
    if (!HasTools())                                                                                                   \
    VANTOR_SKIP_UNLESS_CI("ffmpeg, ffprobe, id3v2 or python3-mutagen is missing")

std::string Mutagen(const std::string& command, const std::string& file, const std::string& extra = "")
{
    const TOutput out = Shell(Python + " " + Quote(MutagenTool) + " " + command + " " + Quote(file) + " " + extra);
    EXPECT_EQ(out.Status, 0) << command << " " << file;
    return out.Text;
}

bool HasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text + "\n").find("\n" + line + "\n") != std::string::npos;
}

// The format-level tags as ffprobe reports them: "TAG:key=value" lines.
std::string Probe(const std::string& file)
{
    return Shell("ffprobe -v error -show_entries format_tags -of default=nw=1 " + Quote(file)).Text;
}

struct TDecoded {
    std::string MD5;    // of the decoded audio
    std::string Errors; // what ffmpeg reported while decoding
};

TDecoded DecodeAudio(const std::string& file)
{
    const TOutput out = Shell("ffmpeg -nostdin -v error -i " + Quote(file) + " -map 0:a -f md5 - 2>&1");
    EXPECT_EQ(out.Status, 0) << file;
    TDecoded decoded;
    const size_t md5 = out.Text.rfind("MD5=");
    decoded.MD5 = md5 == std::string::npos ? std::string() : out.Text.substr(md5);
    decoded.Errors = out.Text.substr(0, md5 == std::string::npos ? out.Text.size() : md5);
    EXPECT_FALSE(decoded.MD5.empty()) << file << ": " << out.Text;
    return decoded;
}

std::vector<std::string> Values(const TTags& tags, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& t : tags.Tags)
        if (t->Name == name)
            values.push_back(t->Value);
    return values;
}

class Interop : public ::testing::Test {
protected:
    void SetUp() override
    {
        REQUIRE_TOOLS();
        Dir = ScratchDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    std::filesystem::path Dir;
};

} // namespace

TEST_F(Interop, MutagenID3v23Utf16WithID3v1)
{
    const std::string file = ScratchCopy("plain.mp3", Dir);
    Mutagen("write-id3", file, "3 v1");
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "Ünïcødé 中文");
    EXPECT_EQ(tags.GetTag("ALBUM"), "Альбом");
    EXPECT_EQ(tags.GetTag("ARTIST"), "Alpha/Beta"); // version 2.3 joins values with "/"
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    ASSERT_NE(tags.Tag("MOOD2"), nullptr);
    EXPECT_EQ(tags.Tag("MOOD2")->ExtTagType, ettTXXX);
    EXPECT_EQ(tags.GetTag("MOOD2"), "calm");
    ASSERT_NE(tags.Tag("COMMENT"), nullptr);
    EXPECT_EQ(tags.Tag("COMMENT")->Value, "A comment");
    EXPECT_EQ(tags.Tag("COMMENT")->Language, "eng");
    ASSERT_NE(tags.Tag("LYRICS"), nullptr);
    EXPECT_EQ(tags.Tag("LYRICS")->Value, "Verse one");
    EXPECT_EQ(tags.Tag("LYRICS")->Language, "deu");
    EXPECT_EQ(tags.Tag("LYRICS")->Description, "words");
    EXPECT_EQ(tags.GetTag("shop"), "http://example.com/buy");
    EXPECT_EQ(tags.GetTag("RATING"), "196");
    EXPECT_EQ(tags.GetTag("PLAYCOUNT"), "42");
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Stream.Bytes(), Jpeg);
    EXPECT_EQ(tags.CoverArts[0]->CoverType, 3u);
    EXPECT_EQ(tags.CoverArts[0]->Description, "front");
    EXPECT_TRUE(tags.ID3v1Tag->Loaded);
}

TEST_F(Interop, MutagenID3v24Utf8MultipleValues)
{
    const std::string file = ScratchCopy("plain.mp3", Dir);
    Mutagen("write-id3", file, "4");
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(Values(tags, "ARTIST"), (std::vector<std::string> { "Alpha", "Beta" }));
    EXPECT_EQ(tags.GetTag("TITLE"), "Ünïcødé 中文");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    EXPECT_EQ(tags.CoverArts.size(), 1u);
}

TEST_F(Interop, ID3v22ReadLikeMutagen)
{
    // mutagen and ffmpeg write no version 2.2 tags; this one is built here and mutagen confirms it.
    auto frame = [](const std::string& id, const std::vector<uint8_t>& data) {
        std::vector<uint8_t> f = Bytes(id);
        f.push_back(uint8_t(data.size() >> 16));
        f.push_back(uint8_t(data.size() >> 8));
        f.push_back(uint8_t(data.size()));
        Append(f, data);
        return f;
    };
    std::vector<uint8_t> frames;
    std::vector<uint8_t> title = { 0 };
    Append(title, Bytes("Old title"));
    Append(frames, frame("TT2", title));
    std::vector<uint8_t> artist = { 1, 0xFF, 0xFE, 0xC4, 0x00, 'r', 0, 't', 0 };
    Append(frames, frame("TP1", artist));
    std::vector<uint8_t> track = { 0 };
    Append(track, Bytes("5/9"));
    Append(frames, frame("TRK", track));
    std::vector<uint8_t> picture = { 0, 'J', 'P', 'G', 3, 0 };
    Append(picture, Jpeg);
    Append(frames, frame("PIC", picture));
    std::vector<uint8_t> file = { 'I', 'D', '3', 2, 0, 0, 0, 0, 0, 0 };
    file[9] = uint8_t(frames.size() & 0x7F);
    file[8] = uint8_t(frames.size() >> 7);
    Append(file, frames);
    Append(file, ReadBytes(Fixture("plain.mp3")));
    const std::string path = (Dir / "v22.mp3").string();
    WriteBytes(path, file);

    const std::string dump = Mutagen("dump", path);
    ASSERT_TRUE(HasLine(dump, "TIT2=Old title")) << dump;
    ASSERT_TRUE(HasLine(dump, "TPE1=Ärt")) << dump;
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "Old title");
    EXPECT_EQ(tags.GetTag("ARTIST"), "Ärt");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "5");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "9");
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/jpeg");
    EXPECT_EQ(tags.CoverArts[0]->Stream.Bytes(), Jpeg);

    // Saved back as version 2.3, which mutagen reads the same.
    tags.SetTag("ALBUM", "Added");
    ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess);
    const std::string after = Mutagen("dump", path);
    EXPECT_TRUE(HasLine(after, "ID3VERSION=2.3")) << after;
    EXPECT_TRUE(HasLine(after, "TIT2=Old title")) << after;
    EXPECT_TRUE(HasLine(after, "TALB=Added")) << after;
    EXPECT_TRUE(HasLine(after, "TRCK=5/9")) << after;
}

TEST_F(Interop, Id3v2CommandAndID3v1)
{
    const std::string both = ScratchCopy("plain.mp3", Dir, "both.mp3");
    ASSERT_EQ(Shell("id3v2 -t 'Command title' -a 'Command artist' -A Album -T 4/10 -c Remark -y 2001 -g 17 "
                  + Quote(both) + " >/dev/null")
                  .Status,
        0);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(both), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "Command title");
    EXPECT_EQ(tags.GetTag("ARTIST"), "Command artist");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "4");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "10");
    EXPECT_EQ(tags.GetTag("COMMENT"), "Remark");
    EXPECT_TRUE(tags.ID3v1Tag->Loaded);
    EXPECT_EQ(tags.ID3v1Tag->Genre, "Rock");

    const std::string v1 = ScratchCopy("plain.mp3", Dir, "v1.mp3");
    ASSERT_EQ(Shell("id3v2 -1 -t 'Only v1' -T 9 " + Quote(v1) + " >/dev/null").Status, 0);
    TTags only;
    ASSERT_EQ(only.LoadFromFile(v1), tlSuccess);
    EXPECT_FALSE(only.ID3v2Tag->Loaded);
    EXPECT_EQ(only.GetTag("TITLE"), "Only v1");
    EXPECT_EQ(only.GetTag("TRACKNUMBER"), "9");
}

TEST_F(Interop, FfmpegTagsInMp3AndAiff)
{
    const std::string mp3 = (Dir / "ff.mp3").string();
    ASSERT_EQ(Shell("ffmpeg -nostdin -v error -y -i " + Quote(Fixture("plain.mp3"))
                  + " -c copy -id3v2_version 4 -metadata title='Fé title' -metadata artist=FF -metadata track=2/5 "
                  + Quote(mp3))
                  .Status,
        0);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(mp3), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "Fé title");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "2");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "5");

    const std::string aiff = (Dir / "ff.aiff").string();
    ASSERT_EQ(Shell("ffmpeg -nostdin -v error -y -i " + Quote(Fixture("plain.aiff"))
                  + " -c copy -write_id3v2 1 -metadata title='AIFF title' " + Quote(aiff))
                  .Status,
        0);
    TTags inAiff;
    ASSERT_EQ(inAiff.LoadFromFile(aiff), tlSuccess);
    EXPECT_EQ(inAiff.GetTag("TITLE"), "AIFF title");
    EXPECT_EQ(inAiff.SourceAudioAttributes->SamplesPerSec(), 8000u);
}

TEST_F(Interop, MutagenAPEv2)
{
    const std::string file = ScratchCopy("plain.mp3", Dir);
    Mutagen("write-ape", file);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(tags.APEv2Tag->Version, 2000u);
    EXPECT_EQ(tags.GetTag("TITLE"), "Ünïcødé");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Stream.Bytes(), Jpeg);
}

TEST_F(Interop, TagsToolWritesWhatMutagenAndFfprobeRead)
{
    const std::string file = ScratchCopy("plain.mp3", Dir);
    WriteBytes(Dir / "front.jpg", Jpeg);
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
        tags.Add("ARTIST")->Value = "Alpha";
        tags.Add("ARTIST")->Value = "Beta";
        TTag* lyrics = tags.Add("LYRICS");
        lyrics->Value = "Line 1\r\nLine 2";
        lyrics->Language = "fra";
        lyrics->Description = "paroles";
        ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess);
    }
    const std::string tool = VANTOR_TAGS_TOOL;
    ASSERT_EQ(
        Shell(Quote(tool) + " --set 'TITLE=Заголовок 标题' --set TRACKNUMBER=3 --set TOTALTRACKS=12 --set CUSTOM=mine"
            + " --set COMMENT=Hello --set PLAYCOUNT=17 --picture " + Quote((Dir / "front.jpg").string()) + " "
            + Quote(file))
            .Status,
        0);

    const std::string dump = Mutagen("dump", file);
    EXPECT_TRUE(HasLine(dump, "TIT2=Заголовок 标题")) << dump;
    EXPECT_TRUE(HasLine(dump, "TPE1=Alpha")) << dump;
    EXPECT_TRUE(HasLine(dump, "TPE1=Beta")) << dump;
    EXPECT_TRUE(HasLine(dump, "TRCK=3/12")) << dump;
    EXPECT_TRUE(HasLine(dump, "TXXX:CUSTOM=mine")) << dump;
    EXPECT_TRUE(HasLine(dump, "COMM:eng:=Hello")) << dump;
    EXPECT_TRUE(HasLine(dump, "USLT:fra:paroles=Line 1\\r\\nLine 2")) << dump;
    EXPECT_TRUE(HasLine(dump, "PCNT=17")) << dump;
    EXPECT_TRUE(HasLine(dump, "APIC:3:image/jpeg:front.jpg=4ba4505f000e7837cabf8ffbabe1570faa4d2536")) << dump;

    const std::string probe = Probe(file);
    EXPECT_TRUE(HasLine(probe, "TAG:title=Заголовок 标题")) << probe;
    EXPECT_TRUE(HasLine(probe, "TAG:track=3/12")) << probe;
    EXPECT_NE(probe.find("TAG:artist=Alpha"), std::string::npos) << probe;
}

TEST_F(Interop, TagsWritesAPEv2AndID3v1)
{
    const std::string file = ScratchCopy("plain.mp3", Dir);
    TTags tags;
    tags.SetTag("TITLE", "Ape title é");
    tags.SetTag("ARTIST", "Ape artist");
    ASSERT_EQ(tags.SaveToFile(file, ttAPEv2), tlSuccess);
    ASSERT_EQ(tags.SaveToFile(file, ttID3v1), tlSuccess);
    const std::string dump = Mutagen("dump", file);
    EXPECT_TRUE(HasLine(dump, "APE:TITLE=Ape title é")) << dump;
    EXPECT_TRUE(HasLine(dump, "APE:ARTIST=Ape artist")) << dump;
    EXPECT_TRUE(HasLine(dump, "TIT2=Ape title ?")) << dump; // mutagen falls back to ID3v1
    // ffmpeg reads ID3v1 (and APE) at the end of an MP3.
    const std::string probe = Probe(file);
    EXPECT_NE(probe.find("Ape artist"), std::string::npos) << probe;

    // A version 1.0 tag saved back as 2.0 in front of the ID3v1 tag.
    const std::string v1 = ScratchCopy("ape-v1.mp3", Dir);
    TTags old;
    ASSERT_EQ(old.LoadFromFile(v1), tlSuccess);
    ASSERT_EQ(old.SaveToFile(v1, ttAPEv2), tlSuccess);
    const std::string resaved = Mutagen("dump", v1);
    EXPECT_TRUE(HasLine(resaved, "APE:TITLE=Café")) << resaved;
    TID3v1Tag id3v1;
    EXPECT_EQ(id3v1.LoadFromFile(v1), id3v1Success);
    EXPECT_EQ(id3v1.Title, "v1 title");
}

TEST_F(Interop, ID3v1InFrontOfWhichLyrics3Stays)
{
    const std::string file = ScratchCopy("id3v1-lyrics3.mp3", Dir);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    tags.SetTag("TITLE", "New title");
    tags.SetTag("GENRE", "Jazz");
    ASSERT_EQ(tags.SaveToFile(file, ttID3v1), tlSuccess);
    const std::string dump = Mutagen("dump", file);
    EXPECT_TRUE(HasLine(dump, "TIT2=New title")) << dump;
    EXPECT_TRUE(HasLine(dump, "TCON=Jazz")) << dump;
    EXPECT_TRUE(HasLine(dump, "TRCK=7")) << dump;
    TID3v1Tag id3v1;
    ASSERT_EQ(id3v1.LoadFromFile(file), id3v1Success);
    EXPECT_EQ(id3v1.GetLyrics(), "First line\r\nSecond line");
}

TEST_F(Interop, TagsWritesID3ChunksInWavAndAiff)
{
    for (const char* fixture : { "plain.wav", "plain.aiff" }) {
        const std::string file = ScratchCopy(fixture, Dir);
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
        tags.SetTag("TITLE", "Chunk title ü");
        ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess) << fixture;
        const std::string dump = Mutagen("dump", file);
        EXPECT_TRUE(HasLine(dump, "TIT2=Chunk title ü")) << fixture << "\n" << dump;
        // ffmpeg reads the ID3 chunk of AIFF files only (WAV titles it takes from LIST INFO).
        if (std::string(fixture) == "plain.aiff") {
            EXPECT_NE(Probe(file).find("Chunk title ü"), std::string::npos) << fixture;
        }
    }
}

TEST_F(Interop, SavingTagsNeverChangesTheAudio)
{
    // A real picture, large enough to move the audio when it is added.
    const std::string picture = (Dir / "big.jpg").string();
    ASSERT_EQ(
        Shell("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=s=320x240 -frames:v 1 " + Quote(picture)).Status, 0);
    for (const char* fixture :
        { "plain.mp3", "plain.wav", "plain.aiff", "id3v1-lyrics3.mp3", "ape-v1.mp3", "id3v2/tagged-v23.mp3",
            "id3v2/tagged-v24.mp3", "id3v2/tagged.wav", "id3v2/tagged.aiff", "mpeg/vbr-xing-mono-22k.mp3",
            "ape-at-end.mp3", "mp4/aac-fragmented.m4a", "mp4/aac-fragmented-moof.m4a" }) {
        const std::string file = ScratchCopy(fixture, Dir);
        const TDecoded before = DecodeAudio(file);
        auto expectSameAudio = [&](const char* after) {
            const TDecoded now = DecodeAudio(file);
            EXPECT_EQ(now.MD5, before.MD5) << fixture << " after " << after;
            if (before.Errors.empty()) {
                EXPECT_EQ(now.Errors, "") << fixture << " after " << after;
            }
        };
        {
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
            tags.SetTag("TITLE", "A much longer title than before, to move things");
            ASSERT_NE(tags.AddCoverArt("big", picture), nullptr);
            ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess) << fixture;
        }
        expectSameAudio("growing the tags");
        {
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
            tags.DeleteAllCoverArts();
            tags.SetTag("TITLE", "Short");
            ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess) << fixture;
            EXPECT_EQ(tags.SaveToFile(file, ttAPEv2), tlSuccess) << fixture;
        }
        expectSameAudio("shrinking the tags");
        {
            // Deleting every field takes the tags out of the file.
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
            while (tags.Count() > 0)
                tags.Delete(tags.Count() - 1);
            ASSERT_EQ(tags.SaveToFile(file, ttAutomatic), tlSuccess) << fixture;
            TTags back;
            ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
            EXPECT_EQ(back.Count(), 0) << fixture; // frames the model does not show may keep a tag
        }
        expectSameAudio("removing the tags");
    }
}
