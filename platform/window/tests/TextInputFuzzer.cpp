// Text typed into the window arrives as UTF-8 from the input method; any bytes must decode
// to valid code points without crashing.

#include "platform/window/SdlInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto const points = vantor::CodePointsOfUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
    if (points.size() > size)
        std::abort();
    for (char32_t p : points)
        if (p > 0x10FFFF || (p >= 0xD800 && p <= 0xDFFF))
            std::abort();
    return 0;
}
