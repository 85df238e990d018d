// The equalizer page and the preset page: the slider and balance math, dragging only while
// the equalizer is on and into "Manual", the balance, the preset entries, and both pages
// painted with the default theme at 0.4 and 1.0 (knobs where their values put them, the
// response curve where the filters put it).

#include "library/tests/LibraryTestSupport.h"

#include "base/IniFile.h"
#include "platform/window/FakeMessageBox.h"
#include "player/equalizer/Equalizer.h"
#include "player/playback/PlaybackController.h"
#include "player/settings/Settings.h"
#include "ui/framework/ControlList.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"
#include "ui/views/controlbar/PlayerButtons.h"
#include "ui/views/menu/EqualizerPages.h"
#include "ui/views/menu/EqualizerView.h"
#include "ui/views/shared/ItemContainer.h"

#include "ui/views/tests/ColourDistance.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace vantor::testing {
namespace {

constexpr TEqualizerGains kRock { 5, 4, 2, -1, -2, -1, 2, 4, 5, 5 };

TEST(EqualizerMath, SliderValueAndKnobPosition)
{
    // A track 300 high with a 30-high knob: 270 units of travel, 9 per step.
    struct TCase {
        int Y;
        int Value;
    } const cases[] = {
        { 100, 0 },      // the top, and above it
        { 100 + 15, 0 }, // the knob's centre at the top
        { 100 + 20, 1 }, // rounds to the nearer step
        { 100 + 150, 15 },
        { 100 + 285, 30 },
        { 100 + 300, 30 }, // the bottom, and below it
        { 1000, 30 },
        { -50, 0 },
    };
    for (TCase const c : cases)
        EXPECT_EQ(EqValueAt(c.Y, 100, 300, 30), c.Value) << c.Y;
    // A press on a knob's centre gives back its value, at every step.
    for (int value = 0; value <= kEqSliderSteps; ++value) {
        int const offset = EqKnobOffset(300, 30, value);
        EXPECT_EQ(EqValueAt(100 + offset + 15, 100, 300, 30), value) << value;
    }
    EXPECT_EQ(EqKnobOffset(300, 30, 0), 0);
    EXPECT_EQ(EqKnobOffset(300, 30, 30), 270);
    EXPECT_EQ(EqKnobOffset(300, 80, 15), 110) << "the pre-amp knob is taller";
    // A track squeezed to its knob's height divides by nothing.
    EXPECT_EQ(EqKnobOffset(30, 30, 30), 0);
    EXPECT_EQ(EqValueAt(10, 0, 20, 30), 15);
}

TEST(EqualizerMath, BalanceValueAndKnobPosition)
{
    // A track from 20, 700 wide: the knob's centre travels from 38 to 702.
    struct TCase {
        int X;
        double Balance;
    } const cases[] = {
        { 0, -1.0 },
        { 38, -1.0 },
        { 370, 0.0 },
        { 702, 1.0 },
        { 800, 1.0 },
        { 38 + 166, -0.5 },
        { 374, 0.01 },
    };
    for (TCase const c : cases)
        EXPECT_NEAR(BalanceAt(c.X, 20, 700), c.Balance, 1e-12) << c.X;
    EXPECT_EQ(BalanceKnobCentre(20, 700, -1.0), 38);
    EXPECT_EQ(BalanceKnobCentre(20, 700, 0.0), 370);
    EXPECT_EQ(BalanceKnobCentre(20, 700, 1.0), 702);
    EXPECT_EQ(BalanceKnobCentre(20, 700, 7.0), 702) << "a balance beyond the range stays on the track";
    for (double balance : { -1.0, -0.37, 0.0, 0.5, 1.0 })
        EXPECT_NEAR(BalanceAt(BalanceKnobCentre(20, 700, balance), 20, 700), balance, 0.01) << balance;
    EXPECT_EQ(BalanceAt(30, 20, 30), 0.0) << "a track no wider than the knob";
}

class EqualizerPages : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        Settings.EqPresetName = "Rock";
        Playback = std::make_unique<TPlaybackController>(Session, Settings, Messages, nullptr, nullptr);
        Equalizer = std::make_unique<TEqualizer>(nullptr, Settings, [] { return 0u; });
        Equalizer->LoadPresets(TIniFile::FromBytes("[Presets]\nDefault=0,0,0,0,0,0,0,0,0,0\n"
                                                   "Manual=1,1,1,1,1,1,1,1,1,1\nRock=5,4,2,-1,-2,-1,2,4,5,5\n"
                                                   "Pop=-1,2,4,5,3,0,-1,-1,-1,-1\n"));
        Playback->Equalizer = Equalizer.get();
        Context.Playback = Playback.get();
        Context.Session = &Session;
        Context.Settings = &Settings;
    }

    void TearDown() override
    {
        Host.reset();
        Playback.reset();
        SetUIScale(1.0);
        LibraryTest::TearDown();
    }

    // The pages in a window as tall as the side menu of a 1092 x 630 window (1575 units less
    // the bars above and below).
    void MakePages(double scale)
    {
        SetUIScale(scale);
        Host = std::make_unique<TSmartVCL>(Scale(750), Scale(PageHeight));
        Context.Host = Host.get();
        Context.Theme = Host->ThemeManager.get();
        ASSERT_TRUE(Host->ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs"));
        Page = Host->AddControl("EQHolder", TSmartCtrl::Create<TEQHolder>(Context));
        Presets = Host->AddControl("EQPresetsHolder", TSmartCtrl::Create<TEQPresetsHolder>(Context, nullptr));
        for (TMenuHolder* page : { static_cast<TMenuHolder*>(Page), static_cast<TMenuHolder*>(Presets) }) {
            page->SetWidth(750);
            page->SetHeight(PageHeight);
        }
        Page->SetVisible(true);
        Page->Activate();
    }

    void SwitchOn(bool on)
    {
        Equalizer->SetEqualizerOn(on);
        Page->Equalizer->UpdateSliders();
    }

    // A left press at a logical point of the window.
    void Press(int x, int y, TMouseButton button = mbLeft)
    {
        Host->WindowMouseDown(button, button == mbLeft ? ssLeft : ssMiddle, Scale(x), Scale(y));
        Host->WindowMouseUp(button, 0, Scale(x), Scale(y));
    }

    // The window's point of a slider's track, at a value's knob centre.
    TPoint SliderPoint(int index, int value) const
    {
        TSliderData const& slider = Page->Equalizer->seSliderArray[index];
        TRect const track = slider.srRect.Offset(Page->Equalizer->Left(), Page->Equalizer->Top());
        return { track.Left + track.Width() / 2,
            track.Top + EqKnobOffset(track.Height(), slider.sdPanHeight, value) + slider.sdPanHeight / 2 };
    }

    TEqualizerGains const& GainsOf(const char* id) const { return Equalizer->FindEqPreset(id)->pdValue; }

    static constexpr int PageHeight = 1575 - 250 - 108;
    TSettings Settings;
    TFakeMessageBox Messages;
    TViewContext Context;
    std::unique_ptr<TPlaybackController> Playback;
    std::unique_ptr<TEqualizer> Equalizer;
    std::unique_ptr<TSmartVCL> Host;
    TEQHolder* Page = nullptr;
    TEQPresetsHolder* Presets = nullptr;
};

