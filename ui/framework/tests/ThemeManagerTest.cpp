#include "ui/framework/ThemeManager.h"

#include "platform/graphics/TextRenderer.h"
#include "ui/framework/UIScale.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace vantor {
namespace {

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, Yellow = 0xFFFFFF00, Grey = 0xFF808080,
                   White = 0xFFFFFFFF;

std::string ThemeFile(const std::string& folder)
{
    return std::string(VANTOR_TEST_DATA) + "/theme/themes/" + folder + "/ThemeData.qxs";
}

class ThemeManager : public testing::Test {
protected:
    void SetUp() override
    {
        SetUIScale(1.0);
        theme.UnknownAuthor = "nobody known";
        ASSERT_TRUE(theme.Load(ThemeFile("basic")));
    }
    void TearDown() override { SetUIScale(1.0); }

    TThemeManager theme;
};

TEST_F(ThemeManager, LoadsImagesFontsAndColoursIntoGroups)
{
    ASSERT_EQ(theme.ssDataList.size(), 4u);
    EXPECT_EQ(theme.ssDataList[0]->sgID, "Controls");
    EXPECT_EQ(theme.ssDataList[1]->sgID, "Icons");
    EXPECT_EQ(theme.ssDataList[2]->sgID, "Fonts");
    EXPECT_EQ(theme.ssDataList[3]->sgID, "Color");

    TSkinData const* panel = theme.GetSkinData("Controls:Panel");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->sdMode, TResizeMode::rmFull);
    EXPECT_EQ(panel->sdMargins, (TRect { 8, 8, 8, 8 }));
    EXPECT_EQ(panel->sdStatus, TSkindataStatus::sdReady);
    EXPECT_EQ(theme.GetSkinData("Controls:Panel.Offset")->sdOffset, (TRect { 4, 2, 4, 6 }));

    TSkinData const* stretch = theme.GetSkinData("Controls:ControlBar.Back");
    ASSERT_NE(stretch, nullptr);
    EXPECT_EQ(stretch->sdMode, TResizeMode::rmStretch);
    EXPECT_EQ(stretch->sdMargins, (TRect { 10, 10, 10, 10 }));
    ASSERT_EQ(stretch->sdCachedList.size(), 1u);
    EXPECT_EQ(stretch->sdCachedList[0]->ciID, "default");

    // ".png" is taken out in any case; files without ".png" in lower case and folders are skipped.
    EXPECT_NE(theme.GetSkinData("Controls:Upper"), nullptr);
    EXPECT_EQ(theme.GetSkinData("Controls:NotAnImage.txt"), nullptr);
    EXPECT_EQ(theme.GetSkinData("Controls:Folder"), nullptr);
    // A key without an image creates nothing; an image that does not decode draws nothing.
    EXPECT_EQ(theme.GetSkinData("Controls:NoImage"), nullptr);
    EXPECT_EQ(theme.GetSkinData("Controls:Broken")->sdStatus, TSkindataStatus::sdLoading);

    EXPECT_EQ(theme.Info().Name, "Basic");
    EXPECT_EQ(theme.Info().Author, "nobody known");
}

// Start-up loads a theme without decoding its images: each is decoded when its entry is
// first looked up, by key or to be drawn.
TEST_F(ThemeManager, DecodesAnImageWhenItsEntryIsFirstLookedUp)
{
    auto unlooked = [this](std::string_view name) -> TSkinData& {
        for (const auto& data : theme.ssDataList[0]->sgDataList)
            if (data->sdID == name)
                return *data;
        ADD_FAILURE() << name;
        return *theme.ssDataList[0]->sgDataList.front();
    };
    TSkinData& panel = unlooked("Panel");
    EXPECT_TRUE(panel.sdImage.IsEmpty());
    EXPECT_EQ(panel.sdStatus, TSkindataStatus::sdLoading);
    EXPECT_EQ(theme.GetSkinData("Controls:Panel"), &panel);
    EXPECT_FALSE(panel.sdImage.IsEmpty());
    EXPECT_EQ(panel.sdStatus, TSkindataStatus::sdReady);

    TSkinData& stretch = unlooked("ControlBar.Back");
    EXPECT_TRUE(stretch.sdImage.IsEmpty());
    TBitmap canvas(8, 8);
    theme.Draw("controls:controlbar.back", canvas, "", TRect::FromSize(0, 0, 8, 8));
    EXPECT_FALSE(stretch.sdImage.IsEmpty());
    EXPECT_EQ(stretch.sdStatus, TSkindataStatus::sdReady);
}

