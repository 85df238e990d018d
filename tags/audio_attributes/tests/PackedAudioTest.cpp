// WavPack, Musepack, Monkey's Audio, TTA and Speex audio properties: headers built here byte by
// byte, fixtures, the readers inside TTags and format detection.

#include "tags/FormatDetection.h"
#include "tags/Tags.h"
#include "tags/audio_attributes/MonkeysAudioInfo.h"
#include "tags/audio_attributes/MusepackInfo.h"
#include "tags/audio_attributes/SpeexInfo.h"
#include "tags/audio_attributes/TTAInfo.h"
#include "tags/audio_attributes/WavPackInfo.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

using namespace vantor::test;
using TBytes = std::vector<uint8_t>;

void LE(TBytes& B, uint64_t V, int Bytes)
{
    for (int i = 0; i < Bytes; ++i)
        B.push_back(uint8_t(V >> (8 * i)));
}
void Text(TBytes& B, std::string_view T) { B.insert(B.end(), T.begin(), T.end()); }

constexpr uint32_t WvMono = 4, WvHybrid = 8, WvInitialFinal = 3u << 11;
uint32_t WvRate(uint32_t Index) { return Index << 23; }

// One version 4 block: header, metadata sub-blocks, then BodyBytes of bitstream.
TBytes WavPackBlock(uint32_t Flags, uint32_t Total, uint32_t Index, uint32_t Samples, const TBytes& Metadata = {},
    size_t BodyBytes = 64)
{
    TBytes B;
    Text(B, "wvpk");
    LE(B, 24 + Metadata.size() + BodyBytes, 4);
    LE(B, 0x410, 2);
    LE(B, 0, 2);
    for (uint32_t V : { Total, Index, Samples, Flags | WvInitialFinal, 0u })
        LE(B, V, 4);
    Append(B, Metadata);
    B.resize(B.size() + BodyBytes, 0x5A);
    return B;
}

// A metadata sub-block of an odd number of bytes.
TBytes OddSubBlock(uint8_t Id, TBytes Data)
{
    TBytes B { uint8_t(Id | 0x40), uint8_t((Data.size() + 1) / 2) };
    Data.push_back(0);
    Append(B, Data);
    return B;
}

TEST(WavPack, Version4Headers)
{
    const struct {
        const char* Name;
        TBytes File;
        uint16_t Channels;
        uint32_t Rate, Bits;
        std::string Encoder;
    } Cases[] = {
        { "stereo 16-bit 44.1 kHz", WavPackBlock(WvRate(9) | 1, 44100, 0, 44100), 2, 44100, 16, "lossless" },
        { "mono 24-bit 48 kHz", WavPackBlock(WvRate(10) | 2 | WvMono, 48000, 0, 48000), 1, 48000, 24, "lossless" },
        { "rate index 15, no rate given", WavPackBlock(WvRate(15) | 1, 44100, 0, 44100), 2, 44100, 16, "lossless" },
        { "rate index 15 and its rate",
            WavPackBlock(WvRate(15) | 1, 37800, 0, 37800, OddSubBlock(0x27, { 0xA8, 0x93, 0x00 })), 2, 37800, 16,
            "lossless" },
        { "a listed rate ignores the rate sub-block",
            WavPackBlock(WvRate(1) | 1, 8000, 0, 8000, OddSubBlock(0x27, { 0xA8, 0x93, 0x00 })), 2, 8000, 16,
            "lossless" },
        { "hybrid, high mode", WavPackBlock(WvRate(9) | 1 | WvHybrid, 44100, 0, 44100, OddSubBlock(0x25, { 8, 0, 0 })),
            2, 44100, 16, "hybrid lossy (high)" },
        { "very fast mode", WavPackBlock(WvRate(9) | 1, 44100, 0, 44100, OddSubBlock(0x25, { 6, 0, 0 })), 2, 44100, 16,
            "lossless (very fast)" },
        { "six channels", WavPackBlock(WvRate(10) | 1, 48000, 0, 48000, TBytes { 0x0D, 1, 6, 0x3F }), 6, 48000, 16,
            "lossless" },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        TWAVPackfile W;
        ASSERT_TRUE(W.LoadFromStream(TMemorySource(C.File), 0));
        EXPECT_EQ(W.FVersion, 4u);
        EXPECT_EQ(W.FChannels, C.Channels);
        EXPECT_EQ(W.FSampleRate, C.Rate);
        EXPECT_EQ(W.FBits, C.Bits);
        EXPECT_EQ(W.FEncoder, C.Encoder);
        EXPECT_DOUBLE_EQ(W.FDuration, 1);
        EXPECT_DOUBLE_EQ(W.FBitrate, C.File.size() * 8 / 1000.0);
    }
}

