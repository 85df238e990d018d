#include "tags/ogg/OggPacketReader.h"
#include "tags/ogg/OggStream.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using test::Fixture;
using test::ReadBytes;

// A template page header: serial 7, page 1.
TMemoryStream TemplatePage(uint32_t serial = 7)
{
    TOggHeader header;
    std::copy_n("OggS", 4, header.ID);
    header.Serial = serial;
    header.PageNumber = 1;
    TMemoryStream stream(header.Encode());
    return stream;
}

std::vector<uint8_t> Pattern(size_t size)
{
    std::vector<uint8_t> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = uint8_t(i * 31 + 7);
    return bytes;
}

// Splits a run of pages into their headers.
std::vector<TOggHeader> Pages(const std::vector<uint8_t>& bytes)
{
    std::vector<TOggHeader> pages;
    for (size_t at = 0; at < bytes.size();) {
        pages.push_back(DecodeOggHeader(bytes.data() + at, bytes.size() - at));
        EXPECT_TRUE(OggPageCrcValid(bytes.data() + at, pages.back().PageSize()));
        at += pages.back().PageSize();
    }
    return pages;
}

TEST(OggPacking, PageLayoutOfOnePacket)
{
    struct TCase {
        size_t Size;
        size_t Bytes;
        std::vector<size_t> LacingCounts;
    } cases[] = {
        { 5, 33, { 1 } },
        { 255, 284, { 2 } },
        { 4335, 27 + 18 + 4335, { 18 } },
        { 4336, 27 + 17 + 4335 + 27 + 1 + 1, { 17, 1 } },
        { 0, 28, { 1 } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Size);
        TMemoryStream page = TemplatePage();
        TOGGStream ogg(page);
        TMemoryStream packet(Pattern(c.Size)), out;
        EXPECT_EQ(ogg.CreateTagStream(packet, out, 3), int(c.LacingCounts.size()));
        EXPECT_EQ(out.Size(), c.Bytes);
        EXPECT_EQ(TOGGStream::CalculateWrappedStreamSize(c.Size), c.Bytes);
        const auto pages = Pages(out.Bytes());
        ASSERT_EQ(pages.size(), c.LacingCounts.size());
        for (size_t i = 0; i < pages.size(); ++i) {
            EXPECT_EQ(pages[i].Segments, c.LacingCounts[i]);
            EXPECT_EQ(pages[i].PageNumber, 3 + i);
            EXPECT_EQ(pages[i].Serial, 7u);
            EXPECT_EQ(pages[i].AbsolutePosition, 0u);
            EXPECT_EQ(pages[i].TypeFlag, i > 0 ? OggContinued : 0);
        }
    }
    for (size_t size : { 1000u, 8670u, 8671u, 100000u }) {
        TMemoryStream page = TemplatePage();
        TOGGStream ogg(page);
        TMemoryStream packet(Pattern(size)), out;
        ogg.CreateTagStream(packet, out, 1);
        EXPECT_EQ(out.Size(), TOGGStream::CalculateWrappedStreamSize(size)) << size;
    }
}

TEST(OggPacking, TwoPacketsReadBackAsTheyWere)
{
    for (auto [first, second] :
        { std::pair<size_t, size_t> { 100, 3000 }, { 5000, 60 }, { 4335, 255 }, { 10, 70000 } }) {
        SCOPED_TRACE(first);
        TMemoryStream page = TemplatePage();
        TOGGStream ogg(page);
        std::vector<uint8_t> bytes = Pattern(first + second);
        TMemoryStream packets(bytes), out;
        const int count = ogg.CreateTagStreamVorbis(first, packets, out);
        ASSERT_GT(count, 0);
        EXPECT_EQ(out.Size(), TOGGStream::CalculateWrappedStreamSizeVorbis(first, first + second));
        EXPECT_EQ(Pages(out.Bytes()).size(), size_t(count));
        TOggPacketReader reader(out, 0);
        std::vector<uint8_t> a, b;
        ASSERT_TRUE(reader.NextPacket(a));
        ASSERT_TRUE(reader.NextPacket(b));
        EXPECT_TRUE(std::equal(a.begin(), a.end(), bytes.begin()));
        EXPECT_TRUE(std::equal(b.begin(), b.end(), bytes.begin() + ptrdiff_t(first)));
        EXPECT_TRUE(reader.PacketEndsPage());
        EXPECT_EQ(reader.PageEnd(), out.Size());
    }
}

