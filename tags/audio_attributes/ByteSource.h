#pragma once

// Random-access, read-only views of a file or of memory, used by every tag and audio parser.
//
// Readers ask for a byte range and get back how much of it exists; nothing is read past the
// real end, so a size field claiming more than the input holds can never cause a large
// allocation or a read beyond the data.

#include "tags/io/Bytes.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>

namespace vantor {

class TByteSource {
public:
    virtual ~TByteSource() = default;

    virtual uint64_t Size() const = 0;
    // Copies up to Count bytes from Offset into Buffer; returns how many were copied (fewer at
    // the end of the data or on a read error).
    virtual size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const = 0;

    // True only when all Count bytes at Offset were read.
    bool ReadExact(uint64_t Offset, void* Buffer, size_t Count) const;
    // Bytes available from Offset to the end, 0 past the end.
    uint64_t Remaining(uint64_t Offset) const;
};

// Memory owned by the caller, which must outlive the source.
class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(std::span<const uint8_t> Data)
        : FData(Data)
    {
    }

    uint64_t Size() const override { return FData.size(); }
    size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const override;
    std::span<const uint8_t> Data() const { return FData; }

private:
    std::span<const uint8_t> FData;
};

// A file opened read-only; the descriptor is closed with the object.
class TFileSource : public TByteSource {
public:
    TFileSource() = default;
    ~TFileSource() override;
    TFileSource(const TFileSource&) = delete;
    TFileSource& operator=(const TFileSource&) = delete;

    bool Open(const std::filesystem::path& FileName);
    bool IsOpen() const { return FHandle >= 0; }

    uint64_t Size() const override { return FSize; }
    size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const override;

private:
    int FHandle = -1;
    uint64_t FSize = 0;
};

} // namespace vantor
