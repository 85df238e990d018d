// A 100,000-track playlist: reading its file, regrouping it in every mode, the memory a track
// takes (record, dictionary and row), and what a load on its own thread costs the UI thread
// and the audio while a track plays. Reading and grouping are timed in the C locale and in a
// UTF-8 locale, each set up the way the player sets up its own at start.

#include "base/CaseFold.h"
#include "base/Collation.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "platform/audio/AudioEngine.h"
#include "platform/window/UIDispatcher.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace vantor {
namespace {

// The session the benchmark's lists belong to, for the whole run.
vantor::TPlayerSession& BenchSession()
{
    static vantor::TPlayerSession session;
    return session;
}

constexpr int kTracks = 100000;
constexpr int kFiles = 1000;

// The second argument of the locale-dependent benchmarks; setup-deps generates en_US.UTF-8.
char const* const kLocales[] = { "C", "en_US.UTF-8" };

// Takes the locale as the player does, from the environment; false when it is not installed.
bool UseLocale(benchmark::State& state, int64_t which)
{
    char const* const name = kLocales[which];
    ::setenv("LC_ALL", name, 1);
    UseEnvironmentLocale();
    char const* const collate = std::setlocale(LC_COLLATE, nullptr);
    if (!collate || std::strcmp(collate, name) != 0) {
        state.SkipWithError((std::string("locale ") + name + " is not installed").c_str());
        return false;
    }
    return true;
}

std::filesystem::path Folder() { return std::filesystem::temp_directory_path() / "vantor-bench-library"; }

// The playlist file, written once per run: realistic keys and values, paths cycling over
// kFiles small files so that every section names an existing file.
std::string PlaylistFile()
{
    static std::string const path = [] {
        std::filesystem::path const root = Folder();
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "Music Library" / "Various Artists");
        BenchSession().SetAppPath(root.string());
        const char* const genres[] = { "Rock", "Pop", "Jazz", "Classical", "Electronic", "Hip-Hop", "Folk", "Blues" };
        // Some titles and artists beyond ASCII, as in a real library.
        const char* const initials[] = { "A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N", "O", "P",
            "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z", "Ä", "É", "Ö", "Ü" };
        std::string text;
        text.reserve(static_cast<size_t>(kTracks) * 520);
        for (int i = 0; i < kTracks; ++i) {
            int const file = i % kFiles;
            long long const n = i;
            long long const artist = n * 7919 % 4000;
            long long const album = n * 104729 % 9000;
            std::string const name = "Track " + std::to_string(file) + " - Some Song Title.mp3";
            std::string const dir = (root / "Music Library" / "Various Artists").string();
            if (i < kFiles)
                std::ofstream(dir + "/" + name) << "x";
            text += '[';
            text += std::to_string(100000000 + i);
            text += "]\n";
            text += "FilePath=" + dir + "/" + name + "\n";
            text += "Directory=" + dir + "\n";
            text += "FileSize=" + std::to_string(1000000 + n * 7727 % 600000000) + "\n";
            text += "FileName=" + name + "\n";
            text += "TrackName=" + std::string(initials[i % 30]) + "ong number " + std::to_string(n * 31 % 9973) + "\n";
            text += (artist % 5 ? "Artist=Artist Name " : "Artist=Artiste Née ") + std::to_string(artist) + "\n";
            text += "Album=The Album Title " + std::to_string(album) + "\n";
            text += "Year=" + std::to_string(1960 + i % 60) + "\n";
            text += "Bitrate=" + std::to_string(128 + 32 * (i % 7)) + "\n";
            text += "SampleRate=44100\n";
            text += "PlayTime=" + std::to_string(60 + n * 13 % 4000) + ".346938775510\n";
            text += "Channels=2\n";
            text += "Genre=" + std::string(genres[i % 8]) + "\n";
            text += "Rating=" + std::to_string(i % 6) + "\n";
            text += "HasLyrics=0\n";
        }
        text += "[#Settings]\nCaption=Bench\nID=#1\nGroupMode=3\nShuffle=0\nRepeat=0\nScroll=0\n[#Linked]\n";
        std::string const file = (root / "Playlists" / "Bench.vpl").string();
        std::filesystem::create_directories(root / "Playlists");
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }();
    return path;
}

