#pragma once
// Positioned reads and writes of a file descriptor that carry on after short transfers and
// interrupted calls.

#include <cstddef>
#include <cstdint>

namespace vantor {

// Returns the number of bytes read: fewer than count only at the end of the file or on error.
size_t PreadAll(int fd, void* buffer, size_t count, uint64_t offset);
// True when all count bytes were written.
bool PwriteAll(int fd, const void* buffer, size_t count, uint64_t offset);

} // namespace vantor
