#include "base/IniValues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vantor {
namespace {

TEST(IniValues, Integers)
{
    struct Case {
        char const* text;
        int32_t expected;
    };
    Case const cases[] = {
        { "0", 0 },
        { "42", 42 },
        { "-17", -17 },
        { "+5", 5 },
        { "  12 ", 12 },
        { "$1F", 31 },
        { "$ff", 255 },
        { "0x400", 1024 },
        { "0X1a", 26 },
        { "-$10", -16 },
        { "$FFFFFFFF", -1 }, // hex fills the 32 bits
        { "$FFF1F1F1", -921103 },
        { "2147483647", 2147483647 },
        { "-2147483648", INT32_MIN },
        // unparsable: the default (7)
        { "", 7 },
        { "abc", 7 },
        { "0x", 7 }, // "0x" needs more than two characters
        { "$", 7 },
        { "12abc", 7 },
        { "1.5", 7 },
        { "2147483648", 7 }, // does not fit
        { "-2147483649", 7 },
        { "$100000000", 7 },
        { "--1", 7 },
        { "1 2", 7 },
    };
    for (Case const& c : cases)
        EXPECT_EQ(ParseIniInteger(c.text, 7), c.expected) << '"' << c.text << '"';
}

TEST(IniValues, Int64AndBooleans)
{
    EXPECT_EQ(ParseIniInt64("5000000000", 0), 5000000000LL);
    EXPECT_EQ(ParseIniInt64("-9223372036854775808", 0), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(ParseIniInt64("9223372036854775808", 3), 3);
    EXPECT_EQ(ParseIniInt64("$FFFFFFFFFFFFFFFF", 0), -1);

    EXPECT_TRUE(ParseIniBool("1", false));
    EXPECT_TRUE(ParseIniBool("2", false));
    EXPECT_TRUE(ParseIniBool("-1", false));
    EXPECT_FALSE(ParseIniBool("0", true));
    EXPECT_FALSE(ParseIniBool("abc", false));
    EXPECT_TRUE(ParseIniBool("abc", true));
    EXPECT_TRUE(ParseIniBool("true", true)); // not an integer: the default
    EXPECT_EQ(FormatIniBool(true), "1");
    EXPECT_EQ(FormatIniBool(false), "0");
}

TEST(IniValues, FloatsParse)
{
    struct Case {
        char const* text;
        double expected;
    };
    Case const cases[] = {
        { "0.5", 0.5 },
        { "0,5", 0.5 }, // written under a decimal-comma locale
        { "-1", -1.0 },
        { "+2.25", 2.25 },
        { " 1.5 ", 1.5 },
        { "1E20", 1e20 },
        { "1.5E-5", 1.5e-5 },
        { "-0,25", -0.25 },
        { ".5", 0.5 },
        // the default (9)
        { "", 9 },
        { "abc", 9 },
        { "1.2.3", 9 },
        { "1,2,3", 9 },
        { "1,5.0", 9 },
        { "1e999", 9 },
        { "inf", 9 },
        { "nan", 9 },
        { "+-1", 9 },
        { "0x10", 9 },
    };
    for (Case const& c : cases)
        EXPECT_DOUBLE_EQ(ParseIniFloat(c.text, 9), c.expected) << '"' << c.text << '"';
}

TEST(IniValues, FloatsFormatShortestAndRoundTrip)
{
    EXPECT_EQ(FormatIniFloat(0.5), "0.5");
    EXPECT_EQ(FormatIniFloat(0.0), "0");
    EXPECT_EQ(FormatIniFloat(-1.0), "-1");
    EXPECT_EQ(FormatIniFloat(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatIniFloat(0.1), "0.1");
    EXPECT_EQ(FormatIniFloat(1e20), "1E20");
    EXPECT_EQ(FormatIniFloat(1.5e-5), "1.5E-5");
    for (double const v : { 0.4, 0.75, -0.3, 123456.789, 1e-10, 2.5e15 })
        EXPECT_DOUBLE_EQ(ParseIniFloat(FormatIniFloat(v), 0), v) << v;
    EXPECT_EQ(FormatIniInteger(-42), "-42");
}

}
}
