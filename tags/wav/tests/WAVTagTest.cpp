#include "tags/wav/WAVTag.h"
#include "tags/Tags.h"
#include "tags/io/Bytes.h"
#include "tags/tests/TestFiles.h"
#include "tags/wav/RiffForm.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace vantor {
namespace {

using namespace vantor::test;

using TBytes = std::vector<uint8_t>;

TBytes LE32(uint32_t v)
{
    TBytes b(4);
    PutLE32(b.data(), v);
    return b;
}

TBytes LE64(uint64_t v)
{
    TBytes b(8);
    PutLE64(b.data(), v);
    return b;
}

// A chunk with its pad byte.
TBytes Chunk(const std::string& id, const TBytes& data)
{
    TBytes out = Bytes(id);
    Append(out, LE32(uint32_t(data.size())));
    Append(out, data);
    if (data.size() & 1)
        out.push_back(0);
    return out;
}

TBytes Info(const std::vector<std::pair<std::string, TBytes>>& frames)
{
    TBytes body = Bytes("INFO");
    for (const auto& [id, value] : frames)
        Append(body, Chunk(id, value));
    return Chunk("LIST", body);
}

// 8 kHz, 16-bit mono PCM.
TBytes Fmt()
{
    TBytes f;
    for (uint32_t v : { 0x00010001u, 8000u, 16000u, 0x00100002u })
        Append(f, LE32(v));
    return Chunk("fmt ", f);
}

TBytes Audio(size_t samples = 50)
{
    TBytes data(samples * 2);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = uint8_t(i * 7 + 3);
    return Chunk("data", data);
}

TBytes Riff(const std::vector<TBytes>& chunks)
{
    TBytes body = Bytes("WAVE");
    for (const TBytes& c : chunks)
        Append(body, c);
    TBytes out = Bytes("RIFF");
    Append(out, LE32(uint32_t(body.size())));
    Append(out, body);
    return out;
}

TBytes BextData(const std::string& description, const std::string& history, uint16_t version = 1)
{
    TBytes fixed(TBEXT::FixedSize, 0);
    std::memcpy(fixed.data(), description.data(), description.size());
    PutLE64(fixed.data() + 338, 0x0000000100000002ull);
    PutLE16(fixed.data() + 346, version);
    fixed[348] = 0xAB;
    fixed[600] = 0x5A; // reserved
    Append(fixed, Bytes(history));
    return fixed;
}

TBytes CartData(const std::string& title, const std::string& tagText)
{
    TBytes fixed(TCART::FixedSize, 0);
    std::memcpy(fixed.data(), "0101", 4);
    std::memcpy(fixed.data() + 4, title.data(), title.size());
    PutLE32(fixed.data() + 680, uint32_t(-3));
    std::memcpy(fixed.data() + 684 + 8, "SEG ", 4);
    PutLE32(fixed.data() + 684 + 12, 77);
    Append(fixed, Bytes(tagText));
    return fixed;
}

// The top-level chunk ids of a RIFF file.
std::vector<std::string> ChunkIds(TMemoryStream& stream)
{
    TRiffForm form;
    std::vector<std::string> ids;
    if (ReadRiffForm(stream, form))
        for (const TRiffChunk& c : form.Chunks)
            ids.push_back(c.Is("LIST") ? "LIST/" + std::string(c.ListType, 4) : std::string(c.ID, 4));
    return ids;
}

bool Contains(const TBytes& haystack, const TBytes& needle)
{
    return std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end()) != haystack.end();
}

