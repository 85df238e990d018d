// Loading: the item list, the play time and the audio and video properties.
// The moov atom is read into memory (bounded by the file's real size) and
// every atom inside it is checked against its parent.

#include "tags/io/Bytes.h"
#include "tags/io/FileStream.h"
#include "tags/mp4/MP4AudioConfig.h"
#include "tags/mp4/MP4Tag.h"

#include <cmath>
#include <new>
#include <optional>

namespace vantor {

namespace {

// A cover value cut short while the moov atom was read: its first bytes are at Offset of the
// buffer, the whole value is Size bytes at FileOffset.
struct TCut {
    size_t Offset = 0;
    uint64_t FileOffset = 0;
    uint64_t Size = 0;
};

// Reads the moov body [begin, end) into out with the data atoms of covr cut to their lead:
// udta, meta, ilst and covr are walked into and shrink by what was cut. False, with out
// unfinished, for any structure the walk does not expect; the caller then reads it whole.
bool ReadCutting(
    TStream& stream, uint64_t begin, uint64_t end, int depth, std::vector<uint8_t>& out, std::vector<TCut>& cuts)
{
    static constexpr const char* Path[] = { "udta", "meta", "ilst", "covr" };
    uint64_t at = begin;
    while (end - at >= 8) {
        TAtomHeader header;
        stream.Seek(at);
        if (!ReadAtomHeader(stream, header, true) || header.ToEnd || header.Size > end - at)
            return false;
        const size_t start = out.size();
        if (depth < 4 && header.Type == Path[depth]) {
            if (header.HeaderSize != 8)
                return false;
            uint64_t children = header.BodyStart();
            std::vector<uint8_t> head = stream.ReadAt(at, header.HeaderSize);
            if (depth == 1) {
                // meta: version and flags, when there, go along as they are.
                const std::vector<uint8_t> body =
                    stream.ReadAt(children, std::min<uint64_t>(8, header.End() - children));
                if (body.size() < 4)
                    return false;
                const size_t versionBytes = MetaVersionBytes(body.data(), body.size());
                head.insert(head.end(), body.begin(), body.begin() + versionBytes);
                children += versionBytes;
            }
            out.insert(out.end(), head.begin(), head.end());
            if (!ReadCutting(stream, children, header.End(), depth + 1, out, cuts))
                return false;
            PutBE32(out.data() + start, uint32_t(out.size() - start));
        } else if (depth == 4 && header.Type == "data" && header.Size - header.HeaderSize > 8 + 2 * PictureLeadBytes) {
            // Type, reserved bytes and the lead of the value.
            const uint64_t kept = header.HeaderSize + 8 + PictureLeadBytes;
            const std::vector<uint8_t> bytes = stream.ReadAt(at, kept);
            if (bytes.size() != kept)
                return false;
            out.insert(out.end(), bytes.begin(), bytes.end());
            if (header.HeaderSize == 16)
                PutBE64(out.data() + start + 8, kept);
            else
                PutBE32(out.data() + start, uint32_t(kept));
            const uint64_t valueStart = header.BodyStart() + 8;
            cuts.push_back({ start + header.HeaderSize + 8, valueStart, header.End() - valueStart });
        } else {
            const std::vector<uint8_t> bytes = stream.ReadAt(at, header.Size);
            if (bytes.size() != header.Size)
                return false;
            out.insert(out.end(), bytes.begin(), bytes.end());
        }
        at = header.End();
    }
    const std::vector<uint8_t> tail = stream.ReadAt(at, end - at);
    out.insert(out.end(), tail.begin(), tail.end());
    return true;
}

} // namespace

class TMP4Reader {
public:
    TMP4Reader(TMP4Tag& tag, std::vector<uint8_t> moov, std::vector<TCut> cuts = {})
        : Tag(tag)
        , Moov(std::move(moov))
        , Cuts(std::move(cuts))
    {
    }

    // The play time of the first mvhd.
    void ReadPlaytime()
    {
        const std::vector<TAtomSpan> atoms = ParseAtoms(Moov, 0, Moov.size());
        const TAtomSpan* mvhd = FindAtom(atoms, "mvhd");
        if (!mvhd || mvhd->BodySize() < 20)
            return;
        const uint8_t* body = mvhd->Body(Moov);
        uint32_t timeScale = 0;
        uint64_t duration = 0;
        if (body[0] == 1 && mvhd->BodySize() >= 32) {
            timeScale = GetBE32(body + 20);
            duration = GetBE64(body + 24);
        } else if (body[0] != 1) {
            timeScale = GetBE32(body + 12);
            duration = GetBE32(body + 16);
        }
        if (timeScale && duration)
            Tag.FPlaytime = double(duration) / timeScale;
    }

