#include "platform/shell/GioShell.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vantor {
namespace {

namespace fs = std::filesystem;

TEST(Shell, FileClipboardTextNamesTheVerbAndEncodesEveryPath)
{
    std::string const text = FileClipboardText({ "/music/a b.mp3", "/music/ü#%.flac" }, TClipboardVerb::cvCut);
    EXPECT_EQ(text,
        "x-special/nautilus-clipboard\ncut\n"
        "file:///music/a%20b.mp3\n"
        "file:///music/%C3%BC%23%25.flac\n");
    EXPECT_EQ(FileClipboardText({ "/x" }, TClipboardVerb::cvCopy), "x-special/nautilus-clipboard\ncopy\nfile:///x\n");
}

TEST(Shell, FilePathFromUriTakesLocalFilesOnly)
{
    struct TCase {
        std::string Uri;
        std::optional<std::string> Path;
    };
    for (TCase const& c : std::vector<TCase> {
             { "file:///music/a%20b.mp3", "/music/a b.mp3" },
             { "file://localhost/music/%C3%BC.flac", "/music/\xC3\xBC.flac" },
             { FileUri("/m/#?%.ogg"), "/m/#?%.ogg" },
             { "file://server/music/a.mp3", std::nullopt },
             { "http://example.com/a.mp3", std::nullopt },
             { "file:relative.mp3", std::nullopt },
             { "file:///music/%00.mp3", std::nullopt },
             { std::string("file:///a\0b", 11), std::nullopt },
         })
        EXPECT_EQ(FilePathFromUri(c.Uri), c.Path) << c.Uri;
}

// The trash lives under XDG_DATA_HOME, pointed into the scratch folder before GLib reads it,
// so the user's own trash is never touched.
TEST(Shell, MoveToTrashFollowsTheFreedesktopLayout)
{
    const char* tmp = std::getenv("VANTOR_TEST_TMP");
    ASSERT_NE(tmp, nullptr);
    fs::path const root = fs::path(tmp) / "trash";
    fs::remove_all(root);
    fs::create_directories(root / "data");
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    fs::path const song = root / "Song.mp3";
    std::ofstream(song) << "audio";

    TGioShell shell;
    ASSERT_TRUE(shell.MoveToTrash(song.string()));
    EXPECT_FALSE(fs::exists(song));
    EXPECT_TRUE(fs::exists(root / "data/Trash/files/Song.mp3"));
    EXPECT_TRUE(fs::exists(root / "data/Trash/info/Song.mp3.trashinfo"));
    EXPECT_FALSE(shell.MoveToTrash(song.string())) << "a file that is gone cannot be trashed";
}

TEST(Shell, DescribesContentTypesAndRefusesNonWebAddresses)
{
    TGioShell shell;
    EXPECT_FALSE(shell.ContentTypeDescription(std::string(VANTOR_TEST_DATA) + "/audio/sine.mp3").empty());
    EXPECT_FALSE(shell.OpenWebPage("file:///etc/passwd"));
    EXPECT_FALSE(shell.OpenWebPage("javascript:alert(1)"));
}

}
}