TEST(WavPack, LengthOfAStreamThatDoesNotKnowIt)
{
    TBytes File;
    for (uint32_t Block = 0; Block < 3; ++Block)
        Append(File, WavPackBlock(WvRate(1) | 1, 0xFFFFFFFF, Block * 4000, 4000));
    const TBytes Tag(100, 'T');
    Append(File, Tag);
    TWAVPackfile W;
    ASSERT_TRUE(W.LoadFromStream(TMemorySource(File), Tag.size()));
    EXPECT_EQ(W.FSamples, 12000u);
    EXPECT_EQ(W.FBSamples, 4000u);
    EXPECT_DOUBLE_EQ(W.FDuration, 1.5);
    EXPECT_DOUBLE_EQ(W.FBitrate, (File.size() - Tag.size()) * 8 / 1.5 / 1000);
    // A stream whose only block holds no samples: no length, no bit rate, no division by zero.
    ASSERT_TRUE(W.LoadFromStream(TMemorySource(WavPackBlock(WvRate(1) | 1, 0xFFFFFFFF, 0, 0)), 0));
    EXPECT_EQ(W.FSamples, 0u);
    EXPECT_EQ(W.FBitrate, 0);
}

TEST(WavPack, Version3InsideRIFF)
{
    TBytes B;
    Text(B, "RIFF");
    LE(B, 0, 4);
    Text(B, "WAVEfmt ");
    LE(B, 16, 4);
    for (auto [V, N] : { std::pair { 1u, 2 }, { 1u, 2 }, { 22050u, 4 }, { 44100u, 4 }, { 2u, 2 }, { 16u, 2 } })
        LE(B, V, N);
    Text(B, "data");
    LE(B, 22050 * 2, 4);
    Text(B, "wvpk");
    LE(B, 28, 4);
    for (auto [V, N] : { std::pair { 3u, 2 }, { 0u, 2 }, { 0x11u, 2 }, { 0u, 2 }, { 22050u, 4 }, { 0u, 4 }, { 0u, 4 },
             { 0u, 4 }, { 0u, 4 } })
        LE(B, V, N);
    B.resize(B.size() + 1000, 0x33);
    TWAVPackfile W;
    ASSERT_TRUE(W.LoadFromStream(TMemorySource(B), 0));
    EXPECT_EQ(W.FVersion, 3u);
    EXPECT_EQ(W.FChannels, 1);
    EXPECT_EQ(W.FSampleRate, 22050u);
    EXPECT_EQ(W.FBits, 16u);
    EXPECT_EQ(W.FSamples, 22050u);
    EXPECT_EQ(W.FEncoder, "lossless (high mode)");
    EXPECT_EQ(W.ChannelMode(), "Mono");
    EXPECT_DOUBLE_EQ(W.FBitrate, B.size() * 8 / 1000.0);

    // A plain WAV file is no WavPack, nor is a block header too small to be one.
    const TBytes Wav(B.begin(), B.begin() + 44);
    EXPECT_FALSE(W.LoadFromStream(TMemorySource(Wav), 0));
    TBytes Tiny = WavPackBlock(WvRate(1), 8000, 0, 8000);
    Tiny[4] = 8;
    EXPECT_FALSE(W.LoadFromStream(TMemorySource(Tiny), 0));
    EXPECT_EQ(W.FChannels, 0);
}

// Stream version 8 sizes: most significant 7-bit group first.
void VarLen(TBytes& B, uint64_t V)
{
    int Groups = 1;
    while (Groups < 9 && (V >> (7 * Groups)) != 0)
        ++Groups;
    for (int i = Groups - 1; i >= 0; --i)
        B.push_back(uint8_t(((V >> (7 * i)) & 0x7F) | (i ? 0x80 : 0)));
}

