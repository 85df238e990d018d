// Reading the ASF header: the attributes and the file and stream properties.

#include "tags/asf/WMAHeader.h"

#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace vantor {

int ReadASFHeader(TStream& stream, TASFHeader& header)
{
    const std::vector<uint8_t> start = stream.ReadAt(0, asf::HeaderObjectSize);
    if (start.size() < asf::HeaderObjectSize)
        return wmaNotASF;
    TASFReader reader(start.data(), start.size());
    if (reader.Guid() != asf::HeaderObject)
        return wmaNotASF;
    header.Size = reader.U64();
    const uint32_t count = reader.U32();
    header.Reserved[0] = reader.U8();
    header.Reserved[1] = reader.U8();
    if (header.Size < asf::HeaderObjectSize || header.Size > stream.Size())
        return wmaCorrupt;
    // Each object takes at least 24 bytes: a count beyond that is wrong whatever follows.
    if (count > (header.Size - asf::HeaderObjectSize) / asf::ObjectHeaderSize)
        return wmaCorrupt;
    const std::vector<uint8_t> bytes = stream.ReadAt(asf::HeaderObjectSize, header.Size - asf::HeaderObjectSize);
    if (bytes.size() != header.Size - asf::HeaderObjectSize
        || !SplitASFObjects(bytes.data(), bytes.size(), header.Objects) || header.Objects.size() != count)
        return wmaCorrupt;
    return wmaSuccess;
}

bool ReadMetadataRecords(const std::vector<uint8_t>& body, std::vector<TASFMetadataRecord>& records)
{
    TASFReader reader(body.data(), body.size());
    const uint16_t count = reader.U16();
    for (uint16_t i = 0; i < count; ++i) {
        TASFMetadataRecord record;
        record.Language = reader.U16();
        record.Stream = reader.U16();
        const uint16_t nameLength = reader.U16();
        record.Type = reader.U16();
        const uint32_t dataLength = reader.U32();
        const uint8_t* name = reader.Take(nameLength);
        const uint8_t* data = reader.Take(dataLength);
        if (reader.Failed())
            return false;
        record.Name.assign(name, name + nameLength);
        record.Data.assign(data, data + dataLength);
        records.push_back(std::move(record));
    }
    return !reader.Failed();
}

void AppendMetadataRecord(std::vector<uint8_t>& out, const TASFMetadataRecord& record)
{
    AppendLE16(out, record.Language);
    AppendLE16(out, record.Stream);
    AppendLE16(out, uint16_t(record.Name.size()));
    AppendLE16(out, record.Type);
    AppendLE32(out, uint32_t(record.Data.size()));
    out.insert(out.end(), record.Name.begin(), record.Name.end());
    out.insert(out.end(), record.Data.begin(), record.Data.end());
}

namespace {

// Names are kept short enough to be written back with a terminator in a 16-bit length.
constexpr size_t MaxNameBytes = 0xFFFF - 3;

std::string NameText(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> units;
    for (size_t i = 0; i + 1 < size && units.size() < MaxNameBytes; i += 2)
        if (data[i] || data[i + 1]) {
            units.push_back(data[i]);
            units.push_back(data[i + 1]);
        }
    return Utf16ToUtf8(units.data(), units.size(), false);
}

// Little-endian reads from a range of a stream through one window, so that a header is read
// in a few calls while the values stepped over (pictures) are never read. A read that does
// not fit in the range sets Failed and yields nothing.
class TStreamCursor {
public:
    explicit TStreamCursor(TStream& stream)
        : FStream(stream)
    {
    }

    // Reads from at up to end from now on; the window is kept.
    void Range(uint64_t at, uint64_t end)
    {
        FAt = at;
        FEnd = end;
        FFailed = false;
    }

    uint64_t Position() const { return FAt; }
    uint64_t Remaining() const { return FEnd - FAt; }
    bool Failed() const { return FFailed; }

