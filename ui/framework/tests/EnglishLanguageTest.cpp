#include "ui/framework/LocaleManager.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vantor {
namespace {

// Every "#Data" key the player looks up.
char const* const kDataKeys[] = {
    "Button.AddPlaylist",
    "Button.AddTag",
    "Button.ClearLyrics",
    "Button.ClearQueue",
    "Button.ClearSearch",
    "Button.ClearSelected",
    "Button.ClipboardCopy",
    "Button.ClipboardCut",
    "Button.ClipboardPaste",
    "Button.DeleteFiles",
    "Button.Donate",
    "Button.GoBack",
    "Button.LinkFolder",
    "Button.LoadPreset",
    "Button.PlaylistOptions",
    "Button.QueueLoad",
    "Button.QueueSave",
    "Button.RemoveFromList",
    "Button.RemovePlaylist",
    "Button.Rescan",
    "Button.SaveChanges",
    "Button.SaveQueue",
    "Channels.Unknown",
    "Channels.Mono",
    "Channels.Stereo",
    "Channels.3",
    "Channels.4",
    "Channels.5",
    "Channels.5.1",
    "Equalizer.Balance",
    "Volume.Muted",
    "Error.CannotLoad",
    "Error.CannotOpen",
    "Error.UnableToPlay",
    "Group.BitrateUnknown",
    "Group.Hrs",
    "Group.Min",
    "Group.Tracks",
    "Group.Unknown",
    "GroupButton.Track",
    "GroupButton.Artist",
    "GroupButton.Album",
    "GroupButton.Year",
    "GroupButton.Genre",
    "GroupButton.Bitrate",
    "GroupButton.Size",
    "GroupButton.Duration",
    "GroupButton.Rating",
    "ItemData.Channels",
    "ItemData.KB",
    "ItemData.MB",
    "ItemData.GB",
    "ItemData.SizeUnknown",
    "ItemData.kbps",
    "ItemData.khz",
    "Lyrics.Empty",
    "Menu.About",
    "Menu.Equalizer",
    "Menu.EqPresets",
    "Menu.Language",
    "Menu.LoadQueue",
    "Menu.LyricsViewer",
    "Menu.PlayLists",
    "Menu.PlayQueue",
    "Menu.PlaylistName",
    "Menu.QueueDesc",
    "Menu.QueueName",
    "Menu.SaveQueue",
    "Menu.Search",
    "Menu.Selected",
    "Menu.Settings",
    "Menu.TagsEditor",
    "Menu.Themes",
    "Messages.File",
    "Messages.Files",
    "Messages.FileDelete",
    "Messages.FileDelete?",
    "Messages.NoFolderDialog",
    "Messages.PlaylistDelete",
    "Messages.PlaylistDelete?",
    "Messages.QueueName!",
    "PlayList.Default",
    "PlayList.Favorites",
    "PlayList.Library",
    "PlayList.MergeWith",
    "PlayList.MostPlayed",
    "PlayList.PlayList",
    "PlayList.Radio",
    "PlayList.Empty",
    "PlayList.Stations",
    "PlayList.Tracks",
    "Search.Found",
    "Tip.DeleteMode",
    "Tip.DeleteMode.On",
    "Tip.DeleteMode.Off",
    "Unknown.Album",
    "Unknown.Author",
    "Unknown.Genre",
    "Unknown.ThemeAuthor",
    "Unknown.Year",
};

// The fields the tag editor offers, in its order.
char const* const kTagNames[] = {
    "LYRICS",
    "ARTIST",
    "TITLE",
    "ALBUMARTIST",
    "COMPOSER",
    "SUBTITLE",
    "MIXARTIST",
    "ALBUM",
    "COPYRIGHT",
    "GROUPING",
    "GENRE",
    "DATE",
    "RELEASEDATE",
    "RECORDINGDATE",
    "YEAR",
    "TRACKNUMBER",
    "TRACK",
    "DISCNUMBER",
    "DISC",
    "BPM",
    "KEY",
    "CONDUCTOR",
    "LYRICIST",
    "PRODUCED",
    "STUDIO",
    "PUBLISHER",
    "ENCODEDBY",
    "SOFTWARESETTINGS",
    "ISRC",
    "DISCSUBTITLE",
    "LANGUAGE",
    "MEDIA",
    "TIPL",
    "TMCL",
    "MOOD",
    "COMMENT",
    "ARTISTSORT",
    "TITLESORT",
    "ALBUMARTISTSORT",
    "ALBUMSORT",
    "ORIGINALARTIST",
    "ORIGINALTITLE",
    "ORIGINALLYRICIST",
    "ORIGINALFILENAME",
    "ORIGINALRELEASEDATE",
    "ARTISTURL",
    "AUDIOFILEURL",
    "BUYCDURL",
    "PUBLISHERURL",
    "RADIOSTATIONURL",
    "COPYRIGHTURL",
    "OFFICIALAUDIOSOURCEURL",
    "PAYMENTURL",
    "FILEOWNER",
    "RADIOSTATIONNAME",
    "RADIOSTATIONOWNER",
};

TEST(EnglishLanguage, TranslatesEveryKeyAndTagName)
{
    static_assert(std::size(kDataKeys) == 100);
    static_assert(std::size(kTagNames) == 56);
    TLocaleManager const locale(VANTOR_SOURCE_DIR, "English.vlng");
    std::string text;
    for (char const* key : kDataKeys)
        EXPECT_TRUE(locale.Get(key, kLocaleData, text)) << key;
    for (char const* name : kTagNames)
        EXPECT_TRUE(locale.Get(name, kLocaleTagNames, text)) << name;

    // nothing beyond the known keys, so no key is misspelt
    size_t dataEntries = 0;
    for (TLocaleString const& entry : locale.List())
        dataEntries += entry.lvType == kLocaleData;
    EXPECT_EQ(dataEntries, std::size(kDataKeys));
    EXPECT_EQ(locale.Get("Messages.PlaylistDelete?").back(), '?');
}

TEST(EnglishLanguage, HasItsInfoAndAboutText)
{
    TLocaleManager const locale(VANTOR_SOURCE_DIR, "English.vlng");
    TLanguageInfo const info = ReadLanguageInfo(locale.LanguagePath(), locale);
    EXPECT_EQ(info.Name, "English");
    EXPECT_EQ(info.Author, "the Vantor team");
    EXPECT_NE(locale.AboutText().find("Vantor"), std::string::npos);
}

// Every language shipped beside English translates exactly its keys: none missing (the key would
// show), none extra (a misspelt key translates nothing).
TEST(ShippedLanguages, HoldTheSameKeysAsEnglish)
{
    auto keys = [](char const* file) {
        TLocaleManager const locale(VANTOR_SOURCE_DIR, file);
        std::set<std::pair<std::string, std::string>> found;
        for (TLocaleString const& entry : locale.List())
            if (entry.lvType != kLocaleInfo && !entry.lvValue.empty())
                found.emplace(entry.lvType, entry.lvID);
        return found;
    };
    auto const english = keys("English.vlng");
    for (char const* file : { "Deutsch.vlng" }) {
        auto const other = keys(file);
        for (auto const& [section, key] : english)
            EXPECT_TRUE(other.count({ section, key })) << file << " lacks " << section << " " << key;
        for (auto const& [section, key] : other)
            EXPECT_TRUE(english.count({ section, key })) << file << " has more: " << section << " " << key;
    }
    TLocaleManager const german(VANTOR_SOURCE_DIR, "Deutsch.vlng");
    EXPECT_EQ(ReadLanguageInfo(german.LanguagePath(), german).Name, "Deutsch");
    EXPECT_EQ(german.Get("Menu.Settings"), "Einstellungen");
    EXPECT_NE(german.AboutText().find("Designs"), std::string::npos);
}

}
}
