// Saving: the moov atom is rebuilt around the new item list and written over
// its old place together with the free atoms that follow it. When it does not
// fit there, everything behind it moves and the chunk offsets that point
// behind it are shifted by the same distance, as are the absolute offsets of
// the fragments of a fragmented file.

#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/mp4/MP4Tag.h"

#include <new>
#include <stdexcept>

namespace vantor {

namespace {

// The atoms of the old moov that a save carries over, by the level they go back to.
struct TCarriedAtoms {
    std::vector<uint8_t> Moov, Udta, Meta;
    bool HasHandler = false;
    size_t MetaVersionBytes = 4; // 0: the old meta had no version and flags, and keeps that form
};

// Copies an atom whole. One whose size field is 0 ran to the end of its old
// parent; in the new parent other atoms follow it, so it gets its real size.
void Append(std::vector<uint8_t>& to, const std::vector<uint8_t>& buffer, const TAtomSpan& atom)
{
    const size_t start = to.size();
    to.insert(to.end(), buffer.begin() + ptrdiff_t(atom.Offset), buffer.begin() + ptrdiff_t(atom.Offset + atom.Size));
    if (GetBE32(to.data() + start) == 0) {
        if (atom.Size > 0xFFFFFFFFu)
            throw TMP4Error("Corrupted MP4 file. Atom name: " + atom.Type);
        PutBE32(to.data() + start, uint32_t(atom.Size));
    }
}

size_t Begin(const TAtomSpan& atom) { return atom.Offset + atom.HeaderSize; }

// Sorts the children of the old moov: udta and meta are entered, the item list
// and every free atom are dropped, everything else is kept as it was.
TCarriedAtoms CarryOver(const std::vector<uint8_t>& moov)
{
    TCarriedAtoms carried;
    for (const TAtomSpan& child : ParseAtoms(moov, 0, moov.size())) {
        if (child.Type == "free")
            continue;
        if (child.Type != "udta") {
            Append(carried.Moov, moov, child);
            continue;
        }
        for (const TAtomSpan& inUdta : ParseAtoms(moov, Begin(child), child.Offset + child.Size)) {
            if (inUdta.Type == "free")
                continue;
            if (inUdta.Type != "meta") {
                Append(carried.Udta, moov, inUdta);
                continue;
            }
            if (inUdta.BodySize() < 4)
                throw TMP4Error("Corrupted MP4 file. Atom name: meta");
            carried.MetaVersionBytes = MetaVersionBytes(inUdta.Body(moov), inUdta.BodySize());
            for (const TAtomSpan& inMeta :
                ParseAtoms(moov, Begin(inUdta) + carried.MetaVersionBytes, inUdta.Offset + inUdta.Size)) {
                if (inMeta.Type == "ilst" || inMeta.Type == "free")
                    continue;
                carried.HasHandler |= inMeta.Type == "hdlr";
                Append(carried.Meta, moov, inMeta);
            }
        }
    }
    return carried;
}

// Other readers take the items of a meta atom for an item list only behind
// this handler, so a meta atom written new gets one.
void AppendItemListHandler(std::vector<uint8_t>& out)
{
    AppendAtomHeader(out, 33, "hdlr");
    const uint8_t body[25] = { 0, 0, 0, 0, 0, 0, 0, 0, 'm', 'd', 'i', 'r', 'a', 'p', 'p', 'l' };
    out.insert(out.end(), body, body + sizeof body);
}

// Adds delta to every chunk offset at or behind `from` in the stco and co64
// tables of the tracks; checks every table before changing any.
int ShiftChunkOffsets(std::vector<uint8_t>& moov, uint64_t from, int64_t delta)
{
    std::vector<TAtomSpan> tables;
    for (const TAtomSpan& trak : ParseAtoms(moov, 0, moov.size())) {
        if (trak.Type != "trak")
            continue;
        std::vector<TAtomSpan> level = ParseAtoms(moov, Begin(trak), trak.Offset + trak.Size);
        for (const char* type : { "mdia", "minf", "stbl" }) {
            const TAtomSpan* atom = FindAtom(level, type);
            level = atom ? ParseAtoms(moov, Begin(*atom), atom->Offset + atom->Size) : std::vector<TAtomSpan>();
        }
        for (const TAtomSpan& table : level)
            if (table.Type == "stco" || table.Type == "co64")
                tables.push_back(table);
    }
    for (const bool wide : { false, true }) {
        const int failure = wide ? mp4Chunk64Offsets : mp4ChunkOffsets;
        const size_t width = wide ? 8 : 4;
        for (const TAtomSpan& table : tables) {
            if ((table.Type == "co64") != wide)
                continue;
            if (table.BodySize() < 8)
                return failure;
            const uint64_t count = GetBE32(table.Body(moov) + 4);
            if (count > (table.BodySize() - 8) / width)
                return failure;
            for (uint64_t i = 0; i < count; ++i) {
                const uint8_t* entry = table.Body(moov) + 8 + i * width;
                const uint64_t offset = wide ? GetBE64(entry) : GetBE32(entry);
                // An offset that would leave the 32-bit range cannot be stored in stco.
                if (offset >= from && !wide
                    && (delta < 0 ? offset < uint64_t(-delta) : offset + uint64_t(delta) > 0xFFFFFFFFu))
                    return failure;
            }
        }
    }
    for (const TAtomSpan& table : tables) {
        const bool wide = table.Type == "co64";
        const size_t width = wide ? 8 : 4;
        uint8_t* body = moov.data() + Begin(table);
        const uint64_t count = GetBE32(body + 4);
        for (uint64_t i = 0; i < count; ++i) {
            uint8_t* entry = body + 8 + i * width;
            const uint64_t offset = wide ? GetBE64(entry) : GetBE32(entry);
            if (offset < from)
                continue;
            if (wide)
                PutBE64(entry, offset + uint64_t(delta));
            else
                PutBE32(entry, uint32_t(offset + uint64_t(delta)));
        }
    }
    return mp4Success;
}

// An absolute file offset stored outside the moov that a save changes: its
// place in the old file and its new value.
struct TOffsetPatch {
    uint64_t Position = 0;
    uint64_t Value = 0;
    bool Wide = false;
};

// The largest moof or mfra atom read whole to find its absolute offsets.
constexpr uint64_t MaxFragmentIndexAtom = 64u << 20;

bool HasMovieExtends(const std::vector<uint8_t>& moov)
{
    for (const TAtomSpan& child : ParseAtoms(moov, 0, moov.size()))
        if (child.Type == "mvex")
            return true;
    return false;
}

// Collects the absolute offsets of a fragmented file that point at or behind
// `from`: the base data offset a tfhd gives explicitly and the moof offsets of
// the tfra tables in mfra. Offsets relative to a moof move with it. Returns
// false when the file's layout leaves any doubt; nothing is changed then.
bool CollectFragmentOffsets(
    TStream& stream, uint64_t moovPosition, uint64_t from, int64_t delta, std::vector<TOffsetPatch>& patches)
{
    const uint64_t size = stream.Size();
    auto shifted = [&](uint64_t offset, bool wide, uint64_t position) {
        if (offset < from)
            return true;
        const uint64_t value = offset + uint64_t(delta);
        if (!wide && value > 0xFFFFFFFFu)
            return false;
        patches.push_back({ position, value, wide });
        return true;
    };
    TAtomHeader header;
    for (uint64_t at = 0; at < size; at = header.End()) {
        stream.Seek(at);
        // Every top-level atom must be whole, or a moof or mfra could hide behind damage.
        if (size - at < 8 || !ReadAtomHeader(stream, header, false) || header.Size < header.HeaderSize
            || header.Size > size - at)
            return false;
        // A segment index counts from its own end; one in front of the moov would span the change.
        if (header.Type == "sidx" && at < moovPosition)
            return false;
        if (header.Type != "moof" && header.Type != "mfra")
            continue;
        if (header.Size > MaxFragmentIndexAtom)
            return false;
        const std::vector<uint8_t> body = stream.ReadAt(header.BodyStart(), header.Size - header.HeaderSize);
        if (body.size() != header.Size - header.HeaderSize)
            return false;
        for (const TAtomSpan& child : ParseAtoms(body, 0, body.size())) {
            if (header.Type == "moof" && child.Type == "traf") {
                for (const TAtomSpan& box : ParseAtoms(body, Begin(child), child.Offset + child.Size)) {
                    if (box.Type != "tfhd")
                        continue;
                    if (box.BodySize() < 8)
                        return false;
                    // Flag 1: an explicit base data offset, 64 bits behind the track id.
                    if (!(GetBE32(box.Body(body)) & 1))
                        continue;
                    if (box.BodySize() < 16
                        || !shifted(GetBE64(box.Body(body) + 8), true, header.BodyStart() + Begin(box) + 8))
                        return false;
                }
            } else if (header.Type == "mfra" && child.Type == "tfra") {
                // Version 1 has 64-bit times and offsets; the low six bits of the third word
                // give the byte lengths less one of the three numbers closing each entry.
                const uint8_t* table = child.Body(body);
                if (child.BodySize() < 16 || table[0] > 1)
                    return false;
                const bool wide = table[0] == 1;
                const uint32_t sizes = GetBE32(table + 8);
                const uint64_t entrySize = (wide ? 16 : 8) + ((sizes >> 4) & 3) + ((sizes >> 2) & 3) + (sizes & 3) + 3;
                const uint64_t count = GetBE32(table + 12);
                if (count > (child.BodySize() - 16) / entrySize)
                    return false;
                for (uint64_t i = 0; i < count; ++i) {
                    const uint8_t* entry = table + 16 + i * entrySize + (wide ? 8 : 4);
                    const uint64_t position = header.BodyStart() + uint64_t(entry - body.data());
                    if (!shifted(wide ? GetBE64(entry) : GetBE32(entry), wide, position))
                        return false;
                }
            }
        }
    }
    return true;
}

// Sizes of the three rebuilt atoms for F bytes of padding.
struct TLayout {
    uint64_t Meta = 0, Udta = 0, Moov = 0;
};

TLayout Measure(const TCarriedAtoms& carried, uint64_t items, uint64_t handler, uint64_t padding)
{
    TLayout layout;
    const uint64_t metaContent = carried.MetaVersionBytes + handler + carried.Meta.size() + items + padding;
    layout.Meta = AtomHeaderSize(metaContent) + metaContent;
    const uint64_t udtaContent = carried.Udta.size() + layout.Meta;
    layout.Udta = AtomHeaderSize(udtaContent) + udtaContent;
    const uint64_t moovContent = carried.Moov.size() + layout.Udta;
    layout.Moov = AtomHeaderSize(moovContent) + moovContent;
    return layout;
}

} // namespace

int TMP4Tag::SaveToStream(TStream& stream, bool keepPadding, const std::string& fileName)
{
    // Deferred covers come in from the loaded file before anything is written.
    if (HasDeferredCovers()) {
        TFileStream source;
        if (FileName.empty() || !source.Open(FileName) || !LoadDeferredCovers(source))
            return mp4FileError;
    }
    const uint64_t items = Atoms.empty() ? 8 : CalculateSize();
    FLoaded = false;
    FileName = fileName;
    Flags = 0;
    FBytesWritten = 0;

    if (stream.Size() == 0) {
        const uint8_t ftyp[8] = { 0, 0, 0, 8, 'f', 't', 'y', 'p' };
        stream.Seek(0);
        if (!stream.Write(ftyp, sizeof ftyp))
            throw std::runtime_error("cannot write");
    }

    // The first top-level moov and the free atoms right behind it.
    const uint64_t size = stream.Size();
    TAtomHeader header, moov;
    bool moovFound = false;
    uint64_t walked = 0; // end of the last whole top-level atom
    for (; walked < size && size - walked >= 8; walked = header.End()) {
        stream.Seek(walked);
        if (!ReadAtomHeader(stream, header, true))
            break;
        if (header.Type == "moov") {
            moov = header;
            moovFound = true;
            break;
        }
    }
    uint64_t available = 0;
    TCarriedAtoms carried;
    if (moovFound) {
        available = moov.Size;
        for (uint64_t at = moov.End(); at < size && size - at >= 8; at = header.End()) {
            stream.Seek(at);
            if (!ReadAtomHeader(stream, header, false) || header.Type != "free" || header.Size < header.HeaderSize
                || header.Size > size - at)
                break;
            available += header.Size;
        }
        std::vector<uint8_t> body = stream.ReadAt(moov.BodyStart(), moov.Size - moov.HeaderSize);
        if (body.size() != moov.Size - moov.HeaderSize)
            throw TMP4Error("Corrupted MP4 file. Atom name: moov");
        carried = CarryOver(body);
    }

    const uint64_t handler = carried.HasHandler ? 0 : 33;
    const uint64_t tight = Measure(carried, items, handler, 0).Moov;
    uint64_t padding;
    if (keepPadding && moovFound && available == tight)
        padding = 0;
    else if (keepPadding && moovFound && available > tight + 9
        && Measure(carried, items, handler, available - tight).Moov == available)
        padding = available - tight;
    else
        padding = PaddingToWrite >= 8 ? PaddingToWrite : 0; // 1 to 7 bytes cannot hold a free atom
    const TLayout layout = Measure(carried, items, handler, padding);

    const int64_t delta = int64_t(layout.Moov - available);
    std::vector<TOffsetPatch> patches;
    if (moovFound && delta != 0) {
        const int shifted = ShiftChunkOffsets(carried.Moov, moov.Position + available, delta);
        if (shifted != mp4Success)
            return shifted;
        if (HasMovieExtends(carried.Moov)
            && !CollectFragmentOffsets(stream, moov.Position, moov.Position + available, delta, patches))
            return mp4FragmentOffsets;
    }

    std::vector<uint8_t> out;
    out.reserve(size_t(layout.Moov));
    AppendAtomHeader(out, layout.Moov, "moov");
    out.insert(out.end(), carried.Moov.begin(), carried.Moov.end());
    AppendAtomHeader(out, layout.Udta, "udta");
    out.insert(out.end(), carried.Udta.begin(), carried.Udta.end());
    AppendAtomHeader(out, layout.Meta, "meta");
    if (carried.MetaVersionBytes)
        out.insert(out.end(), { Version, 0, 0, 0 });
    if (handler)
        AppendItemListHandler(out);
    out.insert(out.end(), carried.Meta.begin(), carried.Meta.end());
    AppendAtomHeader(out, items, "ilst");
    for (const auto& atom : Atoms)
        atom->Write(out);
    if (padding) {
        const size_t start = out.size();
        AppendAtomHeader(out, padding, "free");
        out.resize(start + size_t(padding), 0);
    }

    bool written;
    if (moovFound) {
        written = stream.Replace(moov.Position, available, out.data(), out.size());
    } else {
        // A last atom that runs past the end of the file (cut off) would swallow
        // the new moov; one that runs to the end gets its real size first.
        if (walked > size)
            throw TMP4Error("Corrupted MP4 file. Atom name: " + header.Type);
        if (header.ToEnd && walked == size) {
            if (header.Size > 0xFFFFFFFFu)
                throw TMP4Error("Corrupted MP4 file. Atom name: " + header.Type);
            uint8_t field[4];
            PutBE32(field, uint32_t(header.Size));
            if (!stream.Seek(header.Position) || !stream.Write(field, sizeof field))
                throw std::runtime_error("cannot write");
        }
        // Behind the last whole atom: a tail too short for an atom stays behind the moov.
        written = stream.Replace(walked, 0, out.data(), out.size());
    }
    if (!written)
        throw std::runtime_error("cannot write");
    // The fragments moved with everything behind the moov.
    for (const TOffsetPatch& patch : patches) {
        uint8_t value[8];
        if (patch.Wide)
            PutBE64(value, patch.Value);
        else
            PutBE32(value, uint32_t(patch.Value));
        const uint64_t position = patch.Position < moov.Position ? patch.Position : patch.Position + uint64_t(delta);
        if (!stream.Seek(position) || !stream.Write(value, patch.Wide ? 8 : 4))
            throw std::runtime_error("cannot write");
    }
    FBytesWritten = out.size();
    return mp4Success;
}

int TMP4Tag::SaveToStream(TStream& stream)
{
    try {
        return SaveToStream(stream, KeepPadding, "");
    } catch (const TMP4Error&) {
        return mp4Corrupt;
    } catch (const std::exception&) {
        return mp4FileError;
    }
}

int TMP4Tag::SaveToFile(const std::string& fileName, bool keepPadding)
{
    try {
        TFileEditStream file;
        if (file.Open(fileName, true) != TFileEditResult::Success)
            return mp4FileError;
        const int result = SaveToStream(file, keepPadding, fileName);
        if (result != mp4Success)
            return result;
        const uint64_t moovBytes = FBytesWritten;
        if (file.Commit() != TFileEditResult::Success)
            return mp4FileError;
        FBytesWritten = file.Rewrote() ? file.Size() : moovBytes;
        return mp4Success;
    } catch (const std::exception&) {
        return mp4FileError;
    }
}

} // namespace vantor
