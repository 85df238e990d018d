#pragma once

// Decoding and encoding of the program's text files (INI-style files, about texts).
// Text in memory is always valid UTF-8.

#include <string>
#include <string_view>

namespace vantor {

enum class TTextEncoding {
    Utf8,    // no byte-order mark
    Utf8Bom, // EF BB BF
    Utf16LE, // FF FE
    Utf16BE, // FE FF
};

enum class TLineEnding {
    LF,
    CRLF,
};

struct TDecodedText {
    std::string text; // valid UTF-8, without the byte-order mark
    TTextEncoding encoding = TTextEncoding::Utf8;
};

// Detects the byte-order mark. UTF-16 is decoded with unpaired surrogates (and a dangling odd
// byte) replaced by U+FFFD; text without a mark that is not valid UTF-8 is read as
// Windows-1252.
TDecodedText DecodeTextFile(std::string_view bytes);

// The bytes of UTF-8 text in the given encoding, with its byte-order mark.
std::string EncodeTextFile(std::string_view utf8, TTextEncoding encoding);

// The line-end style of text: CR LF when the first line end is CR LF, else LF.
TLineEnding DetectLineEnding(std::string_view text);

// bytes with every ill-formed UTF-8 sequence replaced by U+FFFD.
std::string ToValidUtf8(std::string_view bytes);

// Whether bytes are well-formed UTF-8 (no overlongs, no surrogates, nothing above U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

}
