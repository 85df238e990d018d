#pragma once

#include "platform/audio/PeakingFilter.h"
#include "platform/audio/StreamShared.h"

#include <array>
#include <atomic>

namespace vantor {

// The consumer side of a stream: runs on the output thread, takes blocks from the queue,
// applies the stream's filters, volume and pan, and reports how far it has played. It never
// locks or allocates; only with waitForData (null outputs) does it wait for the decoder.
class TStreamRenderer {
public:
    explicit TStreamRenderer(TStreamShared& shared)
        : m_shared(shared)
    {
    }

    // Adds up to frames of the stream to mix (interleaved stereo), using scratch (room for
    // frames) as work space. Returns the frames the stream contributed: fewer than asked when
    // it reached its end (or its decoder lagged).
    int MixInto(float* mix, float* scratch, int frames, bool waitForData);

    // The stream that starts when this one has played to its end (UI thread; null unlinks).
    // The renderer must stay attached to the same mixer until it is unlinked.
    void SetNext(TStreamRenderer* next) { m_next.store(next, std::memory_order_seq_cst); }
    TStreamRenderer* Next() const { return m_next.load(std::memory_order_seq_cst); }
    // Output thread: when the stream plays and has reached its end, hands over to the linked
    // stream, which is now playing, and forgets the link; null otherwise.
    TStreamRenderer* HandOver();

private:
    // Copies queued audio into scratch; returns the frames copied and updates progress.
    int Pull(float* scratch, int frames, bool waitForData, uint32_t& seq, TProgress& progress);
    void DropStale(uint32_t seq);
    void PopFront();
    void ApplyEffects(float* samples, int frames);
    void ApplyGains(float* samples, int frames);

    TStreamShared& m_shared;
    std::atomic<TStreamRenderer*> m_next { nullptr }; // non-owning
    int m_offset = 0;                                 // frames of the front block already played

    std::array<TPeakingFilter, TStreamShared::kMaxFx> m_filters;
    std::array<bool, TStreamShared::kMaxFx> m_live {};
    std::array<uint32_t, TStreamShared::kMaxFx> m_serial {};
    std::array<uint32_t, TStreamShared::kMaxFx> m_version {};

    bool m_gainsKnown = false;
    float m_gainLeft = 1.0f;
    float m_gainRight = 1.0f;
};

}
