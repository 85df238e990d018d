// Language files from arbitrary bytes: loading and lookups must never fail.

#include "base/IniFile.h"
#include "ui/framework/LocaleManager.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    using namespace vantor;
    static TLocaleManager locale("", "");
    locale.LoadFrom(TIniFile::FromBytes(std::string_view(reinterpret_cast<char const*>(data), size)));
    std::string text;
    for (auto const& entry : locale.List()) {
        locale.Get(entry.lvID, entry.lvType, text);
        if (text.empty() && !entry.lvID.empty())
            __builtin_trap();
    }
    locale.Get("Menu.PlayQueue", kLocaleData, text);
    return 0;
}
