#pragma once

#include "platform/shell/Shell.h"

namespace vantor {

// The desktop services through GIO and the freedesktop conventions: the trash, content types,
// the file manager's D-Bus interface and the default browser. The clipboard is SDL's text
// clipboard, so the window must exist for it.
class TGioShell : public IShell {
public:
    bool MoveToTrash(const std::string& path) override;
    bool PutFilesOnClipboard(const std::vector<std::string>& paths, TClipboardVerb verb) override;
    std::string ContentTypeDescription(const std::string& path) override;
    bool ShowInFileManager(const std::string& path) override;
    bool OpenWebPage(const std::string& url) override;
};

}
