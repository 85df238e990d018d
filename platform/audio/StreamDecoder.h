#pragma once

#include "platform/audio/Decoder.h"
#include "platform/audio/StreamShared.h"

#include <memory>

namespace vantor {

// The producer side of a stream: runs on the stream's decoder thread, keeps the block queue
// full, follows seek requests and ends with a block marked Eof.
class TStreamDecoder {
public:
    TStreamDecoder(TStreamShared& shared, std::unique_ptr<TDecoder> decoder);
    void Run();

private:
    // Starts a new seek generation at the requested position.
    void BeginEpoch();
    // Fills and publishes one block; false when a seek or quit request interrupted it.
    bool FillBlock(uint32_t seq);
    // Source frame matching a count of output frames into the current generation.
    int64_t SourceAt(int64_t outputFrames) const;
    bool HasRoom() const;

    TStreamShared& m_shared;
    std::unique_ptr<TDecoder> m_decoder;
    TDecodedChunk m_chunk; // decoded audio not yet copied into blocks
    int m_chunkOffset = 0;
    bool m_ended = false;     // the Eof block of this generation is published
    int64_t m_epochStart = 0; // source frame where this generation began
    int64_t m_outputFrames = 0;
    int64_t m_sourceFrames = 0;
    uint32_t m_epochBlocks = 0; // blocks published in this generation
};

}