TEST_F(ThemeManager, EmptyMarginsMakeANineSliceWithZeroMargins)
{
    TSkinData const* data = theme.GetSkinData("Controls:EmptyMargins");
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->sdMode, TResizeMode::rmFull);
    EXPECT_EQ(data->sdMargins, (TRect { 0, 0, 0, 0 }));

    // The whole image is the centre: its corner colours land in the corners of the target.
    TBitmap canvas(80, 80);
    theme.Draw("Controls:EmptyMargins", canvas, "", { 0, 0, 80, 80 });
    EXPECT_EQ(canvas.PixelAt(0, 0), Red);
    EXPECT_EQ(canvas.PixelAt(79, 79), Yellow);
    EXPECT_EQ(canvas.PixelAt(40, 40), White);
}

TEST_F(ThemeManager, NineSliceKeepsCornersAndStretchesTheRest)
{
    TBitmap canvas(120, 50);
    theme.Draw("Controls:Panel", canvas, "", TRect::FromSize(10, 10, 100, 30));
    struct {
        int X, Y;
        uint32_t Argb;
    } const expected[] = {
        { 10, 10, Red },
        { 17, 17, Red },
        { 18, 10, Grey },
        { 10, 18, Grey },
        { 102, 10, Green },
        { 109, 17, Green },
        { 101, 10, Grey },
        { 10, 32, Blue },
        { 17, 39, Blue },
        { 10, 31, Grey },
        { 102, 32, Yellow },
        { 109, 39, Yellow },
        { 101, 39, Grey },
        { 109, 31, Grey },
        { 18, 18, White },
        { 101, 31, White },
        { 60, 25, White },
        { 9, 10, 0 },
        { 110, 10, 0 },
        { 10, 40, 0 },
    };
    for (auto const& e : expected)
        EXPECT_EQ(canvas.PixelAt(e.X, e.Y), e.Argb) << e.X << "," << e.Y;
}

TEST_F(ThemeManager, MarginsAndOffsetsAreDevicePixelsAtAnyScale)
{
    SetUIScale(1.5);
    TBitmap canvas(200, 100);
    // Logical (10, 10)-(110, 40) is device (15, 15)-(165, 60); offsets grow it to (11, 13)-(169, 66).
    theme.Draw("Controls:Panel.Offset", canvas, "", { 10, 10, 110, 40 });
    EXPECT_EQ(canvas.PixelAt(11, 13), Red);
    EXPECT_EQ(canvas.PixelAt(18, 20), Red);
    EXPECT_EQ(canvas.PixelAt(19, 13), Grey);
    EXPECT_EQ(canvas.PixelAt(10, 13), 0u);
    EXPECT_EQ(canvas.PixelAt(168, 65), Yellow);
    EXPECT_EQ(canvas.PixelAt(169, 65), 0u);
    EXPECT_EQ(canvas.PixelAt(168, 66), 0u);
}

