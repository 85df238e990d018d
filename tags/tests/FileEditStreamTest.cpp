#include "tags/io/FileEditStream.h"
#include "tags/io/FileStream.h"
#include "tags/io/TextCodec.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vantor;
using namespace vantor::test;

namespace {

ino_t Inode(const std::filesystem::path& path)
{
    struct stat st { };
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

} // namespace

TEST(FileStream, ReadsAroundItsBlockGiveTheFileBytes)
{
    const auto dir = ScratchDir("FileStreamReads");
    std::vector<uint8_t> bytes(10000);
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = uint8_t(i * 131 + i / 256);
    WriteBytes(dir / "f.bin", bytes);
    TFileStream file;
    ASSERT_TRUE(file.Open((dir / "f.bin").string()));
    // Offset and count: small, across a block's end, a block and more, near and past the end,
    // backwards from the end as the tag readers go.
    const struct {
        uint64_t At;
        size_t Count;
    } reads[] = {
        { 0, 10 },
        { 4090, 20 },
        { 100, 5000 },
        { 9990, 20 },
        { 9872, 128 },
        { 9840, 8 },
        { 5000, 4096 },
        { 10000, 4 },
        { 12000, 1 },
        { 8191, 2 },
        { 0, 10000 },
    };
    // Twice, the second time backwards, so that kept blocks are found again and replaced.
    std::vector<std::pair<uint64_t, size_t>> order;
    for (const auto& r : reads)
        order.emplace_back(r.At, r.Count);
    const std::vector<std::pair<uint64_t, size_t>> backwards(order.rbegin(), order.rend());
    order.insert(order.end(), backwards.begin(), backwards.end());
    for (const auto& [at, count] : order) {
        const struct {
            uint64_t At;
            size_t Count;
        } r { at, count };
        std::vector<uint8_t> got(r.Count, 0xEE);
        file.Seek(r.At);
        const size_t n = file.Read(got.data(), got.size());
        const size_t expected = r.At >= bytes.size() ? 0 : std::min(r.Count, size_t(bytes.size() - r.At));
        ASSERT_EQ(n, expected) << r.At << "+" << r.Count;
        EXPECT_TRUE(std::equal(
            got.begin(), got.begin() + ptrdiff_t(n), bytes.begin() + ptrdiff_t(std::min<uint64_t>(r.At, bytes.size()))))
            << r.At << "+" << r.Count;
        EXPECT_EQ(file.Position(), r.At + n);
    }
}

TEST(FileEditStream, OverwritesAndAppendsInPlace)
{
    const auto dir = ScratchDir("EditInPlace");
    const auto file = dir / "f.bin";
    WriteBytes(file, Bytes("0123456789"));
    const ino_t inode = Inode(file);
    TFileEditStream edit;
    ASSERT_EQ(edit.Open(file.string()), TFileEditResult::Success);
    edit.Seek(2);
    edit.Write(Bytes("ab"));
    edit.Seek(10);
    edit.Write(Bytes("XY"));
    ASSERT_EQ(edit.Commit(), TFileEditResult::Success);
    EXPECT_FALSE(edit.Rewrote());
    EXPECT_EQ(ReadBytes(file), Bytes("01ab456789XY"));
    EXPECT_EQ(Inode(file), inode);
}

// Only the bytes that differ are written: a change among equal bytes, a write that only
// repeats the file and one that starts equal and runs past the end.
TEST(FileEditStream, InPlaceChangesAmongEqualBytes)
{
    const auto dir = ScratchDir("EditAmongEqual");
    const auto file = dir / "f.bin";
    WriteBytes(file, Bytes("0123456789"));
    TFileEditStream edit;
    ASSERT_EQ(edit.Open(file.string()), TFileEditResult::Success);
    edit.Seek(1);
    edit.Write(Bytes("12x45"));
    edit.Seek(0);
    edit.Write(Bytes("0"));
    edit.Seek(6);
    edit.Write(Bytes("6789AB"));
    ASSERT_EQ(edit.Commit(), TFileEditResult::Success);
    EXPECT_FALSE(edit.Rewrote());
    EXPECT_EQ(ReadBytes(file), Bytes("012x456789AB"));
}

TEST(FileEditStream, InsertionsRewriteThroughATemporaryFile)
{
    const auto dir = ScratchDir("EditRewrite");
    const auto file = dir / "f.bin";
    WriteBytes(file, Bytes("0123456789"));
    std::filesystem::permissions(file, std::filesystem::perms(0640));
    std::filesystem::create_symlink("f.bin", dir / "link.bin");
    TFileEditStream edit;
    ASSERT_EQ(edit.Open((dir / "link.bin").string()), TFileEditResult::Success);
    ASSERT_TRUE(edit.Replace(0, 3, "HEADER", 6));
    ASSERT_TRUE(edit.Replace(edit.Size() - 1, 1, nullptr, 0));
    uint8_t buffer[32] = {};
    edit.Seek(0);
    ASSERT_EQ(edit.Read(buffer, sizeof buffer), 12u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 12), "HEADER345678");
    ASSERT_EQ(edit.Commit(), TFileEditResult::Success);
    EXPECT_TRUE(edit.Rewrote());
    EXPECT_EQ(ReadBytes(file), Bytes("HEADER345678"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.bin")); // the link still points to the file
    EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all, std::filesystem::perms(0640));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 2); // no temporary file left behind
}

TEST(FileEditStream, MissingFiles)
{
    const auto dir = ScratchDir("EditMissing");
    TFileEditStream edit;
    EXPECT_EQ(edit.Open((dir / "none").string()), TFileEditResult::CannotOpen);
    ASSERT_EQ(edit.Open((dir / "new").string(), true), TFileEditResult::Success);
    edit.Write(Bytes("abc"));
    ASSERT_EQ(edit.Commit(), TFileEditResult::Success);
    EXPECT_EQ(ReadBytes(dir / "new"), Bytes("abc"));
    EXPECT_EQ(edit.Open(dir.string()), TFileEditResult::CannotOpen); // a folder
}

TEST(FileEditStream, FailedRenameLeavesTheOldFile)
{
    const auto dir = ScratchDir("EditFail");
    const auto file = dir / "f.bin";
    WriteBytes(file, Bytes("0123456789"));
    TFileEditStream edit;
    ASSERT_EQ(edit.Open(file.string()), TFileEditResult::Success);
    edit.Replace(0, 0, "new", 3);
    // The file is replaced by a folder behind our back: rename onto it must fail.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    std::filesystem::create_directory(file / "keep");
    EXPECT_EQ(edit.Commit(), TFileEditResult::WriteFailed);
    EXPECT_TRUE(std::filesystem::is_directory(file / "keep"));
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(TextCodec, Conversions)
{
    EXPECT_EQ(Cp1252ToUtf8("\x80\xE9"), "€é");
    EXPECT_EQ(Utf8ToCp1252("€é中"), "\x80\xE9?");
    EXPECT_EQ(Utf8ToAscii("Café 中"), "Caf? ?");
    EXPECT_EQ(SanitizeUtf8("a\xFF"
                           "b"),
        "a\xEF\xBF\xBD"
        "b");
    EXPECT_EQ(Utf8OrCp1252("\xE9t\xE9"), "été");
    const auto utf16 = Utf8ToUtf16("a𝄞");
    EXPECT_EQ(Utf16ToUtf8(utf16.data(), utf16.size(), false), "a𝄞");
    EXPECT_EQ(SplitTextLines("a\r\nb\nc\r\n"), (std::vector<std::string> { "a", "b", "c" }));
    EXPECT_EQ(Utf8Length("Café"), 4u);
}
