#include "tags/id3v2/FileEdit.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vantor {

namespace {

constexpr size_t CopyBlock = 1 << 20;

bool WriteAll(int Handle, const uint8_t* Data, size_t Count)
{
    while (Count > 0) {
        const ssize_t N = ::write(Handle, Data, Count);
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return false;
        Data += N;
        Count -= size_t(N);
    }
    return true;
}

} // namespace

bool EditsAreInPlace(const TFileEdits& Edits)
{
    return std::all_of(Edits.begin(), Edits.end(), [](const TFileEdit& E) { return E.Insert.size() == E.RemoveLength; });
}

uint64_t EditedSize(uint64_t OldSize, const TFileEdits& Edits)
{
    for (const TFileEdit& E : Edits)
        OldSize = OldSize - E.RemoveLength + E.Insert.size();
    return OldSize;
}

void ApplyEditsInMemory(std::vector<uint8_t>& Data, const TFileEdits& Edits)
{
    std::vector<uint8_t> Out;
    Out.reserve(size_t(EditedSize(Data.size(), Edits)));
    uint64_t Pos = 0;
    for (const TFileEdit& E : Edits) {
        Out.insert(Out.end(), Data.begin() + ptrdiff_t(Pos), Data.begin() + ptrdiff_t(E.Offset));
        Out.insert(Out.end(), E.Insert.begin(), E.Insert.end());
        Pos = E.Offset + E.RemoveLength;
    }
    Out.insert(Out.end(), Data.begin() + ptrdiff_t(Pos), Data.end());
    Data.swap(Out);
}

TWritableFile::~TWritableFile()
{
    Close();
}

bool TWritableFile::Open(const std::filesystem::path& FileName)
{
    Close();
    const int Handle = ::open(FileName.c_str(), O_RDWR | O_CLOEXEC);
    if (Handle < 0)
        return false;
    struct stat Info {};
    if (::fstat(Handle, &Info) != 0 || !S_ISREG(Info.st_mode)) {
        ::close(Handle);
        return false;
    }
    FHandle = Handle;
    FSize = uint64_t(Info.st_size);
    return true;
}

bool TWritableFile::LockExclusive()
{
    return FHandle >= 0 && ::flock(FHandle, LOCK_EX | LOCK_NB) == 0;
}

void TWritableFile::Close()
{
    if (FHandle >= 0)
        ::close(FHandle);
    FHandle = -1;
    FSize = 0;
}

size_t TWritableFile::ReadAt(uint64_t Offset, void* Buffer, size_t Count) const
{
    if (FHandle < 0 || Offset >= FSize)
        return 0;
    Count = size_t(std::min<uint64_t>(Count, FSize - Offset));
    size_t Done = 0;
    while (Done < Count) {
        const ssize_t N = ::pread(FHandle, static_cast<uint8_t*>(Buffer) + Done, Count - Done, off_t(Offset + Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            break;
        Done += size_t(N);
    }
    return Done;
}

bool TWritableFile::WriteAt(uint64_t Offset, const void* Buffer, size_t Count)
{
    size_t Done = 0;
    while (Done < Count) {
        const ssize_t N = ::pwrite(FHandle, static_cast<const uint8_t*>(Buffer) + Done, Count - Done, off_t(Offset + Done));
        if (N < 0 && errno == EINTR)
            continue;
        if (N <= 0)
            return false;
        Done += size_t(N);
    }
    FSize = std::max(FSize, Offset + Count);
    return true;
}

bool TWritableFile::Flush()
{
    return FHandle >= 0 && ::fdatasync(FHandle) == 0;
}

TEditOutcome ApplyEditsInPlace(TWritableFile& File, const TFileEdits& Edits)
{
    for (const TFileEdit& E : Edits) {
        if (!File.WriteAt(E.Offset, E.Insert.data(), E.Insert.size()))
            return TEditOutcome::WriteFailed;
    }
    return File.Flush() ? TEditOutcome::Done : TEditOutcome::WriteFailed;
}

TEditOutcome RewriteWithEdits(const TByteSource& Source, const TFileEdits& Edits, const std::filesystem::path& Target,
                              int PermissionsFrom)
{
    std::string TempName = Target.string() + ".XXXXXX";
    const int Temp = ::mkostemp(TempName.data(), O_CLOEXEC);
    if (Temp < 0)
        return TEditOutcome::WriteFailed;

    TEditOutcome Outcome = TEditOutcome::Done;
    std::vector<uint8_t> Block;
    const auto Copy = [&](uint64_t From, uint64_t To) {
        Block.resize(size_t(std::min<uint64_t>(CopyBlock, To - From)));
        while (From < To && Outcome == TEditOutcome::Done) {
            const size_t Count = size_t(std::min<uint64_t>(Block.size(), To - From));
            if (!Source.ReadExact(From, Block.data(), Count))
                Outcome = TEditOutcome::ReadFailed;
            else if (!WriteAll(Temp, Block.data(), Count))
                Outcome = TEditOutcome::WriteFailed;
            From += Count;
        }
    };
    uint64_t Pos = 0;
    for (const TFileEdit& E : Edits) {
        Copy(Pos, E.Offset);
        if (Outcome == TEditOutcome::Done && !WriteAll(Temp, E.Insert.data(), E.Insert.size()))
            Outcome = TEditOutcome::WriteFailed;
        Pos = E.Offset + E.RemoveLength;
    }
    Copy(Pos, Source.Size());

    struct stat Info {};
    // A new file gets the usual permissions rather than the private ones of a temporary file.
    if (Outcome == TEditOutcome::Done)
        ::fchmod(Temp, PermissionsFrom >= 0 && ::fstat(PermissionsFrom, &Info) == 0 ? Info.st_mode & 07777 : 0644);
    if (Outcome == TEditOutcome::Done && ::fsync(Temp) != 0)
        Outcome = TEditOutcome::WriteFailed;
    if (::close(Temp) != 0 && Outcome == TEditOutcome::Done)
        Outcome = TEditOutcome::WriteFailed;
    if (Outcome == TEditOutcome::Done && ::rename(TempName.c_str(), Target.c_str()) != 0)
        Outcome = TEditOutcome::WriteFailed;
    if (Outcome != TEditOutcome::Done)
        ::unlink(TempName.c_str());
    return Outcome;
}

} // namespace vantor
