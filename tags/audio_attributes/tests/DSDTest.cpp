// DSF and DSDIFF audio properties, on files built here byte by byte and on the audio fixtures.

#include "tags/Tags.h"
#include "tags/audio_attributes/DFFInfo.h"
#include "tags/audio_attributes/DSFInfo.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

using TBytes = std::vector<uint8_t>;

void LE(TBytes& B, uint64_t V, int Bytes)
{
    for (int i = 0; i < Bytes; ++i)
        B.push_back(uint8_t(V >> (8 * i)));
}
void BE(TBytes& B, uint64_t V, int Bytes)
{
    for (int i = Bytes - 1; i >= 0; --i)
        B.push_back(uint8_t(V >> (8 * i)));
}
void Text(TBytes& B, std::string_view T) { B.insert(B.end(), T.begin(), T.end()); }

struct TDSFSpec {
    uint32_t ChannelType = 2, Channels = 2, Rate = 2822400, Bits = 1;
    uint64_t Samples = 28224000;
    uint64_t FmtAt = 28; // where the "DSD " chunk says "fmt " starts
};

// Header and "fmt " chunk, then a short "data" chunk.
TBytes MakeDSF(const TDSFSpec& S)
{
    TBytes B;
    Text(B, "DSD ");
    LE(B, S.FmtAt, 8);
    LE(B, 0, 8); // file size
    LE(B, 0, 8); // metadata
    Text(B, "fmt ");
    LE(B, 52, 8);
    for (uint32_t V : { 1u, 0u, S.ChannelType, S.Channels, S.Rate, S.Bits })
        LE(B, V, 4);
    LE(B, S.Samples, 8);
    LE(B, 4096, 4);
    LE(B, 0, 4);
    Text(B, "data");
    LE(B, 12 + 16, 8);
    B.resize(B.size() + 16, 0x69);
    return B;
}

TEST(DSFInfo, HeaderFields)
{
    const struct {
        TDSFSpec Spec;
        uint32_t ChannelType;
        double PlayTime;
        uint32_t BitRate;
    } Cases[] = {
        { {}, 2, 10, 5645 },                                          // stereo DSD64, 10 s
        { { .ChannelType = 9 }, 0, 10, 5645 },                        // unknown channel type
        { { .ChannelType = 7, .Channels = 6 }, 7, 10, 16934 },        // 5.1
        { { .Bits = 8 }, 2, 10, 5645 },                               // MSB-first bytes: still one bit a sample
        { { .Rate = 5644800, .Samples = 5644800 * 3 }, 2, 3, 11290 }, // DSD128
        { { .Rate = 0 }, 2, 0, 0 },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(::testing::Message() << C.Spec.ChannelType << " " << C.Spec.Channels << " " << C.Spec.Rate);
        TDSFInfo I;
        ASSERT_TRUE(ReadDSFInfo(TMemorySource(MakeDSF(C.Spec)), I));
        EXPECT_EQ(I.ChannelType, C.ChannelType);
        EXPECT_EQ(I.ChannelNumber, C.Spec.Channels);
        EXPECT_EQ(I.SamplingFrequency, C.Spec.Rate);
        EXPECT_EQ(I.SampleCount, C.Spec.Samples);
        EXPECT_EQ(I.BlockSizePerChannel, 4096u);
        EXPECT_DOUBLE_EQ(I.PlayTime, C.PlayTime);
        EXPECT_EQ(I.BitRate(), C.BitRate);
    }
}

TEST(DSFInfo, DamagedHeaders)
{
    TDSFInfo I;
    TBytes B = MakeDSF({});
    EXPECT_FALSE(ReadDSFInfo(TMemorySource(TBytes(B.begin(), B.begin() + 60)), I)) << "fmt cut short";
    EXPECT_FALSE(ReadDSFInfo(TMemorySource(MakeDSF({ .FmtAt = 1ull << 62 })), I)) << "fmt beyond the end";
    EXPECT_FALSE(ReadDSFInfo(TMemorySource(MakeDSF({ .FmtAt = 4 })), I)) << "fmt inside the header";
    B[28] = 'x';
    EXPECT_FALSE(ReadDSFInfo(TMemorySource(B), I)) << "no fmt chunk";
    EXPECT_EQ(I.SampleCount, 0u);
}

struct TDFFSpec {
    uint8_t Version = 5;
    uint32_t Rate = 2822400;
    uint16_t Channels = 2;
    const char* Compression = "DSD ";
    uint64_t SoundBytes = 2822400 / 8 * 2 * 10; // 10 s
    uint64_t ClaimedSoundBytes = 0;             // the size field, when not SoundBytes
    uint32_t DSTFrames = 750;
    uint16_t DSTRate = 75;
};

void Chunk(TBytes& B, std::string_view Id, const TBytes& Body)
{
    Text(B, Id);
    BE(B, Body.size(), 8);
    B.insert(B.end(), Body.begin(), Body.end());
    if (Body.size() % 2)
        B.push_back(0);
}

