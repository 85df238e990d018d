// Text, comment, URL, user-defined text and involved-people frames.

#include "tags/id3v2/ID3v2FrameAccess.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace vantor {

bool SameTextIgnoringCase(std::string_view A, std::string_view B)
{
    const auto Fold = [](char C) { return C >= 'a' && C <= 'z' ? char(C - 32) : C; };
    return A.size() == B.size()
        && std::equal(A.begin(), A.end(), B.begin(), [&](char X, char Y) { return Fold(X) == Fold(Y); });
}

// Empties the frame at Index for a setter; null when there is no such frame.
TID3v2Frame* TID3v2Tag::FrameForWrite(int Index)
{
    TID3v2Frame* F = Frame(Index);
    if (F) {
        F->Stream.clear();
        F->DeferredOffset = 0;
        F->DeferredSize = 0;
    }
    return F;
}

// The first frame with the id, added when there is none.
int TID3v2Tag::FrameIndexForWrite(std::string_view FrameID)
{
    const int Index = FrameExists(FrameID);
    return Index >= 0 ? Index : AddFrame(FrameID);
}

// ---- Text frames

std::string TID3v2Tag::GetUnicodeText(int Index, bool ReturnNativeText) const
{
    TFrameTextReader Reader = TextReaderFor(FrameData(Frame(Index)), ReturnNativeText);
    return JoinLines(Reader.ReadStrings());
}

std::string TID3v2Tag::GetUnicodeText(std::string_view FrameID, bool ReturnNativeText) const
{
    return GetUnicodeText(FrameExists(FrameID), ReturnNativeText);
}

bool TID3v2Tag::GetUnicodeTextMultiple(int Index, std::vector<std::string>& List) const
{
    List = SplitLines(GetUnicodeText(Index));
    return !List.empty();
}

bool TID3v2Tag::GetUnicodeTextMultiple(std::string_view FrameID, std::vector<std::string>& List) const
{
    return GetUnicodeTextMultiple(FrameExists(FrameID), List);
}

bool TID3v2Tag::SetUnicodeText(int Index, std::string_view Text)
{
    return SetUnicodeTextMultiple(Index, std::vector<std::string> { std::string(Text) });
}

bool TID3v2Tag::SetUnicodeText(std::string_view FrameID, std::string_view Text)
{
    return SetUnicodeText(FrameIndexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetUnicodeTextMultiple(int Index, const std::vector<std::string>& List)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(id3teUTF16);
    W.ByteOrderMark();
    for (const std::string& Entry : List)
        W.UTF16String(Entry);
    return true;
}

bool TID3v2Tag::SetUnicodeTextMultiple(std::string_view FrameID, const std::vector<std::string>& List)
{
    return SetUnicodeTextMultiple(FrameIndexForWrite(FrameID), List);
}

bool TID3v2Tag::SetText(int Index, std::string_view Text)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(id3teANSI);
    W.String(id3teANSI, Text);
    return true;
}