TEST(WAVTag, ReadsInfoBextCartAndTheAudioFormat)
{
    TMemoryStream stream(
        Riff({ Fmt(), Info({ { "INAM", Bytes(std::string("Name\0", 5)) }, { "IART", Bytes("Artist") } }),
            Chunk("bext", BextData("Desc", "A=PCM\r\n")), Chunk("cart", CartData("Cut", "notes")), Audio(100) }));
    stream.Seek(7);
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(stream.Position(), 7u);
    EXPECT_TRUE(tag.Loaded());
    ASSERT_EQ(tag.Count(), 2);
    EXPECT_EQ(tag.FrameID(0), "INAM");
    EXPECT_EQ(tag.FrameText(0), "Name");
    // Written without a NUL, the text is still whole.
    EXPECT_EQ(tag.FrameText(1), "Artist");

    EXPECT_TRUE(tag.BEXT.Loaded);
    EXPECT_EQ(tag.BEXT.Description, "Desc");
    EXPECT_EQ(tag.BEXT.TimeReference, 0x0000000100000002ull);
    EXPECT_EQ(tag.BEXT.Version, 1);
    EXPECT_EQ(tag.BEXT.UMID.substr(0, 6), "AB 00 ");
    EXPECT_EQ(tag.BEXT.UMID.size(), 64u * 3 - 1);
    EXPECT_EQ(tag.BEXT.CodingHistory, "A=PCM\r\n");
    EXPECT_TRUE(tag.CART.Loaded);
    EXPECT_EQ(tag.CART.Version, "0101");
    EXPECT_EQ(tag.CART.Title, "Cut");
    EXPECT_EQ(tag.CART.LevelReference, -3);
    EXPECT_EQ(tag.CART.PostTimers[1].Usage, "SEG ");
    EXPECT_EQ(tag.CART.PostTimers[1].Value, 77u);
    EXPECT_EQ(tag.CART.TagText, "notes");

    const TAudioPropertySet audio = tag.AudioProperties();
    EXPECT_EQ(audio.Channels, 1);
    EXPECT_EQ(audio.SamplesPerSec, 8000u);
    EXPECT_EQ(audio.BitsPerSample, 16);
    EXPECT_EQ(audio.SampleCount, 100u);
    EXPECT_DOUBLE_EQ(audio.PlayTime, 100.0 / 8000);
    EXPECT_EQ(audio.BitRate, 128u);
    EXPECT_EQ(tag.TagSize(), 8 + 4 + 14 + 14 + 8 + 610 + 8 + 2054u);
}

TEST(WAVTag, OddSizesAndOddValues)
{
    // A 5-byte frame (four letters and a NUL, then its pad byte) goes back as the same bytes.
    TMemoryStream stream(Riff({ Fmt(), Audio(), Info({ { "IGNR", Bytes(std::string("Jazz\0", 5)) } }) }));
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("IGNR"), "Jazz");
    tag.AddTextFrame("INAM", "Fiver");
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    EXPECT_EQ(stream.Position(), 0u);
    const TBytes& bytes = stream.Bytes();
    EXPECT_TRUE(Contains(bytes, Bytes(std::string("IGNR\5\0\0\0Jazz\0\0INAM\6\0\0\0Fiver\0fmt ", 32))));
    EXPECT_EQ(GetLE32(bytes.data() + 4), bytes.size() - 8);
}

TEST(WAVTag, TagChunksMoveBehindTheHeaderAndEverythingElseStays)
{
    const TBytes unknown = Chunk("junk", Bytes("odd"));
    const TBytes id3 = Chunk("id3 ", Bytes(std::string("ID3\3\0\0\0\0\0\1x", 11)));
    const TBytes original = Riff({ Fmt(), Audio(), unknown, Info({ { "INAM", Bytes("Old") } }), id3,
        Chunk("bext", BextData("D", "")), Chunk("cart", CartData("C", "")) });
    TMemoryStream stream(original);
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    const uint64_t oldTags = tag.TagSize();
    tag.SetTextFrameText("INAM", "New");
    tag.BEXT.Description = "Changed";
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);

    EXPECT_EQ(
        ChunkIds(stream), (std::vector<std::string> { "LIST/INFO", "bext", "cart", "fmt ", "data", "junk", "id3 " }));
    const TBytes& bytes = stream.Bytes();
    for (const TBytes& kept : { Fmt(), Audio(), unknown, id3 })
        EXPECT_TRUE(Contains(bytes, kept));
    TWAVTag back;
    ASSERT_EQ(back.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(GetLE32(bytes.data() + 4), GetLE32(original.data() + 4) - oldTags + back.TagSize());
    EXPECT_EQ(GetLE32(bytes.data() + 4), bytes.size() - 8);
    EXPECT_EQ(back.ReadFrameByNameAsText("INAM"), "New");
    EXPECT_EQ(back.BEXT.Description, "Changed");
    EXPECT_EQ(back.CART.Title, "C");
    // Bytes no field shows (reserved, a UMID) are kept.
    EXPECT_EQ(back.BEXTRecord.BEXTChunk[600], 0x5A);
    EXPECT_EQ(back.BEXTRecord.BEXTChunk[348], 0xAB);

    // Saving again without changes gives the same bytes.
    const TBytes once = bytes;
    ASSERT_EQ(back.SaveToStream(stream), wavSuccess);
    EXPECT_EQ(stream.Bytes(), once);
}

