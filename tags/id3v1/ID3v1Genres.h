#pragma once
// The 148 ID3v1 genre names (indices 0 to 147).

#include <cstdint>
#include <string>

namespace vantor {

constexpr int ID3v1GenreCount = 148;
constexpr int ID3v1GenreOther = 12;

// Index above 147 gives "Other".
std::string ID3v1GenreName(int index);
// Exact comparison after changing "Psychadelic" to "Psychedelic"; 12 when not in the list.
int ID3v1GenreIndex(const std::string& name);

} // namespace vantor