TEST_F(EqualizerPages, ThePageFitsUnderItsCaptionAboveItsActions)
{
    MakePages(1.0);
    EXPECT_EQ(Page->Equalizer->Top(), 110);
    EXPECT_EQ(Page->eqBalance->Top(), Page->Equalizer->Top() + Page->Equalizer->Height() + 50);
    EXPECT_LE(Page->eqBalance->Top() + Page->eqBalance->Height(), PageHeight - TMenuHolder::BarHeight)
        << "the balance stays above the actions bar";
    EXPECT_FALSE(Page->mhItemContainer->Visible());
}

TEST_F(EqualizerPages, SlidersMoveOnlyWhileTheEqualizerIsOn)
{
    MakePages(1.0);
    ASSERT_FALSE(Settings.EqualizerOn);
    EXPECT_EQ(Page->Equalizer->seDescription, "Off");
    TPoint const top = SliderPoint(3, 0);
    Press(top.X, top.Y);
    EXPECT_EQ(Page->Equalizer->seSliderArray[3].srValue, 15) << "off: Default's flat gains stay";
    EXPECT_EQ(Settings.EqPresetName, "Rock");
    EXPECT_EQ(GainsOf("Manual"), (TEqualizerGains { 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 }));
    EXPECT_NEAR(Page->Equalizer->ResponseAt(600), 0.0, 1e-6) << "the curve is flat while off";

    SwitchOn(true);
    EXPECT_EQ(Page->Equalizer->seDescription, "Rock");
    EXPECT_EQ(Page->Equalizer->seSliderArray[0].srValue, 5 + 15);
    // The first touch starts "Manual" from Rock; Rock itself keeps its gains.
    Press(top.X, top.Y);
    TEqualizerGains expected = kRock;
    expected[3] = -15;
    EXPECT_EQ(GainsOf("Manual"), expected);
    EXPECT_EQ(GainsOf("Rock"), kRock);
    EXPECT_EQ(Settings.EqPresetName, "Manual");
    EXPECT_EQ(Equalizer->CurrentPreset, Equalizer->FindEqPreset("Manual"));
    EXPECT_EQ(Page->Equalizer->seDescription, "600 Hz: -15");
    EXPECT_LT(Page->Equalizer->ResponseAt(600), -10.0) << "the curve follows the slider";

    // Dragging with the button held goes on into "Manual"; a move without it only describes.
    TPoint const low = SliderPoint(3, 25);
    Host->WindowMouseMove(ssLeft, low.X, low.Y);
    EXPECT_EQ(GainsOf("Manual")[3], 10);
    TPoint const other = SliderPoint(8, 30);
    Host->WindowMouseMove(0, other.X, other.Y);
    EXPECT_EQ(GainsOf("Manual")[8], 5);
    EXPECT_EQ(Page->Equalizer->seDescription, "12 kHz: +5");

    // The pre-amp knob moves and shows its value, and stores nothing.
    TPoint const preAmp = SliderPoint(TSmartEqualizer::PreAmp, 30);
    Press(preAmp.X, preAmp.Y);
    EXPECT_EQ(Page->Equalizer->seSliderArray[TSmartEqualizer::PreAmp].srValue, 30);
    EXPECT_EQ(Page->Equalizer->seDescription, "Pre-amp: +15");
    Page->Equalizer->UpdateSliders();
    EXPECT_EQ(Page->Equalizer->seSliderArray[TSmartEqualizer::PreAmp].srValue, 15);
}