TBytes SV8(uint64_t Samples, uint8_t RateIndex, uint8_t Channels)
{
    TBytes Payload { 1, 2, 3, 4, 8 }; // CRC, version
    VarLen(Payload, Samples);
    VarLen(Payload, 0);
    Payload.push_back(uint8_t(RateIndex << 5 | 17));
    Payload.push_back(uint8_t((Channels - 1) << 4 | 1 << 3 | 1));
    TBytes B;
    Text(B, "MPCKSH");
    VarLen(B, Payload.size() + 3);
    Append(B, Payload);
    Text(B, "RG");
    VarLen(B, 12);
    B.resize(B.size() + 9, 0);
    Text(B, "AP");
    VarLen(B, 1003);
    B.resize(B.size() + 1000, 0x11);
    return B;
}

TBytes SV7(uint8_t VersionByte, uint32_t Frames, uint32_t RateIndex, uint32_t Profile, uint8_t Encoder)
{
    TBytes B;
    Text(B, "MP+");
    B.push_back(VersionByte);
    LE(B, Frames, 4);
    LE(B, 0x40000000u | Profile << 20 | RateIndex << 16, 4);
    for (uint32_t V : { 0x1234u, uint32_t(uint16_t(-650)), 0x5678u, uint32_t(uint16_t(-720)) })
        LE(B, V, 2);
    LE(B, 0, 4);
    B.resize(27, 0);
    B.push_back(Encoder);
    B.resize(B.size() + 2000, 0x22);
    return B;
}

TEST(Musepack, StreamVersion8)
{
    const struct {
        uint64_t Samples;
        uint8_t RateIndex, Channels;
        uint32_t Rate;
    } Cases[] = { { 480000, 1, 2, 48000 }, { 441000, 0, 1, 44100 }, { 32000 * 600, 3, 6, 32000 },
        { 37800 * 2, 2, 2, 37800 } };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Rate);
        const TBytes B = SV8(C.Samples, C.RateIndex, C.Channels);
        TMPEGplus M;
        ASSERT_TRUE(M.LoadFromStream(TMemorySource(B), 0, 0));
        EXPECT_EQ(M.FStreamVersion, 8u);
        EXPECT_EQ(M.StreamStreamVersionString(), "8.0");
        EXPECT_EQ(M.FSampleRate, C.Rate);
        EXPECT_EQ(M.FChannelCount, C.Channels);
        EXPECT_EQ(M.FSampleCount, C.Samples);
        EXPECT_EQ(M.FFileSize, B.size());
        EXPECT_DOUBLE_EQ(M.Duration(), double(C.Samples) / C.Rate);
        EXPECT_EQ(M.Properties().Channels, C.Channels);
        EXPECT_FALSE(M.Corrupted());
    }
    // Damaged: cut inside the stream header, a size running past the end, audio before it.
    TBytes B = SV8(480000, 1, 2);
    TMPEGplus M;
    EXPECT_FALSE(M.LoadFromStream(TMemorySource(TBytes(B.begin(), B.begin() + 12)), 0, 0));
    TBytes Long = B;
    Long[6] = 0xFF;
    Long[7] = 0xFF;
    EXPECT_FALSE(M.LoadFromStream(TMemorySource(Long), 0, 0));
    TBytes AudioFirst = B;
    AudioFirst[4] = 'A';
    AudioFirst[5] = 'P';
    EXPECT_FALSE(M.LoadFromStream(TMemorySource(AudioFirst), 0, 0));
}

