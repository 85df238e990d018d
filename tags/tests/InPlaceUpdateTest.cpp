// A tag change that fits the padding of a FLAC or M4A file is written in place: only bytes of
// the tag area are written, the audio is neither moved nor rewritten, and the file stays the
// same file.

#include "tags/Tags.h"
#include "tags/io/Bytes.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace vantor {
namespace {

using namespace vantor::test;

// A file image that logs every range written to it.
class TWriteLog final : public TStream {
public:
    explicit TWriteLog(std::vector<uint8_t> bytes)
        : FFile(std::move(bytes))
    {
    }

    std::vector<std::pair<uint64_t, uint64_t>> Writes; // [from, to)
    bool Moved = false;                                // a write changed the length

    uint64_t BytesWritten() const
    {
        uint64_t total = 0;
        for (const auto& [from, to] : Writes)
            total += to - from;
        return total;
    }
    const std::vector<uint8_t>& Bytes() const { return FFile.Bytes(); }

    uint64_t Size() const override { return FFile.Size(); }
    uint64_t Position() const override { return FFile.Position(); }
    bool Seek(uint64_t position) override { return FFile.Seek(position); }
    size_t Read(void* buffer, size_t count) override { return FFile.Read(buffer, count); }
    bool Write(const void* buffer, size_t count) override
    {
        const uint64_t at = Position();
        Writes.emplace_back(at, at + count);
        Moved = Moved || at + count > Size();
        return FFile.Write(buffer, count);
    }
    bool Truncate(uint64_t size) override
    {
        Moved = Moved || size != Size();
        return FFile.Truncate(size);
    }
    bool Replace(uint64_t offset, uint64_t removeCount, const void* buffer, size_t count) override
    {
        Writes.emplace_back(offset, offset + count);
        Moved = Moved || removeCount != count;
        return FFile.Replace(offset, removeCount, buffer, count);
    }
    using TStream::Write;

private:
    TMemoryStream FFile;
};

// Where the audio starts: behind the last FLAC metadata block, at the MP4 "mdat" atom.
uint64_t FlacAudioStart(const std::vector<uint8_t>& file)
{
    uint64_t at = 4;
    while (at + 4 <= file.size()) {
        const bool last = file[at] & 0x80;
        at += 4 + GetBE24(&file[at + 1]);
        if (last)
            return at;
    }
    return 0;
}

uint64_t MP4AudioStart(const std::vector<uint8_t>& file)
{
    uint64_t at = 0;
    while (at + 8 <= file.size()) {
        if (std::equal(file.begin() + long(at) + 4, file.begin() + long(at) + 8, "mdat"))
            return at;
        const uint64_t size = GetBE32(&file[at]);
        if (size < 8)
            return 0;
        at += size;
    }
    return 0;
}

uint64_t Inode(const std::string& path)
{
    struct stat info { };
    return ::stat(path.c_str(), &info) == 0 ? uint64_t(info.st_ino) : 0;
}

TEST(InPlaceUpdate, WritesStayInsideTheTagArea)
{
    const auto dir = ScratchDir("InPlaceUpdate");
    const struct {
        const char* Fixture;
        TTagType Type;
        uint64_t (*AudioStart)(const std::vector<uint8_t>&);
    } cases[] = {
        { "flac/tagged.flac", ttFlac, FlacAudioStart },
        { "mp4/aac-faststart.m4a", ttMP4, MP4AudioStart }, // the movie in front of the audio
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Fixture);
        const std::string path = ScratchCopy(c.Fixture, dir);
        {
            // A first save lays the tag out with its padding; it may rewrite the file.
            TTags tags;
            tags.LoadFromFile(path);
            tags.SetTag("TITLE", "Title");
            tags.SetTag("ARTIST", "Artist");
            tags.SetTag("ALBUM", "Album");
            std::vector<uint8_t> cover(20000, 0x55);
            cover[0] = 0xFF;
            cover[1] = 0xD8;
            TMemoryView picture(cover.data(), cover.size());
            tags.AddCoverArt("Cover art 1", picture, "image/jpeg")->CoverType = 3;
            ASSERT_EQ(tags.SaveToFile(path, c.Type), tlSuccess);
        }
        const std::vector<uint8_t> before = ReadBytes(path);
        const uint64_t audioStart = c.AudioStart(before);
        ASSERT_GT(audioStart, 0u);

        const auto change = [&](TTags& tags) {
            ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
            tags.SetTag("TITLE", "A title some forty characters longer than before");
            tags.SetTag("COMMENT", "and a new comment");
        };
        TTags tags;
        change(tags);
        TWriteLog log(before);
        ASSERT_EQ(tags.SaveToStream(log, c.Type), tlSuccess);
        EXPECT_FALSE(log.Moved);
        ASSERT_FALSE(log.Writes.empty());
        for (const auto& [from, to] : log.Writes)
            EXPECT_LE(to, audioStart) << "write [" << from << ", " << to << ")";
        EXPECT_LT(log.BytesWritten(), audioStart);
        RecordProperty(std::string(c.Fixture) + " bytes written", std::to_string(log.BytesWritten()));
        std::printf("%s: %llu bytes written of %zu, tag area %llu bytes\n", c.Fixture,
            static_cast<unsigned long long>(log.BytesWritten()), before.size(),
            static_cast<unsigned long long>(audioStart));

        // The file itself: the same file, the same size, and the same bytes from the audio on.
        const uint64_t inode = Inode(path);
        TTags onFile;
        change(onFile);
        ASSERT_EQ(onFile.SaveToFile(path, c.Type), tlSuccess);
        const std::vector<uint8_t> after = ReadBytes(path);
        EXPECT_EQ(Inode(path), inode);
        ASSERT_EQ(after.size(), before.size());
        EXPECT_TRUE(std::equal(after.begin() + long(audioStart), after.end(), before.begin() + long(audioStart)));
        EXPECT_EQ(after, log.Bytes());
    }
}

} // namespace
} // namespace vantor
