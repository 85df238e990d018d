#include "ui/framework/LocaleManager.h"

#include "base/IniFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace vantor {
namespace {

std::filesystem::path const kApp = std::filesystem::path(VANTOR_TEST_DATA) / "locale" / "app";

// A copy of the fixture application folder that a test may change.
std::filesystem::path ScratchApp()
{
    char const* root = std::getenv("VANTOR_TEST_TMP");
    auto const* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::path folder = std::filesystem::path(root ? root : "/tmp/vantor-test") / info->name();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy(kApp, folder, std::filesystem::copy_options::recursive);
    return folder;
}

TEST(LocaleManager, LooksUpBySectionAndKeyWithoutCase)
{
    TLocaleManager const locale(kApp, "Test.vlng");
    struct Case {
        char const* id;
        char const* section;
        char const* expected;
    };
    Case const cases[] = {
        { "Menu.PlayQueue", kLocaleData, "Play queue" }, // written in lower case in the file
        { "BUTTON.GOBACK", "#DATA", "Back" },            // the first of two wins
        { "Shared", kLocaleData, "from data" },          // one key, two sections
        { "shared", kLocaleGenres, "from genres" },
        { "Rock", kLocaleData, "Rock" }, // only in "Genres"
        { "Rock", kLocaleGenres, "Rock music" },
        { "Title", kLocaleTagNames, "Title" },
        { "Late", kLocaleData, "Late key" },             // from the second "[#data]" block
        { "STRASSE", kLocaleData, "street" },            // Unicode folding: ß ~ ss
        { "Group.Empty", kLocaleData, "Group.Empty" },   // empty value: the key
        { "Group.Tracks", kLocaleData, "Group.Tracks" }, // absent: the key
        { "Name", kLocaleData, "Name" },
    };
    for (Case const& c : cases)
        EXPECT_EQ(locale.Get(c.id, c.section), c.expected) << c.section << " " << c.id;

    std::string text = "junk";
    EXPECT_TRUE(locale.Get("Rock", kLocaleGenres, text));
    EXPECT_EQ(text, "Rock music");
    EXPECT_FALSE(locale.Get("Group.Empty", kLocaleData, text));
    EXPECT_EQ(text, "Group.Empty");
    EXPECT_FALSE(locale.Get("Nope", "NoSection", text));
    EXPECT_EQ(text, "Nope");
}

TEST(LocaleManager, KeepsEveryEntryInFileOrder)
{
    TLocaleManager const locale(kApp, "Test.vlng");
    auto const& list = locale.List();
    ASSERT_EQ(list.size(), 11u);
    EXPECT_EQ(list[0].lvType, "#Info");
    EXPECT_EQ(list[2].lvID, "Button.GoBack");
    EXPECT_EQ(list[3].lvValue, "Second");
    EXPECT_EQ(list[4].lvValue, "");
    EXPECT_EQ(list[7].lvType, "#Data"); // the later "[#data]" block joins the first
    EXPECT_EQ(list[7].lvID, "Late");
    EXPECT_EQ(list[10].lvID, "TITLE");
    locale.Get("Not.There");
    EXPECT_EQ(locale.List().size(), 11u); // lookups add nothing
}

TEST(LocaleManager, AbsentFileKeepsThePreviousLanguage)
{
    auto const app = ScratchApp();
    TLocaleManager none(app, "Missing.vlng");
    EXPECT_TRUE(none.List().empty());
    EXPECT_EQ(none.Get("Menu.About"), "Menu.About");

    TLocaleManager locale(app, "Test.vlng");
    std::filesystem::remove(app / "Languages" / "NoAbout.vlng"); // deleted after the list was built
    locale.SetLanguageFile("NoAbout.vlng");
    EXPECT_FALSE(locale.Load());
    EXPECT_EQ(locale.Get("Button.GoBack"), "Back");

    locale.SetLanguageFile("");
    EXPECT_FALSE(locale.Load());
    EXPECT_EQ(locale.Get("Button.GoBack"), "Back");
}

TEST(LocaleManager, LoadReplacesTheWholeList)
{
    TLocaleManager locale(kApp, "Test.vlng");
    locale.SetLanguageFile("NoAbout.vlng");
    EXPECT_TRUE(locale.Load());
    EXPECT_EQ(locale.Get("Menu.About"), "Over");
    EXPECT_EQ(locale.Get("Button.GoBack"), "Button.GoBack");
    EXPECT_EQ(locale.List().size(), 1u);
}

TEST(LocaleManager, LanguageNameCannotLeaveTheFolder)
{
    TLocaleManager const locale(kApp, "../../app/Languages/Test.vlng");
    EXPECT_EQ(locale.LanguagePath(), kApp / "Languages" / "Test.vlng");
    EXPECT_EQ(locale.Get("Button.GoBack"), "Back");
}

// An installed player reads the user's own language files before the shipped ones.
TEST(LocaleManager, TheUsersLanguageWinsOverTheShippedOne)
{
    auto const user = ScratchApp();
    std::filesystem::remove(user / "Languages" / "NoAbout.vlng");
    std::ofstream(user / "Languages" / "Test.vlng") << "[#Data]\nButton.GoBack=Mine\n";

    TLocaleManager locale(kApp, "Test.vlng", user);
    EXPECT_EQ(locale.LanguagePath(), user / "Languages" / "Test.vlng");
    EXPECT_EQ(locale.Get("Button.GoBack"), "Mine");
    locale.SetLanguageFile("NoAbout.vlng"); // only shipped
    EXPECT_TRUE(locale.Load());
    EXPECT_EQ(locale.LanguagePath(), kApp / "Languages" / "NoAbout.vlng");
    EXPECT_EQ(locale.Get("Menu.About"), "Over");
}

TEST(LocaleManager, AboutTextFallsBackToEnglishThenNothing)
{
    auto const app = ScratchApp();
    EXPECT_EQ(TLocaleManager(app, "Test.vlng").AboutText(), "About line one\nAbout line two\n");
    EXPECT_EQ(TLocaleManager(app, "NoAbout.vlng").AboutText(), "English about\n");
    std::filesystem::remove(app / "Languages" / "English.vlnga");
    EXPECT_EQ(TLocaleManager(app, "NoAbout.vlng").AboutText(), "");
}

TEST(LocaleManager, LanguageInfoDefaults)
{
    TLocaleManager const locale(kApp, "Test.vlng");
    TLanguageInfo const test = ReadLanguageInfo(kApp / "Languages" / "Test.vlng", locale);
    EXPECT_EQ(test.Name, "Testish");
    EXPECT_EQ(test.Author, "Unknown.ThemeAuthor"); // the fixture does not translate it
    TLanguageInfo const bare = ReadLanguageInfo(kApp / "Languages" / "NoAbout.vlng", locale);
    EXPECT_EQ(bare.Name, "NoAbout.vlng");
}

TEST(LocaleManager, LoadsFromAnIniInMemory)
{
    TLocaleManager locale(kApp / "no-such-folder", "x.vlng");
    std::string const longKey(300, 'K'); // longer than the lookup's stack buffer
    locale.LoadFrom(TIniFile::FromBytes("[#Data]\nA=1\n" + longKey + "=long\n"));
    EXPECT_EQ(locale.Get("a"), "1");
    EXPECT_EQ(locale.Get(std::string(300, 'k')), "long");
}

}
}
