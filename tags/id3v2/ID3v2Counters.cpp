// Play counter, popularimeter, unique file identifier and private frames.

#include "tags/id3v2/ID3v2FrameAccess.h"
#include "tags/id3v2/ID3v2Tag.h"

namespace vantor {

namespace {

void PutBE32(std::vector<uint8_t>& Out, uint32_t Value)
{
    for (int Shift = 24; Shift >= 0; Shift -= 8)
        Out.push_back(uint8_t(Value >> Shift));
}

// An owner text up to 0x00 followed by bytes (UFID, PRIV).
bool GetOwnerAndData(std::span<const uint8_t> Data, std::string& Owner, std::vector<uint8_t>& Bytes)
{
    Owner.clear();
    Bytes.clear();
    if (Data.empty())
        return false;
    TFrameTextReader Reader(Data, id3teANSI);
    Owner = Reader.ReadLatin1String();
    Bytes.assign(Reader.Rest().begin(), Reader.Rest().end());
    return true;
}

bool SetOwnerAndData(TID3v2Frame* F, std::string_view Owner, std::span<const uint8_t> Bytes)
{
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    if (!W.Latin1(Owner)) {
        F->Stream.clear();
        return false;
    }
    W.Byte(0);
    W.Bytes(Bytes);
    return true;
}

} // namespace

// All bytes big-endian; only the low 32 bits of a longer counter remain.
uint32_t TID3v2Tag::GetPlayCount(int Index) const
{
    uint32_t Count = 0;
    for (const uint8_t B : FrameData(Frame(Index)))
        Count = Count << 8 | B;
    return Count;
}

uint32_t TID3v2Tag::GetPlayCount(std::string_view FrameID) const { return GetPlayCount(FrameExists(FrameID)); }

bool TID3v2Tag::SetPlayCount(int Index, uint32_t PlayCount)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    PutBE32(F->Stream, PlayCount);
    return true;
}

bool TID3v2Tag::SetPlayCount(std::string_view FrameID, uint32_t PlayCount)
{
    return SetPlayCount(FrameIndexForWrite(FrameID), PlayCount);
}

// e-mail up to 0x00, rating byte, then up to 4 bytes of counter.
bool TID3v2Tag::GetPopularimeter(int Index, std::string& Email, uint32_t& PlayCounter, uint8_t& Rating) const
{
    Email.clear();
    PlayCounter = 0;
    Rating = 0;
    const std::span<const uint8_t> Data = FrameData(Frame(Index));
    if (Data.empty())
        return false;
    TFrameTextReader Reader(Data, id3teANSI);
    Email = Reader.ReadLatin1String();
    const std::span<const uint8_t> Rest = Reader.Rest();
    if (Rest.empty())
        return true;
    Rating = Rest[0];
    for (size_t I = 1; I < Rest.size() && I <= 4; ++I)
        PlayCounter = PlayCounter << 8 | Rest[I];
    return true;
}

int TID3v2Tag::FindPopularimeter(std::string_view Email) const
{
    std::string FrameEmail;
    uint32_t Counter;
    uint8_t Rating;
    for (int I = 0; I < FrameCount(); ++I) {
        if (Frames[size_t(I)]->HasId("POPM") && GetPopularimeter(I, FrameEmail, Counter, Rating) && FrameEmail == Email)
            return I;
    }
    return -1;
}

bool TID3v2Tag::SetPopularimeter(int Index, std::string_view Email, uint8_t Rating, uint32_t PlayCounter)
{
    TID3v2Frame* F = FrameForWrite(Index);
    if (!F)
        return false;
    TFrameTextWriter W(F->Stream);
    if (!W.Latin1(Email)) {
        F->Stream.clear();
        return false;
    }
    W.Byte(0);
    W.Byte(Rating);
    PutBE32(F->Stream, PlayCounter);
    return true;
}

bool TID3v2Tag::SetPopularimeterByEmail(std::string_view Email, uint8_t Rating, uint32_t PlayCounter)
{
    int Index = FindPopularimeter(Email);
    if (Index < 0)
        Index = AddFrame("POPM");
    return SetPopularimeter(Index, Email, Rating, PlayCounter);
}

bool TID3v2Tag::GetUFID(int Index, std::string& Owner, std::vector<uint8_t>& Identifier) const
{
    return GetOwnerAndData(FrameData(Frame(Index)), Owner, Identifier);
}

int TID3v2Tag::FindUFIDByOwnerIdentifier(std::string_view Owner) const
{
    std::string FrameOwner;
    std::vector<uint8_t> Identifier;
    for (int I = 0; I < FrameCount(); ++I) {
        if (Frames[size_t(I)]->HasId("UFID") && GetUFID(I, FrameOwner, Identifier) && FrameOwner == Owner)
            return I;
    }
    return -1;
}

bool TID3v2Tag::SetUFID(int Index, std::string_view Owner, std::span<const uint8_t> Identifier)
{
    return SetOwnerAndData(FrameForWrite(Index), Owner, Identifier);
}

bool TID3v2Tag::SetUFIDByOwnerIdentifier(std::string_view Owner, std::span<const uint8_t> Identifier)
{
    int Index = FindUFIDByOwnerIdentifier(Owner);
    if (Index < 0)
        Index = AddFrame("UFID");
    return SetUFID(Index, Owner, Identifier);
}

bool TID3v2Tag::GetPrivate(int Index, std::string& Owner, std::vector<uint8_t>& Data) const
{
    return GetOwnerAndData(FrameData(Frame(Index)), Owner, Data);
}

bool TID3v2Tag::SetPrivate(int Index, std::string_view Owner, std::span<const uint8_t> Data)
{
    return SetOwnerAndData(FrameForWrite(Index), Owner, Data);
}

} // namespace vantor