TEST_F(ThemeManager, StretchCopiesAreCachedPerName)
{
    TBitmap canvas(100, 100);
    auto builds = [this](const std::string& cacheID) {
        for (auto const& cached : theme.GetSkinData("Controls:ControlBar.Back")->sdCachedList)
            if (cached->ciID == cacheID)
                return cached->ciBuilds;
        return -1;
    };

    for (int i = 0; i < 4; ++i)
        theme.Draw("Controls:ControlBar.Back", canvas, "same", TRect::FromSize(0, 0, 10 + 10 * (i % 2), 10));
    EXPECT_EQ(builds("same"), 4);

    for (int i = 0; i < 4; ++i) {
        theme.Draw("Controls:ControlBar.Back", canvas, "small", TRect::FromSize(0, 0, 10, 10));
        theme.Draw("Controls:ControlBar.Back", canvas, "large", TRect::FromSize(0, 0, 20, 10));
    }
    EXPECT_EQ(builds("small"), 1);
    EXPECT_EQ(builds("large"), 1);

    // The draw-point form uses the cache entry with the empty name.
    theme.Draw("Controls:ControlBar.Back", canvas, TDrawPoint { 0, 0, 30, 30 });
    EXPECT_EQ(builds(""), 1);
    EXPECT_EQ(builds("default"), 0);
}

TEST_F(ThemeManager, StretchImageFillsTheDeviceRectangle)
{
    SetUIScale(1.5);
    TBitmap canvas(50, 20);
    // Logical (3, 3)-(13, 7) is device (4, 4)-(20, 10): 4.5 and 10.5 round to the even neighbour.
    theme.Draw("Controls:ControlBar.Back", canvas, "", { 3, 3, 13, 7 });
    EXPECT_EQ(canvas.PixelAt(3, 4), 0u);
    EXPECT_NE(canvas.PixelAt(4, 4), 0u);
    EXPECT_NE(canvas.PixelAt(19, 9), 0u);
    EXPECT_EQ(canvas.PixelAt(20, 9), 0u);
    EXPECT_EQ(canvas.PixelAt(19, 10), 0u);
    // The gradient runs from black to red.
    EXPECT_LT(canvas.PixelAt(4, 5) & 0xFF0000, canvas.PixelAt(19, 5) & 0xFF0000);
}

TEST_F(ThemeManager, KeyLookupRules)
{
    // Colours: entry names ignore case, group names do not.
    EXPECT_EQ(theme.Color("Color:Playlist.Back"), 0xFF202020u);
    EXPECT_EQ(theme.Color("Color:PLAYLIST.back"), 0xFF202020u);
    EXPECT_EQ(theme.Color("color:Playlist.Back"), ThemeDefaultColor);
    EXPECT_EQ(theme.Color("Playlist.Back"), ThemeDefaultColor);
    EXPECT_EQ(theme.Color("Color:Missing"), ThemeDefaultColor);
    EXPECT_EQ(theme.Color("Color:Bad"), 0xFFF1F1F1u); // malformed number: the parameter default
    EXPECT_EQ(theme.Color("Controls:Panel"), ThemeDefaultColor);
    EXPECT_EQ(theme.Color("Color:GRÜN.back"), 0xFF00AA00u); // beyond ASCII too

    EXPECT_EQ(theme.GetSkinData("controls:Panel"), nullptr);
    EXPECT_EQ(theme.GetSkinData("Controls:panel"), theme.GetSkinData("Controls:Panel"));
    EXPECT_EQ(theme.GetSkinData("Controls:"), nullptr);
    EXPECT_EQ(theme.GetFont("fonts:Item.Title"), nullptr);
    EXPECT_EQ(theme.GetFont("Icons:Button.Play.64"), nullptr);

    // Images ignore case in both parts.
    TBitmap canvas(20, 20);
    theme.Draw("controls:controlbar.back", canvas, "", { 0, 0, 20, 20 });
    EXPECT_NE(canvas.PixelAt(10, 10), 0u);
    TBitmap untouched(20, 20);
    theme.Draw("ControlBar.Back", untouched, "", { 0, 0, 20, 20 });
    theme.Draw("Controls:NoImage", untouched, "", { 0, 0, 20, 20 });
    theme.Draw("Controls:Broken", untouched, "", { 0, 0, 20, 20 });
    EXPECT_EQ(untouched.PixelAt(10, 10), 0u);
}

