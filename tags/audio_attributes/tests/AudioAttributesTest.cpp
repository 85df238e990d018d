#include "tags/audio_attributes/AIFFInfo.h"
#include "tags/audio_attributes/MPEGHeader.h"
#include "tags/audio_attributes/SourceAudioAttributes.h"
#include "tags/audio_attributes/WaveInfo.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/Bytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace vantor {
namespace {

using TBytes = std::vector<uint8_t>;

TBytes Fixture(std::string_view Area, std::string_view Name)
{
    std::ifstream In(std::filesystem::path(VANTOR_TEST_DATA) / "tags" / Area / Name, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(In), {});
}

void Put(TBytes& B, size_t At, std::string_view Text) { std::memcpy(B.data() + At, Text.data(), Text.size()); }

TEST(MPEGHeader, Decoding)
{
    const struct {
        uint32_t Header;
        TMPEGVersion Version;
        TMPEGLayer Layer;
        uint32_t BitRate, SampleRate, FrameSize;
        TMPEGChannelMode Mode;
    } Cases[] = {
        { 0xFFFB9064, tmpegv1, tmpegl3, 128, 44100, 417, tmpegcmJointStereo },
        { 0xFFFB9264, tmpegv1, tmpegl3, 128, 44100, 418, tmpegcmJointStereo }, // padding
        { 0xFFFDA4C0, tmpegv1, tmpegl2, 192, 48000, 576, tmpegcmMono },
        { 0xFFFF9000, tmpegv1, tmpegl1, 288, 44100, 312, tmpegcmStereo },
        { 0xFFF38080, tmpegv2, tmpegl3, 64, 22050, 208, tmpegcmDualChannel },
        { 0xFFE38000, tmpegv25, tmpegl3, 64, 11025, 417, tmpegcmStereo },
        { 0xFFFB0000, tmpegv1, tmpegl3, 0xFFFF, 44100, uint32_t(0xFFFFull * 144000 / 44100),
            tmpegcmStereo }, // free format
        { 0xFFFBF000, tmpegv1, tmpegl3, 0, 44100, 0, tmpegcmStereo },
        { 0xFFFB9C00, tmpegv1, tmpegl3, 128, 0, 0, tmpegcmStereo },
    };
    for (const auto& C : Cases) {
        TMPEGHeaderX I;
        DecodeMPEGHeader(C.Header, I);
        SCOPED_TRACE(::testing::Message() << std::hex << C.Header);
        EXPECT_EQ(I.Version, C.Version);
        EXPECT_EQ(I.Layer, C.Layer);
        EXPECT_EQ(I.BitRate, C.BitRate);
        EXPECT_EQ(I.SampleRate, C.SampleRate);
        EXPECT_EQ(I.FrameSize, C.FrameSize);
        EXPECT_EQ(I.ChannelMode, C.Mode);
    }
    TMPEGHeaderX I;
    DecodeMPEGHeader(0xFFFA906D, I);
    EXPECT_TRUE(I.CRC);
    EXPECT_EQ(I.ModeExtension, tmpegmeMS);
    EXPECT_TRUE(I.Copyrighted);
    EXPECT_TRUE(I.Original);
    EXPECT_EQ(I.Emphasis, tmpege5015);
}

TEST(MPEGHeader, SyncSearchGivesUpAfter33Attempts)
{
    for (const size_t Zeros : { 0u, 20u, 32u, 40u }) {
        TBytes B(Zeros, 0);
        B.insert(B.end(), { 0xFF, 0xFB, 0x90, 0x64 });
        const std::optional<uint64_t> At = FindMPEGFrameSync(TMemorySource(B), 0);
        if (Zeros <= 32) {
            ASSERT_TRUE(At) << Zeros;
            EXPECT_EQ(*At, Zeros);
        } else {
            EXPECT_FALSE(At) << Zeros;
        }
    }
    // The byte after a 0xFF is consumed even when it is no sync.
    const TBytes Skipped = { 0xFF, 0xFF, 0xFB, 0x90 };
    EXPECT_FALSE(FindMPEGFrameSync(TMemorySource(Skipped), 0));
}

TEST(MPEGHeader, VBRHeaders)
{
    const TBytes Vbr = Fixture("mpeg", "vbr-xing-mono-22k.mp3");
    TMPEGHeaderX I;
    ASSERT_TRUE(ReadMPEGFrame(TMemorySource(Vbr), 0, I));
    EXPECT_TRUE(I.VBR);
    EXPECT_EQ(I.FrameCount, 22u);
    EXPECT_EQ(I.Bytes, Vbr.size());
    EXPECT_EQ(I.ChannelMode, tmpegcmMono);

    TBytes Vbri(200, 0);
    Vbri[0] = 0xFF, Vbri[1] = 0xFB, Vbri[2] = 0x90, Vbri[3] = 0x64;
    Put(Vbri, 36, "VBRI");
    PutBE32(Vbri.data() + 46, 123456);
    PutBE32(Vbri.data() + 50, 1000);
    ASSERT_TRUE(ReadMPEGFrame(TMemorySource(Vbri), 0, I));
    EXPECT_TRUE(I.VBR);
    EXPECT_EQ(I.Bytes, 123456u);
    EXPECT_EQ(I.FrameCount, 1000u);

    const TBytes Cbr = Fixture("mpeg", "cbr64-stereo.mp3");
    ASSERT_TRUE(ReadMPEGFrame(TMemorySource(Cbr), 0, I));
    EXPECT_FALSE(I.VBR);
}

// A file of the given size: an ID3v2 tag of TagSize bytes, a 128 kbit/s frame header, zeros.
TBytes MPEGFile(size_t Size, size_t TagSize, bool ID3v1, std::string_view TLEN = {})
{
    TBytes B(Size, 0);
    Put(B, 0, "ID3");
    B[3] = 3;
    PutSyncsafe32(B.data() + 6, uint32_t(TagSize - 10));
    if (!TLEN.empty()) {
        Put(B, 10, "TLEN");
        PutBE32(B.data() + 14, uint32_t(TLEN.size() + 1));
        Put(B, 21, TLEN);
    }
    PutBE32(B.data() + TagSize, 0xFFFB9064);
    if (ID3v1)
        Put(B, Size - 128, "TAG");
    return B;
}

TEST(MPEGPlayTime, ConstantBitRate)
{
    const TBytes B = MPEGFile(1'000'000, 10'000, true);
    TID3v2Tag T;
    ASSERT_EQ(T.LoadFromStream(TMemorySource(B)), 0);
    EXPECT_DOUBLE_EQ(T.PlayTime(), (1'000'000.0 - 10'000 - 128) * 8 / 1000 / 128);

    TBytes WithLyrics = MPEGFile(100'000, 1000, true);
    Put(WithLyrics, 100'000 - 128 - 15, "000050LYRICS200");
    TID3v2Tag L;
    ASSERT_EQ(L.LoadFromStream(TMemorySource(WithLyrics)), 0);
    EXPECT_DOUBLE_EQ(L.PlayTime(), (100'000.0 - 1000 - 128 - 65) * 8 / 1000 / 128);
}

TEST(MPEGPlayTime, TLENWinsOverTheVBRHeader)
{
    TBytes B = MPEGFile(5000, 100, false, "200000");
    Put(B, 100 + 36, "Xing");
    PutBE32(B.data() + 140, 1);
    PutBE32(B.data() + 144, 1000);
    TID3v2Tag T;
    ASSERT_EQ(T.LoadFromStream(TMemorySource(B)), 0);
    EXPECT_TRUE(T.MPEGInfo.VBR);
    EXPECT_DOUBLE_EQ(T.PlayTime(), 200.0);

    // Without TLEN the frame count gives the time: 1152 samples per frame at 44.1 kHz.
    TBytes NoTLEN = MPEGFile(5000, 100, false);
    Put(NoTLEN, 136, "Xing");
    PutBE32(NoTLEN.data() + 140, 1);
    PutBE32(NoTLEN.data() + 144, 1000);
    TID3v2Tag V;
    ASSERT_EQ(V.LoadFromStream(TMemorySource(NoTLEN)), 0);
    EXPECT_NEAR(V.PlayTime(), 1000 * 1152 / 44100.0, 1e-9);
}

TEST(MPEGPlayTime, BrokenXingFrameCountFallsBackToTheEstimate)
{
    // A Xing header that claims a frame count of 0, behind an ID3v1 tag at the end.
    TBytes B = MPEGFile(100'000, 1000, true);
    Put(B, 1000 + 36, "Xing");
    PutBE32(B.data() + 1040, 1);
    TID3v2Tag T;
    ASSERT_EQ(T.LoadFromStream(TMemorySource(B)), 0);
    EXPECT_TRUE(T.MPEGInfo.VBR);
    EXPECT_EQ(T.MPEGInfo.FrameCount, 0u);
    EXPECT_DOUBLE_EQ(T.AudioProperties().PlayTime, (100'000.0 - 1000 - 128) * 8 / 1000 / 128);
    EXPECT_EQ(T.AudioProperties().SampleCount, 0u);
}

TEST(MPEGPlayTime, FixtureFiles)
{
    const TBytes Vbr = Fixture("mpeg", "vbr-xing-mono-22k.mp3");
    TID3v2Tag T;
    EXPECT_EQ(T.LoadFromStream(TMemorySource(Vbr)), id3v2NoTag);
    const TAudioPropertySet P = T.AudioProperties();
    EXPECT_EQ(P.Channels, 1);
    EXPECT_EQ(P.SamplesPerSec, 22050u);
    EXPECT_TRUE(P.StopsBitsPerSampleWalk);
    EXPECT_NEAR(P.PlayTime, 22 * 576 / 22050.0, 1e-9);

    const TBytes Layer2 = Fixture("mpeg", "layer2-32k.mp2");
    TID3v2Tag M;
    M.LoadFromStream(TMemorySource(Layer2));
    EXPECT_EQ(M.MPEGInfo.Layer, tmpegl2);
    EXPECT_EQ(M.MPEGInfo.SampleRate, 32000u);
    EXPECT_EQ(M.BitRate, 64u);
}

TEST(WaveInfo, PCMFixtureAndChunkWalk)
{
    const TBytes Wav = Fixture("id3v2", "pcm16-stereo.wav");
    TWaveAudio A;
    ASSERT_TRUE(ReadWaveAudio(TMemorySource(Wav), A));
    EXPECT_EQ(A.Fmt.Channels, 2);
    EXPECT_EQ(A.Fmt.SamplesPerSec, 44100u);
    EXPECT_EQ(A.Fmt.BitsPerSample, 16);
    EXPECT_EQ(A.BitRate, 1411u);
    EXPECT_EQ(A.SampleCount, 882u);
    EXPECT_NEAR(A.PlayTime, 0.02, 1e-9);

    // An odd-sized chunk without its pad byte, then the fmt chunk.
    TBytes Odd = { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'j', 'u', 'n', 'k', 3, 0, 0, 0, 1, 2, 3 };
    const TBytes Fmt = { 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0 };
    Odd.insert(Odd.end(), Fmt.begin(), Fmt.end());
    ASSERT_TRUE(ReadWaveAudio(TMemorySource(Odd), A));
    EXPECT_EQ(A.Fmt.SamplesPerSec, 8000u);
    EXPECT_EQ(A.BitRate, 128u);

    const TBytes NotWave = { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' ' };
    EXPECT_FALSE(ReadWaveAudio(TMemorySource(NotWave), A));
}

TEST(AIFFInfo, ExtendedFloatAndPlayTime)
{
    const struct {
        TBytes Bytes;
        double Value;
    } Floats[] = {
        { { 0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0 }, 44100 },
        { { 0x40, 0x0E, 0xBB, 0x80, 0, 0, 0, 0, 0, 0 }, 48000 }, { { 0x3F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0 }, 1 },
        { { 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 }, 0 }, { { 0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0 }, 0 }, // infinity
    };
    for (const auto& F : Floats)
        EXPECT_EQ(Extended80ToDouble(F.Bytes.data()), F.Value);

    // 10.6 seconds at 44.1 kHz.
    TBytes B = { 'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'F', 'C', 'O', 'M', 'M', 0, 0, 0, 18, 0, 2 };
    const uint32_t Frames = 467460;
    B.insert(B.end(), { uint8_t(Frames >> 24), uint8_t(Frames >> 16), uint8_t(Frames >> 8), uint8_t(Frames), 0, 16 });
    B.insert(B.end(), Floats[0].Bytes.begin(), Floats[0].Bytes.end());
    B.insert(B.end(), { 'S', 'S', 'N', 'D', 0, 0x1C, 0x89, 0x18 });
    PutBE32(B.data() + 4, uint32_t(B.size() - 8));
    TAIFFAudio A;
    ASSERT_TRUE(ReadAIFFAudio(TMemorySource(B), A));
    EXPECT_NEAR(A.PlayTime, 10.6, 1e-9);
    EXPECT_EQ(A.BitRate, uint32_t(0x1C8918 / (10.6 * 125) + 0.5));
    TID3v2Tag T;
    T.LoadFromStream(TMemorySource(B));
    EXPECT_EQ(T.FSourceFileType, sftAIFF);
    EXPECT_EQ(T.AudioProperties().SamplesPerSec, 44100u);

    // The play time is exact, not whole seconds: 28,000 frames at 8 kHz, 4,800 at 48 kHz.
    const struct {
        uint32_t Frames;
        TBytes Rate;
        double Seconds;
    } Times[] = { { 467460, Floats[0].Bytes, 10.6 }, { 28000, TBytes { 0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0 }, 3.5 },
        { 4800, Floats[1].Bytes, 0.1 } };
    for (const auto& C : Times) {
        PutBE32(B.data() + 22, C.Frames);
        std::copy(C.Rate.begin(), C.Rate.end(), B.begin() + 28);
        TID3v2Tag Exact;
        Exact.LoadFromStream(TMemorySource(B));
        EXPECT_NEAR(Exact.AudioProperties().PlayTime, C.Seconds, 1e-9) << C.Frames;
    }

    // AIFC carries the compression id and name.
    TBytes C = { 'F', 'O', 'R', 'M', 0, 0, 0, 0, 'A', 'I', 'F', 'C', 'C', 'O', 'M', 'M', 0, 0, 0, 27, 0, 1, 0, 0, 0, 10,
        0, 16 };
    C.insert(C.end(), Floats[1].Bytes.begin(), Floats[1].Bytes.end());
    C.insert(C.end(), { 's', 'o', 'w', 't', 4, 'n', 'o', 'n', 0xE9, 0 });
    PutBE32(C.data() + 4, uint32_t(C.size() - 8));
    ASSERT_TRUE(ReadAIFFAudio(TMemorySource(C), A));
    EXPECT_EQ(A.Info.CompressionID, "sowt");
    EXPECT_EQ(A.Info.Compression, "non\u00E9");
    EXPECT_EQ(A.Info.SampleRate, 48000);
}

struct TFixedSources : TAudioPropertySources {
    std::vector<TAudioPropertySet> Sets;
    std::vector<TAudioPropertySet> PropertiesByRisingPriority() const override { return Sets; }
};

struct TFixedReader : TAudioAttributesReader {
    TAudioPropertySet Set;
    explicit TFixedReader(TAudioPropertySet S)
        : Set(S)
    {
    }
    TAudioPropertySet Properties() const override { return Set; }
};

TEST(SourceAudioAttributes, ChoosesTheFirstNonZeroValueOfTheWalk)
{
    TFixedSources Sources;
    TSourceAudioAttributes A(&Sources);
    EXPECT_EQ(A.Channels(), 0);

    TAudioPropertySet Mpeg;
    Mpeg.Channels = 2;
    Mpeg.SamplesPerSec = 44100;
    Mpeg.StopsBitsPerSampleWalk = true;
    TAudioPropertySet Flac;
    Flac.Channels = 6;
    Flac.BitsPerSample = 24;
    Flac.PlayTime = 3.5;
    Sources.Sets = { TAudioPropertySet {}, Mpeg, Flac };
    EXPECT_EQ(A.Channels(), 2);
    EXPECT_EQ(A.BitsPerSample(), 0); // stopped at the MPEG source
    EXPECT_EQ(A.PlayTime(), 3.5);

    TAudioPropertySet Wma;
    Wma.StopsFormatWalk = true;
    Wma.BitRate = 192;
    Sources.Sets = { Wma, Flac };
    EXPECT_EQ(A.Channels(), 0);
    EXPECT_EQ(A.BitRate(), 192u);
    EXPECT_EQ(A.PlayTime(), 3.5);

    // A Musepack reader answers first, with 2 channels when it knows none.
    A.MusePackAttributes = std::make_unique<TFixedReader>(TAudioPropertySet {});
    EXPECT_EQ(A.Channels(), 2);
    EXPECT_EQ(A.BitsPerSample(), 0);
    // A WavPack reader answers before it, except for an unknown sample size.
    A.WAVPackAttributes = std::make_unique<TFixedReader>(TAudioPropertySet {});
    EXPECT_EQ(A.Channels(), 0);
    Sources.Sets = { Flac };
    EXPECT_EQ(A.BitsPerSample(), 24);
}

} // namespace
} // namespace vantor