TEST(WAVTag, KeptOddChunksGetAZeroPadByte)
{
    // A writer that left out the pad byte after odd-sized data, and one that wrote 'x' as pad.
    TBytes odd = Chunk("junk", Bytes("abc"));
    odd.pop_back();
    TBytes noisy = Chunk("junK", Bytes("abc"));
    noisy.back() = 'x';
    TMemoryStream stream(Riff({ Fmt(), odd, Info({ { "INAM", Bytes("x") } }), noisy, Audio() }));
    PutLE32(stream.Bytes().data() + 4, uint32_t(stream.Size() - 8));
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), "x");
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    EXPECT_EQ(ChunkIds(stream), (std::vector<std::string> { "LIST/INFO", "fmt ", "junk", "junK", "data" }));
    EXPECT_TRUE(Contains(stream.Bytes(), Bytes(std::string("abc\0junK\3\0\0\0abc\0data", 20))));
    EXPECT_EQ(GetLE32(stream.Bytes().data() + 4), stream.Size() - 8);
}

TEST(WAVTag, TextEncodings)
{
    const struct {
        std::string Text;
        TBytes Stored;
    } cases[] = {
        { "plain", Bytes("plain") }, { "Caf\xC3\xA9 \xE2\x82\xAC", { 'C', 'a', 'f', 0xE9, ' ', 0x80 } }, // Windows-1252
        { "\xD0\x9F\xD1\x80\xD0\xB8", Bytes("\xD0\x9F\xD1\x80\xD0\xB8") }, // Cyrillic: UTF-8
        { "\xC3\x83\xC2\xA9", Bytes("\xC3\x83\xC2\xA9") },                 // its 1252 bytes read as UTF-8 "é"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(EncodeWAVText(c.Text), c.Stored);
        EXPECT_EQ(DecodeWAVText(c.Stored.data(), c.Stored.size()), c.Text);
        TWAVTagFrame frame;
        frame.SetAsText(c.Text);
        EXPECT_EQ(frame.Value.back(), 0);
        EXPECT_EQ(frame.GetAsText(), c.Text);
    }

    // Fixed-width fields: the first bytes, or whole UTF-8 characters.
    TWAVTag tag;
    tag.BEXT.Description = std::string(250, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9";
    tag.BEXT.Originator = std::string(31, 'o') + "\xD0\x96";
    tag.StoreBroadcastFields();
    EXPECT_EQ(tag.BEXT.Description, std::string(250, 'a') + "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9");
    EXPECT_EQ(tag.BEXT.Originator, std::string(31, 'o'));
    EXPECT_EQ(tag.BEXT.Version, 1); // a bext chunk that is written has a version
}

TEST(WAVTag, ListFrames)
{
    TWAVTag tag;
    tag.SetListFrameText("TIPL", { "producer=Caf\xC3\xA9", "mix=\xD0\x96" });
    TNameValueList list;
    ASSERT_TRUE(tag.ReadFrameByNameAsList("TIPL", list));
    EXPECT_EQ(list, (TNameValueList { "producer=Caf\xC3\xA9", "mix=\xD0\x96" }));
    tag.AddFrame("ICMT");
    EXPECT_FALSE(tag.ReadFrameByNameAsList("ICMT", list));
}

TEST(WAVTag, FrameListOperations)
{
    TWAVTag tag;
    tag.AddTextFrame("IART", "A");
    tag.AddTextFrame("INAM", "T");
    tag.AddTextFrame("IART", "B");
    TMemoryStream binary(TBytes { 9, 8, 7, 6 });
    binary.Seek(1);
    const int index = tag.AddBinaryFrame("IBIN", binary, 2);
    EXPECT_EQ(binary.Position(), 1u);
    EXPECT_EQ(tag.Frames[size_t(index)]->Value, (TBytes { 8, 7 }));
    EXPECT_EQ(tag.FrameExists("iart"), -1);
    EXPECT_EQ(tag.FrameTypeCount("IART"), 2);
    EXPECT_FALSE(tag.DeleteFrame(9));
    EXPECT_TRUE(tag.DeleteFrameByName("IART"));
    EXPECT_EQ(tag.ReadFrameByNameAsText("IART"), "B");
    EXPECT_EQ(tag.Frames[1]->Index, 1);
    tag.SetTextFrameText("INAM", "");
    tag.RemoveEmptyFrames();
    EXPECT_EQ(tag.FrameExists("INAM"), -1);
    // 8 + 2 for IBIN, 8 + 2 for IART "B\0".
    EXPECT_EQ(tag.CalculateTotalFramesSize(), 20u);
}

TEST(WAVTag, BroadcastChunksAreEvenAndEndTheirTextWithNul)
{
    TMemoryStream stream(Riff({ Fmt(), Audio(), Chunk("bext", BextData("D", "A=PCM")) }));
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.CalculateBEXTSize(), 608u);
    tag.CART.Title = "new cart";
    tag.CART.PostTimers[7] = { "MRK", 5 };
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    TRiffForm form;
    ASSERT_TRUE(ReadRiffForm(stream, form));
    ASSERT_TRUE(form.Chunks[0].Is("bext"));
    EXPECT_EQ(form.Chunks[0].Size, 608u);
    EXPECT_EQ(stream.ReadAt(form.Chunks[0].Data() + 602, 6), Bytes(std::string("A=PCM\0", 6)));
    ASSERT_TRUE(form.Chunks[1].Is("cart"));
    EXPECT_EQ(form.Chunks[1].Size, 2048u);
    TWAVTag back;
    ASSERT_EQ(back.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(back.BEXT.CodingHistory, "A=PCM");
    EXPECT_EQ(back.CART.Version, "0101");
    EXPECT_EQ(back.CART.PostTimers[7].Usage, "MRK ");
    EXPECT_EQ(back.CART.PostTimers[7].Value, 5u);
    EXPECT_EQ(back.CART.PostTimers[0].Usage, "");
}

TEST(WAVTag, UMID)
{
    TWAVTag tag;
    tag.BEXT.Version = 2;
    tag.BEXT.UMID = "0a FF zz 7";
    tag.StoreBroadcastFields();
    EXPECT_EQ(tag.BEXT.UMID.substr(0, 12), "0A FF 00 07 ");
    // Version 0 has no UMID to show.
    PutLE16(tag.BEXTRecord.BEXTChunk.data() + 346, 0);
    DecodeBEXT(tag.BEXTRecord, tag.BEXT);
    EXPECT_EQ(tag.BEXT.UMID, "");
}

TEST(WAVTag, ID3v2InFrontStaysAndIsSkipped)
{
    const TBytes id3 = { 'I', 'D', '3', 3, 0, 0, 0, 0, 0, 5, 'T', 'I', 'T', '2', 0 };
    TBytes file = id3;
    Append(file, Riff({ Fmt(), Audio(), Info({ { "INAM", Bytes("x") } }) }));
    TMemoryStream stream(file);
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), "x");
    EXPECT_EQ(tag.AudioProperties().SampleCount, 50u);
    tag.SetTextFrameText("INAM", "y");
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    EXPECT_TRUE(std::equal(id3.begin(), id3.end(), stream.Bytes().begin()));
    EXPECT_EQ(GetLE32(stream.Bytes().data() + id3.size() + 4), stream.Size() - id3.size() - 8);
    TWAVTag back;
    ASSERT_EQ(back.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(back.ReadFrameByNameAsText("INAM"), "y");
}

