#pragma once

// Translated texts by key. The language file (an INI file in a folder "Languages": the user's
// own or the shipped one) is held in memory as a flat list of entries; views store keys and look their
// texts up at paint time, so a language change takes effect with the next repaint. A missing
// translation shows the key itself. User-interface thread only.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor {

class TIniFile;

inline constexpr char kLocaleData[] = "#Data";
inline constexpr char kLocaleGenres[] = "Genres";
inline constexpr char kLocaleTagNames[] = "#TagNames";
inline constexpr char kLocaleInfo[] = "#Info";

// One entry of a language file.
struct TLocaleString {
    std::string lvType;  // section
    std::string lvID;    // key
    std::string lvValue; // text, possibly empty
};

class TLocaleManager {
public:
    // appPath is the folder that holds the shipped "Languages"; languageFile the file name of
    // the language (the "Language" setting, e.g. "English.vlng"); userPath, when not empty,
    // the folder whose "Languages" holds the user's own, which win over shipped ones of the
    // same name. Runs Load().
    TLocaleManager(std::filesystem::path appPath, std::string languageFile, std::filesystem::path userPath = {});

    // Replaces the language file name; call Load() to read it.
    void SetLanguageFile(std::string languageFile) { m_languageFile = std::move(languageFile); }
    std::string const& LanguageFile() const { return m_languageFile; }
    // "Languages/" + the language file name in the user's folder when the file is there, else
    // in appPath. Only the name part of the setting is used, so a setting cannot point outside
    // the folders.
    std::filesystem::path LanguagePath() const;

    // (Re)reads the language file. When it does not exist (or cannot be read) nothing
    // changes: the entries already loaded stay. Returns whether the file was read.
    bool Load();
    // Replaces the entries by every section and key of ini, in file order.
    void LoadFrom(TIniFile const& ini);

    // The text of LocaleID in section LocaleType, compared without case; the first entry in
    // file order wins. Text is LocaleID when there is no entry or its value is empty. Returns
    // whether a non-empty entry was found.
    bool Get(std::string_view LocaleID, std::string_view LocaleType, std::string& Text) const;
    std::string Get(std::string_view LocaleID, std::string_view LocaleType = kLocaleData) const;

    // The about text: the ".vlnga" file beside the language file, else "English.vlnga", else
    // empty. Line ends are LF.
    std::string AboutText() const;

    std::vector<TLocaleString> const& List() const { return lmList; }

private:
    std::filesystem::path m_appPath;
    std::filesystem::path m_userPath;
    std::string m_languageFile;
    std::vector<TLocaleString> lmList; // file order
    // Lookups run during painting, so they go through an index: folded section -> folded
    // key -> position of the key's first entry in lmList.
    struct THash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    template <typename T>
    using TFoldedMap = std::unordered_map<std::string, T, THash, std::equal_to<>>;
    TFoldedMap<TFoldedMap<size_t>> m_index;
};

// Name and author of a language file for the language list: "#Info" "Name" (default: the file
// name) and "Author" (default: the text of "Unknown.ThemeAuthor").
struct TLanguageInfo {
    std::string Name;
    std::string Author;
};
TLanguageInfo ReadLanguageInfo(std::filesystem::path const& languageFile, TLocaleManager const& locale);

}
