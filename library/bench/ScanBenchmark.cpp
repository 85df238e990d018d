// Scans a folder tree of 3,000 tagged MP3 files (30 folders of 100, each with a small cover)
// into a new list through the whole loader: collecting, reading every file's tags, grouping
// and the hand-off to the UI thread. The files are generated into a scratch folder when the
// program starts; the first run warms the cache.
//
// For a comparison, the scratch folder is kept while VANTOR_KEEP_SCAN_FILES is set and its
// path printed, so that another reader can be timed on the same files; with
// VANTOR_SCAN_FOLDER set, that tree is scanned instead and nothing is generated.

#include "library/FolderScan.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "library/PlaylistLoader.h"
#include "platform/window/UIDispatcher.h"
#include "tags/Tags.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

// The session the benchmark's lists belong to, for the whole run.
vantor::TPlayerSession& BenchSession()
{
    static vantor::TPlayerSession session;
    return session;
}

namespace fs = std::filesystem;
using namespace vantor;

constexpr int FolderCount = 30;
constexpr int FilesPerFolder = 100;

fs::path ScratchFolder() { return fs::temp_directory_path() / ("vantor-scan-bench-" + std::to_string(::getpid())); }

// The tree to scan: the one named by VANTOR_SCAN_FOLDER, or the generated scratch folder.
fs::path ScanFolder()
{
    const char* given = std::getenv("VANTOR_SCAN_FOLDER");
    return given && *given ? fs::path(given) : ScratchFolder();
}

// Files the scan must add: every file of a given tree, or the ones generated.
size_t ExpectedTracks()
{
    if (ScanFolder() == ScratchFolder())
        return size_t(FolderCount * FilesPerFolder);
    std::vector<std::string> files;
    CollectFolder(ScanFolder().string(), files);
    return files.size();
}

void MakeFiles()
{
    fs::path const root = ScratchFolder();
    fs::path const source = fs::path(VANTOR_SOURCE_DIR) / "tests/data/covers/tracks/red-cover.mp3";
    for (int f = 0; f < FolderCount; ++f) {
        fs::path const folder = root / ("Artist " + std::to_string(f)) / "Album";
        fs::create_directories(folder);
        for (int i = 0; i < FilesPerFolder; ++i) {
            fs::path const file = folder / ("Track " + std::to_string(i) + ".mp3");
            fs::copy_file(source, file, fs::copy_options::overwrite_existing);
            TTags tags;
            tags.LoadFromFile(file.string());
            tags.SetTag("TITLE", "Title " + std::to_string(f * FilesPerFolder + i));
            tags.SetTag("ARTIST", "Artist " + std::to_string(f));
            tags.SetTag("ALBUM", "Album " + std::to_string(f % 7));
            tags.SetTag("YEAR", std::to_string(1970 + f));
            if (tags.SaveToFile(file.string(), ttID3v2) != tlSuccess)
                std::abort();
        }
    }
}

void BM_ScanIntoList(benchmark::State& state)
{
    TUIDispatcher dispatcher;
    BenchSession().LoaderHooks.Dispatcher = &dispatcher;
    int commits = 0;
    BenchSession().LoaderHooks.Resize = [&] { ++commits; };
    size_t tracks = 0;
    const size_t expected = ExpectedTracks();
    for (auto _ : state) {
        auto list = std::make_unique<TVPlayList>(BenchSession());
        int const before = commits;
        OnDrop(*list, { ScanFolder().string() });
        dispatcher.RunPostedUntil([&] { return commits > before; }, std::chrono::milliseconds(1));
        tracks = size_t(list->TrackCount());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    if (tracks != expected)
        state.SkipWithError("not every file was added");
    state.counters["tracks"] = double(tracks);
    BenchSession().LoaderHooks = {};
}
BENCHMARK(BM_ScanIntoList)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CollectOnly(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::string> files;
        CollectFolder(ScanFolder().string(), files);
        benchmark::DoNotOptimize(files.data());
    }
}
BENCHMARK(BM_CollectOnly)->Unit(benchmark::kMillisecond);

}

int main(int argc, char** argv)
{
    BenchSession().SetAppPath(ScratchFolder().string());
    if (ScanFolder() == ScratchFolder())
        MakeFiles();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (ScanFolder() != ScratchFolder())
        return 0;
    if (std::getenv("VANTOR_KEEP_SCAN_FILES"))
        std::printf("files kept in %s\n", ScratchFolder().c_str());
    else
        fs::remove_all(ScratchFolder());
    return 0;
}
