// A resize lays out every output of the main window on the UI thread that
// also feeds the players: four full grids of 100 buttons must be measured and
// placed well inside one engine tick (target: under 5 ms). Measured for the
// computation alone and for a pass that also moves the 400 button widgets,
// alternating between two window sizes so that every pass moves them.
#include "controls/UC_TolvButton.h"
#include "mainwindow/LayoutTypes.h"
#include "mainwindow/WindowLayout.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"

#include <QApplication>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

QApplication& Application()
{
    static int argc = 1;
    static std::array<char*, 2> argv{const_cast<char*>("WindowLayoutBench"), nullptr};
    static std::unique_ptr<QApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return std::make_unique<QApplication>(argc, argv.data());
    }();
    return *app;
}

// Four 10 x 10 grids side by side (layout type 11) with the default button
// size, status panels and page selectors.
WindowLayout::Input FourFullGrids()
{
    WindowLayout::Input in;
    in.UnitHeight = 90;
    in.UnitGap = 30;
    in.NumOut = 4;
    in.LayoutType = LayoutTypes::Choose(4, {0, 0, 0, 0}, 1, 1);
    in.anchors.Module = {90, 0, 5325, 915};
    in.anchors.LEDs = {5505, 0, 1020, 915};
    in.anchors.Page = {6645, 0, 4830, 915};
    in.anchors.Current = {90, 0, 6000, 915};
    in.anchors.Ctrl = {90, 945, 5100, 330};
    in.anchors.List = {90, 0, 6000, 3000};
    in.anchors.ButtonWidth = 1770;
    in.anchors.ButtonHeight = 1695;
    in.ContentLeft = 90;
    for (auto& out : in.Outputs) {
        out.ModuleX = 10;
        out.ModuleY = 10;
        out.IndicatorCount = 3;
        out.FrameColor = 0x0000FF;
    }
    in.ScaleWidth = 80000;
    in.ScaleHeight = 20000;
    return in;
}

void BM_ComputeLayout(benchmark::State& state)
{
    WindowLayout::Input in = FourFullGrids();
    int turn = 0;
    for (auto _ : state) {
        in.ScaleWidth = (turn++ % 2) == 0 ? 80000 : 90000;
        WindowLayout::Result result = WindowLayout::Compute(in);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ComputeLayout)->Unit(benchmark::kMicrosecond);

void BM_LayoutPassMovingFourHundredButtons(benchmark::State& state)
{
    Application();
    basic::TwipsPerPixel = 15;
    QWidget pictureAll;
    pictureAll.resize(6000, 1400);
    std::vector<controls::UC_TolvButton*> buttons;
    for (int i = 0; i < 400; ++i) {
        auto* button = new controls::UC_TolvButton(&pictureAll);
        button->resize(118, 113);
        buttons.push_back(button);
    }
    pictureAll.show();
    WindowLayout::Input in = FourFullGrids();
    int turn = 0;
    for (auto _ : state) {
        in.ScaleWidth = (turn++ % 2) == 0 ? 80000 : 90000;
        const WindowLayout::Result result = WindowLayout::Compute(in);
        for (std::size_t output = 0; output < 4; ++output) {
            const auto& places = result.Outputs[output].Buttons;
            for (std::size_t b = 0; b < places.size(); ++b) {
                platform::MoveTwips(*buttons[output * 100 + b], places[b].X, places[b].Y);
            }
        }
    }
}
BENCHMARK(BM_LayoutPassMovingFourHundredButtons)->Unit(benchmark::kMicrosecond);

} // namespace
