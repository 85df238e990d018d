#include "ui/views/menu/EqualizerView.h"

#include "platform/audio/AudioEngine.h"
#include "platform/audio/PeakingFilter.h"
#include "player/equalizer/Equalizer.h"
#include "player/playback/PlaybackController.h"
#include "ui/framework/LocaleManager.h"
#include "ui/framework/SkinKeys.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"
#include "ui/views/ViewContext.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vantor {

namespace {

constexpr int kBandKnobHeight = 30;
constexpr int kPreAmpKnobHeight = 80;
constexpr int kTrackTop = 20;                   // below the curve
constexpr int kLabelHeight = 30;                // the band's frequency under its track
constexpr int kTrackBottom = 80 + kLabelHeight; // above the control's bottom
constexpr double kLowest = 20.0;                // Hz, the curve's span
constexpr double kHighest = 20000.0;
constexpr int kCurvePoints = 160;

TTextFlags const kDescFlags = tfCenter | tfVCenter | tfSingleLine | tfEndEllipsis;

std::string BandCaption(int band)
{
    int const hz = static_cast<int>(kEqBandCenters[band]);
    return hz < 1000 ? std::to_string(hz) + " Hz" : std::to_string(hz / 1000) + " kHz";
}

// The short form under the band's track.
std::string BandLabel(int band)
{
    int const hz = static_cast<int>(kEqBandCenters[band]);
    return hz < 1000 ? std::to_string(hz) : std::to_string(hz / 1000) + "k";
}

std::string Signed(int value)
{
    std::string text = std::to_string(value);
    if (value > 0)
        text.insert(text.begin(), '+');
    return text;
}

void SetSource(cairo_t* cr, uint32_t argb)
{
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0,
        ((argb >> 24) & 0xFF) / 255.0);
}

}

int EqKnobOffset(int trackHeight, int knobHeight, int value)
{
    int const room = trackHeight - knobHeight;
    if (room <= 0)
        return 0;
    return static_cast<int>(
        std::lround(static_cast<double>(room) * std::clamp(value, 0, kEqSliderSteps) / kEqSliderSteps));
}

int EqValueAt(int y, int trackTop, int trackHeight, int knobHeight)
{
    int const room = trackHeight - knobHeight;
    if (room <= 0)
        return kEqSliderSteps / 2;
    int const half = knobHeight / 2;
    int const clamped = std::clamp(y, trackTop + half, trackTop + trackHeight - half);
    return static_cast<int>(std::lround(static_cast<double>(kEqSliderSteps) * (clamped - trackTop - half) / room));
}

int BalanceKnobCentre(int trackLeft, int trackWidth, double balance)
{
    int const room = std::max(0, trackWidth - kBalanceKnobWidth);
    return static_cast<int>(std::lround(room * std::clamp(balance, -1.0, 1.0) * 100 / 200)) + trackWidth / 2
        + trackLeft;
}

double BalanceAt(int x, int trackLeft, int trackWidth)
{
    int const room = trackWidth - kBalanceKnobWidth;
    if (room <= 0)
        return 0.0;
    int const half = kBalanceKnobWidth / 2;
    int const clamped = std::clamp(x, trackLeft + half, trackLeft + trackWidth - half);
    long const position = std::lround(200.0 * (clamped - trackLeft - half) / room);
    return static_cast<double>(position) / 100 - 1;
}

// ---- TSmartEqualizer ---------------------------------------------------------------------

TSmartEqualizer::TSmartEqualizer(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    for (int band = 0; band < kEqBandCount; ++band)
        seSliderArray[band].srDesc = BandCaption(band);
    seSliderArray[PreAmp].srDesc = "Pre-amp";
    seSliderArray[PreAmp].sdPanHeight = kPreAmpKnobHeight;
}

TEqualizer* TSmartEqualizer::Equalizer() const
{
    return m_context->Playback ? m_context->Playback->Equalizer : nullptr;
}

bool TSmartEqualizer::IsOn() const { return m_context->Settings && m_context->Settings->EqualizerOn; }

void TSmartEqualizer::SetValue(TSliderData& slider, int value)
{
    slider.srValue = std::clamp(value, 0, kEqSliderSteps);
    slider.sdPanPos = EqKnobOffset(slider.srRect.Height(), slider.sdPanHeight, slider.srValue);
}