    // The next count bytes, valid until the next call; nullptr when they are not there.
    const uint8_t* Take(uint64_t count)
    {
        if (FFailed || count > FEnd - FAt) {
            FFailed = true;
            return nullptr;
        }
        if (FAt < FWindowAt || FAt - FWindowAt > FWindow.size() || FWindow.size() - (FAt - FWindowAt) < count) {
            FWindowAt = FAt;
            FWindow = FStream.ReadAt(FAt, std::max<uint64_t>(count, std::min<uint64_t>(WindowBytes, FEnd - FAt)));
            if (FWindow.size() < count) {
                FFailed = true;
                return nullptr;
            }
        }
        const uint8_t* bytes = FWindow.data() + (FAt - FWindowAt);
        FAt += count;
        return bytes;
    }

    std::vector<uint8_t> Bytes(uint64_t count)
    {
        const uint8_t* bytes = Take(count);
        return bytes ? std::vector<uint8_t>(bytes, bytes + count) : std::vector<uint8_t>();
    }

    bool Skip(uint64_t count)
    {
        if (FFailed || count > FEnd - FAt)
            FFailed = true;
        else
            FAt += count;
        return !FFailed;
    }

    uint16_t U16()
    {
        const uint8_t* p = Take(2);
        return p ? GetLE16(p) : 0;
    }
    uint32_t U32()
    {
        const uint8_t* p = Take(4);
        return p ? GetLE32(p) : 0;
    }
    uint64_t U64()
    {
        const uint8_t* p = Take(8);
        return p ? GetLE64(p) : 0;
    }
    TASFGuid Guid()
    {
        TASFGuid guid;
        if (const uint8_t* p = Take(16))
            std::copy(p, p + 16, guid.Bytes.begin());
        return guid;
    }

private:
    // Enough for the usual header in one read, little of a large picture.
    static constexpr uint64_t WindowBytes = 16 * 1024;
    TStream& FStream;
    uint64_t FAt = 0, FEnd = 0;
    std::vector<uint8_t> FWindow;
    uint64_t FWindowAt = 0;
    bool FFailed = false;
};

// Where an object's body lies in the stream.
struct TObjectPlace {
    TASFGuid Guid;
    uint64_t At = 0;
    uint64_t Size = 0;
};

// The objects from the cursor's position to the end of its range; false when one is shorter
// than its own header or runs past the end.
bool PlaceObjects(TStreamCursor& cursor, std::vector<TObjectPlace>& places)
{
    while (cursor.Remaining() > 0) {
        TObjectPlace place;
        place.Guid = cursor.Guid();
        const uint64_t size = cursor.U64();
        if (cursor.Failed() || size < asf::ObjectHeaderSize)
            return false;
        place.At = cursor.Position();
        place.Size = size - asf::ObjectHeaderSize;
        if (!cursor.Skip(place.Size))
            return false;
        places.push_back(place);
    }
    return true;
}

} // namespace

// Fills a TWMATag from the header objects.
class TWMAReader {
public:
    explicit TWMAReader(TWMATag& tag)
        : Tag(tag)
    {
    }

