#include "platform/audio/Decoder.h"

#include "platform/audio/FFmpegLibrary.h"

#include <algorithm>

namespace vantor {

namespace {

constexpr int kMaxSourceRate = 6'000'000; // above the decoded rate of the fastest DSD
constexpr int kMaxChannels = 64;
constexpr int64_t kMaxFrames = int64_t(1) << 40; // bounds lengths read from headers
// Consecutive decoder errors after which the stream is treated as ended.
constexpr int kMaxErrors = 1000;

}

std::unique_ptr<TDecoder> TDecoder::Open(const TMediaSource& source, int outputRate)
{
    if (!FFmpeg())
        return nullptr;
    std::unique_ptr<TDecoder> decoder(new TDecoder);
    if (!decoder->Prepare(source, outputRate))
        return nullptr;
    return decoder;
}

TDecoder::~TDecoder()
{
    FFmpeg()->av_packet_free(&m_packet);
    FFmpeg()->av_frame_free(&m_frame);
    FFmpeg()->avcodec_free_context(&m_codec);
}

bool TDecoder::Prepare(const TMediaSource& source, int outputRate)
{
    m_outputRate = outputRate;
    m_input = TMediaInput::Open(source);
    if (!m_input)
        return false;
    AVFormatContext* format = m_input->Format();
    if (FFmpeg()->avformat_find_stream_info(format, nullptr) < 0)
        return false;
    const AVCodec* codec = nullptr;
    m_streamIndex = FFmpeg()->av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_streamIndex < 0 || !codec)
        return false;
    m_stream = format->streams[m_streamIndex];
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (static_cast<int>(i) != m_streamIndex)
            format->streams[i]->discard = AVDISCARD_ALL;
    }

    m_codec = FFmpeg()->avcodec_alloc_context3(codec);
    m_frame = FFmpeg()->av_frame_alloc();
    m_packet = FFmpeg()->av_packet_alloc();
    if (!m_codec || !m_frame || !m_packet)
        return false;
    if (FFmpeg()->avcodec_parameters_to_context(m_codec, m_stream->codecpar) < 0)
        return false;
    // The stream already has its own thread; codec threads would only compete with it.
    m_codec->thread_count = 1;
    m_codec->pkt_timebase = m_stream->time_base;
    if (FFmpeg()->avcodec_open2(m_codec, codec, nullptr) < 0)
        return false;

    // The first frame decides the source's rate and channels: headers can disagree with it.
    if (!ReceiveFrame())
        return false;
    m_havePending = true;
    m_sourceRate = m_frame->sample_rate;
    m_sourceChannels = m_frame->ch_layout.nb_channels;
    if (m_sourceRate <= 0 || m_sourceRate > kMaxSourceRate || m_sourceChannels <= 0 || m_sourceChannels > kMaxChannels)
        return false;
    if (!m_resampler.Configure(m_sourceRate, m_frame->format, m_frame->ch_layout, m_outputRate))
        return false;

    int64_t frames = -1;
    if (m_stream->duration != AV_NOPTS_VALUE && m_stream->duration > 0)
        frames = FFmpeg()->av_rescale_q(m_stream->duration, m_stream->time_base, AVRational { 1, m_sourceRate });
    else if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        frames = FFmpeg()->av_rescale(format->duration, m_sourceRate, AV_TIME_BASE);
    if (frames <= 0)
        frames = ScanFrames(source);
    m_estimatedFrames = std::clamp<int64_t>(frames, m_frame->nb_samples, kMaxFrames);
    return true;
}

int64_t TDecoder::ScanFrames(const TMediaSource& source) const
{
    auto scan = TMediaInput::Open(source);
    if (!scan)
        return -1;
    AVFormatContext* format = scan->Format();
    AVPacket* packet = FFmpeg()->av_packet_alloc();
    if (!packet)
        return -1;
    int64_t summed = 0;
    int64_t lastEnd = -1;
    while (FFmpeg()->av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == m_streamIndex && packet->stream_index < static_cast<int>(format->nb_streams)
            && packet->duration > 0) {
            const AVRational base = format->streams[packet->stream_index]->time_base;
            const int64_t duration = std::clamp<int64_t>(
                FFmpeg()->av_rescale_q(packet->duration, base, AVRational { 1, m_sourceRate }), 0, kMaxFrames);
            summed = std::min(summed + duration, kMaxFrames);
            if (packet->pts != AV_NOPTS_VALUE) {
                const int64_t start = FFmpeg()->av_rescale_q(packet->pts, base, AVRational { 1, m_sourceRate });
                if (start >= 0 && start <= kMaxFrames)
                    lastEnd = std::max(lastEnd, start + duration);
            }
        }
        FFmpeg()->av_packet_unref(packet);
    }
    FFmpeg()->av_packet_free(&packet);
    return std::max(summed, lastEnd);
}

