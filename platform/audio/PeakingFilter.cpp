#include "platform/audio/PeakingFilter.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace vantor {

void TPeakingFilter::Design(double center, double bandwidthSemitones, double gainDb, double sampleRate)
{
    m_flat = gainDb == 0.0;
    const double a = std::pow(10.0, gainDb / 40.0);
    const double w0 = 2.0 * std::numbers::pi * center / sampleRate;
    const double sinW0 = std::sin(w0);
    const double cosW0 = std::cos(w0);
    const double octaves = bandwidthSemitones / 12.0;
    const double alpha = sinW0 * std::sinh(std::numbers::ln2 / 2.0 * octaves * w0 / sinW0);
    const double a0 = 1.0 + alpha / a;
    m_b0 = (1.0 + alpha * a) / a0;
    m_b1 = -2.0 * cosW0 / a0;
    m_b2 = (1.0 - alpha * a) / a0;
    m_a1 = -2.0 * cosW0 / a0;
    m_a2 = (1.0 - alpha / a) / a0;
}

void TPeakingFilter::Reset()
{
    m_z1[0] = m_z1[1] = m_z2[0] = m_z2[1] = 0.0;
}

void TPeakingFilter::Process(float* samples, int frames)
{
    // Transposed direct form II, one state pair per channel.
    for (int ch = 0; ch < 2; ++ch) {
        double z1 = m_z1[ch];
        double z2 = m_z2[ch];
        for (int i = 0; i < frames; ++i) {
            float& s = samples[2 * i + ch];
            const double x = s;
            const double y = m_b0 * x + z1;
            z1 = m_b1 * x - m_a1 * y + z2;
            z2 = m_b2 * x - m_a2 * y;
            s = static_cast<float>(y);
        }
        // Keep denormals out of the state once the input falls silent.
        m_z1[ch] = std::abs(z1) < 1e-30 ? 0.0 : z1;
        m_z2[ch] = std::abs(z2) < 1e-30 ? 0.0 : z2;
    }
}

double TPeakingFilter::MagnitudeAt(double frequency, double sampleRate) const
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * frequency / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((m_b0 + m_b1 * z1 + m_b2 * z2) / (1.0 + m_a1 * z1 + m_a2 * z2));
}

}