TEST(WAVTag, SeveralInfoListsAndASecondBext)
{
    TMemoryStream stream(Riff({ Info({ { "INAM", Bytes("one") } }), Fmt(), Chunk("bext", BextData("first", "")),
        Audio(), Info({ { "IART", Bytes("two") } }), Chunk("bext", BextData("second", "")) }));
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.Count(), 2);
    EXPECT_EQ(tag.BEXT.Description, "first");
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    EXPECT_EQ(ChunkIds(stream), (std::vector<std::string> { "LIST/INFO", "bext", "fmt ", "data", "bext" }));
    TWAVTag back;
    ASSERT_EQ(back.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(back.ReadFrameByNameAsText("INAM"), "one");
    EXPECT_EQ(back.ReadFrameByNameAsText("IART"), "two");
}

TEST(WAVTag, InfoInsideAnotherList)
{
    TBytes inner = Bytes("wavl");
    Append(inner, Info({ { "ICMT", Bytes("nested") } }));
    TMemoryStream stream(Riff({ Fmt(), Chunk("LIST", inner), Audio() }));
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("ICMT"), "nested");
}

TEST(WAVTag, RefusedInputsLeaveTheStreamAlone)
{
    TBytes cut = Riff({ Fmt(), Audio(100) });
    cut.resize(cut.size() - 10);
    TBytes noDs64 = Riff({ Fmt(), Audio() });
    std::memcpy(noDs64.data(), "RF64", 4);
    const struct {
        const char* Name;
        TBytes Bytes;
        int Load, Save;
    } cases[] = {
        { "not wave", Bytes("RIFF\4\0\0\0AVI LIST"), wavNotWave, wavNotWave },
        { "mp3", Bytes("ID3\3\0\0\0\0\0\0\xFF\xFB"), wavNotWave, wavNotWave },
        { "cut off", cut, wavSuccess, wavBadStructure },
        { "rf64 without ds64", noDs64, wavSuccess, wavBadStructure },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemoryStream stream(c.Bytes);
        TWAVTag tag;
        EXPECT_EQ(tag.LoadFromStream(stream), c.Load);
        tag.AddTextFrame("INAM", "x");
        EXPECT_EQ(tag.SaveToStream(stream), c.Save);
        EXPECT_EQ(stream.Bytes(), c.Bytes);
    }
}

