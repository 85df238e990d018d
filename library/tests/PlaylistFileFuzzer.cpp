// Playlist files: settings, linked folders and track sections from arbitrary bytes.

#include "app/settings/IniFile.h"
#include "library/PlayList.h"
#include "library/PlaylistFile.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace vantor;
    TPlaylistFile const file = TPlaylistFile::FromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    auto list = TSmartCtrl::Create<TVPlayList>();
    list->LoadSettings(file);
    list->AppendTracks(list->ReadTracks(file));
    list->GroupPlaylist(list->plGroupMode, false);
    for (auto const& track : list->plDataList) {
        TIniFile out = TIniFile::FromBytes({});
        track->SaveInfo(&out);
    }
    return 0;
}
