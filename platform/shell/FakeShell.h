#pragma once

#include "platform/shell/Shell.h"

#include <string>
#include <vector>

namespace vantor {

// A desktop for tests: records every request. MoveToTrash succeeds (and records the path)
// unless TrashFails is set; nothing on disk changes.
class TFakeShell : public IShell {
public:
    std::vector<std::string> Trashed;
    bool TrashFails = false;
    std::vector<std::string> ClipboardPaths;
    TClipboardVerb ClipboardVerb = TClipboardVerb::cvCopy;
    std::vector<std::string> Shown;
    std::vector<std::string> Opened;
    std::string Description;

    bool MoveToTrash(const std::string& path) override
    {
        if (TrashFails)
            return false;
        Trashed.push_back(path);
        return true;
    }
    bool PutFilesOnClipboard(const std::vector<std::string>& paths, TClipboardVerb verb) override
    {
        ClipboardPaths = paths;
        ClipboardVerb = verb;
        return true;
    }
    std::string ContentTypeDescription(const std::string&) override { return Description; }
    bool ShowInFileManager(const std::string& path) override
    {
        Shown.push_back(path);
        return true;
    }
    bool OpenWebPage(const std::string& url) override
    {
        Opened.push_back(url);
        return true;
    }
};

}