bool TID3v2Tag::SetText(std::string_view FrameID, std::string_view Text)
{
    return SetText(FrameIndexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetUTF8Text(int Index, std::string_view Text)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(id3teUTF8);
    W.String(id3teUTF8, Text);
    return true;
}

bool TID3v2Tag::SetUTF8Text(std::string_view FrameID, std::string_view Text)
{
    return SetUTF8Text(FrameIndexForWrite(FrameID), Text);
}

bool TID3v2Tag::SetTLEN(int Index, uint64_t Milliseconds) { return SetText(Index, std::to_string(Milliseconds)); }

bool TID3v2Tag::GetTime(int Index, TID3v2DateTime& DateTime) const
{
    DateTime = {};
    const std::string Text = GetUnicodeText(Index);
    // Each part has a fixed width and follows its separator.
    int* Parts[] = { &DateTime.Year, &DateTime.Month, &DateTime.Day, &DateTime.Hour, &DateTime.Minute,
        &DateTime.Second };
    constexpr char Separators[] = { 0, '-', '-', 'T', ':', ':' };
    size_t Pos = 0;
    for (size_t I = 0; I < 6; ++I) {
        if (I > 0) {
            if (Pos >= Text.size() || Text[Pos] != Separators[I])
                break;
            ++Pos;
        }
        const size_t Width = I == 0 ? 4 : 2;
        const char* First = Text.data() + Pos;
        int Value = 0;
        if (Pos + Width > Text.size() || std::from_chars(First, First + Width, Value).ptr != First + Width)
            break;
        *Parts[I] = Value;
        Pos += Width;
    }
    return DateTime.Year != 0;
}

bool TID3v2Tag::SetTime(int Index, const TID3v2DateTime& DateTime)
{
    const int Parts[] = { DateTime.Year, DateTime.Month, DateTime.Day, DateTime.Hour, DateTime.Minute,
        DateTime.Second };
    int Last = 0;
    for (int I = 0; I < 6; ++I) {
        if (Parts[I] != 0)
            Last = I;
    }
    char Text[32];
    int Length = std::snprintf(Text, sizeof Text, "%04d", std::clamp(DateTime.Year, 0, 9999));
    constexpr char Separators[] = { 0, '-', '-', 'T', ':', ':' };
    for (int I = 1; I <= Last; ++I)
        Length += std::snprintf(
            Text + Length, sizeof Text - size_t(Length), "%c%02d", Separators[I], std::clamp(Parts[I], 0, 99));
    return SetText(Index, std::string_view(Text, size_t(Length)));
}

// ---- Comment and lyrics frames: encoding, language (3 bytes), description, text

std::string TID3v2Tag::GetUnicodeContent(int Index, std::string& LanguageID, std::string& Description) const
{
    LanguageID.clear();
    Description.clear();
    const std::span<const uint8_t> Data = FrameData(Frame(Index));
    if (Data.size() < 4)
        return {};
    for (size_t I = 1; I < 4; ++I) {
        if (Data[I] != 0)
            LanguageID += char(Data[I]);
    }
    LanguageID = Cp1252ToUtf8(LanguageID);
    TFrameTextReader Reader(Data.subspan(4), Data[0]);
    Description = Reader.ReadString();
    return JoinLines(Reader.ReadStrings());
}

namespace {

bool WriteContent(TID3v2Frame* F, uint8_t Encoding, std::string_view Content, std::string_view LanguageID,
    std::string_view Description)
{
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(Encoding);
    const std::string Language = Utf8ToCp1252(LanguageID);
    for (size_t I = 0; I < 3; ++I)
        W.Byte(I < Language.size() ? uint8_t(Language[I]) : 0);
    W.String(Encoding, Description);
    W.String(Encoding, Content);
    return true;
}

} // namespace

bool TID3v2Tag::SetUnicodeContent(
    int Index, std::string_view Content, std::string_view LanguageID, std::string_view Description)
{
    return WriteContent(FrameForWrite(Index), id3teUTF16, Content, LanguageID, Description);
}

bool TID3v2Tag::SetContent(
    int Index, std::string_view Content, std::string_view LanguageID, std::string_view Description)
{
    return WriteContent(FrameForWrite(Index), id3teANSI, Content, LanguageID, Description);
}

bool TID3v2Tag::SetUTF8Content(
    int Index, std::string_view Content, std::string_view LanguageID, std::string_view Description)
{
    return WriteContent(FrameForWrite(Index), id3teUTF8, Content, LanguageID, Description);
}

std::string TID3v2Tag::GetUnicodeComment(int Index, std::string& LanguageID, std::string& Description) const
{
    const TID3v2Frame* F = Frame(Index);
    if (!F || !F->HasId("COMM")) {
        LanguageID.clear();
        Description.clear();
        return {};
    }
    return GetUnicodeContent(Index, LanguageID, Description);
}

bool TID3v2Tag::SetUnicodeComment(
    int Index, std::string_view Comment, std::string_view LanguageID, std::string_view Description)
{
    return SetUnicodeContent(Index, Comment, LanguageID, Description);
}

int TID3v2Tag::FindUnicodeCommentByDescription(std::string_view Description) const
{
    std::string Language, FrameDescription;
    for (int I = 0; I < FrameCount(); ++I) {
        if (!Frames[size_t(I)]->HasId("COMM"))
            continue;
        GetUnicodeContent(I, Language, FrameDescription);
        if (FrameDescription == Description)
            return I;
    }
    return -1;
}

bool TID3v2Tag::SetUnicodeCommentByDescription(
    std::string_view Description, std::string_view LanguageID, std::string_view Comment)
{
    int Index = FindUnicodeCommentByDescription(Description);
    if (Index < 0)
        Index = AddFrame("COMM");
    return SetUnicodeContent(Index, Comment, LanguageID, Description);
}

std::string TID3v2Tag::GetUnicodeLyrics(int Index, std::string& LanguageID, std::string& Description) const
{
    const TID3v2Frame* F = Frame(Index);
    if (!F || !F->HasId("USLT")) {
        LanguageID.clear();
        Description.clear();
        return {};
    }
    return GetUnicodeContent(Index, LanguageID, Description);
}

bool TID3v2Tag::SetUnicodeLyrics(
    int Index, std::string_view Lyrics, std::string_view LanguageID, std::string_view Description)
{
    return SetUnicodeContent(Index, Lyrics, LanguageID, Description);
}

// ---- URL frames: the address one byte per character, no terminator

std::string TID3v2Tag::GetURL(int Index) const
{
    const std::span<const uint8_t> Data = FrameData(Frame(Index));
    if (Data.empty())
        return {};
    if (Data[0] <= id3teUTF8)
        return GetUnicodeText(Index);
    TFrameTextReader Reader(Data, id3teANSI);
    return Reader.ReadLatin1String();
}

std::string TID3v2Tag::GetURL(std::string_view FrameID) const { return GetURL(FrameExists(FrameID)); }

bool TID3v2Tag::SetURL(int Index, std::string_view URL)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    if (TFrameTextWriter(F->Stream).Latin1(URL))
        return true;
    F->Stream.clear();
    return false;
}