TEST_F(ThemeManager, FontsReadTheirParametersWithDefaults)
{
    TFont const* title = theme.GetFont("Fonts:item.TITLE");
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->Name, "Open Sans");
    EXPECT_EQ(title->Size, 14);
    EXPECT_EQ(title->Color, 0x00FF0000u);
    EXPECT_TRUE(title->Bold);
    EXPECT_FALSE(title->Italic);

    EXPECT_EQ(*theme.GetFont("Fonts:Plain"), (TFont { "Open Sans", 12, 0xFFF1F1F1, false, false }));
}

TEST_F(ThemeManager, TextIsDrawnScaledButMeasuredUnscaled)
{
    SetUIScale(1.5);
    TBitmap canvas(400, 100);
    theme.TextOut("Hello", "Fonts:Item.Title", tfSingleLine, { 0, 0, 260, 60 }, canvas);
    EXPECT_EQ(canvas.Font.Size, 21);
    EXPECT_TRUE(canvas.Font.Bold);

    TFont const font = *theme.GetFont("Fonts:Item.Title");
    int const width = theme.TextWidth("Fonts:Item.Title", "Hello", -1);
    EXPECT_EQ(width, MeasureText(font, "Hello").Width);
    EXPECT_EQ(theme.FontHeight("Fonts:Item.Title", -1), MeasureText(font, "Text").Height);

    // Measured logical width times the scale is what was drawn.
    int right = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 400; ++x)
            if (canvas.PixelAt(x, y) >> 24)
                right = std::max(right, x + 1);
    EXPECT_NEAR(right, width * 1.5, 4.0);

    EXPECT_EQ(theme.TextWidth("Fonts:Missing", "Hello", 10), 10);
    EXPECT_EQ(theme.FontHeight("Fonts:Missing", 7), 7);
}

TEST_F(ThemeManager, SizeTiesRoundToEven)
{
    // 14 × 1.25 = 17.5 lies between 17 and 18 and goes to the even one.
    SetUIScale(1.25);
    TBitmap canvas(10, 10);
    theme.TextOut("x", "Fonts:Item.Title", 0, { 0, 0, 8, 8 }, canvas);
    EXPECT_EQ(canvas.Font.Size, 18);
}

TEST_F(ThemeManager, UnresolvedFontKeepsTheCanvasFont)
{
    TBitmap canvas(200, 40);
    canvas.Font = TFont { "Open Sans", 9, 0xFF000000, false, true };
    TFont const before = canvas.Font;
    theme.TextOut("Still drawn", "Fonts:Missing", tfSingleLine, { 0, 0, 200, 40 }, canvas);
    EXPECT_EQ(canvas.Font, before);
    bool drawn = false;
    for (int x = 0; x < 200 && !drawn; ++x)
        for (int y = 0; y < 40 && !drawn; ++y)
            drawn = canvas.PixelAt(x, y) != 0;
    EXPECT_TRUE(drawn);
}

TEST_F(ThemeManager, EllipsizedTextStaysInItsRectangle)
{
    SetUIScale(1.5);
    TBitmap canvas(300, 80);
    theme.TextOut(std::string(60, 'W'), "Fonts:Item.Title", tfSingleLine | tfVCenter | tfEndEllipsis,
        { 10, 10, 110, 40 }, canvas);
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (canvas.PixelAt(x, y)) {
                ASSERT_TRUE(TRect({ 15, 15, 165, 60 }).Contains(x, y)) << x << "," << y;
            }
        }
    }
}

