// Time-stamped lyrics from arbitrary bytes: the lines come out sorted, as valid UTF-8, and no
// larger than the input allows.

#include "base/TextFileEncoding.h"
#include "library/LrcLyrics.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vantor;
    std::string_view const text(reinterpret_cast<const char*>(data), size);
    std::vector<TLrcLine> const lines = ParseLrc(text);
    size_t bytes = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        bytes += lines[n].Text.size();
        if (lines[n].TimeMs < 0 || (n > 0 && lines[n].TimeMs < lines[n - 1].TimeMs) || !IsValidUtf8(lines[n].Text))
            std::abort();
        if (LrcLineAt(lines, lines[n].TimeMs) < static_cast<int>(n))
            std::abort();
    }
    if (bytes > size * 4 + 4096)
        std::abort();
    return 0;
}