void TSmartEqualizer::UpdateSliders()
{
    TEqualizer const* const equalizer = Equalizer();
    TEQPresetData const* const preset = equalizer ? equalizer->CurrentPreset : nullptr;
    if (!preset)
        return;
    seDescription = IsOn() ? preset->pdCaption : "Off";
    for (int band = 0; band < kEqBandCount; ++band)
        SetValue(seSliderArray[band], preset->pdValue[band] - kEqMinGain);
    SetValue(seSliderArray[PreAmp], equalizer->PreAmpGain - kEqMinGain);
    Invalidate(false);
}

double TSmartEqualizer::SampleRate() const
{
    TAudioEngine const* const engine = m_context->Playback ? m_context->Playback->AudioEngine : nullptr;
    return engine && engine->OutputRate() > 0 ? engine->OutputRate() : 44100.0;
}

double TSmartEqualizer::ResponseAt(double frequency) const
{
    std::array<TPeakingEqParams, kEqBandCount> bands;
    for (int band = 0; band < kEqBandCount; ++band)
        bands[band] = { kEqBandCenters[band], kEqBandwidth,
            static_cast<float>(seSliderArray[band].srValue + kEqMinGain) };
    return PeakingChainGainDb(bands, frequency, SampleRate());
}

TRect TSmartEqualizer::CurveRect() const { return { 10, 10, Width() - 10, CurveHeight - 10 }; }

TRect TSmartEqualizer::PlotRect() const
{
    // Room on the left for the dB scale and below for the frequencies.
    TRect const box = CurveRect();
    return { box.Left + 60, box.Top + 16, box.Right - 32, box.Bottom - 34 };
}

void TSmartEqualizer::On_Resize()
{
    int const bottom = Height() - kTrackBottom;
    int const pitch = (Width() - 430) / 10 + 35;
    for (int band = 0; band < kEqBandCount; ++band) {
        int const x = band * pitch;
        seSliderArray[band].srRect = { x + 80, CurveHeight + kTrackTop, x + 115, bottom };
    }
    seSliderArray[PreAmp].srRect = { 2, CurveHeight + kTrackTop, 40, bottom };
    for (TSliderData& slider : seSliderArray)
        SetValue(slider, slider.srValue);
    TSmartCtrl::On_Resize();
}

void TSmartEqualizer::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::Eq_Back, Canvas, "TSmartEqualizer", area);
    TRect const bottom { area.Left, area.Bottom - DescHeight, area.Right, area.Bottom };
    theme->Draw(skin::controls::Eq_Back_Bottom, Canvas, "TSmartEqualizer.Bottom", bottom);
    PaintCurve(Canvas, CurveRect().Offset(area.Left, area.Top), PlotRect().Offset(area.Left, area.Top));
    for (int n = 0; n < kEqBandCount; ++n) {
        TSliderData const& slider = seSliderArray[n];
        TRect const track = slider.srRect.Offset(area.Left, area.Top);
        theme->Draw(skin::controls::Eq_Slider_Back, Canvas, "TSmartEqualizer.Track", track);
        theme->TextOut(BandLabel(n), skin::fonts::Eq_Scale, tfCenter | tfVCenter | tfSingleLine,
            { track.Left - 20, track.Bottom + 2, track.Right + 20, track.Bottom + kLabelHeight }, Canvas);
        theme->Draw(skin::controls::Eq_Knob_Back, Canvas, "TSmartEqualizer.Knob",
            { track.Left - 2, track.Top + slider.sdPanPos, track.Right + 2,
                track.Top + slider.sdPanPos + kBandKnobHeight });
    }
    TSliderData const& preAmp = seSliderArray[PreAmp];
    TRect const track = preAmp.srRect.Offset(area.Left, area.Top);
    theme->Draw(skin::controls::Eq_Gain_Knob, Canvas, "TSmartEqualizer.Gain",
        { track.Left, track.Top + preAmp.sdPanPos, track.Right, track.Top + preAmp.sdPanPos + kPreAmpKnobHeight });
    theme->TextOut("Pre", skin::fonts::Eq_Scale, tfCenter | tfVCenter | tfSingleLine,
        { track.Left - 8, track.Bottom + 2, track.Right + 8, track.Bottom + kLabelHeight }, Canvas);
    theme->TextOut(seDescription, skin::fonts::Eq_Desc, kDescFlags, bottom, Canvas);
}

