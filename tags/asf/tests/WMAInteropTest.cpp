// What other tools make of WMA files: attributes mutagen writes read back through the
// model, mutagen and ffprobe read what we write, and ffmpeg decodes the same audio after
// every kind of save.

#include "tags/Tags.h"
#include "tags/asf/WMATag.h"
#include "tags/tests/InteropTools.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/Requirements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace vantor {
namespace {

using namespace vantor::test;

std::string Mutagen(const std::string& script, const std::string& path)
{
    return RunCommand("/usr/bin/python3 -c \"import sys, struct\nfrom mutagen.asf import ASF, ASFBoolAttribute, "
                      "ASFByteArrayAttribute, ASFDWordAttribute\n"
        + script + "\" '" + path + "' 2>&1");
}

class WMAInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveInteropTools("mutagen.asf"))
            VANTOR_SKIP_UNLESS_CI("ffmpeg, ffprobe or mutagen missing");
    }

    // A fresh WMA v2 file made by ffmpeg.
    std::string MakeWMA(const std::filesystem::path& dir, const std::string& name)
    {
        const std::string path = (dir / name).string();
        RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i sine=frequency=440:sample_rate=22050:duration=1 -c:a wmav2 "
                   "-b:a 32k '"
            + path + "' 2>&1");
        return path;
    }
};

TEST_F(WMAInterop, ReadsWhatMutagenWrites)
{
    const auto dir = ScratchDir("WMAInterop.Read");
    const std::string path = MakeWMA(dir, "mutagen.wma");
    ASSERT_EQ(Mutagen("f = ASF(sys.argv[1])\n"
                      "f['Title'] = 'Caf\\u00e9'\n"
                      "f['Author'] = 'Someone'\n"
                      "f['WM/AlbumTitle'] = 'Album'\n"
                      "f['WM/Track'] = ASFDWordAttribute(6)\n"
                      "f['WM/Genre'] = ['Jazz', 'Blues']\n"
                      "f['WM/IsCompilation'] = ASFBoolAttribute(True)\n"
                      "f['WM/Lyrics'] = 'l' * 40000\n"
                      "f['WM/Picture'] = ASFByteArrayAttribute(b'\\x04' + struct.pack('<I', 3) + "
                      "'image/jpeg\\0'.encode('utf-16-le') + 'Back\\0'.encode('utf-16-le') + b'\\xff\\xd8\\xff')\n"
                      "f.save()",
                  path),
        "");

    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "Caf\xC3\xA9");
    EXPECT_EQ(tags.GetTag("ARTIST"), "Someone");
    EXPECT_EQ(tags.GetTag("ALBUM"), "Album");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "7");
    EXPECT_EQ(tags.TypeCount("GENRE"), 2);
    EXPECT_EQ(tags.GetTag("LYRICS"), std::string(40000, 'l')); // in the Metadata Library
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/jpeg");
    EXPECT_EQ(tags.CoverArts[0]->Description, "Back");
    EXPECT_EQ(tags.CoverArts[0]->CoverType, 4u);
    EXPECT_EQ(tags.CoverArts[0]->Stream.Size(), 3u);
    EXPECT_EQ(tags.SourceAudioAttributes->SamplesPerSec(), 22050u);
    EXPECT_EQ(tags.SourceAudioAttributes->Channels(), 1);
    EXPECT_EQ(tags.SourceAudioAttributes->BitRate(), 32u);

    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wmaSuccess);
    EXPECT_EQ(tag.ReadAsInteger("WM/IsCompilation"), 1);
    const std::string length = Mutagen("print(round(ASF(sys.argv[1]).info.length, 3))", path);
    EXPECT_NEAR(double(tag.Duration()) / 1e7, std::stod(length), 0.0005);
}

