#pragma once

// Builders for hand-made ID3v2 tags and frames, and scratch files for the tests.

#include "tags/io/Bytes.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::test {

using TBytes = std::vector<uint8_t>;

inline TBytes Bytes(std::string_view Text) { return TBytes(Text.begin(), Text.end()); }
inline TBytes Bytes(std::initializer_list<int> Values)
{
    TBytes Out;
    for (int V : Values)
        Out.push_back(uint8_t(V));
    return Out;
}
inline TBytes operator+(TBytes A, const TBytes& B)
{
    A.insert(A.end(), B.begin(), B.end());
    return A;
}

inline TBytes BE32(uint32_t V)
{
    TBytes Out(4);
    PutBE32(Out.data(), V);
    return Out;
}
inline TBytes Syncsafe(uint32_t V)
{
    TBytes Out(4);
    PutSyncsafe32(Out.data(), V);
    return Out;
}

// A tag header with the given body; the size field is the body's length unless given.
inline TBytes Tag(uint8_t Major, uint8_t Flags, const TBytes& Body, int64_t SizeField = -1)
{
    return Bytes({ 'I', 'D', '3', Major, 0, Flags }) + Syncsafe(uint32_t(SizeField < 0 ? Body.size() : SizeField))
        + Body;
}
inline TBytes Frame2(std::string_view Id, const TBytes& Data)
{
    const uint32_t S = uint32_t(Data.size());
    return Bytes(Id) + Bytes({ int(S >> 16 & 0xFF), int(S >> 8 & 0xFF), int(S & 0xFF) }) + Data;
}
inline TBytes Frame3(std::string_view Id, const TBytes& Data, uint16_t Flags = 0, int64_t SizeField = -1)
{
    return Bytes(Id) + BE32(uint32_t(SizeField < 0 ? Data.size() : SizeField)) + Bytes({ Flags >> 8, Flags & 0xFF })
        + Data;
}
inline TBytes Frame4(std::string_view Id, const TBytes& Data, uint16_t Flags = 0)
{
    return Bytes(Id) + Syncsafe(uint32_t(Data.size())) + Bytes({ Flags >> 8, Flags & 0xFF }) + Data;
}

inline std::filesystem::path ScratchDir()
{
    const char* Env = std::getenv("VANTOR_TEST_TMP");
    std::filesystem::path Dir = Env ? Env : std::filesystem::temp_directory_path() / "vantor-id3v2-tests";
    std::filesystem::create_directories(Dir);
    return Dir;
}

inline TBytes ReadFileBytes(const std::filesystem::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return TBytes(std::istreambuf_iterator<char>(In), {});
}

inline void WriteFileBytes(const std::filesystem::path& Path, const TBytes& Data)
{
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
}

inline std::filesystem::path FixturePath(std::string_view Area, std::string_view Name)
{
    return std::filesystem::path(VANTOR_TEST_DATA) / "tags" / Area / Name;
}

// A scratch copy of a fixture, fresh for each call.
inline std::filesystem::path ScratchCopy(std::string_view Area, std::string_view Name, std::string_view As)
{
    const std::filesystem::path Target = ScratchDir() / As;
    std::filesystem::remove(Target);
    std::filesystem::copy_file(FixturePath(Area, Name), Target);
    return Target;
}

} // namespace vantor::test