    int Read(TStream& stream) { return Tag.DeferPictureData ? ReadDeferring(stream) : ReadWhole(stream); }

private:
    int ReadWhole(TStream& stream)
    {
        TASFHeader header;
        const int result = ReadASFHeader(stream, header);
        if (result != wmaSuccess)
            return result;
        Tag.FLoaded = true;
        bool intact = true;
        std::vector<TASFObject> metadata, library;
        const TASFObject* contentDescription = nullptr;
        std::vector<const TASFObject*> extended;
        for (const TASFObject& object : header.Objects) {
            if (object.Guid == asf::FilePropertiesObject)
                ReadFileProperties(object.Body);
            else if (object.Guid == asf::StreamPropertiesObject)
                ReadStreamProperties(object.Body);
            else if (object.Guid == asf::ContentEncryptionObject || object.Guid == asf::ExtendedContentEncryptionObject)
                Tag.FIsProtected = true;
            else if (object.Guid == asf::ContentDescriptionObject && !contentDescription)
                contentDescription = &object;
            else if (object.Guid == asf::ExtendedContentDescriptionObject)
                extended.push_back(&object);
            else if (object.Guid == asf::HeaderExtensionObject) {
                std::vector<uint8_t> prefix;
                std::vector<TASFObject> inner;
                if (!SplitHeaderExtension(object.Body, prefix, inner)) {
                    intact = false;
                    continue;
                }
                for (TASFObject& child : inner) {
                    if (child.Guid == asf::MetadataObject)
                        metadata.push_back(std::move(child));
                    else if (child.Guid == asf::MetadataLibraryObject)
                        library.push_back(std::move(child));
                }
            }
        }
        // Attributes in a fixed order: Content Description, Extended Content Description,
        // Metadata, Metadata Library.
        if (contentDescription)
            intact = ReadContentDescription(contentDescription->Body) && intact;
        for (const TASFObject* object : extended)
            intact = ReadExtendedContentDescription(object->Body) && intact;
        for (const std::vector<TASFObject>* objects : { &metadata, &library })
            for (const TASFObject& object : *objects) {
                std::vector<TASFMetadataRecord> records;
                intact = ReadMetadataRecords(object.Body, records) && intact;
                const bool isLibrary = objects == &library;
                for (const TASFMetadataRecord& record : records)
                    if (record.Stream == 0)
                        Add(NameText(record.Name.data(), record.Name.size()), record.Type, record.Data.data(),
                            record.Data.size(), isLibrary ? record.Language : 0);
            }
        return intact ? wmaSuccess : wmaCorrupt;
    }

    // The same as ReadWhole, reading the header object by object and leaving large pictures
    // in the stream, their first bytes at hand.
    int ReadDeferring(TStream& stream)
    {
        const std::vector<uint8_t> start = stream.ReadAt(0, asf::HeaderObjectSize);
        if (start.size() < asf::HeaderObjectSize)
            return wmaNotASF;
        TASFReader reader(start.data(), start.size());
        if (reader.Guid() != asf::HeaderObject)
            return wmaNotASF;
        const uint64_t headerSize = reader.U64();
        const uint32_t count = reader.U32();
        if (headerSize < asf::HeaderObjectSize || headerSize > stream.Size())
            return wmaCorrupt;
        if (count > (headerSize - asf::HeaderObjectSize) / asf::ObjectHeaderSize)
            return wmaCorrupt;
        TStreamCursor cursor(stream);
        cursor.Range(asf::HeaderObjectSize, headerSize);
        std::vector<TObjectPlace> objects;
        if (!PlaceObjects(cursor, objects) || objects.size() != count)
            return wmaCorrupt;
        Tag.FLoaded = true;

        bool intact = true;
        std::vector<TObjectPlace> extended, metadata, library;
        std::optional<TObjectPlace> contentDescription;
        auto body = [&](const TObjectPlace& place) {
            cursor.Range(place.At, place.At + place.Size);
            return cursor.Bytes(place.Size);
        };
        for (const TObjectPlace& object : objects) {
            if (object.Guid == asf::FilePropertiesObject)
                ReadFileProperties(body(object));
            else if (object.Guid == asf::StreamPropertiesObject)
                ReadStreamProperties(body(object));
            else if (object.Guid == asf::ContentEncryptionObject || object.Guid == asf::ExtendedContentEncryptionObject)
                Tag.FIsProtected = true;
            else if (object.Guid == asf::ContentDescriptionObject && !contentDescription)
                contentDescription = object;
            else if (object.Guid == asf::ExtendedContentDescriptionObject)
                extended.push_back(object);
            else if (object.Guid == asf::HeaderExtensionObject) {
                cursor.Range(object.At, object.At + object.Size);
                const uint8_t* prefix = cursor.Take(asf::HeaderExtensionPrefix);
                std::vector<TObjectPlace> inner;
                if (!prefix || GetLE32(prefix + 18) != object.Size - asf::HeaderExtensionPrefix
                    || !PlaceObjects(cursor, inner)) {
                    intact = false;
                    continue;
                }
                for (const TObjectPlace& child : inner) {
                    if (child.Guid == asf::MetadataObject)
                        metadata.push_back(child);
                    else if (child.Guid == asf::MetadataLibraryObject)
                        library.push_back(child);
                }
            }
        }
        if (contentDescription)
            intact = ReadContentDescription(body(*contentDescription)) && intact;
        for (const TObjectPlace& object : extended) {
            cursor.Range(object.At, object.At + object.Size);
            intact = ReadExtendedContentDescription(cursor) && intact;
        }
        for (const std::vector<TObjectPlace>* objects : { &metadata, &library })
            for (const TObjectPlace& object : *objects) {
                cursor.Range(object.At, object.At + object.Size);
                intact = ReadRecords(cursor, objects == &library) && intact;
            }
        return intact ? wmaSuccess : wmaCorrupt;
    }

