#include "platform/audio/Mixer.h"

#include "platform/audio/StreamRenderer.h"

#include <algorithm>
#include <thread>

namespace vantor {

TMixer::TMixer()
    : m_scratch(2 * kChunkFrames)
{
}

bool TMixer::Attach(TStreamRenderer* renderer)
{
    for (auto& slot : m_slots) {
        if (!slot.load(std::memory_order_relaxed)) {
            slot.store(renderer, std::memory_order_seq_cst);
            return true;
        }
    }
    return false;
}

void TMixer::Detach(TStreamRenderer* renderer)
{
    for (auto& slot : m_slots) {
        if (slot.load(std::memory_order_relaxed) == renderer)
            slot.store(nullptr, std::memory_order_seq_cst);
    }
    // A render that began before the store may still hold the pointer; one that begins after
    // it cannot see it. Both orders are total because both sides use seq_cst.
    while (m_busy.load(std::memory_order_seq_cst))
        std::this_thread::yield();
}

bool TMixer::Render(float* out, int frames, bool waitForData)
{
    m_busy.store(true, std::memory_order_seq_cst);
    std::fill(out, out + 2 * frames, 0.0f);
    bool played = false;
    for (int done = 0; done < frames;) {
        const int count = std::min(frames - done, kChunkFrames);
        // Streams that played in this chunk, so that one which took over from another is not
        // mixed twice.
        std::array<const TStreamRenderer*, kMaxStreams> rendered {};
        int renderedCount = 0;
        auto seen = [&](const TStreamRenderer* r) {
            return std::find(rendered.begin(), rendered.begin() + renderedCount, r) != rendered.begin() + renderedCount;
        };
        for (auto& slot : m_slots) {
            TStreamRenderer* renderer = slot.load(std::memory_order_seq_cst);
            // The joint of linked streams falls inside the chunk: the next stream goes on from
            // the frame after the last one of its predecessor.
            for (int at = 0; renderer && !seen(renderer);) {
                const int got = renderer->MixInto(out + 2 * (done + at), m_scratch.data(), count - at, waitForData);
                if (got > 0 && renderedCount < kMaxStreams)
                    rendered[renderedCount++] = renderer;
                played |= got > 0;
                at += got;
                renderer = renderer->HandOver();
            }
        }
        done += count;
    }
    m_busy.store(false, std::memory_order_seq_cst);
    return played;
}

}
