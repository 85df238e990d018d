#include "player/paths/AppPaths.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vantor {
namespace {

namespace fs = std::filesystem;

void MakeTheme(fs::path const& folder, std::string const& name)
{
    fs::create_directories(folder / "Theme" / name);
    std::ofstream(folder / "Theme" / name / "ThemeData.qxs") << "theme";
}

TEST(XdgFolders, VariablesThatAreSetAndAbsoluteWin)
{
    TXdgFolders const defaults = TXdgFolders::FromValues("/home/u", nullptr, "", "relative/cache");
    EXPECT_EQ(defaults.ConfigHome, "/home/u/.config");
    EXPECT_EQ(defaults.DataHome, "/home/u/.local/share");
    EXPECT_EQ(defaults.CacheHome, "/home/u/.cache");
    TXdgFolders const set = TXdgFolders::FromValues("/home/u", "/c", "/d", "/k");
    EXPECT_EQ(set.ConfigHome, "/c");
    EXPECT_EQ(set.DataHome, "/d");
    EXPECT_EQ(set.CacheHome, "/k");
}

// The executable's folder holds the shipped themes and may be written: everything stays there.
TEST(AppPaths, APortableCopyKeepsEverythingBesideTheExecutable)
{
    fs::path const bin = testing::ScratchFolder();
    MakeTheme(bin, "default");
    TAppPaths const paths =
        TAppPaths::ForExecutable(bin, TXdgFolders::FromValues("/home/u", nullptr, nullptr, nullptr));
    EXPECT_TRUE(paths.Portable());
    EXPECT_EQ(paths.SettingsFile(), bin / "Settings.ini");
    EXPECT_EQ(paths.DataFolder(), bin.string() + "/");
    EXPECT_EQ(paths.CacheFolder(), bin / "Cache");
    EXPECT_EQ(paths.ThemeFile("default"), bin / "Theme/default/ThemeData.qxs");
}

// <prefix>/bin holds no themes: the shipped files are read from <prefix>/share/vantor, and
// everything the player writes goes to the user's folders.
TEST(AppPaths, AnInstalledPlayerWritesOnlyIntoTheUsersFolders)
{
    fs::path const root = testing::ScratchFolder();
    fs::create_directories(root / "prefix/bin");
    MakeTheme(root / "prefix/share/vantor", "default");
    MakeTheme(root / "prefix/share/vantor", "Dark");
    MakeTheme(root / "data/vantor", "Dark");
    MakeTheme(root / "data/vantor", "Mine");
    TXdgFolders const xdg { root / "config", root / "data", root / "cache" };

    TAppPaths const paths = TAppPaths::ForExecutable(root / "prefix/bin", xdg);
    EXPECT_FALSE(paths.Portable());
    EXPECT_EQ(paths.SettingsFile(), root / "config/vantor/Settings.ini");
    EXPECT_EQ(paths.DataFolder(), (root / "data/vantor/").string());
    EXPECT_EQ(paths.CacheFolder(), root / "cache/vantor");
    EXPECT_EQ(paths.ShippedFolder(), root / "prefix/share/vantor");
    EXPECT_EQ(paths.UserFolder(), root / "data/vantor");

    struct TCase {
        std::string Name;
        fs::path File;
    };
    for (TCase const& c : std::vector<TCase> {
             { "default", root / "prefix/share/vantor/Theme/default/ThemeData.qxs" },
             { "Dark", root / "data/vantor/Theme/Dark/ThemeData.qxs" }, // the user's own wins
             { "Mine", root / "data/vantor/Theme/Mine/ThemeData.qxs" },
             { "../../Mine", root / "data/vantor/Theme/Mine/ThemeData.qxs" }, // only the name counts
             { "..", root / "prefix/share/vantor/Theme/default/ThemeData.qxs" },
             { "", root / "prefix/share/vantor/Theme/default/ThemeData.qxs" },
         })
        EXPECT_EQ(paths.ThemeFile(c.Name), c.File) << c.Name;
}

}
}
