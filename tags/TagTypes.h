#pragma once
// Enumerations and result codes of the tag library. The numeric values are
// stored and compared as integers, so their order is fixed.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vantor {

enum TTagType : int {
    ttNone = 0,
    ttAutomatic = 1,
    ttAPEv2 = 2,
    ttFlac = 3,
    ttID3v1 = 4,
    ttID3v2 = 5,
    ttMP4 = 6,
    ttOpusVorbis = 7,
    ttWAV = 8,
    ttWMA = 9,
};

// A set of tag types: bit (1 << type) per member.
using TTagTypes = uint32_t;
constexpr TTagTypes TagTypeBit(TTagType type) { return TTagTypes(1) << type; }
constexpr bool HasTagType(TTagTypes set, TTagType type) { return (set & TagTypeBit(type)) != 0; }

enum TTagPictureFormat : int {
    tpfUnknown = 0,
    tpfJPEG = 1,
    tpfPNG = 2,
    tpfBMP = 3,
    tpfGIF = 4,
};

// Marks a unified field that came from an ID3v2 TXXX or WXXX frame and goes back to one.
enum TExtTagType : int {
    ettUnknown = 0,
    ettTXXX = 1,
    ettWXXX = 2,
};

// Index 0 is the highest priority.
using TTagPriority = std::array<TTagType, 9>;

// Unified result codes of loads and saves.
enum TTagResult : int {
    tlSuccess = 0,
    tlNoTagFound = 1,
    tlFileNotFound = 2,
    tlEmptyTag = 3,
    tlEmptyFrames = 4,
    tlErrorOpeningFile = 5,
    tlErrorSaving = 6,
    tlErrorWritingFile = 7,
    tlNotSupportedFormat = 8,
    tlNotSupportedVersion = 9,
    tlNotSupported = 10,
    tlAudioEngineNotLoaded = 11,
    tlAudioEngineFunctionMissing = 12,
    tlErrorContainerSize = 13,
    tlNeedExclusiveAccess = 14,
    tlWMARuntimeMissing = 15,
    tlWMAEditorFailed = 16,
    tlWMAHeaderInfoMissing = 17,
    tlWMAAttributeCountFailed = 18,
    tlMP4ChunkOffsetsFailed = 19,
    tlMP4Chunk64OffsetsFailed = 20,
    tlMP4FragmentOffsetsFailed = 21,
    tlError = 0xFFFF,
};

// "Any other failure" of every format object's own codes.
constexpr int FormatErrorCode = 0xFFFF;

// A list of "name=value" entries: the involved-people lists (TIPL, TMCL and
// their counterparts in other formats).
using TNameValueList = std::vector<std::string>;
// The part before the first "=" (the whole entry when there is none) and after it.
std::string ListEntryName(const std::string& entry);
std::string ListEntryValue(const std::string& entry);

} // namespace vantor
