#include "library/LrcLyrics.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vantor {
namespace {

using TLines = std::vector<std::pair<int64_t, std::string>>;

TLines Parse(std::string_view text)
{
    TLines lines;
    for (TLrcLine const& line : ParseLrc(text))
        lines.emplace_back(line.TimeMs, line.Text);
    return lines;
}

TEST(LrcLyrics, ReadsStampsTagsAndLineEnds)
{
    struct TCase {
        const char* Name;
        std::string Text;
        TLines Expected;
    } const cases[] = {
        { "stamp forms", "[01:02]a\n[01:02.5]b\n[01:02.34]c\n[01:02.345]d\n[1:02:34]e\n[01:02.3456789]f\n",
            { { 62000, "a" }, { 62340, "c" }, { 62340, "e" }, { 62345, "d" }, { 62345, "f" }, { 62500, "b" } } },
        { "several stamps repeat a line in time order", "[00:30.00][00:10.00] Chorus \n[00:20.00]Verse",
            { { 10000, "Chorus" }, { 20000, "Verse" }, { 30000, "Chorus" } } },
        { "tags are not shown; offset moves every line, never below 0",
            "[ar:Someone]\n[ti:Song: the title]\n[00:00.20]one\n[offset:+500]\n[00:01.00]two\n",
            { { 0, "one" }, { 500, "two" } } },
        { "a negative offset shows lines later", "[offset: -250]\n[00:01.00]x", { { 1250, "x" } } },
        { "an empty stamped line marks a pause", "[00:01]sing\n[00:03]\n", { { 1000, "sing" }, { 3000, "" } } },
        { "BOM and CR LF, CR and LF mixed", "\xEF\xBB\xBF[00:01]a\r\n[00:02]b\r[00:03]c\n\n[00:04]d",
            { { 1000, "a" }, { 2000, "b" }, { 3000, "c" }, { 4000, "d" } } },
        { "invalid UTF-8 is replaced", "[00:01]a\xFF\xC0z", { { 1000, "a\xEF\xBF\xBD\xEF\xBF\xBDz" } } },
        { "a broken stamp ends the stamps; its text is the line's", "[00:01][00:02\n[00:03][xx]b\n[00:04]c",
            { { 1000, "[00:02" }, { 3000, "[xx]b" }, { 4000, "c" } } },
        { "plain lyrics with a heading and a stray stamp are not timed", "[Chorus]\nla la\nlo lo\n[00:10]hm\nmore\n",
            {} },
        { "no stamps at all", "just words\n", {} },
        { "only tags", "[ar:a]\n[ti:b]", {} },
        { "empty", "", {} },
    };
    for (auto const& c : cases)
        EXPECT_EQ(Parse(c.Text), c.Expected) << c.Name;
}

TEST(LrcLyrics, RefusesStampsOutOfRange)
{
    struct TCase {
        const char* Stamp;
        bool Valid;
    } const cases[] = {
        { "[999999:59.999]", true },
        { "[1000000:00]", false },
        { "[99999999999999999999999:00]", false },
        { "[00:60]", false },
        { "[00:100]", false },
        { "[-1:00]", false },
        { "[00:01.]", false },
        { "[00:01.1234567890]", false },
        { "[00:01.1x]", false },
        { "[:01]", false },
        { "[00]", false },
    };
    for (auto const& c : cases) {
        TLines const lines = Parse(std::string(c.Stamp) + "x\n");
        EXPECT_EQ(lines.size(), c.Valid ? 1u : 0u) << c.Stamp;
    }
    EXPECT_EQ(Parse("[999999:59.999]x"), (TLines { { 59999999999, "x" } }));
    // An offset too long to be a number is left alone.
    EXPECT_EQ(Parse("[offset:99999999999999999999]\n[00:01]x"), (TLines { { 1000, "x" } }));
}

TEST(LrcLyrics, ManyStampsOnALongLineStayBoundedByTheInput)
{
    std::string text;
    for (int n = 0; n < 20000; ++n)
        text += "[00:01]";
    text += std::string(100000, 'a');
    size_t bytes = 0;
    for (TLrcLine const& line : ParseLrc(text))
        bytes += line.Text.size();
    EXPECT_GT(bytes, 0u);
    EXPECT_LE(bytes, text.size() * 4 + 4096);
}

TEST(LrcLyrics, FindsTheLineSungAtAPosition)
{
    std::vector<TLrcLine> const lines = ParseLrc("[00:01]a\n[00:02]b\n[00:02]c\n[00:05]d\n");
    struct TCase {
        int64_t Position;
        int Line;
    } const cases[] = { { 0, -1 }, { 999, -1 }, { 1000, 0 }, { 1999, 0 }, { 2000, 2 }, { 4999, 2 }, { 5000, 3 },
        { 1 << 30, 3 } };
    for (auto const& c : cases)
        EXPECT_EQ(LrcLineAt(lines, c.Position), c.Line) << c.Position;
    EXPECT_EQ(LrcLineAt({}, 1000), -1);
}

}
}
