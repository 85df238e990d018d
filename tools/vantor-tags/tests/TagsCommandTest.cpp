#include "tools/vantor-tags/TagsCommand.h"
#include "tags/Tags.h"
#include "tags/tests/TestFiles.h"
#include "tags/wav/WAVTag.h"
#include "tools/vantor-tags/JsonWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <unistd.h>

using namespace vantor;
using namespace vantor::test;

namespace {

struct TRun {
    int Code;
    std::string Out, Err;
};

TRun RunCommand(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int code = RunTagsCommand(args, out, err);
    return { code, out.str(), err.str() };
}

} // namespace

TEST(TagsCommand, UsageErrors)
{
    for (const auto& args : std::vector<std::vector<std::string>> { {}, { "--bogus", "f" }, { "--set" },
             { "--set", "NOEQUALS", "f" }, { "--json", "--remove", "X", "f" }, { "--picture", "/nonexistent.png", "f" },
             { "--picture-out" }, { "--picture-out", "p.jpg", "f", "g" }, { "--json", "--picture-out", "p.jpg", "f" },
             { "--set", "A=1", "--picture-out", "p.jpg", "f" } }) {
        const TRun run = RunCommand(args);
        EXPECT_EQ(run.Code, tagsExitUsage) << (args.empty() ? "" : args[0]);
        EXPECT_NE(run.Err.find("usage:"), std::string::npos);
    }
}

// Help and version answer on their own, whatever else the line holds, and touch no file.
TEST(TagsCommand, HelpAndVersion)
{
    for (const auto& args : std::vector<std::vector<std::string>> {
             { "--help" }, { "-h", "--bogus" }, { "--json", "--help", "/nonexistent.mp3" }, { "--version" } }) {
        const TRun run = RunCommand(args);
        EXPECT_EQ(run.Code, tagsExitSuccess) << args[0];
        EXPECT_TRUE(run.Err.empty()) << run.Err;
        const bool version = args[0] == "--version";
        EXPECT_EQ(run.Out.rfind(version ? "vantor-tags " : "usage:", 0), 0u) << run.Out;
    }
}

TEST(TagsCommand, SetRemoveAndPictureThenJson)
{
    const auto dir = ScratchDir("CommandEdit");
    const std::string a = ScratchCopy("plain.mp3", dir, "a.mp3");
    const std::string b = ScratchCopy("ape-v2.xyz", dir, "b.xyz");
    const std::vector<uint8_t> png = { 0x89, 'P', 'N', 'G', 1, 2, 3 };
    WriteBytes(dir / "c.png", png);

    TRun run = RunCommand({ "--set", "COMMENT=Line 1\nLine 2", "--set", "ARTIST=Ä\"\\", "--remove", "TRACKNUMBER",
        "--picture", (dir / "c.png").string(), a, b });
    ASSERT_EQ(run.Code, tagsExitSuccess) << run.Err;

    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(b), tlSuccess);
    EXPECT_EQ(tags.GetTag("COMMENT"), "Line 1\r\nLine 2");
    EXPECT_EQ(tags.Exists("TRACKNUMBER"), -1);
    EXPECT_EQ(tags.CoverArtCount(), 2);

    run = RunCommand({ "--json", a });
    ASSERT_EQ(run.Code, tagsExitSuccess);
    EXPECT_EQ(run.Out.front(), '[');
    EXPECT_NE(run.Out.find("\"format\":4"), std::string::npos);
    EXPECT_NE(run.Out.find(
                  "{\"name\":\"COMMENT\",\"value\":\"Line 1\\r\\nLine 2\",\"language\":\"eng\",\"description\":\"\"}"),
        std::string::npos);
    EXPECT_NE(run.Out.find("\"value\":\"Ä\\\"\\\\\""), std::string::npos);
    EXPECT_NE(run.Out.find("\"mime\":\"image/png\",\"type\":3"), std::string::npos);
    EXPECT_NE(run.Out.find("\"sampleRate\":22050"), std::string::npos);
}

// The first picture comes out byte for byte, read from where a load left it; a file without
// a picture writes nothing.
TEST(TagsCommand, PictureOut)
{
    const auto dir = ScratchDir("CommandPictureOut");
    const std::string song = ScratchCopy("plain.flac", dir, "a.flac");
    std::vector<uint8_t> picture(5000);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = uint8_t(i * 7 + i / 251);
    picture[0] = 0xFF;
    picture[1] = 0xD8;
    WriteBytes(dir / "in.jpg", picture);
    ASSERT_EQ(RunCommand({ "--picture", (dir / "in.jpg").string(), song }).Code, tagsExitSuccess);
    const std::string out = (dir / "out.jpg").string();
    const TRun run = RunCommand({ "--picture-out", out, song });
    EXPECT_EQ(run.Code, tagsExitSuccess) << run.Err;
    EXPECT_EQ(ReadBytes(out), picture);

    const std::string bare = ScratchCopy("plain.mp3", dir, "b.mp3");
    const TRun none = RunCommand({ "--picture-out", (dir / "none.jpg").string(), bare });
    EXPECT_EQ(none.Code, tagsExitFailure);
    EXPECT_NE(none.Err.find("holds no picture"), std::string::npos) << none.Err;
    EXPECT_FALSE(std::filesystem::exists(dir / "none.jpg"));
}

