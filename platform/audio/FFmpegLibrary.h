#pragma once

// FFmpeg is opened at run time, not when the program starts: its libraries and the codec,
// network and image libraries they pull in take longer to load than the rest of the start-up
// together. The player loads it ahead once its first frame is out (TAudioEngine::
// PreloadDecoding); otherwise the first stream to decode loads it.
//
//   const TFFmpeg* av = FFmpeg();
//   if (!av) return nullptr;           // not installed: nothing decodes
//   AVPacket* packet = av->av_packet_alloc();

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mathematics.h>
#include <libavutil/mem.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

#include <memory>
#include <string>

namespace vantor {

// Every FFmpeg function the decoder calls, with the library that exports it.
#define VANTOR_FFMPEG_FUNCTIONS(X)                                                                                     \
    X(util, av_channel_layout_copy)                                                                                    \
    X(util, av_channel_layout_default)                                                                                 \
    X(util, av_channel_layout_uninit)                                                                                  \
    X(util, av_dict_free)                                                                                              \
    X(util, av_dict_set)                                                                                               \
    X(util, av_frame_alloc)                                                                                            \
    X(util, av_frame_free)                                                                                             \
    X(util, av_frame_unref)                                                                                            \
    X(util, av_free)                                                                                                   \
    X(util, av_freep)                                                                                                  \
    X(util, av_get_bytes_per_sample)                                                                                   \
    X(util, av_log_set_level)                                                                                          \
    X(util, av_malloc)                                                                                                 \
    X(util, av_rescale)                                                                                                \
    X(util, av_rescale_q)                                                                                              \
    X(util, av_sample_fmt_is_planar)                                                                                   \
    X(resample, swr_alloc_set_opts2)                                                                                   \
    X(resample, swr_close)                                                                                             \
    X(resample, swr_convert)                                                                                           \
    X(resample, swr_free)                                                                                              \
    X(resample, swr_get_out_samples)                                                                                   \
    X(resample, swr_init)                                                                                              \
    X(codec, av_packet_alloc)                                                                                          \
    X(codec, av_packet_free)                                                                                           \
    X(codec, av_packet_unref)                                                                                          \
    X(codec, avcodec_alloc_context3)                                                                                   \
    X(codec, avcodec_flush_buffers)                                                                                    \
    X(codec, avcodec_free_context)                                                                                     \
    X(codec, avcodec_open2)                                                                                            \
    X(codec, avcodec_parameters_to_context)                                                                            \
    X(codec, avcodec_receive_frame)                                                                                    \
    X(codec, avcodec_send_packet)                                                                                      \
    X(format, av_find_best_stream)                                                                                     \
    X(format, av_read_frame)                                                                                           \
    X(format, av_seek_frame)                                                                                           \
    X(format, avformat_alloc_context)                                                                                  \
    X(format, avformat_close_input)                                                                                    \
    X(format, avformat_find_stream_info)                                                                               \
    X(format, avformat_free_context)                                                                                   \
    X(format, avformat_open_input)                                                                                     \
    X(format, avformat_seek_file)                                                                                      \
    X(format, avio_alloc_context)                                                                                      \
    X(format, avio_context_free)

// The file names of the four libraries, by default those of the FFmpeg the program was built
// against (the same major versions, whose interfaces match its headers).
struct TFFmpegLibraries {
    std::string Util;
    std::string Resample;
    std::string Codec;
    std::string Format;
};
TFFmpegLibraries DefaultFFmpegLibraries();

// The opened libraries and their functions, each member named as the function it points to.
// The libraries stay mapped after the handles close, as stream threads may still run their
// code while the process ends.
class TFFmpeg {
public:
    // Null, with the reason in error, when a library or one of the functions is missing.
    static std::unique_ptr<TFFmpeg> Load(const TFFmpegLibraries& libraries, std::string& error);
    TFFmpeg(const TFFmpeg&) = delete;
    TFFmpeg& operator=(const TFFmpeg&) = delete;

#define VANTOR_FFMPEG_MEMBER(library, name) decltype(&::name) name = nullptr;
    VANTOR_FFMPEG_FUNCTIONS(VANTOR_FFMPEG_MEMBER)
#undef VANTOR_FFMPEG_MEMBER

private:
    struct TClose {
        void operator()(void* handle) const;
    };
    using THandle = std::unique_ptr<void, TClose>;

    TFFmpeg() = default;

    THandle m_util;
    THandle m_resample;
    THandle m_codec;
    THandle m_format;
};

// The program's FFmpeg, loaded (with its console messages silenced) by the first call from any
// thread and kept until the process ends; null when it could not be loaded, which the first
// call reports on standard error.
const TFFmpeg* FFmpeg();

}
