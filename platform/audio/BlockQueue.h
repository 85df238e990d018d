#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

namespace vantor {

// One block of decoded audio: interleaved stereo float at the output rate, with the stretch of
// the source's own frames it covers.
struct TAudioBlock {
    static constexpr int kFrames = 1024;

    uint32_t Seq = 0; // seek generation that produced it
    bool Eof = false; // the last block before the end of the stream
    int Frames = 0;
    int64_t SourceBegin = 0; // source frame at the first sample
    int64_t SourceEnd = 0;   // source frame after the last sample
    float Samples[kFrames * 2];
};

// Lock-free single-producer/single-consumer queue of preallocated blocks. The producer fills
// the block at Back() and publishes it with Push(); the consumer reads Front() and releases it
// with Pop(). Neither side allocates or blocks.
class TBlockQueue {
public:
    explicit TBlockQueue(uint32_t capacity)
        : m_capacity(capacity)
        , m_blocks(new TAudioBlock[capacity])
    {
    }

    uint32_t Capacity() const { return m_capacity; }

    // Producer side.
    uint32_t Size() const
    {
        return uint32_t(m_head.load(std::memory_order_relaxed) - m_tail.load(std::memory_order_acquire));
    }
    TAudioBlock& Back() { return m_blocks[m_head.load(std::memory_order_relaxed) % m_capacity]; }
    void Push() { m_head.store(m_head.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

    // Consumer side.
    bool Empty() const { return m_tail.load(std::memory_order_relaxed) == m_head.load(std::memory_order_acquire); }
    const TAudioBlock& Front() const { return m_blocks[m_tail.load(std::memory_order_relaxed) % m_capacity]; }
    void Pop() { m_tail.store(m_tail.load(std::memory_order_relaxed) + 1, std::memory_order_release); }

private:
    const uint32_t m_capacity;
    std::unique_ptr<TAudioBlock[]> m_blocks;
    // On separate cache lines: each side writes one and only reads the other.
    alignas(64) std::atomic<uint64_t> m_head { 0 }; // blocks pushed
    alignas(64) std::atomic<uint64_t> m_tail { 0 }; // blocks popped
};

}
