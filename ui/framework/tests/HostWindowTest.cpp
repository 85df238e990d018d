// The control tree's host in a real window: what the controls paint is what the window shows,
// and SDL input reaches the control under the pointer. Needs a display (xvfb-run); skips
// without one.

#include "platform/window/EventLoop.h"
#include "platform/window/SdlWindow.h"
#include "tests/support/Requirements.h"
#include "ui/framework/SmartVCL.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace vantor {
namespace {

// Red until pressed, then green.
class TSwatch : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
    int Presses = 0;
    TPoint LastPress;

    void On_Paint(TBitmap& canvas) override
    {
        canvas.FillRect(TRect::FromSize(0, 0, scWidth, scHeight), Presses ? 0xFF00FF00 : 0xFFFF0000);
    }
    TSmartCtrl* On_MouseDown(const TInputData& in, bool& childNotify) override
    {
        ++Presses;
        LastPress = { in.idXPos, in.idYPos };
        childNotify = true;
        return this;
    }
};

TEST(HostWindow, ShowsTheTreeAndRoutesSdlInput)
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        VANTOR_SKIP_UNLESS_CI("no display");
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    SDL_InitSubSystem(SDL_INIT_VIDEO); // held to the end, see SdlWindowTest.cpp

    TEventLoop loop;
    TSmartVCL host(1, 1);
    std::unique_ptr<TSdlWindow> window;
    try {
        window = std::make_unique<TSdlWindow>(loop, host, 200, 150);
    } catch (const std::runtime_error& error) {
        VANTOR_SKIP_UNLESS_CI(error.what());
    }
    host.Window = window.get();
    EXPECT_EQ(host.svCanvas.Width(), 200) << "the window sized the back buffer";
    TSwatch* swatch = host.AddControl("swatch", TSmartCtrl::Create<TSwatch>());
    swatch->SetPosition(40, 30);
    swatch->SetWidth(60);
    swatch->SetHeight(50);
    window->Show();
    loop.RunOnce(50);

    TBitmap shown;
    ASSERT_TRUE(window->ReadPixels(shown));
    EXPECT_EQ(shown.PixelAt(50, 40), 0xFFFF0000u);
    EXPECT_EQ(shown.PixelAt(20, 20), 0xFFECECECu);

    SDL_Event event {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = window->WindowID();
    event.button.button = SDL_BUTTON_LEFT;
    event.button.clicks = 1;
    event.button.x = 70;
    event.button.y = 60;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    loop.RunOnce(50);
    EXPECT_EQ(swatch->Presses, 1);
    EXPECT_EQ(swatch->LastPress, (TPoint { 30, 30 }));
    ASSERT_TRUE(window->ReadPixels(shown));
    EXPECT_EQ(shown.PixelAt(50, 40), 0xFF00FF00u) << "the press invalidated the control";

    host.Window = nullptr;
}

}
}
