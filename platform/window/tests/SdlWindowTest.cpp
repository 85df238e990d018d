// Opens a real window; needs a display (the test suite runs it under xvfb-run) and skips
// without one.

#include "platform/window/SdlWindow.h"
#include "platform/window/EventLoop.h"
#include "tests/support/Requirements.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <stdexcept>

namespace vantor {
namespace {

// A client that fills its back buffer with one colour and records its input.
class TColorClient : public IWindowClient {
public:
    uint32_t Color = 0xFF3366CC;
    TBitmap Buffer;
    bool Dirty = true;
    std::vector<TRect> Damage; // what WindowPaint reports; the whole buffer when empty
    int Paints = 0;
    std::vector<std::string> Events;
    std::vector<std::string> Dropped;

    void WindowMouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        Events.push_back("down " + std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(x) + ","
            + std::to_string(y));
    }
    void WindowMouseUp(TMouseButton, TShiftState, int, int) override { Events.push_back("up"); }
    void WindowMouseMove(TShiftState, int x, int y) override
    {
        Events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
    }
    void WindowMouseWheel(int delta, TShiftState) override { Events.push_back("wheel " + std::to_string(delta)); }
    void WindowMouseEnter() override { }
    void WindowMouseLeave() override { }
    void WindowKeyDown(uint16_t key, TShiftState shift) override
    {
        Events.push_back("key " + std::to_string(key) + " " + std::to_string(shift));
    }
    void WindowKeyUp(uint16_t, TShiftState) override { }
    void WindowKeyPress(char32_t c) override { Events.push_back("char " + std::to_string(uint32_t(c))); }
    void WindowResized(int width, int height) override
    {
        Buffer.SetSize(width, height);
        Dirty = true;
    }
    void WindowDrop(const std::vector<std::string>& files, int, int) override { Dropped = files; }
    TWindowHit WindowHitTest(int, int) override { return TWindowHit::whNormal; }
    bool WindowNeedsPaint() const override { return Dirty; }
    const TBitmap& WindowPaint(std::vector<TRect>& dirty) override
    {
        ++Paints;
        Buffer.FillRect(TRect::FromSize(0, 0, Buffer.Width(), Buffer.Height()), Color);
        dirty = Damage.empty() ? std::vector<TRect> { TRect::FromSize(0, 0, Buffer.Width(), Buffer.Height()) } : Damage;
        Dirty = false;
        return Buffer;
    }
};

// SDL unloads the X11 libraries when its video subsystem ends, which leaves their teardown
// leaks without symbols. One reference held for the whole run keeps them loaded.
class TKeepVideoLoaded : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
            SDL_InitSubSystem(SDL_INIT_VIDEO);
    }
};
::testing::Environment* const keepVideo = ::testing::AddGlobalTestEnvironment(new TKeepVideoLoaded);

class SdlWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
            VANTOR_SKIP_UNLESS_CI("no display");
        // Read-back of the presented frame is exact with the software renderer.
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        try {
            window = std::make_unique<TSdlWindow>(loop, client, 160, 120);
        } catch (const std::runtime_error& error) {
            VANTOR_SKIP_UNLESS_CI(error.what());
        }
        window->Show();
    }

    void Push(SDL_Event event) { ASSERT_EQ(SDL_PushEvent(&event), 1); }

    TEventLoop loop;
    TColorClient client;
    std::unique_ptr<TSdlWindow> window;
};