    void ReadTracks()
    {
        for (const TAtomSpan& trak : ParseAtoms(Moov, 0, Moov.size())) {
            if (trak.Type != "trak")
                continue;
            const auto children = ParseAtoms(Moov, trak.Offset + trak.HeaderSize, trak.Offset + trak.Size);
            if (const TAtomSpan* tkhd = FindAtom(children, "tkhd"))
                ReadTrackHeader(*tkhd);
            if (const auto stsd = Descend(children, { "mdia", "minf", "stbl", "stsd" }))
                ReadSampleDescription(*stsd);
        }
    }

    // Walks udta/meta/ilst; true once an item list was read.
    bool ReadItems()
    {
        for (const TAtomSpan& udta : ParseAtoms(Moov, 0, Moov.size())) {
            if (udta.Type != "udta")
                continue;
            for (const TAtomSpan& meta : ParseAtoms(Moov, Begin(udta), udta.Offset + udta.Size)) {
                if (meta.Type != "meta")
                    continue;
                if (meta.BodySize() < 4)
                    throw TMP4Error("Corrupted MP4 file. Atom name: meta");
                const uint8_t* body = meta.Body(Moov);
                const size_t versionBytes = MetaVersionBytes(body, meta.BodySize());
                Tag.Version = versionBytes ? body[0] : 0;
                Tag.Flags = versionBytes ? GetBE24(body + 1) : 0;
                for (const TAtomSpan& ilst : ParseAtoms(Moov, Begin(meta) + versionBytes, meta.Offset + meta.Size)) {
                    if (ilst.Type == "ilst") {
                        ReadItemList(ilst);
                        return true;
                    }
                }
            }
        }
        return false;
    }

private:
    static size_t Begin(const TAtomSpan& atom) { return atom.Offset + atom.HeaderSize; }

    std::optional<TAtomSpan> Descend(std::vector<TAtomSpan> atoms, std::initializer_list<const char*> path)
    {
        std::optional<TAtomSpan> found;
        for (const char* type : path) {
            const TAtomSpan* atom = FindAtom(atoms, type);
            if (!atom)
                return std::nullopt;
            found = *atom;
            atoms = ParseAtoms(Moov, Begin(*found), found->Offset + found->Size);
        }
        return found;
    }

    // The largest track wins: a size is kept only when neither side is smaller.
    void ReadTrackHeader(const TAtomSpan& tkhd)
    {
        const size_t at = tkhd.BodySize() > 0 && tkhd.Body(Moov)[0] == 1 ? 88 : 76;
        if (tkhd.BodySize() < at + 6)
            return;
        const uint8_t* body = tkhd.Body(Moov);
        const uint32_t width = GetBE16(body + at), height = GetBE16(body + at + 4);
        if (width >= Tag.FVideoWidth && height >= Tag.FVideoHeight) {
            Tag.FVideoWidth = width;
            Tag.FVideoHeight = height;
        }
    }

    void ReadSampleDescription(const TAtomSpan& stsd)
    {
        if (stsd.BodySize() < 16 || GetBE32(stsd.Body(Moov) + 4) != 1)
            return;
        const TAtomSpan entry = NextAtom(Moov, Begin(stsd) + 8, stsd.Offset + stsd.Size);
        const bool alac = entry.Type == "alac";
        const TMP4AudioFormat format = entry.Type == "mp4a" ? mp4afAAC
            : alac                                          ? mp4afALAC
            : entry.Type == "ac-3"                          ? mpfafAC3
                                                            : mp4afUnknown;
        const size_t rateAt = alac ? 60 : 22;
        if (format == mp4afUnknown || entry.BodySize() < rateAt + 4)
            return;
        const uint8_t* body = entry.Body(Moov);
        Tag.FAudioChannelCount = GetBE16(body + 16);
        Tag.FAudioResolution = GetBE16(body + 18);
        if (format == mp4afAAC)
            ReadAACChannels(entry);
        // For mp4a and ac-3 these 4 bytes are 2 reserved zero bytes and the integer
        // part of the 16.16 sample rate.
        Tag.FAudioSampleRate = GetBE32(body + rateAt);
        Tag.FAudioFormat = format;
    }

    // The esds child of an mp4a entry holds the real channel count. Its children
    // follow the sound description, whose version 1 and 2 forms are longer. A
    // damaged child leaves the count of the entry.
    void ReadAACChannels(const TAtomSpan& entry)
    {
        if (entry.BodySize() < 28)
            return;
        const uint16_t version = GetBE16(entry.Body(Moov) + 8);
        const size_t children = Begin(entry) + 28 + (version == 1 ? 16 : version == 2 ? 36 : 0);
        if (children > entry.Offset + entry.Size)
            return;
        try {
            for (const TAtomSpan& child : ParseAtoms(Moov, children, entry.Offset + entry.Size)) {
                if (child.Type == "esds") {
                    if (const uint16_t channels = AACChannelsFromEsds(child.Body(Moov), child.BodySize()))
                        Tag.FAudioChannelCount = channels;
                    return;
                }
            }
        } catch (const TMP4Error&) {
        }
    }