bool TID3v2Tag::SetURL(std::string_view FrameID, std::string_view URL)
{
    return SetURL(FrameIndexForWrite(FrameID), URL);
}

// ---- User-defined URL (WXXX): encoding, description, address

std::string TID3v2Tag::GetUnicodeUserDefinedURLLink(int Index, std::string& Description) const
{
    Description.clear();
    const std::span<const uint8_t> Data = FrameData(Frame(Index));
    if (Data.empty())
        return {};
    TFrameTextReader Reader(Data.subspan(1), Data[0]);
    Description = Reader.ReadString();
    TFrameTextReader Address(Reader.Rest(), id3teANSI);
    return Address.ReadLatin1String();
}

namespace {

bool WriteUserURL(TID3v2Frame* F, uint8_t Encoding, std::string_view URL, std::string_view Description)
{
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(Encoding);
    W.String(Encoding, Description);
    if (W.Latin1(URL))
        return true;
    F->Stream.clear();
    return false;
}

} // namespace

bool TID3v2Tag::SetUnicodeUserDefinedURLLink(int Index, std::string_view URL, std::string_view Description)
{
    return WriteUserURL(FrameForWrite(Index), id3teUTF16, URL, Description);
}

bool TID3v2Tag::SetUserDefinedURLLink(int Index, std::string_view URL, std::string_view Description)
{
    return WriteUserURL(FrameForWrite(Index), id3teANSI, URL, Description);
}

bool TID3v2Tag::SetUTF8UserDefinedURLLink(int Index, std::string_view URL, std::string_view Description)
{
    return WriteUserURL(FrameForWrite(Index), id3teUTF8, URL, Description);
}

int TID3v2Tag::FindUnicodeUserDefinedURLLinkByDescription(std::string_view Description) const
{
    std::string FrameDescription;
    for (int I = 0; I < FrameCount(); ++I) {
        if (!Frames[size_t(I)]->HasId("WXXX"))
            continue;
        GetUnicodeUserDefinedURLLink(I, FrameDescription);
        if (FrameDescription == Description)
            return I;
    }
    return -1;
}

bool TID3v2Tag::SetUnicodeUserDefinedURLLinkByDescription(std::string_view Description, std::string_view URL)
{
    int Index = FindUnicodeUserDefinedURLLinkByDescription(Description);
    if (Index < 0)
        Index = AddFrame("WXXX");
    return SetUnicodeUserDefinedURLLink(Index, URL, Description);
}

// ---- User-defined text (TXXX): encoding, description, values

bool TID3v2Tag::GetUnicodeUserDefinedTextInformationMultiple(
    int Index, std::string& Description, std::vector<std::string>& List) const
{
    Description.clear();
    List.clear();
    const std::span<const uint8_t> Data = FrameData(Frame(Index));
    if (Data.empty())
        return false;
    TFrameTextReader Reader(Data.subspan(1), Data[0]);
    Description = Reader.ReadString();
    List = Reader.ReadStrings();
    return !List.empty();
}

