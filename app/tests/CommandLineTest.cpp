#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using TArgs = std::vector<std::string>;

TEST(CommandLine, FilesBecomeAbsolutePaths)
{
    struct TCase {
        TArgs Arguments;
        TArgs Files;
    };
    for (TCase const& c : std::vector<TCase> {
             { { "a.mp3", "../b/c.flac", "/abs/d.ogg" }, { "/home/u/a.mp3", "/home/b/c.flac", "/abs/d.ogg" } },
             { { "file:///music/a%20b.mp3", "file://localhost/x.wav" }, { "/music/a b.mp3", "/x.wav" } },
             // after "--" an argument that looks like an option is a file
             { { "--", "--help", "-x.mp3" }, { "/home/u/--help", "/home/u/-x.mp3" } },
             // "-" alone and a drive-like prefix are names; other schemes pass as they are
             { { "-", "C:song.mp3", "http://radio/stream" },
                 { "/home/u/-", "/home/u/C:song.mp3", "http://radio/stream" } },
         }) {
        TCommandLine const line = ParseCommandLine(c.Arguments, "/home/u");
        EXPECT_EQ(line.Action, TCommandAction::caRun) << line.Error;
        EXPECT_EQ(line.Files, c.Files);
    }
}

TEST(CommandLine, OptionsAndErrors)
{
    struct TCase {
        TArgs Arguments;
        TCommandAction Action;
        std::string Error;
    };
    for (TCase const& c :
        std::vector<TCase> {
            { { "--help" }, TCommandAction::caHelp, "" },
            { { "a.mp3", "-h" }, TCommandAction::caHelp, "" },
            { { "--bogus", "--version" }, TCommandAction::caVersion, "" },
            { { "a.mp3", "--bogus", "-q" }, TCommandAction::caError, "unknown option '--bogus'" },
            { { "file://server/share/a.mp3" }, TCommandAction::caError, "not a local file: file://server/share/a.mp3" },
        }) {
        TCommandLine const line = ParseCommandLine(c.Arguments, "/home/u");
        EXPECT_EQ(line.Action, c.Action) << c.Arguments[0];
        EXPECT_EQ(line.Error, c.Error);
        EXPECT_TRUE(line.Files.empty()) << "nothing plays unless the line is good";
    }
}

}
}
