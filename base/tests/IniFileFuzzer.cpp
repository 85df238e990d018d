// INI files from arbitrary bytes: parsing, reading and rewriting must never fail, and a
// rewritten file must read back the same.

#include "base/IniFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    using namespace vantor;
    auto ini = TIniFile::FromBytes(std::string_view(reinterpret_cast<char const*>(data), size));
    auto const sections = ini.ReadSections();
    for (auto const& section : sections) {
        for (auto const& key : ini.ReadSection(section)) {
            if (!ini.ValueExists(section, key))
                __builtin_trap();
            ini.ReadInteger(section, key, 0);
            ini.ReadFloat(section, key, 0.0);
        }
    }
    std::string const bytes = ini.ToBytes();
    auto reread = TIniFile::FromBytes(bytes);
    if (reread.ReadSections() != sections || reread.ToBytes() != bytes)
        __builtin_trap();

    if (!sections.empty()) {
        ini.WriteString(sections.front(), "FuzzKey", "value");
        ini.DeleteKey(sections.back(), "FuzzKey");
        ini.EraseSection(sections.back());
    }
    ini.WriteString("Fuzz", "Key", std::string_view(reinterpret_cast<char const*>(data), size));
    if (TIniFile::FromBytes(ini.ToBytes()).ReadSections() != ini.ReadSections())
        __builtin_trap();
    return 0;
}
