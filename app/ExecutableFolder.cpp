#include "app/ExecutableFolder.h"

#include <filesystem>
#include <system_error>

namespace vantor {

std::string ExecutableFolder()
{
    std::error_code error;
    std::filesystem::path const exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || !exe.has_parent_path())
        return "./";
    std::string folder = exe.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

}
