#pragma once

// The desktop's file and web services, behind an interface so that tests can stand in for
// the desktop (FakeShell.h). The program's implementation is TGioShell.

#include <optional>
#include <string>
#include <vector>

namespace vantor {

enum class TClipboardVerb {
    cvCopy,
    cvCut,
};

class IShell {
public:
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