void BM_LoadFromFile(benchmark::State& state)
{
    std::string const path = PlaylistFile();
    if (!UseLocale(state, state.range(0)))
        return;
    for (auto _ : state) {
        auto list = std::make_unique<TVPlayList>(BenchSession());
        list->LoadFromFile(path);
        benchmark::DoNotOptimize(list->TrackCount());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.counters["tracks"] = kTracks;
    state.SetLabel(kLocales[state.range(0)]);
}
BENCHMARK(BM_LoadFromFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// Start-up reads every list's settings on the UI thread before its loader starts.
void BM_LoadSettings(benchmark::State& state)
{
    std::string const path = PlaylistFile();
    for (auto _ : state) {
        auto list = std::make_unique<TVPlayList>(BenchSession());
        list->plPath = path;
        list->LoadSettings();
        benchmark::DoNotOptimize(list->plID);
    }
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_GroupPlaylist(benchmark::State& state)
{
    static std::unique_ptr<TVPlayList> list = [] {
        auto created = std::make_unique<TVPlayList>(BenchSession());
        created->LoadFromFile(PlaylistFile());
        return created;
    }();
    auto const mode = static_cast<TGroupMode>(state.range(0));
    if (!UseLocale(state, state.range(1)))
        return;
    for (auto _ : state) {
        list->GroupPlaylist(mode, false);
        benchmark::DoNotOptimize(list->plGroups.size());
    }
    state.counters["groups"] = static_cast<double>(list->plGroups.size());
    state.SetLabel(std::string(GroupButtonCaptionKey(mode)) + " " + kLocales[state.range(1)]);
}
BENCHMARK(BM_GroupPlaylist)
    ->ArgsProduct({ benchmark::CreateDenseRange(0, kGroupModeCount - 1, 1), { 0, 1 } })
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Shutdown saves every list: rewriting all track sections, keeping them while only the
// settings change, and a list with no change at all (its file is left alone).
void BM_SaveToFile(benchmark::State& state)
{
    static std::unique_ptr<TVPlayList> list = [] {
        auto created = std::make_unique<TVPlayList>(BenchSession());
        created->LoadFromFile(PlaylistFile());
        created->plFileName = "Saved.vpl";
        return created;
    }();
    int64_t const mode = state.range(0);
    for (auto _ : state) {
        list->plNeeedSave = mode == 1;
        if (mode != 2)
            list->plScroll = (list->plScroll + 1) % 1000;
        benchmark::DoNotOptimize(list->SaveToFile());
    }
    state.SetLabel(mode == 1 ? "tracks rewritten" : mode == 0 ? "settings only" : "unchanged");
}
BENCHMARK(BM_SaveToFile)->Arg(1)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

// Resident bytes of the process.
size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

void BM_MemoryPerTrack(benchmark::State& state)
{
    std::string const path = PlaylistFile();
    for (auto _ : state) {
        malloc_trim(0);
        size_t const before = mallinfo2().uordblks;
        size_t const residentBefore = ResidentBytes();
        auto list = std::make_unique<TVPlayList>(BenchSession());
        list->LoadFromFile(path);
        list->GroupPlaylist(gmAlbum, false);
        size_t const after = mallinfo2().uordblks;
        size_t records = 0;
        for (auto const& track : list->plDataList)
            records += track->MemoryBytes();
        state.counters["heap_bytes_per_track"] = static_cast<double>(after - before) / list->TrackCount();
        state.counters["record_bytes_per_track"] = static_cast<double>(records) / list->TrackCount();
        state.counters["resident_bytes_per_track"] =
            static_cast<double>(ResidentBytes() - residentBefore) / list->TrackCount();
        // Adding files to the list builds its look-up index.
        benchmark::DoNotOptimize(list->TrackExists("/nowhere"));
        state.counters["heap_bytes_per_track_indexed"] =
            static_cast<double>(mallinfo2().uordblks - before) / list->TrackCount();
    }
}
BENCHMARK(BM_MemoryPerTrack)->Unit(benchmark::kMillisecond)->Iterations(1);

// The list loads on its loader thread while this thread plays the UI thread, running the
// hand-offs, and an MP3 plays through the SDL output; then the list is regrouped in every
// mode. Reported: the longest single hand-off, and the output periods the decoder missed.
void BM_LoadWhilePlaying(benchmark::State& state)
{
    using Clock = std::chrono::steady_clock;
    std::string const path = PlaylistFile();
    if (!UseLocale(state, state.range(0)))
        return;
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    TAudioEngine engine;
    if (!engine.Init(44100)) {
        state.SkipWithError("no audio output");
        return;
    }
    TUIDispatcher dispatcher;
    BenchSession().LoaderHooks.Dispatcher = &dispatcher;
    double longest = 0;
    double regroupLongest = 0;
    uint32_t underruns = 0;
    int handOffs = 0;
    for (auto _ : state) {
        TChannelHandle const stream =
            engine.StreamCreateFile(std::string(VANTOR_SOURCE_DIR) + "/tests/data/audio/steps10s.mp3");
        engine.ChannelPlay(stream);
        while (engine.ChannelGetPosition(stream) <= 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        uint32_t const before = engine.ChannelGetUnderruns(stream);

        auto list = std::make_unique<TVPlayList>(BenchSession());
        list->plPath = path;
        Load_Start(*list, true, false, false);
        while (list->TrackCount() < kTracks || list->plLoading) {
            auto const start = Clock::now();
            if (dispatcher.RunPosted() > 0) {
                ++handOffs;
                longest = std::max(longest, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            } else {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        }
        for (int mode = 0; mode < kGroupModeCount; ++mode) {
            auto const start = Clock::now();
            list->GroupPlaylist(static_cast<TGroupMode>(mode), false);
            regroupLongest =
                std::max(regroupLongest, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        underruns += engine.ChannelGetUnderruns(stream) - before;
        Load_Stop(*list);
        list.reset();
        engine.StreamFree(stream);
    }
    BenchSession().LoaderHooks.Dispatcher = nullptr;
    engine.Free();
    state.counters["longest_handoff_ms"] = longest;
    state.counters["handoffs"] = handOffs;
    state.counters["longest_regroup_ms"] = regroupLongest;
    state.counters["underruns"] = underruns;
    state.SetLabel(kLocales[state.range(0)]);
}
BENCHMARK(BM_LoadWhilePlaying)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}
}

int main(int argc, char** argv)
{
    vantor::UseEnvironmentLocale();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(vantor::Folder());
    return 0;
}
