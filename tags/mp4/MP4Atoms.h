#pragma once
// Atom headers of the MP4 container: a 32-bit big-endian size (header
// included) and a 4-byte type; size 1 means a 64-bit size follows the type.

#include "tags/io/Stream.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The 4 bytes of an atom type, kept as a 4-character byte string ("©" is 0xA9).
using TAtomName = std::string;

// A text identifier as an atom type: its first four characters, each reduced
// to its low byte; shorter text is padded with zero bytes. Text of exactly four
// bytes is taken as the type's bytes.
TAtomName AtomName(std::string_view text);

// A damaged atom structure; caught at the tag's public operations.
class TMP4Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TAtomHeader {
    uint64_t Position = 0;   // of the header
    uint64_t Size = 0;       // header included
    uint32_t HeaderSize = 8; // 16 with a 64-bit size
    TAtomName Type;
    bool ToEnd = false; // the size field was 0: the atom runs to the end of the file
    uint64_t BodyStart() const { return Position + HeaderSize; }
    uint64_t End() const { return Position + Size; }
};

// Reads the header at the stream position; false when fewer than 8 bytes are
// left. With validation, a size below the header or above the stream's size
// throws "Corrupted MP4 file. Atom name: " and the type. A size of 0 (the atom
// runs to the end of the file) is taken as that size.
bool ReadAtomHeader(TStream& stream, TAtomHeader& header, bool validate);

// One atom inside a byte buffer.
struct TAtomSpan {
    size_t Offset = 0; // of the header within the buffer
    size_t Size = 0;
    size_t HeaderSize = 8;
    TAtomName Type;
    const uint8_t* Body(const std::vector<uint8_t>& buffer) const { return buffer.data() + Offset + HeaderSize; }
    size_t BodySize() const { return Size - HeaderSize; }
};

// The atom at buffer[at] inside [at, end); throws when it does not fit.
TAtomSpan NextAtom(const std::vector<uint8_t>& buffer, size_t at, size_t end);
// The atoms in buffer[begin, end), ignoring a tail of fewer than 8 bytes;
// throws when one does not fit.
std::vector<TAtomSpan> ParseAtoms(const std::vector<uint8_t>& buffer, size_t begin, size_t end);
// The first child of that type, or null.
const TAtomSpan* FindAtom(const std::vector<TAtomSpan>& atoms, std::string_view type);

// Bytes of version and flags in front of a meta atom's children: 4, or 0 when some taggers
// left them out and the body starts with a child's size (version and flags are 0 in practice).
size_t MetaVersionBytes(const uint8_t* body, size_t size);

// Appends a header for an atom of that total size, with a 64-bit size when
// the size does not fit 32 bits (the caller sized it for 16 header bytes).
void AppendAtomHeader(std::vector<uint8_t>& out, uint64_t size, std::string_view type);
// Header length an atom of that content length needs.
inline uint32_t AtomHeaderSize(uint64_t contentSize) { return contentSize + 8 > 0xFFFFFFFFu ? 16 : 8; }

} // namespace vantor
