#pragma once

// TExistingFiles answers "is there a regular file at this path?" for many paths at once, as a
// playlist load asks for every track. A folder asked about more than once is listed once
// instead of looking up each of its files, which costs the kernel a walk of the whole path
// every time. Answers reflect the moment a folder was first asked about.

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vantor {

// True when path names a regular file (symbolic links followed).
bool RegularFileExists(const std::string& path);

class TExistingFiles {
public:
    // True when path names a regular file (symbolic links followed).
    bool IsRegularFile(std::string_view path);

private:
    // Looked up by string_view, without a copy of the name.
    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view> {}(text); }
    };
    using TNames = std::unordered_set<std::string, THash, std::equal_to<>>;
    struct TFolder {
        int Asked = 0;
        bool Listed = false;
        TNames Files; // regular files found by the listing
    };
    bool ListFolder(const std::string& folder, TFolder& entry);

    std::unordered_map<std::string, TFolder, THash, std::equal_to<>> m_folders;
};

}
