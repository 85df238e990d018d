#pragma once

#include "platform/shell/Shell.h"

#include <string>
#include <utility>
#include <vector>

namespace vantor {

// A desktop for tests: records every request. MoveToTrash succeeds (and records the path)
// unless TrashFails is set; nothing on disk changes. A folder dialog stays open until the test
// answers it with AnswerFolder.
class TFakeShell : public IShell {
public:
    std::vector<std::string> Trashed;
    bool TrashFails = false;
    std::vector<std::string> ClipboardPaths;
    TClipboardVerb ClipboardVerb = TClipboardVerb::cvCopy;
    std::vector<std::string> Shown;
    std::vector<std::string> Opened;
    std::string Description;
    std::string PickTitle;
    std::string PickAcceptLabel;
    TFolderAnswer PendingPick;

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
    bool PickFolder(const std::string& title, const std::string& acceptLabel, TFolderAnswer answer) override
    {
        if (PendingPick)
            return false;
        PickTitle = title;
        PickAcceptLabel = acceptLabel;
        PendingPick = std::move(answer);
        return true;
    }
    // Closes the open dialog with that answer; false when none is open.
    bool AnswerFolder(TFolderPickResult result, std::string path = {})
    {
        if (!PendingPick)
            return false;
        TFolderAnswer const answer = std::move(PendingPick);
        PendingPick = nullptr;
        answer({ result, std::move(path) });
        return true;
    }
};

}
