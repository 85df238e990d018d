#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

namespace vantor {
namespace {

// Each shipped theme: its folder and the name it gives itself.
struct TShipped {
    const char* Folder;
    const char* Name;
};

void PrintTo(const TShipped& shipped, std::ostream* out) { *out << shipped.Folder; }

class DefaultTheme : public testing::TestWithParam<TShipped> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(theme.Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/" + GetParam().Folder + "/ThemeData.qxs"));
    }
    TThemeManager theme;
};

TEST_P(DefaultTheme, GivesEveryImageTheViewsDraw)
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

TEST_P(DefaultTheme, GivesEveryFontAndColourInItsOwnFamily)
{
    for (std::string_view key : SkinFontKeys) {
        TFont const* font = theme.GetFont(key);
        ASSERT_NE(font, nullptr) << key;
        EXPECT_EQ(font->Name, "Open Sans") << key;
    }
    for (std::string_view key : SkinColorKeys)
        EXPECT_NE(theme.GetSkinData(key), nullptr) << key;
    EXPECT_EQ(theme.Info().Name, GetParam().Name);
    EXPECT_EQ(theme.Info().Author, "the Vantor team");
}

// Relative luminance of an sRGB colour, and the contrast of two luminances, as accessibility
// guidelines define them.
double Luminance(uint32_t argb)
{
    auto channel = [](uint32_t value) {
        double const c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel((argb >> 16) & 0xFF) + 0.7152 * channel((argb >> 8) & 0xFF) + 0.0722 * channel(argb & 0xFF);
}

double Contrast(uint32_t a, uint32_t b)
{
    double const la = Luminance(a);
    double const lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Every text the views draw is readable on every background it is drawn on: the images are
// drawn in the order the views draw them over the list's colour, and the middle is compared
// with the font's colour.
TEST_P(DefaultTheme, TextContrastsWithItsBackgroundsAtLeast4_5To1)
{
    struct TCase {
        const char* Font;
        std::initializer_list<const char*> Backgrounds;
    };
    using namespace skin;
    TCase const cases[] = {
        { fonts::ControlBar_Song_Title, { controls::ControlBar_Back } },
        { fonts::ControlBar_Song_Artist, { controls::ControlBar_Back } },
        { fonts::Item_Title, { controls::Track_Back } },
        { fonts::Item_Title, { controls::Track_Back, controls::PlayListItem_Progress } },
        { fonts::Item_Title2, { controls::Track_Back } },
        { fonts::Item_Title2, { controls::Track_Back, controls::PlayListItem_Progress } },
        { fonts::Queue_Number, { controls::Track_Back, controls::Track_Left } },
        { fonts::Group_Title, {} },
        { fonts::Group_Second_Title, {} },
        { fonts::GroupButton_Title, { controls::GroupBar_Back } },
        { fonts::ProgressBar_Song_TimeDisplay, { controls::TrackProgress_Back } },
        { fonts::ProgressBar_Song_TimeDisplay, { controls::TrackProgress_Back, controls::ProgressProgress } },
        { fonts::TrackProgress_Loading, { controls::TrackProgress_Back, controls::TrackProgress_Back_Loading } },
        { fonts::VolumeProgress_Volume, { controls::VolumeProgress_Back, controls::VolumeProgress_Back_Level } },
        { fonts::VolumeProgress_Volume, { controls::VolumeProgress_Back, controls::VolumeProgress_Muted } },
        { fonts::Menu_Tip, { controls::Menu_Tip_Back } },
        { fonts::GroupLetter_Caption, { controls::Alphabet_Panel_Back } },
        { fonts::GroupLetter_Caption, { controls::Alphabet_Panel_Back, controls::PLayerButtonActive } },
        { fonts::GroupLetter_Caption, { controls::Alphabet_Panel_Back, controls::PLayerButtonPressed } },
        { fonts::Tab_Selected_Normal, { controls::TabBar_Back } },
        { fonts::Tab_Selected_Active, { controls::TabBar_Back, controls::TabBar_Tab_Active } },
        { fonts::MenuPanel_Top_Title, { controls::MenuPanel_Back, controls::MenuPanel_Top } },
        { fonts::Menu_Item_Title, { controls::MenuPanel_Back, controls::PlayListItem } },
        { fonts::Menu_Item_Title, { controls::MenuPanel_Back, controls::ListItem } },
        { fonts::Menu_Item_Desc, { controls::MenuPanel_Back, controls::PlayListItem } },
        { fonts::Menu_Item_Desc, { controls::MenuPanel_Back, controls::ListItem } },
        { fonts::Settings_MenuItem, { controls::MenuPanel_Back, controls::PlayListItem } },
        { fonts::Settings_MenuItem, { controls::MenuPanel_Back, controls::ListItem } },
        { fonts::Settings_vantor, { controls::MenuPanel_Back, controls::Search_Top_Back } },
        { fonts::Settings_Version, { controls::MenuPanel_Back, controls::Search_Top_Back } },
        { fonts::Lyrics_Text, { controls::MenuPanel_Back } },
        { fonts::Eq_Desc, { controls::Eq_Back, controls::Eq_Back_Bottom } },
        { fonts::Eq_Scale, { controls::Eq_Back, controls::Eq_Curve_Back } },
        { fonts::Item_Title, { controls::MenuPanel_Back, controls::PlayListItem } },
        { fonts::Item_Title2, { controls::MenuPanel_Back, controls::PlayListItem } },
        { fonts::Lyrics_Current, { controls::MenuPanel_Back } },
    };
    for (TCase const& c : cases) {
        TBitmap canvas(200, 200);
        canvas.FillRect({ 0, 0, 200, 200 }, theme.Color(colors::Playlist_Back));
        std::string name;
        for (const char* background : c.Backgrounds) {
            theme.Draw(background, canvas, background, { 0, 0, 200, 200 });
            name += std::string(" on ") + background;
        }
        TFont const* const font = theme.GetFont(c.Font);
        ASSERT_NE(font, nullptr) << c.Font;
        EXPECT_GE(Contrast(font->Color, canvas.PixelAt(100, 100)), 4.5) << c.Font << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Shipped, DefaultTheme,
    testing::Values(TShipped { "default", "Default" }, TShipped { "light", "Light" }),
    [](const testing::TestParamInfo<TShipped>& info) { return std::string(info.param.Folder); });

}
}
