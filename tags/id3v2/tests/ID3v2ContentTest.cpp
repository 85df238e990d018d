#include "tags/id3v2/ID3v2Tag.h"
#include "tags/id3v2/tests/ID3v2TestBytes.h"
#include "tags/io/TextCodec.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace test;

// A tag holding one frame with the given data.
struct TOneFrame {
    TID3v2Tag Tag;
    explicit TOneFrame(std::string_view Id, const TBytes& Data = {})
    {
        Tag.Frames.push_back(std::make_unique<TID3v2Frame>());
        Tag.Frames[0]->SetId(Id);
        Tag.Frames[0]->Stream = Data;
    }
    const TBytes& Data() const { return Tag.Frames[0]->Stream; }
};

TEST(TextCodec, Windows1252RoundTripsEveryByte)
{
    for (int B = 0; B < 256; ++B) {
        const std::string Byte(1, char(B));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(Byte)), Byte) << B;
    }
    EXPECT_EQ(Cp1252ToUtf8("\x80\x99\xFF"), "\u20AC\u2122\u00FF");
    EXPECT_EQ(Utf8ToCp1252("\u4E2D\xC3"), "??"); // not in the code page; broken UTF-8
    std::string Latin1;
    EXPECT_FALSE(Utf8ToLatin1("\u20AC", Latin1));
    EXPECT_TRUE(Utf8ToLatin1("\u00E9", Latin1));
    EXPECT_EQ(Latin1, "\xE9");
    // Overlong form, surrogate: every byte of them is replaced.
    EXPECT_EQ(SanitizeUtf8("\xE0\x80\x80\xED\xA0\x80ok"), "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFDok");
}

TEST(ID3v2Content, TextDecoding)
{
    const struct {
        const char* Name;
        TBytes Data;
        std::string Expected;
    } Cases[] = {
        { "two strings", Bytes({ 0, 'A', 0, 'B' }), "A\r\nB" },
        { "trailing terminator dropped", Bytes({ 0, 'A', 0, 'B', 0 }), "A\r\nB" },
        { "empty second string", Bytes({ 0, 'A', 0, 0 }), "A\r\n" },
        { "no encoding byte", Bytes({ 'A', 'b', 'c' }), "Abc" },
        { "windows-1252", Bytes({ 0, 0x80, 0xE9, 0x9F }), "\u20AC\u00E9\u0178" },
        { "utf-16 little-endian", Bytes({ 1, 0xFF, 0xFE, 'h', 0, 'i', 0, 0, 0 }), "hi" },
        { "utf-16 big-endian mark", Bytes({ 1, 0xFE, 0xFF, 0x4E, 0x2D, 0, 0 }), "\u4E2D" },
        { "second string without mark", Bytes({ 1, 0xFF, 0xFE, 'a', 0, 0, 0, 'b', 0, 0, 0 }), "a\r\nb" },
        { "surrogate pair", Bytes({ 1, 0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE }), "\U0001F600" },
        { "lone surrogate", Bytes({ 1, 0xFF, 0xFE, 0x3D, 0xD8 }), "\uFFFD" },
        { "utf-16be", Bytes({ 2, 0, 'x', 0, 'y' }), "xy" },
        { "odd trailing byte", Bytes({ 2, 0, 'x', 0 }), "x" },
        { "utf-8", Bytes({ 3, 0xC3, 0xA9, 0, 'z' }), "\u00E9\r\nz" },
        { "broken utf-8", Bytes({ 3, 0xC3, 'a' }), "\uFFFDa" },
        { "encoding byte only", Bytes({ 1 }), "" },
        { "empty", {}, "" },
    };
    for (const auto& C : Cases) {
        TOneFrame F("TPE1", C.Data);
        EXPECT_EQ(F.Tag.GetUnicodeText(0), C.Expected) << C.Name;
    }
    TOneFrame Native("TIT2", Bytes({ 3, 0xC3, 0xA9 }));
    EXPECT_EQ(Native.Tag.GetUnicodeText(0, true), "\u00C3\u00A9");
}