TBytes MakeDFF(const TDFFSpec& S)
{
    TBytes Fver, Fs, Chnl, Cmpr, Prop, Abss(8, 0), Body;
    BE(Fver, uint64_t(1) << 24 | uint64_t(S.Version) << 16, 4);
    BE(Fs, S.Rate, 4);
    BE(Chnl, S.Channels, 2);
    Text(Chnl, std::string(4 * S.Channels, 'C'));
    Text(Cmpr, S.Compression);
    const std::string Name = std::string_view(S.Compression) == "DSD " ? "not compressed" : "DST Encoded";
    Cmpr.push_back(uint8_t(Name.size()));
    Text(Cmpr, Name);
    Text(Prop, "SND ");
    Chunk(Prop, "FS  ", Fs);
    Chunk(Prop, "CHNL", Chnl);
    Chunk(Prop, "CMPR", Cmpr);
    Chunk(Prop, "ABSS", Abss);
    Text(Body, "DSD ");
    Chunk(Body, "FVER", Fver);
    Chunk(Body, "PROP", Prop);
    TBytes Sound;
    if (std::string_view(S.Compression) == "DST ") {
        TBytes Frte;
        BE(Frte, S.DSTFrames, 4);
        BE(Frte, S.DSTRate, 2);
        Chunk(Sound, "FRTE", Frte);
    }
    const uint64_t Size = S.ClaimedSoundBytes ? S.ClaimedSoundBytes : S.SoundBytes;
    Text(Body, std::string_view(S.Compression) == "DST " ? "DST " : "DSD ");
    BE(Body, Size, 8);
    Body.insert(Body.end(), Sound.begin(), Sound.end());
    Body.resize(Body.size() + (S.SoundBytes - Sound.size()), 0x69);
    TBytes B;
    Text(B, "FRM8");
    BE(B, Body.size(), 8);
    B.insert(B.end(), Body.begin(), Body.end());
    return B;
}

TEST(DFFInfo, PropertiesOfUncompressedAndDSTFiles)
{
    const struct {
        const char* Name;
        TDFFSpec Spec;
        std::string Version, Compression;
        uint64_t SampleCount;
        double PlayTime;
        uint32_t BitRate;
    } Cases[] = {
        { "stereo DSD64, 10 s", {}, "1.5", "Not Compressed", 28224000, 10, 5645 },
        { "version 1.3", { .Version = 3 }, "1.3", "Not Compressed", 28224000, 10, 5645 },
        { "unknown version", { .Version = 9 }, "", "Not Compressed", 28224000, 10, 5645 },
        // A part of a second is kept, not rounded away.
        { "2.5 s mono", { .Channels = 1, .SoundBytes = 2822400 / 8 * 5 / 2 }, "1.5", "Not Compressed", 7056000, 2.5,
            2822 },
        { "DST, 750 frames at 75/s", { .Compression = "DST ", .SoundBytes = 2000000 }, "1.5", "DST Encoded", 28224000,
            10, 1600 },
        { "DST without frame rate", { .Compression = "DST ", .SoundBytes = 1000, .DSTRate = 0 }, "1.5", "DST Encoded",
            0, 0, 0 },
        // The size field claims more than the file holds: only what is there counts.
        { "cut short", { .Channels = 1, .SoundBytes = 2822400 / 8, .ClaimedSoundBytes = 1ull << 40 }, "1.5",
            "Not Compressed", 2822400, 1, 2822 },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        TDFFInfo I;
        ASSERT_TRUE(I.LoadFromStream(TMemorySource(MakeDFF(C.Spec))));
        EXPECT_EQ(I.FormatVersion, C.Version);
        EXPECT_EQ(I.SampleRate, C.Spec.Rate);
        EXPECT_EQ(I.ChannelNumber, C.Spec.Channels);
        EXPECT_EQ(I.CompressionName, C.Compression);
        EXPECT_EQ(I.SampleCount, C.SampleCount);
        EXPECT_DOUBLE_EQ(I.PlayTime, C.PlayTime);
        EXPECT_EQ(I.BitRate, C.BitRate);
    }
    TDFFInfo I;
    ASSERT_TRUE(I.LoadFromStream(TMemorySource(MakeDFF({ .Compression = "DST ", .SoundBytes = 2000000 }))));
    EXPECT_EQ(I.DSTFramesCount, 750u);
    EXPECT_EQ(I.DSTFramesRate, 75);
    EXPECT_EQ(I.SoundDataLength, 2000000u);
    EXPECT_NEAR(I.Ratio, 2000000.0 / 7056000 * 100, 1e-9);
}

TEST(DFFInfo, NotDSDIFF)
{
    TDFFInfo I;
    TBytes B = MakeDFF({});
    B[12] = 'X';
    EXPECT_FALSE(I.LoadFromStream(TMemorySource(B)));
    EXPECT_FALSE(I.LoadFromStream(TMemorySource(TBytes(B.begin(), B.begin() + 10))));
    EXPECT_FALSE(I.LoadFromFile("no such file.dff"));
    EXPECT_EQ(I.SampleRate, 0u);
}

TEST(DSDAudio, ReachTheUnifiedModelThroughTheID3v2Reader)
{
    const struct {
        const char* File;
        TSourceFileType Type;
        uint16_t Bits;
        uint64_t Samples;
    } Cases[] = {
        { "silence.dsf", sftDSF, 1, 65536 },
        { "silence.dff", sftDFF, 1, 32768 },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.File);
        const std::string Path = std::string(VANTOR_TEST_DATA) + "/audio/" + C.File;
        TID3v2Tag Tag;
        Tag.LoadFromFile(Path);
        EXPECT_EQ(Tag.FSourceFileType, C.Type);
        TTags Tags;
        ASSERT_EQ(Tags.LoadFromFile(Path), tlSuccess);
        const TSourceAudioAttributes& A = *Tags.SourceAudioAttributes;
        EXPECT_EQ(A.Channels(), 2);
        EXPECT_EQ(A.SamplesPerSec(), 2822400u);
        EXPECT_EQ(A.BitsPerSample(), C.Bits);
        EXPECT_EQ(A.SampleCount(), C.Samples);
        EXPECT_DOUBLE_EQ(A.PlayTime(), double(C.Samples) / 2822400);
        EXPECT_EQ(A.BitRate(), 5645u);
    }
}

} // namespace
} // namespace vantor