TEST(TagsCommand, RemovingTheLastFieldsLeavesNoTag)
{
    const auto dir = ScratchDir("CommandRemoveAll");
    const std::string file = ScratchCopy("plain.mp3", dir);
    const std::vector<uint8_t> untagged = ReadBytes(file);
    TRun run = RunCommand({ "--set", "TITLE=t", "--set", "ARTIST=a", file });
    ASSERT_EQ(run.Code, tagsExitSuccess) << run.Err;
    ASSERT_NE(ReadBytes(file), untagged);

    run = RunCommand({ "--remove", "TITLE", "--remove", "ARTIST", file });
    EXPECT_EQ(run.Code, tagsExitSuccess) << run.Err;
    EXPECT_EQ(ReadBytes(file), untagged);
    // Removing from a file without tags changes nothing and is no failure.
    run = RunCommand({ "--remove", "TITLE", file });
    EXPECT_EQ(run.Code, tagsExitSuccess) << run.Err;
    EXPECT_EQ(ReadBytes(file), untagged);
}

TEST(TagsCommand, JsonGivesWMAItsOwnFormat)
{
    const TRun run = RunCommand({ "--json", Fixture("asf/plain.wma") });
    ASSERT_EQ(run.Code, tagsExitSuccess) << run.Err;
    EXPECT_NE(run.Out.find("\"format\":18"), std::string::npos) << run.Out;
}

TEST(TagsCommand, WavInfoAndBroadcastFields)
{
    const auto dir = ScratchDir("CommandWav");
    const std::string file = ScratchCopy("wav/bext-ffmpeg.wav", dir);
    TRun run = RunCommand({ "--set", "TITLE=Wave title", "--set", "BEXT Description=New description", "--set",
        "CART Title=Cart title", "--set", "CART PostTimer3=MRK 250", "--remove", "BEXT Originator", file });
    ASSERT_EQ(run.Code, tagsExitSuccess) << run.Err;
    run = RunCommand({ file });
    ASSERT_EQ(run.Code, tagsExitSuccess) << run.Err;
    for (const char* line : { "  TITLE=Wave title\n", "  BEXT Description=New description\n",
             "  BEXT CodingHistory=A=PCM,F=8000,W=8,M=mono\n", "  CART Title=Cart title\n",
             "  [audio] 1 channels, 8000 Hz, 8 bits" })
        EXPECT_NE(run.Out.find(line), std::string::npos) << line << run.Out;
    TWAVTag wav;
    ASSERT_EQ(wav.LoadFromFile(file), wavSuccess);
    EXPECT_EQ(wav.ReadFrameByNameAsText("INAM"), "Wave title");
    EXPECT_EQ(wav.BEXT.Description, "New description");
    EXPECT_EQ(wav.BEXT.Originator, "");
    EXPECT_EQ(wav.BEXT.OriginatorReference, "REF42");
    EXPECT_EQ(wav.CART.Title, "Cart title");
    EXPECT_EQ(wav.CART.PostTimers[3].Usage, "MRK ");
    EXPECT_EQ(wav.CART.PostTimers[3].Value, 250u);
}

TEST(TagsCommand, FailuresAreSaidOnceInWords)
{
    const TRun show = RunCommand({ "/nonexistent/x.mp3" });
    EXPECT_EQ(show.Code, tagsExitFailure);
    EXPECT_EQ(show.Out, ""); // no properties of a file that could not be read
    EXPECT_EQ(show.Err, "vantor-tags: /nonexistent/x.mp3: no such file\n");

    const TRun json = RunCommand({ "--json", "/nonexistent/x.mp3" });
    EXPECT_EQ(json.Code, tagsExitFailure);
    EXPECT_NE(json.Out.find("\"result\":5,\"error\":\"no such file\",\"loaded\":false"), std::string::npos);
    EXPECT_EQ(json.Err, "vantor-tags: /nonexistent/x.mp3: no such file\n");

    const TRun edit = RunCommand({ "--set", "A=b", "/nonexistent/x.mp3" });
    EXPECT_EQ(edit.Code, tagsExitFailure);
    EXPECT_EQ(edit.Err, "vantor-tags: /nonexistent/x.mp3: no such file\n");

    // A folder among files: the others are still shown.
    const auto dir = ScratchDir("CommandFailures");
    const std::string file = ScratchCopy("plain.mp3", dir);
    const TRun mixed = RunCommand({ dir.string(), file });
    EXPECT_EQ(mixed.Code, tagsExitFailure);
    EXPECT_EQ(mixed.Err, "vantor-tags: " + dir.string() + ": a folder, not a file\n");
    EXPECT_EQ(mixed.Out.find(dir.string() + "\n"), std::string::npos);
    EXPECT_NE(mixed.Out.find(file + "\n  [audio] 1 channels"), std::string::npos);
    EXPECT_EQ(mixed.Out.find("[audio] 0 channels"), std::string::npos);

    if (geteuid() != 0) { // root opens every file
        std::filesystem::permissions(file, std::filesystem::perms::none);
        const TRun denied = RunCommand({ file });
        std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        EXPECT_EQ(denied.Code, tagsExitFailure);
        EXPECT_EQ(denied.Err, "vantor-tags: " + file + ": permission denied\n");
    }
}

TEST(JsonWriter, Escaping)
{
    EXPECT_EQ(JsonString("a\"b\\c\r\n\t\x01"), "\"a\\\"b\\\\c\\r\\n\\t\\u0001\"");
    EXPECT_EQ(JsonString("\xFF"), "\"\xEF\xBF\xBD\"");
    EXPECT_EQ(JsonNumber(1.5), "1.5");
    EXPECT_EQ(JsonNumber(2), "2");
    EXPECT_EQ(JsonNumber(0.0 / 0.0), "0");
}
