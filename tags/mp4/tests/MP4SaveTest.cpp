// Loading and saving files built in memory: the padding rules, chunk offsets,
// damaged and hostile structures.

#include "tags/mp4/MP4Tag.h"
#include "tags/mp4/tests/MP4TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace vantor {
namespace {

using namespace vantor::test;

const TBytes Mdat = Atom("mdat", TBytes(200, 0xAB));

// ftyp, moov (with `items` and `padding` bytes of free atom in meta), then mdat.
TBytes MoovFirst(const TBytes& items, size_t freeInMeta = 0, const TBytes& afterMoov = {})
{
    TBytes meta = Cat({ Zeros(4), Atom("hdlr", Cat({ Zeros(8), { 'm', 'd', 'i', 'r', 'a', 'p', 'p', 'l' }, Zeros(9) })),
        Atom("ilst", items) });
    if (freeInMeta)
        meta = Cat({ meta, Atom("free", Zeros(freeInMeta - 8)) });
    // The moov's size does not depend on the chunk offset, so measure it first.
    auto build = [&](uint32_t offset) {
        return Atom("moov", Cat({ Mvhd(2000), AudioTrak({ offset, offset + 100 }), Atom("udta", Atom("meta", meta)) }));
    };
    const uint32_t mdatBody = uint32_t(Ftyp.size() + build(0).size() + afterMoov.size() + 8);
    return Cat({ Ftyp, build(mdatBody), afterMoov, Mdat });
}

uint64_t MdatBody(const TBytes& file)
{
    const auto mdat = Top(file, "mdat");
    return mdat ? mdat->Offset + mdat->HeaderSize : 0;
}

TEST(MP4Save, LoadsItemsAndProperties)
{
    TMemoryStream stream(MoovFirst(Cat({ TextItem("\xA9nam", "Title"),
        TextItem("\xA9"
                 "ART",
            "Artist") })));
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    EXPECT_TRUE(tag.Loaded());
    EXPECT_EQ(tag.GetText("\xA9nam"), "Title");
    EXPECT_EQ(tag.GetText("\xA9"
                          "ART"),
        "Artist");
    EXPECT_EQ(tag.Playtime(), 2.0);
    EXPECT_EQ(tag.mdatAtomSize(), 208u);
    EXPECT_EQ(tag.BitRate(), 1u); // 208 / 2 / 125 + 0.5, truncated
    EXPECT_EQ(tag.AudioChannelCount(), 2);
    EXPECT_EQ(tag.AudioSampleRate(), 44100u);
    EXPECT_EQ(tag.AudioResolution(), 16u);
    EXPECT_EQ(tag.AudioFormat(), mp4afAAC);
}

TEST(MP4Save, MetaWithoutVersionAndFlagsKeepsItsForm)
{
    // Some taggers write the meta atom's children right behind its header.
    const TBytes hdlr = Atom("hdlr", Cat({ Zeros(8), { 'm', 'd', 'i', 'r', 'a', 'p', 'p', 'l' }, Zeros(9) }));
    const TBytes moov = Atom("moov",
        Cat({ Mvhd(1000), AudioTrak({}),
            Atom("udta",
                Atom("meta",
                    Cat({ hdlr,
                        Atom("ilst",
                            TextItem("\xA9"
                                     "ART",
                                "Bare artist")) }))) }));
    TMemoryStream stream(Cat({ Ftyp, moov, Mdat }));
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(tag.GetText("\xA9"
                          "ART"),
        "Bare artist");

    tag.SetText("\xA9nam", "Added");
    ASSERT_EQ(tag.SaveToStream(stream, false, ""), mp4Success);
    const TBytes saved = stream.Bytes();
    const auto newMoov = Top(saved, "moov");
    ASSERT_TRUE(newMoov);
    const auto udta = *FindAtom(ParseAtoms(saved, newMoov->Offset + 8, newMoov->Offset + newMoov->Size), "udta");
    const auto meta = *FindAtom(ParseAtoms(saved, udta.Offset + 8, udta.Offset + udta.Size), "meta");
    // The first child starts where version and flags would be.
    const auto children = ParseAtoms(saved, meta.Offset + 8, meta.Offset + meta.Size);
    ASSERT_FALSE(children.empty());
    EXPECT_EQ(children.front().Type, "hdlr");
    EXPECT_TRUE(FindAtom(children, "ilst"));

    TMP4Tag back;
    ASSERT_EQ(back.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(back.GetText("\xA9"
                           "ART"),
        "Bare artist");
    EXPECT_EQ(back.GetText("\xA9nam"), "Added");
}

TEST(MP4Save, Version1HeadersAndTheLargestTrack)
{
    // mvhd version 1: 64-bit times and duration.
    const TBytes mvhd = Atom("mvhd", Cat({ { 1, 0, 0, 0 }, Zeros(16), BE32(1000), Zeros(4), BE32(3000), Zeros(80) }));
    // tkhd version 1 keeps the size 12 bytes further on than version 0.
    auto tkhd = [](uint8_t version, uint16_t width, uint16_t height) {
        const size_t at = version == 1 ? 88 : 76;
        TBytes body = Zeros(at + 8);
        body[0] = version;
        PutBE16(body.data() + at, width);
        PutBE16(body.data() + at + 4, height);
        return Atom("trak", Atom("tkhd", body));
    };
    TMemoryStream stream(
        Cat({ Ftyp, Atom("moov", Cat({ mvhd, tkhd(1, 320, 240), tkhd(0, 160, 120), tkhd(0, 640, 100) })) }));
    TMP4Tag tag;
    tag.LoadFromStream(stream);
    EXPECT_EQ(tag.Playtime(), 3.0);
    EXPECT_EQ(tag.VideoWidth(), 320u); // 640 x 100 is not larger in both directions
    EXPECT_EQ(tag.VideoHeight(), 240u);
}

TEST(MP4Save, ShrinkingMoovKeepsItsPlaceWithAFreeAtomInMeta)
{
    const std::string longTitle(100, 'x');
    const TBytes original = MoovFirst(TextItem("\xA9nam", longTitle + "T"));
    TMemoryStream stream(original);
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    tag.SetText("\xA9nam", "T");
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);

    const TBytes& saved = stream.Bytes();
    EXPECT_EQ(saved.size(), original.size());
    EXPECT_EQ(MdatBody(saved), MdatBody(original));
    EXPECT_EQ(ChunkOffsets(saved), ChunkOffsets(original));
    EXPECT_EQ(tag.BytesWritten(), Top(saved, "moov")->Size);
    // The padding is the last child of meta: 100 bytes of free atom.
    const TBytes tail(
        saved.begin() + ptrdiff_t(MdatBody(saved) - 8 - 100), saved.begin() + ptrdiff_t(MdatBody(saved) - 8));
    EXPECT_EQ(TBytes(tail.begin(), tail.begin() + 8), (TBytes { 0, 0, 0, 100, 'f', 'r', 'e', 'e' }));

    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "T");
}

