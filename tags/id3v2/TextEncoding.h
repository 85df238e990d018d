#pragma once

// Conversions between the byte encodings of tag formats and the UTF-8 text used in memory.
// The "ANSI code page" of the tag formats is Windows-1252. Invalid input never fails: broken
// UTF-8 or UTF-16 sequences become U+FFFD.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Windows-1252 bytes to UTF-8.
std::string AnsiToUTF8(std::string_view Bytes);
// UTF-8 to Windows-1252; characters the code page lacks become '?'.
std::string UTF8ToAnsi(std::string_view Text);

// Bytes read as one character each (code points 0 to 255) to UTF-8.
std::string Latin1ToUTF8(std::string_view Bytes);
// UTF-8 to one byte per character; false when a character is above 255.
bool UTF8ToLatin1(std::string_view Text, std::string& Bytes);

// UTF-16 code units (Count bytes, an odd last byte ignored) to UTF-8.
std::string UTF16ToUTF8(const uint8_t* Data, size_t Count, bool BigEndian);
// Appends Text as UTF-16 little-endian code units.
void AppendUTF16LE(std::string_view Text, std::vector<uint8_t>& Out);

// UTF-8 with every invalid sequence replaced by U+FFFD.
std::string ValidUTF8(std::string_view Bytes);

// Decodes one code point of UTF-8 at Pos and advances Pos; U+FFFD for an invalid sequence.
char32_t NextCodePoint(std::string_view Text, size_t& Pos);
void AppendUTF8(char32_t CodePoint, std::string& Out);

} // namespace vantor