TEST(Musepack, StreamVersion7)
{
    TMPEGplus M;
    const TBytes B = SV7(0x07, 1000, 1, 10, 116);
    ASSERT_TRUE(M.LoadFromStream(TMemorySource(B), 0, 0));
    EXPECT_EQ(M.StreamStreamVersionString(), "7.0");
    EXPECT_EQ(M.FFrameCount, 1000u);
    EXPECT_EQ(M.FSampleRate, 48000u);
    EXPECT_EQ(M.FChannelModeID, 2u);
    EXPECT_EQ(M.ChannelMode(), "Joint Stereo");
    EXPECT_EQ(M.FProfileID, 10u);
    EXPECT_EQ(M.Profile(), "Standard (q=5.0)");
    EXPECT_EQ(M.FTitleGain, -650);
    EXPECT_EQ(M.FTitlePeak, 0x1234);
    EXPECT_EQ(M.FAlbumGain, -720);
    EXPECT_EQ(M.FAlbumPeak, 0x5678);
    EXPECT_EQ(M.FEncoder, "1.16 Beta");
    EXPECT_DOUBLE_EQ(M.Duration(), 1000 * 1152 / 48000.0);
    EXPECT_EQ(M.BitRate(), uint32_t(B.size() * 8 / M.Duration() / 1000 + 0.5));
    EXPECT_DOUBLE_EQ(M.Ratio(), B.size() / (1000.0 * 1152 * 4 + 44) * 100);
    // Unknown channels read as stereo in the unified model.
    TSourceAudioAttributes A;
    A.MusePackAttributes = std::make_unique<TMPEGplus>(M);
    EXPECT_EQ(A.Channels(), 2);
    EXPECT_EQ(A.SamplesPerSec(), 48000u);

    const struct {
        uint8_t VersionByte, Encoder;
        const char *Version, *EncoderText;
    } Cases[] = { { 0x17, 110, "7.1", "1.1 Release" }, { 0x07, 115, "7.0", "1.15 --Alpha--" }, { 0x07, 0, "7.0", "" } };
    for (const auto& C : Cases) {
        ASSERT_TRUE(M.LoadFromStream(TMemorySource(SV7(C.VersionByte, 10, 0, 0, C.Encoder)), 0, 0));
        EXPECT_EQ(M.StreamStreamVersionString(), C.Version);
        EXPECT_EQ(M.FEncoder, C.EncoderText);
    }
}

TEST(Musepack, OlderStreamsAndTheHeaderPosition)
{
    // Versions 4 to 6: bit rate in the top 9 bits, version in bits 11-20, then the frames.
    const auto Older = [](uint32_t Version, uint32_t Word1) {
        TBytes B(10, 0);
        LE(B, 128u << 23 | Version << 11 | 1, 4);
        LE(B, Word1, 4);
        B.resize(B.size() + 1000, 0);
        return B;
    };
    TMPEGplus M;
    const TBytes B = Older(5, 500);
    ASSERT_TRUE(M.LoadFromStream(TMemorySource(B), 10, 128));
    EXPECT_EQ(M.StreamStreamVersionString(), "5.0");
    EXPECT_EQ(M.FFrameCount, 500u);
    EXPECT_EQ(M.FSampleRate, 44100u);
    EXPECT_EQ(M.BitRate(), 128u);
    EXPECT_EQ(M.FTagsSize, 138u);
    // Version 4 keeps its frame count in the upper half of the second word; 6 stores no rate.
    ASSERT_TRUE(M.LoadFromStream(TMemorySource(Older(4, 7u << 16 | 99)), 10, 0));
    EXPECT_EQ(M.FFrameCount, 7u);
    ASSERT_TRUE(M.LoadFromStream(TMemorySource(Older(6, 500)), 10, 0));
    EXPECT_EQ(M.BitRate(), uint32_t((B.size() - 10) * 8 / (500 * 1152 / 44100.0) / 1000 + 0.5));
    // Nothing there at the given position, or version bits of no Musepack stream.
    EXPECT_FALSE(M.LoadFromStream(TMemorySource(B), 0, 0));
    EXPECT_FALSE(M.LoadFromStream(TMemorySource(B), 1u << 30, 0));
    EXPECT_FALSE(M.Corrupted());
    EXPECT_TRUE(M.LoadFromStream(TMemorySource(SV7(0x07, 0, 0, 0, 0)), 0, 0));
    EXPECT_TRUE(M.Corrupted());
}

TEST(PackedAudio, DetectedByContent)
{
    const struct {
        TBytes File;
        TAudioFormat Format;
    } Cases[] = {
        { WavPackBlock(WvRate(9) | 1, 44100, 0, 44100), afWavPack },
        { SV8(48000, 1, 2), afMusepack },
        { SV7(0x07, 10, 0, 0, 0), afMusepack },
        { [] {
             TBytes B(4, 0);
             B[0] = 0;
             LE(B, 5u << 11, 4);
             LE(B, 10, 4);
             B.erase(B.begin(), B.begin() + 4);
             B.resize(64);
             return B;
         }(),
            afMusepack },
        { Bytes("wvpk too short to be a block"), afUnknown },
    };
    for (const auto& C : Cases) {
        TMemoryStream Stream(C.File);
        EXPECT_EQ(DetectAudioFormat(Stream), C.Format) << std::string(C.File.begin(), C.File.begin() + 4);
    }
}

