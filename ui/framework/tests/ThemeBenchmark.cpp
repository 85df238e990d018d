#include "ui/framework/ThemeManager.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace vantor {
namespace {

// A window full of controls: 2,000 of them tile a 1920 x 1080 back buffer (40 x 50 cells of
// 48 x 21 pixels) and each paints a nine-slice background and one line of text, or an icon.
struct TScene {
    TScene()
    {
        theme.Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs");
        for (int i = 0; i < 2000; ++i) {
            rects.push_back(TRect::FromSize((i % 40) * 48, (i / 40) * 21, 48, 21));
            texts.push_back("Track " + std::to_string(i) + " - Some Artist");
        }
    }
    TThemeManager theme;
    TBitmap canvas { 1920, 1080 };
    std::vector<TRect> rects;
    std::vector<std::string> texts;
};

TScene& Scene()
{
    static TScene scene;
    return scene;
}

void NineSliceAndText(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state) {
        for (size_t i = 0; i < s.rects.size(); ++i) {
            s.theme.Draw("Controls:PlayListItem", s.canvas, "", s.rects[i]);
            s.theme.TextOut(
                s.texts[i], "Fonts:Item.Title", tfSingleLine | tfVCenter | tfEndEllipsis, s.rects[i], s.canvas);
        }
    }
    state.SetItemsProcessed(state.iterations() * int64_t(s.rects.size()));
}
BENCHMARK(NineSliceAndText)->Unit(benchmark::kMillisecond);

void NineSliceOnly(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state)
        for (const TRect& rect : s.rects)
            s.theme.Draw("Controls:PlayListItem", s.canvas, "", rect);
    state.SetItemsProcessed(state.iterations() * int64_t(s.rects.size()));
}
BENCHMARK(NineSliceOnly)->Unit(benchmark::kMillisecond);

void TextOnly(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state)
        for (size_t i = 0; i < s.rects.size(); ++i)
            s.theme.TextOut(
                s.texts[i], "Fonts:Item.Title", tfSingleLine | tfVCenter | tfEndEllipsis, s.rects[i], s.canvas);
    state.SetItemsProcessed(state.iterations() * int64_t(s.rects.size()));
}
BENCHMARK(TextOnly)->Unit(benchmark::kMillisecond);

void CachedStretchIcons(benchmark::State& state)
{
    TScene& s = Scene();
    for (auto _ : state)
        for (const TRect& rect : s.rects)
            s.theme.Draw("Icons:Icon.CD.74", s.canvas, "bench", TRect::FromSize(rect.Left, rect.Top, 20, 20));
    state.SetItemsProcessed(state.iterations() * int64_t(s.rects.size()));
}
BENCHMARK(CachedStretchIcons)->Unit(benchmark::kMillisecond);

}
}

BENCHMARK_MAIN();
