#include "platform/audio/StreamDecoder.h"

#include <algorithm>
#include <cstring>

namespace vantor {

TStreamDecoder::TStreamDecoder(TStreamShared& shared, std::unique_ptr<TDecoder> decoder)
    : m_shared(shared)
    , m_decoder(std::move(decoder))
{
}

void TStreamDecoder::Run()
{
    // Generation 0 is the stream's start; a seek made before this thread got going is a later
    // generation and is picked up below like any other.
    uint32_t seq = 0;
    for (;;) {
        // Read the wake counter before looking for work, so a request that arrives after the
        // checks still ends the wait below.
        const uint32_t wake = m_shared.DecoderWake.load(std::memory_order_acquire);
        if (m_shared.Quit.load(std::memory_order_acquire))
            return;
        const uint32_t wanted = m_shared.SeekSeq.load(std::memory_order_acquire);
        if (wanted != seq) {
            seq = wanted;
            BeginEpoch();
            continue;
        }
        if (m_ended || !HasRoom()) {
            m_shared.DecoderWake.wait(wake, std::memory_order_acquire);
            continue;
        }
        if (FillBlock(seq)) {
            ++m_epochBlocks;
            m_shared.Produced.fetch_add(1, std::memory_order_release);
            m_shared.Produced.notify_all();
        }
    }
}

void TStreamDecoder::BeginEpoch()
{
    const int64_t target = m_shared.SeekTarget.load(std::memory_order_acquire);
    const int64_t start = m_decoder->Seek(target);
    // A source that cannot seek goes on where it is.
    m_epochStart = start >= 0 ? start : m_epochStart + m_sourceFrames;
    m_outputFrames = 0;
    m_sourceFrames = 0;
    m_epochBlocks = 0;
    if (start >= 0) {
        m_chunk = {};
        m_chunkOffset = 0;
    }
    m_ended = false;
}

bool TStreamDecoder::HasRoom() const
{
    const uint32_t size = m_shared.Queue.Size();
    const uint32_t capacity = m_shared.Queue.Capacity();
    return size < capacity - TStreamShared::kSeekHeadroom
        || (size < capacity && m_epochBlocks < TStreamShared::kSeekHeadroom);
}

int64_t TStreamDecoder::SourceAt(int64_t outputFrames) const
{
    const int64_t in = m_shared.SourceRate;
    const int64_t out = m_shared.OutputRate;
    const int64_t mapped = outputFrames / out * in + outputFrames % out * in / out;
    return std::min(m_epochStart + mapped, m_epochStart + m_sourceFrames);
}

bool TStreamDecoder::FillBlock(uint32_t seq)
{
    TAudioBlock& block = m_shared.Queue.Back();
    block.SourceBegin = SourceAt(m_outputFrames);
    int filled = 0;
    while (filled < TAudioBlock::kFrames) {
        if (m_chunkOffset >= m_chunk.Frames) {
            if (m_chunk.Eof)
                break;
            if (m_shared.SeekSeq.load(std::memory_order_acquire) != seq
                || m_shared.Quit.load(std::memory_order_acquire))
                return false;
            m_chunk = m_decoder->Next();
            m_chunkOffset = 0;
            m_sourceFrames += m_chunk.SourceFrames;
            continue;
        }
        const int count = std::min(m_chunk.Frames - m_chunkOffset, TAudioBlock::kFrames - filled);
        std::memcpy(block.Samples + 2 * filled, m_chunk.Samples + 2 * m_chunkOffset, sizeof(float) * 2 * count);
        m_chunkOffset += count;
        filled += count;
        m_outputFrames += count;
    }
    block.Seq = seq;
    block.Frames = filled;
    block.Eof = m_chunk.Eof && m_chunkOffset >= m_chunk.Frames;
    if (block.Eof) {
        // The exact end is known now; it replaces the container's figure.
        block.SourceEnd = m_epochStart + m_sourceFrames;
        m_shared.LengthFrames.store(block.SourceEnd, std::memory_order_release);
        m_ended = true;
    } else {
        block.SourceEnd = SourceAt(m_outputFrames);
        // Audio beyond the container's length makes the length grow ahead of the position.
        if (block.SourceEnd > m_shared.LengthFrames.load(std::memory_order_relaxed))
            m_shared.LengthFrames.store(block.SourceEnd, std::memory_order_release);
    }
    m_shared.Queue.Push();
    return true;
}

}