TEST(ID3v2Content, TextWriting)
{
    TOneFrame F("TIT2");
    ASSERT_TRUE(F.Tag.SetUnicodeText(0, "Abc"));
    EXPECT_EQ(F.Data(), Bytes({ 0x01, 0xFF, 0xFE, 0x41, 0, 0x62, 0, 0x63, 0, 0, 0 }));

    ASSERT_TRUE(F.Tag.SetUnicodeTextMultiple(0, { "A", "\U0001F600" }));
    EXPECT_EQ(F.Data(), Bytes({ 1, 0xFF, 0xFE, 'A', 0, 0, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0 }));
    std::vector<std::string> Lines;
    ASSERT_TRUE(F.Tag.GetUnicodeTextMultiple(0, Lines));
    EXPECT_EQ(Lines, (std::vector<std::string> { "A", "\U0001F600" }));

    ASSERT_TRUE(F.Tag.SetText(0, "\u20AC\u4E2D"));
    EXPECT_EQ(F.Data(), Bytes({ 0, 0x80, '?', 0 }));
    ASSERT_TRUE(F.Tag.SetUTF8Text(0, "\u00E9"));
    EXPECT_EQ(F.Data(), Bytes({ 3, 0xC3, 0xA9, 0 }));

    // The id form adds the frame when there is none.
    ASSERT_TRUE(F.Tag.SetUnicodeText("TALB", "Album"));
    EXPECT_EQ(F.Tag.FrameCount(), 2);
    EXPECT_EQ(F.Tag.GetUnicodeText("TALB"), "Album");
}

TEST(ID3v2Content, TimeStamps)
{
    const struct {
        TBytes Data;
        bool Valid;
        TID3v2DateTime Time;
    } Cases[] = {
        { Bytes({ 0 }) + Bytes("2021-03-04T05:06:07"), true, { 2021, 3, 4, 5, 6, 7 } },
        { Bytes({ 0 }) + Bytes("1999"), true, { 1999 } },
        { Bytes({ 1, 0xFF, 0xFE, '2', 0, '0', 0, '0', 0, '1', 0, '-', 0, '1', 0, '2', 0 }), true, { 2001, 12 } },
        { Bytes({ 0 }) + Bytes("2021-3"), true, { 2021 } },
        { Bytes({ 0 }) + Bytes("soon"), false, {} },
    };
    for (const auto& C : Cases) {
        TOneFrame F("TDRC", C.Data);
        TID3v2DateTime Time;
        EXPECT_EQ(F.Tag.GetTime(0, Time), C.Valid);
        EXPECT_EQ(Time, C.Time);
    }
    TOneFrame F("TDRC");
    ASSERT_TRUE(F.Tag.SetTime(0, { 2020, 1, 2 }));
    EXPECT_EQ(F.Data(), Bytes({ 0 }) + Bytes("2020-01-02") + Bytes({ 0 }));
}

TEST(ID3v2Content, CommentsAndLyrics)
{
    TOneFrame F("COMM", Bytes({ 1, 'e', 'n', 'g', 0xFF, 0xFE, 0, 0, 0xFF, 0xFE, 'X', 0, 0, 0 }));
    std::string Language, Description;
    EXPECT_EQ(F.Tag.GetUnicodeComment(0, Language, Description), "X");
    EXPECT_EQ(Language, "eng");
    EXPECT_EQ(Description, "");

    ASSERT_TRUE(F.Tag.SetUnicodeContent(0, "T", "deu", "d"));
    EXPECT_EQ(F.Data(), Bytes({ 1, 'd', 'e', 'u', 0xFF, 0xFE, 'd', 0, 0, 0, 0xFF, 0xFE, 'T', 0, 0, 0 }));

    TOneFrame Short("USLT", Bytes({ 0, 'e', 0, 'n', 'd', 0, 'L', '1', 0, 'L', '2' }));
    EXPECT_EQ(Short.Tag.GetUnicodeLyrics(0, Language, Description), "L1\r\nL2");
    EXPECT_EQ(Language, "en"); // zero bytes of the language are skipped
    EXPECT_EQ(Description, "d");

    ASSERT_TRUE(F.Tag.SetUnicodeCommentByDescription("second", "eng", "two"));
    EXPECT_EQ(F.Tag.FindUnicodeCommentByDescription("second"), 1);
    EXPECT_EQ(F.Tag.FindUnicodeCommentByDescription("d"), 0);
    EXPECT_EQ(F.Tag.FindUnicodeCommentByDescription("none"), -1);
}

