// The load and save steps of the formats reached through the native
// interfaces, exercised with in-memory format objects.

#include "tags/AudioEngineTags.h"
#include "tags/NumberText.h"
#include "tags/Tags.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/tests/FakeNativeTags.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <map>

using namespace vantor;
using namespace vantor::test;

namespace {

TFakeFlac* AttachFlac(TTags& tags)
{
    auto owned = std::make_unique<TFakeFlac>();
    TFakeFlac* raw = owned.get();
    tags.FlacTag = std::move(owned);
    return raw;
}

std::vector<std::string> Values(const TTags& tags, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& t : tags.Tags)
        if (SameTextAscii(t->Name, name))
            values.push_back(t->Value);
    return values;
}

const std::vector<uint8_t> Png = { 0x89, 'P', 'N', 'G', 0 };

} // namespace

TEST(FormatMapping, VorbisCommentsWinOverID3v2ButKeepItsOwnFields)
{
    TTags tags;
    TFakeFlac* flac = AttachFlac(tags);
    flac->Comments = { { "TITLE", "Flac title", {} }, { "TRACKNUMBER", "3/12", {} }, { "TIPL", "", { "producer=P" } } };
    flac->Pictures.push_back({ "", 3, "image/png", "front", 10, 20, 24, 0, Png });
    flac->IsLoadedFlag = true;
    tags.ID3v2Tag->SetUnicodeText("TIT2", "ID3 title");
    tags.ID3v2Tag->SetUnicodeTXXXByDescription("ONLYID3", "kept");
    tags.ID3v2Tag->Loaded = true;
    tags.LoadTags();

    EXPECT_EQ(Values(tags, "TITLE"), std::vector<std::string> { "Flac title" });
    EXPECT_EQ(tags.GetTag("ONLYID3"), "kept");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    EXPECT_EQ(tags.GetTag("TIPL"), "producer=P");
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Name, "Cover art 1");
    EXPECT_EQ(tags.CoverArts[0]->Width, 10u);
    EXPECT_EQ(tags.CoverArts[0]->PictureFormat, tpfPNG);

    TMemoryStream stream;
    tags.SetTag("TITLE", "Changed");
    ASSERT_EQ(tags.SaveFlacTag("", &stream), 0);
    EXPECT_EQ(flac->Saves, 1);
    ASSERT_EQ(flac->Pictures.size(), 1u);
    EXPECT_EQ(flac->Pictures[0].Height, 20u);
    int titles = 0;
    for (const auto& c : flac->Comments) {
        if (c.Name == "TITLE") {
            ++titles;
            EXPECT_EQ(c.Text, "Changed");
        }
        if (c.Name == "TIPL") {
            EXPECT_EQ(c.List, TNameValueList { "producer=P" });
        }
    }
    EXPECT_EQ(titles, 1);
}

TEST(FormatMapping, OggPicturesKeepTheirCommentName)
{
    TTags tags;
    auto owned = std::make_unique<TFakeOgg>();
    TFakeOgg* ogg = owned.get();
    tags.OggVorbisAndOpusTag = std::move(owned);
    ogg->Pictures.push_back({ "METADATA_BLOCK_PICTURE", 3, "image/png", "", 0, 0, 0, 0, Png });
    ogg->IsLoadedFlag = true;
    tags.LoadTags();
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->Name, "METADATA_BLOCK_PICTURE");
}

TEST(FormatMapping, MP4ItemsFreeFormAndCovers)
{
    TTags tags;
    auto owned = std::make_unique<TFakeMP4>();
    TFakeMP4* mp4 = owned.get();
    tags.MP4Tag = std::move(owned);
    mp4->Items = { { "\xA9"
                     "nam",
                       "Title" },
        { "----", "calm", "com.apple.iTunes", "MOOD" }, { "TIPL", "", "", "", { "a=b" } } };
    mp4->Covers = { Png };
    mp4->FTrack = 3;
    mp4->FTracks = 12;
    mp4->FGenre = "Jazz";
    mp4->IsLoadedFlag = true;
    tags.LoadTags();
    EXPECT_EQ(tags.GetTag("TITLE"), "Title");
    EXPECT_EQ(tags.GetTag("MOOD"), "calm");
    EXPECT_EQ(tags.GetTag("TIPL"), "a=b");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "12");
    EXPECT_EQ(tags.GetTag("GENRE"), "Jazz");
    ASSERT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/png");
    EXPECT_EQ(tags.CoverArts[0]->CoverType, 3u);

    tags.SetTag("CUSTOM", "mine");
    tags.SetTag("YEAR", "2001");
    tags.SetTag("GAPLESSPLAYBACK", "0");
    tags.SetTag("BPM", "120");
    tags.Add("ARTIST")->Value = "A";
    tags.Add("ARTIST")->Value = "B";
    tags.SetTag("TRACKNUMBER", "4");
    ASSERT_EQ(tags.SaveMP4Tag("", nullptr), 0);
    auto find = [&](const std::string& id, const std::string& name = "") -> const TFakeItem* {
        for (const auto& it : mp4->Items)
            if (it.ID == id && it.Name == name)
                return &it;
        return nullptr;
    };
    ASSERT_NE(find("----", "CUSTOM"), nullptr);
    EXPECT_EQ(find("----", "CUSTOM")->Mean, "com.apple.iTunes");
    ASSERT_NE(find("\xA9"
                   "day"),
        nullptr);
    EXPECT_EQ(find("\xA9"
                   "day")
                  ->Text,
        "2001");
    EXPECT_EQ(find("pgap")->Kind, "bool");
    EXPECT_EQ(find("pgap")->Text, "0");
    EXPECT_EQ(find("tmpo")->Kind, "int16");
    EXPECT_EQ(std::count_if(mp4->Items.begin(), mp4->Items.end(),
                  [](const TFakeItem& it) {
                      return it.ID
                          == "\xA9"
                             "ART";
                  }),
        2);
    EXPECT_EQ(mp4->FTrack, 4);
    EXPECT_EQ(mp4->FTracks, 12);
    EXPECT_EQ(mp4->CoverTypes, std::vector<uint32_t> { 13 }); // whatever the picture's format
    ASSERT_NE(find("----", "TIPL"), nullptr);

    const int album = tags.SetTag("ALBUM", "x");
    mp4->Items.push_back({ "\xA9"
                           "alb",
        "x" });
    tags.Delete(album);
    EXPECT_EQ(find("\xA9"
                   "alb"),
        nullptr);
}

