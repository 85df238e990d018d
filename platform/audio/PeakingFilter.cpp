#include "platform/audio/PeakingFilter.h"

#include "platform/audio/AudioEngine.h"

#include <algorithm>
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

void TPeakingFilter::Reset() { m_z1[0] = m_z1[1] = m_z2[0] = m_z2[1] = 0.0; }

void TPeakingFilter::Process(float* samples, int frames)
{
    TPeakingFilter* self = this;
    ProcessChain(&self, 1, samples, frames);
}

void TPeakingFilter::ProcessChain(TPeakingFilter* const* filters, int count, float* samples, int frames)
{
    // Left and right travel together as one pair of doubles; coefficients and state are copied
    // into local arrays so the compiler can keep them out of the filter objects.
    using Pair = double __attribute__((vector_size(16)));
    constexpr int kMax = 32;
    Pair b0[kMax], b1[kMax], b2[kMax], a1[kMax], a2[kMax], z1[kMax], z2[kMax];
    for (int done = 0; done < count; done += kMax) {
        const int n = std::min(count - done, kMax);
        for (int f = 0; f < n; ++f) {
            const TPeakingFilter& filter = *filters[done + f];
            b0[f] = Pair { filter.m_b0, filter.m_b0 };
            b1[f] = Pair { filter.m_b1, filter.m_b1 };
            b2[f] = Pair { filter.m_b2, filter.m_b2 };
            a1[f] = Pair { filter.m_a1, filter.m_a1 };
            a2[f] = Pair { filter.m_a2, filter.m_a2 };
            z1[f] = Pair { filter.m_z1[0], filter.m_z1[1] };
            z2[f] = Pair { filter.m_z2[0], filter.m_z2[1] };
        }
        for (int i = 0; i < frames; ++i) {
            Pair x { samples[2 * i], samples[2 * i + 1] };
            for (int f = 0; f < n; ++f) {
                const Pair y = b0[f] * x + z1[f];
                z1[f] = b1[f] * x - a1[f] * y + z2[f];
                z2[f] = b2[f] * x - a2[f] * y;
                x = y;
            }
            samples[2 * i] = static_cast<float>(x[0]);
            samples[2 * i + 1] = static_cast<float>(x[1]);
        }
        for (int f = 0; f < n; ++f) {
            TPeakingFilter& filter = *filters[done + f];
            for (int ch = 0; ch < 2; ++ch) {
                filter.m_z1[ch] = z1[f][ch];
                filter.m_z2[ch] = z2[f][ch];
            }
            filter.FlushDenormals();
        }
    }
}

void TPeakingFilter::FlushDenormals()
{
    // Keep denormals out of the state once the input falls silent.
    for (double* z : { m_z1, m_z2 }) {
        for (int ch = 0; ch < 2; ++ch) {
            if (std::abs(z[ch]) < 1e-30)
                z[ch] = 0.0;
        }
    }
}

double TPeakingFilter::MagnitudeAt(double frequency, double sampleRate) const
{
    const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * frequency / sampleRate);
    const std::complex<double> z2 = z1 * z1;
    return std::abs((m_b0 + m_b1 * z1 + m_b2 * z2) / (1.0 + m_a1 * z1 + m_a2 * z2));
}

double PeakingChainGainDb(std::span<const TPeakingEqParams> bands, double frequency, double sampleRate)
{
    double magnitude = 1.0;
    for (TPeakingEqParams const& band : bands) {
        TPeakingFilter filter;
        filter.Design(band.Center, band.Bandwidth, band.Gain, sampleRate);
        magnitude *= filter.MagnitudeAt(frequency, sampleRate);
    }
    return 20.0 * std::log10(magnitude);
}

}
