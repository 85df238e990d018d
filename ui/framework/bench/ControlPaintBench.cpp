// Painting and hit testing a playlist-like tree: a container with its own canvas holding
// thousands of canvas-less rows, scrolled so that only a screenful intersects it.

#include "ui/framework/SmartVCL.h"

#include <benchmark/benchmark.h>

namespace vantor {
namespace {

class TRow : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
    void OnCreateCanvas() override { }
    void On_Paint(TBitmap& canvas) override
    {
        TRect const r = ControlRect();
        canvas.FillRect({ r.Left, r.Top + 1, r.Right, r.Bottom - 1 }, 0xFF303030);
    }
};

class TPanel : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
    void On_Paint(TBitmap& canvas) override { canvas.FillRect(TRect::FromSize(0, 0, scWidth, scHeight), 0xFF202020); }
};

std::unique_ptr<TSmartVCL> BuildHost(int rows)
{
    auto host = std::make_unique<TSmartVCL>(1200, 800);
    TPanel* panel = host->AddControl("panel", TSmartCtrl::Create<TPanel>());
    panel->SetWidth(1200);
    panel->SetHeight(800);
    for (int i = 0; i < rows; ++i) {
        TRow* row = panel->AddItem(TSmartCtrl::Create<TRow>());
        row->SetWidth(1200);
        row->SetHeight(40);
        row->SetTop(40 * i - 40 * rows / 2); // scrolled to the middle of the list
    }
    return host;
}

void BM_PaintScrolledList(benchmark::State& state)
{
    auto host = BuildHost(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        host->PaintBackBuffer();
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PaintScrolledList)->Arg(100)->Arg(5000)->Unit(benchmark::kMillisecond);

void BM_MouseMoveOverList(benchmark::State& state)
{
    auto host = BuildHost(static_cast<int>(state.range(0)));
    int y = 100;
    for (auto _ : state) {
        host->WindowMouseMove(0, 600, y);
        y = y == 100 ? 500 : 100;
    }
}
BENCHMARK(BM_MouseMoveOverList)->Arg(100)->Arg(5000);

}
}

BENCHMARK_MAIN();
