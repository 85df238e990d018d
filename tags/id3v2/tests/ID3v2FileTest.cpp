#include "tags/id3v2/ID3v2Container.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/id3v2/tests/ID3v2TestBytes.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vantor {
namespace {

using namespace test;
namespace fs = std::filesystem;

// Fake audio: a frame sync and a recognisable pattern.
TBytes Audio(size_t Size)
{
    TBytes Out(Size);
    for (size_t I = 0; I < Size; ++I)
        Out[I] = uint8_t(I * 7 + 3);
    Out[0] = 0xFF;
    Out[1] = 0xFB;
    return Out;
}

// A 2.3 tag of exactly TotalSize bytes: one TXXX frame of FrameData bytes, then padding.
TBytes TagOfSize(size_t TotalSize, size_t FrameData)
{
    const TBytes Frame = Frame3("PRIV", Bytes("o") + TBytes(FrameData - 1, 'p'));
    return Tag(3, 0, Frame + TBytes(TotalSize - 10 - Frame.size(), 0));
}

// Gives T frames whose written size is exactly NewSize without padding.
void FillTo(TID3v2Tag& T, size_t NewSize)
{
    T.DeleteAllFrames();
    T.SetPrivate(T.AddFrame("PRIV"), "o", TBytes(NewSize - 10 - 10 - 2, 'n'));
    ASSERT_EQ(T.CalculateTagSize(0), NewSize);
}

fs::path Scratch(std::string_view Name, const TBytes& Content)
{
    const fs::path P = ScratchDir() / Name;
    fs::remove(P);
    WriteFileBytes(P, Content);
    return P;
}

TEST(ID3v2File, TaggedMP3Fixtures)
{
    for (const char* Name : { "tagged-v23.mp3", "tagged-v24.mp3" }) {
        SCOPED_TRACE(Name);
        const bool V24 = std::string_view(Name).find("v24") != std::string_view::npos;
        TID3v2Tag T;
        ASSERT_EQ(T.LoadFromFile(FixturePath("id3v2", Name)), 0);
        T.RemoveUnsynchronisationOnAllFrames();
        T.DeCompressAllFrames();
        EXPECT_EQ(T.MajorVersion, V24 ? 4 : 3);
        EXPECT_EQ(T.GetUnicodeText("TIT2"), "Title \u00e9\u4e2d");
        EXPECT_EQ(T.GetUnicodeText("TPE1"), V24 ? "Artist A\r\nArtist B" : "Artist A");
        EXPECT_EQ(T.GetUnicodeText("TRCK"), "3/12");
        EXPECT_EQ(T.GetUnicodeText("TCON"), "(13)");
        std::string Language, Description;
        EXPECT_EQ(T.GetUnicodeContent(T.FrameExists("COMM"), Language, Description), "A comment");
        EXPECT_EQ(T.GetUnicodeLyrics(T.FrameExists("USLT"), Language, Description), "Line 1\nLine 2");
        EXPECT_EQ(Language, "deu");
        EXPECT_EQ(Description, "words");
        std::vector<uint8_t> Picture;
        std::string Mime;
        uint32_t Type = 0;
        ASSERT_TRUE(T.GetUnicodeCoverPictureStream(T.FrameExists("APIC"), Picture, Mime, Description, Type));
        EXPECT_EQ(Mime, "image/png");
        EXPECT_EQ(Description, "front");
        EXPECT_EQ(Picture.size(), 70u);
        EXPECT_EQ(Picture[1], 'P');
        std::vector<std::string> Values;
        EXPECT_TRUE(T.FindTXXXByDescriptionMultiple("mood2", Values));
        EXPECT_EQ(Values, std::vector<std::string> { "calm" });
        EXPECT_EQ(T.GetUnicodeUserDefinedURLLink(T.FrameExists("WXXX"), Description), "http://example.com/buy");
        EXPECT_EQ(T.GetURL("WOAR"), "http://example.com/artist");
        EXPECT_EQ(T.GetPlayCount("PCNT"), 42u);
        std::string Email;
        uint32_t Counter = 0;
        uint8_t Rating = 0;
        ASSERT_TRUE(T.GetPopularimeter(T.FrameExists("POPM"), Email, Counter, Rating));
        EXPECT_EQ(Rating, 196);
        EXPECT_EQ(Counter, 7u);
        EXPECT_EQ(T.FindUFIDByOwnerIdentifier("http://musicbrainz.org"), T.FrameExists("UFID"));
        if (V24) {
            std::vector<std::string> People;
            ASSERT_TRUE(T.GetUnicodeListFrame(T.FrameExists("TIPL"), People));
            EXPECT_EQ(People, (std::vector<std::string> { "producer=P", "mixer=M" }));
        }

        // Audio behind the tag.
        EXPECT_EQ(T.FSourceFileType, sftMPEG);
        EXPECT_EQ(T.MPEGInfo.SampleRate, 44100u);
        EXPECT_EQ(T.BitRate, 64u);
        EXPECT_EQ(T.MPEGInfo.Position, T.Size);
    }
}

TEST(ID3v2File, AudioFoundBehindASecondTagAndJunk)
{
    const TBytes Mp3 = ReadFileBytes(FixturePath("mpeg", "cbr64-stereo.mp3"));
    const TBytes First = Tag(3, 0, Frame3("TIT2", Bytes({ 0 }) + Bytes("First")));
    // Junk that holds a frame sync whose next frame is missing.
    TBytes Junk(3000);
    for (size_t I = 0; I < Junk.size(); ++I)
        Junk[I] = uint8_t(I * 7 + 3);
    const TBytes FakeSync = Bytes({ 0xFF, 0xFB, 0x90, 0x64 });
    std::copy(FakeSync.begin(), FakeSync.end(), Junk.begin() + 100);
    const TBytes Second = Tag(4, 0, Frame4("TIT2", Bytes({ 3 }) + Bytes("Second")) + TBytes(2000, 0));
    struct Case {
        const char* Name;
        TBytes File;
        uint64_t AudioAt; // 0: no audio
    };
    const Case Cases[] = {
        { "second tag", First + Second + Mp3, First.size() + Second.size() },
        { "junk", First + Junk + Mp3, First.size() + Junk.size() },
        { "junk and a second tag", First + Junk + Second + Mp3, First.size() + Junk.size() + Second.size() },
        { "junk only", First + Junk, 0 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TID3v2Tag T;
        ASSERT_EQ(T.LoadFromFile(Scratch("behind.mp3", C.File)), 0);
        EXPECT_EQ(T.GetUnicodeText("TIT2"), "First");
        const TAudioPropertySet A = T.AudioProperties();
        if (C.AudioAt == 0) {
            EXPECT_EQ(A.SamplesPerSec, 0u);
            continue;
        }
        EXPECT_EQ(T.MPEGInfo.Position, C.AudioAt);
        EXPECT_EQ(A.SamplesPerSec, 44100u);
        EXPECT_EQ(A.Channels, 2);
        EXPECT_NEAR(A.PlayTime, 0.5, 0.05);
    }
}

TEST(ID3v2File, InPlaceWhenThePaddingHasRoom)
{
    const TBytes Music = Audio(3000);
    const TBytes Original = TagOfSize(10000, 500) + Music;
    const fs::path P = Scratch("inplace.mp3", Original);

    TID3v2Tag T;
    ASSERT_EQ(T.LoadFromFile(P), 0);
    FillTo(T, 9000);
    ASSERT_EQ(T.SaveToFile(P), 0);
    EXPECT_EQ(T.PaddingSize, 1000u);

    const TBytes After = ReadFileBytes(P);
    ASSERT_EQ(After.size(), Original.size());
    EXPECT_TRUE(std::equal(Music.begin(), Music.end(), After.begin() + 10000));
    TID3v2Tag Again;
    ASSERT_EQ(Again.LoadFromFile(P), 0);
    EXPECT_EQ(Again.Size, 10000u);
    EXPECT_EQ(Again.FrameCount(), 1);
    EXPECT_EQ(Again.FSourceFileType, sftMPEG);
}

TEST(ID3v2File, RewrittenWhenTooMuchOrTooLittleRoom)
{
    const TBytes Music = Audio(3000);
    for (const size_t NewSize : { 5000u, 12000u }) {
        SCOPED_TRACE(NewSize);
        const fs::path P = Scratch("rewrite.mp3", TagOfSize(10000, 500) + Music);
        TID3v2Tag T;
        ASSERT_EQ(T.LoadFromFile(P), 0);
        FillTo(T, NewSize);
        ASSERT_EQ(T.SaveToFile(P), 0);
        const TBytes After = ReadFileBytes(P);
        ASSERT_EQ(After.size(), NewSize + 4096 + Music.size());
        EXPECT_TRUE(std::equal(Music.begin(), Music.end(), After.end() - ptrdiff_t(Music.size())));
        EXPECT_EQ(fs::directory_entry(P).status().permissions() & fs::perms::owner_read, fs::perms::owner_read);
    }
    // A link to the file stays a link.
    const fs::path Real = Scratch("linked-target.mp3", TagOfSize(300, 50) + Music);
    const fs::path Link = ScratchDir() / "link.mp3";
    fs::remove(Link);
    fs::create_symlink(Real, Link);
    TID3v2Tag T;
    FillTo(T, 5000);
    ASSERT_EQ(T.SaveToFile(Link), 0);
    EXPECT_TRUE(fs::is_symlink(Link));
    EXPECT_EQ(fs::file_size(Real), 5000 + 4096 + Music.size());

    // No temporary files are left behind.
    for (const auto& Entry : fs::directory_iterator(ScratchDir()))
        EXPECT_EQ(Entry.path().string().find("rewrite.mp3."), std::string::npos) << Entry.path();
}

TEST(ID3v2File, TagInsertedIntoUntaggedFileAndNewFileCreated)
{
    const fs::path P = ScratchCopy("mpeg", "cbr64-stereo.mp3", "untagged.mp3");
    const TBytes Before = ReadFileBytes(P);
    TID3v2Tag T;
    EXPECT_EQ(T.LoadFromFile(P), id3v2NoTag);
    EXPECT_EQ(T.FSourceFileType, sftMPEG);
    T.SetUnicodeText("TIT2", "New");
    ASSERT_EQ(T.SaveToFile(P), 0);
    const TBytes After = ReadFileBytes(P);
    EXPECT_EQ(After.size(), Before.size() + T.CalculateTagSize(4096));
    EXPECT_TRUE(std::equal(Before.begin(), Before.end(), After.end() - ptrdiff_t(Before.size())));

    const fs::path Fresh = ScratchDir() / "created.tag";
    fs::remove(Fresh);
    ASSERT_EQ(T.SaveToFile(Fresh), 0);
    TID3v2Tag Again;
    ASSERT_EQ(Again.LoadFromFile(Fresh), 0);
    EXPECT_EQ(Again.GetUnicodeText("TIT2"), "New");
}

TEST(ID3v2File, FailuresLeaveTheFileUnchanged)
{
    TID3v2Tag T;
    EXPECT_EQ(T.LoadFromFile(ScratchDir() / "missing.mp3"), id3v2ErrorOpeningFile);
    T.SetUnicodeText("TIT2", "x");
    EXPECT_EQ(T.SaveToFile(ScratchDir() / "no-such-folder" / "a.mp3"), id3v2ErrorWriting);
    EXPECT_EQ(T.SaveToFile(ScratchDir()), id3v2ErrorOpeningFile); // a folder

    // Another process holds the file: a rewrite is refused, an in-place write still works.
    const TBytes Original = TagOfSize(10000, 500) + Audio(100);
    const fs::path P = Scratch("locked.mp3", Original);
    const int Other = ::open(P.c_str(), O_RDONLY);
    ASSERT_GE(Other, 0);
    ASSERT_EQ(::flock(Other, LOCK_EX), 0);
    FillTo(T, 20000);
    EXPECT_EQ(T.SaveToFile(P), id3v2NeedExclusiveAccess);
    EXPECT_EQ(ReadFileBytes(P), Original);
    FillTo(T, 9500);
    EXPECT_EQ(T.SaveToFile(P), 0);
    EXPECT_EQ(ReadFileBytes(P).size(), Original.size());
    ::close(Other);
}

TEST(ID3v2File, WaveAndAIFFChunks)
{
    const struct {
        const char* Fixture;
        const char* Tagged;
        TSourceFileType Type;
        bool BigEndian;
    } Cases[] = {
        { "pcm16-stereo.wav", "tagged.wav", sftWAVE, false },
        { "pcm16-stereo.aiff", "tagged.aiff", sftAIFF, true },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Fixture);
        TID3v2Tag T;
        ASSERT_EQ(T.LoadFromFile(FixturePath("id3v2", C.Tagged)), 0);
        EXPECT_EQ(T.FSourceFileType, C.Type);
        EXPECT_EQ(T.GetUnicodeText("TIT2"), "Chunk title");
        const TAudioPropertySet A = T.AudioProperties();
        EXPECT_EQ(A.Channels, 2);
        EXPECT_EQ(A.SamplesPerSec, 44100u);
        EXPECT_EQ(A.BitsPerSample, 16);

        // Untagged file: a chunk is appended; tagged file: its chunk grows; both stay valid.
        for (const char* Source : { C.Fixture, C.Tagged }) {
            const fs::path P = ScratchCopy("id3v2", Source, std::string("chunk-") + Source);
            const TBytes Before = ReadFileBytes(P);
            TID3v2Tag W;
            W.LoadFromFile(P);
            W.SetUnicodeText("TIT2", "Replaced title");
            W.SetPrivate(W.AddFrame("PRIV"), "big", TBytes(3000, 1));
            ASSERT_EQ(W.SaveToFile(P), 0);
            const TBytes After = ReadFileBytes(P);
            const uint32_t FormSize = C.BigEndian ? GetBE32(After.data() + 4) : GetLE32(After.data() + 4);
            EXPECT_EQ(FormSize + 8, After.size());
            EXPECT_EQ(After.size() % 2, 0u);

            TID3v2Tag R;
            ASSERT_EQ(R.LoadFromFile(P), 0);
            EXPECT_EQ(R.GetUnicodeText("TIT2"), "Replaced title");
            EXPECT_EQ(R.AudioProperties().SampleCount, T.AudioProperties().SampleCount);
            // The sound data chunk is untouched.
            const std::string_view Data = C.BigEndian ? "SSND" : "data";
            const auto Find = [&](const TBytes& B) {
                return std::search(B.begin(), B.end(), Data.begin(), Data.end());
            };
            const size_t Length = 3000;
            EXPECT_TRUE(std::equal(Find(Before), Find(Before) + Length, Find(After)));

            // A second, smaller save fits in place.
            R.DeleteFrame("PRIV");
            R.SetUnicodeText("TALB", "Album");
            ASSERT_EQ(R.SaveToFile(P), 0);
            EXPECT_GE(ReadFileBytes(P).size(), After.size() - 4096 - 3100);
        }
    }
}

TEST(ID3v2File, RF64)
{
    const fs::path P = ScratchCopy("id3v2", "pcm16-mono.rf64", "chunk.rf64");
    TID3v2Tag T;
    EXPECT_EQ(T.LoadFromFile(P), id3v2NoTag);
    EXPECT_EQ(T.FSourceFileType, sftRF64);
    EXPECT_EQ(T.WAVInfo.SamplesPerSec, 8000u);
    EXPECT_EQ(T.SampleCount, 800u);
    T.SetUnicodeText("TIT2", "RF64 title");
    ASSERT_EQ(T.SaveToFile(P), 0);
    const TBytes After = ReadFileBytes(P);
    EXPECT_EQ(GetLE32(After.data() + 4), 0xFFFFFFFFu);
    EXPECT_EQ(GetLE64(After.data() + 20) + 8, After.size()); // the ds64 RIFF size
    TID3v2Tag R;
    ASSERT_EQ(R.LoadFromFile(P), 0);
    EXPECT_EQ(R.GetUnicodeText("TIT2"), "RF64 title");
    EXPECT_EQ(R.SampleCount, 800u);

    const fs::path Bad = Scratch("bad.rf64", Bytes("RF64") + BE32(0) + Bytes("AVI ") + TBytes(40, 0));
    T.SetUnicodeText("TIT2", "x");
    EXPECT_EQ(T.SaveToFile(Bad), id3v2RF64NotWave);
}

TEST(ID3v2File, DamagedContainerIsNotWritten)
{
    // The data chunk claims more bytes than the file holds.
    const TBytes Wave =
        Bytes("RIFF") + Bytes({ 40, 0, 0, 0 }) + Bytes("WAVEdata") + Bytes({ 0, 0, 1, 0 }) + TBytes(28, 0);
    // A form size that ends inside the data chunk.
    const TBytes ShortForm =
        Bytes("RIFF") + Bytes({ 12, 0, 0, 0 }) + Bytes("WAVEdata") + Bytes({ 20, 0, 0, 0 }) + TBytes(20, 0x55);
    for (const TBytes& Bad : { Wave, ShortForm }) {
        const fs::path P = Scratch("damaged.wav", Bad);
        TID3v2Tag T;
        T.SetUnicodeText("TIT2", "x");
        EXPECT_EQ(T.SaveToFile(P), id3v2InvalidContainer);
        EXPECT_EQ(ReadFileBytes(P), Bad);
    }
}

TEST(ID3v2File, ChunkAppendedBehindAnUnpaddedOddChunk)
{
    const TBytes Fmt =
        Bytes("fmt ") + Bytes({ 16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0 });
    const TBytes Body = Bytes("WAVE") + Fmt + Bytes("data") + Bytes({ 3, 0, 0, 0, 1, 2, 3 });
    const fs::path P = Scratch("odd.wav", Bytes("RIFF") + Bytes({ uint8_t(Body.size()), 0, 0, 0 }) + Body);
    TID3v2Tag T;
    T.SetUnicodeText("TIT2", "after odd data");
    ASSERT_EQ(T.SaveToFile(P), 0);
    const TBytes After = ReadFileBytes(P);
    EXPECT_EQ(GetLE32(After.data() + 4) + 8, After.size());
    EXPECT_EQ(After[8 + Body.size()], 0); // the pad byte
    EXPECT_EQ(
        std::string(After.begin() + 9 + ptrdiff_t(Body.size()), After.begin() + 13 + ptrdiff_t(Body.size())), "id3 ");
    TID3v2Tag R;
    ASSERT_EQ(R.LoadFromFile(P), 0);
    EXPECT_EQ(R.GetUnicodeText("TIT2"), "after odd data");
    EXPECT_EQ(R.SampleCount, 3u);
}

TEST(ID3v2File, ReplacedChunkTakesItsPadByteWhateverItsValue)
{
    // The walk steps over the odd tag chunk's pad byte, here not 0: left behind the new chunk,
    // the data chunk would be read from it.
    const TBytes Fmt =
        Bytes("fmt ") + Bytes({ 16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0, 1, 0, 8, 0 });
    const TBytes OddTag = TagOfSize(23, 3);
    const TBytes Body = Bytes("WAVE") + Fmt + Bytes("id3 ") + Bytes({ 23, 0, 0, 0 }) + OddTag + Bytes("A")
        + Bytes("data") + Bytes({ 4, 0, 0, 0, 1, 2, 3, 4 });
    TBytes Image = Bytes("RIFF") + Bytes({ uint8_t(Body.size()), 0, 0, 0 }) + Body;
    TID3v2Tag T;
    T.SetUnicodeText("TIT2", "a title longer than the old tag");
    ASSERT_EQ(T.SaveToStream(Image), 0);
    EXPECT_EQ(GetLE32(Image.data() + 4) + 8, Image.size());
    TMemorySource Source(Image);
    TID3v2Tag R;
    ASSERT_EQ(R.LoadFromStream(Source), 0);
    EXPECT_EQ(R.GetUnicodeText("TIT2"), "a title longer than the old tag");
    EXPECT_EQ(R.SampleCount, 4u);
}

TBytes LE64(uint64_t V)
{
    TBytes Out(8);
    PutLE64(Out.data(), V);
    return Out;
}

TBytes BE64(uint64_t V)
{
    TBytes Out(8);
    PutBE64(Out.data(), V);
    return Out;
}

TEST(ID3v2File, DSFAndDSDIFF)
{
    // DSF: header with the metadata pointer, fmt and data chunks; the tag goes to the end.
    const TBytes Sound(64, 0x69);
    const TBytes DsfBody = Bytes("fmt ") + LE64(52) + TBytes(40, 0) + Bytes("data") + LE64(12 + Sound.size()) + Sound;
    const TBytes Dsf = Bytes("DSD ") + LE64(28) + LE64(28 + DsfBody.size()) + LE64(0) + DsfBody;
    const fs::path P = Scratch("t.dsf", Dsf);
    TID3v2Tag T;
    EXPECT_EQ(T.LoadFromFile(P), id3v2NoTag);
    EXPECT_EQ(T.FSourceFileType, sftDSF);
    T.SetUnicodeText("TIT2", "DSD title");
    ASSERT_EQ(T.SaveToFile(P), 0);
    TBytes After = ReadFileBytes(P);
    EXPECT_EQ(GetLE64(After.data() + 12), After.size());
    EXPECT_EQ(GetLE64(After.data() + 20), Dsf.size());
    EXPECT_EQ(After.size(), Dsf.size() + T.CalculateTagSize(0));
    TID3v2Tag R;
    ASSERT_EQ(R.LoadFromFile(P), 0);
    EXPECT_EQ(R.GetUnicodeText("TIT2"), "DSD title");
    R.SetUnicodeText("TIT2", "T");
    ASSERT_EQ(R.SaveToFile(P), 0);
    After = ReadFileBytes(P);
    EXPECT_EQ(GetLE64(After.data() + 12), After.size());
    EXPECT_EQ(After.size(), Dsf.size() + R.CalculateTagSize(0));

    // A metadata pointer into the sound data is refused.
    TBytes Wrong = Dsf;
    PutLE64(Wrong.data() + 20, Dsf.size() - 10);
    const fs::path W = Scratch("wrong.dsf", Wrong);
    EXPECT_EQ(T.SaveToFile(W), id3v2InvalidContainer);
    EXPECT_EQ(ReadFileBytes(W), Wrong);

    // DSDIFF: FRM8 form with 64-bit chunk sizes; the ID3 chunk is appended and later rewritten.
    const TBytes DffBody =
        Bytes("DSD ") + Bytes("FVER") + BE64(4) + Bytes({ 1, 5, 0, 0 }) + Bytes("DSD ") + BE64(Sound.size()) + Sound;
    const TBytes Dff = Bytes("FRM8") + BE64(DffBody.size()) + DffBody;
    const fs::path D = Scratch("t.dff", Dff);
    TID3v2Tag U;
    EXPECT_EQ(U.LoadFromFile(D), id3v2NoTag);
    EXPECT_EQ(U.FSourceFileType, sftDFF);
    U.SetUnicodeText("TIT2", "odd");
    ASSERT_EQ(U.SaveToFile(D), 0);
    After = ReadFileBytes(D);
    EXPECT_EQ(GetBE64(After.data() + 4) + 12, After.size());
    EXPECT_EQ(After.size() % 2, 0u);
    TID3v2Tag V;
    ASSERT_EQ(V.LoadFromFile(D), 0);
    EXPECT_EQ(V.GetUnicodeText("TIT2"), "odd");
    V.SetUnicodeText("TIT2", "a longer title");
    ASSERT_EQ(V.SaveToFile(D), 0);
    After = ReadFileBytes(D);
    EXPECT_EQ(GetBE64(After.data() + 4) + 12, After.size());
    EXPECT_TRUE(std::equal(Dff.begin() + 16, Dff.end(), After.begin() + 16));
    ASSERT_EQ(V.LoadFromFile(D), 0);
    EXPECT_EQ(V.GetUnicodeText("TIT2"), "a longer title");
}

TEST(ID3v2File, NothingToWriteTakesTheTagOut)
{
    // Each untagged file gets a tag and then an empty save: the file is what it was before.
    const TBytes Sound(64, 0x69);
    const TBytes DsfBody = Bytes("fmt ") + LE64(52) + TBytes(40, 0) + Bytes("data") + LE64(12 + Sound.size()) + Sound;
    const TBytes DffBody =
        Bytes("DSD ") + Bytes("FVER") + BE64(4) + Bytes({ 1, 5, 0, 0 }) + Bytes("DSD ") + BE64(Sound.size()) + Sound;
    const struct {
        const char* Name;
        TBytes Untagged;
    } Cases[] = {
        { "plain.mp3", Audio(700) },
        { "plain.wav", ReadFileBytes(FixturePath("id3v2", "pcm16-stereo.wav")) },
        { "plain.aiff", ReadFileBytes(FixturePath("id3v2", "pcm16-stereo.aiff")) },
        { "plain.rf64", ReadFileBytes(FixturePath("id3v2", "pcm16-mono.rf64")) },
        { "plain.dsf", Bytes("DSD ") + LE64(28) + LE64(28 + DsfBody.size()) + LE64(0) + DsfBody },
        { "plain.dff", Bytes("FRM8") + BE64(DffBody.size()) + DffBody },
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        const fs::path P = Scratch(C.Name, C.Untagged);
        TID3v2Tag T;
        T.SetUnicodeText("TIT2", "to be removed");
        ASSERT_EQ(T.SaveToFile(P), 0);
        const TBytes Tagged = ReadFileBytes(P);
        ASSERT_NE(Tagged, C.Untagged);

        TID3v2Tag R;
        ASSERT_EQ(R.LoadFromFile(P), 0);
        R.SetUnicodeText("TIT2", ""); // an emptied frame counts as nothing to write
        R.DeleteFrame("TIT2");
        ASSERT_EQ(R.SaveToFile(P), 0);
        EXPECT_EQ(ReadFileBytes(P), C.Untagged);
        EXPECT_EQ(R.LoadFromFile(P), id3v2NoTag);

        // No tag left: nothing to write, nothing changed.
        EXPECT_EQ(R.SaveToFile(P), id3v2NoFrames);
        EXPECT_EQ(ReadFileBytes(P), C.Untagged);

        // Behind a tag at the start of the file, the file's own tag goes with it: the next load
        // would find it once the first is out.
        TBytes Fronted = TagOfSize(300, 50) + Tagged;
        TID3v2Tag F;
        ASSERT_EQ(F.SaveToStream(Fronted), 0);
        EXPECT_EQ(Fronted, C.Untagged);
    }

    // Frames that are all empty remove the tag the same way, also from an in-memory image.
    TBytes Image = TagOfSize(300, 50) + Audio(500);
    TID3v2Tag E;
    E.AddFrame("TIT2");
    ASSERT_EQ(E.SaveToStream(Image), 0);
    EXPECT_EQ(Image, Audio(500));
    EXPECT_EQ(E.SaveToStream(Image), id3v2EmptyFrames);
    EXPECT_FALSE(fs::exists(ScratchDir() / "never-created.mp3"));
    EXPECT_EQ(E.SaveToFile(ScratchDir() / "never-created.mp3"), id3v2EmptyFrames);
    EXPECT_FALSE(fs::exists(ScratchDir() / "never-created.mp3"));

    // Tags stacked one behind the other go together: the second would otherwise load as the
    // file's tag once the first is out.
    TBytes Stacked = TagOfSize(300, 50) + TagOfSize(200, 20) + Audio(500);
    ASSERT_EQ(E.SaveToStream(Stacked), 0);
    EXPECT_EQ(Stacked, Audio(500));

    // So do all tag chunks of a form, and one behind the form's end, which loads as well.
    const TBytes Wav = ReadFileBytes(FixturePath("id3v2", "pcm16-stereo.wav"));
    const TBytes TagChunk = Bytes({ 200, 0, 0, 0 }) + TagOfSize(200, 20);
    TBytes Doubled = Wav + Bytes("id3 ") + TagChunk + Bytes("ID32") + TagChunk;
    PutLE32(Doubled.data() + 4, uint32_t(Doubled.size() - 8));
    const TBytes Behind = Wav + Bytes("id3 ") + TagChunk;
    for (TBytes Image : { Doubled, Behind }) {
        ASSERT_EQ(E.SaveToStream(Image), 0);
        EXPECT_EQ(Image, Wav);
    }
}

TEST(ID3v2File, SaveToStream)
{
    TBytes Image = TagOfSize(300, 50) + Audio(500);
    TID3v2Tag T;
    T.SetUnicodeText("TIT2", "mem");
    ASSERT_EQ(T.SaveToStream(Image), 0);
    EXPECT_EQ(Image.size(), 800u); // fits the old tag's 300 bytes
    TMemorySource Source(Image);
    TID3v2Tag R;
    ASSERT_EQ(R.LoadFromStream(Source), 0);
    EXPECT_EQ(R.GetUnicodeText("TIT2"), "mem");
    EXPECT_EQ(R.FSourceFileType, sftMPEG);
}

} // namespace
} // namespace vantor
