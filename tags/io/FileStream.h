#pragma once
// Read-only buffered access to a file, for loading tags.

#include "tags/io/Stream.h"

#include <array>
#include <memory>
#include <string>

namespace vantor {

class TFileStream final : public TStream {
public:
    TFileStream() = default;
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    // False when the path does not name a regular file that can be opened for reading.
    bool Open(const std::string& fileName);
    void Close();
    bool IsOpen() const { return FFd >= 0; }

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
    // Small reads (headers, footers, fields) are served from a few page-sized blocks: tag readers
    // jump between the start of the file, the end of a tag and the end of the file, and every
    // format looks at the same places, so the blocks are kept rather than reading further ahead.
    // Reads of a block or more go straight into the caller's memory. The start of the file, where
    // most tags and stream headers are, comes in with one larger read that stays.
    static constexpr size_t BlockSize = 4096;
    static constexpr size_t BlockCount = 4;
    static constexpr size_t HeadSize = 16384;
    struct TBlock {
        std::unique_ptr<uint8_t[]> Data; // BlockSize bytes once allocated
        uint64_t Start = 0;              // file offset of Data[0]
        size_t Length = 0;               // valid bytes
        uint64_t LastUse = 0;
    };
    TBlock* BlockHolding(uint64_t position);
    TBlock* Fill(uint64_t position);
    TBlock* FillHead();

    int FFd = -1;
    uint64_t FSize = 0;
    uint64_t FPosition = 0;
    TBlock FHead; // HeadSize bytes from the start once read
    std::array<TBlock, BlockCount> FBlocks;
    uint64_t FUses = 0;
};

bool FileExists(const std::string& fileName);
// Whole file into memory, refusing files larger than maxSize.
bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes, uint64_t maxSize = uint64_t(1) << 31);

} // namespace vantor