TEST_F(EqualizerPages, TheEqualizerButtonRefreshesThePage)
{
    MakePages(1.0);
    auto button = TSmartCtrl::Create<TEQButton>(Context);
    button->Toggled = [this] { Page->Equalizer->UpdateSliders(); };
    button->SetWidth(100);
    button->SetHeight(100);
    TInputData press;
    press.idXPos = press.idYPos = 50;
    button->MouseDown(press);
    EXPECT_TRUE(Settings.EqualizerOn);
    EXPECT_EQ(Page->Equalizer->seDescription, "Rock");
    EXPECT_EQ(Page->Equalizer->seSliderArray[8].srValue, 20);
    button->MouseDown(press);
    EXPECT_EQ(Page->Equalizer->seDescription, "Off");
    EXPECT_EQ(Page->Equalizer->seSliderArray[8].srValue, 15);
}

TEST_F(EqualizerPages, BalanceFollowsPressesAndMiddleClickCentres)
{
    MakePages(1.0);
    // Without a locale the caption is its key.
    TSmartBalance* const balance = Page->eqBalance;
    int const y = balance->Top() + balance->srRect.Top + 20;
    Press(balance->Left() + 5, y);
    EXPECT_DOUBLE_EQ(Settings.BalanceValue, -1.0);
    EXPECT_EQ(balance->sbDescription, "Equalizer.Balance: -100");
    Press(balance->Left() + BalanceKnobCentre(balance->srRect.Left, balance->srRect.Width(), 0.25), y);
    EXPECT_DOUBLE_EQ(Settings.BalanceValue, 0.25);
    EXPECT_EQ(balance->sbDescription, "Equalizer.Balance: 25");
    Host->WindowMouseWheel(-120, 0);
    EXPECT_DOUBLE_EQ(Settings.BalanceValue, 0.25) << "the wheel does nothing";
    Press(balance->Left() + 600, y, mbMiddle);
    EXPECT_DOUBLE_EQ(Settings.BalanceValue, 0.0);
    EXPECT_EQ(balance->sbDescription, "Equalizer.Balance: 0");
}

