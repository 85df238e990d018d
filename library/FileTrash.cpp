#include "library/FileTrash.h"

#include "platform/shell/GioShell.h"

namespace vantor {

namespace {

IShell& DesktopShell()
{
    static TGioShell shell;
    return shell;
}

}

bool MoveFileToTrash(const std::string& path) { return DesktopShell().MoveToTrash(path); }

bool ShowFileInFileManager(const std::string& path) { return DesktopShell().ShowInFileManager(path); }

}