TEST_F(SdlWindowTest, ShowsTheBackBufferAndRepaintsOnlyWhenInvalidated)
{
    // The first-present hook runs once, with the first frame already out.
    int firstPresents = 0;
    uint32_t shownAtFirstPresent = 0;
    window->OnFirstPresent = [&] {
        ++firstPresents;
        TBitmap out;
        if (window->ReadPixels(out))
            shownAtFirstPresent = out.PixelAt(10, 10);
    };
    loop.RunOnce(50);
    EXPECT_EQ(client.Paints, 1);
    EXPECT_EQ(firstPresents, 1);
    EXPECT_EQ(shownAtFirstPresent, client.Color);
    TBitmap shown;
    ASSERT_TRUE(window->ReadPixels(shown));
    EXPECT_EQ(shown.PixelAt(10, 10), client.Color);
    EXPECT_EQ(shown.PixelAt(150, 110), client.Color);

    loop.RunOnce(10);
    EXPECT_EQ(client.Paints, 1) << "nothing was invalidated";

    client.Color = 0xFF00FF00;
    client.Dirty = true;
    loop.RunOnce(10);
    EXPECT_EQ(client.Paints, 2);
    ASSERT_TRUE(window->ReadPixels(shown));
    EXPECT_EQ(shown.PixelAt(80, 60), 0xFF00FF00u);

    // Only the reported damage goes out, though the whole buffer changed.
    client.Color = 0xFF0000FF;
    client.Damage = { TRect::FromSize(10, 10, 20, 20), TRect::FromSize(100, 50, 5, 5) };
    client.Dirty = true;
    loop.RunOnce(10);
    ASSERT_TRUE(window->ReadPixels(shown));
    for (TPoint const in : { TPoint { 10, 10 }, TPoint { 29, 29 }, TPoint { 104, 54 } })
        EXPECT_EQ(shown.PixelAt(in.X, in.Y), 0xFF0000FFu) << in.X << "," << in.Y;
    for (TPoint const out : { TPoint { 9, 10 }, TPoint { 30, 29 }, TPoint { 80, 60 }, TPoint { 105, 54 } })
        EXPECT_EQ(shown.PixelAt(out.X, out.Y), 0xFF00FF00u) << out.X << "," << out.Y;
    EXPECT_EQ(firstPresents, 1);
}

TEST_F(SdlWindowTest, SdlInputBecomesClientEvents)
{
    loop.RunOnce(10);
    client.Events.clear();
    SDL_Event event {};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.windowID = window->WindowID();
    event.button.button = SDL_BUTTON_LEFT;
    event.button.clicks = 2;
    event.button.x = 40;
    event.button.y = 30;
    Push(event);
    event = {};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.windowID = window->WindowID();
    event.wheel.y = -2;
    Push(event);
    event = {};
    event.type = SDL_KEYDOWN;
    event.key.windowID = window->WindowID();
    event.key.keysym.sym = SDLK_DELETE;
    event.key.keysym.scancode = SDL_SCANCODE_DELETE;
    event.key.keysym.mod = KMOD_LCTRL;
    Push(event);
    event = {};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = window->WindowID();
    SDL_strlcpy(event.text.text, "\xC3\xA9", sizeof(event.text.text));
    Push(event);
    loop.RunOnce(10);
    // The real pointer may enter the new window meanwhile; only the pushed events count.
    std::erase_if(client.Events, [](const std::string& e) { return e.starts_with("move"); });
    // Left button (8) plus the double-click flag (64).
    EXPECT_EQ(client.Events, (std::vector<std::string> { "down 0 72 40,30", "wheel -240", "key 46 4", "char 233" }));
}

TEST_F(SdlWindowTest, OneDropCollectsAllItsFiles)
{
    SDL_Event event {};
    event.type = SDL_DROPBEGIN;
    event.drop.windowID = window->WindowID();
    Push(event);
    for (const char* path : { "/music/a.flac", "/music/b" }) {
        event.type = SDL_DROPFILE;
        event.drop.file = SDL_strdup(path);
        Push(event);
    }
    event.type = SDL_DROPCOMPLETE;
    event.drop.file = nullptr;
    Push(event);
    loop.RunOnce(10);
    EXPECT_EQ(client.Dropped, (std::vector<std::string> { "/music/a.flac", "/music/b" }));
}

TEST_F(SdlWindowTest, BoundsAndClose)
{
    window->SetBounds(TRect::FromSize(30, 40, 200, 150));
    loop.RunOnce(50);
    TRect const bounds = window->Bounds();
    EXPECT_EQ(bounds.Width(), 200);
    EXPECT_EQ(bounds.Height(), 150);
    EXPECT_EQ(client.Buffer.Width(), 200) << "the client follows the size";
    window->Close();
    EXPECT_TRUE(TEventLoop::QuitRequested());
    loop.Run(); // returns at once and clears the request
    EXPECT_FALSE(TEventLoop::QuitRequested());
}

}
}
