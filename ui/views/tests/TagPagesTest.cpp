// The tag editor and the lyrics page on a real file: fields are read into lines, edited,
// picked, removed and saved back with the audio untouched; lyrics are saved and marked only
// on save; a page lets go of a track that goes.

#include "library/tests/LibraryTestSupport.h"

#include "library/PlayerSession.h"
#include "platform/audio/tests/AudioTestSupport.h"
#include "tags/Tags.h"
#include "ui/framework/ControlList.h"
#include "ui/views/ViewContext.h"
#include "ui/views/menu/LyricsPage.h"
#include "ui/views/menu/TagPages.h"
#include "ui/views/shared/ItemContainer.h"
#include "ui/views/shared/SmartEdit.h"

#include <gtest/gtest.h>

namespace vantor::testing {
namespace {

class TFakeClipboardLyrics : public TLyricsHolder {
public:
    using TLyricsHolder::TLyricsHolder;
    std::optional<std::string> Clipboard;

protected:
    std::optional<std::string> ReadClipboard() const override { return Clipboard; }
    void WriteClipboard(const std::string& Text) override { Clipboard = Text; }
};

class TagPages : public LibraryTest {
protected:
    void SetUp() override
    {
        LibraryTest::SetUp();
        Context.Session = &Session;
        Path = Root / "song.wav";
        test::WriteWav(Path, 44100, 1, 0.2, test::Sine(440.0, 0.3));
        TTags tags;
        ASSERT_EQ(tags.LoadFromFile(Path.string()), 0);
        tags.SetTag("TITLE", "Old title");
        tags.SetTag("ARTIST", "Someone");
        tags.SetTag("COMMENT", "to go");
        ASSERT_EQ(tags.SaveToFile(Path.string()), 0);
        List = std::make_unique<TVPlayList>(Session);
        auto track = std::make_unique<TTrackData>();
        track->SetTag(tkFilePath, Path.string());
        ASSERT_TRUE(track->ReadTags());
        Song = List->AppendTrack(std::move(track));
        List->GroupPlaylist(gmTrackName, false);
    }

    void TearDown() override
    {
        List.reset();
        LibraryTest::TearDown();
    }

    // The bytes of the file's sound.
    std::vector<char> Audio() const
    {
        std::vector<char> const bytes = test::ReadBytes(Path);
        std::string_view const view(bytes.data(), bytes.size());
        size_t const data = view.find("data");
        return data == std::string_view::npos
            ? std::vector<char> {}
            : std::vector<char>(bytes.begin() + data + 8, bytes.begin() + data + 8 + 17640);
    }

    std::filesystem::path Path;
    TViewContext Context;
    std::unique_ptr<TVPlayList> List;
    TTrackData* Song = nullptr;
};

TEST_F(TagPages, EditorReadsEditsPicksRemovesAndSavesFields)
{
    std::vector<char> const audio = Audio();
    ASSERT_FALSE(audio.empty());
    auto editor = TSmartCtrl::Create<TTagsHolder>(Context);
    editor->SetVisible(true);
    editor->SetWidth(750);
    editor->SetHeight(1400);
    editor->ReadTags(*Song);
    TTagsList& lines = *editor->thTagsList;
    ASSERT_NE(lines.GetLine("title"), nullptr) << "found in any case";
    EXPECT_EQ(lines.GetLine("TITLE")->giValueEdit->seText, "Old title");
    EXPECT_EQ(lines.Line(1)->Top(), 150);

    lines.GetLine("TITLE")->giValueEdit->SetText("New title");
    // The bin of the comment's line takes it away.
    TTagItem* const comment = lines.GetLine("COMMENT");
    ASSERT_NE(comment, nullptr);
    int const count = lines.Count();
    TInputData press;
    press.idXPos = lines.Left() + 20;
    press.idYPos = lines.Top() + comment->Top() + 30;
    editor->MouseDown(press);
    EXPECT_EQ(lines.Count(), count - 1);
    EXPECT_EQ(lines.GetLine("COMMENT"), nullptr);

    // The picker offers what the editor lacks; filled lines join the editor.
    bool back = false;
    auto picker = TSmartCtrl::Create<TTagsSelectHolder>(Context, *editor, [&] { back = true; });
    picker->Fill();
    TControlList& offered = picker->mhItemContainer->ItemList();
    EXPECT_EQ(offered.Count(), 55 - 2) << "TITLE and ARTIST are shown already";
    TTagItem* composer = nullptr;
    for (int n = 0; n < offered.Count(); ++n)
        if (auto* const line = static_cast<TTagItem*>(offered.Control(n)); line->giId == "COMPOSER")
            composer = line;
    ASSERT_NE(composer, nullptr);
    composer->giValueEdit->SetText("Writer");
    picker->mhActionsBar->Controls(0)->Control(0)->MouseDown(TInputData {});
    EXPECT_TRUE(back);
    ASSERT_NE(lines.GetLine("COMPOSER"), nullptr);

    ASSERT_TRUE(editor->SaveTags());
    TTags saved;
    ASSERT_EQ(saved.LoadFromFile(Path.string()), 0);
    EXPECT_EQ(saved.GetTag("TITLE"), "New title");
    EXPECT_EQ(saved.GetTag("ARTIST"), "Someone");
    EXPECT_EQ(saved.GetTag("COMPOSER"), "Writer");
    EXPECT_EQ(saved.GetTag("COMMENT"), "");
    EXPECT_EQ(Audio(), audio) << "the sound is untouched";
    EXPECT_EQ(Song->GetTag(tkTrackName), "New title") << "the record shows the saved value";
}

TEST_F(TagPages, LyricsAreMarkedOnlyWhenSavedAndPagesLetGoOfAGoneTrack)
{
    auto lyrics = TSmartCtrl::Create<TFakeClipboardLyrics>(Context);
    lyrics->SetVisible(true);
    lyrics->SetWidth(750);
    lyrics->SetHeight(1400);
    lyrics->ReadLyrics(*Song, true);
    EXPECT_EQ(lyrics->lhTextContainer->tcText, (std::vector<std::string> { "Lyrics.Empty" }));
    ASSERT_TRUE(lyrics->SaveLyrics());
    TTags untouched;
    ASSERT_EQ(untouched.LoadFromFile(Path.string()), 0);
    EXPECT_EQ(untouched.GetTag("LYRICS"), "") << "the no-lyrics text is not saved as lyrics";

    lyrics->Clipboard = "first line\r\nsecond line";
    lyrics->mhActionsBar->Controls(0)->Control(2)->MouseDown(TInputData {}); // paste
    EXPECT_EQ(lyrics->lhTextContainer->tcText, (std::vector<std::string> { "first line", "second line" }));
    EXPECT_FALSE(Song->tdHasLyrics) << "nothing is saved yet";
    ASSERT_TRUE(lyrics->SaveLyrics());
    EXPECT_TRUE(Song->tdHasLyrics);
    TTags saved;
    ASSERT_EQ(saved.LoadFromFile(Path.string()), 0);
    EXPECT_EQ(saved.GetTag("LYRICS"), "first line\nsecond line\n");

    auto editor = TSmartCtrl::Create<TTagsHolder>(Context);
    editor->ReadTags(*Song);
    List->ClearList();
    EXPECT_EQ(lyrics->lhTrackData, nullptr);
    EXPECT_EQ(editor->thTrackData, nullptr);
    EXPECT_FALSE(lyrics->SaveLyrics()) << "no track: nothing to save";
    EXPECT_FALSE(editor->SaveTags());
}

}
}
