// Command lines and tag fields from arbitrary bytes (NUL separates the arguments): parsing
// never fails, a good line gives only absolute paths or URIs, and a bad one gives no files.

#include "app/CommandLine.h"
#include "app/TrackDetails.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    using namespace vantor;
    std::string const text(reinterpret_cast<char const*>(data), size);
    std::vector<std::string> arguments;
    size_t start = 0;
    for (size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        arguments.push_back(text.substr(start, end - start));
    arguments.push_back(text.substr(start));

    TCommandLine const line = ParseCommandLine(arguments, "/home/user");
    if (line.Action != TCommandAction::caRun && !line.Files.empty())
        __builtin_trap();
    for (std::string const& file : line.Files)
        if (file.empty() || (file[0] != '/' && file.find(':') == std::string::npos))
            __builtin_trap();
    for (std::string const& argument : arguments)
        if (LeadingTrackNumber(argument) < 0)
            __builtin_trap();
    return 0;
}
