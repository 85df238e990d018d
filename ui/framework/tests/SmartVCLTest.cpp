#include "ui/framework/tests/ControlProbe.h"

#include "platform/window/KeyCodes.h"
#include "ui/framework/SmartVCL.h"

#include <gtest/gtest.h>

namespace vantor::test {
namespace {

class TFakeShell : public IWindowShell {
public:
    std::vector<TCursorShape> Cursors;
    void SetCursorShape(TCursorShape shape) override { Cursors.push_back(shape); }
    void Minimize() override { }
    void ToggleMaximize() override { }
    bool IsMaximized() const override { return false; }
    void Close() override { }
};

// A 400 x 300 host with two top-level probes: "left" covering x 0..199 and "right" covering
// x 200..399, each with a button child.
class SmartVCLTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host.Window = &shell;
        left = host.AddControl("left", MakeProbe(&log, "left", 0, 0, 200, 300));
        right = host.AddControl("right", MakeProbe(&log, "right", 200, 0, 200, 300));
        leftButton = left->AddItem(MakeProbe(&log, "leftButton", 50, 50, 50, 50));
        rightButton = right->AddItem(MakeProbe(&log, "rightButton", 50, 50, 50, 50));
        log.clear();
    }

    TLog log;
    TFakeShell shell;
    TSmartVCL host { 400, 300 };
    TProbe* left = nullptr;
    TProbe* right = nullptr;
    TProbe* leftButton = nullptr;
    TProbe* rightButton = nullptr;
};

TEST_F(SmartVCLTest, EdgeZonesFollowTheTenPixelBand)
{
    struct TCase {
        int X, Y;
        int Zone;
        TCursorShape Shape;
    };
    TCase const cases[] = {
        { 0, 0, 4, TCursorShape::crSizeNWSE },
        { 9, 9, 4, TCursorShape::crSizeNWSE },
        { 395, 5, 5, TCursorShape::crSizeNESW },
        { 5, 295, 7, TCursorShape::crSizeNESW },
        { 391, 291, 8, TCursorShape::crSizeNWSE },
        { 200, 0, 3, TCursorShape::crSizeNS },
        { 9, 150, 1, TCursorShape::crSizeWE },
        { 10, 150, -1, TCursorShape::crArrow }, // one pixel further in
        { 200, 291, 6, TCursorShape::crSizeNS },
        { 391, 150, 2, TCursorShape::crSizeWE },
        { 390, 150, -1, TCursorShape::crArrow },
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(TSmartVCL::EdgeZone(c.X, c.Y, 400, 300), c.Zone) << c.X << "," << c.Y;
        EXPECT_EQ(TSmartVCL::CursorForZone(c.Zone), c.Shape) << c.X << "," << c.Y;
    }
}

TEST_F(SmartVCLTest, TheEdgeBandBelongsToTheWindowManager)
{
    // Moving along the band changes the pointer and reaches no control.
    host.WindowMouseMove(0, 5, 150);
    EXPECT_EQ(host.ResizeDir, 1);
    EXPECT_EQ(shell.Cursors.back(), TCursorShape::crSizeWE);
    EXPECT_TRUE(log.empty());
    // One pixel further in, hover tracking resumes.
    host.WindowMouseMove(0, 10, 150);
    EXPECT_EQ(host.ResizeDir, -1);
    EXPECT_EQ(shell.Cursors.back(), TCursorShape::crArrow);
    EXPECT_EQ(log, (TLog { "left.MouseMove", "left.Enter" }));

    // A left press near the bottom-right corner is a native resize: no control sees it, and
    // the window's hit test hands that corner to the window manager.
    log.clear();
    host.WindowMouseDown(mbLeft, ssLeft, 395, 295);
    EXPECT_EQ(host.ResizeDir, 8);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(host.WindowHitTest(395, 295), TWindowHit::whResizeBottomRight);
    EXPECT_EQ(host.WindowHitTest(0, 0), TWindowHit::whResizeTopLeft);
    EXPECT_EQ(host.WindowHitTest(200, 150), TWindowHit::whNormal);
}

TEST_F(SmartVCLTest, DragAreasAreAskedOfTheTopLevelControl)
{
    class TCaption : public TProbe {
    public:
        using TProbe::TProbe;
        bool IsDragArea(int X, int Y) override { return !ControlAtXY(TInputData { mbLeft, 0, X, Y, 0, 0 }); }
    };
    auto caption = TSmartCtrl::Create<TCaption>(&log, "caption");
    caption->SetPosition(20, 20);
    caption->SetWidth(100);
    caption->SetHeight(40);
    caption->AddItem(MakeProbe(&log, "close", 80, 0, 20, 20));
    host.AddControl("caption", std::move(caption));
    EXPECT_EQ(host.WindowHitTest(30, 30), TWindowHit::whDraggable);
    EXPECT_EQ(host.WindowHitTest(105, 25), TWindowHit::whNormal) << "the button stays clickable";
}