TEST(PackedAudio, ReadersAnswerForTheUnifiedModelWhenAskedTo)
{
    const auto Dir = ScratchDir("PackedAudio.Readers");
    const std::string Wv = (Dir / "sine.wv").string();
    std::filesystem::copy_file(std::string(VANTOR_TEST_DATA) + "/audio/sine.wv", Wv);
    const std::string Mpc = (Dir / "stream.mpc").string();
    WriteBytes(Mpc, SV8(96000, 1, 2));

    // A tag at the end does not count as audio.
    for (const std::string& Path : { Wv, Mpc }) {
        TTags Tags;
        Tags.LoadFromFile(Path);
        Tags.SetTag("TITLE", "Packed");
        ASSERT_EQ(Tags.SaveToFile(Path), tlSuccess);
    }
    const uint64_t WvSize = std::filesystem::file_size(Wv);

    TTags Tags;
    Tags.LoadFromFile(Wv);
    EXPECT_EQ(Tags.SourceAudioAttributes->SampleCount(), 0u) << "not asked for";
    Tags.ParseWavPackAudioAttributes = true;
    Tags.ParseMusePackAudioAttributes = true;
    ASSERT_EQ(Tags.LoadFromFile(Wv), tlSuccess);
    EXPECT_EQ(Tags.GetTag("TITLE"), "Packed");
    const TSourceAudioAttributes& A = *Tags.SourceAudioAttributes;
    ASSERT_TRUE(A.WAVPackAttributes);
    EXPECT_EQ(A.Channels(), 1);
    EXPECT_EQ(A.SamplesPerSec(), 8000u);
    EXPECT_EQ(A.BitsPerSample(), 32); // ffmpeg encodes floating point
    EXPECT_EQ(A.SampleCount(), 8000u);
    EXPECT_DOUBLE_EQ(A.PlayTime(), 1);
    const auto& Reader = static_cast<const TWAVPackfile&>(*A.WAVPackAttributes);
    EXPECT_GT(Reader.FTagSize, 32u);
    EXPECT_EQ(A.BitRate(), uint32_t((WvSize - Reader.FTagSize) * 8 / 1000.0 + 0.5));
    EXPECT_FALSE(A.MusePackAttributes) << "chosen by the extension";

    ASSERT_EQ(Tags.LoadFromFile(Mpc), tlSuccess);
    EXPECT_EQ(Tags.GetTag("TITLE"), "Packed");
    ASSERT_TRUE(A.MusePackAttributes);
    EXPECT_FALSE(A.WAVPackAttributes);
    EXPECT_EQ(A.SamplesPerSec(), 48000u);
    EXPECT_DOUBLE_EQ(A.PlayTime(), 2);

    // From a stream the content decides.
    TMemoryStream Stream(ReadBytes(Mpc));
    ASSERT_EQ(Tags.LoadFromStream(Stream), tlSuccess);
    EXPECT_TRUE(A.MusePackAttributes);
    EXPECT_FALSE(A.WAVPackAttributes);
}

TEST(WavPack, DSDAtTheRateItIsStoredAt)
{
    // 0.2 s of DSD64 stereo packed by the wavpack tool: bytes of 8 one-bit samples, 352,800 a
    // second, where the block header's rate index says 88,200 and the DSD data a shift of 2.
    const TBytes File = ReadBytes(Fixture("audio-readers/dsd64.wv"));
    TWAVPackfile W;
    ASSERT_TRUE(W.LoadFromStream(TMemorySource(File), 0));
    EXPECT_EQ(W.FSampleRate, 352800u);
    EXPECT_EQ(W.FChannels, 2);
    EXPECT_EQ(W.FSamples, 70560u);
    EXPECT_DOUBLE_EQ(W.FDuration, 0.2);

    // The same shift without the DSD flag in the header is no DSD.
    TBytes NotDSD = File;
    NotDSD[27] &= 0x7F;
    ASSERT_TRUE(W.LoadFromStream(TMemorySource(NotDSD), 0));
    EXPECT_EQ(W.FSampleRate, 88200u);
}

