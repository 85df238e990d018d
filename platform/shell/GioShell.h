#pragma once

#include "platform/shell/Shell.h"

#include <memory>

namespace vantor {

// The desktop services through GIO and the freedesktop conventions: the trash, content types,
// the file manager's D-Bus interface and the default browser. The clipboard is SDL's text
// clipboard, so the window must exist for it. The folder dialog is the desktop portal's file
// chooser, or zenity where no portal answers; its answers wait on a private GLib context that
// the UI thread runs with Dispatch.
//
//   TGioShell shell;
//   timer.OnTimer = [&] { shell.Dispatch(); };
class TGioShell : public IShell {
public:
    TGioShell();
    // Closes an open folder dialog without answering.
    ~TGioShell() override;
    TGioShell(const TGioShell&) = delete;
    TGioShell& operator=(const TGioShell&) = delete;

    bool MoveToTrash(const std::string& path) override;
    bool PutFilesOnClipboard(const std::vector<std::string>& paths, TClipboardVerb verb) override;
    std::string ContentTypeDescription(const std::string& path) override;
    bool ShowInFileManager(const std::string& path) override;
    bool OpenWebPage(const std::string& url) override;
    bool PickFolder(const std::string& title, const std::string& acceptLabel, TFolderAnswer answer) override;

    // Runs the desktop's answers that have arrived; UI thread, never blocks.
    void Dispatch();

private:
    struct TPicker;
    std::unique_ptr<TPicker> m_picker; // GLib callbacks get it as their user data
};

}
