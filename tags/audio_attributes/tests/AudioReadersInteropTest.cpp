// What other tools make of the DSD, WavPack and Musepack files we read and tag: ffprobe
// agrees with our WavPack properties, mutagen with our DSD and Musepack ones and reads the
// tags we write, and the audio stays the same.

#include "tags/Tags.h"
#include "tags/audio_attributes/MusepackInfo.h"
#include "tags/tests/InteropTools.h"
#include "tags/tests/TestFiles.h"
#include "tests/support/Requirements.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace vantor {
namespace {

using namespace vantor::test;

// "rate channels duration" of the first audio stream.
std::string Probe(const std::string& Path)
{
    return RunCommand("ffprobe -v error -select_streams a:0 -show_entries stream=sample_rate,channels,duration "
                      "-of default=nw=1:nk=1 '"
        + Path + "' | tr '\\n' ' '");
}

std::string Mutagen(
    const std::string& Module, const std::string& Class, const std::string& Path, const std::string& Expression)
{
    return RunCommand("/usr/bin/python3 -c \"import sys; from mutagen." + Module + " import " + Class + "; f = " + Class
        + "(sys.argv[1]); print(" + Expression + ")\" '" + Path + "' 2>&1");
}

void Tag(const std::string& Path, const std::string& Title)
{
    TTags Tags;
    ASSERT_EQ(Tags.LoadFromFile(Path), tlSuccess);
    Tags.SetTag("TITLE", Title);
    Tags.SetTag("ARTIST", "Someone");
    ASSERT_EQ(Tags.SaveToFile(Path), tlSuccess);
}

class AudioReadersInterop : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!HaveInteropTools("mutagen.dsdiff"))
            VANTOR_SKIP_UNLESS_CI("ffmpeg, ffprobe or mutagen missing");
    }
};

TEST_F(AudioReadersInterop, WavPackPropertiesAgreeWithFfprobeAndMutagenReadsOurTag)
{
    const auto Dir = ScratchDir("AudioReadersInterop.WavPack");
    const std::string Stereo = (Dir / "stereo.wv").string();
    ASSERT_EQ(std::system(("ffmpeg -v error -nostdin -y -f lavfi -i sine=f=440:r=44100:d=0.5 -ac 2 -c:a wavpack "
                           "-sample_fmt s16p '"
                  + Stereo + "'")
                              .c_str()),
        0);
    const std::string Mono = ScratchCopy("../audio/sine.wv", Dir);
    for (const std::string& Path : { Stereo, Mono }) {
        SCOPED_TRACE(Path);
        const std::string Audio = DecodedMD5(Path);
        ASSERT_FALSE(Audio.empty());
        Tag(Path, "Packed \xC3\xA9");
        EXPECT_EQ(DecodedMD5(Path), Audio);
        EXPECT_EQ(Mutagen("wavpack", "WavPack", Path, "f['Title'], f['Artist']"), "Packed \xC3\xA9 Someone\n");

        TTags Tags;
        Tags.ParseWavPackAudioAttributes = true;
        ASSERT_EQ(Tags.LoadFromFile(Path), tlSuccess);
        const TSourceAudioAttributes& A = *Tags.SourceAudioAttributes;
        char Ours[64];
        std::snprintf(Ours, sizeof Ours, "%u %u %.6f ", A.SamplesPerSec(), A.Channels(), A.PlayTime());
        EXPECT_EQ(Probe(Path), Ours);
    }
}

TEST_F(AudioReadersInterop, DSDFilesKeepTheirAudioAndMutagenReadsOurTag)
{
    const auto Dir = ScratchDir("AudioReadersInterop.DSD");
    for (const auto& [Name, Module, Class] :
        { std::tuple { "silence.dsf", "dsf", "DSF" }, { "silence.dff", "dsdiff", "DSDIFF" } }) {
        SCOPED_TRACE(Name);
        const std::string Path = ScratchCopy(std::string("../audio/") + Name, Dir);
        const std::string Audio = DecodedMD5(Path);
        ASSERT_FALSE(Audio.empty());
        for (const std::string& Title : { std::string("DSD title"), std::string(6000, 'x'), std::string("short") }) {
            Tag(Path, Title);
            EXPECT_EQ(DecodedMD5(Path), Audio) << Title.size();
            EXPECT_EQ(Mutagen(Module, Class, Path, "f.tags['TIT2'].text[0], f.info.sample_rate, f.info.channels"),
                Title + " 2822400 2\n");
        }
        TTags Tags;
        ASSERT_EQ(Tags.LoadFromFile(Path), tlSuccess);
        EXPECT_EQ(Tags.GetTag("TITLE"), "short");
        char Ours[64];
        std::snprintf(Ours, sizeof Ours, "%.6f", Tags.SourceAudioAttributes->PlayTime());
        EXPECT_EQ(Mutagen(Module, Class, Path, "'%.6f' % f.info.length"), std::string(Ours) + "\n");
    }
}

TEST_F(AudioReadersInterop, MusepackKeepsItsStreamAndMutagenReadsOurTag)
{
    // ffmpeg writes no Musepack: a stream header and one audio packet built here.
    const auto Dir = ScratchDir("AudioReadersInterop.Musepack");
    const std::string Path = ScratchCopy("audio-readers/sv8.mpc", Dir);
    const std::vector<uint8_t> Stream = ReadBytes(Path);
    Tag(Path, "Musepack title");
    const std::vector<uint8_t> Tagged = ReadBytes(Path);
    ASSERT_GT(Tagged.size(), Stream.size());
    EXPECT_TRUE(std::equal(Stream.begin(), Stream.end(), Tagged.begin())) << "the stream comes first, unchanged";
    EXPECT_EQ(Mutagen("musepack", "Musepack", Path, "f['Title'], f.info.sample_rate, f.info.channels"),
        "Musepack title 48000 2\n");

    TTags Tags;
    Tags.ParseMusePackAudioAttributes = true;
    ASSERT_EQ(Tags.LoadFromFile(Path), tlSuccess);
    EXPECT_EQ(Tags.GetTag("TITLE"), "Musepack title");
    EXPECT_EQ(Tags.SourceAudioAttributes->SamplesPerSec(), 48000u);
    EXPECT_EQ(Tags.SourceAudioAttributes->Channels(), 2);
    EXPECT_DOUBLE_EQ(Tags.SourceAudioAttributes->PlayTime(), 10);
}

} // namespace
} // namespace vantor
