// Pictures loaded without their bytes: what a listing sees of them, fetching the bytes, and
// saves that keep every picture byte for byte.

#include "tags/Tags.h"
#include "tags/asf/WMATag.h"
#include "tags/flac/FlacTag.h"
#include "tags/id3v2/ID3v2Tag.h"
#include "tags/io/FileStream.h"
#include "tags/ogg/OpusTag.h"
#include "tags/tests/InteropTools.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string_view>

namespace vantor {
namespace {

using namespace vantor::test;

// Noise behind a picture signature (APEv2 knows a PNG by all four bytes of its signature).
std::vector<uint8_t> Noise(size_t size, std::string_view signature, unsigned seed)
{
    std::vector<uint8_t> bytes(size);
    std::mt19937 random(seed);
    for (auto& b : bytes)
        b = uint8_t(random());
    std::copy(signature.begin(), signature.end(), bytes.begin());
    return bytes;
}

struct TPicture {
    std::vector<uint8_t> Bytes;
    std::string MIMEType, Description;
    uint32_t CoverType;
    TTagPictureFormat Format;
    bool Deferred; // large enough to be left in the file
};

std::vector<TPicture> Pictures()
{
    return {
        { Noise(70000, "\xFF\xD8", 1), "image/jpeg", "front", 3, tpfJPEG, true },
        { Noise(600, "\x89PNG", 2), "image/png", "small", 4, tpfPNG, false },
        { Noise(5000, "\x89PNG", 3), "image/png", "", 0, tpfPNG, true },
    };
}

// MD5 of the decoded audio. The pictures are noise that ffmpeg reports as damaged images while
// it looks at the file, so only the audio's result is taken.
std::string AudioMD5(const std::string& path)
{
    const std::string out = RunCommand("ffmpeg -v quiet -nostdin -i '" + path + "' -map 0:a -f md5 - 2>/dev/null");
    return out.rfind("MD5=", 0) == 0 ? out : std::string();
}

void AddPictures(TTags& tags)
{
    for (const TPicture& p : Pictures()) {
        TMemoryView view(p.Bytes.data(), p.Bytes.size());
        TCoverArt* cover = tags.AddCoverArt("picture", view, p.MIMEType);
        ASSERT_NE(cover, nullptr);
        cover->Description = p.Description;
        cover->CoverType = p.CoverType;
    }
}

void ExpectPicturesWhole(const std::string& file)
{
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    const std::vector<TPicture> expected = Pictures();
    ASSERT_EQ(tags.CoverArtCount(), int(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(tags.CoverArts[i]->Deferred());
        EXPECT_EQ(tags.CoverArts[i]->Stream.Bytes(), expected[i].Bytes);
    }
}

// MP3 (ID3v2 and APEv2), FLAC, M4A, Ogg Vorbis and Opus (base64 picture comments, whose
// packet runs across pages). The MP4 covr item keeps no MIME type, description or picture
// type and an APEv2 cover item no MIME type or picture type: those come from the bytes there.
struct TFormatCase {
    const char* Fixture;
    TTagType Type;
    bool KeepsDescription, KeepsType;
};

// One test per format: each decodes the audio twice.
class DeferredPicturesOf : public ::testing::TestWithParam<TFormatCase> { };

TEST_P(DeferredPicturesOf, KnownWithoutTheirBytesAndKeptWholeBySaves)
{
    const bool checkAudio = Have("ffmpeg -version");
    const TFormatCase& c = GetParam();
    // A folder per case: the cases may run at the same time.
    const std::string file = ScratchCopy(
        c.Fixture, ScratchDir(std::string("DeferredPictures-") + c.Fixture + (c.Type == ttAPEv2 ? "-APEv2" : "")));
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
        tags.SetTag("TITLE", "Before");
        AddPictures(tags);
        ASSERT_EQ(tags.SaveToFile(file, c.Type), tlSuccess);
    }
    const std::string audio = checkAudio ? AudioMD5(file) : std::string();
    EXPECT_TRUE(!checkAudio || !audio.empty());

    TTags tags;
    tags.DeferPictureData = true;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    const std::vector<TPicture> expected = Pictures();
    ASSERT_EQ(tags.CoverArtCount(), int(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        const TCoverArt& cover = *tags.CoverArts[i];
        EXPECT_EQ(cover.Deferred(), expected[i].Deferred);
        EXPECT_EQ(cover.Size(), expected[i].Bytes.size());
        EXPECT_EQ(cover.Stream.Size(), expected[i].Deferred ? 0u : expected[i].Bytes.size());
        EXPECT_EQ(cover.PictureFormat, expected[i].Format);
        EXPECT_EQ(cover.MIMEType, expected[i].MIMEType);
        if (c.KeepsDescription) {
            EXPECT_EQ(cover.Description, expected[i].Description);
        }
        if (c.KeepsType) {
            EXPECT_EQ(cover.CoverType, expected[i].CoverType);
        }
    }
    ASSERT_TRUE(tags.CoverArts[0]->LoadData());
    EXPECT_FALSE(tags.CoverArts[0]->Deferred());
    EXPECT_EQ(tags.CoverArts[0]->Stream.Bytes(), expected[0].Bytes);

    // A comment larger than the padding moves the audio: the pictures still deferred were
    // read before the file changed.
    tags.SetTag("TITLE", "After");
    tags.SetTag("COMMENT", std::string(20000, 'c'));
    ASSERT_EQ(tags.SaveToFile(file, c.Type), tlSuccess);
    ExpectPicturesWhole(file);
    TTags back;
    ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
    EXPECT_EQ(back.GetTag("TITLE"), "After");
    if (checkAudio) {
        EXPECT_EQ(AudioMD5(file), audio);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DeferredPicturesOf,
    ::testing::Values(TFormatCase { "plain.mp3", ttAutomatic, true, true },
        TFormatCase { "plain.mp3", ttAPEv2, true, false }, TFormatCase { "plain.flac", ttAutomatic, true, true },
        TFormatCase { "plain.m4a", ttAutomatic, false, false }, TFormatCase { "plain.ogg", ttAutomatic, true, true },
        TFormatCase { "plain.opus", ttAutomatic, true, true }),
    [](const ::testing::TestParamInfo<TFormatCase>& info) {
        std::string name = info.param.Fixture;
        name = name.substr(name.find('.') + 1) + (info.param.Type == ttAPEv2 ? "APEv2" : "");
        return name;
    });

// A file that changed under a deferred load no longer holds the pictures: the save fails and
// leaves the file as it is instead of writing pictures it cannot read.
TEST(DeferredPictures, SaveFailsWhenTheFileLostThem)
{
    const auto dir = ScratchDir("DeferredPicturesLost");
    for (const auto& [fixture, type] :
        { std::pair { "plain.mp3", ttID3v2 }, { "plain.mp3", ttAPEv2 }, { "plain.opus", ttOpusVorbis } }) {
        SCOPED_TRACE(std::string(fixture) + (type == ttAPEv2 ? " APEv2" : ""));
        const std::string file = ScratchCopy(fixture, dir);
        {
            TTags tags;
            ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
            AddPictures(tags);
            ASSERT_EQ(tags.SaveToFile(file, type), tlSuccess);
        }
        TTags tags;
        tags.DeferPictureData = true;
        ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
        ASSERT_TRUE(tags.CoverArts[0]->Deferred());
        std::filesystem::resize_file(file, 40000);
        const std::vector<uint8_t> cut = ReadBytes(file);
        EXPECT_FALSE(tags.CoverArts[0]->LoadData());
        EXPECT_TRUE(tags.CoverArts[0]->Deferred());
        tags.SetTag("TITLE", "Lost");
        EXPECT_NE(tags.SaveToFile(file), tlSuccess);
        EXPECT_EQ(ReadBytes(file), cut);
    }
}

// The format objects on their own: an ID3v2.4 tag, a FLAC, an Opus and a WMA file saved
// straight after a deferred load fetch the pictures from the file they were loaded from.
TEST(DeferredPictures, FormatObjectsFetchThemBeforeSaving)
{
    const auto dir = ScratchDir("DeferredPicturesNative");
    const std::vector<uint8_t> picture = Pictures()[0].Bytes;

    const std::string mp3 = ScratchCopy("plain.mp3", dir);
    {
        TID3v2Tag tag;
        tag.MajorVersion = 4;
        ASSERT_TRUE(tag.SetUnicodeCoverPictureFromStream(tag.AddFrame("APIC"), "front", picture, "image/jpeg", 3));
        ASSERT_EQ(tag.SaveToFile(mp3), id3v2Success);
    }
    {
        TID3v2Tag tag;
        tag.DeferPictureData = true;
        ASSERT_EQ(tag.LoadFromFile(mp3), id3v2Success);
        ASSERT_EQ(tag.MajorVersion, 4);
        ASSERT_TRUE(tag.HasDeferredData());
        std::vector<uint8_t> bytes;
        std::string mime, description;
        uint32_t type = 0;
        EXPECT_FALSE(tag.GetUnicodeCoverPictureStream(0, bytes, mime, description, type));
        ASSERT_TRUE(tag.SetUnicodeText("TIT2", "Native"));
        ASSERT_EQ(tag.SaveToFile(mp3), id3v2Success);
    }
    {
        TID3v2Tag tag;
        ASSERT_EQ(tag.LoadFromFile(mp3), id3v2Success);
        std::vector<uint8_t> bytes;
        std::string mime, description;
        uint32_t type = 0;
        ASSERT_TRUE(tag.GetUnicodeCoverPictureStream(tag.FrameExists("APIC"), bytes, mime, description, type));
        EXPECT_EQ(bytes, picture);
        EXPECT_EQ(description, "front");
    }

    const std::string flac = ScratchCopy("plain.flac", dir);
    TNativePicture block;
    block.MIMEType = "image/jpeg";
    block.Description = "front";
    block.Data = picture;
    {
        TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(flac), ftrSuccess);
        tag.AddPicture(block);
        ASSERT_EQ(tag.SaveToFile(flac), ftrSuccess);
    }
    {
        TFlacTag tag;
        tag.DeferPictureData = true;
        ASSERT_EQ(tag.LoadFromFile(flac), ftrSuccess);
        ASSERT_TRUE(tag.HasDeferredPictures());
        const TNativePicture head = tag.Picture(0);
        EXPECT_EQ(head.DeferredSize, picture.size());
        EXPECT_EQ(head.Description, "front");
        tag.SetTextFrameText("TITLE", "Native");
        ASSERT_EQ(tag.SaveToFile(flac), ftrSuccess);
    }
    {
        TFlacTag tag;
        ASSERT_EQ(tag.LoadFromFile(flac), ftrSuccess);
        ASSERT_EQ(tag.PictureCount(), 1);
        EXPECT_EQ(tag.Picture(0).Data, picture);
        EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), "Native");
    }

