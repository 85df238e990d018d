#include "tags/id3v2/ID3v2Text.h"

#include "tags/io/TextCodec.h"

#include <algorithm>
#include <cstring>

namespace vantor {

TFrameTextReader::TFrameTextReader(std::span<const uint8_t> Data, uint8_t Encoding, bool NativeText)
    : FData(Data)
    , FEncoding(Encoding <= id3teUTF8 ? Encoding : uint8_t(id3teANSI))
    , FNativeText(NativeText)
    , FBigEndian(Encoding == id3teUTF16BE)
{
}

std::string TFrameTextReader::ReadString()
{
    const uint8_t* Base = FData.data() + FPos;
    const size_t Left = FData.size() - std::min(FPos, FData.size());
    if (FEncoding == id3teUTF16 || FEncoding == id3teUTF16BE) {
        size_t Length = 0;
        while (Length + 1 < Left && !(Base[Length] == 0 && Base[Length + 1] == 0))
            Length += 2;
        const bool Terminated = Length + 1 < Left;
        if (!Terminated)
            Length = Left;
        size_t Start = 0;
        if (FEncoding == id3teUTF16 && Length >= 2) {
            if (Base[0] == 0xFF && Base[1] == 0xFE) {
                FBigEndian = false;
                Start = 2;
            } else if (Base[0] == 0xFE && Base[1] == 0xFF) {
                FBigEndian = true;
                Start = 2;
            }
        }
        FPos += Terminated ? Length + 2 : Length;
        return Utf16ToUtf8(Base + Start, Length - Start, FBigEndian);
    }
    const void* Zero = Left ? std::memchr(Base, 0, Left) : nullptr;
    const size_t Length = Zero ? size_t(static_cast<const uint8_t*>(Zero) - Base) : Left;
    FPos += Zero ? Length + 1 : Length;
    const std::string_view Bytes(reinterpret_cast<const char*>(Base), Length);
    if (FEncoding == id3teUTF8 && !FNativeText)
        return SanitizeUtf8(Bytes);
    return Cp1252ToUtf8(Bytes);
}

std::string TFrameTextReader::ReadLatin1String()
{
    const uint8_t* Base = FData.data() + FPos;
    const size_t Left = FData.size() - std::min(FPos, FData.size());
    const void* Zero = Left ? std::memchr(Base, 0, Left) : nullptr;
    const size_t Length = Zero ? size_t(static_cast<const uint8_t*>(Zero) - Base) : Left;
    FPos += Zero ? Length + 1 : Length;
    return Latin1ToUtf8({ reinterpret_cast<const char*>(Base), Length });
}

std::vector<std::string> TFrameTextReader::ReadStrings()
{
    std::vector<std::string> Strings;
    while (!AtEnd())
        Strings.push_back(ReadString());
    return Strings;
}

std::string JoinLines(const std::vector<std::string>& Lines)
{
    std::string Text;
    for (size_t I = 0; I < Lines.size(); ++I) {
        if (I > 0)
            Text += "\r\n";
        Text += Lines[I];
    }
    return Text;
}

std::vector<std::string> SplitLines(std::string_view Text)
{
    std::vector<std::string> Lines;
    if (Text.empty())
        return Lines;
    size_t Start = 0;
    while (true) {
        const size_t End = Text.find('\n', Start);
        if (End == std::string_view::npos) {
            Lines.emplace_back(Text.substr(Start));
            break;
        }
        const size_t Cut = End > Start && Text[End - 1] == '\r' ? End - 1 : End;
        Lines.emplace_back(Text.substr(Start, Cut - Start));
        Start = End + 1;
    }
    return Lines;
}

void TFrameTextWriter::UTF16String(std::string_view Text)
{
    const std::vector<uint8_t> Units = Utf8ToUtf16(Text);
    FOut.insert(FOut.end(), Units.begin(), Units.end());
    Byte(0);
    Byte(0);
}

void TFrameTextWriter::String(uint8_t Encoding, std::string_view Text)
{
    switch (Encoding) {
    case id3teUTF16:
        ByteOrderMark();
        UTF16String(Text);
        break;
    case id3teUTF8:
        FOut.insert(FOut.end(), Text.begin(), Text.end());
        Byte(0);
        break;
    default: {
        const std::string Ansi = Utf8ToCp1252(Text);
        FOut.insert(FOut.end(), Ansi.begin(), Ansi.end());
        Byte(0);
        break;
    }
    }
}

bool TFrameTextWriter::Latin1(std::string_view Text)
{
    std::string Bytes;
    if (!Utf8ToLatin1(Text, Bytes))
        return false;
    FOut.insert(FOut.end(), Bytes.begin(), Bytes.end());
    return true;
}

} // namespace vantor
