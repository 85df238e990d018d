#pragma once

#include "platform/audio/BlockQueue.h"

#include <array>
#include <atomic>
#include <cstdint>

namespace vantor {

// One effect slot of a stream. The UI thread writes it; the output thread reads it and keeps
// the filter itself. Serial changes when a filter is added (its state starts afresh), Version
// whenever the parameters change.
struct TFxSlot {
    std::atomic<bool> Active { false };
    std::atomic<uint32_t> Serial { 0 };
    std::atomic<uint32_t> Version { 0 };
    std::atomic<float> Center { 1000.0f };
    std::atomic<float> Bandwidth { 12.0f };
    std::atomic<float> Gain { 0.0f };
};

enum class TPlayState : int { Stopped, Playing, Paused };

// What the output thread last played, in one word so it is read consistently: the low 16 bits
// of the seek generation, whether the stream has ended, and the source frame reached.
struct TProgress {
    uint32_t Seq = 0;
    bool Ended = false;
    int64_t Frame = 0;

    static constexpr uint64_t kFrameMask = (uint64_t(1) << 47) - 1;
    uint64_t Pack() const
    {
        return (uint64_t(Seq & 0xFFFF) << 48) | (uint64_t(Ended) << 47) | (uint64_t(Frame) & kFrameMask);
    }
    static TProgress Unpack(uint64_t word)
    {
        return { uint32_t(word >> 48), ((word >> 47) & 1) != 0, int64_t(word & kFrameMask) };
    }
    bool Matches(uint32_t seq) const { return Seq == (seq & 0xFFFF); }
};

// The state of one stream shared by the UI thread (commands), its decoder thread (producer of
// blocks) and the output thread (consumer of blocks). Frames here are the source's own frames.
struct TStreamShared {
    static constexpr uint32_t kQueueBlocks = 28; // about 0.65 s at 44.1 kHz
    // Blocks kept free for the start of a new seek generation (about 93 ms), so the decoder
    // can deliver it while the queue still holds the old one for the output to drop.
    static constexpr uint32_t kSeekHeadroom = 4;
    static constexpr int kMaxFx = 32;

    TStreamShared(int sourceRate, int sourceChannels, int outputRate, int64_t lengthFrames)
        : SourceRate(sourceRate)
        , SourceChannels(sourceChannels)
        , OutputRate(outputRate)
        , LengthFrames(lengthFrames)
    {
    }

    void WakeDecoder()
    {
        DecoderWake.fetch_add(1, std::memory_order_release);
        DecoderWake.notify_one();
    }

    const int SourceRate;
    const int SourceChannels;
    const int OutputRate;

    TBlockQueue Queue { kQueueBlocks };

    // Written by the UI thread: a seek stores the target, then bumps the generation.
    std::atomic<int64_t> SeekTarget { 0 };
    std::atomic<uint32_t> SeekSeq { 0 };
    std::atomic<int> State { int(TPlayState::Stopped) };
    std::atomic<float> Gain { 1.0f };
    std::atomic<float> Volume { 1.0f };
    std::atomic<float> Pan { 0.0f };
    std::array<TFxSlot, kMaxFx> Fx;

    // Written by the decoder thread: the container's length until it reaches the end, then
    // the exact one.
    std::atomic<int64_t> LengthFrames;
    // Written by the output thread (a packed TProgress).
    std::atomic<uint64_t> Progress { 0 };
    // Output periods that found the decoder behind while the stream played (output thread).
    std::atomic<uint32_t> Underruns { 0 };

    std::atomic<bool> Quit { false };
    std::atomic<uint32_t> DecoderWake { 0 }; // bumped by anyone who has work for the decoder
    std::atomic<uint32_t> Produced { 0 };    // bumped by the decoder after each block
};

}
