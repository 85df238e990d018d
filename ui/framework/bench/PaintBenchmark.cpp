// Paints a full-HD back buffer holding 2,000 canvas-less item controls, each a nine-slice
// background with a line of text, through the host and the default theme: the whole buffer,
// a frame in which one 64 x 64 control changes, and a whole frame through the damage path.

#include "platform/graphics/TextFlags.h"
#include "ui/framework/SmartCtrl.h"
#include "ui/framework/SmartVCL.h"
#include "ui/framework/ThemeManager.h"
#include "ui/framework/UIScale.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace vantor {
namespace {

class TItem : public TSmartCtrl {
public:
    TItem(TCreateKey key, std::string caption)
        : TSmartCtrl(key)
        , m_caption(std::move(caption))
    {
    }
    void OnCreateCanvas() override { }
    void On_Paint(TBitmap& Canvas) override
    {
        TThemeManager& theme = *Host()->ThemeManager;
        TRect const r = CanvasRect();
        theme.Draw("Controls:PlayListItem", Canvas, "", r);
        theme.TextOut(m_caption, "Fonts:Item.Title", tfSingleLine | tfEndEllipsis | tfVCenter,
            { r.Left + 12, r.Top, r.Right - 6, r.Bottom }, Canvas);
    }

private:
    std::string m_caption;
};

class TPanel : public TSmartCtrl {
public:
    using TSmartCtrl::TSmartCtrl;
};

// 20 columns of 100 rows fill the 1920 x 1080 buffer without overlap: at UI scale 0.5 each
// item is 192 x 21 logical units, 96 x 10.5 device pixels. A 64 x 64 pixel item lies on top.
class TFullHDScene {
public:
    static constexpr int kColumns = 20;
    static constexpr int kRows = 100;
    static constexpr int kWidth = 1920;
    static constexpr int kHeight = 1080;

    TFullHDScene()
    {
        SetUIScale(0.5);
        Host.ThemeManager->Load(std::string(VANTOR_SOURCE_DIR) + "/Theme/default/ThemeData.qxs");
        auto* root = Host.AddControl("Root", TSmartCtrl::Create<TPanel>());
        root->SetWidth(Unscale(kWidth));
        root->SetHeight(Unscale(kHeight));
        for (int column = 0; column < kColumns; ++column) {
            for (int row = 0; row < kRows; ++row) {
                int const n = column * kRows + row + 1;
                auto* item = root->AddItem(TSmartCtrl::Create<TItem>("Track " + std::to_string(n) + " - Artist name"));
                item->SetPosition(column * 192, row * 21);
                item->SetWidth(192);
                item->SetHeight(21);
            }
        }
        Small = root->AddItem(TSmartCtrl::Create<TItem>("Cover"));
        Small->SetPosition(Unscale(800), Unscale(500));
        Small->SetWidth(Unscale(64));
        Small->SetHeight(Unscale(64));
        Host.PaintBackBuffer();
    }
    ~TFullHDScene() { SetUIScale(1.0); }

    TSmartVCL Host { kWidth, kHeight };
    TSmartCtrl* Small = nullptr;
    std::vector<TRect> Dirty;
};

void BM_PaintFullHD2000Items(benchmark::State& state)
{
    TFullHDScene scene;
    for (auto _ : state) {
        scene.Host.PaintBackBuffer();
        benchmark::DoNotOptimize(scene.Host.svCanvas.PixelAt(5, 5));
    }
    state.SetItemsProcessed(state.iterations() * TFullHDScene::kColumns * TFullHDScene::kRows);
}
BENCHMARK(BM_PaintFullHD2000Items)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FrameOne64x64Changes(benchmark::State& state)
{
    TFullHDScene scene;
    for (auto _ : state) {
        scene.Host.InvalidateControl(scene.Small);
        benchmark::DoNotOptimize(&scene.Host.WindowPaint(scene.Dirty));
    }
}
BENCHMARK(BM_FrameOne64x64Changes)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_FrameFullDamage(benchmark::State& state)
{
    TFullHDScene scene;
    for (auto _ : state) {
        scene.Host.Invalidate();
        benchmark::DoNotOptimize(&scene.Host.WindowPaint(scene.Dirty));
    }
}
BENCHMARK(BM_FrameFullDamage)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}
}

BENCHMARK_MAIN();
