#pragma once

// Changes to a file expressed as byte ranges to replace, and the two ways of carrying them
// out: in place when every replacement has the size of what it replaces (only those bytes are
// written), otherwise by writing a complete new copy into a temporary file in the same folder,
// flushing it and renaming it over the old file, so the old file is never lost or half-written.

#include "tags/audio_attributes/ByteSource.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace vantor {

struct TFileEdit {
    uint64_t Offset = 0;
    uint64_t RemoveLength = 0;
    std::vector<uint8_t> Insert;
};

// Edits sorted by offset, not overlapping.
using TFileEdits = std::vector<TFileEdit>;

bool EditsAreInPlace(const TFileEdits& Edits);
// The size of the data after the edits.
uint64_t EditedSize(uint64_t OldSize, const TFileEdits& Edits);

void ApplyEditsInMemory(std::vector<uint8_t>& Data, const TFileEdits& Edits);

// A regular file opened for reading and writing.
class TWritableFile : public TByteSource {
public:
    TWritableFile() = default;
    ~TWritableFile() override;
    TWritableFile(const TWritableFile&) = delete;
    TWritableFile& operator=(const TWritableFile&) = delete;

    bool Open(const std::filesystem::path& FileName);
    // Whether no other process holds a lock on the file; the lock is kept until Close.
    bool LockExclusive();
    void Close();

    uint64_t Size() const override { return FSize; }
    size_t ReadAt(uint64_t Offset, void* Buffer, size_t Count) const override;
    bool WriteAt(uint64_t Offset, const void* Buffer, size_t Count);
    bool Flush();
    int Handle() const { return FHandle; }

private:
    int FHandle = -1;
    uint64_t FSize = 0;
};

enum class TEditOutcome { Done, ReadFailed, WriteFailed };

// Writes each edit's bytes at its offset; the edits must be in place.
TEditOutcome ApplyEditsInPlace(TWritableFile& File, const TFileEdits& Edits);

// Writes Source with the edits applied to a temporary file beside Target, flushes it, gives
// it the old file's permissions (when Source is that file) and renames it over Target. On any
// failure the temporary file is removed and Target is unchanged.
TEditOutcome RewriteWithEdits(const TByteSource& Source, const TFileEdits& Edits, const std::filesystem::path& Target,
                              int PermissionsFrom = -1);

} // namespace vantor
