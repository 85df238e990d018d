#pragma once

#include <array>
#include <atomic>
#include <vector>

namespace vantor {

class TStreamRenderer;

// Mixes the attached streams into the output on the output thread. Attach and Detach run on
// the UI thread; the slots are atomic pointers, and Detach waits until a render in progress
// has finished, so the stream can be freed right after it returns.
class TMixer {
public:
    static constexpr int kMaxStreams = 32;
    static constexpr int kChunkFrames = 4096;

    TMixer();

    bool Attach(TStreamRenderer* renderer);
    void Detach(TStreamRenderer* renderer);

    // Fills out (interleaved stereo) with frames of the mix; true when any stream played.
    // Without waitForData it never blocks: a stream whose decoder lags contributes silence.
    bool Render(float* out, int frames, bool waitForData);

private:
    std::array<std::atomic<TStreamRenderer*>, kMaxStreams> m_slots {};
    std::atomic<bool> m_busy { false };
    std::vector<float> m_scratch;
};

}
