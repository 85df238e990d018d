// FFmpeg opened at run time: the libraries the program was built against load with every
// function, and a missing library or one of another version is refused with its reason.
#include "platform/audio/FFmpegLibrary.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

TEST(FFmpegLibraryTest, BuildVersionsLoadWithEveryFunction)
{
    std::string error;
    const std::unique_ptr<TFFmpeg> av = TFFmpeg::Load(DefaultFFmpegLibraries(), error);
    ASSERT_NE(av, nullptr) << error;
#define VANTOR_EXPECT_FOUND(library, name) EXPECT_NE(av->name, nullptr) << #name;
    VANTOR_FFMPEG_FUNCTIONS(VANTOR_EXPECT_FOUND)
#undef VANTOR_EXPECT_FOUND
    EXPECT_NE(FFmpeg(), nullptr);
}

TEST(FFmpegLibraryTest, MissingLibraryOrFunctionIsRefused)
{
    struct TCase {
        const char* What;
        std::string TFFmpegLibraries::*Library;
        const char* File;
        const char* InError;
    };
    const TCase cases[] = {
        { "missing util", &TFFmpegLibraries::Util, "libavutil.so.0", "libavutil.so.0" },
        { "missing resample", &TFFmpegLibraries::Resample, "libswresample.so.0", "libswresample.so.0" },
        { "missing codec", &TFFmpegLibraries::Codec, "libavcodec.so.0", "libavcodec.so.0" },
        { "missing format", &TFFmpegLibraries::Format, "libavformat.so.0", "libavformat.so.0" },
        // A library without the functions (as one of another major version may lack some).
        { "wrong library", &TFFmpegLibraries::Format, "libz.so.1", "undefined symbol: av_find_best_stream" },
    };
    for (const TCase& c : cases) {
        TFFmpegLibraries libraries = DefaultFFmpegLibraries();
        libraries.*c.Library = c.File;
        std::string error;
        EXPECT_EQ(TFFmpeg::Load(libraries, error), nullptr) << c.What;
        EXPECT_NE(error.find(c.InError), std::string::npos) << c.What << ": " << error;
    }
}

}
}
