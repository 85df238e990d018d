#pragma once

// Whole-file reads and crash-safe whole-file writes.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// The bytes of a regular file, or nothing when it is missing, not a regular file or cannot
// be read. Reads at most the size the file has when opened.
std::optional<std::string> ReadWholeFile(std::filesystem::path const& path);

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it
// over the target (the file a symbolic link points at, when target is one). An existing
// file keeps its permissions. On failure the old file is left as it was and false returned.
bool ReplaceFileContents(std::filesystem::path const& target, std::string_view bytes);

}
