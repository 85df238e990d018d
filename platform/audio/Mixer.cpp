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
        for (auto& slot : m_slots) {
            if (TStreamRenderer* renderer = slot.load(std::memory_order_seq_cst))
                played |= renderer->MixInto(out + 2 * done, m_scratch.data(), count, waitForData);
        }
        done += count;
    }
    m_busy.store(false, std::memory_order_seq_cst);
    return played;
}

}