TEST_F(SmartVCLTest, HoverMovesBetweenControlsWithEnterAndLeave)
{
    host.WindowMouseMove(0, 75, 75);
    EXPECT_EQ(host.CM_ACTIVE.Get(), leftButton);
    EXPECT_EQ(leftButton->State(), csHot);
    host.WindowMouseMove(0, 80, 80);
    host.WindowMouseMove(0, 275, 75);
    EXPECT_EQ(host.CM_ACTIVE.Get(), rightButton);
    EXPECT_EQ(leftButton->State(), csNormal);
    EXPECT_EQ(log,
        (TLog { "left.MouseMove", "leftButton.MouseMove", "leftButton.Enter", "left.MouseMove", "leftButton.MouseMove",
            "right.MouseMove", "rightButton.MouseMove", "leftButton.Leave", "rightButton.Enter" }));
    EXPECT_EQ(rightButton->Inputs.back().idXPos, 25) << "points arrive local to each control";
}

TEST_F(SmartVCLTest, FocusStaysWhenTheNewControlCannotTakeIt)
{
    leftButton->scCanFocuse = true;
    host.WindowMouseDown(mbLeft, ssLeft, 75, 75);
    EXPECT_EQ(host.CM_FOCUSE.Get(), leftButton);
    EXPECT_TRUE(leftButton->SC_FOCUSED);

    host.WindowMouseDown(mbLeft, ssLeft, 275, 75); // rightButton cannot take the focus
    EXPECT_EQ(host.CM_FOCUSE.Get(), leftButton);
    EXPECT_TRUE(leftButton->SC_FOCUSED);
    log.clear();
    host.WindowKeyDown(vkDelete, 0);
    host.WindowKeyPress(U'x');
    EXPECT_EQ(log, (TLog { "leftButton.KeyDown46", "leftButton.KeyPress120" }));

    rightButton->scCanFocuse = true;
    log.clear();
    host.WindowMouseDown(mbLeft, ssLeft, 275, 75);
    EXPECT_EQ(host.CM_FOCUSE.Get(), rightButton);
    EXPECT_EQ(log, (TLog { "right.MouseDown", "rightButton.MouseDown", "leftButton.UnFocus", "rightButton.Focus" }));
    EXPECT_FALSE(leftButton->SC_FOCUSED);
}

TEST_F(SmartVCLTest, DoubleClickGivesOneDownThenOneDouble)
{
    host.WindowMouseDown(mbLeft, ssLeft, 75, 75);
    host.WindowMouseUp(mbLeft, 0, 75, 75);
    host.WindowMouseDown(mbLeft, ssLeft | ssDouble, 75, 75);
    host.WindowMouseUp(mbLeft, 0, 75, 75);
    EXPECT_EQ(log,
        (TLog { "left.MouseDown", "leftButton.MouseDown", "left.MouseUp", "leftButton.MouseUp", "left.MouseDouble",
            "leftButton.MouseDouble", "left.MouseUp", "leftButton.MouseUp" }));
    EXPECT_TRUE(leftButton->Inputs[2].idShift & ssDouble);
}

TEST_F(SmartVCLTest, WheelGoesWhereThePointerWasLastSeen)
{
    host.WindowMouseMove(0, 275, 75);
    // The pointer leaves the window over the band and beyond; the wheel message carries no
    // position that counts.
    host.WindowMouseMove(0, 399, 75);
    host.WindowMouseLeave();
    log.clear();
    host.WindowMouseWheel(-120, 0);
    EXPECT_EQ(log, (TLog { "right.MouseWheel", "rightButton.MouseWheel" }));
    EXPECT_EQ(rightButton->Inputs.back().idDirection, -120);
    EXPECT_EQ(host.InputDataGLobal.idDirection, -120);
}

