// The player window at work on a big library: the real form in a 1920 x 1080 window at the
// scale of a 96 DPI screen (0.4), showing a 100,000-track list grouped by album (about 8,000
// groups) whose files carry cover pictures, so every group on screen paints one.
//
// - BM_WheelScroll: the wheel over the group column, a group per notch, from the top to the
//   end of the list, and over the rows, a track per notch, for a stretch of the list.
// - BM_DragScrollKnob: the scroll bar's knob dragged from top to bottom, one pixel per move.
//   Both report the UI thread's time per frame (the input, the hand-offs and timers that are
//   due, the layout and the repaint of what changed, as the event loop runs them), and the
//   most cover pictures the groups held at once while the cover thread loads and releases
//   them.
// - BM_DropFolder: 3,000 tagged files dropped on an empty list: the time until its first rows
//   are painted and the longest single step of the UI thread meanwhile.
// - BM_ResidentMemory: what the form showing the list takes per track, resident and on the
//   heap, beside an empty form.
//
// Needs a display (run it under xvfb-run, with SDL_AUDIODRIVER=dummy).

#include "app/VantorForm.h"
#include "library/PlayList.h"
#include "library/PlayerSession.h"
#include "platform/window/EventLoop.h"
#include "tags/Tags.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/UIScale.h"
#include "ui/views/controlbar/ControlBar.h"
#include "ui/views/playlist/PlayListBar.h"
#include "ui/views/playlist/PlayListPanel.h"
#include "ui/views/shared/SmartScroll.h"

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace vantor {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTracks = 100000;
constexpr int kAlbums = 8000;
constexpr int kCoverFiles = 1000;
constexpr int kDropFiles = 3000;
constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr double kScale = 96.0 / 240.0; // what automatic scaling gives at 96 DPI
constexpr int kRowNotches = 5000;

fs::path Root() { return fs::temp_directory_path() / "vantor-bench-window"; }
fs::path AppFolder() { return Root() / "app"; }

double Ms(Clock::duration duration) { return std::chrono::duration<double, std::milli>(duration).count(); }

// The calling thread's processor time: the machine may be busy with other work, which the
// wall clock counts too.
double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// A tagged MP3 made from the fixture without a picture, with a cover when asked.
void WriteTrack(
    const fs::path& path, const std::string& title, const std::string& artist, const std::string& album, bool cover)
{
    fs::path const fixtures = fs::path(VANTOR_SOURCE_DIR) / "tests/data/covers";
    fs::copy_file(fixtures / "tracks/no-cover.mp3", path, fs::copy_options::overwrite_existing);
    TTags tags;
    tags.LoadFromFile(path.string());
    tags.SetTag("TITLE", title);
    tags.SetTag("ARTIST", artist);
    tags.SetTag("ALBUM", album);
    if (cover) {
        if (TCoverArt* picture = tags.AddCoverArt("Cover", (fixtures / "jpeg/testsrc.jpg").string()))
            picture->CoverType = 3;
    }
    if (tags.SaveToFile(path.string()) != 0)
        throw std::runtime_error("cannot tag " + path.string());
}

// The files and the list, made once per run.
struct TBenchData {
    fs::path ListFile; // the 100,000-track list, kept pristine (a form's shutdown saves its scroll)
    fs::path DropFolder;
};

const TBenchData& Data()
{
    static TBenchData const data = [] {
        TBenchData made;
        fs::remove_all(Root());
        fs::path const covers = Root() / "Music";
        fs::create_directories(covers);
        for (int i = 0; i < kCoverFiles; ++i)
            WriteTrack(
                covers / ("Track " + std::to_string(i) + ".mp3"), "Song " + std::to_string(i), "Artist", "Album", true);
        made.DropFolder = Root() / "Drop";
        for (int i = 0; i < kDropFiles; ++i) {
            fs::path const folder = made.DropFolder / ("Album " + std::to_string(i / 12));
            fs::create_directories(folder);
            WriteTrack(folder / (std::to_string(i % 12 + 1) + " Song.mp3"), "Song number " + std::to_string(i),
                "Artist " + std::to_string(i / 120), "Album " + std::to_string(i / 12), false);
        }
        const char* const genres[] = { "Rock", "Pop", "Jazz", "Classical", "Electronic", "Folk" };
        std::string text;
        text.reserve(static_cast<size_t>(kTracks) * 500);
        for (int i = 0; i < kTracks; ++i) {
            long long const n = i;
            std::string const name = "Track " + std::to_string(i % kCoverFiles) + ".mp3";
            text += '[';
            text += std::to_string(100000000 + i);
            text += "]\n";
            text += "FilePath=" + (covers / name).string() + "\n";
            text += "Directory=" + covers.string() + "\n";
            text += "FileSize=" + std::to_string(3000000 + n * 7727 % 6000000) + "\n";
            text += "FileName=" + name + "\n";
            text += "TrackName=Song number " + std::to_string(n * 31 % 9973) + "\n";
            text += "Artist=Artist Name " + std::to_string(n * 7919 % 4000) + "\n";
            text += "Album=The Album Title " + std::to_string(n * 104729 % kAlbums) + "\n";
            text += "Year=" + std::to_string(1960 + i % 60) + "\n";
            text += "Bitrate=" + std::to_string(128 + 32 * (i % 7)) + "\n";
            text += "SampleRate=44100\n";
            text += "PlayTime=" + std::to_string(60 + n * 13 % 400) + ".346938775510\n";
            text += "Channels=2\n";
            text += "Genre=" + std::string(genres[i % 6]) + "\n";
        }
        text += "[#Settings]\nCaption=Big\nID=#1\nGroupMode=2\nShuffle=0\nRepeat=0\nScroll=0\n[#Linked]\n";
        made.ListFile = Root() / "Big.vpl";
        std::ofstream(made.ListFile, std::ios::binary) << text;
        return made;
    }();
    return data;
}

// A fresh application folder whose current list is the given one (none: the default list).
void PrepareAppFolder(const fs::path* list, const std::string& id)
{
    fs::remove_all(AppFolder());
    fs::create_directories(AppFolder() / "Playlists");
    fs::path const source(VANTOR_SOURCE_DIR);
    fs::copy(source / "Theme", AppFolder() / "Theme", fs::copy_options::recursive);
    fs::copy(source / "Languages", AppFolder() / "Languages", fs::copy_options::recursive);
    if (list)
        fs::copy_file(*list, AppFolder() / "Playlists" / list->filename());
    std::ofstream(AppFolder() / "Settings.ini")
        << "[#Settings]\nAutoScaling=0\nScaling=" << kScale << "\nAppWidth=" << static_cast<int>(kWidth / kScale)
        << "\nAppHeight=" << static_cast<int>(kHeight / kScale) << "\nLastPlayList=" << id << "\n";
}

// A running form, its first frame out.
class TRunningForm {
public:
    TRunningForm()
        : Form({}, TAppPaths::InFolder(AppFolder().string() + "/"))
    {
        if (!Form.FormCreate())
            throw std::runtime_error("start-up failed");
        Form.FormShow();
        Form.Loop()->RunOnce(0);
    }
    ~TRunningForm() { Form.FormDestroy(); }

    TVPlayList* Current() const { return Form.Session().CurrentPlayList; }
    TPlayListView* View() const { return Form.PlayListPanel()->ViewOf(Current()); }
    TSmartVCL& Host() const { return *Form.Host(); }
    void Step() { Form.Loop()->RunOnce(0); }

    // Runs the loop until the current list holds count tracks and is not loading.
    bool WaitForTracks(int count)
    {
        auto const end = Clock::now() + std::chrono::minutes(2);
        while (Clock::now() < end) {
            Step();
            TVPlayList const* const list = Current();
            if (list && list->TrackCount() >= count && !list->plLoading)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    TVantorForm Form;
};

// The pictures the groups hold, by count and bytes (as decoded and as prepared).
struct TCoverCount {
    int Pictures = 0;
    size_t Bytes = 0;
};

TCoverCount HeldCovers(TVPlayList& list)
{
    TCoverCount count;
    for (TGroupData* group : list.plGroups) {
        std::lock_guard lock(group->gdCoverLock);
        for (TBitmap const* picture : { group->gdPicture.get(), group->gdPictureCache.get() })
            if (picture)
                count.Bytes += static_cast<size_t>(picture->Width()) * picture->Height() * 4;
        count.Pictures += group->gdPicture ? 1 : 0;
    }
    return count;
}

// Frame times and the covers held, over a series of frames.
class TFrames {
public:
    explicit TFrames(TVPlayList& list)
        : m_list(list)
    {
    }

    // One frame: the input, then one round of the event loop.
    void Frame(TRunningForm& form, const std::function<void()>& input)
    {
        auto const start = Clock::now();
        double const cpuStart = ThreadCpuMs();
        input();
        m_inputTimes.push_back(Ms(Clock::now() - start));
        form.Step();
        m_times.push_back(Ms(Clock::now() - start));
        m_cpuTimes.push_back(ThreadCpuMs() - cpuStart);
        TCoverCount const held = HeldCovers(m_list);
        m_maxPictures = std::max(m_maxPictures, held.Pictures);
        m_maxBytes = std::max(m_maxBytes, held.Bytes);
    }

    void Report(benchmark::State& state, const std::string& prefix)
    {
        state.counters[prefix + "frames"] = static_cast<double>(m_times.size());
        ReportTimes(state, prefix, m_times);
        ReportTimes(state, prefix + "cpu_", m_cpuTimes);
        ReportTimes(state, prefix + "input_", m_inputTimes);
        state.counters[prefix + "covers_max"] = m_maxPictures;
        state.counters[prefix + "cover_kib_max"] = static_cast<double>(m_maxBytes) / 1024;
    }

private:
    static void ReportTimes(benchmark::State& state, const std::string& prefix, std::vector<double> times)
    {
        std::sort(times.begin(), times.end());
        auto at = [&](double share) {
            return times.empty() ? 0.0 : times[std::min(times.size() - 1, static_cast<size_t>(share * times.size()))];
        };
        state.counters[prefix + "median_ms"] = at(0.5);
        state.counters[prefix + "p99_ms"] = at(0.99);
        state.counters[prefix + "max_ms"] = times.empty() ? 0.0 : times.back();
    }

    TVPlayList& m_list;
    std::vector<double> m_times;      // wall clock
    std::vector<double> m_cpuTimes;   // the UI thread's processor time
    std::vector<double> m_inputTimes; // the input alone (wall clock)
    int m_maxPictures = 0;
    size_t m_maxBytes = 0;
};

int ListsTop() { return TControlBar::BarHeight + TPlayListBar::BarHeight; }

// The form showing the big list, loaded, its covers being loaded.
std::unique_ptr<TRunningForm> BigListForm(benchmark::State& state)
{
    PrepareAppFolder(&Data().ListFile, "#1");
    auto form = std::make_unique<TRunningForm>();
    if (!form->WaitForTracks(kTracks) || !form->View()) {
        state.SkipWithError("the list did not load");
        return nullptr;
    }
    form->Step();
    return form;
}

size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    size_t resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Settles the cover thread (a few of its walks) before the figures are taken.
void Settle(TRunningForm& form)
{
    auto const end = Clock::now() + std::chrono::milliseconds(1500);
    while (Clock::now() < end) {
        form.Step();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void BM_ResidentMemory(benchmark::State& state)
{
    Data();
    for (auto _ : state) {
        // The empty form first: the big one's growth over it is the list's.
        PrepareAppFolder(nullptr, "");
        size_t residentEmpty = 0;
        size_t heapEmpty = 0;
        {
            TRunningForm form;
            Settle(form);
            malloc_trim(0);
            residentEmpty = ResidentBytes();
            heapEmpty = mallinfo2().uordblks;
        }
        std::unique_ptr<TRunningForm> form = BigListForm(state);
        if (!form)
            return;
        Settle(*form);
        malloc_trim(0);
        size_t const resident = ResidentBytes();
        size_t const heap = mallinfo2().uordblks;
        TCoverCount const covers = HeldCovers(*form->Current());
        double const tracks = form->Current()->TrackCount();
        state.counters["resident_mib"] = static_cast<double>(resident) / (1 << 20);
        state.counters["resident_empty_mib"] = static_cast<double>(residentEmpty) / (1 << 20);
        state.counters["resident_bytes_per_track"] = (static_cast<double>(resident) - residentEmpty) / tracks;
        state.counters["heap_bytes_per_track"] = (static_cast<double>(heap) - heapEmpty) / tracks;
        state.counters["heap_bytes_per_track_without_covers"] =
            (static_cast<double>(heap) - heapEmpty - covers.Bytes) / tracks;
        state.counters["covers_held"] = covers.Pictures;
        state.counters["cover_kib"] = static_cast<double>(covers.Bytes) / 1024;
    }
}
BENCHMARK(BM_ResidentMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_WheelScroll(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<TRunningForm> form = BigListForm(state);
        if (!form)
            return;
        TVPlayList& list = *form->Current();
        TSmartVCL& host = form->Host();
        state.counters["groups"] = static_cast<double>(list.plGroups.size());
        // Over the group column: a group per notch until the end.
        TFrames groups(list);
        host.WindowMouseMove(0, Scale(200), Scale(ListsTop() + 700));
        int still = 0;
        while (still < 3) {
            int const before = list.plScroll;
            groups.Frame(*form, [&] { host.WindowMouseWheel(-1, 0); });
            still = list.plScroll == before ? still + 1 : 0;
        }
        groups.Report(state, "group_notch_");
        // Over the rows: a track per notch, from the top.
        form->View()->SetScroll(0);
        list.plCurrentItemIdx = 0;
        form->Step();
        TFrames rows(list);
        host.WindowMouseMove(0, Scale(1200), Scale(ListsTop() + 700));
        for (int i = 0; i < kRowNotches; ++i)
            rows.Frame(*form, [&] { host.WindowMouseWheel(-1, 0); });
        rows.Report(state, "row_notch_");
    }
}
BENCHMARK(BM_WheelScroll)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_DragScrollKnob(benchmark::State& state)
{
    for (auto _ : state) {
        std::unique_ptr<TRunningForm> form = BigListForm(state);
        if (!form)
            return;
        TVPlayList& list = *form->Current();
        TSmartVCL& host = form->Host();
        TPlayListView& view = *form->View();
        TSmartScroll const& bar = *view.plScrollBar;
        int const x = Scale(view.Width() - 35);
        int const top = Scale(ListsTop() + bar.ssPanPoint);
        int const bottom = Scale(ListsTop() + view.Height()) - 1;
        TFrames frames(list);
        frames.Frame(*form, [&] { host.WindowMouseDown(mbLeft, ssLeft, x, top); });
        for (int y = top + 1; y <= bottom; ++y)
            frames.Frame(*form, [&] { host.WindowMouseMove(ssLeft, x, y); });
        frames.Frame(*form, [&] { host.WindowMouseUp(mbLeft, 0, x, bottom); });
        frames.Report(state, "");
        state.counters["last_scroll"] = list.plScroll;
        state.counters["scroll_max"] = list.plScrollMax;
    }
}
BENCHMARK(BM_DragScrollKnob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void BM_DropFolder(benchmark::State& state)
{
    std::string const folder = Data().DropFolder.string();
    for (auto _ : state) {
        // An empty list of its own, current.
        fs::path const empty = Root() / "Empty.vpl";
        std::ofstream(empty) << "[#Settings]\nCaption=Drop\nID=#2\nGroupMode=2\n[#Linked]\n";
        PrepareAppFolder(&empty, "#2");
        TRunningForm form;
        if (!form.Current() || form.Current()->plID != "#2" || !form.WaitForTracks(0)) {
            state.SkipWithError("no empty list");
            return;
        }
        TVPlayList& list = *form.Current();
        double longest = 0;
        double longestCpu = 0;
        auto const start = Clock::now();
        auto timed = [&](const std::function<void()>& step) {
            auto const at = Clock::now();
            double const cpu = ThreadCpuMs();
            step();
            longest = std::max(longest, Ms(Clock::now() - at));
            longestCpu = std::max(longestCpu, ThreadCpuMs() - cpu);
        };
        timed([&] {
            form.Host().WindowDrop({ folder }, Scale(1200), Scale(ListsTop() + 700));
            form.Step();
        });
        double firstRows = -1;
        while (Clock::now() - start < std::chrono::minutes(2)) {
            timed([&] { form.Step(); });
            if (firstRows < 0 && list.TrackCount() > 0 && !list.plGroups.empty())
                firstRows = Ms(Clock::now() - start);
            if (list.TrackCount() >= kDropFiles && !list.plLoading)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.counters["first_rows_ms"] = firstRows;
        state.counters["all_rows_ms"] = Ms(Clock::now() - start);
        state.counters["longest_ui_step_ms"] = longest;
        state.counters["longest_ui_step_cpu_ms"] = longestCpu;
        state.counters["tracks"] = list.TrackCount();
    }
}
BENCHMARK(BM_DropFolder)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}
}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(vantor::Root());
    return 0;
}
