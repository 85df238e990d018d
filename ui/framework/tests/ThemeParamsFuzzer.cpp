#include "ui/framework/ThemeParams.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view const text(reinterpret_cast<const char*>(data), size);
    for (std::string_view name : { "Margins", "Offset", "Name", "Size", "Color", "Bold" }) {
        std::string_view const content = vantor::ThemeParamText(text, name, '(', "");
        for (std::string_view sub : { "Left", "Top", "Right", "Bottom" })
            (void)vantor::ThemeParamInt(content, sub, '[', 0);
        (void)vantor::ThemeParamInt(text, name, '(', 0);
    }
    return 0;
}
