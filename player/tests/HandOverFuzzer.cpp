// The hand-over message parser on arbitrary bytes: a parsed hand-over encodes and parses back
// to the same arguments.

#include "player/single_instance/HandOverMessage.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    using namespace vantor;
    std::string_view const bytes(reinterpret_cast<char const*>(data), size);
    auto const message = ParseHandOverMessage(bytes);
    if (!message || message->Kind != THandOverKind::CopyData)
        return 0;
    size_t total = 0;
    for (std::string const& param : message->Params) {
        if (param.empty() || param.find('\0') != std::string::npos)
            std::abort();
        total += param.size() + 1;
    }
    if (total > size)
        std::abort();
    auto const again = ParseHandOverMessage(EncodeCopyData(message->Params, message->Tag));
    if (!again || again->Params != message->Params || again->Tag != message->Tag)
        std::abort();
    return 0;
}
