#pragma once

// TAppPaths: where the player finds its shipped files and keeps its own. The main controller
// makes it once and hands it on.
//
// A portable copy (the executable's folder holds the shipped "Theme" and may be written to)
// keeps everything beside the executable, as it always did. An installed player keeps
// Settings.ini in $XDG_CONFIG_HOME/vantor/, its playlists and queues and the user's own
// themes and languages in $XDG_DATA_HOME/vantor/, and cached files in $XDG_CACHE_HOME/vantor/;
// it reads the shipped themes and languages from <prefix>/share/vantor/ (the executable being
// <prefix>/bin/vantor) and never writes there.
//
//   TAppPaths const paths = TAppPaths::ForExecutable(ExecutableFolder(), TXdgFolders::FromEnvironment());
//   LoadSettingsFile(paths.SettingsFile(), ...);

#include <filesystem>
#include <string>

namespace vantor {

// The folder of the themes, one subfolder each, and the theme file a theme folder holds.
inline constexpr char kThemeFolder[] = "Theme";
inline constexpr char kThemeFileName[] = "ThemeData.qxs";

// The user's base folders: each $XDG_..._HOME when it is set to an absolute path, else its
// default under the home folder (~/.config, ~/.local/share, ~/.cache).
struct TXdgFolders {
    std::filesystem::path ConfigHome, DataHome, CacheHome;

    // home: the home folder the defaults are under. A variable that is unset, empty or
    // relative is ignored, as the base-directory rules ask.
    static TXdgFolders FromValues(
        std::string const& home, char const* configHome, char const* dataHome, char const* cacheHome);
    // The same from this process's environment ($HOME, else the user database).
    static TXdgFolders FromEnvironment();
};

class TAppPaths {
public:
    // Everything in folder: a portable copy, and the form's tests.
    static TAppPaths InFolder(std::filesystem::path const& folder);
    // The paths of the executable in executableFolder: portable when that folder holds
    // "Theme" and may be written to, installed otherwise.
    static TAppPaths ForExecutable(std::filesystem::path const& executableFolder, TXdgFolders const& xdg);

    bool Portable() const { return m_portable; }
    std::filesystem::path SettingsFile() const;
    // The folder of "Playlists/" and "Queues/", with a trailing '/'.
    std::string const& DataFolder() const { return m_dataFolder; }
    // Files the player may make again at any time (the current track's cover).
    std::filesystem::path const& CacheFolder() const { return m_cacheFolder; }
    // The folders that hold "Theme/" and "Languages/": the user's own, searched first, and the
    // shipped one. They are the same folder in a portable copy.
    std::filesystem::path const& UserFolder() const { return m_userFolder; }
    std::filesystem::path const& ShippedFolder() const { return m_shippedFolder; }
    // The theme file of the theme named themeName: the user's when there is one, else the
    // shipped one. Only the name part counts, so a setting cannot point elsewhere.
    std::filesystem::path ThemeFile(std::string const& themeName) const;

private:
    bool m_portable = true;
    std::filesystem::path m_configFolder;
    std::string m_dataFolder;
    std::filesystem::path m_cacheFolder;
    std::filesystem::path m_userFolder;
    std::filesystem::path m_shippedFolder;
};

}
