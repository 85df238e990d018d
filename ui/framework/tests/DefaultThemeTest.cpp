#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"

#include <gtest/gtest.h>

#include <string>

namespace vantor {
namespace {

class DefaultTheme : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(theme.Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs")); }
    TThemeManager theme;
};

TEST_F(DefaultTheme, GivesEveryImageTheViewsDraw)
{
    for (std::string_view key : SkinImageKeys) {
        TSkinData const* data = theme.GetSkinData(key);
        ASSERT_NE(data, nullptr) << key;
        EXPECT_EQ(data->sdStatus, TSkindataStatus::sdReady) << key;
        EXPECT_FALSE(data->sdImage.IsEmpty()) << key;
        if (data->sdMode == TResizeMode::rmFull) {
            // Margins leave a middle to stretch.
            EXPECT_LT(data->sdMargins.Left + data->sdMargins.Right, data->sdImage.Width()) << key;
            EXPECT_LT(data->sdMargins.Top + data->sdMargins.Bottom, data->sdImage.Height()) << key;
        }
    }
}

TEST_F(DefaultTheme, GivesEveryFontAndColourInItsOwnFamily)
{
    for (std::string_view key : SkinFontKeys) {
        TFont const* font = theme.GetFont(key);
        ASSERT_NE(font, nullptr) << key;
        EXPECT_EQ(font->Name, "Open Sans") << key;
    }
    for (std::string_view key : SkinColorKeys)
        EXPECT_NE(theme.GetSkinData(key), nullptr) << key;
    EXPECT_EQ(theme.Info().Name, "Default");
    EXPECT_EQ(theme.Info().Author, "the Vantor team");
}

}
}
