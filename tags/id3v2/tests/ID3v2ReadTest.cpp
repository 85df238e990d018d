#include "tags/id3v2/ID3v2Tag.h"
#include "tags/id3v2/Unsynchronisation.h"
#include "tags/id3v2/tests/ID3v2TestBytes.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace vantor {
namespace {

using namespace test;

int Load(TID3v2Tag& T, const TBytes& Data)
{
    TMemorySource Source(Data);
    return T.LoadFromStream(Source);
}

TBytes Latin1Text(std::string_view Text) { return Bytes({ 0 }) + Bytes(Text); }

std::string Ids(const TID3v2Tag& T)
{
    std::string Out;
    for (const auto& F : T.Frames)
        Out += std::string(F->IdText()) + " ";
    return Out;
}

TEST(ID3v2Read, HeaderResults)
{
    TID3v2Tag T;
    EXPECT_EQ(Load(T, Bytes("no tag here at all")), id3v2NoTag);
    EXPECT_EQ(Load(T, Tag(5, 0, Frame3("TIT2", Latin1Text("x")))), id3v2UnsupportedVersion);
    EXPECT_EQ(Load(T, Tag(1, 0, Frame3("TIT2", Latin1Text("x")))), id3v2UnsupportedVersion);
    EXPECT_FALSE(T.Loaded);
    EXPECT_EQ(T.LoadFromMemory(nullptr, 10), id3v2NoTag);

    const TBytes V3 = Tag(3, 0, Frame3("TIT2", Latin1Text("x")) + TBytes(20, 0));
    ASSERT_EQ(T.LoadFromMemory(V3.data(), V3.size()), id3v2Success);
    EXPECT_TRUE(T.Loaded);
    EXPECT_EQ(T.Size, V3.size());
    EXPECT_EQ(T.MajorVersion, 3);
}

TEST(ID3v2Read, ExtendedHeaderFlagFollowedByFrameIdIsIgnored)
{
    TID3v2Tag T;
    ASSERT_EQ(Load(T, Tag(3, 0x40, Frame3("TIT2", Latin1Text("Title")) + Frame3("TALB", Latin1Text("Album")))), 0);
    EXPECT_FALSE(T.ExtendedHeader);
    EXPECT_EQ(Ids(T), "TIT2 TALB ");
    EXPECT_EQ(T.GetUnicodeText("TALB"), "Album");
}

TEST(ID3v2Read, ExtendedHeadersAreSkipped)
{
    TID3v2Tag T3;
    const TBytes Ext3 = Bytes({ 0, 0, 0, 10, 0x80, 0, 0, 0, 0, 0, 0xAB, 0xCD, 0xEF, 0x01 });
    ASSERT_EQ(Load(T3, Tag(3, 0x40, Ext3 + Frame3("TIT2", Latin1Text("T")))), 0);
    ASSERT_TRUE(T3.ExtendedHeader3);
    EXPECT_TRUE(T3.ExtendedHeader3->CRCPresent);
    EXPECT_EQ(T3.ExtendedHeader3->Data.size(), 8u);
    EXPECT_EQ(T3.GetUnicodeText("TIT2"), "T");

    TID3v2Tag T4;
    // size 12: size, flag byte count, flags (update + CRC), CRC length 5 and data
    const TBytes Ext4 = Syncsafe(12) + Bytes({ 1, 0x60, 0, 5, 1, 2, 3, 4, 5 });
    ASSERT_EQ(Load(T4, Tag(4, 0x40, Ext4 + Frame4("TIT2", Latin1Text("T")))), 0);
    ASSERT_TRUE(T4.ExtendedHeader4);
    EXPECT_TRUE(T4.ExtendedHeader4->TagIsAnUpdate);
    EXPECT_TRUE(T4.ExtendedHeader4->CRCPresent);
    EXPECT_EQ(T4.GetUnicodeText("TIT2"), "T");
}

TEST(ID3v2Read, EmptyFrameIsKeptAndPaddingEndsTheFrames)
{
    TID3v2Tag T;
    ASSERT_EQ(Load(T, Tag(3, 0, Frame3("TPE1", {}) + Frame3("TIT2", Latin1Text("Song")) + TBytes(50, 0))), 0);
    EXPECT_EQ(Ids(T), "TPE1 TIT2 ");
    EXPECT_TRUE(T.Frames[0]->Stream.empty());
    EXPECT_EQ(T.GetUnicodeText("TIT2"), "Song");
}

TEST(ID3v2Read, SizesBeyondTheInputAreNotTrusted)
{
    // A 28-bit tag size on a small input and a frame running past the real end: both return
    // at once with the frames that could be read.
    TID3v2Tag T;
    const TBytes Huge =
        Tag(3, 0, Frame3("TIT2", Latin1Text("A")) + Frame3("APIC", TBytes(100, 7), 0, 200'000'000), MaxSyncsafe);
    ASSERT_EQ(Load(T, Huge), 0);
    EXPECT_EQ(T.Size, MaxSyncsafe + 10);
    EXPECT_EQ(Ids(T), "TIT2 ");

    // A frame claiming more than the whole tag keeps no data; reading goes on behind it.
    TID3v2Tag Claim;
    ASSERT_EQ(Load(Claim, Tag(3, 0, Frame3("APIC", {}, 0, 200'000'000) + Frame3("TALB", Latin1Text("B")))), 0);
    EXPECT_EQ(Ids(Claim), "APIC TALB ");
    EXPECT_TRUE(Claim.Frames[0]->Stream.empty());
    EXPECT_EQ(Claim.GetUnicodeText("TALB"), "B");

    TID3v2Tag Cut;
    const TBytes Truncated = Tag(4, 0, Frame4("TIT2", Latin1Text("A")) + Frame4("TALB", TBytes(5000, 'x')));
    ASSERT_EQ(Load(Cut, TBytes(Truncated.begin(), Truncated.begin() + 200)), 0);
    EXPECT_EQ(Ids(Cut), "TIT2 ");
}

TEST(ID3v2Read, Version22IdsAndPicturesAreConverted)
{
    const TBytes Png = Bytes({ 0x89, 'P', 'N', 'G', 1, 2, 3 });
    const TBytes Pic = Bytes({ 0 }) + Bytes("PNG") + Bytes({ 3 }) + Bytes("desc") + Bytes({ 0 }) + Png;
    TID3v2Tag T;
    ASSERT_EQ(Load(T,
                  Tag(2, 0,
                      Frame2("TT2", Latin1Text("Old")) + Frame2("PIC", Pic) + Frame2("XYZ", Latin1Text("?"))
                          + Frame2("TP1", Latin1Text("Artist")))),
        0);
    EXPECT_EQ(Ids(T), "TIT2 APIC XYZ TPE1 ");
    std::vector<uint8_t> Picture;
    std::string Mime, Description;
    uint32_t Type = 0;
    ASSERT_TRUE(T.GetUnicodeCoverPictureStream(1, Picture, Mime, Description, Type));
    EXPECT_EQ(Mime, "image/png");
    EXPECT_EQ(Description, "desc");
    EXPECT_EQ(Type, 3u);
    EXPECT_EQ(Picture, Png);

    // Saved back as 2.3 with 4-character ids; the unconvertible frame is dropped.
    std::vector<uint8_t> Saved;
    ASSERT_EQ(T.SaveTagToStream(Saved, 0), 0);
    TID3v2Tag Again;
    ASSERT_EQ(Load(Again, Saved), 0);
    EXPECT_EQ(Again.MajorVersion, 3);
    EXPECT_EQ(Ids(Again), "TIT2 APIC TPE1 ");
    EXPECT_EQ(Again.GetUnicodeText("TPE1"), "Artist");
}

TEST(ID3v2Read, UnsynchronisationIsRemovedAfterLoading)
{
    const TBytes Plain = Bytes({ 0x01, 0xFF, 0xFE, 'A', 0, 0xFF, 0x00, 0xFF, 0xE1 });
    TBytes Unsynced = Plain;
    ApplyUnsynchronisation(Unsynced);
    ASSERT_EQ(Unsynced.size(), Plain.size() + 3);

    // 2.3: the tag flag covers every frame.
    TID3v2Tag T3;
    ASSERT_EQ(Load(T3, Tag(3, 0x80, Frame3("PRIV", Unsynced))), 0);
    T3.RemoveUnsynchronisationOnAllFrames();
    EXPECT_EQ(T3.Frames[0]->Stream, Plain);
    EXPECT_FALSE(T3.Unsynchronised);
    std::vector<uint8_t> Saved;
    ASSERT_EQ(T3.SaveTagToStream(Saved, 0), 0);
    EXPECT_EQ(Saved[5] & 0x80, 0);

    // 2.4: only the frames flagged themselves.
    TID3v2Tag T4;
    ASSERT_EQ(Load(T4, Tag(4, 0, Frame4("PRIV", Unsynced, 0x0002) + Frame4("GEOB", Unsynced))), 0);
    T4.RemoveUnsynchronisationOnAllFrames();
    EXPECT_EQ(T4.Frames[0]->Stream, Plain);
    EXPECT_EQ(T4.Frames[1]->Stream, Unsynced);
}

TEST(ID3v2Read, CompressedFramesAreInflated)
{
    const std::string Text = std::string(1, '\0') + std::string(300, 'z');
    uLongf Length = compressBound(uLong(Text.size()));
    TBytes Packed(Length);
    ASSERT_EQ(compress(Packed.data(), &Length, reinterpret_cast<const Bytef*>(Text.data()), uLong(Text.size())), Z_OK);
    Packed.resize(Length);

    TID3v2Tag T;
    ASSERT_EQ(Load(T,
                  Tag(3, 0,
                      Frame3("TIT2", BE32(uint32_t(Text.size())) + Packed, 0x0080)
                          + Frame3("TALB", BE32(50) + Bytes("not zlib data"), 0x0080))),
        0);
    ASSERT_TRUE(T.Frames[0]->Compressed);
    EXPECT_EQ(T.Frames[0]->DataLengthIndicatorValue, Text.size());
    T.DeCompressAllFrames();
    EXPECT_FALSE(T.Frames[0]->Compressed);
    EXPECT_EQ(T.GetUnicodeText("TIT2"), std::string(300, 'z'));
    EXPECT_TRUE(T.Frames[1]->Compressed); // damaged data stays as it was
    EXPECT_EQ(T.Frames[1]->Stream, Bytes("not zlib data"));

    // Deflating on request, then reading back through a 2.4 save.
    T.MajorVersion = 4;
    ASSERT_TRUE(T.Frames[0]->Compress());
    std::vector<uint8_t> Saved;
    ASSERT_EQ(T.SaveTagToStream(Saved, 0), 0);
    TID3v2Tag Again;
    ASSERT_EQ(Load(Again, Saved), 0);
    Again.DeCompressAllFrames();
    EXPECT_EQ(Again.GetUnicodeText("TIT2"), std::string(300, 'z'));
}

TEST(ID3v2Read, Version24FrameHeaderExtras)
{
    // group byte and data length indicator come before the data and are not part of it
    TID3v2Tag T;
    ASSERT_EQ(Load(T, Tag(4, 0, Frame4("TIT2", Bytes({ 0x42 }) + Syncsafe(4) + Latin1Text("abc"), 0x0041))), 0);
    const TID3v2Frame& F = *T.Frames[0];
    EXPECT_TRUE(F.GroupingIdentity);
    EXPECT_EQ(F.GroupIdentifier, 0x42);
    EXPECT_TRUE(F.DataLengthIndicator);
    EXPECT_EQ(F.DataLengthIndicatorValue, 4u);
    EXPECT_EQ(T.GetUnicodeText(0), "abc");
    EXPECT_EQ(T.FullFrameSize(0), 4u + 1 + 4);
}

TEST(ID3v2Read, Version24SizeWrittenAsPlainInteger)
{
    // 200 bytes as a plain integer has a byte with its top bit set: not syncsafe.
    const TBytes Data = Latin1Text(std::string(199, 'p'));
    const TBytes Frame = Bytes("TXXX") + BE32(200) + Bytes({ 0, 0 }) + Data;
    TID3v2Tag T;
    ASSERT_EQ(Load(T, Tag(4, 0, Frame + Frame4("TIT2", Latin1Text("after")))), 0);
    EXPECT_EQ(T.Frames[0]->Stream.size(), 200u);
    EXPECT_EQ(T.GetUnicodeText("TIT2"), "after");
}

TEST(ID3v2Read, ThreeCharacterIdsInsideVersion23Tag)
{
    // ids padded with a zero byte and 3-byte little-endian sizes
    const TBytes Strange = Bytes("TT2") + Bytes({ 0, 4, 0, 0 }) + Latin1Text("abc");
    TID3v2Tag T;
    ASSERT_EQ(Load(T, Tag(3, 0, Strange)), 0);
    EXPECT_TRUE(T.FStrangeTag);
    EXPECT_EQ(T.GetUnicodeText("TIT2"), "abc");
}

TEST(ID3v2Read, UnknownFramesSurviveASaveByteForByte)
{
    for (const uint8_t Major : { 3, 4 }) {
        SCOPED_TRACE(int(Major));
        // 2.3: encrypted with method 0x80 and grouped; 2.4: grouped and read-only.
        const TBytes Unknown = Major == 3 ? Frame3("XYZW", Bytes({ 0x80, 0x11, 1, 2, 0xFF, 0 }), 0x2060)
                                          : Frame4("XYZW", Bytes({ 0x11, 1, 2, 0xFF, 0 }), 0x1040);
        const TBytes Original = Tag(Major, 0, Frame3("TIT2", Latin1Text("t")) + Unknown);
        TID3v2Tag T;
        ASSERT_EQ(T.LoadFromMemory(Original.data(), Original.size()), 0);
        T.RemoveUnsynchronisationOnAllFrames();
        T.DeCompressAllFrames();
        std::vector<uint8_t> Saved;
        ASSERT_EQ(T.SaveTagToStream(Saved, 0), 0);
        EXPECT_EQ(Saved, Major == 3 ? Original : Tag(4, 0, Frame4("TIT2", Latin1Text("t")) + Unknown));
    }
}

TEST(ID3v2Read, AppliedUnsynchronisationReadsBack)
{
    const TBytes Data = Bytes({ 0xFF, 0xE0, 0xFF, 0x00, 0x12, 0xFF });
    for (const uint8_t Major : { 3, 4 }) {
        SCOPED_TRACE(int(Major));
        TID3v2Tag T;
        T.MajorVersion = Major;
        T.SetPrivate(T.AddFrame("PRIV"), "o", Data);
        const TBytes Plain = T.Frames[0]->Stream;
        T.ApplyUnsynchronisationOnAllFrames();
        std::vector<uint8_t> Saved;
        ASSERT_EQ(T.SaveTagToStream(Saved, 0), 0);
        EXPECT_EQ(Saved[5] & 0x80, 0x80);
        TID3v2Tag Again;
        ASSERT_EQ(Again.LoadFromMemory(Saved.data(), Saved.size()), 0);
        Again.RemoveUnsynchronisationOnAllFrames();
        EXPECT_EQ(Again.Frames[0]->Stream, Plain);
    }
}

} // namespace
} // namespace vantor