TEST(MP4Save, PaddingRules)
{
    // Spare bytes in the old place after the new moov: 0 and >= 10 stay in place,
    // 1 to 9 cannot hold a free atom, so the file is rewritten with PaddingToWrite.
    struct Case {
        size_t Spare;
        bool KeepPadding;
        bool InPlace;
    };
    const Case cases[] = { { 0, true, true }, { 10, true, true }, { 500, true, true }, { 1, true, false },
        { 9, true, false }, { 0, false, false }, { 100, false, false } };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.Spare) + (c.KeepPadding ? " keep" : " no keep"));
        const TBytes original = MoovFirst(TextItem("\xA9nam", std::string(c.Spare, 'x') + "T"));
        TMemoryStream stream(original);
        TMP4Tag tag;
        ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
        tag.SetText("\xA9nam", "T");
        tag.PaddingToWrite = 64;
        ASSERT_EQ(tag.SaveToStream(stream, c.KeepPadding, ""), mp4Success);

        const TBytes& saved = stream.Bytes();
        const int64_t moved = int64_t(MdatBody(saved)) - int64_t(MdatBody(original));
        if (c.InPlace) {
            EXPECT_EQ(moved, 0);
        } else {
            EXPECT_EQ(moved, 64 - int64_t(c.Spare));
        }
        // Every chunk offset follows mdat, and the audio is where they point.
        const auto before = ChunkOffsets(original), after = ChunkOffsets(saved);
        ASSERT_EQ(after.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(int64_t(after[i]) - int64_t(before[i]), moved);
        EXPECT_EQ(TBytes(saved.end() - 200, saved.end()), TBytes(200, 0xAB));
    }
}

