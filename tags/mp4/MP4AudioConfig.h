#pragma once
// The channel count an AAC stream declares in its decoder configuration
// (the esds atom of an mp4a sample entry). Sample entries written for the ISO
// brands always say 2 channels, so this is the only place a mono or
// multichannel AAC stream shows what it is.

#include <cstddef>
#include <cstdint>

namespace vantor {

// The body of an esds atom; 0 when it declares no channel configuration.
uint16_t AACChannelsFromEsds(const uint8_t* body, size_t size);

} // namespace vantor