    void ReadItemList(const TAtomSpan& ilst)
    {
        const size_t end = ilst.Offset + ilst.Size;
        for (size_t at = Begin(ilst); end - at >= 8;) {
            const TAtomSpan item = NextAtom(Moov, at, end);
            TMP4Atom* atom = Tag.AddAtom(item.Type);
            atom->Size = item.Size;
            Tag.FLoaded = true;
            for (const TAtomSpan& child : ParseAtoms(Moov, Begin(item), item.Offset + item.Size)) {
                const uint8_t* body = child.Body(Moov);
                if (child.Type == "mean" || child.Type == "name") {
                    if (child.BodySize() > 0)
                        (child.Type == "mean" ? atom->mean : atom->name).Data.assign(body, body + child.BodySize());
                } else if (child.Type == "data") {
                    if (child.BodySize() < 8)
                        throw TMP4Error("Corrupted MP4 file. Atom name: data");
                    TMP4AtomData* data = atom->AddData();
                    data->DataType = GetBE32(body);
                    data->Reserved = GetBE32(body + 4);
                    data->Data.assign(body + 8, body + child.BodySize());
                    const size_t value = size_t(body + 8 - Moov.data());
                    for (const TCut& cut : Cuts)
                        if (cut.Offset == value && atom->ID == "covr") {
                            data->DeferredOffset = cut.FileOffset;
                            data->DeferredSize = cut.Size;
                        }
                }
            }
            at += item.Size;
        }
    }

    TMP4Tag& Tag;
    std::vector<uint8_t> Moov; // the body of the moov atom
    std::vector<TCut> Cuts;
};

int TMP4Tag::LoadFromFile(const std::string& fileName)
{
    Clear();
    TFileStream stream;
    if (!stream.Open(fileName))
        return mp4FileError;
    const int result = LoadFromStream(stream);
    FileName = fileName;
    return result;
}

int TMP4Tag::LoadFromStream(TStream& stream)
{
    Clear();
    int result = mp4NoItemFound;
    try {
        stream.Seek(0);
        TAtomHeader header;
        if (!ReadAtomHeader(stream, header, false) || header.Type != "ftyp")
            return mp4NotMP4;
        stream.Seek(0);
        ReadAtomHeader(stream, header, true);
        FFileSize = stream.Size();

        // The top level: the first mdat's size and the moov atoms. A damaged atom
        // ends the walk; what was found before it is still read.
        bool corrupt = false, mdatFound = false;
        std::vector<TAtomHeader> moovs;
        try {
            for (uint64_t at = header.End(); at < FFileSize && FFileSize - at >= 8; at = header.End()) {
                stream.Seek(at);
                ReadAtomHeader(stream, header, true);
                if (header.Type == "mdat" && !mdatFound) {
                    mdatFound = true;
                    FmdatAtomSize = header.Size;
                } else if (header.Type == "moov") {
                    moovs.push_back(header);
                }
            }
        } catch (const TMP4Error&) {
            corrupt = true;
        }

        for (size_t i = 0; i < moovs.size(); ++i) {
            std::vector<uint8_t> moov;
            std::vector<TCut> cuts;
            bool cut = false;
            if (DeferPictureData) {
                try {
                    cut = ReadCutting(stream, moovs[i].BodyStart(), moovs[i].End(), 0, moov, cuts);
                } catch (const TMP4Error&) {
                }
            }
            if (!cut) {
                moov = stream.ReadAt(moovs[i].BodyStart(), moovs[i].Size - moovs[i].HeaderSize);
                cuts.clear();
            }
            TMP4Reader reader(*this, std::move(moov), std::move(cuts));
            // A damaged track leaves its properties unknown but costs no tags.
            try {
                if (i == 0) {
                    reader.ReadPlaytime();
                    if (FPlaytime != 0) {
                        const double rate = std::floor(double(FmdatAtomSize) / FPlaytime / 125 + 0.5);
                        FBitRate = rate < 4294967295.0 ? uint32_t(rate) : 0xFFFFFFFFu;
                    }
                }
                reader.ReadTracks();
            } catch (const TMP4Error&) {
                corrupt = true;
            }
            if (reader.ReadItems())
                break;
        }
        if (FLoaded)
            result = mp4Success;
        if (corrupt)
            result = mp4Corrupt;
    } catch (const TMP4Error&) {
        result = mp4Corrupt;
    } catch (const std::bad_alloc&) {
        result = mp4Corrupt;
    }
    return result;
}

} // namespace vantor
