#pragma once

// Collecting the audio files of dropped paths and linked folders, in the order they are added
// to a list: a folder's subfolders (depth-first) come before its own files, and within a
// folder the file system's listing order holds. Any thread.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The type test of folder scans: the extension (from the last dot, dot included) contains
// ".mp3", ".flac", ".wma" or ".m4a". Case-sensitive: "Song.MP3" is not accepted.
bool AcceptableFileType(const std::string& FileName);

// Asked between entries; true ends the collection early with what was found so far.
using TScanCancelled = std::function<bool()>;

// The accepted files under folder, appended to files. A folder reached twice (through a
// symbolic link back up the tree) is listed once; unreadable folders are skipped.
void CollectFolder(const std::string& folder, std::vector<std::string>& files, const TScanCancelled& cancelled = {});

// The files of a drop list: an existing file as it is (not type-tested), anything else taken
// as a folder and collected.
std::vector<std::string> CollectDropped(const std::vector<std::string>& paths, const TScanCancelled& cancelled = {});

// The files under folder whose name contains namePart: the subfolders' first (depth-first, in
// listing order), then the folder's own, in listing order. Linked folders are not followed.
void CollectFilesNamed(const std::filesystem::path& folder, std::string_view namePart, std::vector<std::string>& files);

// The files of the linked folders, folder by folder.
std::vector<std::string> CollectFolders(const std::vector<std::string>& folders, const TScanCancelled& cancelled = {});

}
