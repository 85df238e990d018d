#include "library/FileTrash.h"

#include "platform/shell/GioShell.h"

namespace vantor {

// The desktop shell keeps no state between calls, so each call makes its own.
bool MoveFileToTrash(const std::string& path) { return TGioShell().MoveToTrash(path); }

bool ShowFileInFileManager(const std::string& path) { return TGioShell().ShowInFileManager(path); }

}
