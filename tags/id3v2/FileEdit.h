#pragma once

// Changes to a file expressed as byte ranges to replace. A save plans them against the old
// bytes and hands them to a stream: a TFileEditStream then decides whether the file is patched
// in place or rewritten through a temporary file, a memory stream simply changes.

#include "tags/io/Stream.h"

#include <cstdint>
#include <vector>

namespace vantor {

struct TFileEdit {
    uint64_t Offset = 0; // in the old bytes
    uint64_t RemoveLength = 0;
    std::vector<uint8_t> Insert;
};

// Edits sorted by offset, not overlapping.
using TFileEdits = std::vector<TFileEdit>;

// Applies the edits last to first, so that every offset still names the old bytes.
bool ApplyEdits(TStream& Stream, const TFileEdits& Edits);

} // namespace vantor
