// What other tools make of the files we write: ffmpeg decodes the same audio
// after every kind of save, and mutagen and ffprobe read our items.

#include "tags/Tags.h"
#include "tags/tests/InteropTools.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/Requirements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace vantor {
namespace {

using namespace vantor::test;

class MP4Interop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveInteropTools("mutagen"))
            VANTOR_SKIP_UNLESS_CI("ffmpeg, ffprobe or mutagen missing");
    }
};

TEST_F(MP4Interop, DecodedAudioIsTheSameAfterEverySave)
{
    const auto dir = ScratchDir("MP4Interop.Audio");
    for (const char* name : { "aac-faststart.m4a", "aac-co64.m4a", "aac-mdat64.m4a", "aac-moov-last.m4a", "alac.m4a",
             "alac-mutagen.m4a" }) {
        SCOPED_TRACE(name);
        const std::string path = ScratchCopy(std::string("mp4/") + name, dir);
        const std::string original = DecodedMD5(path);
        ASSERT_FALSE(original.empty());
        // A save that moves mdat, one into the padding it left, one that shrinks.
        for (const std::string& title : { std::string(5000, 'a'), std::string(5100, 'b'), std::string("c") }) {
            TTags tags;
            tags.LoadFromFile(path);
            tags.SetTag("TITLE", title);
            ASSERT_EQ(tags.SaveToFile(path, ttMP4), tlSuccess);
            EXPECT_EQ(DecodedMD5(path), original) << title.size();
        }
    }
}

TEST_F(MP4Interop, MutagenAndFfprobeReadOurItems)
{
    const auto dir = ScratchDir("MP4Interop.Items");
    for (const char* name : { "aac-faststart.m4a", "alac.m4a" }) {
        SCOPED_TRACE(name);
        const std::string path = ScratchCopy(std::string("mp4/") + name, dir);
        {
            TTags tags;
            tags.LoadFromFile(path);
            tags.SetTag("TITLE", "Caf\xC3\xA9");
            tags.SetTag("ARTIST", "Someone");
            tags.SetTag("TRACKNUMBER", "4/9");
            tags.SetTag("DISCNUMBER", "1/2");
            tags.SetTag("GENRE", "Jazz");
            tags.SetTag("BPM", "98");
            tags.SetTag("PARTOFCOMPILATION", "1");
            tags.SetTag("MEDIA", "Music");
            tags.SetTag("CUSTOM", "own");
            TMemoryStream jpeg(std::vector<uint8_t> { 0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F' });
            tags.AddCoverArt("Cover", jpeg, "image/jpeg");
            ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess);
        }
        const std::string mutagen = RunCommand(
            "/usr/bin/python3 -c \"import sys; from mutagen.mp4 import MP4; t = MP4(sys.argv[1]).tags; "
            "print(t['\\xa9nam'][0], t['\\xa9ART'][0], t['trkn'][0], t['disk'][0], t['\\xa9gen'][0], t['tmpo'][0], "
            "t['cpil'], t['stik'][0], bytes(t['----:com.apple.iTunes:CUSTOM'][0]).decode(), len(t['covr'][0]))\" '"
            + path + "' 2>&1");
        EXPECT_EQ(mutagen, "Caf\xC3\xA9 Someone (4, 9) (1, 2) Jazz 98 True 1 own 10\n");

        const std::string probe = RunCommand("ffprobe -v error -show_entries format_tags=title,artist,track,disc,genre "
                                             "-of default=nw=1 '"
            + path + "' 2>&1");
        for (const char* line :
            { "TAG:title=Caf\xC3\xA9", "TAG:artist=Someone", "TAG:track=4/9", "TAG:disc=1/2", "TAG:genre=Jazz" })
            EXPECT_NE(probe.find(line), std::string::npos) << line << "\n" << probe;
    }
}

} // namespace
} // namespace vantor
