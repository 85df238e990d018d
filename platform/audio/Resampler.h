#pragma once

#include <cstdint>
#include <vector>

struct AVChannelLayout;
struct SwrContext;

namespace vantor {

// Converts decoded audio of any sample format, layout and rate to interleaved stereo float at
// the output rate. Mono is copied to both sides at full level; more channels are mixed down.
class TResampler {
public:
    TResampler() = default;
    ~TResampler();
    TResampler(const TResampler&) = delete;
    TResampler& operator=(const TResampler&) = delete;

    // sampleFormat is an AVSampleFormat.
    bool Configure(int inRate, int sampleFormat, const AVChannelLayout& layout, int outRate);
    bool Matches(int inRate, int sampleFormat, const AVChannelLayout& layout) const;

    // Converts frames of input (one pointer per plane); returns the stereo frames now in Output().
    int Convert(const uint8_t* const* planes, int frames);
    // Drains what the filter still holds (at the end of the stream).
    int Flush();
    // Drops what the filter holds (after a seek).
    void Reset();
    const float* Output() const { return m_stereo.data(); }

private:
    int Run(const uint8_t* const* planes, int frames);

    SwrContext* m_swr = nullptr;
    int m_inRate = 0;
    int m_inFormat = -1;
    int m_inChannels = 0;
    uint64_t m_inMask = 0;
    bool m_mono = false;
    std::vector<float> m_converted; // swr output, mono or stereo
    std::vector<float> m_stereo;
};

}