TEST(FormatMapping, WAVInfoFramesAndBroadcastChunks)
{
    TTags tags;
    auto owned = std::make_unique<TFakeWAV>();
    TFakeWAV* wav = owned.get();
    tags.WAVTag = std::move(owned);
    wav->Frames = { { "INAM", "Name", {} }, { "ITRK", "2/7", {} }, { "XXXX", "unmapped", {} } };
    wav->BEXT.Loaded = true;
    wav->BEXT.Description = "desc";
    wav->BEXT.TimeReference = 1234567890123ull;
    wav->CART.Loaded = true;
    wav->CART.PostTimers[0] = { "MRK ", 42 };
    wav->IsLoadedFlag = true;
    tags.LoadTags();
    EXPECT_EQ(tags.GetTag("TITLE"), "Name");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "2");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "7");
    EXPECT_EQ(tags.GetTag("BEXT Description"), "desc");
    EXPECT_EQ(tags.GetTag("BEXT TimeReference"), "1234567890123");
    EXPECT_EQ(tags.GetTag("CART PostTimer0"), "MRK  42");
    EXPECT_EQ(tags.Exists("XXXX"), -1);

    tags.Add("ARTIST")->Value = "A";
    tags.Add("ARTIST")->Value = "B";
    tags.SetTag("CUSTOM", "not saved");
    tags.SetTag("CART PostTimer1", "SEG 99");
    tags.SetTag("BEXT Version", "2");
    ASSERT_EQ(tags.SaveWAVTag("", nullptr), 0);
    auto text = [&](const std::string& id) {
        for (const auto& f : wav->Frames)
            if (f.ID == id)
                return f.Text;
        return std::string("<none>");
    };
    EXPECT_EQ(text("IART"), "A, B");
    EXPECT_EQ(text("INAM"), "Name");
    EXPECT_EQ(wav->CART.PostTimers[1].Usage, "SEG");
    EXPECT_EQ(wav->CART.PostTimers[1].Value, 99u);
    EXPECT_EQ(wav->BEXT.Version, 2);
    for (const auto& f : wav->Frames)
        EXPECT_NE(f.Text, "not saved");

    tags.Delete("BEXT Description");
    EXPECT_EQ(wav->BEXT.Description, "");
}

TEST(FormatMapping, WMATrackCountsFromZero)
{
    TTags tags;
    auto owned = std::make_unique<TFakeWMA>();
    TFakeWMA* wma = owned.get();
    tags.WMATag = std::move(owned);
    TFakeAttribute track { "WM/Track", "" };
    track.Integer = 4;
    track.IsInteger = true;
    wma->Attributes = { { "wm/albumtitle", "Album" }, track, { "WM/TrackNumber", "ignored" } };
    wma->IsLoadedFlag = true;
    tags.LoadTags();
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "5");
    EXPECT_EQ(tags.GetTag("ALBUM"), "Album");

    tags.SetTag("CUSTOM", "not saved");
    tags.SetTag("TOTALTRACKS", "9");
    ASSERT_EQ(tags.SaveWMATag("file.wma", nullptr), 0);
    const TFakeAttribute* wmTrack = nullptr;
    const TFakeAttribute* wmTrackNumber = nullptr;
    for (const auto& a : wma->Attributes) {
        if (a.Name == "WM/Track")
            wmTrack = &a;
        if (a.Name == "WM/TrackNumber")
            wmTrackNumber = &a;
        EXPECT_NE(a.Text, "not saved");
    }
    ASSERT_NE(wmTrack, nullptr);
    EXPECT_EQ(wmTrack->Integer, 4);
    ASSERT_NE(wmTrackNumber, nullptr);
    EXPECT_EQ(wmTrackNumber->Text, "5/9");
    TMemoryStream stream;
    EXPECT_EQ(tags.SaveToStream(stream, ttWMA), tlNotSupported);
}

