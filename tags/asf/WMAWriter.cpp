// Writing the attributes: a new header object that replaces the old one, in place when it
// fits (see WMATag.h).

#include "tags/asf/WMAHeader.h"

#include "tags/io/Bytes.h"
#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

namespace vantor {

namespace {

constexpr size_t MaxRecords = 0xFFFF;
constexpr size_t MaxShortValue = 0xFFFF; // 16-bit lengths of the description objects

std::vector<uint8_t> NameBytes(const std::string& name)
{
    std::vector<uint8_t> bytes = Utf8ToUtf16(name, false);
    bytes.insert(bytes.end(), { 0, 0 });
    return bytes;
}

// The attribute objects built from the frames.
struct TAttributeObjects {
    std::optional<std::vector<uint8_t>> ContentDescription[5];
    struct TDescriptor {
        std::vector<uint8_t> Name;
        uint16_t Type;
        const std::vector<uint8_t>* Value;
    };
    std::vector<TDescriptor> Extended;
    std::vector<TASFMetadataRecord> Library;

    bool HasContentDescription() const
    {
        return std::any_of(
            std::begin(ContentDescription), std::end(ContentDescription), [](const auto& v) { return v.has_value(); });
    }

    std::vector<uint8_t> ContentDescriptionBody() const
    {
        std::vector<uint8_t> body;
        for (const auto& text : ContentDescription)
            AppendLE16(body, uint16_t(text ? text->size() : 0));
        for (const auto& text : ContentDescription)
            if (text)
                body.insert(body.end(), text->begin(), text->end());
        return body;
    }

    std::vector<uint8_t> ExtendedBody() const
    {
        std::vector<uint8_t> body;
        AppendLE16(body, uint16_t(Extended.size()));
        for (const TDescriptor& d : Extended) {
            AppendLE16(body, uint16_t(d.Name.size()));
            body.insert(body.end(), d.Name.begin(), d.Name.end());
            AppendLE16(body, d.Type);
            AppendLE16(body, uint16_t(d.Value->size()));
            body.insert(body.end(), d.Value->begin(), d.Value->end());
        }
        return body;
    }
};

std::vector<uint8_t> RecordsBody(const std::vector<TASFMetadataRecord>& records)
{
    std::vector<uint8_t> body;
    AppendLE16(body, uint16_t(records.size()));
    for (const TASFMetadataRecord& record : records)
        AppendMetadataRecord(body, record);
    return body;
}

} // namespace

class TWMAWriter {
public:
    explicit TWMAWriter(const TWMATag& tag)
        : Tag(tag)
    {
    }

    // Places every frame that holds a value; pictures last.
    int Place(TAttributeObjects& objects, size_t keptLibraryRecords) const
    {
        std::vector<const TWMATagFrame*> order;
        for (bool pictures : { false, true })
            for (const auto& frame : Tag.Frames)
                if (frame->IsCoverArt() == pictures && !frame->Empty())
                    order.push_back(frame.get());
        std::unordered_set<std::string> extendedNames;
        for (const TWMATagFrame* frame : order) {
            std::vector<uint8_t> name = NameBytes(frame->Name);
            if (name.size() > 0xFFFF)
                return wmaTooMany;
            const uint16_t language = frame->Language;
            const uint64_t size = frame->Stream.size() + frame->DeferredSize;
            if (frame->Format == wmaTypeString && language == 0 && size <= MaxShortValue) {
                const auto slot = std::find_if(std::begin(ContentDescriptionNames), std::end(ContentDescriptionNames),
                    [&](const char* n) { return SameTextAscii(n, frame->Name); });
                if (slot != std::end(ContentDescriptionNames)) {
                    auto& text = objects.ContentDescription[slot - std::begin(ContentDescriptionNames)];
                    if (!text) {
                        text = frame->Stream;
                        continue;
                    }
                }
            }
            // The extended description holds one value per name.
            if (frame->Format != wmaTypeGUID && language == 0 && size <= MaxShortValue
                && objects.Extended.size() < MaxRecords && extendedNames.insert(UpperAscii(frame->Name)).second) {
                objects.Extended.push_back({ std::move(name), StoredType(frame->Format), &frame->Stream });
                continue;
            }
            if (objects.Library.size() + keptLibraryRecords >= MaxRecords || size > UINT32_MAX)
                return wmaTooMany;
            TASFMetadataRecord record;
            record.Language = language;
            record.Type = StoredType(frame->Format);
            record.Name = std::move(name);
            if (frame->Format == wmaTypeBool)
                AppendLE16(record.Data, frame->GetAsInteger() != 0); // a WORD in these records
            else
                record.Data = frame->Stream;
            objects.Library.push_back(std::move(record));
        }
        return wmaSuccess;
    }

