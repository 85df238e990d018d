#pragma once
// Editing a file without risking it. TFileEditStream presents the file as a
// read-write stream, but every change is only recorded (a piece table over the
// unchanged file); Commit then applies them:
//  - when the changes only overwrite bytes in place and/or append or cut at the
//    end, the file is patched in place (the overwritten bytes are kept, and put
//    back together with the old length when a write fails);
//  - otherwise a temporary file is written beside it, flushed to disk and renamed
//    over the old one, so the file is replaced whole or not at all.
// A file that cannot be written is left byte-for-byte unchanged.

#include "tags/io/Stream.h"

#include <memory>
#include <string>
#include <vector>

namespace vantor {

enum class TFileEditResult {
    Success = 0,
    CannotOpen, // missing (without create), unreadable or not writable
    ReadFailed,
    WriteFailed, // includes failing to create, flush or rename the temporary file
};

class TFileEditStream final : public TStream {
public:
    TFileEditStream() = default;
    ~TFileEditStream() override;
    TFileEditStream(const TFileEditStream&) = delete;
    TFileEditStream& operator=(const TFileEditStream&) = delete;

    // Opens an existing file for reading and writing; with createIfMissing a file
    // that does not exist starts empty and is created by Commit.
    TFileEditResult Open(const std::string& fileName, bool createIfMissing = false);
    // Whether no other process holds a lock on the (existing) file; the lock is kept until the
    // stream closes. A file that is only rewritten while nobody else uses it asks this first.
    bool LockExclusive();
    // Writes the recorded changes to disk; nothing happens when there are none.
    TFileEditResult Commit();
    bool Changed() const { return FChanged; }
    bool Existed() const { return FExisted; }
    // True when Commit would have to replace the whole file rather than patch it in place.
    bool NeedsRewrite() const { return FChanged && !InPlacePossible(); }
    // True when the last Commit had to replace the whole file.
    bool Rewrote() const { return FRewrote; }

    uint64_t Size() const override { return FSize; }
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

private:
    // A run of the new content: bytes of the original file, or recorded new bytes.
    struct TPiece {
        uint64_t Length = 0;
        uint64_t Source = 0; // offset in the original file (Data == nullptr) or in Data
        std::shared_ptr<const std::vector<uint8_t>> Data;
    };
    void SplitAt(uint64_t offset);
    size_t PieceStartingAt(uint64_t offset) const;
    TFileEditResult CommitInPlace();
    TFileEditResult CommitRewrite();
    bool InPlacePossible() const;

    std::string FFileName;   // the path given
    std::string FTargetName; // symlinks resolved: the file that is really replaced
    int FFd = -1;
    bool FExisted = false;
    uint64_t FOriginalSize = 0;
    std::vector<TPiece> FPieces;
    uint64_t FSize = 0;
    uint64_t FPosition = 0;
    bool FChanged = false;
    bool FRewrote = false;
};

} // namespace vantor
