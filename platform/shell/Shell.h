#pragma once

// The desktop's file and web services, behind an interface so that tests can stand in for
// the desktop (FakeShell.h). The program's implementation is TGioShell.

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vantor {

enum class TClipboardVerb {
    cvCopy,
    cvCut,
};

enum class TFolderPickResult {
    fpPicked,      // Path names an existing folder
    fpCancelled,   // the user closed the dialog without a folder
    fpUnavailable, // the desktop offers no folder dialog
};

struct TFolderPick {
    TFolderPickResult Result = TFolderPickResult::fpCancelled;
    std::string Path;
};

class IShell {
public:
    using TFolderAnswer = std::function<void(const TFolderPick& pick)>;

    virtual ~IShell() = default;

    // Moves the file to the user's trash (the freedesktop trash), silently. False
    // when it could not be moved; the file is then untouched.
    virtual bool MoveToTrash(const std::string& path) = 0;
    // Puts the files on the clipboard the way the file manager's own copy or cut does.
    virtual bool PutFilesOnClipboard(const std::vector<std::string>& paths, TClipboardVerb verb) = 0;
    // The human-readable description of the file's type ("MP3 audio"); empty when unknown.
    virtual std::string ContentTypeDescription(const std::string& path) = 0;
    // Opens the file manager with the file selected (or at least its folder shown).
    virtual bool ShowInFileManager(const std::string& path) = 0;
    // Opens an http or https address in the user's browser; other schemes are refused.
    virtual bool OpenWebPage(const std::string& url) = 0;
    // Opens the desktop's folder dialog with that title and accept-button label and returns at
    // once; answer runs later on the UI thread, exactly once, unless the shell goes first. False
    // (and answer dropped) while another folder dialog of this shell is open.
    virtual bool PickFolder(const std::string& title, const std::string& acceptLabel, TFolderAnswer answer) = 0;
};

// "file://" URI of an absolute path, with every byte outside the unreserved set and "/"
// percent-encoded.
std::string FileUri(const std::string& path);

// The local path a "file:" URI names (percent-decoded; the host empty or "localhost"). Null
// for another scheme, another host or an address that is not well formed.
std::optional<std::string> FilePathFromUri(const std::string& uri);

// The clipboard text for files: the marker line the GNOME file manager reads from plain text,
// the verb ("copy" or "cut") and one file URI per line. Other programs see the URIs as text.
std::string FileClipboardText(const std::vector<std::string>& paths, TClipboardVerb verb);

}