TEST(WAVTag, UnusualFormatChunks)
{
    // No "fmt ": nothing known. Block alignment and rate 0: nothing divided by them.
    TBytes zero;
    for (uint32_t v : { 0x00020001u, 0u, 0u, 0x00100000u })
        Append(zero, LE32(v));
    for (const TBytes& file : { Riff({ Audio() }), Riff({ Chunk("fmt ", zero), Audio() }) }) {
        TMemoryStream stream(file);
        TWAVTag tag;
        ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
        EXPECT_EQ(tag.AudioProperties().SamplesPerSec, 0u);
        EXPECT_EQ(tag.AudioProperties().SampleCount, 0u);
        EXPECT_EQ(tag.AudioProperties().PlayTime, 0);
    }
}

TEST(WAVTag, EmptyStreamBecomesAForm)
{
    TMemoryStream stream;
    TWAVTag tag;
    tag.AddTextFrame("INAM", "New");
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    TWAVTag back;
    ASSERT_EQ(back.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(back.ReadFrameByNameAsText("INAM"), "New");
    EXPECT_EQ(GetLE32(stream.Bytes().data() + 4), stream.Size() - 8);
}

// --- RF64 ---

TBytes RF64(const std::vector<TBytes>& chunks, uint64_t dataSize, uint64_t sampleCount)
{
    TBytes body = Bytes("WAVE");
    TBytes ds64;
    Append(ds64, LE64(0)); // set below
    Append(ds64, LE64(dataSize));
    Append(ds64, LE64(sampleCount));
    Append(ds64, LE32(0));
    Append(body, Chunk("ds64", ds64));
    for (const TBytes& c : chunks)
        Append(body, c);
    PutLE64(body.data() + 12, body.size());
    TBytes out = Bytes("RF64");
    Append(out, LE32(0xFFFFFFFF));
    Append(out, body);
    return out;
}

TEST(WAVTag, RF64DataOfUnknownSizeIsWalkedByItsDs64Size)
{
    TBytes data = Audio(30);
    PutLE32(data.data() + 4, 0xFFFFFFFF);
    TMemoryStream stream(RF64({ Fmt(), data, Info({ { "INAM", Bytes("behind") } }) }, 60, 0));
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(stream), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), "behind");
    EXPECT_EQ(tag.AudioProperties().SampleCount, 30u);
    tag.SetTextFrameText("INAM", "first");
    tag.BEXT.Originator = "me";
    ASSERT_EQ(tag.SaveToStream(stream), wavSuccess);
    EXPECT_EQ(ChunkIds(stream), (std::vector<std::string> { "ds64", "LIST/INFO", "bext", "fmt ", "data" }));
    EXPECT_TRUE(Contains(stream.Bytes(), data));
    EXPECT_EQ(GetLE32(stream.Bytes().data() + 4), 0xFFFFFFFFu);
    EXPECT_EQ(GetLE64(stream.Bytes().data() + 20), stream.Size() - 8);
}

