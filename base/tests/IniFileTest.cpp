#include "base/IniFile.h"

#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace vantor {
namespace {

using testing::ReadBytes;
using testing::ScratchFolder;
using testing::TFileSizeLimit;
using testing::WriteBytes;
using Pairs = std::vector<std::pair<std::string, std::string>>;

std::filesystem::path const kData = std::filesystem::path(VANTOR_TEST_DATA) / "settings";

TEST(IniFile, ReadsSectionsAndKeysWithoutCaseFirstOccurrenceWinning)
{
    TIniFile const ini(kData / "sample.ini");
    ASSERT_TRUE(ini.WasRead());
    EXPECT_DOUBLE_EQ(ini.ReadFloat("#SETTINGS", "VOLUME", 0), 0.75);  // not the later "volume"
    EXPECT_DOUBLE_EQ(ini.ReadFloat("#Settings", "Balance", 0), -0.5); // blanks trimmed, comma
    EXPECT_FALSE(ini.ReadBool("#Settings", "Mute", false));
    EXPECT_TRUE(ini.ReadBool("#Settings", "Mute", true));
    // the second "[#settings]" block reads as part of the same section
    EXPECT_EQ(ini.ReadString("#Settings", "Language", "x"), "Deutsch.vlng");
    EXPECT_EQ(ini.ReadString("#Settings", "Missing", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadString("Nowhere", "Volume", "dflt"), "dflt");
    EXPECT_FALSE(ini.ValueExists("#Settings", "no equals sign here"));
    EXPECT_TRUE(ini.SectionExists("empty"));
    EXPECT_TRUE(ini.ReadSection("Empty").empty());

    EXPECT_EQ(ini.ReadSections(), (std::vector<std::string> { "#Settings", "Presets", "Empty" }));
    EXPECT_EQ(
        ini.ReadSection("#settings"), (std::vector<std::string> { "Volume", "Balance", "Mute", "volume", "Language" }));
    EXPECT_EQ(ini.ReadSectionValues("presets"),
        (Pairs { { "Manual", "1,2,3,4,5,6,7,8,9,10" }, { "Rock", "5,4,3,0,-1,-1,0,3,4,5" } }));
}

TEST(IniFile, NonAsciiNamesCompareWithoutCase)
{
    auto ini = TIniFile::FromBytes("[Ärger]\nÉtoile=1\n");
    EXPECT_EQ(ini.ReadString("ärger", "éTOILE", ""), "1");
}

TEST(IniFile, UntouchedFileIsWrittenBackByteForByte)
{
    std::string const original = ReadBytes(kData / "sample.ini");
    EXPECT_EQ(TIniFile::FromBytes(original).ToBytes(), original);
    std::string const crlf = ReadBytes(kData / "utf8bom-crlf.ini");
    EXPECT_EQ(TIniFile::FromBytes(crlf).ToBytes(), crlf);
}

TEST(IniFile, ChangesTouchOnlyTheirOwnLines)
{
    auto ini = TIniFile::FromBytes("; note\n[A]\nx = 1\nkeep=me\n\n[B]\ny=2\n");
    EXPECT_TRUE(ini.WriteString("a", "X", "10")); // existing key keeps its spelling
    EXPECT_TRUE(ini.WriteString("A", "z", "3"));  // new key after the last key of [A]
    EXPECT_TRUE(ini.WriteInteger("C", "n", -4));  // new section at the end
    EXPECT_EQ(ini.ToBytes(), "; note\n[A]\nx=10\nkeep=me\nz=3\n\n[B]\ny=2\n[C]\nn=-4\n");

    EXPECT_TRUE(ini.EnsureSection("b")); // exists: nothing changes
    EXPECT_TRUE(ini.EnsureSection("#Linked"));
    EXPECT_FALSE(ini.EnsureSection("a]b"));
    EXPECT_EQ(ini.ToBytes(), "; note\n[A]\nx=10\nkeep=me\nz=3\n\n[B]\ny=2\n[C]\nn=-4\n[#Linked]\n");
    EXPECT_TRUE(ini.EraseSection("#linked"));

    EXPECT_TRUE(ini.DeleteKey("A", "KEEP"));
    EXPECT_TRUE(ini.EraseSection("b"));
    EXPECT_EQ(ini.ToBytes(), "; note\n[A]\nx=10\nz=3\n\n[C]\nn=-4\n");
    EXPECT_TRUE(ini.Clear());
    EXPECT_EQ(ini.ToBytes(), "");
    EXPECT_FALSE(ini.SectionExists("A"));
}

TEST(IniFile, DuplicatesUpdateTheFirstAndDeleteRemovesAll)
{
    auto ini = TIniFile::FromBytes("[S]\nk=1\nK=2\n[s]\nk=3\n");
    ini.WriteString("S", "k", "9");
    EXPECT_EQ(ini.ToBytes(), "[S]\nk=9\nK=2\n[s]\nk=3\n");
    ini.DeleteKey("S", "k");
    EXPECT_EQ(ini.ToBytes(), "[S]\n[s]\n");
    ini.EraseSection("S");
    EXPECT_EQ(ini.ToBytes(), "");
}

TEST(IniFile, ValuesStayOneLineAndBadNamesAreRefused)
{
    auto ini = TIniFile::FromBytes("");
    EXPECT_TRUE(ini.WriteString("S", "k", "line1\r\n[Evil]\nx=1"));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "line1  [Evil] x=1");
    EXPECT_FALSE(ini.SectionExists("Evil"));
    // a stray byte must not turn the whole file into one that reads back as Windows-1252
    EXPECT_TRUE(ini.WriteString("S", "bad",
        "Fran\xC3\xA7"
        "ais \xFF"));
    EXPECT_EQ(TIniFile::FromBytes(ini.ToBytes()).ReadString("S", "bad", ""), "Français \xEF\xBF\xBD");
    EXPECT_TRUE(ini.WriteString("S", "eq", "a=b"));
    EXPECT_EQ(TIniFile::FromBytes(ini.ToBytes()).ReadString("S", "eq", ""), "a=b");

    std::string const before = ini.ToBytes();
    for (auto key : { "", "a=b", "a\nb", "[x", ";c", "  " })
        EXPECT_FALSE(ini.WriteString("S", key, "v")) << key;
    for (auto section : { "", "a]b", "a\nb" })
        EXPECT_FALSE(ini.WriteString(section, "k", "v")) << section;
    EXPECT_EQ(ini.ToBytes(), before);
}

TEST(IniFile, KeepsLineEndingsAndEncodings)
{
    // CR LF in, CR LF out, for changed and new lines too
    auto crlf = TIniFile::FromBytes("[A]\r\nx=1\r\n");
    crlf.WriteString("A", "y", "2");
    EXPECT_EQ(crlf.ToBytes(), "[A]\r\nx=1\r\ny=2\r\n");
    EXPECT_EQ(TIniFile::FromBytes("").LineEnding(), TLineEnding::LF);

    struct Case {
        char const* file;
        TTextEncoding encoding;
    };
    for (Case const c : { Case { "utf16le.ini", TTextEncoding::Utf16LE },
             Case { "utf16be.ini", TTextEncoding::Utf16BE }, Case { "utf8bom-crlf.ini", TTextEncoding::Utf8Bom } }) {
        SCOPED_TRACE(c.file);
        std::string const bytes = ReadBytes(kData / c.file);
        auto ini = TIniFile::FromBytes(bytes);
        EXPECT_EQ(ini.Encoding(), c.encoding);
        EXPECT_EQ(ini.LineEnding(), TLineEnding::CRLF);
        EXPECT_EQ(ini.ReadString("#Settings", "Language", ""), "Français.vlng");
        EXPECT_EQ(ini.ReadString("#Settings", "ThemeName", ""), "テーマ");
        EXPECT_EQ(ini.ReadString("#Settings", "Note", ""), "🎵 music"); // surrogate pair
        EXPECT_EQ(ini.ToBytes(), bytes);

        ini.WriteString("#Settings", "Volume", "0.5");
        auto again = TIniFile::FromBytes(ini.ToBytes());
        EXPECT_EQ(again.Encoding(), c.encoding);
        EXPECT_EQ(again.ReadString("#Settings", "Volume", ""), "0.5");
        EXPECT_EQ(again.ReadString("#Settings", "Note", ""), "🎵 music");
    }
}

TEST(IniFile, EightBitFilesReadAsWindows1252)
{
    auto ini = TIniFile(kData / "cp1252.ini");
    EXPECT_EQ(ini.ReadString("#Settings", "Language", ""), "Français.vlng");
    EXPECT_EQ(ini.ReadString("#Settings", "Euro", ""), "€ 5");
    EXPECT_EQ(ini.Encoding(), TTextEncoding::Utf8);
}

TEST(IniFile, DamagedUtf16GivesReplacementCharactersNotACrash)
{
    // unpaired high surrogate, unpaired low surrogate, odd trailing byte
    char const bytes[] = "\xFF\xFE[\0S\0]\0\n\0k\0=\0\x00\xD8x\0\x00\xDC\n\0z";
    auto ini = TIniFile::FromBytes(std::string_view(bytes, sizeof bytes - 1));
    EXPECT_EQ(ini.ReadString("S", "k", ""), "\xEF\xBF\xBDx\xEF\xBF\xBD");
}

TEST(IniFile, KeyByKeyWritesAtOnceWholeFileOnUpdate)
{
    auto const folder = ScratchFolder();
    auto const path = folder / "a.ini";

    TIniFile keyed(path, TIniAccess::KeyByKey);
    EXPECT_FALSE(keyed.WasRead());
    ASSERT_TRUE(keyed.WriteString("S", "k", "1"));
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");

    TIniFile whole(path, TIniAccess::WholeFile);
    EXPECT_EQ(whole.ReadString("S", "k", ""), "1");
    whole.WriteString("S", "k", "2");
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");
    ASSERT_TRUE(whole.UpdateFile());
    EXPECT_EQ(ReadBytes(path), "[S]\nk=2\n");

    // no temporary files left behind
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
    EXPECT_FALSE(TIniFile::FromBytes("").UpdateFile()); // no path to write to
}

TEST(IniFile, RewriteKeepsPermissionsAndFollowsSymlinks)
{
    auto const folder = ScratchFolder();
    auto const real = folder / "real.ini";
    WriteBytes(real, "[S]\nk=1\n");
    ::chmod(real.c_str(), 0640);
    std::filesystem::create_symlink("real.ini", folder / "link.ini");

    TIniFile ini(folder / "link.ini", TIniAccess::KeyByKey);
    ASSERT_TRUE(ini.WriteString("S", "k", "2"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder / "link.ini"));
    EXPECT_EQ(ReadBytes(real), "[S]\nk=2\n");
    struct stat info { };
    ASSERT_EQ(::stat(real.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(IniFile, FailedWriteReportsFalseAndKeepsTheOldFile)
{
    auto const folder = ScratchFolder();
    auto const path = folder / "a.ini";
    WriteBytes(path, "[S]\nk=1\n");
    TIniFile ini(path, TIniAccess::KeyByKey);
    bool written = true;
    {
        TFileSizeLimit const limit(4); // the new text does not fit: the write itself fails
        ASSERT_TRUE(limit.Set());
        written = ini.WriteString("S", "k", "2");
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(ReadBytes(path), "[S]\nk=1\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1)
        << "no temporary file is left behind";
}

TEST(IniFile, FailedRenameLeavesNoTemporaryFile)
{
    auto const folder = ScratchFolder();
    std::filesystem::create_directories(folder / "taken.ini" / "inside");
    TIniFile ini(folder / "taken.ini", TIniAccess::KeyByKey);
    EXPECT_FALSE(ini.WriteString("S", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "taken.ini" / "inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

TEST(IniFile, UnreadableFileIsNeverOverwritten)
{
    auto const folder = ScratchFolder();
    auto const fifo = folder / "pipe.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TIniFile ini(fifo, TIniAccess::KeyByKey);
    EXPECT_TRUE(ini.Unreadable());
    EXPECT_FALSE(ini.WriteString("S", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));

    if (::geteuid() != 0) {
        auto const locked = folder / "locked.ini";
        WriteBytes(locked, "[S]\nsecret=1\n");
        ::chmod(locked.c_str(), 0);
        TIniFile settings(locked, TIniAccess::WholeFile);
        settings.WriteString("S", "k", "1");
        EXPECT_FALSE(settings.UpdateFile());
        ::chmod(locked.c_str(), 0600);
        EXPECT_EQ(ReadBytes(locked), "[S]\nsecret=1\n");
    }
}

TEST(IniFile, WriteIntoMissingFolderFails)
{
    auto const folder = ScratchFolder();
    TIniFile ini(folder / "no" / "such" / "a.ini", TIniAccess::KeyByKey);
    EXPECT_FALSE(ini.WriteString("S", "k", "1"));
    EXPECT_FALSE(std::filesystem::exists(folder / "no"));
}

TEST(IniFile, UnreadablePathsGiveAnEmptyFile)
{
    auto const folder = ScratchFolder();
    for (auto const& path : { folder, folder / "missing.ini", std::filesystem::path("/dev/zero") }) {
        TIniFile ini(path);
        EXPECT_FALSE(ini.WasRead()) << path;
        EXPECT_TRUE(ini.ReadSections().empty());
    }
}

TEST(IniFile, ArbitraryBytesNeverBreakTheParser)
{
    std::string const inputs[] = {
        std::string("\0\0\0[\0]=\0", 9),
        "[",
        "]",
        "[]\n=\n[ ]\nk=",
        "\r\r\r\n\n",
        "\xFE\xFF",
        "\xFF\xFE\x00",
        "\xC3",
        "[S]\nk=\xFF\xFE",
        "[S\nk=v",
        "[S]]\nk=v",
        "a\n[S]\r\r\nk=v\r\r\n",
    };
    for (std::string const& input : inputs) {
        auto ini = TIniFile::FromBytes(input);
        auto reread = TIniFile::FromBytes(ini.ToBytes());
        EXPECT_EQ(reread.ReadSections(), ini.ReadSections());
        EXPECT_EQ(reread.ToBytes(), ini.ToBytes());
    }
}

}
}
