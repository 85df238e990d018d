#include "platform/audio/FFmpegLibrary.h"

#include <libavutil/macros.h>

#include <dlfcn.h>

#include <cstdio>

namespace vantor {

namespace {

std::string SharedObject(const char* name, const char* major) { return std::string("lib") + name + ".so." + major; }

}

TFFmpegLibraries DefaultFFmpegLibraries()
{
    return { SharedObject("avutil", AV_STRINGIFY(LIBAVUTIL_VERSION_MAJOR)),
        SharedObject("swresample", AV_STRINGIFY(LIBSWRESAMPLE_VERSION_MAJOR)),
        SharedObject("avcodec", AV_STRINGIFY(LIBAVCODEC_VERSION_MAJOR)),
        SharedObject("avformat", AV_STRINGIFY(LIBAVFORMAT_VERSION_MAJOR)) };
}

void TFFmpeg::TClose::operator()(void* handle) const { dlclose(handle); }

std::unique_ptr<TFFmpeg> TFFmpeg::Load(const TFFmpegLibraries& libraries, std::string& error)
{
    std::unique_ptr<TFFmpeg> loaded(new TFFmpeg);
    auto open = [&error](const std::string& file, THandle& handle) {
        // Never unmapped: a stream thread may still be inside FFmpeg while the process ends.
        handle.reset(dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
        if (!handle)
            error = dlerror();
        return handle != nullptr;
    };
    if (!open(libraries.Util, loaded->m_util) || !open(libraries.Resample, loaded->m_resample)
        || !open(libraries.Codec, loaded->m_codec) || !open(libraries.Format, loaded->m_format))
        return nullptr;
        // Each pointer takes the type of the function's declaration in the headers.
#define VANTOR_FFMPEG_LOOKUP(library, name)                                                                            \
    loaded->name = reinterpret_cast<decltype(&::name)>(dlsym(loaded->m_##library.get(), #name));                       \
    if (!loaded->name) {                                                                                               \
        error = dlerror();                                                                                             \
        return nullptr;                                                                                                \
    }
    VANTOR_FFMPEG_FUNCTIONS(VANTOR_FFMPEG_LOOKUP)
#undef VANTOR_FFMPEG_LOOKUP
    return loaded;
}

const TFFmpeg* FFmpeg()
{
    // Released on purpose: it outlives every static destructor, after which stream threads
    // may still call it.
    static const TFFmpeg* const loaded = [] {
        std::string error;
        std::unique_ptr<TFFmpeg> ffmpeg = TFFmpeg::Load(DefaultFFmpegLibraries(), error);
        if (!ffmpeg) {
            std::fprintf(stderr, "vantor: FFmpeg could not be loaded, nothing will play: %s\n", error.c_str());
            return ffmpeg.release();
        }
        // A damaged file is an ordinary event for a player; FFmpeg's console messages are noise.
        ffmpeg->av_log_set_level(AV_LOG_QUIET);
        return ffmpeg.release();
    }();
    return loaded;
}

}
