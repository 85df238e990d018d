#pragma once

#include <string>

namespace vantor {

// The desktop's file services for tracks (the platform shell).
// Moves a file to the trash; true when it was moved.
bool MoveFileToTrash(const std::string& path);
// Opens the file manager with the file selected.
bool ShowFileInFileManager(const std::string& path);

}
