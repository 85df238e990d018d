// Items and their values, in memory.

#include "tags/mp4/MP4Tag.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(MP4Item, AtomNamesFromText)
{
    EXPECT_EQ(AtomName("\xC2\xA9nam"), "\xA9nam"); // "©nam" in UTF-8
    EXPECT_EQ(AtomName("\xA9nam"), "\xA9nam");
    EXPECT_EQ(AtomName("ab"), std::string("ab\0\0", 4));
    EXPECT_EQ(AtomName("covers"), "cove");
}

TEST(MP4Item, IntegerWidthsAndTypes)
{
    struct Case {
        Bytes Data;
        uint32_t Type;
        uint64_t Integer, Integer48, Integer64;
        std::string Text;
    };
    const uint64_t all = ~uint64_t(0);
    const Case cases[] = {
        { { 7 }, 0, 7, 0x070000000000, 0x0700000000000000, "7" },
        { { 1, 2 }, 21, 0x102, 0x010200000000, 0x0102000000000000, "258" },
        { { 0, 0, 1, 0 }, 0, 256, 0x000001000000, 0x0000010000000000, "256" },
        { { 0, 0, 0, 3, 0, 12 }, 0, 0x3000C, 0x3000C, 0x3000C0000, "196620" },
        { { 0, 0, 0, 5, 0, 12, 0, 0 }, 0, 0x5000C0000, 0x5000C, 0x5000C0000, "21475622912" },
        { { 1, 2, 3 }, 0, 0, 0x010203000000, 0x0102030000000000, "0" },
        { { 'a' }, 1, 0, all, all, "a" },
        { { 0xFF }, 13, 0, all, all, "" },
    };
    for (const Case& c : cases) {
        TMP4Tag tag;
        TMP4AtomData* data = tag.AddAtom("test")->AddData();
        data->Data = c.Data;
        data->DataType = c.Type;
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(data->GetAsInteger(), c.Integer);
        EXPECT_EQ(data->GetAsInteger48(), c.Integer48);
        EXPECT_EQ(data->GetAsInteger64(), c.Integer64);
        EXPECT_EQ(tag.Atoms[0]->GetAsText(), c.Text);
    }
}

TEST(MP4Item, SizesAndIndexesAfterDeletion)
{
    TMP4Tag tag;
    tag.SetText("\xA9nam", "Title");                // 8 + 16 + 5
    tag.SetCommon("MOOD", "com.apple.iTunes", "x"); // 8 + (8 + 4 + 16) + (8 + 4 + 4) + (16 + 1)
    tag.SetBool("cpil", true);                      // 8 + 16 + 1
    EXPECT_EQ(tag.Atoms[0]->CalculateAtomSize(), 29u);
    EXPECT_EQ(tag.Atoms[1]->CalculateAtomSize(), 69u);
    EXPECT_EQ(tag.CalculateSize(), 8u + 29 + 69 + 25);

    TMP4Atom* cover = tag.AddAtom("covr");
    for (int i = 0; i < 3; ++i)
        cover->AddData()->Data = { uint8_t(i) };
    cover->Datas[1]->Delete();
    EXPECT_EQ(cover->Datas[1]->Data, Bytes { 2 });
    EXPECT_EQ(cover->Datas[1]->Index, 1);

    tag.Atoms[1]->Delete();
    for (int i = 0; i < tag.Count(); ++i)
        EXPECT_EQ(tag.Atoms[size_t(i)]->Index, i);
    EXPECT_EQ(tag.FindAtom("covr")->Index, 2);

    tag.SetText("\xA9nam", ""); // empty text deletes the item
    EXPECT_EQ(tag.FindAtom("\xA9nam"), nullptr);
    tag.Clear();
    EXPECT_EQ(tag.CalculateSize(), 0u);
}

TEST(MP4Item, TrackAndDisc)
{
    TMP4Tag tag;
    tag.SetTrack(5, 12);
    EXPECT_EQ(tag.FindAtom("trkn")->Datas[0]->Data, (Bytes { 0, 0, 0, 5, 0, 12, 0, 0 }));
    EXPECT_EQ(tag.GetTrack(), 5);
    EXPECT_EQ(tag.GetTotalTracks(), 12);
    tag.SetDisc(1, 2);
    EXPECT_EQ(tag.FindAtom("disk")->Datas[0]->Data, (Bytes { 0, 0, 0, 1, 0, 2 }));
    EXPECT_EQ(tag.GetDisc(), 1);
    EXPECT_EQ(tag.GetTotalDiscs(), 2);

    tag.SetTrack(0, 0);
    EXPECT_EQ(tag.FindAtom("trkn"), nullptr);
    tag.FindAtom("disk")->SetAsText("1/2"); // not an integer
    EXPECT_EQ(tag.GetDisc(), 0);
}

