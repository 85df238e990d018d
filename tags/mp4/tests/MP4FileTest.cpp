// Files made by ffmpeg and tagged by mutagen (tests/data/tags/mp4): reading
// them, and saving them so that the audio stays where the chunk offsets point.

#include "tags/Tags.h"
#include "tags/mp4/MP4Tag.h"
#include "tags/mp4/tests/MP4TestFiles.h"
#include "tags/tests/TestFiles.h"

#include <gtest/gtest.h>

namespace vantor {
namespace {

using namespace vantor::test;

std::string MP4Fixture(const std::string& name) { return "mp4/" + name; }

TEST(MP4File, MutagenTagsReadThroughTheModel)
{
    for (const char* name : { "aac-mutagen.m4a", "alac-mutagen.m4a" }) {
        SCOPED_TRACE(name);
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(Fixture(MP4Fixture(name))), tlSuccess);
        ASSERT_TRUE(tags.Loaded);
        const std::pair<const char*, const char*> fields[] = {
            { "TITLE", "Title \xC3\xA9" },
            { "ARTIST", "Artist" },
            { "ALBUMARTIST", "Album Artist" },
            { "ALBUM", "Album" },
            { "RELEASEDATE", "2001" },
            { "GENRE", "Own Genre" },
            { "LYRICS", "First line\r\nSecond line" },
            { "TRACKNUMBER", "3" },
            { "TOTALTRACKS", "12" },
            { "DISCNUMBER", "1" },
            { "TOTALDISCS", "2" },
            { "BPM", "120" },
            { "PARTOFCOMPILATION", "1" },
            { "MEDIA", "Music" },
            { "MOOD", "calm" },
        };
        for (const auto& [field, value] : fields)
            EXPECT_EQ(tags.GetTag(field), value) << field;
        ASSERT_EQ(tags.CoverArtCount(), 1);
        EXPECT_EQ(tags.CoverArts[0]->PictureFormat, tpfPNG);
        EXPECT_EQ(tags.CoverArts[0]->MIMEType, "image/png");

        EXPECT_EQ(tags.SourceAudioAttributes->SamplesPerSec(), 8000u);
        EXPECT_EQ(tags.SourceAudioAttributes->Channels(), 1);
        EXPECT_NEAR(tags.SourceAudioAttributes->PlayTime(), 1.0, 0.2);
    }
}

TEST(MP4File, AudioProperties)
{
    struct Case {
        const char* Name;
        TMP4AudioFormat Format;
        uint32_t Resolution;
    };
    for (const Case& c : { Case { "aac-moov-last.m4a", mp4afAAC, 16 }, Case { "alac.m4a", mp4afALAC, 16 } }) {
        TMP4Tag tag;
        EXPECT_EQ(tag.LoadFromFile(Fixture(MP4Fixture(c.Name))), mp4Success) << c.Name; // ffmpeg's "©too"
        EXPECT_EQ(tag.AudioFormat(), c.Format) << c.Name;
        EXPECT_EQ(tag.AudioSampleRate(), 8000u) << c.Name;
        EXPECT_EQ(tag.AudioChannelCount(), 1) << c.Name;
        EXPECT_EQ(tag.AudioResolution(), c.Resolution) << c.Name;
        EXPECT_GT(tag.BitRate(), 0u) << c.Name;
        EXPECT_EQ(tag.VideoWidth(), 0u) << c.Name;
    }
    TMP4Tag video; // an mpeg4 video track and an AAC track
    video.LoadFromFile(Fixture(MP4Fixture("video.mp4")));
    EXPECT_EQ(video.VideoWidth(), 64u);
    EXPECT_EQ(video.VideoHeight(), 48u);
    EXPECT_EQ(video.AudioFormat(), mp4afAAC);
    EXPECT_EQ(video.AudioChannelCount(), 1);
    EXPECT_NEAR(video.Playtime(), 0.4, 0.1);

    TMP4Tag missing;
    EXPECT_EQ(missing.LoadFromFile(Fixture(MP4Fixture("no-such.m4a"))), mp4FileError);
}

// mdat's payload unchanged, and every chunk offset at the same distance from it.
void ExpectAudioKept(const TBytes& before, const TBytes& after)
{
    const auto oldMdat = Top(before, "mdat");
    const auto newMdat = Top(after, "mdat");
    ASSERT_TRUE(oldMdat && newMdat);
    EXPECT_EQ(TBytes(before.begin() + ptrdiff_t(oldMdat->Offset),
                  before.begin() + ptrdiff_t(oldMdat->Offset + oldMdat->Size)),
        TBytes(after.begin() + ptrdiff_t(newMdat->Offset), after.begin() + ptrdiff_t(newMdat->Offset + newMdat->Size)));
    const auto oldOffsets = ChunkOffsets(before), newOffsets = ChunkOffsets(after);
    ASSERT_EQ(oldOffsets.size(), newOffsets.size());
    ASSERT_FALSE(oldOffsets.empty());
    for (size_t i = 0; i < oldOffsets.size(); ++i)
        EXPECT_EQ(newOffsets[i] - newMdat->Offset, oldOffsets[i] - oldMdat->Offset);
}

TEST(MP4File, GrowingSavesKeepTheAudio)
{
    const auto dir = ScratchDir("MP4File.GrowingSaves");
    for (const char* name :
        { "aac-faststart.m4a", "aac-co64.m4a", "alac.m4a", "aac-moov-last.m4a", "aac-mdat64.m4a" }) {
        SCOPED_TRACE(name);
        const std::string path = ScratchCopy(MP4Fixture(name), dir);
        const TBytes before = ReadBytes(path);
        TMP4Tag tag;
        tag.LoadFromFile(path);
        tag.SetText("\xA9nam", std::string(6000, 't')); // more than any padding
        ASSERT_EQ(tag.SaveToFile(path, true), mp4Success);
        const TBytes after = ReadBytes(path);
        ExpectAudioKept(before, after);
        // A moov behind mdat grows in place at the end of the file.
        const auto moov = Top(after, "moov");
        EXPECT_EQ(tag.BytesWritten(), moov->Offset < Top(after, "mdat")->Offset ? after.size() : moov->Size);

        TMP4Tag reread;
        ASSERT_EQ(reread.LoadFromFile(path), mp4Success);
        EXPECT_EQ(reread.GetText("\xA9nam").size(), 6000u);
        EXPECT_EQ(reread.AudioSampleRate(), 8000u);
    }
    // Nothing is left beside the files.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 5);
}

// The absolute offsets of a fragmented file: where each moof starts, the base
// data offsets its tfhd atoms give, and the moof offsets of the tfra tables.
struct TFragments {
    std::vector<uint64_t> Moofs, Bases, Indexed;
    std::vector<TBytes> Payloads; // of the mdat atoms, in order
};

TFragments Fragments(const TBytes& file)
{
    TFragments found;
    for (const TAtomSpan& top : TopLevel(file)) {
        const size_t body = top.Offset + top.HeaderSize, end = top.Offset + top.Size;
        if (top.Type == "mdat")
            found.Payloads.emplace_back(file.begin() + ptrdiff_t(body), file.begin() + ptrdiff_t(end));
        if (top.Type == "moof") {
            found.Moofs.push_back(top.Offset);
            for (const TAtomSpan& traf : ParseAtoms(file, body, end))
                for (const TAtomSpan& box : ParseAtoms(file, traf.Offset + 8, traf.Offset + traf.Size))
                    if (box.Type == "tfhd" && (GetBE32(box.Body(file)) & 1))
                        found.Bases.push_back(GetBE64(box.Body(file) + 8));
        }
        if (top.Type == "mfra")
            for (const TAtomSpan& tfra : ParseAtoms(file, body, end)) {
                if (tfra.Type != "tfra")
                    continue;
                const uint8_t* table = tfra.Body(file);
                const bool wide = table[0] == 1;
                const uint32_t sizes = GetBE32(table + 8);
                const size_t entry = (wide ? 16 : 8) + ((sizes >> 4) & 3) + ((sizes >> 2) & 3) + (sizes & 3) + 3;
                for (uint32_t i = 0; i < GetBE32(table + 12); ++i) {
                    const uint8_t* offset = table + 16 + i * entry + (wide ? 8 : 4);
                    found.Indexed.push_back(wide ? GetBE64(offset) : GetBE32(offset));
                }
            }
    }
    return found;
}

TEST(MP4File, FragmentedFilesKeepTheirFragmentOffsets)
{
    // ffmpeg's fragments: base data offsets given explicitly, or counted from each moof.
    for (const char* name : { "aac-fragmented.m4a", "aac-fragmented-moof.m4a" }) {
        SCOPED_TRACE(name);
        const TBytes original = ReadBytes(Fixture(MP4Fixture(name)));
        const TFragments before = Fragments(original);
        ASSERT_EQ(before.Indexed, before.Moofs);
        EXPECT_EQ(before.Bases, std::string(name) == "aac-fragmented.m4a" ? before.Moofs : std::vector<uint64_t>());
        TMemoryStream stream(original);
        TMP4Tag tag;
        ASSERT_EQ(tag.LoadFromStream(stream), mp4Success);
        // Growing the moov by far more than the free space, then shrinking it again.
        for (const std::string& title : { std::string(6000, 't'), std::string("u") }) {
            tag.SetText("\xA9nam", title);
            ASSERT_EQ(tag.SaveToStream(stream, false, ""), mp4Success);
            const TFragments after = Fragments(stream.Bytes());
            ASSERT_EQ(after.Moofs.size(), before.Moofs.size());
            EXPECT_NE(after.Moofs, before.Moofs);
            EXPECT_EQ(after.Indexed, after.Moofs);
            EXPECT_EQ(after.Bases, before.Bases.empty() ? std::vector<uint64_t>() : after.Moofs);
            EXPECT_EQ(after.Payloads, before.Payloads);
        }
    }
}

TEST(MP4File, FragmentedFileWithDoubtfulLayoutIsNotWritten)
{
    // A top-level atom behind the fragments that runs past the end of the file could
    // hide another fragment; a tfra table that claims more entries than it holds.
    TBytes damaged = ReadBytes(Fixture(MP4Fixture("aac-fragmented.m4a")));
    Append(damaged, Atom("moof", Zeros(4)));
    damaged.resize(damaged.size() - 2);
    TBytes overcounted = ReadBytes(Fixture(MP4Fixture("aac-fragmented.m4a")));
    const auto mfra = Top(overcounted, "mfra");
    ASSERT_TRUE(mfra);
    const TAtomSpan tfra = ParseAtoms(overcounted, mfra->Offset + 8, mfra->Offset + mfra->Size).front();
    ASSERT_EQ(tfra.Type, "tfra");
    PutBE32(overcounted.data() + tfra.Offset + 8 + 12, 1000);
    for (const TBytes& original : { damaged, overcounted }) {
        TMemoryStream stream(original);
        TMP4Tag tag;
        tag.SetText("\xA9nam", std::string(6000, 't'));
        EXPECT_EQ(tag.SaveToStream(stream, false, ""), mp4FragmentOffsets);
        EXPECT_EQ(stream.Bytes(), original);
    }
}

TEST(MP4File, SaveInsideThePaddingWritesOnlyTheMoov)
{
    const auto dir = ScratchDir("MP4File.InPlace");
    const std::string path = ScratchCopy(MP4Fixture("aac-faststart.m4a"), dir);
    TMP4Tag tag;
    tag.SetText("\xA9nam", "First");
    ASSERT_EQ(tag.SaveToFile(path, false), mp4Success); // makes room: 4096 bytes of padding
    const TBytes before = ReadBytes(path);

    ASSERT_EQ(tag.LoadFromFile(path), mp4Success);
    tag.SetText("\xA9"
                "ART",
        "An artist");
    tag.SetTrack(1, 9);
    ASSERT_EQ(tag.SaveToFile(path, true), mp4Success);
    const TBytes after = ReadBytes(path);
    ASSERT_EQ(after.size(), before.size());
    const auto moov = Top(after, "moov");
    ASSERT_TRUE(moov);
    EXPECT_EQ(tag.BytesWritten(), moov->Size);
    // Outside the moov atom not a byte differs.
    EXPECT_TRUE(std::equal(before.begin(), before.begin() + ptrdiff_t(moov->Offset), after.begin()));
    EXPECT_TRUE(std::equal(before.begin() + ptrdiff_t(moov->Offset + moov->Size), before.end(),
        after.begin() + ptrdiff_t(moov->Offset + moov->Size)));
    ExpectAudioKept(before, after);
}

TEST(MP4File, SavingToAMissingFileCreatesIt)
{
    const auto dir = ScratchDir("MP4File.Create");
    const std::string path = (dir / "new.m4a").string();
    TMP4Tag tag;
    tag.SetText("\xA9nam", "Fresh");
    ASSERT_EQ(tag.SaveToFile(path, true), mp4Success);
    TMP4Tag reread;
    ASSERT_EQ(reread.LoadFromFile(path), mp4Success);
    EXPECT_EQ(reread.GetText("\xA9nam"), "Fresh");
    EXPECT_EQ(tag.SaveToFile((dir / "no-such-folder" / "x.m4a").string(), true), mp4FileError);
}

TEST(MP4File, ModelSavesAnM4A)
{
    const auto dir = ScratchDir("MP4File.Model");
    const std::string path = ScratchCopy(MP4Fixture("aac-mutagen.m4a"), dir);
    {
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
        tags.SetTag("TITLE", "New title");
        tags.SetTag("TRACKNUMBER", "4/9");
        tags.SetTag("GENRE", "Jazz");
        tags.SetTag("CUSTOM", "own value");
        tags.Delete("MOOD");
        ASSERT_EQ(tags.SaveToFile(path, ttAutomatic), tlSuccess);
    }
    TTags tags;
    ASSERT_EQ(tags.LoadFromFile(path), tlSuccess);
    EXPECT_EQ(tags.GetTag("TITLE"), "New title");
    EXPECT_EQ(tags.GetTag("TRACKNUMBER"), "4");
    EXPECT_EQ(tags.GetTag("TOTALTRACKS"), "9");
    EXPECT_EQ(tags.GetTag("GENRE"), "Jazz");
    EXPECT_EQ(tags.GetTag("CUSTOM"), "own value");
    EXPECT_EQ(tags.Exists("MOOD"), -1);
    EXPECT_EQ(tags.GetTag("ARTIST"), "Artist");
    EXPECT_EQ(tags.CoverArtCount(), 1);
    EXPECT_EQ(tags.MP4Tag->CoverCount(), 1);
}

} // namespace
} // namespace vantor
