// Renders a small control tree off screen at UI scale 0.4 through the host, the control tree
// and the theme manager together, and checks the pixels that come out.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/TextFlags.h"
#include "ui/framework/SmartCtrl.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vantor {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGreen = 0xFF00FF00;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kBackground = 0xFFECECEC;

// A theme with a stretch image, a nine-slice image with offsets and a black font.
fs::path MakeTheme()
{
    char const* tmp = std::getenv("VANTOR_TEST_TMP");
    fs::path const root = fs::path(tmp ? tmp : "test-tmp") / "render-theme";
    fs::remove_all(root);
    fs::create_directories(root / "Controls");
    fs::create_directories(root / "Icons");

    TBitmap stretch(10, 10);
    stretch.FillRect({ 0, 0, 10, 10 }, kRed);
    EXPECT_TRUE(stretch.SavePng((root / "Controls" / "Stretch.png").string()));

    // Blue 8-pixel border, green centre.
    TBitmap nine(40, 40);
    nine.FillRect({ 0, 0, 40, 40 }, kBlue);
    nine.FillRect({ 8, 8, 32, 32 }, kGreen);
    EXPECT_TRUE(nine.SavePng((root / "Controls" / "Nine.png").string()));

    std::ofstream(root / "ThemeData.qxs") << "[Controls]\n"
                                             "Nine=Margins(Left[8] Top[8] Right[8] Bottom[8]) "
                                             "Offset(Left[4] Top[4] Right[4] Bottom[4])\n"
                                             "[Fonts]\n"
                                             "Caption=Name(Open Sans) Size(40) Color($FF000000)\n";
    return root / "ThemeData.qxs";
}

class TImageView : public TSmartCtrl {
public:
    TImageView(TCreateKey key, std::string skin)
        : TSmartCtrl(key)
        , m_skin(std::move(skin))
    {
    }
    void OnCreateCanvas() override { }
    void On_Paint(TBitmap& Canvas) override { Host()->ThemeManager->Draw(m_skin, Canvas, "", CanvasRect()); }

private:
    std::string m_skin;
};

class TCaption : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
    void OnCreateCanvas() override { }
    void On_Paint(TBitmap& Canvas) override
    {
        Host()->ThemeManager->TextOut("A caption far too long for its little box", "Fonts:Caption",
            tfSingleLine | tfEndEllipsis | tfVCenter, CanvasRect(), Canvas);
    }
};

// A canvas-less row that counts its paints.
class TRow : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
    void OnCreateCanvas() override { }
    void On_Paint(TBitmap& Canvas) override
    {
        ++Paints;
        TRect const r = CanvasRect();
        Canvas.FillRect({ Scale(r.Left), Scale(r.Top), Scale(r.Right), Scale(r.Bottom) }, kBlue);
    }
    int Paints = 0;
};

class TPanel : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
};

TEST(RenderTree, PaintsImagesTextAndCullsScrolledRows)
{
    SetUIScale(0.4);
    TSmartVCL host(400, 400);
    ASSERT_TRUE(host.ThemeManager->Load(MakeTheme().string()));

    auto* root = host.AddControl("Root", TSmartCtrl::Create<TPanel>());
    ASSERT_NE(root, nullptr);
    root->SetWidth(1000);
    root->SetHeight(1000);

    auto* stretch = root->AddItem(TSmartCtrl::Create<TImageView>("Controls:Stretch"));
    stretch->SetPosition(0, 0);
    stretch->SetWidth(500);
    stretch->SetHeight(250);

    auto* nine = root->AddItem(TSmartCtrl::Create<TImageView>("Controls:Nine"));
    nine->SetPosition(500, 50);
    nine->SetWidth(500);
    nine->SetHeight(200);

    auto* caption = root->AddItem(TSmartCtrl::Create<TCaption>());
    caption->SetPosition(0, 300);
    caption->SetWidth(300);
    caption->SetHeight(100);

    // A scrolled list: 200 logical units high, rows above, across the top edge, inside and below.
    auto* list = root->AddItem(TSmartCtrl::Create<TPanel>());
    list->SetPosition(0, 500);
    list->SetWidth(1000);
    list->SetHeight(200);
    TRow* rows[4];
    int const tops[4] = { -300, -20, 50, 250 };
    for (int i = 0; i < 4; ++i) {
        rows[i] = list->AddItem(TSmartCtrl::Create<TRow>());
        rows[i]->SetPosition(0, tops[i]);
        rows[i]->SetWidth(1000);
        rows[i]->SetHeight(50);
    }

    host.PaintBackBuffer();
    TBitmap const& out = host.svCanvas;
    if (char const* tmp = std::getenv("VANTOR_TEST_TMP"))
        out.SavePng((fs::path(tmp) / "render-tree.png").string());

    // Stretch image: logical (0, 0, 500, 250) is device (0, 0, 200, 100).
    EXPECT_EQ(out.PixelAt(0, 0), kRed);
    EXPECT_EQ(out.PixelAt(196, 16), kRed); // the nine-slice's offsets are clipped off
    EXPECT_EQ(out.PixelAt(100, 105), kBackground);

    // Nine-slice: device (200, 20, 400, 100) grown by the 4-pixel offsets to (196, 16, 404, 104)
    // and, having no canvas of its own, clipped to its bounds; 8-pixel blue corners and edges,
    // green centre.
    EXPECT_EQ(out.PixelAt(200, 20), kBlue);
    EXPECT_EQ(out.PixelAt(203, 23), kBlue);
    EXPECT_EQ(out.PixelAt(204, 24), kGreen);
    EXPECT_EQ(out.PixelAt(300, 60), kGreen);
    EXPECT_EQ(out.PixelAt(300, 99), kBlue);
    EXPECT_EQ(out.PixelAt(300, 100), kBackground);
    EXPECT_EQ(out.PixelAt(300, 96), kBlue);
    EXPECT_EQ(out.PixelAt(300, 95), kGreen);
    EXPECT_EQ(out.PixelAt(300, 105), kBackground);

    // Text: drawn inside device (0, 120, 120, 160) and cut with an ellipsis, never beyond.
    int inside = 0, outside = 0;
    for (int y = 110; y < 200; ++y) {
        for (int x = 0; x < 400; ++x) {
            uint32_t const p = out.PixelAt(x, y);
            if (p == kBackground || (x >= 196 && y < 105))
                continue;
            bool const inBox = x < 120 && y >= 120 && y < 160;
            (inBox ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 50);
    EXPECT_EQ(outside, 0);

    // Culling: the row wholly above and the row below the list's height are not painted.
    EXPECT_EQ(rows[0]->Paints, 0);
    EXPECT_EQ(rows[1]->Paints, 1);
    EXPECT_EQ(rows[2]->Paints, 1);
    EXPECT_EQ(rows[3]->Paints, 0);
    // The row across the top edge shows its lower part: list top 200 px, row bottom +12 px.
    EXPECT_EQ(out.PixelAt(10, 205), kBlue);
    EXPECT_EQ(out.PixelAt(10, 215), kBackground);
    // Row 2: logical 50..100 inside the list, device 220..240.
    EXPECT_EQ(out.PixelAt(10, 230), kBlue);

    SetUIScale(1.0);
}

}
}
