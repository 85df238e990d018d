#pragma once

// The controls of the equalizer page: ten band sliders and the pre-amp knob under the response
// curve of the bands, and the stereo balance slider.

#include "player/equalizer/EQPresetData.h"
#include "ui/framework/SmartCtrl.h"

#include <array>
#include <string>

namespace vantor {

struct TViewContext;
class TEqualizer;

// Slider math, shared by painting and dragging. A slider's value runs from 0 at the top of its
// track (-15 dB) to 30 at the bottom (+15 dB); the knob's offset from the track's top follows it.
inline constexpr int kEqSliderSteps = kEqMaxGain - kEqMinGain;
int EqKnobOffset(int trackHeight, int knobHeight, int value);
// The value at a pointer's y, clamped to the track; a track no taller than its knob gives the
// middle.
int EqValueAt(int y, int trackTop, int trackHeight, int knobHeight);

// Balance math: -1 (left) to +1 (right) against a horizontal track with a knob 36 wide.
inline constexpr int kBalanceKnobWidth = 36;
int BalanceKnobCentre(int trackLeft, int trackWidth, double balance);
// The balance at a pointer's x, clamped to the track; a track no wider than its knob gives 0.
double BalanceAt(int x, int trackLeft, int trackWidth);

struct TSliderData {
    TRect srRect;       // the track
    int srValue = 15;   // 0 to 30: gain + 15
    std::string srDesc; // the slider's caption
    int sdPanPos = 0;   // knob offset from the track's top
    int sdPanHeight = 30;
};

class TSmartEqualizer : public TSmartCtrl {
public:
    static constexpr int CurveHeight = 240;     // the response curve above the sliders
    static constexpr int SliderHeight = 430;    // sliders, their frequencies and the description
    static constexpr int DescHeight = 60;       // the description along the bottom
    static constexpr int PreAmp = kEqBandCount; // the pre-amp knob's entry
    // dB range of the curve's plot; the grid marks -15, 0 and +15.
    static constexpr double CurveRangeDb = 18.0;

    TSmartEqualizer(TCreateKey key, const TViewContext& context);

    std::array<TSliderData, kEqBandCount + 1> seSliderArray; // bands 0 to 9, then the pre-amp
    std::string seDescription = "44 kHz : 45";

    // Puts the sliders, the description and the curve in line with the preset in force and the
    // equalizer switch, and repaints.
    void UpdateSliders();
    // The gain of the ten bands shown, in dB, at a frequency: the curve above the sliders.
    double ResponseAt(double frequency) const;
    // The curve's frame, and the plot inside it from 20 Hz to 20 kHz and from +CurveRangeDb
    // to -CurveRangeDb, in the control's units.
    TRect CurveRect() const;
    TRect PlotRect() const;

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;

private:
    TEqualizer* Equalizer() const;
    bool IsOn() const;
    int SliderAt(int x, int y) const;
    void SetValue(TSliderData& slider, int value);
    void DragTo(int index, int y);
    void PaintCurve(TBitmap& Canvas, const TRect& box, const TRect& plot);
    double SampleRate() const;

    const TViewContext* m_context; // non-owning
};

// The wheel does nothing over it.
class TSmartBalance : public TSmartCtrl {
public:
    static constexpr int BalanceHeight = 155;
    static constexpr int TrackInset = 20;
    static constexpr int SliderHeight = 55;

    TSmartBalance(TCreateKey key, const TViewContext& context);

    std::string sbDescription;
    TRect srRect;   // the track
    TRect knobRect; // the knob
    int sdPanPos = 50;

    // Places the knob for the balance in force and writes the description.
    void UpdateBalance();

protected:
    void On_Paint(TBitmap& Canvas) override;
    void On_Resize() override;
    TSmartCtrl* On_MouseDown(const TInputData& InputData, bool& ChildNotify) override;
    TSmartCtrl* On_MouseMove(const TInputData& InputData, bool& ChildNotify) override;

private:
    void SetBalance(double value);

    const TViewContext* m_context; // non-owning
};

}
