#pragma once

// The optional extended headers of versions 2.3 and 2.4. They are read and kept; the writer
// never writes one.

#include <cstdint>
#include <vector>

namespace vantor {

struct TID3v2ExtendedHeader3 {
    uint32_t Size = 0;
    uint8_t CodedSize[4] = {};
    std::vector<uint8_t> Data; // the bytes after the flags
    uint16_t Flags = 0;
    bool CRCPresent = false;
};

enum TID3v2TagSizeRestriction {
    NoMoreThan128FramesAnd1MBTotalTagSize,
    NoMoreThan64FramesAnd128KBTotalTagSize,
    NoMoreThan32FramesAnd40KBTotalTagSize,
    NoMoreThan32FramesAnd4KBTotalTagSize,
};
enum TID3v2TextEncodingRestriction { NoTextEncodingRestrictions, OnlyEncodedWithISO88591OrUTF8 };
enum TID3v2TextFieldsSizeRestriction {
    NoTextFieldsSizeRestrictions,
    NoStringIsLongerThan1024Characters,
    NoStringIsLongerThan128Characters,
    NoStringIsLongerThan30Characters,
};
enum TID3v2ImageEncodingRestriction { NoImageEncodingRestrictions, ImagesAreEncodedOnlyWithPNGOrJPEG };
enum TID3v2ImageSizeRestriction {
    NoImageSizeRestrictions,
    AllImagesAre256x256PixelsOrSmaller,
    AllImagesAre64x64PixelsOrSmaller,
    AllImagesAreExactly64x64PixelsUnlessRequiredOtherwise,
};

struct TID3v2ExtendedHeader4 {
    uint32_t Size = 0;
    uint8_t CodedSize[4] = {};
    uint8_t FlagBytes = 0;
    uint8_t Flags = 0;
    uint32_t ExtendedFlagsDataSize = 0;
    std::vector<uint8_t> ExtendedFlagsData; // the data of the set flags, each after its length byte
    bool TagIsAnUpdate = false;
    bool CRCPresent = false;
    bool TagRestrictions = false;
    uint8_t TagRestrictionsData = 0;
    // Kept for completeness; never decoded from TagRestrictionsData.
    TID3v2TagSizeRestriction TagSizeRestriction = NoMoreThan128FramesAnd1MBTotalTagSize;
    TID3v2TextEncodingRestriction TextEncodingRestrictions = NoTextEncodingRestrictions;
    TID3v2TextFieldsSizeRestriction TextFieldsSizeRestriction = NoTextFieldsSizeRestrictions;
    TID3v2ImageEncodingRestriction ImageEncodingRestriction = NoImageEncodingRestrictions;
    TID3v2ImageSizeRestriction ImageSizeRestriction = NoImageSizeRestrictions;
};

} // namespace vantor
