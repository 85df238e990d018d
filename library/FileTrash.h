#pragma once

#include <string>

namespace vantor {

// Moves a file to the desktop's trash; true when it was moved.
bool MoveFileToTrash(const std::string& path);

}