TEST_F(EqualizerPages, PresetEntriesApplyWhileOnAndLeaveThePageOnly)
{
    MakePages(1.0);
    Page->SetVisible(false);
    Presets->SetVisible(true);
    Presets->LoadMenu();
    TControlList& items = Presets->mhItemContainer->ItemList();
    ASSERT_EQ(items.Count(), 4);
    auto entry = [&](int n) { return static_cast<TEQPresetItem*>(items.Control(n)); };
    auto centre = [&](int n, int x) {
        TRect const area = Unscale(entry(n)->GlobalRect());
        return TPoint { area.Left + x, area.Top + area.Height() / 2 };
    };

    TPoint const pop = centre(3, 300);
    Press(pop.X, pop.Y);
    EXPECT_EQ(Equalizer->CurrentPreset->pdID, "Default") << "off: a press applies nothing";
    EXPECT_EQ(Settings.EqPresetName, "Rock");
    Equalizer->SetEqualizerOn(true);
    Press(pop.X, pop.Y);
    EXPECT_EQ(Settings.EqPresetName, "Pop");
    EXPECT_TRUE(entry(3)->piData->pdActivePreset);

    // The bin takes the entry off the page with nothing pointing at it; the preset stays.
    TPoint const bin = centre(2, 30);
    Host->WindowMouseMove(0, bin.X, bin.Y);
    EXPECT_TRUE(entry(2)->piShowDelete);
    Press(bin.X, bin.Y);
    ASSERT_EQ(items.Count(), 3);
    EXPECT_EQ(entry(2)->piData->pdID, "Pop");
    EXPECT_EQ(Equalizer->EqPresetList.size(), 4u);
    EXPECT_EQ(Settings.EqPresetName, "Pop") << "removing is not applying";
    Host->WindowMouseMove(0, bin.X, bin.Y + 300);
    Presets->LoadMenu();
    EXPECT_EQ(items.Count(), 4) << "filled again, the page has every preset";
}

class EqualizerRender : public EqualizerPages, public ::testing::WithParamInterface<double> {
protected:
    uint32_t At(int x, int y) const { return Host->svCanvas.PixelAt(Scale(x), Scale(y)); }
    // Whether a logical rectangle holds a pixel of nearly the given colour.
    bool Holds(const TRect& logical, uint32_t colour, int tolerance = 12) const
    {
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                if (ColourDistance(Host->svCanvas.PixelAt(x, y), colour) <= tolerance)
                    return true;
        return false;
    }
    // How many device pixels of a logical rectangle stand out from a colour.
    int Ink(const TRect& logical, uint32_t background) const
    {
        int count = 0;
        for (int y = Scale(logical.Top); y < Scale(logical.Bottom); ++y)
            for (int x = Scale(logical.Left); x < Scale(logical.Right); ++x)
                count += ColourDistance(Host->svCanvas.PixelAt(x, y), background) > 90 ? 1 : 0;
        return count;
    }

    static constexpr uint32_t kRaised = 0xFF2A2C33;
    static constexpr uint32_t kBase = 0xFF1B1C21;
    static constexpr uint32_t kAccent = 0xFF4C8DFF;
    static constexpr uint32_t kInk = 0xFFE4E6EB;
    static constexpr uint32_t kLeft = 0xFF30323A;
};

TEST_P(EqualizerRender, KnobsAndTheCurveShowTheGains)
{
    MakePages(GetParam());
    SwitchOn(true);
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    TSmartEqualizer const& eq = *Page->Equalizer;
    EXPECT_LE(ColourDistance(At(300, 20), kRaised), 6) << "the caption bar";
    // Each band's knob sits where its gain puts it, and nowhere else on its track.
    for (int band : { 0, 3, 4, 9 }) {
        TSliderData const& slider = eq.seSliderArray[band];
        TRect const track = slider.srRect.Offset(eq.Left(), eq.Top());
        int const knob = track.Top + slider.sdPanPos;
        EXPECT_TRUE(Holds({ track.Left + 8, knob + 10, track.Right - 8, knob + 20 }, kAccent)) << band;
        int const away = slider.srValue > 15 ? track.Top + 20 : track.Bottom - 20;
        EXPECT_FALSE(Holds({ track.Left + 8, away - 5, track.Right - 8, away + 5 }, kAccent)) << band;
    }
    // The pre-amp knob at 0 dB, in the middle of its track.
    TSliderData const& preAmp = eq.seSliderArray[TSmartEqualizer::PreAmp];
    TRect const gain = preAmp.srRect.Offset(eq.Left(), eq.Top());
    EXPECT_TRUE(Holds(
        { gain.Left + 10, gain.Top + preAmp.sdPanPos + 30, gain.Right - 10, gain.Top + preAmp.sdPanPos + 50 }, kInk));
    // The curve: the accent line where the response of Rock's gains puts it at a few
    // frequencies, within the curve's frame.
    TRect const box = eq.CurveRect().Offset(eq.Left(), eq.Top());
    EXPECT_LE(ColourDistance(At(box.Left + 30, box.Top + 8), kBase), 6) << "the curve's frame";
    TRect const plot = eq.PlotRect().Offset(eq.Left(), eq.Top());
    for (double hz : { 60.0, 1000.0, 12000.0 }) {
        double const x = plot.Left + plot.Width() * std::log(hz / 20.0) / std::log(1000.0);
        double const y = plot.Top
            + plot.Height() * (TSmartEqualizer::CurveRangeDb - eq.ResponseAt(hz)) / (2 * TSmartEqualizer::CurveRangeDb);
        int const cx = static_cast<int>(x);
        int const cy = static_cast<int>(y);
        EXPECT_TRUE(Holds({ cx - 3, cy - 6, cx + 3, cy + 6 }, kAccent, 90)) << hz;
    }
    EXPECT_GT(Ink({ box.Left, plot.Bottom, box.Right, box.Bottom }, kBase), 20) << "the frequencies";
    EXPECT_GT(Ink({ box.Left, box.Top, plot.Left, box.Bottom }, kBase), 20) << "the dB scale";
    // The description, and the balance's knob in the middle of its track.
    TRect const eqArea = Unscale(eq.GlobalRect());
    EXPECT_GT(Ink({ eqArea.Left + 200, eqArea.Bottom - 60, eqArea.Right - 200, eqArea.Bottom }, kRaised), 10);
    TSmartBalance const& balance = *Page->eqBalance;
    int const knob = balance.Left() + balance.knobRect.Left + balance.knobRect.Width() / 2;
    int const trackY = balance.Top() + balance.srRect.Top + balance.srRect.Height() / 2;
    EXPECT_TRUE(Holds({ knob - 10, trackY - 5, knob + 10, trackY + 5 }, kAccent));
    EXPECT_FALSE(Holds({ balance.Left() + 60, trackY - 5, balance.Left() + 200, trackY + 5 }, kAccent));
}

