#include "platform/audio/MediaInput.h"

#include "platform/audio/FFmpegLibrary.h"

#include <algorithm>
#include <cstring>

namespace vantor {

namespace {
constexpr int kIoBufferSize = 16384;
// Demuxers of audio files; none of them opens anything but its own input.
constexpr const char* kAudioFormats = "aac,ac3,aiff,amr,ape,asf,au,caf,dsf,dts,eac3,flac,iff,loas,matroska,mlp,mov,"
                                      "mp3,mpc,mpc8,ogg,truehd,tta,w64,wav,wsd,wv";
}

std::unique_ptr<TMediaInput> TMediaInput::Open(const TMediaSource& source)
{
    if (!FFmpeg())
        return nullptr;
    std::unique_ptr<TMediaInput> input(new TMediaInput);
    AVFormatContext* format = FFmpeg()->avformat_alloc_context();
    if (!format)
        return nullptr;
    std::string url = "file:" + source.Path;
    if (source.Bytes) {
        input->m_bytes = source.Bytes;
        auto* buffer = static_cast<unsigned char*>(FFmpeg()->av_malloc(kIoBufferSize));
        if (!buffer) {
            FFmpeg()->avformat_free_context(format);
            return nullptr;
        }
        input->m_io = FFmpeg()->avio_alloc_context(
            buffer, kIoBufferSize, 0, input.get(), &TMediaInput::Read, nullptr, &TMediaInput::Seek);
        if (!input->m_io) {
            FFmpeg()->av_free(buffer);
            FFmpeg()->avformat_free_context(format);
            return nullptr;
        }
        format->pb = input->m_io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        url.clear();
    }
    AVDictionary* options = nullptr;
    FFmpeg()->av_dict_set(&options, "protocol_whitelist", "file", 0);
    FFmpeg()->av_dict_set(&options, "format_whitelist", kAudioFormats, 0);
    // avformat_open_input frees the context itself when it fails.
    const int opened = FFmpeg()->avformat_open_input(&format, url.c_str(), nullptr, &options);
    FFmpeg()->av_dict_free(&options);
    if (opened < 0)
        return nullptr;
    input->m_format = format;
    return input;
}

TMediaInput::~TMediaInput()
{
    FFmpeg()->avformat_close_input(&m_format);
    if (m_io) {
        FFmpeg()->av_freep(&m_io->buffer);
        FFmpeg()->avio_context_free(&m_io);
    }
}

int TMediaInput::Read(void* opaque, uint8_t* buffer, int size)
{
    auto* self = static_cast<TMediaInput*>(opaque);
    const auto& bytes = *self->m_bytes;
    if (self->m_offset >= bytes.size())
        return AVERROR_EOF;
    const size_t count = std::min(static_cast<size_t>(size), bytes.size() - self->m_offset);
    std::memcpy(buffer, bytes.data() + self->m_offset, count);
    self->m_offset += count;
    return static_cast<int>(count);
}

int64_t TMediaInput::Seek(void* opaque, int64_t offset, int whence)
{
    auto* self = static_cast<TMediaInput*>(opaque);
    const auto size = static_cast<int64_t>(self->m_bytes->size());
    int64_t base = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE: return size;
    case SEEK_SET: base = 0; break;
    case SEEK_CUR: base = static_cast<int64_t>(self->m_offset); break;
    case SEEK_END: base = size; break;
    default: return AVERROR(EINVAL);
    }
    if ((offset > 0 && base > INT64_MAX - offset))
        return AVERROR(EINVAL);
    const int64_t target = base + offset;
    if (target < 0 || target > size)
        return AVERROR(EINVAL);
    self->m_offset = static_cast<size_t>(target);
    return target;
}

}