    int Write(TStream& stream) const
    {
        TASFHeader header;
        int result = ReadASFHeader(stream, header);
        if (result != wmaSuccess)
            return result;

        // Stream-level records are not frames; they stay in the object they came from.
        std::vector<TASFMetadataRecord> keptMetadata, keptLibrary;
        bool hasExtension = false;
        for (const TASFObject& object : header.Objects) {
            if (object.Guid != asf::HeaderExtensionObject)
                continue;
            std::vector<uint8_t> prefix;
            std::vector<TASFObject> inner;
            if (!SplitHeaderExtension(object.Body, prefix, inner))
                return wmaCorrupt;
            hasExtension = true;
            for (const TASFObject& child : inner) {
                std::vector<TASFMetadataRecord> records;
                if (child.Guid == asf::MetadataObject || child.Guid == asf::MetadataLibraryObject)
                    ReadMetadataRecords(child.Body, records);
                auto& kept = child.Guid == asf::MetadataObject ? keptMetadata : keptLibrary;
                for (TASFMetadataRecord& record : records)
                    if (record.Stream != 0)
                        kept.push_back(std::move(record));
            }
        }

        // Several objects' records now go into one.
        if (keptMetadata.size() > MaxRecords || keptLibrary.size() > MaxRecords)
            return wmaTooMany;
        TAttributeObjects attributes;
        result = Place(attributes, keptLibrary.size());
        if (result != wmaSuccess)
            return result;
        std::vector<TASFMetadataRecord> library = std::move(keptLibrary);
        library.insert(library.end(), std::make_move_iterator(attributes.Library.begin()),
            std::make_move_iterator(attributes.Library.end()));

        // The new list of objects: the old ones in their order with the attribute objects
        // replaced where they were; new ones go behind the file properties.
        std::vector<TASFObject> objects;
        bool placedDescription = false, placedExtended = false, placedLibrary = false;
        auto contentDescription = [&] {
            if (!placedDescription && attributes.HasContentDescription())
                objects.push_back({ asf::ContentDescriptionObject, attributes.ContentDescriptionBody() });
            placedDescription = true;
        };
        auto extended = [&] {
            if (!placedExtended && !attributes.Extended.empty())
                objects.push_back({ asf::ExtendedContentDescriptionObject, attributes.ExtendedBody() });
            placedExtended = true;
        };
        size_t afterFileProperties = std::string::npos;
        for (const TASFObject& object : header.Objects) {
            if (object.Guid == asf::ContentDescriptionObject) {
                contentDescription();
            } else if (object.Guid == asf::ExtendedContentDescriptionObject) {
                extended();
            } else if (object.Guid == asf::PaddingObject) {
                // padding is rebuilt at the end
            } else if (object.Guid == asf::HeaderExtensionObject) {
                objects.push_back({ object.Guid, RebuildExtension(object.Body, keptMetadata, library, placedLibrary) });
            } else {
                objects.push_back(object);
                if (object.Guid == asf::FilePropertiesObject && afterFileProperties == std::string::npos)
                    afterFileProperties = objects.size();
            }
        }
        if (!placedDescription || !placedExtended) {
            std::vector<TASFObject> added;
            std::swap(added, objects);
            const size_t at = std::min(afterFileProperties, added.size());
            objects.assign(
                std::make_move_iterator(added.begin()), std::make_move_iterator(added.begin() + ptrdiff_t(at)));
            contentDescription();
            extended();
            objects.insert(objects.end(), std::make_move_iterator(added.begin() + ptrdiff_t(at)),
                std::make_move_iterator(added.end()));
        }
        if (!hasExtension && (!library.empty() || !keptMetadata.empty())) {
            bool unused = false;
            objects.push_back({ asf::HeaderExtensionObject, RebuildExtension({}, keptMetadata, library, unused) });
        }

        // Fit the new header into the old one with a padding object when possible.
        uint64_t size = asf::HeaderObjectSize;
        for (const TASFObject& object : objects)
            size += asf::ObjectHeaderSize + object.Body.size();
        std::optional<uint64_t> padding;
        if (size + asf::ObjectHeaderSize <= header.Size)
            padding = header.Size - size - asf::ObjectHeaderSize;
        else if (size != header.Size)
            padding = Tag.PaddingToWrite;
        if (padding) {
            objects.push_back({ asf::PaddingObject, std::vector<uint8_t>(size_t(*padding), 0) });
            size += asf::ObjectHeaderSize + *padding;
        }

        // The file size in the file properties follows the file, unless it was already wrong.
        const uint64_t oldFileSize = stream.Size();
        const uint64_t newFileSize = oldFileSize - header.Size + size;
        for (TASFObject& object : objects)
            if (object.Guid == asf::FilePropertiesObject && object.Body.size() >= 24
                && GetLE64(object.Body.data() + 16) == oldFileSize)
                PutLE64(object.Body.data() + 16, newFileSize);

        std::vector<uint8_t> out(asf::HeaderObject.Bytes.begin(), asf::HeaderObject.Bytes.end());
        out.reserve(size_t(size));
        AppendLE64(out, size);
        AppendLE32(out, uint32_t(objects.size()));
        out.push_back(header.Reserved[0]);
        out.push_back(header.Reserved[1]);
        for (const TASFObject& object : objects)
            AppendASFObject(out, object);
        if (!stream.Replace(0, header.Size, out.data(), out.size()))
            return wmaWriteFailed;
        return wmaSuccess;
    }