// A stream of any size whose bytes are given at its start and end and are zero in between.
class TSparseStream final : public TStream {
public:
    TSparseStream(TBytes head, uint64_t gap, TBytes tail)
        : FHead(std::move(head))
        , FGap(gap)
        , FTail(std::move(tail))
    {
    }
    uint64_t Size() const override { return FHead.size() + FGap + FTail.size(); }
    uint64_t Position() const override { return FPosition; }
    bool Seek(uint64_t position) override
    {
        FPosition = position;
        return true;
    }
    size_t Read(void* buffer, size_t count) override
    {
        auto* out = static_cast<uint8_t*>(buffer);
        size_t n = 0;
        for (; n < count && FPosition < Size(); ++n, ++FPosition) {
            const uint64_t tailStart = FHead.size() + FGap;
            out[n] = FPosition < FHead.size() ? FHead[size_t(FPosition)]
                : FPosition >= tailStart      ? FTail[size_t(FPosition - tailStart)]
                                              : 0;
        }
        return n;
    }
    bool Write(const void*, size_t) override { return false; }
    bool Truncate(uint64_t) override { return false; }
    bool Replace(uint64_t, uint64_t, const void*, size_t) override { return false; }

private:
    TBytes FHead;
    uint64_t FGap;
    TBytes FTail;
    uint64_t FPosition = 0;
};

TEST(WAVTag, FormsBeyondFourGiB)
{
    constexpr uint64_t Huge = (uint64_t(5) << 30) + 2; // 5 GiB of audio
    const TBytes tail = Info({ { "INAM", Bytes("at the end") } });
    TBytes head = RF64({ Fmt() }, Huge, Huge / 2);
    Append(head, Bytes("data"));
    Append(head, LE32(0xFFFFFFFF));
    PutLE64(head.data() + 20, head.size() - 8 + Huge + tail.size());
    TSparseStream rf64(head, Huge, tail);

    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromStream(rf64), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), "at the end");
    EXPECT_EQ(tag.AudioProperties().SampleCount, Huge / 2);
    EXPECT_DOUBLE_EQ(tag.AudioProperties().PlayTime, double(Huge / 2) / 8000);
    tag.SetTextFrameText("INAM", "moved");
    TFileEdits edits;
    ASSERT_EQ(tag.PlanSave(rf64, edits), wavSuccess);
    std::vector<uint8_t> tagChunks;
    ASSERT_EQ(tag.CreateTagChunks(tagChunks), wavSuccess);
    ASSERT_EQ(edits.size(), 4u);
    EXPECT_EQ(edits[1].Offset, 20u);
    EXPECT_EQ(GetLE64(edits[1].Insert.data()), rf64.Size() - 8 - tail.size() + tagChunks.size());
    EXPECT_EQ(edits[2].Offset, 48u); // behind ds64
    EXPECT_EQ(edits[2].Insert, tagChunks);
    EXPECT_EQ(edits[3].Offset, head.size() + Huge);
    EXPECT_EQ(edits[3].RemoveLength, tail.size());

    // A RIFF form whose new size would not fit its 32-bit field.
    TBytes riff = Riff({ Fmt() });
    Append(riff, Bytes("data"));
    Append(riff, LE32(0xFFFFFFF0u - 4 - 24 - 8));
    PutLE32(riff.data() + 4, 0xFFFFFFF0u);
    TSparseStream big(riff, 0xFFFFFFF0u - 4 - 24 - 8, {});
    ASSERT_EQ(tag.LoadFromStream(big), wavSuccess);
    tag.SetTextFrameText("INAM", "too much");
    EXPECT_EQ(tag.PlanSave(big, edits), wavFormTooLarge);
}

