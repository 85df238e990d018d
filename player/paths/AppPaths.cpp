#include "player/paths/AppPaths.h"

#include "player/settings/Settings.h"

#include <cstdlib>
#include <pwd.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace vantor {

namespace fs = std::filesystem;

namespace {

constexpr char kProgramFolder[] = "vantor";

fs::path BaseFolder(char const* value, fs::path const& fallback)
{
    if (value && *value && fs::path(value).is_absolute())
        return fs::path(value);
    return fallback;
}

std::string WithSlash(fs::path const& folder)
{
    std::string text = folder.string();
    if (text.empty() || text.back() != '/')
        text += '/';
    return text;
}

bool IsFolder(fs::path const& path)
{
    std::error_code error;
    return fs::is_directory(path, error);
}

}

TXdgFolders TXdgFolders::FromValues(
    std::string const& home, char const* configHome, char const* dataHome, char const* cacheHome)
{
    fs::path const base(home);
    return { BaseFolder(configHome, base / ".config"), BaseFolder(dataHome, base / ".local" / "share"),
        BaseFolder(cacheHome, base / ".cache") };
}

TXdgFolders TXdgFolders::FromEnvironment()
{
    std::string home;
    if (char const* value = std::getenv("HOME"); value && *value) {
        home = value;
    } else {
        long const size = sysconf(_SC_GETPW_R_SIZE_MAX);
        std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
        passwd entry {};
        passwd* found = nullptr;
        if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir)
            home = found->pw_dir;
    }
    // Without any home the folders are relative to the working folder; still never the
    // install folder.
    return FromValues(
        home, std::getenv("XDG_CONFIG_HOME"), std::getenv("XDG_DATA_HOME"), std::getenv("XDG_CACHE_HOME"));
}

TAppPaths TAppPaths::InFolder(fs::path const& folder)
{
    TAppPaths paths;
    paths.m_portable = true;
    paths.m_configFolder = folder;
    paths.m_dataFolder = WithSlash(folder);
    paths.m_cacheFolder = folder / "Cache";
    paths.m_userFolder = folder;
    paths.m_shippedFolder = folder;
    return paths;
}

TAppPaths TAppPaths::ForExecutable(fs::path const& executableFolder, TXdgFolders const& xdg)
{
    bool const shipsBeside = IsFolder(executableFolder / kThemeFolder);
    if (shipsBeside && access(executableFolder.c_str(), W_OK) == 0)
        return InFolder(executableFolder);
    TAppPaths paths;
    paths.m_portable = false;
    paths.m_configFolder = xdg.ConfigHome / kProgramFolder;
    fs::path const data = xdg.DataHome / kProgramFolder;
    paths.m_dataFolder = WithSlash(data);
    paths.m_cacheFolder = xdg.CacheHome / kProgramFolder;
    paths.m_userFolder = data;
    // A copy whose folder may not be written to still reads what it ships beside itself.
    paths.m_shippedFolder =
        shipsBeside ? executableFolder : (executableFolder / ".." / "share" / kProgramFolder).lexically_normal();
    return paths;
}

fs::path TAppPaths::SettingsFile() const { return SettingsFilePath(m_configFolder); }

fs::path TAppPaths::ThemeFile(std::string const& themeName) const
{
    fs::path name = fs::path(themeName).filename();
    if (name.empty() || name == "." || name == "..")
        name = "default";
    fs::path const user = m_userFolder / kThemeFolder / name / kThemeFileName;
    std::error_code error;
    if (m_userFolder != m_shippedFolder && fs::is_regular_file(user, error))
        return user;
    return m_shippedFolder / kThemeFolder / name / kThemeFileName;
}

}