TEST(MP4Save, FreeAfterMoovIsAbsorbedFreeBeforeMoovStays)
{
    const TBytes before = Atom("free", Zeros(8));
    TBytes original = MoovFirst(TextItem("\xA9nam", "T"), 0, Atom("free", Zeros(92)));
    original.insert(original.begin() + ptrdiff_t(Ftyp.size()), before.begin(), before.end());
    TMemoryStream stream(original);
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    tag.SetText("\xA9"
                "alb",
        "A"); // 25 more bytes: fits into the 100 free ones
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);

    const TBytes& saved = stream.Bytes();
    EXPECT_EQ(saved.size(), original.size());
    const auto top = TopLevel(saved);
    ASSERT_EQ(top.size(), 4u); // ftyp, free, moov, mdat
    EXPECT_EQ(top[1].Type, "free");
    EXPECT_EQ(top[1].Size, 16u);
    EXPECT_EQ(top[2].Type, "moov");
    EXPECT_EQ(top[3].Type, "mdat");
}

TEST(MP4Save, MoovAfterMdatKeepsChunkOffsets)
{
    const TBytes moov =
        Atom("moov", Cat({ Mvhd(1000), AudioTrak({ uint32_t(Ftyp.size() + 8) }), Udta(TextItem("\xA9nam", "T")) }));
    const TBytes original = Cat({ Ftyp, Mdat, moov });
    TMemoryStream stream(original);
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    tag.SetText("\xA9nam", std::string(300, 'y'));
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);
    EXPECT_EQ(ChunkOffsets(stream.Bytes()), ChunkOffsets(original));
    EXPECT_EQ(TBytes(stream.Bytes().begin(), stream.Bytes().begin() + ptrdiff_t(Ftyp.size() + Mdat.size())),
        Cat({ Ftyp, Mdat }));
}

TEST(MP4Save, FileWithoutMoovGetsOneAppendedWithAHandler)
{
    const TBytes original = Cat({ Ftyp, Mdat });
    TMemoryStream stream(original);
    TMP4Tag tag;
    EXPECT_EQ(tag.LoadFromStream(stream), mp4NoItemFound);
    tag.SetText("\xA9nam", "New");
    tag.PaddingToWrite = 0;
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);

    const TBytes& saved = stream.Bytes();
    EXPECT_EQ(TBytes(saved.begin(), saved.begin() + ptrdiff_t(original.size())), original);
    const TBytes expected = Atom("moov", Udta(TextItem("\xA9nam", "New")));
    EXPECT_EQ(TBytes(saved.begin() + ptrdiff_t(original.size()), saved.end()), expected);

    TMemoryStream empty;
    ASSERT_EQ(tag.SaveToStream(empty, true, ""), mp4Success);
    EXPECT_EQ(TBytes(empty.Bytes().begin(), empty.Bytes().begin() + 8), (TBytes { 0, 0, 0, 8, 'f', 't', 'y', 'p' }));
    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromStream(empty), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "New");
}

TEST(MP4Save, AppendedMoovIsNotSwallowedByAnAtomRunningToTheEnd)
{
    TBytes mdat = Mdat;
    PutBE32(mdat.data(), 0); // size 0: to the end of the file
    TMemoryStream stream(Cat({ Ftyp, mdat }));
    TMP4Tag tag;
    tag.SetText("\xA9nam", "After");
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);
    EXPECT_EQ(Top(stream.Bytes(), "mdat")->Size, Mdat.size());
    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "After");
    EXPECT_EQ(reread.mdatAtomSize(), Mdat.size());

    // A tail too short for an atom stays behind the new moov.
    const TBytes tail = { 1, 2, 3 };
    TMemoryStream withTail(Cat({ Ftyp, Mdat, tail }));
    ASSERT_EQ(tag.SaveToStream(withTail, true, ""), mp4Success);
    EXPECT_EQ(TBytes(withTail.Bytes().end() - 3, withTail.Bytes().end()), tail);
    ASSERT_EQ(reread.LoadFromStream(withTail), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "After");
}