TEST(ID3v2Content, URLs)
{
    TOneFrame F("WOAR", Bytes("http://example.com/\xE9"));
    EXPECT_EQ(F.Tag.GetURL(0), "http://example.com/\u00E9");

    // An address that cannot be one byte per character leaves the frame empty, and an empty
    // frame is not written.
    EXPECT_FALSE(F.Tag.SetURL(0, "http://\u4E2D"));
    EXPECT_TRUE(F.Data().empty());
    F.Tag.SetUnicodeText("TIT2", "t");
    std::vector<uint8_t> Saved;
    ASSERT_EQ(F.Tag.SaveTagToStream(Saved, 0), 0);
    TID3v2Tag Again;
    ASSERT_EQ(Again.LoadFromMemory(Saved.data(), Saved.size()), 0);
    EXPECT_EQ(Again.FrameExists("WOAR"), -1);

    ASSERT_TRUE(F.Tag.SetURL(0, "http://a.b/"));
    EXPECT_EQ(F.Data(), Bytes("http://a.b/"));

    TOneFrame User("WXXX");
    ASSERT_TRUE(User.Tag.SetUnicodeUserDefinedURLLink(0, "http://x/", "Shop"));
    EXPECT_EQ(User.Data(), Bytes({ 1, 0xFF, 0xFE, 'S', 0, 'h', 0, 'o', 0, 'p', 0, 0, 0 }) + Bytes("http://x/"));
    std::string Description;
    EXPECT_EQ(User.Tag.GetUnicodeUserDefinedURLLink(0, Description), "http://x/");
    EXPECT_EQ(Description, "Shop");
    EXPECT_EQ(User.Tag.FindUnicodeUserDefinedURLLinkByDescription("shop"), -1); // exact match only
    ASSERT_TRUE(User.Tag.SetUnicodeUserDefinedURLLinkByDescription("Shop", "http://y/"));
    EXPECT_EQ(User.Tag.FrameCount(), 1);
    EXPECT_EQ(User.Tag.GetUnicodeUserDefinedURLLink(0, Description), "http://y/");
}

TEST(ID3v2Content, UserDefinedTexts)
{
    TOneFrame F("TXXX");
    ASSERT_TRUE(F.Tag.SetUnicodeUserDefinedTextInformationMultiple(0, "MOOD", { "a", "b" }));
    EXPECT_EQ(F.Data(),
        Bytes({ 1, 0xFF, 0xFE, 'M', 0, 'O', 0, 'O', 0, 'D', 0, 0, 0, 0xFF, 0xFE, 'a', 0, 0, 0, 'b', 0, 0, 0 }));
    std::string Description;
    EXPECT_EQ(F.Tag.GetUnicodeUserDefinedTextInformation(0, Description), "a\r\nb");
    EXPECT_EQ(Description, "MOOD");

    EXPECT_EQ(F.Tag.FindTXXXByDescription("mood"), 0); // case-insensitive
    std::vector<std::string> List;
    ASSERT_TRUE(F.Tag.FindTXXXByDescriptionMultiple("Mood", List));
    EXPECT_EQ(List, (std::vector<std::string> { "a", "b" }));

    ASSERT_TRUE(F.Tag.SetUnicodeTXXXByDescriptionMultiple("mood", { "c" }));
    ASSERT_TRUE(F.Tag.SetUnicodeTXXXByDescription("OTHER", "d"));
    EXPECT_EQ(F.Tag.FrameCount(), 2);
    EXPECT_EQ(F.Tag.GetUnicodeUserDefinedTextInformation(0, Description), "c");

    ASSERT_TRUE(F.Tag.SetUserDefinedTextInformation(0, "K", "v"));
    EXPECT_EQ(F.Data(), Bytes({ 0, 'K', 0, 'v', 0 }));
}

