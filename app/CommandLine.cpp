#include "app/CommandLine.h"

#include "platform/shell/Shell.h"

#include <cctype>

namespace vantor {

namespace {

// "scheme:" as RFC 3986 spells it, of two letters or more so that "C:" stays a file name.
bool HasUriScheme(std::string const& text)
{
    size_t const colon = text.find(':');
    if (colon == std::string::npos || colon < 2 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    for (size_t i = 1; i < colon; ++i) {
        unsigned char const c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return false;
    }
    return true;
}

}

TCommandLine ParseCommandLine(std::vector<std::string> const& arguments, std::filesystem::path const& workingFolder)
{
    TCommandLine line;
    bool onlyFiles = false;
    for (std::string const& argument : arguments) {
        if (!onlyFiles && argument.size() > 1 && argument[0] == '-') {
            if (argument == "--") {
                onlyFiles = true;
                continue;
            }
            // Help and version win over anything else on the line.
            if (argument == "-h" || argument == "--help")
                return { TCommandAction::caHelp, {}, {} };
            if (argument == "--version")
                return { TCommandAction::caVersion, {}, {} };
            if (line.Error.empty())
                line.Error = "unknown option '" + argument + "'";
            continue;
        }
        if (argument.empty())
            continue;
        std::string file = argument;
        if (argument.compare(0, 5, "file:") == 0) {
            std::optional<std::string> path = FilePathFromUri(argument);
            if (!path) {
                if (line.Error.empty())
                    line.Error = "not a local file: " + argument;
                continue;
            }
            file = std::move(*path);
        } else if (HasUriScheme(argument)) {
            line.Files.push_back(argument);
            continue;
        }
        std::filesystem::path const path(file);
        if (path.is_relative() && !workingFolder.empty())
            file = (workingFolder / path).lexically_normal().string();
        line.Files.push_back(std::move(file));
    }
    if (!line.Error.empty()) {
        line.Action = TCommandAction::caError;
        line.Files.clear();
    }
    return line;
}

std::string PlayerUsage()
{
    return "usage: vantor [OPTION]... [FILE|URI]...\n"
           "Plays the audio files and folders given (paths or file:// URIs); a player that runs\n"
           "already takes them over.\n"
           "\n"
           "  -h, --help  shows this help\n"
           "  --version   shows the version\n"
           "  --          every argument after it is a file\n";
}

std::string PlayerVersion() { return std::string("vantor ") + VANTOR_VERSION + "\n"; }

}