// --- files and the unified model ---

TEST(WAVTag, ReadsFilesOfOtherWriters)
{
    const struct {
        const char* File;
        const char* Title;
        const char* Bext;
        const char* Cart;
    } cases[] = {
        { "info-ffmpeg.wav", "Info title", "", "" },
        { "info-ffmpeg.rf64", "RF64 title", "", "" },
        { "bext-ffmpeg.wav", "", "Bext description", "" },
        { "cart-after-audio.wav", "Odd", "", "Cart title" },
        { "id3-in-front.wav", "Odd", "", "" },
        { "id3-mutagen.wav", "", "", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.File);
        TWAVTag tag;
        ASSERT_EQ(tag.LoadFromFile(Fixture(std::string("wav/") + c.File)), wavSuccess);
        EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), c.Title);
        EXPECT_EQ(tag.BEXT.Description, c.Bext);
        EXPECT_EQ(tag.CART.Title, c.Cart);
        EXPECT_EQ(tag.AudioProperties().SampleCount, 801u);
        EXPECT_EQ(tag.AudioProperties().BitsPerSample, 8);
    }
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromFile(Fixture("wav/info-ffmpeg.wav")), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("ICMT"), "Caf\xC3\xA9");
    ASSERT_EQ(tag.LoadFromFile(Fixture("wav/bext-ffmpeg.wav")), wavSuccess);
    EXPECT_EQ(tag.BEXT.OriginationDate, "2020-01-02");
    EXPECT_EQ(tag.BEXT.TimeReference, 123456u);
    EXPECT_EQ(tag.BEXT.CodingHistory, "A=PCM,F=8000,W=8,M=mono");
    ASSERT_EQ(tag.LoadFromFile(Fixture("wav/cart-after-audio.wav")), wavSuccess);
    EXPECT_EQ(tag.CART.PostTimers[0].Usage, "MRK ");
    EXPECT_EQ(tag.CART.PostTimers[0].Value, 4000u);
    EXPECT_EQ(tag.CART.URL, "http://example.org/");
    EXPECT_EQ(tag.CART.TagText, "tag text");
}

TEST(WAVTag, FilesSavedWholeOrNotAtAll)
{
    const auto dir = ScratchDir("WAVTag.Files");
    const std::string path = (dir / "a.wav").string();
    const TBytes original = Riff({ Fmt(), Audio(), Info({ { "INAM", Bytes("old") } }) });
    WriteBytes(path, original);
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wavSuccess);
    EXPECT_EQ(tag.FileName, path);
    tag.SetTextFrameText("INAM", "new");
    ASSERT_EQ(tag.SaveToFile(path), wavSuccess);
    ASSERT_EQ(tag.LoadFromFile(path), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);

    const std::string created = (dir / "new.wav").string();
    ASSERT_EQ(tag.SaveToFile(created), wavSuccess);
    TWAVTag back;
    ASSERT_EQ(back.LoadFromFile(created), wavSuccess);
    EXPECT_EQ(back.ReadFrameByNameAsText("INAM"), "new");

    EXPECT_EQ(back.LoadFromFile((dir / "missing.wav").string()), wavCannotOpen);
    if (::geteuid() != 0) {
        std::filesystem::permissions(path, std::filesystem::perms::owner_read);
        const TBytes before = ReadBytes(path);
        tag.SetTextFrameText("INAM", "refused");
        EXPECT_EQ(tag.SaveToFile(path), wavCannotWrite);
        EXPECT_EQ(ReadBytes(path), before);
    }
}