TEST(ID3v2Content, CountersAndIdentifiers)
{
    TOneFrame Count("PCNT", Bytes({ 1, 0, 0, 0, 0 }));
    EXPECT_EQ(Count.Tag.GetPlayCount(0), 0u); // only the low 32 bits remain
    ASSERT_TRUE(Count.Tag.SetPlayCount(0, 0x01020304));
    EXPECT_EQ(Count.Data(), Bytes({ 1, 2, 3, 4 }));
    EXPECT_EQ(Count.Tag.GetPlayCount("PCNT"), 0x01020304u);

    TOneFrame Popm("POPM", Bytes("a@b") + Bytes({ 0, 200 }));
    std::string Email;
    uint32_t Counter = 99;
    uint8_t Rating = 0;
    ASSERT_TRUE(Popm.Tag.GetPopularimeter(0, Email, Counter, Rating));
    EXPECT_EQ(Email, "a@b");
    EXPECT_EQ(Rating, 200);
    EXPECT_EQ(Counter, 0u);
    ASSERT_TRUE(Popm.Tag.SetPopularimeterByEmail("c@d", 5, 7));
    EXPECT_EQ(Popm.Tag.FindPopularimeter("c@d"), 1);
    ASSERT_TRUE(Popm.Tag.GetPopularimeter(1, Email, Counter, Rating));
    EXPECT_EQ(Counter, 7u);

    TID3v2Tag Ufid;
    const TBytes Id = Bytes({ 0, 1, 0xFF });
    ASSERT_TRUE(Ufid.SetUFIDByOwnerIdentifier("owner", Id));
    ASSERT_TRUE(Ufid.SetUFIDByOwnerIdentifier("owner", Id));
    EXPECT_EQ(Ufid.FrameCount(), 1);
    std::string Owner;
    std::vector<uint8_t> Identifier;
    EXPECT_EQ(Ufid.FindUFIDByOwnerIdentifier("owner"), 0);
    ASSERT_TRUE(Ufid.GetUFID(0, Owner, Identifier));
    EXPECT_EQ(Owner, "owner");
    EXPECT_EQ(Identifier, Id);

    TOneFrame Priv("PRIV");
    ASSERT_TRUE(Priv.Tag.SetPrivate(0, "me", Id));
    EXPECT_EQ(Priv.Data(), Bytes("me") + Bytes({ 0 }) + Id);
}

