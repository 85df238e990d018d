#include "base/SafeFileWriter.h"

#include "base/IniFile.h"
#include "tests/support/SafeWriteFaults.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace vantor;
using namespace vantor::testing;

namespace {

mode_t ModeOf(std::filesystem::path const& path)
{
    struct stat info { };
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

}

TEST(SafeFileWriter, FailedSettingsSavesKeepTheOldFile)
{
    auto const path = ScratchFolder() / "Settings.ini";
    WriteBytes(path, "[Options]\r\nVolume=80\r\n");
    ExpectFailedSavesKeepTheFile(path, [&] {
        TIniFile ini(path, TIniAccess::WholeFile);
        ini.WriteInteger("Options", "Volume", 55);
        return ini.UpdateFile();
    });
}

TEST(SafeFileWriter, ModeOwnerAndLinks)
{
    auto const folder = ScratchFolder();

    // A new file gets what the umask leaves of 0666.
    mode_t const mask = ::umask(027);
    bool const created = ReplaceFileContents(folder / "new", "n");
    ::umask(mask);
    ASSERT_TRUE(created);
    EXPECT_EQ(ModeOf(folder / "new"), 0640u);

    // An old file keeps its mode, and its owner when we may give it away.
    auto const old = folder / "old";
    WriteBytes(old, "old");
    ASSERT_EQ(::chmod(old.c_str(), 0604), 0);
    bool const privileged = ::geteuid() == 0;
    if (privileged) {
        ASSERT_EQ(::chown(old.c_str(), 4321, 4322), 0);
    }
    ASSERT_TRUE(ReplaceFileContents(old, "new"));
    EXPECT_EQ(ReadBytes(old), "new");
    EXPECT_EQ(ModeOf(old), 0604u);
    if (privileged) {
        struct stat info { };
        ASSERT_EQ(::stat(old.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, 4321u);
        EXPECT_EQ(info.st_gid, 4322u);
    }

    // A link is followed and stays a link; a link to nowhere is left alone.
    std::filesystem::create_symlink("old", folder / "link");
    ASSERT_TRUE(ReplaceFileContents(folder / "link", "through the link"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link"));
    EXPECT_EQ(ReadBytes(old), "through the link");
    std::filesystem::create_symlink("missing/file", folder / "dangling");
    EXPECT_FALSE(ReplaceFileContents(folder / "dangling", "x"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "dangling"));
    EXPECT_EQ(FolderEntries(folder), (std::set<std::string> { "dangling", "link", "new", "old" }));
}

TEST(SafeFileWriter, StreamsPiecewiseAndDiscardsWithoutCommit)
{
    auto const folder = ScratchFolder();
    auto const path = folder / "track";
    WriteBytes(path, "old");
    {
        TSafeFileWriter writer(path);
        ASSERT_TRUE(writer.IsOpen());
        ASSERT_TRUE(writer.Write("0123456789"));
        ASSERT_TRUE(writer.WriteAt(2, "ab", 2));
        ASSERT_TRUE(writer.Truncate(8));
        ASSERT_TRUE(writer.Write("!"));
        char back[16] = {};
        EXPECT_EQ(writer.ReadAt(0, back, sizeof back), 9u);
        EXPECT_EQ(std::string(back, 9), "01ab4567!");
        EXPECT_EQ(FolderEntries(folder).size(), 2u);
    }
    // dropped uncommitted: the temporary file goes, the old file stays
    EXPECT_EQ(ReadBytes(path), "old");
    EXPECT_EQ(FolderEntries(folder), (std::set<std::string> { "track" }));
}

// A save killed at any moment leaves the old file or the new one, whole.
TEST(SafeFileWriter, KilledMidSaveLeavesTheOldOrTheNewFile)
{
    auto const folder = ScratchFolder();
    auto const path = folder / "big";
    // Same size, different in every byte: a mix of the two or a cut-off file shows.
    std::string const first(4 << 20, 'a');
    std::string const second(4 << 20, 'b');
    ASSERT_TRUE(ReplaceFileContents(path, first));
    std::mt19937 random(20261211);
    for (int round = 0; round < 20; ++round) {
        pid_t const child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (unsigned i = 0;; ++i)
                ReplaceFileContents(path, i % 2 ? first : second);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 25000));
        ASSERT_EQ(::kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        std::string const now = ReadBytes(path);
        EXPECT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
        // a killed save can only leave its hidden temporary file behind
        for (auto const& name : FolderEntries(folder)) {
            if (name != "big") {
                EXPECT_EQ(name.rfind(".big.", 0), 0u) << name;
                std::filesystem::remove(folder / name);
            }
        }
    }
}