TEST_F(WMAInterop, MutagenAndFfprobeReadWhatWeWrite)
{
    const auto dir = ScratchDir("WMAInterop.Write");
    const std::string path = MakeWMA(dir, "ours.wma");
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
        tags.SetTag("TITLE", "Caf\xC3\xA9");
        tags.SetTag("ARTIST", "Someone");
        tags.SetTag("ALBUM", "Album");
        tags.SetTag("TRACKNUMBER", "4");
        tags.SetTag("GENRE", "Jazz");
        tags.AddField("GENRE", "Blues");
        tags.SetTag("LYRICS", std::string(40000, 'l'));
        TMemoryStream jpeg(std::vector<uint8_t> { 0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F' });
        tags.AddCoverArt("Cover", jpeg, "image/jpeg")->CoverType = 3;
        ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess);
    }
    TWMATag ours;
    ASSERT_EQ(ours.LoadFromFile(path), wmaSuccess);
    ours.SetAsInteger("WM/IsCompilation", wmaTypeBool, 1);
    ours.SetAsInteger("WM/Playcount", wmaTypeQWORD, 5000000000);
    ASSERT_EQ(ours.SaveToFile(path), wmaSuccess);

    const std::string mutagen =
        Mutagen("t = ASF(sys.argv[1]).tags\n"
                "p = t['WM/Picture'][0].value\n"
                "print(t['Title'][0], t['Author'][0], t['WM/AlbumTitle'][0], t['WM/Track'][0].value, "
                "t['WM/TrackNumber'][0], [str(g) for g in t['WM/Genre']], len(str(t['WM/Lyrics'][0])), "
                "t['WM/IsCompilation'][0].value, t['WM/Playcount'][0].value, p[0], struct.unpack('<I', p[1:5])[0], "
                "p[5:25].decode('utf-16-le'))",
            path);
    EXPECT_EQ(mutagen, "Caf\xC3\xA9 Someone Album 3 4 ['Jazz', 'Blues'] 40000 True 5000000000 3 10 image/jpeg\n");

    const std::string probe = RunCommand(
        "ffprobe -v error -show_entries format_tags=title,artist,album -of default=nw=1 '" + path + "' 2>&1");
    for (const char* line : { "TAG:title=Caf\xC3\xA9", "TAG:artist=Someone", "TAG:album=Album" })
        EXPECT_NE(probe.find(line), std::string::npos) << line << "\n" << probe;
}

TEST_F(WMAInterop, DecodedAudioIsTheSameAfterEverySave)
{
    const auto dir = ScratchDir("WMAInterop.Audio");
    const std::string made = MakeWMA(dir, "made.wma");
    const std::string tagged = ScratchCopy("asf/mutagen.wma", dir);
    for (const std::string& path : { made, tagged }) {
        SCOPED_TRACE(path);
        const std::string original = DecodedMD5(path);
        ASSERT_FALSE(original.empty());
        // Rewrites (ffmpeg's file has no padding; 6000 characters outgrow mutagen's), then saves
        // into the padding left behind, growing and shrinking.
        for (const std::string& title : { std::string(6000, 'a'), std::string(6100, 'b'), std::string("c") }) {
            const uint64_t size = std::filesystem::file_size(path);
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
            tags.SetTag("TITLE", title);
            ASSERT_EQ(tags.SaveToFile(path, ttWMA), tlSuccess);
            EXPECT_EQ(DecodedMD5(path), original) << title.size();
            if (title.size() != 6000) {
                EXPECT_EQ(std::filesystem::file_size(path), size) << "saved in place";
            }
        }
    }
}

TEST_F(WMAInterop, TheTagToolEditsWMA)
{
    const auto dir = ScratchDir("WMAInterop.Tool");
    const std::string path = MakeWMA(dir, "tool.wma");
    const std::string original = DecodedMD5(path);
    // A picture ffmpeg can decode, since it opens attached pictures too.
    RunCommand("ffmpeg -v error -nostdin -y -f lavfi -i color=c=red:s=2x2 -frames:v 1 '" + (dir / "c.png").string()
        + "' 2>&1");
    // The tool is a layer above the tag library: it runs as its own process.
    const std::string tool = std::string("'") + VANTOR_TAGS_TOOL + "'";
    const std::string edit = tool + " --set 'TITLE=From the tool' --set ALBUM=Disc --picture '"
        + (dir / "c.png").string() + "' '" + path + "'";
    ASSERT_EQ(std::system((edit + " >/dev/null").c_str()), 0) << edit;
    EXPECT_EQ(DecodedMD5(path), original);

    const std::string json = RunCommand(tool + " --json '" + path + "' 2>&1");
    for (const char* part :
        { "{\"name\":\"TITLE\",\"value\":\"From the tool\"", "{\"name\":\"ALBUM\",\"value\":\"Disc\"",
            "\"mime\":\"image/png\"", "\"sampleRate\":22050", "\"bitRate\":32" })
        EXPECT_NE(json.find(part), std::string::npos) << part << "\n" << json;
    const std::string probe =
        RunCommand("ffprobe -v error -show_entries format_tags=title -of default=nw=1 '" + path + "' 2>&1");
    EXPECT_NE(probe.find("TAG:title=From the tool"), std::string::npos) << probe;
}

} // namespace
} // namespace vantor