    const std::string opus = ScratchCopy("plain.opus", dir);
    {
        TOpusTag tag;
        ASSERT_EQ(tag.LoadFromFile(opus), otrSuccess);
        tag.AddPicture(block);
        ASSERT_EQ(tag.SaveToFile(opus), otrSuccess);
    }
    {
        TOpusTag tag;
        tag.DeferPictureData = true;
        ASSERT_EQ(tag.LoadFromFile(opus), otrSuccess);
        ASSERT_TRUE(tag.HasDeferredPictures());
        const TNativePicture head = tag.Picture(0);
        EXPECT_EQ(head.DeferredSize, picture.size());
        EXPECT_EQ(head.Description, "front");
        // The comment grows past its pages: the file is written anew.
        tag.SetTextFrameText("TITLE", std::string(70000, 't'));
        ASSERT_EQ(tag.SaveToFile(opus), otrSuccess);
    }
    {
        TOpusTag tag;
        ASSERT_EQ(tag.LoadFromFile(opus), otrSuccess);
        ASSERT_EQ(tag.PictureCount(), 1);
        EXPECT_EQ(tag.Picture(0).Data, picture);
        EXPECT_EQ(tag.ReadFrameByNameAsText("TITLE"), std::string(70000, 't'));
    }

    // A picture in the Extended Content Description (under 64 KB) and one in the Metadata
    // Library.
    const std::string wma = ScratchCopy("asf/plain.wma", dir);
    const std::vector<uint8_t> small = Pictures()[2].Bytes;
    {
        TWMATag tag;
        ASSERT_EQ(tag.LoadFromFile(wma), wmaSuccess);
        tag.AddPicture(block);
        TNativePicture second = block;
        second.Data = small;
        second.CoverType = 4;
        tag.AddPicture(second);
        ASSERT_EQ(tag.SaveToFile(wma), wmaSuccess);
    }
    std::vector<uint8_t> eager[2];
    {
        TWMATag tag;
        ASSERT_EQ(tag.LoadFromFile(wma), wmaSuccess);
        ASSERT_EQ(tag.CoverArtCount(), 2);
        for (int i = 0; i < 2; ++i)
            eager[i] = tag.Frames[size_t(tag.GetAttribIndex("WM/Picture") + i)]->Stream;
    }
    {
        TWMATag tag;
        tag.DeferPictureData = true;
        ASSERT_EQ(tag.LoadFromFile(wma), wmaSuccess);
        ASSERT_TRUE(tag.HasDeferredPictures());
        ASSERT_EQ(tag.CoverArtCount(), 2);
        const int first = tag.GetAttribIndex("WM/Picture");
        const TNativePicture head = tag.AttributePicture(first + 1);
        EXPECT_EQ(head.DeferredSize, picture.size()) << "the library's picture comes last";
        EXPECT_EQ(head.Description, "front");
        EXPECT_EQ(head.MIMEType, "image/jpeg");
        EXPECT_EQ(tag.AttributePicture(first).CoverType, 4u);
        const uint64_t size = tag.CalculateTagSize();
        TFileStream file;
        ASSERT_TRUE(file.Open(wma));
        ASSERT_TRUE(tag.LoadDeferredPictures(file));
        EXPECT_FALSE(tag.HasDeferredPictures());
        EXPECT_EQ(tag.CalculateTagSize(), size);
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(tag.Frames[size_t(first + i)]->Stream, eager[i]) << "fetched as an eager load reads it";
    }
    {
        TWMATag tag;
        tag.DeferPictureData = true;
        ASSERT_EQ(tag.LoadFromFile(wma), wmaSuccess);
        tag.SetTextFrameText("Title", std::string(5000, 't'));
        ASSERT_EQ(tag.SaveToFile(wma), wmaSuccess);
    }
    TWMATag tag;
    ASSERT_EQ(tag.LoadFromFile(wma), wmaSuccess);
    EXPECT_EQ(tag.ReadFrameByNameAsText("Title"), std::string(5000, 't'));
    const int first = tag.GetAttribIndex("WM/Picture");
    ASSERT_GE(first, 0);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(tag.Frames[size_t(first + i)]->Stream, eager[i]) << "kept byte for byte";
}

// WMA through the model: a save puts the first picture into the Extended Content Description
// and the larger one into the Metadata Library; a listing knows both without their bytes, a
// save keeps them byte for byte, and a file that lost them is left alone.
TEST(DeferredPictures, WMAPicturesThroughTheModel)
{
    const auto dir = ScratchDir("DeferredPicturesWMA");
    const std::string file = ScratchCopy("asf/plain.wma", dir);
    const std::vector<TPicture> all = Pictures();
    const std::vector<TPicture> pictures = { all[2], all[0] };
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
        for (const TPicture& p : pictures) {
            TMemoryView view(p.Bytes.data(), p.Bytes.size());
            TCoverArt* cover = tags.AddCoverArt("picture", view, p.MIMEType);
            ASSERT_NE(cover, nullptr);
            cover->Description = p.Description;
            cover->CoverType = p.CoverType;
        }
        ASSERT_EQ(tags.SaveToFile(file), tlSuccess);
    }
    TTags tags;
    tags.DeferPictureData = true;
    ASSERT_EQ(tags.LoadFromFile(file), tlSuccess);
    ASSERT_EQ(tags.CoverArtCount(), 2);
    for (size_t i = 0; i < pictures.size(); ++i) {
        SCOPED_TRACE(i);
        const TCoverArt& cover = *tags.CoverArts[i];
        EXPECT_TRUE(cover.Deferred());
        EXPECT_EQ(cover.Size(), pictures[i].Bytes.size());
        EXPECT_EQ(cover.PictureFormat, pictures[i].Format);
        EXPECT_EQ(cover.MIMEType, pictures[i].MIMEType);
        EXPECT_EQ(cover.Description, pictures[i].Description);
        EXPECT_EQ(cover.CoverType, pictures[i].CoverType);
    }
    ASSERT_TRUE(tags.CoverArts[1]->LoadData());
    EXPECT_EQ(tags.CoverArts[1]->Stream.Bytes(), pictures[1].Bytes);

