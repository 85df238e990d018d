#pragma once
// Recognising a file's audio format by content, and the tag types that belong
// to a file extension.

#include "tags/TagTypes.h"
#include "tags/io/Stream.h"

#include <string>
#include <vector>

namespace vantor {

enum TAudioFormat : int {
    afUnknown = 0,
    afMonkeysAudio = 1,
    afFlac = 2,
    afOggFlac = 3,
    afMPEG = 4,
    afMP4 = 5,
    afOpus = 6,
    afOggVorbis = 7,
    afOggTheora = 8,
    afWAV = 9,
    afRF64 = 10,
    afAIFF = 11,
    afAIFC = 12,
    afDSDIFF = 13,
    afDSF = 14,
    afOptimFROG = 15,
    afMusepack = 16,
    afWavPack = 17,
    afWMA = 18,
};

// Never fails: an unreadable stream or file gives afUnknown.
TAudioFormat DetectAudioFormat(TStream& stream);
TAudioFormat DetectAudioFormat(const std::string& fileName);

// The tag each audio format naturally carries, in saving order.
std::vector<TTagType> NaturalTagTypes(TAudioFormat format);

// The tag types of a file name's extension (ttAPEv2 for unknown ones).
TTagTypes TagTypesOfFileName(const std::string& fileName);
// The upper-cased extension with its dot ("" when there is none).
std::string UpperExtension(const std::string& fileName);

} // namespace vantor
