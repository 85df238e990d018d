#pragma once
// A new copy of a file as a stream: a TSafeFileWriter, which puts it in the old
// file's place only on Commit, so the old file is replaced whole or not at all.
// Without Commit the temporary file is removed.

#include "base/SafeFileWriter.h"
#include "tags/io/Stream.h"

#include <memory>
#include <string>

namespace vantor {

class TReplacementFile final : public TStream {
public:
    TReplacementFile() = default;
    ~TReplacementFile() override;
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    // Creates the temporary file beside target (symbolic links resolved).
    bool Create(const std::string& target);
    bool Commit();
    void Discard();

    uint64_t Size() const override { return FWriter ? FWriter->Size() : 0; }
    uint64_t Position() const override { return FPosition; }
    bool Seek(uint64_t position) override
    {
        FPosition = position;
        return true;
    }
    size_t Read(void* buffer, size_t count) override;
    bool Write(const void* buffer, size_t count) override;
    bool Truncate(uint64_t size) override;
    bool Replace(uint64_t, uint64_t, const void*, size_t) override { return false; }
    using TStream::Write;

private:
    std::unique_ptr<TSafeFileWriter> FWriter;
    uint64_t FPosition = 0;
};

} // namespace vantor
