#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct AVFormatContext;
struct AVIOContext;

namespace vantor {

// Where a stream's bytes come from: a file path, or bytes held in memory.
struct TMediaSource {
    std::string Path;
    std::shared_ptr<const std::vector<std::byte>> Bytes; // used when set
};

// An opened FFmpeg demuxer over a media source. It reads the source and nothing else: a path
// is always a local file (never a URL or another protocol), and only audio file formats are
// recognised, so playlists and scripts that name further resources (concat, HLS, image
// sequences) are refused.
class TMediaInput {
public:
    static std::unique_ptr<TMediaInput> Open(const TMediaSource& source);
    ~TMediaInput();
    TMediaInput(const TMediaInput&) = delete;
    TMediaInput& operator=(const TMediaInput&) = delete;

    AVFormatContext* Format() const { return m_format; }

private:
    TMediaInput() = default;
    static int Read(void* opaque, uint8_t* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);

    AVFormatContext* m_format = nullptr;
    AVIOContext* m_io = nullptr;
    std::shared_ptr<const std::vector<std::byte>> m_bytes;
    size_t m_offset = 0;
};

}
