#pragma once

// Strings inside ID3v2 frame data. The first byte of a text-bearing frame names the encoding:
// 0 Windows-1252 (one 0x00 terminator), 1 UTF-16 with a byte order mark, 2 UTF-16BE (two 0x00
// terminators), 3 UTF-8 (one 0x00). Any other first byte means the frame has no encoding
// byte and is Windows-1252 from its first byte.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

enum TID3v2TextEncoding : uint8_t {
    id3teANSI = 0,
    id3teUTF16 = 1,
    id3teUTF16BE = 2,
    id3teUTF8 = 3,
};

// Reads terminated strings from frame data; never reads past the data. A missing terminator
// ends the string at the end of the data.
class TFrameTextReader {
public:
    // NativeText reads encoding 3 as Windows-1252.
    TFrameTextReader(std::span<const uint8_t> Data, uint8_t Encoding, bool NativeText = false);

    bool AtEnd() const { return FPos >= FData.size(); }
    size_t Position() const { return FPos; }
    void Skip(size_t Count) { FPos = std::min(FData.size(), FPos + Count); }
    std::span<const uint8_t> Rest() const { return FData.subspan(FPos); }

    // One string in the reader's encoding, its terminator skipped.
    std::string ReadString();
    // Bytes up to a single 0x00, one character each (MIME types, e-mail addresses, owners).
    std::string ReadLatin1String();
    // All remaining strings; a terminator at the very end of the data ends the last one.
    std::vector<std::string> ReadStrings();

private:
    std::span<const uint8_t> FData;
    uint8_t FEncoding;
    bool FNativeText;
    bool FBigEndian = false; // UTF-16 order of a string without its own byte order mark
    size_t FPos = 0;
};

// Joins strings with CR LF.
std::string JoinLines(const std::vector<std::string>& Lines);
// Splits text at CR LF (a lone LF also ends a line); empty text gives no lines.
std::vector<std::string> SplitLines(std::string_view Text);

// Builds frame data in the encodings the writer uses.
class TFrameTextWriter {
public:
    explicit TFrameTextWriter(std::vector<uint8_t>& Out)
        : FOut(Out)
    {
    }

    void Byte(uint8_t Value) { FOut.push_back(Value); }
    void Bytes(std::span<const uint8_t> Data) { FOut.insert(FOut.end(), Data.begin(), Data.end()); }
    void ByteOrderMark()
    {
        Byte(0xFF);
        Byte(0xFE);
    }
    // UTF-16LE text followed by 00 00.
    void UTF16String(std::string_view Text);
    // Text in the given single-byte-terminated or UTF-16 encoding followed by its terminator;
    // encoding 1 gets its byte order mark.
    void String(uint8_t Encoding, std::string_view Text);
    // One byte per character; false for a character above 255.
    bool Latin1(std::string_view Text);

private:
    std::vector<uint8_t>& FOut;
};

} // namespace vantor
