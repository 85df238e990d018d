#include "tags/TagTypes.h"

namespace vantor {

std::string ListEntryName(const std::string& entry)
{
    const size_t eq = entry.find('=');
    return eq == std::string::npos ? entry : entry.substr(0, eq);
}

std::string ListEntryValue(const std::string& entry)
{
    const size_t eq = entry.find('=');
    return eq == std::string::npos ? std::string() : entry.substr(eq + 1);
}

} // namespace vantor
