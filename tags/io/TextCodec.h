#pragma once
// Text conversions at the tag formats' boundary. Text in memory is UTF-8; the
// "ANSI code page" of the tag formats is Windows-1252.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

bool IsValidUtf8Bytes(std::string_view bytes);
// Invalid sequences become U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// Windows-1252 bytes to UTF-8 (the five unassigned bytes map to the C1 controls).
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-8 to Windows-1252; characters it cannot hold become '?'.
std::string Utf8ToCp1252(std::string_view text);
// UTF-8 to 7-bit ASCII; anything else becomes '?' (one per character).
std::string Utf8ToAscii(std::string_view text);
// UTF-8 to ISO-8859-1; false (and an empty result) when a character is above 255.
bool Utf8ToLatin1(std::string_view text, std::string& out);
std::string Latin1ToUtf8(std::string_view bytes);

// Decodes UTF-8 when the bytes are valid UTF-8, else Windows-1252.
std::string Utf8OrCp1252(std::string_view bytes);

// UTF-16 code units (bytes in the given order) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const uint8_t* data, size_t byteCount, bool bigEndian);
// UTF-8 to UTF-16 bytes in little- or big-endian order, without terminator.
std::vector<uint8_t> Utf8ToUtf16(std::string_view text, bool bigEndian = false);

// Number of Unicode code points.
size_t Utf8Length(std::string_view text);

// ASCII-only case folding, as the tag model compares names.
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);
// Trim blanks and control characters (bytes up to 0x20).
std::string TrimText(std::string_view text);
std::string TrimLeftText(std::string_view text);

// Splits at CR LF, lone CR or lone LF.
std::vector<std::string> SplitTextLines(std::string_view text);
std::string JoinTextLines(const std::vector<std::string>& lines);

} // namespace vantor