bool TDecoder::ReceiveFrame()
{
    int errors = 0;
    for (;;) {
        const int received = FFmpeg()->avcodec_receive_frame(m_codec, m_frame);
        if (received == 0)
            return true;
        if (received == AVERROR_EOF)
            return false;
        if (received != AVERROR(EAGAIN)) {
            if (++errors > kMaxErrors)
                return false;
            continue;
        }
        if (m_draining)
            return false;
        const int read = FFmpeg()->av_read_frame(m_input->Format(), m_packet);
        if (read < 0) {
            // End of file or a read error: let the decoder hand out what it still holds.
            m_draining = true;
            FFmpeg()->avcodec_send_packet(m_codec, nullptr);
            continue;
        }
        if (m_packet->stream_index == m_streamIndex && FFmpeg()->avcodec_send_packet(m_codec, m_packet) < 0
            && ++errors > kMaxErrors) {
            FFmpeg()->av_packet_unref(m_packet);
            return false;
        }
        FFmpeg()->av_packet_unref(m_packet);
    }
}

int64_t TDecoder::FrameStart(const AVFrame* frame) const
{
    int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        return AV_NOPTS_VALUE;
    // Timestamps come from the file: any value is possible.
    if (m_stream->start_time != AV_NOPTS_VALUE && __builtin_sub_overflow(pts, m_stream->start_time, &pts))
        return AV_NOPTS_VALUE;
    const int64_t start = FFmpeg()->av_rescale_q(pts, m_stream->time_base, AVRational { 1, m_sourceRate });
    return start >= -kMaxFrames && start <= kMaxFrames ? start : AV_NOPTS_VALUE;
}

TDecodedChunk TDecoder::Next()
{
    TDecodedChunk chunk;
    if (m_eof) {
        chunk.Eof = true;
        return chunk;
    }
    for (;;) {
        if (!m_havePending && !ReceiveFrame()) {
            m_eof = true;
            chunk.Frames = m_resampler.Flush();
            chunk.Samples = m_resampler.Output();
            chunk.Eof = true;
            return chunk;
        }
        m_havePending = false;
        AVFrame* frame = m_frame;
        if (frame->nb_samples <= 0 || frame->sample_rate <= 0 || frame->sample_rate > kMaxSourceRate
            || frame->ch_layout.nb_channels <= 0 || frame->ch_layout.nb_channels > kMaxChannels) {
            FFmpeg()->av_frame_unref(frame);
            continue;
        }
        int skip = 0;
        if (m_trimTo >= 0) {
            const int64_t start = FrameStart(frame);
            if (start != AV_NOPTS_VALUE && start < m_trimTo) {
                if (start + frame->nb_samples <= m_trimTo) {
                    FFmpeg()->av_frame_unref(frame);
                    continue;
                }
                skip = static_cast<int>(m_trimTo - start);
            }
            m_trimTo = -1;
        }
        if (!m_resampler.Matches(frame->sample_rate, frame->format, frame->ch_layout)
            && !m_resampler.Configure(frame->sample_rate, frame->format, frame->ch_layout, m_outputRate)) {
            FFmpeg()->av_frame_unref(frame);
            continue;
        }

        const int channels = frame->ch_layout.nb_channels;
        const int bytesPerSample = FFmpeg()->av_get_bytes_per_sample(static_cast<AVSampleFormat>(frame->format));
        const bool planar = FFmpeg()->av_sample_fmt_is_planar(static_cast<AVSampleFormat>(frame->format));
        m_planes.assign(planar ? channels : 1, nullptr);
        for (size_t p = 0; p < m_planes.size(); ++p)
            m_planes[p] =
                frame->extended_data[p] + static_cast<size_t>(skip) * bytesPerSample * (planar ? 1 : channels);

        const int sourceFrames = frame->nb_samples - skip;
        chunk.Frames = m_resampler.Convert(m_planes.data(), sourceFrames);
        chunk.Samples = m_resampler.Output();
        // A stream whose rate changes midway is still counted in frames of its first rate.
        chunk.SourceFrames = frame->sample_rate == m_sourceRate
            ? sourceFrames
            : FFmpeg()->av_rescale(sourceFrames, m_sourceRate, frame->sample_rate);
        FFmpeg()->av_frame_unref(frame);
        return chunk;
    }
}

int64_t TDecoder::Seek(int64_t sourceFrame)
{
    // Start a little early: decoders such as MP3 and Opus need some audio before the target
    // to produce it correctly, and demuxers may land after the timestamp they were given.
    const int64_t preroll = std::max<int64_t>(0, sourceFrame - m_sourceRate / 10);
    int64_t ts = FFmpeg()->av_rescale_q(preroll, AVRational { 1, m_sourceRate }, m_stream->time_base);
    if (m_stream->start_time != AV_NOPTS_VALUE && __builtin_add_overflow(ts, m_stream->start_time, &ts))
        ts = INT64_MAX;
    AVFormatContext* format = m_input->Format();
    bool sought = FFmpeg()->avformat_seek_file(format, m_streamIndex, INT64_MIN, ts, ts, 0) >= 0
        || FFmpeg()->av_seek_frame(format, m_streamIndex, ts, AVSEEK_FLAG_BACKWARD) >= 0;
    if (!sought && sourceFrame == 0)
        sought = FFmpeg()->av_seek_frame(format, -1, 0, AVSEEK_FLAG_BYTE) >= 0;
    if (!sought)
        return -1;
    FFmpeg()->avcodec_flush_buffers(m_codec);
    m_resampler.Reset();
    if (m_havePending) {
        FFmpeg()->av_frame_unref(m_frame);
        m_havePending = false;
    }
    m_draining = false;
    m_eof = false;
    m_trimTo = sourceFrame;
    return sourceFrame;
}

}