TEST(ID3v2Content, Pictures)
{
    const TBytes Jpeg = Bytes({ 0xFF, 0xD8, 0xFF, 0, 0, 0xD9 });
    TOneFrame F("APIC");
    EXPECT_FALSE(F.Tag.SetUnicodeCoverPictureFromStream(0, "d", Jpeg, "image/jpeg", 256));
    EXPECT_TRUE(F.Data().empty());
    ASSERT_TRUE(F.Tag.SetUnicodeCoverPictureFromStream(0, "Front", Jpeg, "image/jpeg", 3));
    EXPECT_EQ(F.Data(),
        Bytes({ 1 }) + Bytes("image/jpeg") + Bytes({ 0, 3, 0xFF, 0xFE, 'F', 0, 'r', 0, 'o', 0, 'n', 0, 't', 0, 0, 0 })
            + Jpeg);

    const uint8_t* Picture = nullptr;
    size_t Size = 0;
    std::string Mime, Description;
    uint32_t Type = 0;
    uint8_t Encoding = 0;
    ASSERT_TRUE(F.Tag.GetCoverPictureInfoPointer(0, Picture, Size, Mime, Description, Type, Encoding));
    EXPECT_EQ(TBytes(Picture, Picture + Size), Jpeg);
    EXPECT_EQ(Picture, F.Data().data() + F.Data().size() - Jpeg.size()); // no copy
    EXPECT_EQ(Mime, "image/jpeg");
    EXPECT_EQ(Description, "Front");
    EXPECT_EQ(Type, 3u);
    EXPECT_EQ(Encoding, 1);
    EXPECT_EQ(F.Tag.CoverArtCount(), 1);

    TOneFrame Broken("APIC", Bytes("image/png"));
    EXPECT_FALSE(Broken.Tag.GetUnicodeCoverPictureInfo(0, Mime, Description, Type));
}

TEST(ID3v2Content, InvolvedPeople)
{
    TOneFrame F("TIPL");
    ASSERT_TRUE(F.Tag.SetUnicodeListFrame(0, { "producer=P", "mixer=M=N", "alone" }));
    std::vector<std::string> List;
    ASSERT_TRUE(F.Tag.GetUnicodeListFrame(0, List));
    EXPECT_EQ(List, (std::vector<std::string> { "producer=P", "mixer=M=N", "alone=" }));

    TOneFrame Odd("TMCL", Bytes({ 0, 'g', 0, 'X', 0, 'v' }));
    ASSERT_TRUE(Odd.Tag.GetUnicodeListFrame(0, List));
    EXPECT_EQ(List, (std::vector<std::string> { "g=X", "v=" }));
}

TEST(ID3v2Content, OutOfRangeFramesGiveNothing)
{
    TID3v2Tag T;
    std::string A, B;
    std::vector<std::string> List;
    EXPECT_EQ(T.GetUnicodeText(3), "");
    EXPECT_EQ(T.GetUnicodeContent(-1, A, B), "");
    EXPECT_EQ(T.GetPlayCount(0), 0u);
    EXPECT_FALSE(T.GetUnicodeListFrame(0, List));
    EXPECT_FALSE(T.SetUnicodeText(0, "x"));
    EXPECT_FALSE(T.SetURL(5, "x"));
    EXPECT_EQ(T.AddFrame("bad!"), -1);
}

TEST(ID3v2Content, FrameList)
{
    TID3v2Tag T;
    EXPECT_EQ(T.AddFrame("TIT2"), 0);
    EXPECT_EQ(T.AddFrame("APIC"), 1);
    EXPECT_EQ(T.InsertFrame("TALB", 0), 0);
    EXPECT_EQ(T.InsertFrame("APIC", 99), 3);
    EXPECT_EQ(T.FrameExists("TIT2"), 1);
    EXPECT_EQ(T.FrameTypeCount("APIC"), 2);
    T.DeleteAllCoverArts();
    EXPECT_EQ(T.FrameCount(), 2);
    EXPECT_TRUE(T.DeleteFrame("TALB"));
    EXPECT_FALSE(T.DeleteFrame("TALB"));
    EXPECT_EQ(T.FrameExists("TIT2"), 0);

    // Nothing to write.
    std::vector<uint8_t> Image;
    TID3v2Tag Empty;
    EXPECT_EQ(Empty.SaveToStream(Image), id3v2NoFrames);
    EXPECT_EQ(T.SaveToStream(Image), id3v2EmptyFrames);
    T.SetUnicodeText(0, "x");
    T.MajorVersion = 5;
    EXPECT_EQ(T.SaveToStream(Image), id3v2UnsupportedVersion);
    EXPECT_TRUE(Image.empty());
}

} // namespace
} // namespace vantor
