// Text lookups as views do them while painting.

#include "ui/framework/LocaleManager.h"

#include <benchmark/benchmark.h>

namespace vantor {
namespace {

void BM_LocaleGet(benchmark::State& state)
{
    TLocaleManager const locale(VANTOR_SOURCE_DIR, "English.vlng");
    char const* const keys[] = { "Menu.PlayQueue", "group.tracks", "ItemData.kbps", "Missing.Key", "Channels.5.1" };
    std::string text;
    for (auto _ : state)
        for (char const* key : keys)
            benchmark::DoNotOptimize(locale.Get(key, kLocaleData, text));
    state.SetItemsProcessed(state.iterations() * std::size(keys));
}
BENCHMARK(BM_LocaleGet);

void BM_LocaleGetTagName(benchmark::State& state)
{
    TLocaleManager const locale(VANTOR_SOURCE_DIR, "English.vlng");
    std::string text;
    for (auto _ : state)
        benchmark::DoNotOptimize(locale.Get("RADIOSTATIONOWNER", kLocaleTagNames, text));
}
BENCHMARK(BM_LocaleGetTagName);

}
}

BENCHMARK_MAIN();
