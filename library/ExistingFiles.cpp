#include "library/ExistingFiles.h"

#include <dirent.h>
#include <sys/stat.h>

namespace vantor {

bool RegularFileExists(const std::string& path)
{
    struct stat status;
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool TExistingFiles::IsRegularFile(std::string_view path)
{
    size_t const slash = path.rfind('/');
    if (slash == std::string_view::npos || slash + 1 == path.size())
        return RegularFileExists(std::string(path));
    std::string_view const folder = path.substr(0, slash + 1);
    auto found = m_folders.find(folder);
    if (found == m_folders.end())
        found = m_folders.emplace(std::string(folder), TFolder()).first;
    TFolder& entry = found->second;
    // A folder asked about once is not worth a listing.
    if (!entry.Listed && ++entry.Asked >= 2)
        entry.Listed = ListFolder(found->first, entry);
    if (!entry.Listed)
        return RegularFileExists(std::string(path));
    return entry.Files.contains(path.substr(slash + 1));
}

bool TExistingFiles::ListFolder(const std::string& folder, TFolder& entry)
{
    DIR* const dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    while (struct dirent const* const item = ::readdir(dir)) {
        std::string name(item->d_name);
        // Links and entries of unknown type are looked up; the listing says what the rest are.
        bool const regular = item->d_type == DT_REG
            || ((item->d_type == DT_LNK || item->d_type == DT_UNKNOWN) && RegularFileExists(folder + name));
        if (regular)
            entry.Files.insert(std::move(name));
    }
    ::closedir(dir);
    return true;
}

}
