#pragma once
// Lets readers written against TByteSource read a TStream. Reads move the
// stream's position; the caller restores it when it matters.

#include "tags/audio_attributes/ByteSource.h"
#include "tags/io/Stream.h"

namespace vantor {

class TStreamByteSource final : public TByteSource {
public:
    explicit TStreamByteSource(TStream& stream)
        : FStream(stream)
    {
    }

    uint64_t Size() const override { return FStream.Size(); }
    size_t ReadAt(uint64_t offset, void* buffer, size_t count) const override
    {
        if (!FStream.Seek(offset))
            return 0;
        return FStream.Read(buffer, count);
    }

private:
    TStream& FStream; // not owned
};

} // namespace vantor
