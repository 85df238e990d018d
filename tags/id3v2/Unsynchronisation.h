#pragma once

// Unsynchronisation, the way ID3v2 keeps false MPEG frame syncs (0xFF followed by a byte
// of 0xE0 or more) out of tag data; its sizes are syncsafe integers (tags/io/Bytes.h).

#include <cstdint>
#include <vector>

namespace vantor {

// Drops every 0x00 that directly follows a 0xFF.
void RemoveUnsynchronisation(std::vector<uint8_t>& Data);
// Inserts 0x00 after every 0xFF that is followed by 0x00 or by a byte of 0xE0 or more.
void ApplyUnsynchronisation(std::vector<uint8_t>& Data);

} // namespace vantor
