// Reading the ASF header: the attributes and the file and stream properties.

#include "tags/asf/WMAHeader.h"

#include "tags/io/Bytes.h"
#include "tags/io/TextCodec.h"

#include <algorithm>

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

} // namespace

// Fills a TWMATag from the header objects.
class TWMAReader {
public:
    explicit TWMAReader(TWMATag& tag)
        : Tag(tag)
    {
    }

    int Read(TStream& stream)
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

private:
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