// A fixture of tests/data/tags/audio-readers read by one of the stream readers.
TAudioPropertySet ReadStream(const std::string& Name, const TBytes& File, bool& Read)
{
    const TMemorySource Source(File);
    if (Name.ends_with(".ape")) {
        TMonkeysAudioInfo Info;
        Read = Info.LoadFromStream(Source, 0, 0);
        return Info.Properties();
    }
    if (Name.ends_with(".tta")) {
        TTTAInfo Info;
        Read = Info.LoadFromStream(Source, 0, 0);
        return Info.Properties();
    }
    TSpeexInfo Info;
    Read = Info.LoadFromStream(Source);
    return Info.Properties();
}

TEST(StreamReaders, MonkeysAudioTTAAndSpeex)
{
    // ffprobe reads the same rates, channels and lengths from these files.
    const struct {
        const char* Name;
        uint16_t Channels;
        uint32_t Rate;
        uint16_t Bits;
        uint64_t Samples;
        size_t ChannelsAt;
    } Cases[] = {
        { "v399.ape", 2, 44100, 16, 148456, 52 + 18 }, // descriptor and header
        // The older header: 2 frames of 73728 blocks, the last holding 4000.
        { "v380.ape", 1, 48000, 24, 77728, 10 },
        { "stereo.tta", 2, 8000, 16, 2000, 6 },
        // The last granule position: 0.5 s less the encoder's delay. Channels behind a page
        // header of one segment.
        { "wideband.spx", 1, 16000, 0, 7857, 27 + 1 + 48 },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBytes File = ReadBytes(Fixture(std::string("audio-readers/") + C.Name));
        bool Read = false;
        const TAudioPropertySet P = ReadStream(C.Name, File, Read);
        ASSERT_TRUE(Read);
        EXPECT_EQ(P.Channels, C.Channels);
        EXPECT_EQ(P.SamplesPerSec, C.Rate);
        EXPECT_EQ(P.BitsPerSample, C.Bits);
        EXPECT_EQ(P.SampleCount, C.Samples);
        EXPECT_DOUBLE_EQ(P.PlayTime, double(C.Samples) / C.Rate);
        EXPECT_EQ(P.BitRate, RoundProperty<uint32_t>(File.size() * 8 / 1000.0 / P.PlayTime));

        // Cut inside the header, or with the channel count zeroed, nothing is read.
        for (size_t Keep : { size_t(4), size_t(20) }) {
            const TBytes Cut(File.begin(), File.begin() + ptrdiff_t(Keep));
            ReadStream(C.Name, Cut, Read);
            EXPECT_FALSE(Read) << Keep;
        }
        File[C.ChannelsAt] = 0;
        ReadStream(C.Name, File, Read);
        EXPECT_FALSE(Read);
    }
}

TEST(StreamReaders, TTagsAnswersWithThemByExtensionOrContent)
{
    const auto Dir = ScratchDir("StreamReaders.TTags");
    for (const char* Name : { "v399.ape", "stereo.tta", "wideband.spx" }) {
        SCOPED_TRACE(Name);
        const std::string Path = ScratchCopy(std::string("audio-readers/") + Name, Dir);
        TTags Tags;
        ASSERT_EQ(Tags.LoadFromFile(Path), tlSuccess);
        EXPECT_GT(Tags.SourceAudioAttributes->PlayTime(), 0.2);
        const double ByExtension = Tags.SourceAudioAttributes->PlayTime();
        TMemoryStream Stream(ReadBytes(Path));
        ASSERT_EQ(Tags.LoadFromStream(Stream), tlSuccess);
        EXPECT_EQ(Tags.SourceAudioAttributes->PlayTime(), ByExtension);
    }
    // An APE tag saved behind Monkey's Audio does not count as audio.
    const std::string Ape = ScratchCopy("audio-readers/v399.ape", Dir);
    const uint64_t Bytes = std::filesystem::file_size(Ape);
    TTags Tags;
    Tags.LoadFromFile(Ape);
    Tags.SetTag("TITLE", std::string(2000, 't'));
    ASSERT_EQ(Tags.SaveToFile(Ape), tlSuccess);
    ASSERT_EQ(Tags.LoadFromFile(Ape), tlSuccess);
    EXPECT_EQ(Tags.GetTag("TITLE").size(), 2000u);
    EXPECT_EQ(Tags.SourceAudioAttributes->BitRate(), RoundProperty<uint32_t>(Bytes * 8 / 1000.0 / (148456 / 44100.0)));
}

} // namespace
} // namespace vantor