    bool ReadExtendedContentDescription(TStreamCursor& cursor)
    {
        const uint16_t count = cursor.U16();
        for (uint16_t i = 0; i < count; ++i) {
            const uint16_t nameLength = cursor.U16();
            const std::vector<uint8_t> name = cursor.Bytes(nameLength);
            const uint16_t type = cursor.U16();
            const uint16_t valueLength = cursor.U16();
            if (cursor.Failed() || !AddValue(cursor, NameText(name.data(), name.size()), type, valueLength, 0))
                return false;
        }
        return !cursor.Failed();
    }

    bool ReadRecords(TStreamCursor& cursor, bool isLibrary)
    {
        const uint16_t count = cursor.U16();
        for (uint16_t i = 0; i < count; ++i) {
            const uint16_t language = cursor.U16();
            const uint16_t streamNumber = cursor.U16();
            const uint16_t nameLength = cursor.U16();
            const uint16_t type = cursor.U16();
            const uint32_t dataLength = cursor.U32();
            const std::vector<uint8_t> name = cursor.Bytes(nameLength);
            if (cursor.Failed())
                return false;
            // Stream-level records are not attributes.
            if (streamNumber != 0
                    ? !cursor.Skip(dataLength)
                    : !AddValue(cursor, NameText(name.data(), name.size()), type, dataLength, isLibrary ? language : 0))
                return false;
        }
        return !cursor.Failed();
    }

    // The value of length bytes at the cursor; a large picture keeps only its first bytes.
    bool AddValue(TStreamCursor& cursor, const std::string& name, uint16_t type, uint64_t length, uint16_t language)
    {
        if (type == asfBinary && length > 2 * PictureLeadBytes && SameTextAscii(name, "WM/Picture")) {
            const uint64_t at = cursor.Position();
            auto frame = std::make_unique<TWMATagFrame>();
            frame->Name = name;
            frame->Format = wmaTypeBinary;
            frame->Stream = cursor.Bytes(PictureLeadBytes);
            frame->ValueOffset = at;
            frame->DeferredSize = length - PictureLeadBytes;
            if (cursor.Failed())
                return false;
            if (frame->IsPicture()) {
                if (!cursor.Skip(frame->DeferredSize))
                    return false;
                frame->Index = int(Tag.Frames.size());
                frame->Parent = &Tag;
                Tag.Frames.push_back(std::move(frame));
                return true;
            }
            // A picture whose description runs past its first bytes is read whole.
            std::vector<uint8_t> value = std::move(frame->Stream);
            const uint8_t* rest = cursor.Take(frame->DeferredSize);
            if (!rest)
                return false;
            value.insert(value.end(), rest, rest + frame->DeferredSize);
            Add(name, type, value.data(), value.size(), language);
            return true;
        }
        const uint8_t* value = cursor.Take(length);
        if (!value)
            return false;
        Add(name, type, value, size_t(length), language);
        return true;
    }

    void ReadFileProperties(const std::vector<uint8_t>& body)
    {
        TASFReader reader(body.data(), body.size());
        reader.Take(16); // file id
        const uint64_t fileSize = reader.U64();
        reader.U64(); // creation date
        reader.U64(); // data packets
        const uint64_t playDuration = reader.U64();
        reader.U64(); // send duration
        const uint64_t preroll = reader.U64();
        const uint32_t flags = reader.U32();
        reader.U32(); // minimum and maximum packet size
        reader.U32();
        const uint32_t maxBitrate = reader.U32();
        if (reader.Failed())
            return;
        Tag.FFileSize = fileSize;
        Tag.FPlayDuration = playDuration;
        Tag.FPreroll = preroll;
        Tag.FFlags = flags;
        Tag.FMaxBitrate = maxBitrate;
    }

