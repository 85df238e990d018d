// Throughput of decoding plus the ten-band equalizer on one core, and the time from creating
// and playing a stream to its first sample at the output.
#include "platform/audio/AudioEngine.h"
#include "platform/audio/Decoder.h"
#include "platform/audio/PeakingFilter.h"

#include <benchmark/benchmark.h>

#include <sched.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantor;

const std::string kInput = std::string(VANTOR_SOURCE_DIR) + "/tests/data/audio/steps10s.mp3";
constexpr float kCenters[10] = { 80, 170, 310, 600, 1000, 3000, 6000, 10000, 12000, 14000 };
constexpr float kGains[10] = { 6, 4, 2, -1, -3, 1, 3, 5, 6, 7 };

// Every thread created after this runs on the first CPU the process may use.
void PinToOneCore()
{
    cpu_set_t allowed;
    CPU_ZERO(&allowed);
    sched_getaffinity(0, sizeof(allowed), &allowed);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
        if (CPU_ISSET(cpu, &allowed)) {
            cpu_set_t one;
            CPU_ZERO(&one);
            CPU_SET(cpu, &one);
            sched_setaffinity(0, sizeof(one), &one);
            return;
        }
    }
}

double ProcessCpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

void AddEqualizer(TAudioEngine& engine, TChannelHandle handle)
{
    for (int band = 0; band < 10; ++band)
        engine.FXSetParameters(
            engine.ChannelSetFX(handle, TEffectType::ParamEq, 1), { kCenters[band], 18.0f, kGains[band] });
}

// The whole engine (decoder thread, block queue, equalizer, mixer) on a free-running null
// output, everything pinned to one core.
void BM_PlayMp3WithEqualizer(benchmark::State& state)
{
    PinToOneCore();
    TAudioEngine engine;
    TNullOutputOptions options;
    options.Clock = TNullOutputOptions::TClock::FreeRunning;
    engine.InitNull(options);
    double audioSeconds = 0.0;
    double cpuSeconds = 0.0;
    for (auto _ : state) {
        const double cpuStart = ProcessCpuSeconds();
        const TChannelHandle h = engine.StreamCreateFile(kInput);
        if (h == 0) {
            state.SkipWithError("cannot open the input");
            return;
        }
        AddEqualizer(engine, h);
        engine.ChannelPlay(h);
        while (engine.ChannelIsActive(h) == TChannelState::Playing)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        audioSeconds += engine.ChannelBytes2Seconds(h, engine.ChannelGetLength(h));
        engine.StreamFree(h);
        cpuSeconds += ProcessCpuSeconds() - cpuStart;
    }
    state.counters["x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
    // Audio time per CPU time of all the process's threads: the same figure, unaffected by
    // other programs competing for the core.
    state.counters["x_realtime_cpu"] = cpuSeconds > 0 ? audioSeconds / cpuSeconds : 0.0;
}
BENCHMARK(BM_PlayMp3WithEqualizer)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts on their own, on the calling thread: decoding and conversion to the output format.
void BM_DecodeMp3(benchmark::State& state)
{
    double audioSeconds = 0.0;
    for (auto _ : state) {
        TMediaSource source;
        source.Path = kInput;
        auto decoder = TDecoder::Open(source, 44100);
        int64_t frames = 0;
        for (TDecodedChunk chunk = decoder->Next(); !chunk.Eof || chunk.Frames > 0; chunk = decoder->Next()) {
            frames += chunk.Frames;
            if (chunk.Eof)
                break;
        }
        audioSeconds += double(frames) / 44100.0;
    }
    state.counters["x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeMp3)->Unit(benchmark::kMillisecond);

// Ten peaking filters over one second of stereo audio.
void BM_Equalizer10(benchmark::State& state)
{
    std::vector<float> samples(2 * 44100, 0.25f);
    TPeakingFilter filters[10];
    TPeakingFilter* chain[10];
    for (int band = 0; band < 10; ++band) {
        filters[band].Design(kCenters[band], 18.0, kGains[band], 44100.0);
        chain[band] = &filters[band];
    }
    double audioSeconds = 0.0;
    for (auto _ : state) {
        TPeakingFilter::ProcessChain(chain, 10, samples.data(), 44100);
        benchmark::DoNotOptimize(samples.data());
        audioSeconds += 1.0;
    }
    state.counters["x_realtime"] = benchmark::Counter(audioSeconds, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Equalizer10)->Unit(benchmark::kMillisecond);

// From StreamCreateFile to the moment the output has taken the first audio of the stream.
void MeasureFirstSample(benchmark::State& state, TAudioEngine& engine)
{
    double slowest = 0.0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const TChannelHandle h = engine.StreamCreateFile(kInput);
        engine.ChannelPlay(h);
        while (engine.ChannelGetPosition(h) == 0)
            std::this_thread::yield();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        slowest = std::max(slowest, elapsed);
        engine.StreamFree(h);
    }
    state.counters["max_ms"] = slowest * 1000.0;
}

void BM_FirstSampleDevice(benchmark::State& state)
{
    TAudioEngine engine;
    if (!engine.Init(44100)) {
        state.SkipWithError("no audio device (try SDL_AUDIODRIVER=dummy)");
        return;
    }
    MeasureFirstSample(state, engine);
}
BENCHMARK(BM_FirstSampleDevice)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

// From ChannelSetPosition to the moment the output has played audio from the new position.
void BM_SeekDevice(benchmark::State& state)
{
    TAudioEngine engine;
    if (!engine.Init(44100)) {
        state.SkipWithError("no audio device (try SDL_AUDIODRIVER=dummy)");
        return;
    }
    const TChannelHandle h = engine.StreamCreateFile(kInput);
    engine.ChannelPlay(h);
    const int64_t length = engine.ChannelGetLength(h);
    int64_t target = 0;
    double slowest = 0.0;
    for (auto _ : state) {
        target = (target + length / 7) % (length * 9 / 10) / 4 * 4;
        const auto start = std::chrono::steady_clock::now();
        engine.ChannelSetPosition(h, target);
        while (engine.ChannelGetPosition(h) <= target)
            std::this_thread::yield();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(elapsed);
        slowest = std::max(slowest, elapsed);
    }
    state.counters["max_ms"] = slowest * 1000.0;
}
BENCHMARK(BM_SeekDevice)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

void BM_FirstSampleNullOutput(benchmark::State& state)
{
    TAudioEngine engine;
    engine.InitNull({});
    MeasureFirstSample(state, engine);
}
BENCHMARK(BM_FirstSampleNullOutput)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

}

BENCHMARK_MAIN();