TEST(MP4Save, CarriedAtomRunningToTheEndOfMoovGetsItsSize)
{
    TBytes last = Atom("uuid", Zeros(20));
    PutBE32(last.data(), 0);
    TMemoryStream stream(Cat({ Ftyp, Atom("moov", Cat({ Mvhd(1000), last })), Mdat }));
    TMP4Tag tag;
    tag.SetText("\xA9nam", "Kept");
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);
    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "Kept");
}

TEST(MP4Save, LoadResults)
{
    struct Case {
        const char* Name;
        TBytes File;
        int Result;
        bool Loaded;
    };
    const TBytes hugeSize = Cat({ Ftyp, { 0, 0, 0, 1, 'm', 'o', 'o', 'v', 0x80, 0, 0, 0, 0, 0, 0, 0 }, Zeros(16) });
    const TBytes childOverrun = Cat({ Ftyp, Atom("moov", Cat({ { 0, 0, 0x10, 0, 'u', 'd', 't', 'a' }, Zeros(8) })) });
    const TBytes badItem =
        Cat({ Ftyp, Atom("moov", Udta(Cat({ TextItem("\xA9nam", "ok"), { 0, 0, 0, 4, 'b', 'a', 'd', '!' } }))) });
    const Case cases[] = {
        { "no ftyp", Cat({ Atom("moov", {}), Ftyp }), mp4NotMP4, false },
        { "empty", {}, mp4NotMP4, false },
        { "empty ilst", Cat({ Ftyp, Atom("moov", Udta({})) }), mp4NoItemFound, false },
        { "64-bit size beyond the file", hugeSize, mp4Corrupt, false },
        { "child beyond its parent", childOverrun, mp4Corrupt, false },
        { "item read before a damaged one", badItem, mp4Corrupt, true },
        { "size below the header", Cat({ Ftyp, { 0, 0, 0, 3, 'f', 'r', 'e', 'e' } }), mp4Corrupt, false },
    };
    for (const Case& c : cases) {
        TMemoryStream stream(c.File);
        TMP4Tag tag;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(tag.LoadFromStream(stream), c.Result) << c.Name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << c.Name;
        EXPECT_EQ(tag.Loaded(), c.Loaded) << c.Name;
    }
}

TEST(MP4Save, DamagedFilesAreNotWritten)
{
    // A chunk offset table that claims more entries than it holds: shifting
    // fails before anything is written.
    TBytes original = MoovFirst(TextItem("\xA9nam", "T"));
    const std::string stco = "stco";
    auto at = std::search(original.begin(), original.end(), stco.begin(), stco.end());
    ASSERT_NE(at, original.end());
    PutBE32(&*(at + 8), 1000);
    TMemoryStream stream(original);
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    tag.SetText("\xA9nam", std::string(50, 'z'));
    EXPECT_EQ(tag.SaveToStream(stream), mp4ChunkOffsets);
    EXPECT_EQ(stream.Bytes(), original);

    // Without moov, the last atom cut off: a moov appended would be inside it.
    TBytes cut = Cat({ Ftyp, Mdat });
    cut.resize(cut.size() - 50);
    TMemoryStream cutOff(cut);
    EXPECT_EQ(tag.SaveToStream(cutOff), mp4Corrupt);
    EXPECT_EQ(cutOff.Bytes(), cut);

    // A moov whose size runs past the end of the file.
    TBytes truncated = MoovFirst(TextItem("\xA9nam", "T"));
    truncated.resize(Ftyp.size() + 40);
    TMemoryStream damaged(truncated);
    EXPECT_EQ(tag.SaveToStream(damaged), mp4Corrupt);
    EXPECT_EQ(damaged.Bytes(), truncated);
}

