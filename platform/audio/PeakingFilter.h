#pragma once

#include <span>

namespace vantor {

struct TPeakingEqParams;

// An RBJ peaking biquad on interleaved stereo float samples. Coefficients and state are double:
// the lowest band (80 Hz at 44.1 kHz) sits close to the unit circle, where float loses accuracy.
class TPeakingFilter {
public:
    // centre in Hz, bandwidth in semitones, gain in dB, at sampleRate.
    void Design(double center, double bandwidthSemitones, double gainDb, double sampleRate);
    void Reset();
    // A filter at 0 dB passes the signal unchanged and is skipped.
    bool IsFlat() const { return m_flat; }
    void Process(float* interleavedStereo, int frames);
    // Runs a chain of filters frame by frame: the filters' recurrences are independent, so the
    // processor overlaps them, which a pass per filter would not allow.
    static void ProcessChain(TPeakingFilter* const* filters, int count, float* interleavedStereo, int frames);
    // |H| at a frequency, for tests.
    double MagnitudeAt(double frequency, double sampleRate) const;

private:
    void FlushDenormals();

    double m_b0 = 1, m_b1 = 0, m_b2 = 0, m_a1 = 0, m_a2 = 0;
    double m_z1[2] = { 0, 0 };
    double m_z2[2] = { 0, 0 };
    bool m_flat = true;
};

// Gain in dB of a chain of peaking filters at a frequency, designed as the engine designs the
// filters it runs at sampleRate (flat bands included: they pass the signal unchanged).
double PeakingChainGainDb(std::span<const TPeakingEqParams> bands, double frequency, double sampleRate);

}
