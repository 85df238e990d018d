#include "base/CaseFold.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(CaseFold, FoldsAsciiAndUnicode)
{
    struct Case {
        char const* a;
        char const* b;
        bool equal;
    };
    Case const cases[] = {
        { "Menu.PlayQueue", "menu.playqueue", true },
        { "#Settings", "#SETTINGS", true },
        { "Äpfel", "äPFEL", true },
        { "Straße", "STRASSE", true }, // full folding, different lengths
        { "ΣΊΣΥΦΟΣ", "σίσυφος", true },
        { "abc", "abd", false },
        { "abc", "abcd", false },
        { "\xFF"
          "A",
            "\xFF"
            "a",
            true }, // invalid UTF-8: ASCII bytes still fold
        { "\xFF"
          "A",
            "\xFE"
            "a",
            false },
        { "", "", true },
    };
    for (Case const& c : cases)
        EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(FoldCase("ÉTOILE"), "étoile");
}

}
}
