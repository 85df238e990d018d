#include "tags/io/FileEditStream.h"

#include "base/PositionedIO.h"
#include "base/SafeFileWriter.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

constexpr size_t CopyBlock = 1 << 20;

} // namespace

TFileEditStream::~TFileEditStream()
{
    if (FFd >= 0)
        ::close(FFd);
}

TFileEditResult TFileEditStream::Open(const std::string& fileName, bool createIfMissing)
{
    if (FFd >= 0)
        ::close(FFd);
    FFd = -1;
    FPieces.clear();
    FSize = FOriginalSize = FPosition = 0;
    FChanged = FRewrote = false;
    FFileName = fileName;

    // Replace the file a symlink points to, never the link itself.
    char resolved[PATH_MAX];
    FTargetName = ::realpath(fileName.c_str(), resolved) ? std::string(resolved) : fileName;

    FFd = ::open(FTargetName.c_str(), O_RDWR | O_CLOEXEC);
    if (FFd < 0) {
        if (errno == ENOENT && createIfMissing) {
            FExisted = false;
            return TFileEditResult::Success;
        }
        return TFileEditResult::CannotOpen;
    }
    struct stat st { };
    if (::fstat(FFd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(FFd);
        FFd = -1;
        return TFileEditResult::CannotOpen;
    }
    FExisted = true;
    FOriginalSize = FSize = uint64_t(st.st_size);
    if (FSize)
        FPieces.push_back({ FSize, 0, nullptr });
    return TFileEditResult::Success;
}

void TFileEditStream::SplitAt(uint64_t offset)
{
    if (offset > FSize) {
        auto zeros = std::make_shared<std::vector<uint8_t>>(size_t(offset - FSize), 0);
        FPieces.push_back({ offset - FSize, 0, zeros });
        FSize = offset;
        return;
    }
    uint64_t start = 0;
    for (size_t i = 0; i < FPieces.size(); ++i) {
        const uint64_t end = start + FPieces[i].Length;
        if (offset > start && offset < end) {
            TPiece tail = FPieces[i];
            tail.Source += offset - start;
            tail.Length = end - offset;
            FPieces[i].Length = offset - start;
            FPieces.insert(FPieces.begin() + ptrdiff_t(i) + 1, tail);
            return;
        }
        start = end;
    }
}

size_t TFileEditStream::PieceStartingAt(uint64_t offset) const
{
    uint64_t start = 0;
    for (size_t i = 0; i < FPieces.size(); ++i) {
        if (start >= offset)
            return i;
        start += FPieces[i].Length;
    }
    return FPieces.size();
}

size_t TFileEditStream::Read(void* buffer, size_t count)
{
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    uint64_t start = 0;
    for (const TPiece& piece : FPieces) {
        if (done == count)
            break;
        const uint64_t end = start + piece.Length;
        const uint64_t at = FPosition + done;
        if (at >= start && at < end) {
            const size_t n = size_t(std::min<uint64_t>(count - done, end - at));
            const uint64_t from = piece.Source + (at - start);
            if (piece.Data) {
                std::memcpy(out + done, piece.Data->data() + from, n);
            } else if (PreadAll(FFd, out + done, n, from) != n) {
                FPosition += done;
                return done;
            }
            done += n;
        }
        start = end;
    }
    FPosition += done;
    return done;
}

bool TFileEditStream::Replace(uint64_t offset, uint64_t removeCount, const void* buffer, size_t count)
{
    SplitAt(offset);
    const uint64_t removeEnd = std::min(offset + removeCount, FSize);
    SplitAt(removeEnd);
    const size_t first = PieceStartingAt(offset);
    const size_t last = PieceStartingAt(removeEnd);
    FPieces.erase(FPieces.begin() + ptrdiff_t(first), FPieces.begin() + ptrdiff_t(last));
    if (count) {
        const auto* src = static_cast<const uint8_t*>(buffer);
        auto bytes = std::make_shared<std::vector<uint8_t>>(src, src + count);
        FPieces.insert(FPieces.begin() + ptrdiff_t(first), TPiece { count, 0, bytes });
    }
    FSize = FSize - (removeEnd - offset) + count;
    FPosition = offset + count;
    FChanged = true;
    return true;
}

bool TFileEditStream::Write(const void* buffer, size_t count)
{
    if (count == 0)
        return true;
    return Replace(FPosition, count, buffer, count);
}

bool TFileEditStream::Truncate(uint64_t size)
{
    if (size == FSize)
        return true;
    if (size > FSize) {
        SplitAt(size);
    } else {
        SplitAt(size);
        FPieces.erase(FPieces.begin() + ptrdiff_t(PieceStartingAt(size)), FPieces.end());
        FSize = size;
    }
    FChanged = true;
    return true;
}

bool TFileEditStream::LockExclusive() { return FFd >= 0 && ::flock(FFd, LOCK_EX | LOCK_NB) == 0; }

bool TFileEditStream::InPlacePossible() const
{
    if (!FExisted)
        return false;
    uint64_t at = 0;
    for (const TPiece& piece : FPieces) {
        if (!piece.Data && piece.Source != at)
            return false;
        at += piece.Length;
    }
    return true;
}

TFileEditResult TFileEditStream::Commit()
{
    if (!FChanged)
        return TFileEditResult::Success;
    TFileEditResult result;
    if (InPlacePossible()) {
        FRewrote = false;
        result = CommitInPlace();
    } else {
        FRewrote = true;
        result = CommitRewrite();
    }
    if (result != TFileEditResult::Success)
        return result;
    // The stream now shows the file as written.
    const bool rewrote = FRewrote;
    const TFileEditResult reopened = Open(FFileName);
    FRewrote = rewrote;
    return reopened == TFileEditResult::Success ? result : TFileEditResult::ReadFailed;
}

TFileEditResult TFileEditStream::CommitInPlace()
{
    // Bytes a change would write over identical bytes are left alone: a tag rewritten into its
    // own padding differs from the old one in a few places, and only those are written. What is
    // overwritten is kept, to put it back when a write fails.
    struct TWrite {
        uint64_t Offset;
        const uint8_t* Data;
        size_t Length;
    };
    struct TBackup {
        uint64_t Offset;
        std::vector<uint8_t> Bytes;
    };
    std::vector<TWrite> writes;
    std::vector<TBackup> backups;
    uint64_t at = 0;
    for (const TPiece& piece : FPieces) {
        if (piece.Data) {
            TWrite write { at, piece.Data->data() + piece.Source, size_t(piece.Length) };
            if (at < FOriginalSize) {
                std::vector<uint8_t> old(size_t(std::min(piece.Length, FOriginalSize - at)));
                if (PreadAll(FFd, old.data(), old.size(), at) != old.size())
                    return TFileEditResult::ReadFailed;
                size_t head = 0;
                while (head < old.size() && old[head] == write.Data[head])
                    ++head;
                size_t tail = 0;
                if (old.size() == write.Length)
                    while (tail < write.Length - head
                        && old[write.Length - 1 - tail] == write.Data[write.Length - 1 - tail])
                        ++tail;
                write = { at + head, write.Data + head, write.Length - head - tail };
                const size_t kept = std::min(write.Length, old.size() - head);
                if (kept > 0)
                    backups.push_back({ write.Offset,
                        std::vector<uint8_t>(old.begin() + long(head), old.begin() + long(head + kept)) });
            }
            if (write.Length > 0)
                writes.push_back(write);
        }
        at += piece.Length;
    }
    bool ok = true;
    for (const TWrite& write : writes) {
        if (!PwriteAll(FFd, write.Data, write.Length, write.Offset)) {
            ok = false;
            break;
        }
    }
    if (ok && FSize != FOriginalSize && ::ftruncate(FFd, off_t(FSize)) != 0)
        ok = false;
    if (ok && ::fsync(FFd) != 0)
        ok = false;
    if (!ok) {
        for (const TBackup& backup : backups)
            PwriteAll(FFd, backup.Bytes.data(), backup.Bytes.size(), backup.Offset);
        if (::ftruncate(FFd, off_t(FOriginalSize)) != 0) {
            // nothing more can be done; the write error is reported below
        }
        ::fsync(FFd);
        return TFileEditResult::WriteFailed;
    }
    return TFileEditResult::Success;
}

TFileEditResult TFileEditStream::CommitRewrite()
{
    TSafeFileWriter out(FTargetName);
    bool ok = out.IsOpen();
    std::vector<uint8_t> block;
    for (const TPiece& piece : FPieces) {
        if (!ok)
            break;
        if (piece.Data) {
            ok = out.Write(piece.Data->data() + piece.Source, size_t(piece.Length));
        } else {
            block.resize(size_t(std::min<uint64_t>(CopyBlock, piece.Length)));
            for (uint64_t copied = 0; ok && copied < piece.Length;) {
                const size_t n = size_t(std::min<uint64_t>(block.size(), piece.Length - copied));
                ok = PreadAll(FFd, block.data(), n, piece.Source + copied) == n && out.Write(block.data(), n);
                copied += n;
            }
        }
    }
    return ok && out.Commit() ? TFileEditResult::Success : TFileEditResult::WriteFailed;
}

} // namespace vantor
