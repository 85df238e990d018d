#include "library/tests/LibraryTestSupport.h"

#include "base/IniFile.h"
#include "base/TextFileEncoding.h"
#include "library/ExistingFiles.h"
#include "library/PlaylistFile.h"
#include "tests/support/SafeWriteFaults.h"

#include <set>

#include <sys/stat.h>

namespace vantor::testing {
namespace {

// UTF-16LE with its byte-order mark.
std::string EncodeUtf16(const std::string& utf8) { return EncodeTextFile(utf8, TTextEncoding::Utf16LE); }

class PlayListFile : public LibraryTest {
protected:
    std::unique_ptr<TVPlayList> Load(const std::filesystem::path& path)
    {
        auto list = std::make_unique<TVPlayList>(Session);
        list->plPath = path.string();
        list->LoadSettings();
        list->LoadFromFile(list->plPath);
        return list;
    }

    std::vector<std::string> Sections(const std::filesystem::path& path) const
    {
        return TIniFile(path, TIniAccess::WholeFile).ReadSections();
    }
};

TEST_F(PlayListFile, ExistingFilesAnswerLikeTheFileSystem)
{
    std::filesystem::path const music = std::filesystem::path(AudioFile("a.mp3")).parent_path();
    std::filesystem::create_directories(music / "sub.mp3");
    std::filesystem::create_symlink(music / "a.mp3", music / "link.mp3");
    std::filesystem::create_symlink(music / "none.mp3", music / "dangling.mp3");
    struct {
        std::string path;
        bool regular;
    } const cases[] = {
        { (music / "a.mp3").string(), true },
        { (music / "link.mp3").string(), true },
        { (music / "dangling.mp3").string(), false },
        { (music / "sub.mp3").string(), false },
        { (music / "A.MP3").string(), false },
        { (music / "none.mp3").string(), false },
        { (music / "gone" / "x.mp3").string(), false },
        { music.string() + "/", false },
        { "", false },
    };
    // Asked twice, a folder is listed rather than looked up file by file: both must agree.
    TExistingFiles existing;
    for (int round = 0; round < 2; ++round) {
        for (auto const& c : cases)
            EXPECT_EQ(existing.IsRegularFile(c.path), c.regular) << c.path << " round " << round;
    }
}

TEST_F(PlayListFile, ABigFileReadByTwoThreadsKeepsFileOrder)
{
    std::string const a = AudioFile("a.mp3");
    std::string const b = AudioFile("b.mp3");
    std::string const gone = (Root / "music" / "gone.mp3").string();
    // Big enough for two threads; the halves meet at section 2500, among missing files and
    // the settings.
    std::string text;
    std::vector<std::string> expected;
    for (int i = 0; i < 5000; ++i) {
        if (i == 2500)
            text += "[#Settings]\nCaption=Big\n";
        bool const missing = i % 7 == 0 || i == 2499 || i == 2501;
        std::string id = std::to_string(i);
        id.insert(id.begin(), 's');
        text += '[';
        text += id;
        text += "]\nFilePath=";
        text += missing ? gone : i % 2 ? a : b;
        text += "\nTrackName=T";
        text += std::to_string(i);
        text += '\n';
        if (!missing)
            expected.push_back(id);
    }
    std::filesystem::path const path = Root / "Playlists" / "Big.vpl";
    WriteBytes(path, text);
    auto list = Load(path);
    ASSERT_EQ(list->TrackCount(), static_cast<int>(expected.size()));
    for (int i = 0; i < list->TrackCount(); ++i) {
        ASSERT_EQ(list->GetTrackData(i)->tdID, expected[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(list->GetTrackData(i)->GetTag("TrackName"), "T" + expected[static_cast<size_t>(i)].substr(1));
    }
    EXPECT_EQ(list->plCaption, "Big");
    EXPECT_EQ(list->plLoadingMax, 5001);
}

TEST_F(PlayListFile, DeletedTrackIsSkippedButItsSectionKept)
{
    std::string const a = AudioFile("a.mp3");
    std::string const c = AudioFile("c.mp3");
    std::filesystem::path const path = Root / "Playlists" / "Mix.vpl";
    WriteBytes(path,
        "[1]\nFilePath=" + a
            + "\nFileName=a.mp3\nPlayTime=205\nPlayCount=3\nHasLyrics=1\n"
              "[2]\nFilePath="
            + (Root / "music" / "gone.mp3").string()
            + "\n"
              "[3]\nFilePath="
            + c
            + "\nTrackName=Cee\n"
              "[#Settings]\nCaption=Mix\nID=#77\nGroupMode=2\nShuffle=1\nRepeat=0\nScroll=40\n"
              "[#Linked]\n0="
            + Root.string() + "\n1=" + (Root / "nowhere").string() + "\n");
    auto list = Load(path);
    ASSERT_EQ(list->TrackCount(), 2);
    EXPECT_EQ(list->plCaption, "Mix");
    EXPECT_EQ(list->plID, "#77");
    EXPECT_EQ(list->plFileName, "Mix.vpl");
    EXPECT_EQ(list->plGroupMode, gmAlbum);
    EXPECT_TRUE(list->vtShuffle);
    EXPECT_EQ(list->plScroll, 40);
    EXPECT_EQ(list->plLinkedFolders, std::vector<std::string>({ Root.string() }));
    TTrackData* const first = list->GetTrackData(0);
    EXPECT_EQ(first->tdID, "1");
    EXPECT_EQ(first->Duration, "03:25");
    EXPECT_EQ(first->tdPlayCount, 3);
    EXPECT_TRUE(first->tdHasLyrics);

    ASSERT_TRUE(list->SaveToFile());
    EXPECT_EQ(Sections(path), std::vector<std::string>({ "1", "2", "3", "#Settings", "#Linked" }));

    // Rewriting the tracks drops the one the user removed; the absent file's section stays,
    // after the tracks.
    list->RemoveTrack(first, false);
    ASSERT_TRUE(list->SaveToFile());
    EXPECT_EQ(Sections(path), std::vector<std::string>({ "3", "2", "#Settings", "#Linked" }));
    EXPECT_FALSE(list->plNeeedSave);
}

TEST_F(PlayListFile, FailedSavesKeepTheOldFile)
{
    std::filesystem::path const path = Root / "Playlists" / "Kept.vpl";
    WriteBytes(path, "[1]\nFilePath=" + AudioFile("a.mp3") + "\n[#Settings]\nCaption=Old\n");
    auto list = Load(path);
    list->plCaption = "New";
    ExpectFailedSavesKeepTheFile(path, [&] { return list->SaveToFile(); });
}

TEST_F(PlayListFile, BadInputIsSkippedWithNothingElseLost)
{
    std::string const a = AudioFile("a.mp3");
    std::string const b = AudioFile("b.mp3");
    std::filesystem::path const path = Root / "Playlists" / "Bad.vpl";
    WriteBytes(path,
        "garbage line\n=no key\n[x]\nTrackName=no path\n[y]\nFilePath=" + Root.string()
            + "\n"
              "[ok1]\nFilePath="
            + a + "\nnonsense\nArtist=A\n[[broken\n[ok2]\nFilePath=" + b
            + "\n"
              "[#Settings]\nGroupMode=zz\nScroll=1e9\n");
    auto list = Load(path);
    ASSERT_EQ(list->TrackCount(), 2);
    EXPECT_EQ(list->GetTrackData(0)->GetTag("Artist"), "A");
    EXPECT_EQ(list->plGroupMode, gmArtist);
    EXPECT_EQ(list->plScroll, 0);
    EXPECT_EQ(list->plID, ""); // no "ID" key
}

TEST(PlaylistFileReader, ASectionWrittenTwiceReadsAsOne)
{
    TPlaylistFile const file = TPlaylistFile::FromBytes(
        "top=ignored\n[a]\r\nk1=1\r\n[b]\nk=b [c]\n\t[ A ] \n k2 = 2 \n;k3=no\n[[x\n[c]\n[a]\nk1=again");
    auto const& sections = file.Sections();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].Name, "a");
    using TValues = std::vector<TPlaylistFile::TValue>;
    EXPECT_EQ(TValues(sections[0].Values().begin(), sections[0].Values().end()),
        (TValues { { "k1", "1" }, { "k2", "2" }, { "k1", "again" } }));
    EXPECT_EQ(file.Value("A", "K1"), "1"); // the first occurrence
    EXPECT_EQ(TValues(sections[1].Values().begin(), sections[1].Values().end()), (TValues { { "k", "b [c]" } }));
    EXPECT_EQ(sections[2].Values().begin(), sections[2].Values().end());
    EXPECT_EQ(file.Value("none", "k", "def"), "def");

    // Read for some sections only, the rest is skipped over.
    TPlaylistFile const only = TPlaylistFile::FromBytes(
        "top=ignored\n[a]\r\nk1=1\r\n[b]\nk=b [c]\n\t[ A ] \n k2 = 2 \n;k3=no\n[[x\n[c]\n[a]\nk1=again",
        { "A", "none" });
    ASSERT_EQ(only.Sections().size(), 1u);
    EXPECT_EQ(TValues(only.Sections()[0].Values().begin(), only.Sections()[0].Values().end()),
        (TValues { { "k1", "1" }, { "k2", "2" }, { "k1", "again" } }));
    EXPECT_EQ(only.Find("b"), nullptr);
}

TEST_F(PlayListFile, WrittenAndReadBackUnchanged)
{
    std::string const odd = AudioFile("my song # [1] = ünïcødé 日本.mp3");
    std::string const plain = AudioFile("plain.mp3");
    auto list = std::make_unique<TVPlayList>(Session);
    list->plFileName = "Round Trip.vpl";
    list->plCaption = "Café [mix] = #1";
    list->plGroupMode = gmDuration;
    list->vtRepeat = true;
    list->plScroll = 120;
    list->plLinkedFolders = { Root.string() };
    list->AppendTrack(Track(
        { { "FilePath", odd }, { "TrackName", "Ünïcode = [x] #" }, { "Custom Key", "v" }, { "PlayTime", "3725" } }));
    list->AppendTrack(Track({ { "FilePath", plain }, { "Artist", "日本" } }));
    list->plNeeedSave = true;
    ASSERT_TRUE(list->SaveToFile());
    EXPECT_EQ(list->plPath, (Root / "Playlists" / "Round Trip.vpl").string());

    auto loaded = Load(list->plPath);
    ASSERT_EQ(loaded->TrackCount(), 2);
    EXPECT_EQ(loaded->plCaption, list->plCaption);
    EXPECT_EQ(loaded->plID, list->plID);
    EXPECT_EQ(loaded->plGroupMode, gmDuration);
    EXPECT_TRUE(loaded->vtRepeat);
    EXPECT_EQ(loaded->plScroll, 120);
    EXPECT_EQ(loaded->plLinkedFolders, list->plLinkedFolders);
    for (int i = 0; i < 2; ++i) {
        TTrackData const* const want = list->GetTrackData(i);
        TTrackData const* const got = loaded->GetTrackData(i);
        EXPECT_EQ(got->tdID, want->tdID);
        EXPECT_EQ(got->Duration, want->Duration);
        ASSERT_EQ(got->tdTagsList.Count(), want->tdTagsList.Count() + 1); // + "HasLyrics"
        for (int k = 0; k < want->tdTagsList.Count(); ++k) {
            EXPECT_EQ(got->tdTagsList.KeyName(k), want->tdTagsList.KeyName(k));
            EXPECT_EQ(got->GetTag(want->tdTagsList.KeyName(k)), want->GetTag(want->tdTagsList.KeyName(k)));
        }
    }
}

TEST_F(PlayListFile, RemovingTheOnlyLinkedFolderLeavesAnEmptySection)
{
    auto list = std::make_unique<TVPlayList>(Session);
    list->plLinkedFolders = { Root.string() };
    ASSERT_TRUE(list->SaveToFile());
    list->plLinkedFolders.clear();
    ASSERT_TRUE(list->SaveToFile());
    TIniFile const file(list->SavePath(), TIniAccess::WholeFile);
    EXPECT_TRUE(file.SectionExists("#Linked"));
    EXPECT_TRUE(file.ReadSection("#Linked").empty());
}

TEST_F(PlayListFile, SavingKeepsEncodingLineEndsAndUnknownSettings)
{
    std::string const a = AudioFile("a.mp3");
    std::string const text = "[t1]\r\nFilePath=" + a
        + "\r\nTrackName=Ünï\r\n[#Settings]\r\nCaption=Old\r\n"
          "Theme=dark\r\n[#Linked]\r\n0=/gone\r\n";
    std::filesystem::path const path = Root / "Playlists" / "Wide.vpl";
    WriteBytes(path, EncodeUtf16(text));
    auto list = Load(path);
    ASSERT_EQ(list->TrackCount(), 1);
    EXPECT_EQ(list->GetTrackData(0)->GetTag("TrackName"), "Ünï");
    list->plCaption = "New\nLine";
    ASSERT_TRUE(list->SaveToFile());

    std::string const bytes = ReadBytes(path);
    ASSERT_TRUE(bytes.starts_with("\xFF\xFE"));
    TIniFile const saved(path, TIniAccess::WholeFile);
    EXPECT_EQ(saved.Encoding(), TTextEncoding::Utf16LE);
    EXPECT_EQ(saved.LineEnding(), TLineEnding::CRLF);
    EXPECT_EQ(saved.ReadString("#Settings", "Caption", ""), "New Line");
    EXPECT_EQ(saved.ReadString("#Settings", "Theme", ""), "dark");
    EXPECT_EQ(saved.ReadString("t1", "TrackName", ""), "Ünï");
    EXPECT_TRUE(saved.ReadSection("#Linked").empty());
    EXPECT_FALSE(saved.ValueExists("#Settings", "0")); // a linked folder is no setting

    // Saved again without a change, in either encoding, the file is left alone; a change
    // replaces it.
    auto const inode = [&] {
        struct stat status { };
        ::stat(path.c_str(), &status);
        return status.st_ino;
    };
    for (bool plain : { false, true }) {
        if (plain) {
            WriteBytes(path, "[t1]\nFilePath=" + a + "\n");
            list = Load(path);
            ASSERT_TRUE(list->SaveToFile());
        }
        for (bool rewrite : { false, true }) {
            list->plNeeedSave = rewrite;
            ASSERT_TRUE(list->SaveToFile());
            auto const before = inode();
            std::string const content = ReadBytes(path);
            list->plNeeedSave = rewrite;
            ASSERT_TRUE(list->SaveToFile());
            EXPECT_EQ(inode(), before) << plain << rewrite;
            list->vtRepeat = !list->vtRepeat;
            ASSERT_TRUE(list->SaveToFile());
            EXPECT_NE(inode(), before) << plain << rewrite;
            EXPECT_NE(ReadBytes(path), content) << plain << rewrite;
        }
    }
}

TEST_F(PlayListFile, NewTracksGetUnusedIDs)
{
    auto list = std::make_unique<TVPlayList>(Session);
    for (int i = 0; i < 50; ++i) {
        auto track = Track({ { "FilePath", "/x" } });
        track->tdID = "same";
        list->AppendTrack(std::move(track));
    }
    std::set<std::string> ids;
    for (auto const& track : list->plDataList)
        ids.insert(track->tdID);
    EXPECT_EQ(ids.size(), 50u);
    EXPECT_TRUE(ids.contains("same"));
}

}
}
