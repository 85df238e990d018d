#include "app/CommandLine.h"
#include "app/ExecutableFolder.h"
#include "app/VantorForm.h"
#include "base/Collation.h"
#include "player/single_instance/SingleInst.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

int main(int argc, char** argv)
{
    vantor::UseEnvironmentLocale();
    std::error_code noFolder;
    std::filesystem::path const workingFolder = std::filesystem::current_path(noFolder);
    vantor::TCommandLine line =
        vantor::ParseCommandLine(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), workingFolder);
    switch (line.Action) {
    case vantor::TCommandAction::caHelp: std::fputs(vantor::PlayerUsage().c_str(), stdout); return 0;
    case vantor::TCommandAction::caVersion: std::fputs(vantor::PlayerVersion().c_str(), stdout); return 0;
    case vantor::TCommandAction::caError:
        std::fprintf(stderr, "vantor: %s\nTry 'vantor --help' for more information.\n", line.Error.c_str());
        return 2;
    case vantor::TCommandAction::caRun: break;
    }
    std::vector<std::string> arguments = std::move(line.Files);
    try {
        // Before anything is shown or read: a running player takes the arguments instead.
        vantor::TSingleInst guard;
        if (!guard.CanStartApp(arguments))
            return 0;
        vantor::TVantorForm form(std::move(arguments),
            vantor::TAppPaths::ForExecutable(vantor::ExecutableFolder(), vantor::TXdgFolders::FromEnvironment()),
            &guard);
        if (!form.FormCreate())
            return 1;
        form.FormShow();
        form.Run();
        form.FormDestroy();
    } catch (std::exception const& error) {
        std::fprintf(stderr, "vantor: %s\n", error.what());
        return 1;
    }
    return 0;
}