TEST(WAVTag, UnifiedModelReadsAndWritesTheChunks)
{
    const auto dir = ScratchDir("WAVTag.Tags");
    const std::string path = (dir / "a.wav").string();
    WriteBytes(path,
        Riff({ Fmt(), Audio(), Info({ { "INAM", Bytes("Title") }, { "ITRK", Bytes("3/9") } }),
            Chunk("bext", BextData("Desc", "hist")) }));
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
        EXPECT_EQ(tags.GetTag("TITLE"), "Title");
        EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "3");
        EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "9");
        EXPECT_EQ(tags.GetTag("BEXT Description"), "Desc");
        EXPECT_EQ(tags.GetTag("BEXT CodingHistory"), "hist");
        EXPECT_EQ(tags.SourceAudioAttributes->SamplesPerSec(), 8000u);
        tags.Add("ARTIST")->Value = "A";
        tags.Add("ARTIST")->Value = "B";
        tags.SetTag("BEXT Description", "New desc");
        tags.SetTag("CART Title", "Cart title");
        ASSERT_EQ(tags.SaveToFile(path, ttWAV), tlSuccess);
    }
    TWAVTag tag;
    ASSERT_EQ(tag.LoadFromFile(path), wavSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("IART"), "A, B");
    EXPECT_EQ(tag.ReadFrameByNameAsText("INAM"), "Title");
    EXPECT_EQ(tag.BEXT.Description, "New desc");
    EXPECT_EQ(tag.BEXT.CodingHistory, "hist");
    EXPECT_EQ(tag.CART.Title, "Cart title");

    // An assigned copy keeps the broadcast chunks.
    TTags loaded, copy;
    ASSERT_EQ(loaded.LoadFromFile(path), tlSuccess);
    ASSERT_TRUE(copy.Assign(loaded));
    EXPECT_EQ(copy.GetTag("BEXT Description"), "New desc");
    ASSERT_EQ(copy.SaveToFile(path, ttWAV), tlSuccess);
    ASSERT_EQ(tag.LoadFromFile(path), wavSuccess);
    EXPECT_EQ(tag.BEXT.CodingHistory, "hist");
}

TEST(WAVTag, ChunksWhoseFieldsWereAllDeletedGoAway)
{
    // Bytes behind a text's NUL and reserved bytes say nothing: once every field is deleted the
    // bext and cart chunks go, instead of loading again as empty fields and a default version.
    TBytes cart = CartData("Cut", "");
    std::memcpy(cart.data() + 4 + 4, "junk", 4); // behind the title's NUL
    const TBytes audio = Audio();
    TMemoryStream stream(Riff({ Fmt(), audio, Chunk("bext", BextData("Desc", "")), Chunk("cart", cart) }));
    TTags tags;
    ASSERT_EQ(tags.LoadFromStream(stream), tlSuccess);
    ASSERT_GT(tags.Count(), 0);
    while (tags.Count() > 0)
        tags.Delete(tags.Count() - 1);
    ASSERT_EQ(tags.SaveToStream(stream, ttWAV), tlSuccess);
    EXPECT_EQ(ChunkIds(stream), (std::vector<std::string> { "fmt ", "data" }));
    EXPECT_TRUE(Contains(stream.Bytes(), audio));
    TTags back;
    ASSERT_EQ(back.LoadFromStream(stream), tlSuccess);
    EXPECT_EQ(back.Count(), 0);
}

} // namespace
} // namespace vantor