TEST_F(SmartVCLTest, DropAtScaleReachesTheDirectChildUnderTheLogicalPoint)
{
    TScaleGuard scale(0.4);
    TSmartVCL big(800, 600);
    TProbe* panel = big.AddControl("panel", MakeProbe(&log, "panel", 0, 0, 2000, 1500));
    TProbe* list = panel->AddItem(MakeProbe(&log, "list", 900, 900, 200, 200));
    // Client pixel (400, 400) is logical (1000, 1000).
    big.WindowDrop({ "/music/a.flac", "/music/b" }, 400, 400);
    EXPECT_EQ(list->Dropped, (std::vector<std::string> { "/music/a.flac", "/music/b" }));
    EXPECT_EQ(list->DropPoint, (TPoint { 1000, 1000 }));
    EXPECT_EQ(big.InputDataGLobal.idXPos, 1000);

    // A drop on the top-level control's own background reaches nobody.
    log.clear();
    big.WindowDrop({ "/music/c" }, 40, 40);
    EXPECT_TRUE(log.empty());
}

TEST_F(SmartVCLTest, KeysReachTheFocusedControlThenTheCallbacks)
{
    left->scCanFocuse = true;
    host.WindowMouseDown(mbLeft, ssLeft, 20, 20);
    std::vector<std::pair<uint16_t, TShiftState>> downs, ups;
    host.OnKeyDownProc = [&](uint16_t key, TShiftState shift) {
        log.push_back("proc.KeyDown");
        downs.emplace_back(key, shift);
    };
    host.OnKeyUpProc = [&](uint16_t key, TShiftState shift) { ups.emplace_back(key, shift); };
    std::vector<TRect> dirty;
    host.WindowPaint(dirty);
    log.clear();

    host.WindowKeyDown(vkControl, ssCtrl);
    host.WindowKeyUp(vkControl, 0);
    EXPECT_EQ(log, (TLog { "left.KeyDown17", "proc.KeyDown", "left.KeyUp17" }));
    EXPECT_EQ(downs, (std::vector<std::pair<uint16_t, TShiftState>> { { vkControl, ssCtrl } }));
    EXPECT_EQ(ups.size(), 1u);
    EXPECT_TRUE(host.WindowNeedsPaint()) << "a key repaints the window";
}

TEST_F(SmartVCLTest, TopLevelIdsAreUniqueAndHitSearchFindsChildren)
{
    EXPECT_EQ(host.AddControl("left", MakeProbe(&log, "dup", 0, 0, 10, 10)), nullptr);
    EXPECT_EQ(host.CM_LIST.Count(), 2);
    EXPECT_EQ(left->ID(), "left");

    TInputData in;
    in.idXPos = 275;
    in.idYPos = 75;
    EXPECT_EQ(host.ControlAtXY(in, false), right);
    EXPECT_EQ(host.ControlAtXY(in, true), rightButton);
    in.idXPos = 210;
    EXPECT_EQ(host.ControlAtXY(in, true), nullptr) << "the background of a top-level control";
    right->SC_VISIBLE = false;
    in.idXPos = 275;
    EXPECT_EQ(host.ControlAtXY(in, false), nullptr);
    // Events over empty background are dropped.
    log.clear();
    host.WindowMouseDown(mbLeft, ssLeft, 275, 75);
    EXPECT_TRUE(log.empty());
}

TEST_F(SmartVCLTest, ResizeFollowsTheClientSize)
{
    int calls = 0;
    host.OnResizeProc = [&] {
        ++calls;
        EXPECT_EQ(host.svCanvas.Width(), 640) << "the back buffer is resized before the callback";
    };
    host.WindowResized(640, 480);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(host.svCanvas.Height(), 480);
    std::vector<TRect> dirty;
    host.WindowPaint(dirty);
    EXPECT_EQ(dirty, std::vector<TRect> { TRect::FromSize(0, 0, 640, 480) });
    EXPECT_FALSE(host.WindowNeedsPaint());

    host.InvalidateRectangle(TRect::FromSize(600, 400, 100, 100));
    host.WindowPaint(dirty);
    EXPECT_EQ(dirty, std::vector<TRect> { TRect::FromSize(600, 400, 40, 80) }) << "clipped to the client area";
}

TEST_F(SmartVCLTest, FreedControlsDropOutOfTheHostsReferences)
{
    leftButton->scCanFocuse = true;
    host.WindowMouseMove(0, 75, 75);
    host.WindowMouseDown(mbLeft, ssLeft, 75, 75);
    ASSERT_EQ(host.CM_FOCUSE.Get(), leftButton);
    // The view rebuilds its contents without calling Reset.
    left->Controls(0)->Clear();
    EXPECT_EQ(host.CM_FOCUSE.Get(), nullptr);
    EXPECT_EQ(host.CM_ACTIVE.Get(), nullptr);
    host.WindowKeyDown(vkReturn, 0);
    host.WindowMouseMove(0, 80, 80);
    EXPECT_EQ(host.CM_ACTIVE.Get(), left);
}

}
}
