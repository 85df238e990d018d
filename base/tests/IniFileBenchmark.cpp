// INI files the size of a large playlist: one section per track.

#include "base/IniFile.h"

#include <benchmark/benchmark.h>

namespace vantor {
namespace {

constexpr char const* kKeys[] = { "FilePath", "Directory", "FileSize", "FileName", "TrackName", "Artist", "Album",
    "Year", "Bitrate", "SampleRate", "PlayTime", "Channels", "Genre", "Rating", "HasLyrics" };

std::string PlaylistBytes(int tracks)
{
    std::string text;
    for (int t = 0; t < tracks; ++t) {
        text.append("[").append(std::to_string(100000 + t)).append("]\n");
        for (char const* key : kKeys)
            text.append(key).append("=some value of track ").append(std::to_string(t)).append("\n");
    }
    return text + "[#Settings]\nCaption=Big list\n";
}

void BM_IniReadPlaylist(benchmark::State& state)
{
    std::string const bytes = PlaylistBytes(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto const ini = TIniFile::FromBytes(bytes);
        size_t found = 0;
        for (auto const& section : ini.ReadSections())
            found += ini.ReadString(section, "FilePath", "").size() + ini.ReadSectionValues(section).size();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IniReadPlaylist)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_IniWritePlaylist(benchmark::State& state)
{
    int const tracks = static_cast<int>(state.range(0));
    for (auto _ : state) {
        auto ini = TIniFile::FromBytes("");
        for (int t = 0; t < tracks; ++t) {
            std::string const section = std::to_string(100000 + t);
            for (char const* key : kKeys)
                ini.WriteString(section, key, "some value");
        }
        benchmark::DoNotOptimize(ini.ToBytes());
    }
    state.SetItemsProcessed(state.iterations() * tracks);
}
BENCHMARK(BM_IniWritePlaylist)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}
}

BENCHMARK_MAIN();
