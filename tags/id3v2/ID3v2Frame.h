#pragma once

// One ID3v2 frame as stored: its id, header flags and data bytes. The tag keeps every frame
// it reads this way, so frames it does not understand are written back unchanged.

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace vantor {

// A frame id character: A to Z or 0 to 9.
inline bool IsFrameIdChar(uint8_t C) { return (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9'); }
bool IsValidFrameId(const uint8_t* Id, size_t Length);
bool IsValidFrameId(std::string_view Id);

class TID3v2Frame {
public:
    // The id characters; a 3-character id (an unconverted version 2.2 id) ends with a 0 byte.
    std::array<char, 4> ID {};
    uint32_t Size = 0;           // data length from the header, without the extra header bytes
    uint32_t CodedSize = 0;      // the size field as stored
    std::vector<uint8_t> Stream; // the data bytes
    // A picture frame read without its picture: the data goes on with DeferredSize bytes at
    // DeferredOffset of the source, which Stream does not hold (see TID3v2Tag::LoadDeferredData).
    uint64_t DeferredOffset = 0;
    uint32_t DeferredSize = 0;

    uint16_t Flags = 0;
    bool TagAlterPreservation = false;
    bool FileAlterPreservation = false;
    bool ReadOnly = false;
    bool Compressed = false;
    bool Encrypted = false;
    bool GroupingIdentity = false;
    bool Unsynchronised = false;
    bool DataLengthIndicator = false;

    uint8_t GroupIdentifier = 0;
    uint8_t EncryptionMethod = 0;
    uint32_t DataLengthIndicatorValue = 0;

    std::string_view IdText() const;
    bool HasId(std::string_view Id) const { return IdText() == Id; }
    void SetId(std::string_view Id);
    // Four valid id characters: the frame can be written.
    bool HasWritableId() const { return IsValidFrameId(std::string_view(ID.data(), 4)); }

    void DecodeFlags3(uint16_t Value);
    uint16_t EncodeFlags3();
    void DecodeFlags4(uint16_t Value);
    uint16_t EncodeFlags4();

    // Deflates the data at the highest level; the length before compression goes into
    // DataLengthIndicatorValue. False when nothing was compressed.
    bool Compress();
    // Inflates compressed data longer than 4 bytes; on failure the frame stays as it was.
    bool DeCompress();
    void RemoveUnsynchronisation();
    void ApplyUnsynchronisation();

    void Assign(const TID3v2Frame& Source) { *this = Source; }
    void Clear() { *this = TID3v2Frame {}; }
};

} // namespace vantor
