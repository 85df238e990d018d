#include "tags/mp4/MP4Atoms.h"

#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"

namespace vantor {

namespace {

[[noreturn]] void Corrupted(std::string_view type)
{
    throw TMP4Error("Corrupted MP4 file. Atom name: " + std::string(type));
}

// Code points of valid UTF-8; else the bytes themselves.
std::vector<uint32_t> Characters(std::string_view text)
{
    std::vector<uint32_t> out;
    if (!IsValidUtf8Bytes(text)) {
        for (char c : text)
            out.push_back(uint8_t(c));
        return out;
    }
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = uint8_t(text[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
        for (size_t k = 1; k < length; ++k)
            code = (code << 6) | (uint8_t(text[i + k]) & 0x3F);
        out.push_back(code);
        i += length;
    }
    return out;
}

} // namespace

TAtomName AtomName(std::string_view text)
{
    // Four bytes are already an atom type (ids read from files are raw bytes).
    if (text.size() == 4)
        return TAtomName(text);
    TAtomName name(4, '\0');
    const std::vector<uint32_t> characters = Characters(text);
    for (size_t i = 0; i < 4 && i < characters.size(); ++i)
        name[i] = char(uint8_t(characters[i]));
    return name;
}

bool ReadAtomHeader(TStream& stream, TAtomHeader& header, bool validate)
{
    uint8_t bytes[8];
    header.Position = stream.Position();
    if (!stream.ReadExact(bytes, 8))
        return false;
    header.Type.assign(reinterpret_cast<const char*>(bytes + 4), 4);
    header.HeaderSize = 8;
    header.Size = GetBE32(bytes);
    header.ToEnd = header.Size == 0;
    if (header.Size == 1) {
        uint8_t large[8];
        if (!stream.ReadExact(large, 8)) {
            if (validate)
                Corrupted(header.Type);
            return false;
        }
        header.Size = GetBE64(large);
        header.HeaderSize = 16;
    } else if (header.Size == 0) {
        const uint64_t size = stream.Size();
        header.Size = size > header.Position ? size - header.Position : 0;
    }
    if (validate && (header.Size < header.HeaderSize || header.Size > stream.Size()))
        Corrupted(header.Type);
    return true;
}

TAtomSpan NextAtom(const std::vector<uint8_t>& buffer, size_t at, size_t end)
{
    TAtomSpan atom;
    atom.Offset = at;
    atom.Type.assign(reinterpret_cast<const char*>(buffer.data() + at + 4), 4);
    uint64_t size = GetBE32(buffer.data() + at);
    if (size == 1) {
        if (end - at < 16)
            Corrupted(atom.Type);
        size = GetBE64(buffer.data() + at + 8);
        atom.HeaderSize = 16;
    } else if (size == 0) {
        size = end - at;
    }
    if (size < atom.HeaderSize || size > end - at)
        Corrupted(atom.Type);
    atom.Size = size_t(size);
    return atom;
}

std::vector<TAtomSpan> ParseAtoms(const std::vector<uint8_t>& buffer, size_t begin, size_t end)
{
    std::vector<TAtomSpan> atoms;
    for (size_t at = begin; end - at >= 8; at += atoms.back().Size)
        atoms.push_back(NextAtom(buffer, at, end));
    return atoms;
}

const TAtomSpan* FindAtom(const std::vector<TAtomSpan>& atoms, std::string_view type)
{
    for (const TAtomSpan& atom : atoms)
        if (atom.Type == type)
            return &atom;
    return nullptr;
}

size_t MetaVersionBytes(const uint8_t* body, size_t size)
{
    return size >= 8 && GetBE32(body) >= 8 && GetBE32(body) <= size ? 0 : 4;
}

void AppendAtomHeader(std::vector<uint8_t>& out, uint64_t size, std::string_view type)
{
    uint8_t bytes[16];
    const bool wide = size > 0xFFFFFFFFu;
    PutBE32(bytes, wide ? 1 : uint32_t(size));
    for (size_t i = 0; i < 4; ++i)
        bytes[4 + i] = i < type.size() ? uint8_t(type[i]) : 0;
    if (wide)
        PutBE64(bytes + 8, size);
    out.insert(out.end(), bytes, bytes + (wide ? 16 : 8));
}

} // namespace vantor
