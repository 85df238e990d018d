// Time from the start-up sequence to the first frame on screen, with the default theme and
// no Settings.ini: FormCreate, FormShow and the first round of the event loop, which paints
// the back buffer and presents it. Needs a display (run it under xvfb-run).

#include "app/VantorForm.h"
#include "platform/window/EventLoop.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace vantor {
namespace {

namespace fs = std::filesystem;

// A private application folder holding the shipped data, so the benchmark writes no settings
// beside the real executable.
std::string MakeAppFolder()
{
    fs::path const folder = fs::temp_directory_path() / "vantor-bench-startup";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::path const source(VANTOR_SOURCE_DIR);
    fs::copy(source / "Theme", folder / "Theme", fs::copy_options::recursive);
    fs::copy(source / "Languages", folder / "Languages", fs::copy_options::recursive);
    return folder.string() + "/";
}

void BM_StartupToFirstFrame(benchmark::State& state)
{
    std::string const appPath = MakeAppFolder();
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(fs::path(appPath) / "Settings.ini");
        {
            TVantorForm form({}, TAppPaths::InFolder(appPath));
            state.ResumeTiming();
            if (!form.FormCreate()) {
                state.SkipWithError("start-up failed");
                break;
            }
            form.FormShow();
            form.Loop()->RunOnce(0);
            state.PauseTiming();
            form.FormDestroy();
        }
        state.ResumeTiming();
    }
    fs::remove_all(appPath);
}
BENCHMARK(BM_StartupToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(20);

}
}

BENCHMARK_MAIN();