void TSmartEqualizer::PaintCurve(TBitmap& Canvas, const TRect& box, const TRect& plot)
{
    TThemeManager* const theme = m_context->Theme;
    theme->Draw(skin::controls::Eq_Curve_Back, Canvas, "TSmartEqualizer.Curve", box);
    if (plot.IsEmpty())
        return;
    auto xOf = [&](double hz) {
        return plot.Left + plot.Width() * std::log(hz / kLowest) / std::log(kHighest / kLowest);
    };
    auto yOf = [&](double db) { return plot.Top + plot.Height() * (CurveRangeDb - db) / (2 * CurveRangeDb); };
    TTextFlags const scaleFlags = tfVCenter | tfSingleLine;
    for (int db : { 15, 0, -15 }) {
        int const y = static_cast<int>(std::lround(yOf(db)));
        Canvas.FillRect(Scale(TRect { plot.Left, y, plot.Right, y + 2 }),
            theme->Color(db == 0 ? skin::colors::Eq_Grid_Zero : skin::colors::Eq_Grid));
        theme->TextOut(Signed(db), skin::fonts::Eq_Scale, scaleFlags | tfRight,
            { box.Left, y - 15, plot.Left - 12, y + 15 }, Canvas);
    }
    struct TMark {
        double Hz;
        const char* Caption;
    };
    for (TMark const mark : { TMark { 20, "20" }, TMark { 100, "100" }, TMark { 1000, "1k" }, TMark { 10000, "10k" },
             TMark { 20000, "20k" } }) {
        int const x = static_cast<int>(std::lround(xOf(mark.Hz)));
        Canvas.FillRect(Scale(TRect { x, plot.Top, x + 2, plot.Bottom }), theme->Color(skin::colors::Eq_Grid));
        theme->TextOut(mark.Caption, skin::fonts::Eq_Scale, scaleFlags | tfCenter,
            { x - 40, plot.Bottom + 4, x + 40, box.Bottom - 2 }, Canvas);
    }

    cairo_t* const cr = Canvas.Context();
    if (!cr)
        return;
    cairo_save(cr);
    TRect const clip = Scale(box);
    cairo_rectangle(cr, clip.Left, clip.Top, clip.Width(), clip.Height());
    cairo_clip(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    double const scale = UIScale();
    cairo_new_path(cr);
    for (int n = 0; n <= kCurvePoints; ++n) {
        double const hz = kLowest * std::pow(kHighest / kLowest, static_cast<double>(n) / kCurvePoints);
        double const x = xOf(hz) * scale;
        double const y = yOf(std::clamp(ResponseAt(hz), -2 * CurveRangeDb, 2 * CurveRangeDb)) * scale;
        if (n == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    // The area between the curve and 0 dB, then the line over it.
    cairo_path_t* const line = cairo_copy_path(cr);
    double const zero = yOf(0) * scale;
    cairo_line_to(cr, xOf(kHighest) * scale, zero);
    cairo_line_to(cr, xOf(kLowest) * scale, zero);
    cairo_close_path(cr);
    SetSource(cr, theme->Color(skin::colors::Eq_Curve_Fill));
    cairo_fill(cr);
    cairo_append_path(cr, line);
    cairo_path_destroy(line);
    SetSource(cr, theme->Color(skin::colors::Eq_Curve));
    cairo_set_line_width(cr, std::max(2.0, 4 * scale));
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
}

int TSmartEqualizer::SliderAt(int x, int y) const
{
    for (int n = 0; n <= PreAmp; ++n)
        if (seSliderArray[n].srRect.Contains(x, y))
            return n;
    return -1;
}

void TSmartEqualizer::DragTo(int index, int y)
{
    TEqualizer* const equalizer = Equalizer();
    TSettings* const settings = m_context->Settings;
    if (!equalizer || !settings)
        return;
    // The sliders edit "Manual": the first touch starts it from the preset in force.
    if (settings->EqPresetName != kManualPresetID) {
        if (TEQPresetData* const manual = equalizer->FindEqPreset(kManualPresetID)) {
            if (equalizer->CurrentPreset)
                manual->CopyFrom(*equalizer->CurrentPreset);
            equalizer->ApplyEqPreset(manual);
        }
    }
    TSliderData& slider = seSliderArray[index];
    SetValue(slider, EqValueAt(y, slider.srRect.Top, slider.srRect.Height(), slider.sdPanHeight));
    int const gain = slider.srValue + kEqMinGain;
    seDescription = slider.srDesc + ": " + Signed(gain);
    if (index < kEqBandCount) {
        if (TEQPresetData* const manual = equalizer->FindEqPreset(kManualPresetID)) {
            manual->pdValue[index] = static_cast<int8_t>(gain);
            equalizer->ApplyEqPreset(manual);
        }
    }
    Invalidate(false);
}

TSmartCtrl* TSmartEqualizer::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (!IsOn())
        return this;
    int const index = SliderAt(InputData.idXPos, InputData.idYPos);
    if (index >= 0)
        DragTo(index, InputData.idYPos);
    return this;
}

TSmartCtrl* TSmartEqualizer::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (!IsOn())
        return this;
    int const index = SliderAt(InputData.idXPos, InputData.idYPos);
    if (index >= 0 && (InputData.idShift & ssLeft)) {
        DragTo(index, InputData.idYPos);
        return this;
    }
    TEqualizer const* const equalizer = Equalizer();
    std::string description;
    if (index >= 0)
        description = seSliderArray[index].srDesc + ": " + Signed(seSliderArray[index].srValue + kEqMinGain);
    else if (equalizer && equalizer->CurrentPreset)
        description = equalizer->CurrentPreset->pdCaption;
    else
        return this;
    if (description != seDescription) {
        seDescription = std::move(description);
        Invalidate(false);
    }
    return this;
}

// ---- TSmartBalance -----------------------------------------------------------------------

TSmartBalance::TSmartBalance(TCreateKey key, const TViewContext& context)
    : TSmartCtrl(key)
    , m_context(&context)
{
    UpdateBalance();
}

void TSmartBalance::UpdateBalance()
{
    double const balance = m_context->Settings ? m_context->Settings->BalanceValue : 0.0;
    sdPanPos = static_cast<int>(std::lround((balance + 1) * 100));
    int const x = BalanceKnobCentre(srRect.Left, srRect.Width(), balance);
    int const half = kBalanceKnobWidth / 2;
    knobRect = { x - half, srRect.Top - 2, x + half, srRect.Bottom + 2 };
    char number[32];
    // %g keeps whole percentages whole; adding 0.0 turns -0 into 0.
    std::snprintf(number, sizeof number, "%g", std::nearbyint(balance * 100 * 1e6) / 1e6 + 0.0);
    std::string const caption = m_context->Locale ? m_context->Locale->Get("Equalizer.Balance") : "Equalizer.Balance";
    sbDescription = caption + ": " + number;
}

void TSmartBalance::On_Resize()
{
    srRect = { TrackInset, TrackInset, Width() - TrackInset, TrackInset + SliderHeight };
    UpdateBalance();
    TSmartCtrl::On_Resize();
}

void TSmartBalance::On_Paint(TBitmap& Canvas)
{
    TThemeManager* const theme = m_context->Theme;
    if (!theme)
        return;
    TRect const area = CanvasRect();
    theme->Draw(skin::controls::Eq_Back, Canvas, "TSmartBalance", area);
    TRect const bottom { area.Left, area.Bottom - TSmartEqualizer::DescHeight, area.Right, area.Bottom };
    theme->Draw(skin::controls::Eq_Back_Bottom, Canvas, "TSmartBalance.Bottom", bottom);
    theme->Draw(skin::controls::Eq_Slider_Back, Canvas, "TSmartBalance.Track", srRect.Offset(area.Left, area.Top));
    // The middle of the track: where the balance is even.
    int const middle = area.Left + srRect.Left + srRect.Width() / 2;
    Canvas.FillRect(Scale(TRect { middle - 1, area.Top + srRect.Top + 10, middle + 1, area.Top + srRect.Bottom - 10 }),
        theme->Color(skin::colors::Eq_Grid_Zero));
    theme->Draw(skin::controls::Eq_Knob_Back, Canvas, "TSmartBalance.Knob", knobRect.Offset(area.Left, area.Top));
    theme->TextOut(sbDescription, skin::fonts::Eq_Desc, kDescFlags, bottom, Canvas);
}

void TSmartBalance::SetBalance(double value)
{
    TEqualizer* const equalizer = m_context->Playback ? m_context->Playback->Equalizer : nullptr;
    if (equalizer)
        equalizer->SetBalance(value);
    else if (m_context->Settings)
        m_context->Settings->BalanceValue = value;
    UpdateBalance();
    Invalidate(false);
}

TSmartCtrl* TSmartBalance::On_MouseDown(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idButton == mbLeft)
        SetBalance(BalanceAt(InputData.idXPos, srRect.Left, srRect.Width()));
    else if (InputData.idButton == mbMiddle)
        SetBalance(0.0);
    return this;
}

TSmartCtrl* TSmartBalance::On_MouseMove(const TInputData& InputData, bool& ChildNotify)
{
    ChildNotify = false;
    if (InputData.idShift & ssLeft)
        SetBalance(BalanceAt(InputData.idXPos, srRect.Left, srRect.Width()));
    return this;
}

}
