#include "tags/ogg/ReplacementFile.h"

namespace vantor {

TReplacementFile::~TReplacementFile() = default;

bool TReplacementFile::Create(const std::string& target)
{
    FWriter = std::make_unique<TSafeFileWriter>(target);
    FPosition = 0;
    return FWriter->IsOpen();
}

size_t TReplacementFile::Read(void* buffer, size_t count)
{
    const size_t done = FWriter ? FWriter->ReadAt(FPosition, buffer, count) : 0;
    FPosition += done;
    return done;
}

bool TReplacementFile::Write(const void* buffer, size_t count)
{
    if (!FWriter || !FWriter->WriteAt(FPosition, buffer, count))
        return false;
    FPosition += count;
    return true;
}

bool TReplacementFile::Truncate(uint64_t size) { return FWriter && FWriter->Truncate(size); }

bool TReplacementFile::Commit()
{
    const bool ok = FWriter && FWriter->Commit();
    FWriter.reset();
    return ok;
}

void TReplacementFile::Discard() { FWriter.reset(); }

} // namespace vantor
