#pragma once
// Small MP4 files built in memory for the tests, and a reader of their layout.

#include "tags/io/Bytes.h"
#include "tags/mp4/MP4Atoms.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace vantor::test {

using TBytes = std::vector<uint8_t>;

// Buffers are sized first and filled by copying: g++ 12 misreads small
// vector inserts as overflows.
inline TBytes Atom(const std::string& type, const TBytes& body)
{
    TBytes out(8 + body.size());
    PutBE32(out.data(), uint32_t(out.size()));
    std::copy(type.begin(), type.begin() + 4, out.begin() + 4);
    std::copy(body.begin(), body.end(), out.begin() + 8);
    return out;
}

inline TBytes Cat(std::initializer_list<TBytes> parts)
{
    size_t size = 0;
    for (const TBytes& part : parts)
        size += part.size();
    TBytes out(size);
    auto at = out.begin();
    for (const TBytes& part : parts)
        at = std::copy(part.begin(), part.end(), at);
    return out;
}

inline TBytes Zeros(size_t count) { return TBytes(count, 0); }

inline TBytes BE32(uint32_t value)
{
    TBytes out(4);
    PutBE32(out.data(), value);
    return out;
}

// mvhd version 0: time scale 1000, duration in ms.
inline TBytes Mvhd(uint32_t durationMs)
{
    return Atom("mvhd", Cat({ Zeros(12), BE32(1000), BE32(durationMs), Zeros(80) }));
}

// An audio track: one mp4a sample entry and a chunk offset table.
inline TBytes AudioTrak(const std::vector<uint32_t>& chunkOffsets, uint16_t channels = 2, uint32_t rate = 44100)
{
    TBytes entry = Cat({ Zeros(16), { uint8_t(channels >> 8), uint8_t(channels), 0, 16, 0, 0 }, BE32(rate), Zeros(2) });
    TBytes stco = Cat({ Zeros(4), BE32(uint32_t(chunkOffsets.size())), Zeros(4 * chunkOffsets.size()) });
    for (size_t i = 0; i < chunkOffsets.size(); ++i)
        PutBE32(stco.data() + 8 + 4 * i, chunkOffsets[i]);
    const TBytes stbl =
        Atom("stbl", Cat({ Atom("stsd", Cat({ Zeros(4), BE32(1), Atom("mp4a", entry) })), Atom("stco", stco) }));
    return Atom("trak", Cat({ Atom("tkhd", Zeros(84)), Atom("mdia", Atom("minf", stbl)) }));
}

inline TBytes TextItem(const std::string& id, const std::string& text)
{
    return Atom(id, Atom("data", Cat({ BE32(1), Zeros(4), TBytes(text.begin(), text.end()) })));
}

inline TBytes Udta(const TBytes& items)
{
    const TBytes hdlr = Atom("hdlr", Cat({ Zeros(8), { 'm', 'd', 'i', 'r', 'a', 'p', 'p', 'l' }, Zeros(9) }));
    return Atom("udta", Atom("meta", Cat({ Zeros(4), hdlr, Atom("ilst", items) })));
}

inline const TBytes Ftyp = Atom("ftyp", { 'M', '4', 'A', ' ', 0, 0, 2, 0 });

// The top-level atoms of a file.
inline std::vector<TAtomSpan> TopLevel(const TBytes& file) { return ParseAtoms(file, 0, file.size()); }

// The first top-level atom of that type.
inline std::optional<TAtomSpan> Top(const TBytes& file, const char* type)
{
    const auto atoms = TopLevel(file);
    const TAtomSpan* atom = FindAtom(atoms, type);
    return atom ? std::optional<TAtomSpan>(*atom) : std::nullopt;
}

// Every entry of every stco and co64 table of the first moov.
inline std::vector<uint64_t> ChunkOffsets(const TBytes& file)
{
    std::vector<uint64_t> offsets;
    const auto moov = Top(file, "moov");
    if (!moov)
        return offsets;
    for (const TAtomSpan& trak : ParseAtoms(file, moov->Offset + moov->HeaderSize, moov->Offset + moov->Size)) {
        if (trak.Type != "trak")
            continue;
        std::vector<TAtomSpan> level = ParseAtoms(file, trak.Offset + 8, trak.Offset + trak.Size);
        for (const char* type : { "mdia", "minf", "stbl" }) {
            const TAtomSpan* atom = FindAtom(level, type);
            if (!atom)
                return offsets;
            level = ParseAtoms(file, atom->Offset + 8, atom->Offset + atom->Size);
        }
        for (const TAtomSpan& table : level) {
            if (table.Type != "stco" && table.Type != "co64")
                continue;
            const uint8_t* body = table.Body(file);
            const uint32_t count = GetBE32(body + 4);
            for (uint32_t i = 0; i < count; ++i)
                offsets.push_back(table.Type == "co64" ? GetBE64(body + 8 + 8 * i) : GetBE32(body + 8 + 4 * i));
        }
    }
    return offsets;
}

} // namespace vantor::test