    // The header extension without its padding and with the given Metadata and Metadata
    // Library records (each object left out when it has none). The first extension gets the
    // library; placed tells whether that happened.
    static std::vector<uint8_t> RebuildExtension(const std::vector<uint8_t>& body,
        const std::vector<TASFMetadataRecord>& metadata, const std::vector<TASFMetadataRecord>& library, bool& placed)
    {
        std::vector<uint8_t> prefix;
        std::vector<TASFObject> inner;
        if (!SplitHeaderExtension(body, prefix, inner)) {
            // A new extension.
            prefix.assign(asf::HeaderExtensionReserved.Bytes.begin(), asf::HeaderExtensionReserved.Bytes.end());
            AppendLE16(prefix, 6);
            AppendLE32(prefix, 0);
        }
        std::vector<uint8_t> data;
        bool wroteMetadata = false, wroteLibrary = false;
        auto writeMetadata = [&] {
            if (!wroteMetadata && !placed && !metadata.empty())
                AppendASFObject(data, asf::MetadataObject, RecordsBody(metadata));
            wroteMetadata = true;
        };
        auto writeLibrary = [&] {
            if (!wroteLibrary && !placed && !library.empty())
                AppendASFObject(data, asf::MetadataLibraryObject, RecordsBody(library));
            wroteLibrary = true;
        };
        for (const TASFObject& child : inner) {
            if (child.Guid == asf::MetadataObject)
                writeMetadata();
            else if (child.Guid == asf::MetadataLibraryObject)
                writeLibrary();
            else if (child.Guid != asf::PaddingObject)
                AppendASFObject(data, child);
        }
        writeMetadata();
        writeLibrary();
        placed = true;
        PutLE32(prefix.data() + 18, uint32_t(data.size()));
        prefix.insert(prefix.end(), data.begin(), data.end());
        return prefix;
    }

    // Bytes of the attribute objects as they would be written.
    uint64_t AttributeSize() const
    {
        TAttributeObjects attributes;
        if (Place(attributes, 0) != wmaSuccess)
            return 0;
        uint64_t size = 0;
        if (attributes.HasContentDescription())
            size += asf::ObjectHeaderSize + attributes.ContentDescriptionBody().size();
        if (!attributes.Extended.empty())
            size += asf::ObjectHeaderSize + attributes.ExtendedBody().size();
        if (!attributes.Library.empty())
            size += asf::ObjectHeaderSize + RecordsBody(attributes.Library).size();
        // Deferred pictures are written whole.
        for (const auto& frame : Tag.Frames)
            size += frame->DeferredSize;
        return size;
    }

private:
    const TWMATag& Tag;
};

int TWMATag::SaveToStream(TStream& stream)
{
    try {
        if (!FetchDeferredPictures())
            return wmaCannotOpen;
        const int result = TWMAWriter(*this).Write(stream);
        stream.Seek(0);
        return result;
    } catch (...) {
        return wmaError;
    }
}

int TWMATag::SaveToFile(const std::string& fileName)
{
    try {
        if (!FileExists(fileName))
            return wmaFileNotFound;
        TFileEditStream file;
        if (file.Open(fileName) != TFileEditResult::Success)
            return wmaCannotOpen;
        const int result = SaveToStream(file);
        if (result != wmaSuccess)
            return result;
        if (file.Commit() != TFileEditResult::Success)
            return wmaWriteFailed;
        FileName = fileName;
        return wmaSuccess;
    } catch (...) {
        return wmaError;
    }
}

uint64_t TWMATag::CalculateTagSize() const
{
    try {
        return TWMAWriter(*this).AttributeSize();
    } catch (...) {
        return 0;
    }
}

} // namespace vantor
