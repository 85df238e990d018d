#pragma once
// How the tag library reaches the audio engine's tag query for streams whose
// tags only the engine knows (internet radio). The engine registers itself at
// start-up; without one, TTags::LoadFromBASS returns tlAudioEngineNotLoaded.

#include <cstdint>
#include <optional>
#include <vector>

namespace vantor {

class TAudioEngineTagSource {
public:
    virtual ~TAudioEngineTagSource() = default;
    // False when the engine offers no tag query (tlAudioEngineFunctionMissing).
    virtual bool HasTagQuery() const = 0;
    // The engine's block of that tag type for the channel, or nothing.
    virtual std::optional<std::vector<uint8_t>> ChannelGetTags(uint32_t channel, uint32_t tagType) const = 0;
};

// Process-wide; not owned. Null means no engine is loaded.
void SetAudioEngineTagSource(TAudioEngineTagSource* source);
TAudioEngineTagSource* AudioEngineTagSource();

// The engine's tag types.
enum : uint32_t {
    engineTagID3 = 0,
    engineTagID3v2 = 1,
    engineTagOgg = 2,
    engineTagHTTP = 3,
    engineTagICY = 4,
    engineTagMeta = 5,
    engineTagAPE = 6,
    engineTagMP4 = 7,
    engineTagWMA = 8,
    engineTagLyrics3 = 10,
    engineTagMF = 13,
    engineTagRIFFInfo = 0x100,
    engineTagRIFFBext = 0x101,
    engineTagRIFFCart = 0x102,
    engineTagRIFFDisp = 0x103,
    engineTagMusicName = 0x10000,
    engineTagDSDArtist = 0x13000,
    engineTagDSDTitle = 0x13001,
    engineTagDSDComment = 0x13100,
};

} // namespace vantor