std::string TID3v2Tag::GetUnicodeUserDefinedTextInformation(int Index, std::string& Description) const
{
    std::vector<std::string> List;
    GetUnicodeUserDefinedTextInformationMultiple(Index, Description, List);
    return JoinLines(List);
}

bool TID3v2Tag::SetUnicodeUserDefinedTextInformationMultiple(
    int Index, std::string_view Description, const std::vector<std::string>& List)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(id3teUTF16);
    W.ByteOrderMark();
    W.UTF16String(Description);
    W.ByteOrderMark();
    for (const std::string& Value : List)
        W.UTF16String(Value);
    return true;
}

bool TID3v2Tag::SetUnicodeUserDefinedTextInformation(int Index, std::string_view Description, std::string_view Text)
{
    return SetUnicodeUserDefinedTextInformationMultiple(Index, Description, { std::string(Text) });
}

namespace {

bool WriteUserText(TID3v2Frame* F, uint8_t Encoding, std::string_view Description, std::string_view Text)
{
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(Encoding);
    W.String(Encoding, Description);
    W.String(Encoding, Text);
    return true;
}

} // namespace

bool TID3v2Tag::SetUserDefinedTextInformation(int Index, std::string_view Description, std::string_view Text)
{
    return WriteUserText(FrameForWrite(Index), id3teANSI, Description, Text);
}

bool TID3v2Tag::SetUTF8UserDefinedTextInformation(int Index, std::string_view Description, std::string_view Text)
{
    return WriteUserText(FrameForWrite(Index), id3teUTF8, Description, Text);
}

int TID3v2Tag::FindTXXXByDescription(std::string_view Description) const
{
    for (int I = 0; I < FrameCount(); ++I) {
        const std::span<const uint8_t> Data = Frames[size_t(I)]->Stream;
        if (!Frames[size_t(I)]->HasId("TXXX") || Data.empty())
            continue;
        TFrameTextReader Reader(Data.subspan(1), Data[0]);
        if (SameTextIgnoringCase(Reader.ReadString(), Description))
            return I;
    }
    return -1;
}

bool TID3v2Tag::FindTXXXByDescriptionMultiple(std::string_view Description, std::vector<std::string>& List) const
{
    List.clear();
    const int Index = FindTXXXByDescription(Description);
    std::string FrameDescription;
    return Index >= 0 && GetUnicodeUserDefinedTextInformationMultiple(Index, FrameDescription, List);
}

bool TID3v2Tag::SetUnicodeTXXXByDescription(std::string_view Description, std::string_view Text)
{
    return SetUnicodeTXXXByDescriptionMultiple(Description, { std::string(Text) });
}

bool TID3v2Tag::SetUnicodeTXXXByDescriptionMultiple(std::string_view Description, const std::vector<std::string>& List)
{
    int Index = FindTXXXByDescription(Description);
    if (Index < 0)
        Index = AddFrame("TXXX");
    return SetUnicodeUserDefinedTextInformationMultiple(Index, Description, List);
}

// ---- Involved-people lists (TIPL, TMCL): role and person strings in pairs

bool TID3v2Tag::GetUnicodeListFrame(int Index, std::vector<std::string>& List) const
{
    List.clear();
    const std::span<const uint8_t> Data = FrameData(Frame(Index));
    if (Data.empty())
        return false;
    TFrameTextReader Reader(Data.subspan(1), Data[0]);
    const std::vector<std::string> Strings = Reader.ReadStrings();
    for (size_t I = 0; I < Strings.size(); I += 2)
        List.push_back(Strings[I] + "=" + (I + 1 < Strings.size() ? Strings[I + 1] : std::string()));
    return !List.empty();
}

bool TID3v2Tag::SetUnicodeListFrame(int Index, const std::vector<std::string>& List)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    W.Byte(id3teUTF16);
    W.ByteOrderMark();
    for (const std::string& Entry : List) {
        const size_t Equals = Entry.find('=');
        W.UTF16String(std::string_view(Entry).substr(0, Equals));
        W.UTF16String(Equals == std::string::npos ? std::string_view() : std::string_view(Entry).substr(Equals + 1));
    }
    return true;
}

} // namespace vantor