TEST(MP4Save, ChunkOffsetsThatWouldLeave32BitsFail)
{
    const TBytes moov = Atom("moov", Cat({ AudioTrak({ 0xFFFFFFF0 }), Udta({}) }));
    const TBytes original = Cat({ Ftyp, moov, Mdat });
    TMemoryStream stream(original);
    TMP4Tag tag;
    tag.SetText("\xA9nam", "grow");
    EXPECT_EQ(tag.SaveToStream(stream, false, ""), mp4ChunkOffsets);
    EXPECT_EQ(stream.Bytes(), original);
}

TEST(MP4Save, SixtyFourBitHeaders)
{
    // moov with a 64-bit size, ilst inside it.
    const TBytes body = Cat({ Mvhd(1000), Udta(TextItem("\xA9nam", "Wide")) });
    TBytes moov = { 0, 0, 0, 1, 'm', 'o', 'o', 'v' };
    const TBytes size = { 0, 0, 0, 0, 0, 0, 0, uint8_t(16 + body.size()) };
    moov = Cat({ moov, size, body });
    TMemoryStream stream(Cat({ Ftyp, moov, Mdat }));
    TMP4Tag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(tag.GetText("\xA9nam"), "Wide");
    EXPECT_EQ(tag.Playtime(), 1.0);
    // The rewritten moov has a 32-bit header: 8 spare bytes are too few for a
    // free atom, so the file is rewritten with padding.
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);
    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "Wide");
    EXPECT_EQ(TBytes(stream.Bytes().end() - 200, stream.Bytes().end()), TBytes(200, 0xAB));
}

TEST(MP4Save, EveryItemKindSurvivesARoundTrip)
{
    TMemoryStream stream(MoovFirst({}));
    TMP4Tag tag;
    tag.SetText("\xA9nam", "Title \xC3\xA9");
    tag.SetTrack(3, 12);
    tag.SetDisc(1, 2);
    tag.SetGenre("Jazz");
    tag.SetMediaType("Audiobook");
    tag.SetPurchaseCountry("France");
    tag.SetBool("cpil", true);
    tag.SetInteger16("tmpo", 120);
    tag.SetInteger8("akID", 2);
    tag.SetInteger32("tvsn", 70000);
    tag.SetCommon("MOOD", "com.apple.iTunes", "calm");
    tag.SetFreeFormList("com.apple.iTunes", "TMCL", { "piano=P" });
    tag.AddCover({ 0xFF, 0xD8, 0xFF, 0xE0 }, 13);
    tag.AddCover({ 0x89, 'P', 'N', 'G' }, 14);
    tag.Version = 0;
    ASSERT_EQ(tag.SaveToStream(stream, true, ""), mp4Success);
    EXPECT_FALSE(tag.Loaded());

    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromStream(stream), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "Title \xC3\xA9");
    EXPECT_EQ(reread.GetTrack(), 3);
    EXPECT_EQ(reread.GetTotalTracks(), 12);
    EXPECT_EQ(reread.GetDisc(), 1);
    EXPECT_EQ(reread.GetTotalDiscs(), 2);
    EXPECT_EQ(reread.GetGenre(), "Jazz");
    EXPECT_EQ(reread.GetMediaType(), "Audiobook");
    EXPECT_EQ(reread.GetPurchaseCountry(), "France");
    EXPECT_TRUE(reread.GetBool("cpil"));
    EXPECT_EQ(reread.GetInteger16("tmpo"), 120);
    EXPECT_EQ(reread.GetInteger8("akID"), 2);
    EXPECT_EQ(reread.GetInteger32("tvsn"), 70000u);
    EXPECT_EQ(reread.GetCommon("MOOD", "com.apple.iTunes"), "calm");
    EXPECT_EQ(reread.FindAtomCommon("----", "TMCL", "com.apple.iTunes")->GetAsList(), TNameValueList { "piano=P" });
    ASSERT_EQ(reread.CoverArtCount(), 2);
    EXPECT_EQ(reread.FindAtom("covr")->Datas[1]->DataType, 14u);
    EXPECT_EQ(reread.Cover(0), (TBytes { 0xFF, 0xD8, 0xFF, 0xE0 }));
    EXPECT_EQ(reread.CalculateSize(), tag.CalculateSize());
}

} // namespace
} // namespace vantor