    tags.SetTag("TITLE", "After");
    tags.SetTag("COMMENT", std::string(20000, 'c'));
    ASSERT_EQ(tags.SaveToFile(file), tlSuccess);
    {
        TTags back;
        ASSERT_EQ(back.LoadFromFile(file), tlSuccess);
        EXPECT_EQ(back.GetTag("TITLE"), "After");
        ASSERT_EQ(back.CoverArtCount(), 2);
        for (size_t i = 0; i < pictures.size(); ++i)
            EXPECT_EQ(back.CoverArts[i]->Stream.Bytes(), pictures[i].Bytes) << i;
    }

    TTags lost;
    lost.DeferPictureData = true;
    ASSERT_EQ(lost.LoadFromFile(file), tlSuccess);
    ASSERT_TRUE(lost.CoverArts[1]->Deferred());
    std::filesystem::resize_file(file, std::filesystem::file_size(file) - 30000);
    const std::vector<uint8_t> cut = ReadBytes(file);
    EXPECT_FALSE(lost.CoverArts[1]->LoadData());
    lost.SetTag("TITLE", "Lost");
    EXPECT_NE(lost.SaveToFile(file), tlSuccess);
    EXPECT_EQ(ReadBytes(file), cut);
}

} // namespace
} // namespace vantor
