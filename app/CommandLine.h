#pragma once

// The player's command line: options are read before anything else happens (help and version
// answer without a window and without asking a running player), and what remains are the
// files to play, as absolute paths whether they came as paths or as "file:" URIs (a file
// manager passes either).
//
//   TCommandLine const line = ParseCommandLine(arguments, std::filesystem::current_path());
//   if (line.Action == TCommandAction::caHelp) std::fputs(PlayerUsage().c_str(), stdout);

#include <filesystem>
#include <string>
#include <vector>

namespace vantor {

enum class TCommandAction {
    caRun,
    caHelp,
    caVersion,
    caError, // Error says why; the exit status is 2
};

struct TCommandLine {
    TCommandAction Action = TCommandAction::caRun;
    std::vector<std::string> Files;
    std::string Error;
};

// arguments: without the program's own name. workingFolder makes relative paths absolute, so
// that a running player in another folder finds them; empty leaves them as they are. "--"
// ends the options; a URI of another scheme is passed on as it is.
TCommandLine ParseCommandLine(std::vector<std::string> const& arguments, std::filesystem::path const& workingFolder);

// The text of --help and of --version.
std::string PlayerUsage();
std::string PlayerVersion();

}
