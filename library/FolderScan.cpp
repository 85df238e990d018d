#include "library/FolderScan.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <set>
#include <utility>

namespace vantor {

namespace {

struct TDirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

using TFolderId = std::pair<dev_t, ino_t>;

// Joins without doubling the separator: "/music/" and "a" give "/music/a".
std::string Join(const std::string& folder, const char* name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool IsFolder(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsDots(const char* name) { return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)); }

void Collect(const std::string& folder, std::vector<std::string>& files, std::set<TFolderId>& visited,
    const TScanCancelled& cancelled)
{
    struct stat info;
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return;
    // Symbolic links are followed like folders, so a link back up the tree would never end.
    if (!visited.insert({ info.st_dev, info.st_ino }).second)
        return;
    std::unique_ptr<DIR, TDirCloser> dir(opendir(folder.c_str()));
    if (!dir)
        return;

    // One listing, two passes: subfolders first, then the folder's own files.
    std::vector<std::pair<std::string, bool>> entries; // name, is a folder
    while (dirent* entry = readdir(dir.get())) {
        if (IsDots(entry->d_name))
            continue;
        bool folderEntry = entry->d_type == DT_DIR;
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            folderEntry = IsFolder(Join(folder, entry->d_name));
        entries.emplace_back(entry->d_name, folderEntry);
    }
    dir.reset();

    for (const auto& [name, isFolder] : entries) {
        if (cancelled && cancelled())
            return;
        if (isFolder)
            Collect(Join(folder, name.c_str()), files, visited, cancelled);
    }
    for (const auto& [name, isFolder] : entries)
        if (!isFolder && AcceptableFileType(name))
            files.push_back(Join(folder, name.c_str()));
}

}

bool AcceptableFileType(const std::string& FileName)
{
    size_t const dot = FileName.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string_view const ext = std::string_view(FileName).substr(dot);
    for (std::string_view accepted : { ".mp3", ".flac", ".wma", ".m4a" })
        if (ext.find(accepted) != std::string_view::npos)
            return true;
    return false;
}

void CollectFolder(const std::string& folder, std::vector<std::string>& files, const TScanCancelled& cancelled)
{
    std::set<TFolderId> visited;
    Collect(folder, files, visited, cancelled);
}

std::vector<std::string> CollectDropped(const std::vector<std::string>& paths, const TScanCancelled& cancelled)
{
    std::vector<std::string> files;
    for (const std::string& path : paths) {
        if (cancelled && cancelled())
            break;
        struct stat info;
        if (stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
            files.push_back(path);
        else
            CollectFolder(path, files, cancelled);
    }
    return files;
}

std::vector<std::string> CollectFolders(const std::vector<std::string>& folders, const TScanCancelled& cancelled)
{
    std::vector<std::string> files;
    for (const std::string& folder : folders) {
        if (cancelled && cancelled())
            break;
        CollectFolder(folder, files, cancelled);
    }
    return files;
}

namespace {

// Folders nested deeper than this are not walked (a guard against pathological trees).
constexpr int kMaxFolderDepth = 64;

void CollectFiles(
    const std::filesystem::path& folder, std::string_view namePart, int depth, std::vector<std::string>& files)
{
    if (depth > kMaxFolderDepth)
        return;
    std::error_code error;
    std::vector<std::filesystem::path> subfolders;
    std::vector<std::filesystem::path> own;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code statusError;
        // Linked folders are not followed, so a link to a parent cannot loop.
        if (it->is_symlink(statusError) && it->is_directory(statusError))
            continue;
        if (it->is_directory(statusError))
            subfolders.push_back(it->path());
        else if (it->path().filename().string().find(namePart) != std::string::npos)
            own.push_back(it->path());
    }
    for (auto const& subfolder : subfolders)
        CollectFiles(subfolder, namePart, depth + 1, files);
    for (auto const& file : own)
        files.push_back(file.string());
}

}

void CollectFilesNamed(const std::filesystem::path& folder, std::string_view namePart, std::vector<std::string>& files)
{
    CollectFiles(folder, namePart, 0, files);
}

}
