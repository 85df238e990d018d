#include "ui/framework/LocaleManager.h"

#include "base/CaseFold.h"
#include "base/FileIO.h"
#include "base/IniFile.h"
#include "base/TextFileEncoding.h"

namespace vantor {

namespace {

// Folds text for an index lookup without allocating in the common case: ASCII names up to
// the buffer's size are lower-cased into it.
class TFoldedKey {
public:
    explicit TFoldedKey(std::string_view text)
    {
        bool ascii = text.size() <= sizeof m_buffer;
        for (size_t i = 0; ascii && i < text.size(); ++i)
            ascii = static_cast<unsigned char>(text[i]) < 0x80;
        if (!ascii) {
            m_heap = FoldCase(text);
            m_view = m_heap;
            return;
        }
        for (size_t i = 0; i < text.size(); ++i) {
            char const c = text[i];
            m_buffer[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        }
        m_view = std::string_view(m_buffer, text.size());
    }
    std::string_view View() const { return m_view; }

private:
    char m_buffer[128];
    std::string m_heap;
    std::string_view m_view;
};

}

TLocaleManager::TLocaleManager(std::filesystem::path appPath, std::string languageFile, std::filesystem::path userPath)
    : m_appPath(std::move(appPath))
    , m_userPath(std::move(userPath))
    , m_languageFile(std::move(languageFile))
{
    Load();
}

std::filesystem::path TLocaleManager::LanguagePath() const
{
    std::filesystem::path const name = std::filesystem::path(m_languageFile).filename();
    if (!m_userPath.empty()) {
        std::filesystem::path const own = m_userPath / "Languages" / name;
        std::error_code error;
        if (!name.empty() && std::filesystem::is_regular_file(own, error))
            return own;
    }
    return m_appPath / "Languages" / name;
}

bool TLocaleManager::Load()
{
    if (std::filesystem::path(m_languageFile).filename().empty())
        return false;
    TIniFile const ini(LanguagePath());
    if (!ini.WasRead())
        return false;
    LoadFrom(ini);
    return true;
}

void TLocaleManager::LoadFrom(TIniFile const& ini)
{
    lmList.clear();
    m_index.clear();
    for (std::string const& section : ini.ReadSections()) {
        auto& keys = m_index[FoldCase(section)];
        for (auto& [key, value] : ini.ReadSectionValues(section)) {
            keys.try_emplace(FoldCase(key), lmList.size()); // keeps the first occurrence
            lmList.push_back({ section, std::move(key), std::move(value) });
        }
    }
}

bool TLocaleManager::Get(std::string_view LocaleID, std::string_view LocaleType, std::string& Text) const
{
    Text.assign(LocaleID);
    auto const section = m_index.find(TFoldedKey(LocaleType).View());
    if (section == m_index.end())
        return false;
    auto const entry = section->second.find(TFoldedKey(LocaleID).View());
    if (entry == section->second.end())
        return false;
    std::string const& value = lmList[entry->second].lvValue;
    if (value.empty())
        return false;
    Text = value;
    return true;
}

std::string TLocaleManager::Get(std::string_view LocaleID, std::string_view LocaleType) const
{
    std::string text;
    Get(LocaleID, LocaleType, text);
    return text;
}

std::string TLocaleManager::AboutText() const
{
    std::filesystem::path own = LanguagePath();
    own.replace_extension(".vlnga");
    std::optional<std::string> bytes = ReadWholeFile(own);
    if (!bytes)
        bytes = ReadWholeFile(m_appPath / "Languages" / "English.vlnga");
    if (!bytes)
        return {};
    std::string const text = DecodeTextFile(*bytes).text;
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n'))
            lines += text[i];
    return lines;
}

TLanguageInfo ReadLanguageInfo(std::filesystem::path const& languageFile, TLocaleManager const& locale)
{
    TIniFile const ini(languageFile);
    TLanguageInfo info;
    info.Name = ini.ReadString(kLocaleInfo, "Name", "");
    if (info.Name.empty())
        info.Name = languageFile.filename().string();
    info.Author = ini.ReadString(kLocaleInfo, "Author", "");
    if (info.Author.empty())
        info.Author = locale.Get("Unknown.ThemeAuthor");
    return info;
}

}
