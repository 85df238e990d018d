#include "tags/FieldMaps.h"
#include "tags/FormatDetection.h"
#include "tags/ResultTranslation.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

using namespace vantor;
using namespace vantor::test;

TEST(Dispatch, ContentDetectionOfFixtures)
{
    struct {
        const char* File;
        TAudioFormat Format;
    } cases[] = {
        { "plain.mp3", afMPEG },
        { "plain.wav", afWAV },
        { "plain.aiff", afAIFF },
        { "plain.flac", afFlac },
        { "plain.ogg", afOggVorbis },
        { "plain.opus", afOpus },
        { "plain.m4a", afMP4 },
        { "ape-v2.xyz", afUnknown },
        { "id3v2/pcm16-mono.rf64", afRF64 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(DetectAudioFormat(Fixture(c.File)), c.Format) << c.File;
    EXPECT_EQ(DetectAudioFormat("/nonexistent"), afUnknown);
}

TEST(Dispatch, ContentDetectionOfCraftedStreams)
{
    auto detect = [](std::vector<uint8_t> bytes) {
        TMemoryStream stream(std::move(bytes));
        return DetectAudioFormat(stream);
    };
    std::vector<uint8_t> id3 = { 'I', 'D', '3', 4, 0, 0, 0, 0, 0, 2, 0, 0 };
    Append(id3, Bytes("fLaC"));
    EXPECT_EQ(detect(id3), afFlac); // behind a leading ID3v2 tag
    EXPECT_EQ(detect(std::vector<uint8_t>(2000, 0)), afUnknown);
    std::vector<uint8_t> late(1023, 0);
    Append(late, { 0xFF, 0xFB });
    EXPECT_EQ(detect(late), afMPEG); // found within 1025 attempts
    std::vector<uint8_t> tooLate(1025, 0);
    Append(tooLate, { 0xFF, 0xFB });
    EXPECT_EQ(detect(tooLate), afUnknown); // the search gives up
    EXPECT_EQ(detect(Bytes("MAC ")), afMonkeysAudio);
    EXPECT_EQ(detect(Bytes("OFR ")), afOptimFROG);
    EXPECT_EQ(detect(Bytes("MP+x")), afMusepack);
    EXPECT_EQ(detect(Bytes("DSD ")), afDSF);
    EXPECT_EQ(detect(Bytes("FRM8\0\0\0\0\0\0\0\0DSD ")), afUnknown); // no embedded NULs in the literal
    std::vector<uint8_t> dff = Bytes("FRM8");
    Append(dff, std::vector<uint8_t>(8, 0));
    Append(dff, Bytes("DSD "));
    EXPECT_EQ(detect(dff), afDSDIFF);
    EXPECT_EQ(detect(Bytes("FORM1234AIFC")), afAIFC);
    EXPECT_EQ(detect(Bytes("RF64")), afRF64);
    EXPECT_EQ(
        detect({ 0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C }),
        afWMA);
    EXPECT_EQ(detect({}), afUnknown);
}

TEST(Dispatch, TagTypesOfExtensions)
{
    struct {
        const char* Name;
        TTagTypes Types;
    } cases[] = {
        { "a.wav", TagTypeBit(ttID3v2) | TagTypeBit(ttWAV) },
        { "a.BWF", TagTypeBit(ttID3v2) | TagTypeBit(ttWAV) },
        { "a.wv", TagTypeBit(ttAPEv2) },
        { "a.m4b", TagTypeBit(ttMP4) },
        { "a.asf", TagTypeBit(ttWMA) },
        { "a.oga", TagTypeBit(ttFlac) },
        { "a.opus", TagTypeBit(ttOpusVorbis) },
        { "a.Mp3", TagTypeBit(ttID3v2) },
        { "a.dff", TagTypeBit(ttID3v2) },
        { "song.xyz", TagTypeBit(ttAPEv2) },
        { "dir.mp3/noextension", TagTypeBit(ttAPEv2) },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TagTypesOfFileName(c.Name), c.Types) << c.Name;
}

TEST(Dispatch, ResultTranslation)
{
    struct {
        TTagType Type;
        int Code;
        int Unified;
    } cases[] = {
        { ttAPEv2, 2, tlEmptyTag },
        { ttAPEv2, 9, tlNotSupported },
        { ttAPEv2, 10, tlError },
        { ttFlac, 7, tlNotSupportedVersion },
        { ttFlac, 9, tlNeedExclusiveAccess },
        { ttID3v1, 3, tlErrorOpeningFile },
        { ttID3v1, 0xFFFF, tlError },
        { ttID3v1, 1, tlError },
        { ttID3v2, 10, tlErrorContainerSize },
        { ttID3v2, 11, tlNeedExclusiveAccess },
        { ttMP4, 7, tlErrorContainerSize },
        { ttMP4, 12, tlMP4Chunk64OffsetsFailed },
        { ttMP4, 13, tlMP4FragmentOffsetsFailed },
        { ttOpusVorbis, 10, tlNeedExclusiveAccess },
        { ttWAV, 9, tlNotSupported },
        { ttWMA, 1, tlFileNotFound },
        { ttWMA, 5, tlWMAAttributeCountFailed },
        { ttWMA, 6, tlError },
        { ttNone, 0, tlError },
        { ttAutomatic, 0, tlError },
    };
    for (const auto& c : cases)
        EXPECT_EQ(TranslateResult(c.Type, c.Code), c.Unified) << c.Type << " " << c.Code;
}

TEST(Dispatch, FieldMaps)
{
    EXPECT_EQ(ID3v2FrameIDToName("TPE1"), "ARTIST");
    EXPECT_EQ(ID3v2FrameIDToName("tpe1"), ""); // ids compare exactly
    EXPECT_EQ(NameToID3v2FrameID("artist"), "TPE1");
    EXPECT_EQ(NameToID3v2FrameID("Track"), "TRCK");
    EXPECT_EQ(NameToID3v2FrameID("DISC"), "TPOS");
    EXPECT_EQ(NameToID3v2FrameID("CUSTOM"), "");
    EXPECT_EQ(ID3v2FrameKind("WXXX"), fkUserURL);
    EXPECT_EQ(ID3v2FrameKind("WOAR"), fkURL);
    EXPECT_EQ(ID3v2FrameKind("TIPL"), fkList);
    EXPECT_EQ(ID3v2FrameKind("USLT"), fkContent);
    EXPECT_EQ(ID3v2FrameKind("TXXX"), fkUserText);
    EXPECT_EQ(ID3v2FrameKind("TALB"), fkText);
    EXPECT_EQ(ID3v2FrameKind("APIC"), fkBinary);
    EXPECT_EQ(ID3v2FrameKind("PCNT"), fkPlayCounter);

    EXPECT_EQ(MP4AtomToName("\xA9"
                            "nam"),
        "TITLE");
    EXPECT_EQ(NameToMP4Atom("YEAR"),
        "\xA9"
        "day");
    EXPECT_EQ(NameToMP4Atom("ALBUM ARTIST"), "aART");
    EXPECT_EQ(NameToMP4Atom("RATING"), "");
    EXPECT_EQ(MP4AtomToName("SErg"), "RATING");

    EXPECT_EQ(RIFFInfoIDToName("IPRD"), "ALBUM");
    EXPECT_EQ(RIFFInfoIDToName("itrk"), "TRACKNUMBER");
    EXPECT_EQ(NameToRIFFInfoID("album"), "IPRD");
    EXPECT_EQ(NameToRIFFInfoID("COPYRIGHT"), "ICOP");
    EXPECT_EQ(NameToRIFFInfoID("TRACK"), "ITRK");

    EXPECT_EQ(WMAAttributeToName("wm/albumtitle"), "ALBUM");
    EXPECT_EQ(WMAAttributeToName("WM/TrackNumber"), "");
    EXPECT_EQ(NameToWMAAttribute("TRACKNUMBER"), "WM/TrackNumber");
    EXPECT_EQ(NameToWMAAttribute("YEAR"), "WM/Year");
    EXPECT_EQ(NameToWMAAttribute("DISC"), "WM/PartOfSet");
}
