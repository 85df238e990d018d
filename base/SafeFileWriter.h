#pragma once

// Replacing a file whole or not at all. The new content goes to a temporary file in the
// target's folder; Commit flushes it to disk, gives it the old file's mode (and owner, where
// allowed), renames it over the target and flushes the folder. A new file gets the mode the
// umask leaves of 0666. Whatever fails, the temporary file is removed and the old file stays
// as it was. This is the only place that renames a file over another.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace vantor {

// The steps of a safe write that can fail.
enum class TSafeWriteStep { Open, Write, Sync, Rename };

// Makes chosen steps of safe writes fail as if the system had refused them, so that tests can
// check what every writer leaves behind. Installed for one thread by TSafeWriteFaultScope.
class ISafeWriteFaults {
public:
    virtual ~ISafeWriteFaults() = default;
    virtual bool Fails(TSafeWriteStep step) = 0;
};

// While it lives, the safe writers this thread creates consult faults before each step.
class TSafeWriteFaultScope {
public:
    explicit TSafeWriteFaultScope(ISafeWriteFaults& faults);
    ~TSafeWriteFaultScope();
    TSafeWriteFaultScope(const TSafeWriteFaultScope&) = delete;
    TSafeWriteFaultScope& operator=(const TSafeWriteFaultScope&) = delete;

private:
    ISafeWriteFaults* m_previous;
};

class TSafeFileWriter {
public:
    // Creates the temporary file beside target; a symbolic link is followed and the file it
    // points at replaced. IsOpen tells whether that worked.
    explicit TSafeFileWriter(std::filesystem::path const& target);
    // Removes the temporary file unless Commit replaced the target with it.
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    uint64_t Size() const { return m_size; }

    // Appends at the end of what was written so far.
    bool Write(void const* data, size_t count) { return WriteAt(m_size, data, count); }
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    bool WriteAt(uint64_t offset, void const* data, size_t count);
    // Reads back what was written; the count read.
    size_t ReadAt(uint64_t offset, void* data, size_t count) const;
    bool Truncate(uint64_t size);

    // Puts the new content in the target's place. False, with the target untouched, when
    // anything failed on the way, a write before included.
    bool Commit();

private:
    bool Fails(TSafeWriteStep step) const;
    void Discard();

    ISafeWriteFaults* m_faults;
    std::string m_target;
    std::string m_folder;
    std::string m_temporary;
    int m_fd = -1;
    uint64_t m_size = 0;
    bool m_failed = false;
};

// Replaces the target's contents with bytes through a TSafeFileWriter.
bool ReplaceFileContents(std::filesystem::path const& target, std::string_view bytes);

}
