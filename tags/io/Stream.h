#pragma once
// Byte streams the tag formats read and write: an abstract seekable stream plus
// owned and borrowed memory streams. File streams are in FileStream.h and
// FileEditStream.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

class TStream {
public:
    virtual ~TStream() = default;

    virtual uint64_t Size() const = 0;
    virtual uint64_t Position() const = 0;
    // Any position may be set; reads past the end return 0 bytes, writes past the
    // end fill the gap with zeros.
    virtual bool Seek(uint64_t position) = 0;
    // Returns the number of bytes read (less than count only at the end or on error).
    virtual size_t Read(void* buffer, size_t count) = 0;
    virtual bool Write(const void* buffer, size_t count) = 0;
    virtual bool Truncate(uint64_t size) = 0;
    // Replaces [offset, offset + removeCount) with count new bytes, moving what
    // follows; the position is left after the inserted bytes.
    virtual bool Replace(uint64_t offset, uint64_t removeCount, const void* buffer, size_t count) = 0;
    virtual bool Writable() const { return true; }

    // Reads exactly count bytes or fails (position is then unspecified).
    bool ReadExact(void* buffer, size_t count) { return Read(buffer, count) == count; }
    // Reads up to count bytes at the given position without trusting count: the
    // result never exceeds what the stream holds.
    std::vector<uint8_t> ReadAt(uint64_t position, uint64_t count);
    uint64_t Remaining() const
    {
        const uint64_t p = Position(), s = Size();
        return p < s ? s - p : 0;
    }
    bool Skip(uint64_t count) { return Seek(Position() + count); }
    bool Write(const std::vector<uint8_t>& bytes) { return Write(bytes.data(), bytes.size()); }
    // Copies the whole stream into a vector.
    std::vector<uint8_t> ReadAll();
};

// A growable stream that owns its bytes.
class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes)
        : FData(std::move(bytes))
    {
    }
    TMemoryStream(const void* data, size_t size);

    uint64_t Size() const override { return FData.size(); }
    uint64_t Position() const override { return FPosition; }
    bool Seek(uint64_t position) override
    {
        FPosition = position;
        return true;
    }
    size_t Read(void* buffer, size_t count) override;
    bool Write(const void* buffer, size_t count) override;
    bool Truncate(uint64_t size) override;
    bool Replace(uint64_t offset, uint64_t removeCount, const void* buffer, size_t count) override;
    using TStream::Write;

    void Clear()
    {
        FData.clear();
        FPosition = 0;
    }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    std::vector<uint8_t>& Bytes() { return FData; }
    const uint8_t* Data() const { return FData.data(); }

private:
    std::vector<uint8_t> FData;
    uint64_t FPosition = 0;
};

// A read-only view of memory the caller keeps alive; nothing is copied.
class TMemoryView final : public TStream {
public:
    TMemoryView(const void* data, size_t size)
        : FData(static_cast<const uint8_t*>(data))
        , FSize(size)
    {
    }

    uint64_t Size() const override { return FSize; }
    uint64_t Position() const override { return FPosition; }
    bool Seek(uint64_t position) override
    {
        FPosition = position;
        return true;
    }
    size_t Read(void* buffer, size_t count) override;
    bool Write(const void*, size_t) override { return false; }
    bool Truncate(uint64_t) override { return false; }
    bool Replace(uint64_t, uint64_t, const void*, size_t) override { return false; }
    bool Writable() const override { return false; }

private:
    const uint8_t* FData;
    size_t FSize;
    uint64_t FPosition = 0;
};

} // namespace vantor
