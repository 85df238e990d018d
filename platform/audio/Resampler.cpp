#include "platform/audio/Resampler.h"

#include "platform/audio/FFmpegLibrary.h"

namespace vantor {

namespace {

// swr needs a layout with known channel positions; unordered layouts get the usual default.
AVChannelLayout UsableLayout(const AVChannelLayout& layout)
{
    AVChannelLayout result {};
    if (layout.order == AV_CHANNEL_ORDER_NATIVE)
        FFmpeg()->av_channel_layout_copy(&result, &layout);
    else
        FFmpeg()->av_channel_layout_default(&result, layout.nb_channels);
    return result;
}

}

TResampler::~TResampler()
{
    if (m_swr)
        FFmpeg()->swr_free(&m_swr);
}

bool TResampler::Configure(int inRate, int sampleFormat, const AVChannelLayout& layout, int outRate)
{
    if (!FFmpeg())
        return false;
    FFmpeg()->swr_free(&m_swr);
    if (inRate <= 0 || layout.nb_channels <= 0)
        return false;
    AVChannelLayout inLayout = UsableLayout(layout);
    m_mono = layout.nb_channels == 1;
    AVChannelLayout outLayout {};
    FFmpeg()->av_channel_layout_default(&outLayout, m_mono ? 1 : 2);
    const int result = FFmpeg()->swr_alloc_set_opts2(&m_swr, &outLayout, AV_SAMPLE_FMT_FLT, outRate, &inLayout,
        static_cast<AVSampleFormat>(sampleFormat), inRate, 0, nullptr);
    FFmpeg()->av_channel_layout_uninit(&inLayout);
    FFmpeg()->av_channel_layout_uninit(&outLayout);
    if (result < 0 || FFmpeg()->swr_init(m_swr) < 0) {
        FFmpeg()->swr_free(&m_swr);
        return false;
    }
    m_inRate = inRate;
    m_inFormat = sampleFormat;
    m_inChannels = layout.nb_channels;
    m_inMask = layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0;
    return true;
}

bool TResampler::Matches(int inRate, int sampleFormat, const AVChannelLayout& layout) const
{
    const uint64_t mask = layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0;
    return m_swr && inRate == m_inRate && sampleFormat == m_inFormat && layout.nb_channels == m_inChannels
        && mask == m_inMask;
}

int TResampler::Convert(const uint8_t* const* planes, int frames) { return Run(planes, frames); }

int TResampler::Flush() { return Run(nullptr, 0); }

void TResampler::Reset()
{
    if (m_swr) {
        FFmpeg()->swr_close(m_swr);
        if (FFmpeg()->swr_init(m_swr) < 0)
            FFmpeg()->swr_free(&m_swr);
    }
}

int TResampler::Run(const uint8_t* const* planes, int frames)
{
    if (!m_swr)
        return 0;
    const int capacity = FFmpeg()->swr_get_out_samples(m_swr, frames);
    if (capacity <= 0)
        return 0;
    // Stereo goes straight to the output; mono is widened afterwards.
    std::vector<float>& target = m_mono ? m_converted : m_stereo;
    const size_t outChannels = m_mono ? 1 : 2;
    if (target.size() < static_cast<size_t>(capacity) * outChannels)
        target.resize(static_cast<size_t>(capacity) * outChannels);
    auto* out = reinterpret_cast<uint8_t*>(target.data());
    const int produced = FFmpeg()->swr_convert(m_swr, &out, capacity, const_cast<const uint8_t**>(planes), frames);
    if (produced <= 0)
        return 0;
    if (m_mono) {
        if (m_stereo.size() < static_cast<size_t>(produced) * 2)
            m_stereo.resize(static_cast<size_t>(produced) * 2);
        for (int i = 0; i < produced; ++i)
            m_stereo[2 * i] = m_stereo[2 * i + 1] = m_converted[i];
    }
    return produced;
}

}
