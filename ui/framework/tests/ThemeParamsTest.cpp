#include "ui/framework/ThemeParams.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(ThemeParams, FindsTheFirstOccurrenceIgnoringCase)
{
    std::string_view const value = "margins(Left[1]) Margins(Left[2])";
    EXPECT_EQ(FindThemeParam(value, "MARGINS", '('), "Left[1]");
    // The name must be followed directly by the bracket asked for.
    EXPECT_EQ(FindThemeParam("Size (3) Size[4] Size(5)", "Size", '('), "5");
    EXPECT_EQ(FindThemeParam("FontSize(9) Size(5)", "Size", '('), "9");
    EXPECT_FALSE(FindThemeParam("Name(x)", "Size", '(').has_value());
    EXPECT_FALSE(FindThemeParam("Size", "Size", '(').has_value());
}

TEST(ThemeParams, ContentFollowsNestingOfTheSameBracketAndMayRunToTheEnd)
{
    EXPECT_EQ(FindThemeParam("Name(a(b)c) Size(2)", "Name", '('), "a(b)c");
    EXPECT_EQ(FindThemeParam("Name(a[b)c", "Name", '('), "a[b");
    EXPECT_EQ(FindThemeParam("Name(a(b)c", "Name", '('), "a(b)c");
    EXPECT_EQ(FindThemeParam("Name(", "Name", '('), "");
    EXPECT_EQ(FindThemeParam("Margins(Left[1] Top[[2]] Right[3]", "Top", '['), "[2]");
}

TEST(ThemeParams, AbsentEmptyOrSingleSpaceTakesTheDefault)
{
    EXPECT_EQ(ThemeParamText("Other(x)", "Name", '(', "dflt"), "dflt");
    EXPECT_EQ(ThemeParamText("Name()", "Name", '(', "dflt"), "dflt");
    EXPECT_EQ(ThemeParamText("Name( )", "Name", '(', "dflt"), "dflt");
    EXPECT_EQ(ThemeParamText("Name(  )", "Name", '(', "dflt"), "  ");
    EXPECT_EQ(ThemeParamText("Name(Open Sans)", "Name", '(', "dflt"), "Open Sans");
    EXPECT_EQ(ThemeParamInt("Size()", "Size", '(', 12), 12);
    EXPECT_EQ(ThemeParamInt("Size( )", "Size", '(', 12), 12);
}

TEST(ThemeParams, NumbersAreSigned32BitDecimalOrDollarHex)
{
    struct {
        const char* Text;
        int32_t Expected; // 77 is the default, given for malformed numbers
    } const cases[] = {
        { "11", 11 },
        { " -921103 ", -921103 },
        { "+5", 5 },
        { "$FFF1F1F1", -921103 },
        { "$ffececec", int32_t(0xFFECECEC) },
        { "$7FFFFFFF", 2147483647 },
        { "-2147483648", -2147483647 - 1 },
        { "2147483648", 77 },
        { "$100000000", 77 },
        { "$", 77 },
        { "$-1", 77 },
        { "0x10", 77 },
        { "12x", 77 },
        { "1.5", 77 },
        { "+-5", 77 },
        { "--5", 77 },
        { "", 77 },
    };
    for (auto const& c : cases)
        EXPECT_EQ(ThemeParamInt(std::string("Size(") + c.Text + ")", "Size", '(', 77), c.Expected) << c.Text;
}

}
}
