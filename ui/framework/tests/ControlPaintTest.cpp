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
        { -20, 30, true },                                     // straddles the top edge
        { -30, 30, true },                                     // ends exactly on the top edge
        { -40, 30, false },                                    // wholly above
        { 0, 10, true }, { 50, 500, true }, { 100, 10, true }, // starts on the bottom edge
        { 101, 10, false },                                    // wholly below
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

    std::vector<TRect> dirty;
    const TBitmap& buffer = host.WindowPaint(dirty);
    EXPECT_EQ(dirty, std::vector<TRect> { TRect::FromSize(0, 0, 120, 80) });
    EXPECT_EQ(buffer.PixelAt(5, 5), Background);
    EXPECT_EQ(buffer.PixelAt(15, 15), Blue) << "canvas-less leaves paint into the parent canvas";
    EXPECT_EQ(buffer.PixelAt(25, 25), Red);
    EXPECT_EQ(buffer.PixelAt(50, 40), Red) << "inside the child, over the copied background";
    EXPECT_EQ(buffer.PixelAt(115, 75), Background);
}

// A canvas-less control that paints 10 pixels beyond its bounds on every side.
class TSpill : public TProbe {
public:
    using TProbe::TProbe;
    void On_Paint(TBitmap& canvas) override
    {
        ++Paints;
        TRect const r = CanvasRect();
        canvas.FillRect({ r.Left - 10, r.Top - 10, r.Right + 10, r.Bottom + 10 }, Blue);
    }
};

TEST(ControlPaint, RepaintsOnlyTheDamageAndClipsCanvasLessChildren)
{
    TSmartVCL host(200, 100);
    TProbe* left = host.AddControl("left", MakeProbe(nullptr, "left", 0, 0, 100, 100));
    TProbe* right = host.AddControl("right", MakeProbe(nullptr, "right", 100, 0, 100, 100));
    left->Color = Red;
    right->Color = Red;
    TProbe* spill = left->AddItem(TSmartCtrl::Create<TSpill>(nullptr, "spill", false));
    spill->SetPosition(40, 40);
    spill->SetWidth(20);
    spill->SetHeight(20);

    std::vector<TRect> dirty;
    const TBitmap& buffer = host.WindowPaint(dirty);
    EXPECT_EQ(buffer.PixelAt(40, 40), Blue);
    EXPECT_EQ(buffer.PixelAt(59, 59), Blue);
    for (TPoint const outside : { TPoint { 39, 50 }, TPoint { 60, 50 }, TPoint { 50, 35 }, TPoint { 50, 60 } })
        EXPECT_EQ(buffer.PixelAt(outside.X, outside.Y), Red)
            << "clipped to its bounds at " << outside.X << "," << outside.Y;

    // Both panels change, only the right one is invalidated: the left one keeps its pixels and
    // is not painted again.
    left->Color = Blue;
    right->Color = Blue;
    int const leftPaints = left->Paints;
    host.InvalidateControl(right);
    host.WindowPaint(dirty);
    EXPECT_EQ(dirty, std::vector<TRect> { TRect::FromSize(100, 0, 100, 100) });
    EXPECT_EQ(left->Paints, leftPaints);
    EXPECT_EQ(buffer.PixelAt(10, 10), Red);
    EXPECT_EQ(buffer.PixelAt(99, 99), Red);
    EXPECT_EQ(buffer.PixelAt(100, 0), Blue);
    EXPECT_EQ(buffer.PixelAt(199, 99), Blue);
    EXPECT_FALSE(host.WindowNeedsPaint());

    // Part of the left panel: only that part shows its new colour.
    host.InvalidateRectangle(TRect::FromSize(0, 0, 10, 10));
    host.WindowPaint(dirty);
    EXPECT_EQ(buffer.PixelAt(9, 9), Blue);
    EXPECT_EQ(buffer.PixelAt(10, 10), Red);
}

TEST(ControlPaint, DamageStaysDisjointAndBounded)
{
    TSmartVCL host(400, 400);
    std::vector<TRect> dirty;
    host.WindowPaint(dirty);
    host.InvalidateRectangle(TRect::FromSize(10, 10, 10, 10));
    host.InvalidateRectangle(TRect::FromSize(50, 10, 10, 10));
    EXPECT_EQ(host.DirtyRects().size(), 2u);
    host.InvalidateRectangle(TRect::FromSize(30, 30, 10, 10)); // disjoint from both
    host.InvalidateRectangle(TRect::FromSize(15, 15, 40, 1));  // bridges the first two
    EXPECT_EQ(
        host.DirtyRects(), (std::vector<TRect> { TRect::FromSize(30, 30, 10, 10), TRect::FromSize(10, 10, 50, 10) }));

    // Many scattered points: the count stays bounded, nothing overlaps, every point is covered.
    std::vector<TPoint> points;
    for (int i = 0; i < 100; ++i)
        points.push_back({ (i * 37) % 400, (i * 91) % 400 });
    for (TPoint const p : points)
        host.InvalidateRectangle(TRect::FromSize(p.X, p.Y, 1, 1));
    const std::vector<TRect>& rects = host.DirtyRects();
    EXPECT_LE(rects.size(), TSmartVCL::MaxDirtyRects);
    for (size_t i = 0; i < rects.size(); ++i)
        for (size_t j = i + 1; j < rects.size(); ++j)
            EXPECT_TRUE(rects[i].Intersect(rects[j]).IsEmpty());
    for (TPoint const p : points) {
        bool covered = false;
        for (const TRect& r : rects)
            covered = covered || r.Contains(p.X, p.Y);
        EXPECT_TRUE(covered) << p.X << "," << p.Y;
    }
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
