#include "library/FolderScan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

namespace vantor {
namespace {

namespace fs = std::filesystem;

TEST(FolderScan, TypeTestIsCaseSensitiveAndLooksAtTheLastExtension)
{
    struct TCase {
        const char* Name;
        bool Accepted;
    };
    for (TCase c :
        { TCase { "Song.mp3", true }, TCase { "Song.MP3", false }, TCase { "a.flac", true }, TCase { "a.wma", true },
            TCase { "a.m4a", true }, TCase { "a.mp3.bak", false }, TCase { "a.bak.mp3", true },
            TCase { "a.mp3x", true }, TCase { "mp3", false }, TCase { "a.ogg", false }, TCase { ".mp3", true } })
        EXPECT_EQ(AcceptableFileType(c.Name), c.Accepted) << c.Name;
}

TEST(FolderScan, SubfoldersComeFirstAndOnlyAcceptedFilesAreCollected)
{
    std::string const album = std::string(VANTOR_TEST_DATA) + "/library/scan/Album";
    std::vector<std::string> files;
    CollectFolder(album + "/", files);
    ASSERT_EQ(files.size(), 5u);
    std::set<std::string> const fromSubfolders(files.begin(), files.begin() + 3);
    EXPECT_EQ(fromSubfolders,
        (std::set<std::string> { album + "/Disc 2/a.mp3", album + "/Disc 2/b.flac", album + "/folder.mp3/g.wma" }));
    std::set<std::string> const own(files.begin() + 3, files.end());
    EXPECT_EQ(own, (std::set<std::string> { album + "/c.mp3", album + "/d.m4a" }));
    // The two files of one subfolder stay together.
    auto const a = std::find(files.begin(), files.end(), album + "/Disc 2/a.mp3");
    auto const b = std::find(files.begin(), files.end(), album + "/Disc 2/b.flac");
    EXPECT_EQ(std::abs(a - b), 1);
}

TEST(FolderScan, DropListKeepsFilesAsTheyAreAndSurvivesLinkLoops)
{
    const char* tmp = std::getenv("VANTOR_TEST_TMP");
    ASSERT_NE(tmp, nullptr);
    fs::path const root = fs::path(tmp) / "scan-loop";
    fs::remove_all(root);
    fs::create_directories(root / "a");
    std::ofstream(root / "a/x.mp3") << "x";
    std::ofstream(root / "notes.txt") << "n";
    fs::create_directory_symlink(root, root / "a/up"); // a link back to the top

    std::vector<std::string> const files =
        CollectDropped({ (root / "notes.txt").string(), root.string(), (root / "missing").string() });
    EXPECT_EQ(files, (std::vector<std::string> { (root / "notes.txt").string(), (root / "a/x.mp3").string() }));
}

}
}
