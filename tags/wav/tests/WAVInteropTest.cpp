// What other tools make of the WAV and RF64 files we write: ffmpeg decodes the
// same audio after every save, ffprobe reads our INFO and bext chunks, and
// mutagen reads the ID3 chunk and accepts the chunk structure.

#include "tags/Tags.h"
#include "tags/tests/InteropTools.h"
#include "tags/tests/TestFiles.h"
#include "tags/wav/WAVTag.h"
#include "tests/support/Requirements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace vantor {
namespace {

using namespace vantor::test;

std::string Probe(const std::string& path)
{
    return RunCommand("ffprobe -v error -show_entries format_tags -of default=nw=1 '" + path + "' 2>&1");
}

// mutagen's view: the ID3 chunk's title, or its error.
std::string MutagenTitle(const std::string& path)
{
    return RunCommand("/usr/bin/python3 -c \"import sys; from mutagen.wave import WAVE; t = WAVE(sys.argv[1]).tags; "
                      "print(t['TIT2'].text[0] if t and 'TIT2' in t else '-')\" '"
        + path + "' 2>&1");
}

class WAVInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveInteropTools("mutagen"))
            VANTOR_SKIP_UNLESS_CI("ffmpeg, ffprobe or mutagen missing");
    }
};

TEST_F(WAVInterop, DecodedAudioIsTheSameAfterEverySave)
{
    const auto dir = ScratchDir("WAVInterop.Audio");
    for (const char* name : { "info-ffmpeg.wav", "info-ffmpeg.rf64", "bext-ffmpeg.wav", "cart-after-audio.wav",
             "id3-mutagen.wav", "id3-in-front.wav" }) {
        SCOPED_TRACE(name);
        const std::string path = ScratchCopy(std::string("wav/") + name, dir);
        const std::string original = DecodedMD5(path);
        ASSERT_FALSE(original.empty());
        // Growing, shrinking, and taking the chunks out; through the model and the WAV object alone.
        for (const std::string& title : { std::string(3001, 'a'), std::string("b"), std::string() }) {
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
            tags.SetTag("TITLE", title);
            tags.SetTag("BEXT Description", title);
            tags.SetTag("CART Title", title);
            ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess) << title.size();
            EXPECT_EQ(DecodedMD5(path), original) << title.size();
            TWAVTag tag;
            ASSERT_EQ(tag.LoadFromFile(path), wavSuccess);
            EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), title);
            tag.DeleteAllFrames();
            ASSERT_EQ(tag.SaveToFile(path), wavSuccess);
            EXPECT_EQ(DecodedMD5(path), original) << title.size();
        }
    }
}

TEST_F(WAVInterop, FfprobeAndMutagenReadOurChunks)
{
    const auto dir = ScratchDir("WAVInterop.Chunks");
    for (const char* name : { "info-ffmpeg.wav", "info-ffmpeg.rf64", "id3-mutagen.wav" }) {
        SCOPED_TRACE(name);
        const std::string path = ScratchCopy(std::string("wav/") + name, dir);
        {
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
            tags.SetTag("TITLE", "Caf\xC3\xA9 \xD0\x96");
            tags.SetTag("ARTIST", "Someone");
            tags.SetTag("GENRE", "Blues");
            tags.SetTag("BEXT Description", "Our description");
            tags.SetTag("BEXT CodingHistory", "A=PCM,F=8000");
            ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess);
        }
        const std::string probe = Probe(path);
        for (const char* line : { "TAG:title=Caf\xC3\xA9 \xD0\x96", "TAG:artist=Someone", "TAG:genre=Blues",
                 "TAG:comment=Our description", "TAG:coding_history=A=PCM,F=8000" })
            EXPECT_NE(probe.find(line), std::string::npos) << line << "\n" << probe;
        // mutagen reads no RF64.
        if (std::string(name) != "info-ffmpeg.rf64") {
            EXPECT_EQ(MutagenTitle(path), "Caf\xC3\xA9 \xD0\x96\n");
        }
    }
}

TEST_F(WAVInterop, WhatOtherToolsWroteReadsBack)
{
    const auto dir = ScratchDir("WAVInterop.Others");
    const std::string path = (dir / "made.wav").string();
    ASSERT_EQ(std::system(("ffmpeg -v error -nostdin -y -f lavfi -i 'sine=d=0.1:sample_rate=22050' -c:a pcm_s24le "
                           "-metadata title='Made title' -metadata album='Made album' -metadata copyright=Someone "
                           "-write_bext 1 -metadata description='Made description' '"
                  + path + "'")
                              .c_str()),
        0);
    ASSERT_EQ(
        std::system(("/usr/bin/python3 -c \"import sys; from mutagen.wave import WAVE; from mutagen.id3 import TPE1; "
                     "w = WAVE(sys.argv[1]); w.add_tags(); w.tags.add(TPE1(encoding=3, text='ID3 artist')); "
                     "w.save()\" '"
            + path + "'")
                        .c_str()),
        0);
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "Made title");
    EXPECT_EQ(tags.GetTag("ALBUM"), "Made album");
    EXPECT_EQ(tags.GetTag("COPYRIGHT"), "Someone");
    EXPECT_EQ(tags.GetTag("ARTIST"), "ID3 artist");
    EXPECT_EQ(tags.GetTag("BEXT Description"), "Made description");
    EXPECT_EQ(tags.SourceAudioAttributes->SamplesPerSec(), 22050u);
    EXPECT_EQ(tags.SourceAudioAttributes->BitsPerSample(), 24);
    EXPECT_EQ(tags.SourceAudioAttributes->SampleCount(), 2205u);
}

} // namespace
} // namespace vantor