TEST(OggRenumber, NumbersOwnPagesRewritesEveryCrcAndKeepsTheRest)
{
    TMemoryStream page = TemplatePage(7);
    TOGGStream ogg(page);
    TMemoryStream source;
    for (uint32_t serial : { 7u, 9u, 7u }) {
        TMemoryStream other = TemplatePage(serial);
        TOGGStream maker(other);
        TMemoryStream packet(Pattern(300));
        maker.CreateTagStream(packet, source, 5);
    }
    // A damaged CRC on the first page, and trailing bytes that are no page.
    source.Bytes()[22] ^= 0xFF;
    const std::vector<uint8_t> tail = { 'T', 'A', 'G', 1, 2, 3 };
    test::Append(source.Bytes(), tail);
    source.Seek(0);
    TMemoryStream out;
    ASSERT_TRUE(ogg.ReNumberPages(5, source, out));
    ASSERT_EQ(out.Size(), source.Size());
    const std::vector<uint8_t> bytes(out.Bytes().begin(), out.Bytes().end() - 6);
    const auto pages = Pages(bytes);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].PageNumber, 5u);
    EXPECT_EQ(pages[1].PageNumber, 5u); // another stream: unchanged
    EXPECT_EQ(pages[2].PageNumber, 6u);
    EXPECT_TRUE(std::equal(tail.begin(), tail.end(), out.Bytes().end() - 6));
}

TEST(OggCrc, EveryPageOfAnEncodedFileChecks)
{
    const std::vector<uint8_t> bytes = ReadBytes(Fixture("ogg/vorbis.ogg"));
    size_t pages = 0;
    for (size_t at = 0; at < bytes.size(); ++pages) {
        const TOggHeader header = DecodeOggHeader(bytes.data() + at, bytes.size() - at);
        ASSERT_TRUE(header.HasCapturePattern());
        EXPECT_TRUE(OggPageCrcValid(bytes.data() + at, header.PageSize()));
        at += header.PageSize();
    }
    EXPECT_GT(pages, 2u);
}

TEST(OggReading, PagesCutShortEndPromptly)
{
    // A page that claims 255 lacing values of 255 right at the end of the input.
    TOggHeader header;
    std::copy_n("OggS", 4, header.ID);
    header.Segments = 255;
    std::fill(std::begin(header.LacingValues), std::end(header.LacingValues), 255);
    std::vector<uint8_t> bytes = header.Encode();
    bytes.resize(27 + 10, 255);
    TMemoryStream stream(bytes), sink;
    TOGGStream ogg(stream);
    EXPECT_FALSE(ogg.GetNextPage(sink));
    EXPECT_FALSE(ogg.GetPage(1, sink));
    TOggPacketReader reader(stream, 0);
    std::vector<uint8_t> packet;
    EXPECT_FALSE(reader.NextPacket(packet));
    EXPECT_EQ(sink.Size(), 0u);
}

TEST(OggReading, PagesByOrdinal)
{
    TMemoryStream file(ReadBytes(Fixture("ogg/opus.opus")));
    TOGGStream ogg(file);
    TMemoryStream first, second;
    ASSERT_TRUE(ogg.GetPageData(1, first));
    EXPECT_EQ(std::string(first.Bytes().begin(), first.Bytes().begin() + 8), "OpusHead");
    ASSERT_TRUE(ogg.GetPage(2, second));
    EXPECT_EQ(std::string(second.Bytes().begin() + 28, second.Bytes().begin() + 36), "OpusTags");
    EXPECT_FALSE(ogg.GetPage(10000, second));
}

} // namespace
} // namespace vantor
