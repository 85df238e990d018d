#include "tags/Tags.h"
#include "tags/apev2/APEv2Tag.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

using namespace vantor;
using namespace vantor::test;

namespace {

void ExpectIndicesMatch(const TTags& tags)
{
    for (size_t i = 0; i < tags.Tags.size(); ++i)
        EXPECT_EQ(tags.Tags[i]->Index, int32_t(i));
    for (size_t i = 0; i < tags.CoverArts.size(); ++i)
        EXPECT_EQ(tags.CoverArts[i]->Index, int32_t(i));
}

} // namespace

TEST(TagsModel, SetTagAppendsOnceAndNamesIgnoreAsciiCase)
{
    TTags tags;
    EXPECT_EQ(tags.SetTag("TITLE", "One"), 0);
    EXPECT_EQ(tags.SetTag("title", "Two"), 0);
    EXPECT_EQ(tags.Count(), 1);
    EXPECT_EQ(tags.GetTag("Title"), "Two");
    EXPECT_EQ(tags.GetTag("MISSING"), "");
    EXPECT_EQ(tags.Exists("MISSING"), -1);
    EXPECT_EQ(tags.Tag("TİTLE"), nullptr); // only ASCII letters fold
    tags.SetTag("TITLE", "");
    EXPECT_EQ(tags.Count(), 1); // an empty value keeps the field
}

TEST(TagsModel, MultipleValuesAndRemovalKeepIndices)
{
    TTags tags;
    tags.Add("ARTIST")->Value = "Alpha";
    tags.Add("GENRE")->Value = "Rock";
    tags.Add("artist")->Value = "ALPHA";
    tags.Add("ARTIST")->Value = "Beta";
    std::vector<std::string> values;
    tags.GetMultipleList("Artist", values);
    EXPECT_EQ(values, (std::vector<std::string> { "Alpha", "Beta" }));
    EXPECT_EQ(tags.TypeCount("ARTIST"), 3);
    EXPECT_TRUE(tags.Remove(0));
    EXPECT_FALSE(tags.Remove(7));
    ExpectIndicesMatch(tags);
    EXPECT_EQ(tags.Clear("ARTIST"), 2);
    EXPECT_EQ(tags.Count(), 1);
    ExpectIndicesMatch(tags);
    tags.SetTag("EMPTY", "");
    tags.RemoveEmptyTags();
    EXPECT_EQ(tags.Count(), 1);
}

TEST(TagsModel, ListValues)
{
    TTags tags;
    const int index = tags.SetList("TIPL", { "producer=A", "engineer=B" });
    EXPECT_EQ(tags.Tags[size_t(index)]->Value, "producer\r\nA\r\nengineer\r\nB\r\n");
    TNameValueList list;
    tags.Tags[size_t(index)]->GetAsList(list);
    EXPECT_EQ(list, (TNameValueList { "producer=A", "engineer=B" }));
    tags.Tags[size_t(index)]->Value = "odd\r\nlines\r\ncount";
    tags.Tags[size_t(index)]->GetAsList(list);
    EXPECT_TRUE(list.empty());
}

TEST(TagsModel, DeleteRemovesOnlyTheMatchingNativeItem)
{
    TTags tags;
    tags.APEv2Tag->AddTextFrame("ALBUM", "First");
    tags.APEv2Tag->AddTextFrame("Album", "Second");
    tags.APEv2Tag->Loaded = true;
    tags.LoadTags();
    ASSERT_EQ(tags.TypeCount("ALBUM"), 2);
    ASSERT_TRUE(tags.Delete(tags.Exists("ALBUM")));
    ASSERT_EQ(tags.APEv2Tag->Count(), 1);
    EXPECT_EQ(tags.APEv2Tag->Frames[0]->GetAsText(), "Second");
    EXPECT_FALSE(tags.Delete(99));
    EXPECT_FALSE(tags.Delete("NOPE"));
}

TEST(TagsModel, CoverArts)
{
    const auto dir = ScratchDir("CoverArts");
    const std::vector<uint8_t> png = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0 };
    WriteBytes(dir / "cover.png", png);

    TTags tags;
    TCoverArt* picture = tags.AddCoverArt("Front", (dir / "cover.png").string());
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->MIMEType, "image/png");
    EXPECT_EQ(picture->PictureFormat, tpfPNG);
    EXPECT_EQ(picture->Description, "cover.png");
    EXPECT_EQ(picture->Stream.Bytes(), png);
    EXPECT_EQ(tags.AddCoverArt("Missing", (dir / "none.png").string()), nullptr);

    TCoverArt* empty = tags.AddCoverArt("Empty");
    EXPECT_EQ(empty->Description, "No description");
    EXPECT_EQ(empty->CoverType, 0u);
    EXPECT_EQ(tags.CoverArt("front"), picture);
    EXPECT_TRUE(tags.DeleteCoverArt(0));
    EXPECT_FALSE(tags.DeleteCoverArt(3));
    ExpectIndicesMatch(tags);

    TMemoryStream one(std::vector<uint8_t> { 0xFF });
    EXPECT_EQ(TTags::PictureStreamType(&one), tpfUnknown);
    TMemoryStream jpeg(std::vector<uint8_t> { 0xFF, 0xD8, 0xFF });
    jpeg.Seek(2);
    EXPECT_EQ(TTags::PictureStreamType(&jpeg), tpfJPEG);
    EXPECT_EQ(jpeg.Position(), 0u);
    EXPECT_EQ(TTags::PictureStreamType(nullptr), tpfUnknown);
    EXPECT_EQ(TTags::PicturePointerType(jpeg.Data(), 2), tpfUnknown);
    EXPECT_EQ(TTags::PicturePointerType(jpeg.Data(), 3), tpfJPEG);
    EXPECT_EQ(PictureFormatFromMIMEType("IMAGE/JPG"), tpfJPEG);
    EXPECT_EQ(PictureFormatFromMIMEType("image/webp"), tpfUnknown);
}

TEST(TagsModel, LoadEntryPointsRejectMissingInput)
{
    TTags tags;
    EXPECT_EQ(tags.LoadFromMemory(nullptr, 10), tlFileNotFound);
    const uint8_t byte = 0;
    EXPECT_EQ(tags.LoadFromMemory(&byte, 0), tlFileNotFound);
    TMemoryStream empty;
    EXPECT_EQ(tags.LoadFromStream(empty), tlErrorOpeningFile);
    EXPECT_EQ(tags.LoadFromFile("/nonexistent/song.mp3"), tlErrorOpeningFile);
    EXPECT_FALSE(tags.Loaded);
    EXPECT_EQ(tags.SaveToStream(empty, ttWMA), tlNotSupported);
    EXPECT_EQ(tags.SaveToStream(empty, ttNone), tlError);
    EXPECT_EQ(tags.LoadFromBASS(1), tlAudioEngineNotLoaded);
}

TEST(TagsModel, AssignCopiesLoadedFormats)
{
    TTags source;
    TMemoryStream stream(ReadBytes(Fixture("ape-v2.xyz")));
    ASSERT_EQ(source.LoadFromStream(stream), tlSuccess);
    TTags copy;
    ASSERT_TRUE(copy.Assign(source));
    EXPECT_EQ(copy.GetTag("TITLE"), "Título");
    EXPECT_EQ(copy.CoverArtCount(), 1);
    EXPECT_EQ(copy.Size(), source.Size());
}