TEST_P(EqualizerRender, TheCurveIsFlatWhileOff)
{
    MakePages(GetParam());
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    TSmartEqualizer const& eq = *Page->Equalizer;
    TRect const plot = eq.PlotRect().Offset(eq.Left(), eq.Top());
    int const zero = plot.Top + plot.Height() / 2;
    for (int x : { plot.Left + 40, plot.Left + plot.Width() / 2, plot.Right - 40 }) {
        EXPECT_TRUE(Holds({ x - 2, zero - 4, x + 2, zero + 4 }, kAccent, 90)) << x;
        EXPECT_FALSE(Holds({ x - 2, plot.Top, x + 2, zero - 20 }, kAccent, 90)) << x;
    }
}

TEST_P(EqualizerRender, PresetEntriesShowTheirMarksAndTheBin)
{
    MakePages(GetParam());
    SwitchOn(true);
    Page->SetVisible(false);
    Presets->SetVisible(true);
    Presets->LoadMenu();
    TControlList& items = Presets->mhItemContainer->ItemList();
    ASSERT_EQ(items.Count(), 4);
    TRect const rock = Unscale(items.Control(2)->GlobalRect());
    TRect const pop = Unscale(items.Control(3)->GlobalRect());
    Host->WindowMouseMove(0, Scale(pop.Left + 30), Scale(pop.Top + 45));
    Host->PaintBackBuffer();
    SCOPED_TRACE(GetParam());
    EXPECT_LE(ColourDistance(At(rock.Right - 40, rock.Top + 10), kRaised), 6);
    EXPECT_LE(ColourDistance(At(rock.Left + 4, rock.Top + 45), kLeft), 6) << "the left part";
    EXPECT_GT(Ink({ rock.Left + 84, rock.Top + 20, rock.Left + 300, rock.Bottom - 20 }, kRaised), 20) << "the name";
    // The active preset's mark, another preset's icon and the bin under the pointer differ.
    auto icon = [&](const TRect& entry) {
        std::vector<uint32_t> pixels;
        for (int y = 0; y < 46; y += 2)
            for (int x = 0; x < 46; x += 2)
                pixels.push_back(At(entry.Left + 9 + x, entry.Top + 22 + y));
        return pixels;
    };
    TRect const manual = Unscale(items.Control(1)->GlobalRect());
    EXPECT_NE(icon(rock), icon(manual));
    EXPECT_NE(icon(pop), icon(manual));
    EXPECT_GT(Ink({ rock.Left + 9, rock.Top + 22, rock.Left + 55, rock.Top + 68 }, kLeft), 10);
}

INSTANTIATE_TEST_SUITE_P(Scales, EqualizerRender, ::testing::Values(0.4, 1.0));

}
}