TEST(MP4Item, Genre)
{
    TMP4Tag tag;
    tag.SetGenre("classic rock");
    EXPECT_EQ(tag.FindAtom("gnre")->Datas[0]->Data, (Bytes { 0, 2 }));
    EXPECT_EQ(tag.GetGenre(), "Classic Rock");
    tag.SetGenre("Own Genre");
    EXPECT_EQ(tag.FindAtom("gnre"), nullptr);
    EXPECT_EQ(tag.GetText("\xA9gen"), "Own Genre");
    EXPECT_EQ(tag.GetGenre(), "Own Genre");
    tag.SetInteger16("gnre", 500); // out of the table: the text is used
    EXPECT_EQ(tag.GetGenre(), "Own Genre");
    tag.SetGenre("");
    EXPECT_EQ(tag.Count(), 0);
}

TEST(MP4Item, MediaType)
{
    struct Case {
        Bytes Data;
        std::string Name;
    };
    const Case reads[] = { { { 1 }, "Music" }, { { 0, 2 }, "Audiobook" }, { { 9 }, "Movie" }, { { 0 }, "Movie" },
        { { 14 }, "Ringtone" }, { { 3 }, "" }, { { 0, 0, 0, 10 }, "TV Show" } };
    for (const Case& c : reads) {
        TMP4Tag tag;
        tag.AddAtom("stik")->AddData()->Data = c.Data;
        EXPECT_EQ(tag.GetMediaType(), c.Name) << int(c.Data.back());
    }
    TMP4Tag tag;
    tag.SetMediaType("Movie");
    EXPECT_EQ(tag.FindAtom("stik")->Datas[0]->Data, Bytes { 9 });
    tag.SetMediaType("music"); // names match exactly
    EXPECT_EQ(tag.GetMediaType(), "Movie");
}

TEST(MP4Item, PurchaseCountry)
{
    TMP4Tag tag;
    EXPECT_EQ(tag.GetPurchaseCountry(), "");
    tag.SetPurchaseCountry("Japan");
    EXPECT_EQ(tag.GetInteger32("sfID"), 143462u);
    EXPECT_EQ(tag.GetPurchaseCountry(), "Japan");
    tag.SetPurchaseCountry("143500");
    EXPECT_EQ(tag.GetPurchaseCountry(), "143500");
    tag.SetPurchaseCountry("Atlantis");
    EXPECT_EQ(tag.GetInteger32("sfID"), 0u);
    EXPECT_EQ(tag.GetPurchaseCountry(), "");
}

TEST(MP4Item, ListsFreeFormAndMultipleValues)
{
    TMP4Tag tag;
    tag.SetFreeFormList("com.apple.iTunes", "TIPL", { "producer=A", "mixer=B=C" });
    TMP4Atom* item = tag.FindAtomCommon("----", "tipl", "COM.APPLE.ITUNES");
    ASSERT_NE(item, nullptr);
    const std::string expected = "producer\r\nA\r\nmixer\r\nB=C\r\n";
    EXPECT_EQ(item->Datas[0]->Data, Bytes(expected.begin(), expected.end()));
    EXPECT_EQ(item->GetAsList(), (TNameValueList { "producer=A", "mixer=B=C" }));
    EXPECT_EQ(item->mean.Data,
        (Bytes { 0, 0, 0, 0, 'c', 'o', 'm', '.', 'a', 'p', 'p', 'l', 'e', '.', 'i', 'T', 'u', 'n', 'e', 's' }));

    tag.SetCommon("MOOD", "com.apple.iTunes", "calm");
    tag.SetCommon("mood", "com.apple.iTunes", "sad"); // the same item
    EXPECT_EQ(tag.Count(), 2);
    EXPECT_EQ(tag.GetCommon("MOOD", "com.apple.iTunes"), "sad");

    tag.SetMultipleValuesMultipleAtoms("\xA9"
                                       "ART",
        { "A", "B" });
    std::vector<std::string> values;
    EXPECT_TRUE(tag.GetMultipleValuesMultipleAtoms("\xA9"
                                                   "ART",
        values));
    EXPECT_EQ(values, (std::vector<std::string> { "A", "B" }));
    tag.SetMultipleValuesCommaSeparated("\xA9"
                                        "ART",
        { "A", "B", "C" });
    EXPECT_EQ(tag.GetText("\xA9"
                          "ART"),
        "A, B, C");
    EXPECT_EQ(tag.Atoms.back()->ID,
        "\xA9"
        "ART");
}

TEST(MP4Item, AssignCopiesItems)
{
    TMP4Tag source;
    source.SetText("\xA9nam", "T");
    source.AddCover({ 1, 2, 3 }, 13);
    source.Version = 1;
    source.PaddingToWrite = 100;
    TMP4Tag copy;
    copy.SetText("\xA9"
                 "alb",
        "gone");
    ASSERT_TRUE(copy.Assign(static_cast<const TNativeTag&>(source)));
    EXPECT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.FindAtom("\xA9"
                            "alb"),
        nullptr);
    EXPECT_EQ(copy.Cover(0), (Bytes { 1, 2, 3 }));
    EXPECT_EQ(copy.Atoms[1]->Parent, &copy);
    EXPECT_EQ(copy.Version, 1);
    EXPECT_EQ(copy.PaddingToWrite, 100u);
}

} // namespace
} // namespace vantor