    void ReadStreamProperties(const std::vector<uint8_t>& body)
    {
        TASFReader reader(body.data(), body.size());
        const TASFGuid type = reader.Guid();
        reader.Take(16); // error correction type
        reader.U64();    // time offset
        const uint32_t typeSpecificLength = reader.U32();
        reader.U32(); // error correction data length
        reader.U16(); // flags
        reader.U32(); // reserved
        if (reader.Failed())
            return;
        if (type == asf::VideoMedia)
            Tag.FHasVideo = true;
        if (type != asf::AudioMedia)
            return;
        Tag.FHasAudio = true;
        const uint8_t* format = typeSpecificLength >= 16 ? reader.Take(16) : nullptr;
        if (!format || Tag.FAudio.Channels || Tag.FAudio.SamplesPerSec)
            return; // the first audio stream with a WAVEFORMATEX answers
        Tag.FAudio.FormatTag = GetLE16(format);
        Tag.FAudio.Channels = GetLE16(format + 2);
        Tag.FAudio.SamplesPerSec = GetLE32(format + 4);
        Tag.FAudio.AvgBytesPerSec = GetLE32(format + 8);
        Tag.FAudio.BlockAlign = GetLE16(format + 12);
        Tag.FAudio.BitsPerSample = GetLE16(format + 14);
    }

    bool ReadContentDescription(const std::vector<uint8_t>& body)
    {
        TASFReader reader(body.data(), body.size());
        uint16_t lengths[5];
        for (uint16_t& length : lengths)
            length = reader.U16();
        for (size_t i = 0; i < 5; ++i) {
            const uint8_t* text = reader.Take(lengths[i]);
            if (!text)
                return false;
            Add(ContentDescriptionNames[i], asfString, text, lengths[i], 0);
        }
        return true;
    }

    bool ReadExtendedContentDescription(const std::vector<uint8_t>& body)
    {
        TASFReader reader(body.data(), body.size());
        const uint16_t count = reader.U16();
        for (uint16_t i = 0; i < count; ++i) {
            const uint16_t nameLength = reader.U16();
            const uint8_t* name = reader.Take(nameLength);
            const uint16_t type = reader.U16();
            const uint16_t valueLength = reader.U16();
            const uint8_t* value = reader.Take(valueLength);
            if (reader.Failed())
                return false;
            Add(NameText(name, nameLength), type, value, valueLength, 0);
        }
        return !reader.Failed();
    }

    // One attribute as stored. Values are kept as they are, except that text always ends in
    // a zero character and a BOOL is 4 bytes holding 0 or 1. Empty values, which a save
    // would not write, and types the header does not define are left out.
    void Add(const std::string& name, uint16_t type, const uint8_t* value, size_t valueLength, uint16_t language)
    {
        TWMAAttributeType format;
        if (!FormatOfStoredType(type, format))
            return;
        auto frame = std::make_unique<TWMATagFrame>();
        frame->Name = name;
        frame->Format = format;
        frame->Language = language;
        frame->Stream.assign(value, value + (format == wmaTypeString ? valueLength & ~size_t(1) : valueLength));
        if (frame->Empty())
            return;
        if (format == wmaTypeBool) {
            frame->SetAsInteger(wmaTypeBool, std::any_of(value, value + valueLength, [](uint8_t b) { return b != 0; }));
        } else if (format == wmaTypeString) {
            const size_t n = frame->Stream.size();
            if (frame->Stream[n - 2] || frame->Stream[n - 1])
                frame->Stream.insert(frame->Stream.end(), { 0, 0 });
        }
        frame->Index = int(Tag.Frames.size());
        frame->Parent = &Tag;
        Tag.Frames.push_back(std::move(frame));
    }

    TWMATag& Tag;
};

int TWMATag::LoadFromStream(TStream& stream)
{
    Clear();
    try {
        return TWMAReader(*this).Read(stream);
    } catch (...) {
        return wmaError;
    }
}

} // namespace vantor
