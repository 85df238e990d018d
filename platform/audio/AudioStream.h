#pragma once

#include "platform/audio/AudioEngine.h"
#include "platform/audio/MediaInput.h"
#include "platform/audio/StreamShared.h"

#include <array>
#include <memory>
#include <thread>

namespace vantor {

class TStreamDecoder;
class TStreamRenderer;

// One stream as the UI thread sees it. It owns the shared state, the decoder thread and the
// renderer that the mixer calls on the output thread.
class TAudioStream {
public:
    static std::unique_ptr<TAudioStream> Open(const TMediaSource& source, int outputRate);
    // Ends the decoder thread; the renderer must be detached from the mixer first.
    ~TAudioStream();
    TAudioStream(const TAudioStream&) = delete;
    TAudioStream& operator=(const TAudioStream&) = delete;

    TStreamRenderer& Renderer() { return *m_renderer; }

    bool Play(bool restart);
    bool Pause();
    void Stop();
    TChannelState State() const;

    int64_t LengthBytes() const;
    int64_t PositionBytes() const;
    bool SetPositionBytes(int64_t bytes);
    double BytesToSeconds(int64_t bytes) const;
    uint32_t Underruns() const;

    // A stream linked to follow another starts from its beginning when it has played to its end
    // before.
    void PrepareToFollow();

    void SetGain(float factor);
    void SetVolume(float volume);
    void SetPan(float pan);
    float Volume() const;
    float Pan() const;

    // Effect slots; -1 when all are taken.
    int AddFx();
    void SetFx(int slot, const TPeakingEqParams& params);
    TPeakingEqParams Fx(int slot) const;
    void RemoveFx(int slot);

private:
    TAudioStream() = default;
    bool Ended() const;
    int64_t BytesPerFrame() const { return int64_t(m_shared->SourceChannels) * 2; }
    void Seek(int64_t frame);

    std::unique_ptr<TStreamShared> m_shared;
    std::unique_ptr<TStreamRenderer> m_renderer;
    std::unique_ptr<TStreamDecoder> m_decoder;
    std::thread m_thread;
    std::array<bool, TStreamShared::kMaxFx> m_fxUsed {};
};

}