TEST(FormatMapping, WMATrackNumberWithoutWMTrack)
{
    TFakeAttribute track { "WM/Track", "" };
    track.Integer = 8;
    track.IsInteger = true;
    struct {
        std::string TrackNumber;
        bool WithTrack;
        const char* Number;
        const char* Total;
    } cases[] = {
        { "7/12", false, "7", "12" }, { " 3 ", false, "3", "" },
        { "3", true, "9", "" }, // WM/Track wins, even behind WM/TrackNumber
    };
    for (const auto& c : cases) {
        TTags tags;
        auto wma = std::make_unique<TFakeWMA>();
        wma->Attributes = { { "WM/TrackNumber", c.TrackNumber } };
        if (c.WithTrack)
            wma->Attributes.push_back(track);
        wma->IsLoadedFlag = true;
        tags.WMATag = std::move(wma);
        tags.LoadTags();
        EXPECT_EQ(tags.GetTag("TRACKNUMBER"), c.Number) << c.TrackNumber;
        EXPECT_EQ(tags.GetTag("TOTALTRACKS"), c.Total) << c.TrackNumber;
        EXPECT_EQ(tags.Count(), *c.Total ? 2 : 1) << c.TrackNumber;
    }
}

namespace {

class TFakeEngine : public TAudioEngineTagSource {
public:
    bool Query = true;
    std::map<uint32_t, std::vector<uint8_t>> Blocks;
    bool HasTagQuery() const override { return Query; }
    std::optional<std::vector<uint8_t>> ChannelGetTags(uint32_t, uint32_t type) const override
    {
        const auto it = Blocks.find(type);
        if (it == Blocks.end())
            return std::nullopt;
        return it->second;
    }
};

} // namespace

TEST(FormatMapping, TagsFromTheAudioEngine)
{
    TFakeEngine engine;
    SetAudioEngineTagSource(&engine);
    TTags tags;
    engine.Query = false;
    EXPECT_EQ(tags.LoadFromBASS(1), tlAudioEngineFunctionMissing);
    engine.Query = true;
    std::vector<uint8_t> id3v1(128, 0);
    std::copy_n("TAGv1 title", 11, id3v1.begin());
    engine.Blocks[engineTagID3] = id3v1;
    EXPECT_EQ(tags.LoadFromBASS(1), tlSuccess);
    EXPECT_FALSE(tags.Loaded); // ID3v1 alone merges but does not count
    EXPECT_EQ(tags.GetTag("TITLE"), "v1 title");

    const std::string icy = std::string("StreamTitle='x'\0icy-name=Radio\0\0", 33);
    engine.Blocks[engineTagICY] = std::vector<uint8_t>(icy.begin(), icy.end());
    std::vector<uint8_t> dsd = { 0xE7, 0x07, 5, 17, 9, 30, 0, 0, 0, 0, 3, 0, 0, 0, 'A', 'b', 'c' };
    engine.Blocks[engineTagDSDComment] = dsd;
    EXPECT_EQ(tags.LoadFromBASS(1), tlSuccess);
    EXPECT_TRUE(tags.Loaded);
    EXPECT_EQ(tags.GetTag("icy-name"), "Radio");
    EXPECT_EQ(tags.GetTag("StreamTitle"), "'x'");
    EXPECT_EQ(tags.GetTag("RECORDINGDATE"), "2023-5-17 9:30");
    EXPECT_EQ(tags.GetTag("COMMENT"), "Abc");
    SetAudioEngineTagSource(nullptr);
}

TEST(NumberText, NumbersAndNumberSlashTotal)
{
    struct {
        const char* Text;
        uint32_t AsU32;
        uint8_t AsU8;
    } numbers[] = {
        { "7", 7, 7 },
        { " 12 ", 12, 12 },
        { "300", 300, 0 },
        { "-1", 0, 0 },
        { "4/9", 0, 0 },
        { "", 0, 0 },
        { "x1", 0, 0 },
        { "4294967296", 0, 0 },
    };
    for (const auto& n : numbers) {
        EXPECT_EQ(NumberOrZero<uint32_t>(n.Text), n.AsU32) << n.Text;
        EXPECT_EQ(NumberOrZero<uint8_t>(n.Text), n.AsU8) << n.Text;
    }
    EXPECT_EQ(ParseNumber<int32_t>("-3"), std::optional<int32_t>(-3));
    EXPECT_FALSE(ParseNumber<uint16_t>("70000"));
    struct {
        const char* Value;
        const char* Number;
        const char* Total;
    } splits[] = {
        { "4/9", "4", "9" },
        { "4", "4", "" },
        { "/9", "", "9" },
        { "4/", "4", "" },
        { "1/2/3", "1", "2/3" },
    };
    for (const auto& s : splits) {
        const TNumberAndTotal parts = SplitNumberAndTotal(s.Value);
        EXPECT_EQ(parts.Number, s.Number) << s.Value;
        EXPECT_EQ(parts.Total, s.Total) << s.Value;
    }
}
