#include "ui/framework/tests/ControlProbe.h"

#include "platform/graphics/PngImage.h"
#include "tests/support/TestFiles.h"
#include "ui/framework/SmartVCL.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace vantor::test {
namespace {

constexpr uint32_t Background = 0xFFECECEC;
constexpr uint32_t Red = 0xFFFF0000;
constexpr uint32_t Blue = 0xFF0000FF;

TEST(ControlPaint, ChildrenAreCulledVertically)
{
    struct TCase {
        int Top;
        int Height;
        bool Painted;
    };
    // Parent height 100.
    TCase const cases[] = {
        { -20, 30, true },  // straddles the top edge
        { -30, 30, true },  // ends exactly on the top edge
        { -40, 30, false }, // wholly above
        { 0, 10, true },
        { 50, 500, true },
        { 100, 10, true },  // starts on the bottom edge
        { 101, 10, false }, // wholly below
    };
    auto parent = MakeProbe(nullptr, "parent", 0, 0, 200, 100);
    std::vector<TProbe*> rows;
    for (const TCase& c : cases)
        rows.push_back(parent->AddItem(MakeProbe(nullptr, "row", 0, c.Top, 200, c.Height, false)));
    TProbe* hidden = parent->AddItem(MakeProbe(nullptr, "hidden", 0, 0, 10, 10, false));
    hidden->SC_VISIBLE = false;
    TProbe* manual = parent->AddItem(MakeProbe(nullptr, "manual", 0, 0, 10, 10, false), "manual");
    parent->GetList("manual", false)->clManual = true;

    TBitmap dest(200, 100);
    parent->DrawTo(0, 0, dest);
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]->Paints, cases[i].Painted ? 1 : 0) << "row at top " << cases[i].Top;
    EXPECT_EQ(hidden->Paints, 0);
    EXPECT_EQ(manual->Paints, 0);
    EXPECT_EQ(parent->Paints, 1);
}

TEST(ControlPaint, OwnCanvasStartsFromTheParentsPixels)
{
    TSmartVCL host(120, 80);
    auto panel = MakeProbe(nullptr, "panel", 10, 10, 100, 60);
    panel->Color = Red;
    // A child with its own canvas that paints only its left half: its right half must show
    // the panel's red, copied in before it paints.
    TProbe* child = panel->AddItem(MakeProbe(nullptr, "child", 20, 20, 40, 20));
    child->Color = 0;
    TProbe* leaf = panel->AddItem(MakeProbe(nullptr, "leaf", 0, 0, 10, 10, false));
    leaf->Color = Blue;
    host.AddControl("panel", std::move(panel));

    TRect dirty;
    const TBitmap& buffer = host.WindowPaint(dirty);
    EXPECT_EQ(dirty, TRect::FromSize(0, 0, 120, 80));
    EXPECT_EQ(buffer.PixelAt(5, 5), Background);
    EXPECT_EQ(buffer.PixelAt(15, 15), Blue) << "canvas-less leaves paint into the parent canvas";
    EXPECT_EQ(buffer.PixelAt(25, 25), Red);
    EXPECT_EQ(buffer.PixelAt(50, 40), Red) << "inside the child, over the copied background";
    EXPECT_EQ(buffer.PixelAt(115, 75), Background);
}

TEST(ControlPaint, HostSkipsHiddenAndLoadingControlsAndScalesPositions)
{
    TScaleGuard scale(0.5);
    TSmartVCL host(100, 100);
    TProbe* shown = host.AddControl("shown", MakeProbe(nullptr, "shown", 100, 100, 60, 60));
    shown->Color = Red;
    TProbe* hidden = host.AddControl("hidden", MakeProbe(nullptr, "hidden", 0, 0, 40, 40));
    hidden->Color = Blue;
    hidden->SC_VISIBLE = false;
    TProbe* loading = host.AddControl("loading", MakeProbe(nullptr, "loading", 0, 100, 40, 40));
    loading->Color = Blue;
    loading->scLoading = true;

    host.PaintBackBuffer();
    EXPECT_EQ(host.svCanvas.PixelAt(49, 49), Background);
    EXPECT_EQ(host.svCanvas.PixelAt(50, 50), Red) << "logical 100 is device 50 at scale 0.5";
    EXPECT_EQ(host.svCanvas.PixelAt(79, 79), Red);
    EXPECT_EQ(host.svCanvas.PixelAt(80, 80), Background);
    EXPECT_EQ(host.svCanvas.PixelAt(5, 5), Background);
    EXPECT_EQ(host.svCanvas.PixelAt(5, 55), Background);
    EXPECT_EQ(hidden->Paints + loading->Paints, 0);
}

TEST(ControlPaint, OffscreenHostRendersToPng)
{
    std::filesystem::path const folder = vantor::testing::ScratchFolder();
    TSmartVCL host(64, 48);
    host.AddControl("box", MakeProbe(nullptr, "box", 8, 8, 16, 16))->Color = Red;
    host.PaintBackBuffer();
    std::string const path = (folder / "offscreen.png").string();
    ASSERT_TRUE(host.svCanvas.SavePng(path));
    // The file decodes to the frame: the red box at 8..23, the background around it.
    TBitmap const png = LoadPngFile(path);
    ASSERT_EQ(png.Width(), 64);
    ASSERT_EQ(png.Height(), 48);
    for (auto const& [x, y] : { std::pair { 8, 8 }, { 23, 8 }, { 8, 23 }, { 23, 23 }, { 15, 15 } })
        EXPECT_EQ(png.PixelAt(x, y), Red) << x << "," << y;
    for (auto const& [x, y] : { std::pair { 7, 8 }, { 8, 7 }, { 24, 23 }, { 23, 24 }, { 0, 0 }, { 63, 47 } })
        EXPECT_EQ(png.PixelAt(x, y), Background) << x << "," << y;
}

}
}
