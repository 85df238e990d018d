#include "tags/io/FileStream.h"

#include "base/PositionedIO.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

TFileStream::~TFileStream() { Close(); }

bool TFileStream::Open(const std::string& fileName)
{
    Close();
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    FFd = fd;
    FSize = uint64_t(st.st_size);
    return true;
}

void TFileStream::Close()
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    FSize = 0;
    FPosition = 0;
    FHead.Length = 0;
    for (TBlock& block : FBlocks)
        block.Length = 0;
}

TFileStream::TBlock* TFileStream::BlockHolding(uint64_t position)
{
    if (position < FHead.Length)
        return &FHead;
    for (TBlock& block : FBlocks)
        if (position >= block.Start && position < block.Start + block.Length) {
            block.LastUse = ++FUses;
            return &block;
        }
    return nullptr;
}

// Loads the block holding position into the least recently used slot. Near the end of the
// file the block ends at the end, so that the tags there (APE footer, Lyrics3, ID3v1) come in
// with one read.
TFileStream::TBlock* TFileStream::Fill(uint64_t position)
{
    TBlock* block = &FBlocks[0];
    for (TBlock& candidate : FBlocks)
        if (candidate.LastUse < block->LastUse)
            block = &candidate;
    if (!block->Data)
        block->Data = std::make_unique_for_overwrite<uint8_t[]>(BlockSize);
    block->Start = std::min(position, FSize > BlockSize ? FSize - BlockSize : 0);
    block->Length =
        PreadAll(FFd, block->Data.get(), size_t(std::min<uint64_t>(BlockSize, FSize - block->Start)), block->Start);
    block->LastUse = ++FUses;
    return position < block->Start + block->Length ? block : nullptr;
}

TFileStream::TBlock* TFileStream::FillHead()
{
    if (!FHead.Data)
        FHead.Data = std::make_unique_for_overwrite<uint8_t[]>(HeadSize);
    FHead.Start = 0;
    FHead.Length = PreadAll(FFd, FHead.Data.get(), size_t(std::min<uint64_t>(HeadSize, FSize)), 0);
    return FHead.Length > 0 ? &FHead : nullptr;
}

size_t TFileStream::Read(void* buffer, size_t count)
{
    if (FFd < 0 || FPosition >= FSize || count == 0)
        return 0;
    count = size_t(std::min<uint64_t>(count, FSize - FPosition));
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        const uint64_t at = FPosition + done;
        const size_t rest = count - done;
        TBlock* block = BlockHolding(at);
        if (!block && at < HeadSize && FHead.Length == 0 && !(block = FillHead()))
            break;
        if (block && at >= block->Start + block->Length)
            break;
        if (!block && rest >= BlockSize) {
            done += PreadAll(FFd, out + done, rest, at);
            break;
        }
        if (!block && !(block = Fill(at)))
            break;
        const size_t n = std::min(rest, size_t(block->Start + block->Length - at));
        std::memcpy(out + done, block->Data.get() + (at - block->Start), n);
        done += n;
    }
    FPosition += done;
    return done;
}

bool FileExists(const std::string& fileName)
{
    struct stat st { };
    return ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadWholeFile(const std::string& fileName, std::vector<uint8_t>& bytes, uint64_t maxSize)
{
    TFileStream file;
    if (!file.Open(fileName) || file.Size() > maxSize)
        return false;
    bytes.resize(size_t(file.Size()));
    return file.Read(bytes.data(), bytes.size()) == bytes.size();
}

} // namespace vantor
