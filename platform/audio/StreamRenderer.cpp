#include "platform/audio/StreamRenderer.h"

#include <algorithm>
#include <cstring>

namespace vantor {

int TStreamRenderer::MixInto(float* mix, float* scratch, int frames, bool waitForData)
{
    uint32_t seq = m_shared.SeekSeq.load(std::memory_order_acquire);
    // Blocks of an older seek generation are dropped even while halted, so the decoder can
    // refill the queue from the new position.
    DropStale(seq);
    if (m_shared.State.load(std::memory_order_acquire) != int(TPlayState::Playing))
        return 0;
    TProgress progress = TProgress::Unpack(m_shared.Progress.load(std::memory_order_relaxed));
    if (progress.Matches(seq) && progress.Ended)
        return 0;

    const int count = Pull(scratch, frames, waitForData, seq, progress);
    // Came up short without reaching the end: the listener hears a gap.
    if (count < frames && !progress.Ended)
        m_shared.Underruns.fetch_add(1, std::memory_order_relaxed);
    if (count > 0) {
        ApplyEffects(scratch, count);
        ApplyGains(scratch, count);
        for (int i = 0; i < 2 * count; ++i)
            mix[i] += scratch[i];
    }
    m_shared.Progress.store(progress.Pack(), std::memory_order_release);
    return count;
}

TStreamRenderer* TStreamRenderer::HandOver()
{
    if (!m_next.load(std::memory_order_seq_cst)
        || m_shared.State.load(std::memory_order_acquire) != int(TPlayState::Playing))
        return nullptr;
    const uint32_t seq = m_shared.SeekSeq.load(std::memory_order_acquire);
    const TProgress progress = TProgress::Unpack(m_shared.Progress.load(std::memory_order_relaxed));
    if (!progress.Matches(seq) || !progress.Ended)
        return nullptr;
    TStreamRenderer* next = m_next.exchange(nullptr, std::memory_order_seq_cst);
    if (next)
        next->m_shared.State.store(int(TPlayState::Playing), std::memory_order_release);
    return next;
}

int TStreamRenderer::Pull(float* scratch, int frames, bool waitForData, uint32_t& seq, TProgress& progress)
{
    TBlockQueue& queue = m_shared.Queue;
    int done = 0;
    while (done < frames) {
        if (queue.Empty()) {
            if (!waitForData)
                break;
            const uint32_t produced = m_shared.Produced.load(std::memory_order_acquire);
            const uint32_t now = m_shared.SeekSeq.load(std::memory_order_acquire);
            if (m_shared.State.load(std::memory_order_acquire) != int(TPlayState::Playing))
                break;
            if (now != seq) {
                seq = now;
                continue;
            }
            if (queue.Empty())
                m_shared.Produced.wait(produced, std::memory_order_acquire);
            continue;
        }
        const TAudioBlock& block = queue.Front();
        if (block.Seq != seq) {
            PopFront();
            continue;
        }
        const int count = std::min(block.Frames - m_offset, frames - done);
        std::memcpy(scratch + 2 * done, block.Samples + 2 * m_offset, sizeof(float) * 2 * count);
        m_offset += count;
        done += count;
        progress.Seq = seq;
        progress.Ended = false;
        if (block.Frames > 0)
            progress.Frame = block.SourceBegin + (block.SourceEnd - block.SourceBegin) * m_offset / block.Frames;
        if (m_offset >= block.Frames) {
            const bool eof = block.Eof;
            const int64_t end = block.SourceEnd;
            PopFront();
            if (eof) {
                progress.Ended = true;
                progress.Frame = end;
                break;
            }
        }
    }
    return done;
}

void TStreamRenderer::DropStale(uint32_t seq)
{
    while (!m_shared.Queue.Empty() && m_shared.Queue.Front().Seq != seq)
        PopFront();
}

void TStreamRenderer::PopFront()
{
    m_shared.Queue.Pop();
    m_offset = 0;
    m_shared.WakeDecoder();
}

void TStreamRenderer::ApplyEffects(float* samples, int frames)
{
    std::array<TPeakingFilter*, TStreamShared::kMaxFx> chain;
    int count = 0;
    for (int i = 0; i < TStreamShared::kMaxFx; ++i) {
        TFxSlot& slot = m_shared.Fx[i];
        if (!slot.Active.load(std::memory_order_acquire)) {
            m_live[i] = false;
            continue;
        }
        const uint32_t serial = slot.Serial.load(std::memory_order_acquire);
        const uint32_t version = slot.Version.load(std::memory_order_acquire);
        const bool fresh = !m_live[i] || serial != m_serial[i];
        if (fresh) {
            m_filters[i].Reset();
            m_live[i] = true;
            m_serial[i] = serial;
        }
        if (fresh || version != m_version[i]) {
            m_filters[i].Design(slot.Center.load(std::memory_order_relaxed),
                slot.Bandwidth.load(std::memory_order_relaxed), slot.Gain.load(std::memory_order_relaxed),
                m_shared.OutputRate);
            m_version[i] = version;
        }
        if (!m_filters[i].IsFlat())
            chain[count++] = &m_filters[i];
    }
    if (count > 0)
        TPeakingFilter::ProcessChain(chain.data(), count, samples, frames);
}

void TStreamRenderer::ApplyGains(float* samples, int frames)
{
    const float volume =
        m_shared.Gain.load(std::memory_order_relaxed) * m_shared.Volume.load(std::memory_order_relaxed);
    const float pan = m_shared.Pan.load(std::memory_order_relaxed);
    const float left = volume * (pan > 0.0f ? 1.0f - pan : 1.0f);
    const float right = volume * (pan < 0.0f ? 1.0f + pan : 1.0f);
    if (!m_gainsKnown) {
        m_gainLeft = left;
        m_gainRight = right;
        m_gainsKnown = true;
    }
    // A change is spread over the block so it does not click.
    const float stepLeft = (left - m_gainLeft) / frames;
    const float stepRight = (right - m_gainRight) / frames;
    for (int i = 0; i < frames; ++i) {
        samples[2 * i] *= m_gainLeft + stepLeft * (i + 1);
        samples[2 * i + 1] *= m_gainRight + stepRight * (i + 1);
    }
    m_gainLeft = left;
    m_gainRight = right;
}

}
