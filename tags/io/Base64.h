#pragma once
// Base64 as the Ogg comments carry pictures and binary values.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

std::string Base64Encode(const uint8_t* data, size_t size);
// Skips whitespace; false on any other character outside the alphabet.
bool Base64Decode(std::string_view text, std::vector<uint8_t>& out);

} // namespace vantor
