// Playlist files: settings, linked folders and track sections from arbitrary bytes. The fast
// reader must see the sections and values the INI reader sees.

#include "base/IniFile.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vantor;
    std::string_view const bytes(reinterpret_cast<const char*>(data), size);
    TPlaylistFile const file = TPlaylistFile::FromBytes(bytes);
    TIniFile const ini = TIniFile::FromBytes(bytes);
    std::vector<std::string> const names = ini.ReadSections();
    if (names.size() != file.Sections().size())
        __builtin_trap();
    for (size_t i = 0; i < names.size(); ++i) {
        TPlaylistFile::TSection const& section = file.Sections()[i];
        if (section.Name != names[i])
            __builtin_trap();
        for (auto const& [key, value] : section.Values()) {
            if (TPlaylistFile::Value(section, key) != ini.ReadString(names[i], key, "<none>"))
                __builtin_trap();
        }
    }
    // Reading only some sections gives them as a full read does.
    TPlaylistFile const settings = TPlaylistFile::FromBytes(bytes, { "#Settings", "#Linked" });
    for (TPlaylistFile::TSection const& section : settings.Sections()) {
        TPlaylistFile::TSection const* const full = file.Find(section.Name);
        if (!full || full->Body != section.Body)
            __builtin_trap();
    }
    if (settings.Sections().size()
        != size_t(file.Find("#Settings") != nullptr) + size_t(file.Find("#Linked") != nullptr))
        __builtin_trap();
    TPlayerSession session;
    auto list = std::make_unique<TVPlayList>(session);
    list->LoadSettings(file);
    list->AppendTracks(list->ReadTracks(file));
    list->GroupPlaylist(list->plGroupMode, false);
    for (auto const& track : list->plDataList) {
        TIniFile out = TIniFile::FromBytes({});
        track->SaveInfo(&out);
    }
    return 0;
}