TEST_F(ThemeManager, SwitchingToAFolderWithoutThemeFileKeepsTheOldLook)
{
    EXPECT_FALSE(theme.Load(ThemeFile("nofile")));
    EXPECT_FALSE(theme.Load(ThemeFile("absent")));
    EXPECT_EQ(theme.Color("Color:Playlist.Back"), 0xFF202020u);
    EXPECT_EQ(theme.Info().Name, "Basic");
    TBitmap canvas(120, 50);
    theme.Draw("Controls:Panel", canvas, "", TRect::FromSize(10, 10, 100, 30));
    EXPECT_EQ(canvas.PixelAt(10, 10), Red);

    // A real switch replaces everything.
    ASSERT_TRUE(theme.Load(ThemeFile("alt")));
    EXPECT_EQ(theme.Color("Color:Playlist.Back"), 0xFF00FF00u);
    EXPECT_EQ(theme.GetSkinData("Controls:Panel"), nullptr);
    EXPECT_EQ(theme.Info().Name, "alt");
    EXPECT_EQ(theme.Info().Author, "Someone");
}

TEST_F(ThemeManager, ExtremeRectanglesAndParametersDrawSafely)
{
    int const big = std::numeric_limits<int>::max();
    int const small = std::numeric_limits<int>::min();
    TBitmap canvas(64, 32);
    for (std::string_view key : { "Controls:Hostile", "Controls:Panel", "Controls:ControlBar.Back" }) {
        theme.Draw(key, canvas, "", { small, small, big, big });
        theme.Draw(key, canvas, "", { big, big, small, small });
        theme.Draw(key, canvas, "", { 0, 0, 64, 32 });
    }
    theme.TextOut("Wide", "Fonts:Item.Title", tfWordBreak | tfEndEllipsis, { small, small, big, big }, canvas);
    // Far beyond the canvas on every side: the canvas shows the middle of the centre piece.
    SetUIScale(1e9);
    theme.Draw("Controls:Panel", canvas, "", { -3, -3, 3, 3 });
    EXPECT_EQ(canvas.PixelAt(0, 0), White);
    EXPECT_EQ(canvas.PixelAt(63, 31), White);
}

TEST(ThemeManagerEmpty, BeforeAnyThemeNothingResolves)
{
    TThemeManager theme;
    TBitmap canvas(20, 20);
    theme.Draw("Controls:ControlBar.Back", canvas, "", { 0, 0, 20, 20 });
    EXPECT_EQ(canvas.PixelAt(5, 5), 0u);
    EXPECT_EQ(theme.Color("Color:Playlist.Back"), 0xFFECECECu);
    EXPECT_EQ(theme.GetFont("Fonts:Item.Title"), nullptr);
    EXPECT_EQ(theme.TextWidth("Fonts:Item.Title", "abc", 33), 33);
}

TEST(ThemeInfo, DefaultsToFolderNameAndGivenAuthor)
{
    TThemeInfo const info = TThemeManager::ReadInfo(ThemeFile("alt"), "alt", "unknown");
    EXPECT_EQ(info.Name, "alt");
    EXPECT_EQ(info.Author, "Someone");
    TThemeInfo const basic = TThemeManager::ReadInfo(ThemeFile("basic"), "basic", "unknown");
    EXPECT_EQ(basic.Name, "Basic");
    EXPECT_EQ(basic.Author, "unknown");
}

TEST(DrawPoint, RectanglesAndCentring)
{
    TDrawPoint const point { 10, 20, 75, 41 };
    EXPECT_EQ(point.Rect(), (TRect { 10, 20, 85, 61 }));
    // 10 + 37 - 23 = 24, 20 + 20 - 23 = 17
    EXPECT_EQ(point.Centered(46, 46), (TRect { 24, 17, 70, 63 }));
    // Truncation toward zero with negative sizes.
    TDrawPoint const negative { 0, 0, -5, -5 };
    EXPECT_EQ(negative.Centered(3, 3), (TRect { -3, -3, 0, 0 }));

    SetUIScale(1.5);
    EXPECT_EQ(point.DeviceRect(), (TRect { 15, 30, 128, 92 }));
    SetUIScale(1.0);
}

}
}
