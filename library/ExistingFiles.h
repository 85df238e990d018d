#pragma once

// TExistingFiles answers "is there a regular file at this path?" for many paths at once, as a
// playlist load asks for every track. A folder asked about more than once is listed once
// instead of looking up each of its files, which costs the kernel a walk of the whole path
// every time. Answers reflect the moment a folder was first asked about.

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace vantor {

class TExistingFiles {
public:
    // True when path names a regular file (symbolic links followed).
    bool IsRegularFile(std::string_view path);

private:
    struct TFolder {
        int Asked = 0;
        bool Listed = false;
        std::unordered_set<std::string> Files; // regular files found by the listing
    };
    bool ListFolder(const std::string& folder, TFolder& entry);

    std::unordered_map<std::string, TFolder> m_folders;
};

}
