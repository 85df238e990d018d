#pragma once

#include "platform/audio/MediaInput.h"
#include "platform/audio/Resampler.h"

#include <cstdint>
#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct AVStream;

namespace vantor {

// What one decoding step produced: stereo float frames at the output rate, and the number of
// the source's own frames they came from.
struct TDecodedChunk {
    const float* Samples = nullptr;
    int Frames = 0;
    int64_t SourceFrames = 0;
    bool Eof = false;
};

// Decodes the best audio stream of a media source with FFmpeg and converts it for the output.
// Opening decodes the first frame, so a source without decodable audio fails to open.
class TDecoder {
public:
    static std::unique_ptr<TDecoder> Open(const TMediaSource& source, int outputRate);
    ~TDecoder();
    TDecoder(const TDecoder&) = delete;
    TDecoder& operator=(const TDecoder&) = delete;

    int SourceRate() const { return m_sourceRate; }
    int SourceChannels() const { return m_sourceChannels; }
    // Source frames according to the container (or a packet scan when it does not say).
    int64_t EstimatedFrames() const { return m_estimatedFrames; }

    // Decodes the next frame; after the end it returns empty chunks marked Eof.
    TDecodedChunk Next();
    // Moves decoding so that the next chunk starts at sourceFrame; returns the source frame
    // decoding resumes at, or -1 when the source cannot seek (decoding then goes on unchanged).
    int64_t Seek(int64_t sourceFrame);

private:
    TDecoder() = default;
    bool Prepare(const TMediaSource& source, int outputRate);
    // Receives the next decoded frame into m_frame; false at the end of the stream.
    bool ReceiveFrame();
    int64_t FrameStart(const AVFrame* frame) const;
    int64_t ScanFrames(const TMediaSource& source) const;

    std::unique_ptr<TMediaInput> m_input;
    AVStream* m_stream = nullptr;
    int m_streamIndex = -1;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    TResampler m_resampler;
    std::vector<const uint8_t*> m_planes;
    int m_outputRate = 0;
    int m_sourceRate = 0;
    int m_sourceChannels = 0;
    int64_t m_estimatedFrames = 0;
    bool m_havePending = false; // m_frame holds a frame not yet converted
    bool m_draining = false;
    bool m_eof = false;
    int64_t m_trimTo = -1; // after a seek: drop audio before this source frame
};

}
