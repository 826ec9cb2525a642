// The engine tick redraws the sound buttons whose state changed and every VU
// meter, on the UI thread that also feeds the players; a full page of 100
// buttons and the meters of four outputs must redraw well inside one tick
// (target: under 5 ms), so that a redraw never delays a refill. Measured for
// a page that looks as before, one whose lamps all change, and a new page.
#include "controls/UC_TolvButton.h"
#include "controls/UC_VVU.h"
#include "foundation/Background.h"
#include "platform/Surface.h"
#include "platform/base/Twips.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

QApplication& Application()
{
    static int argc = 1;
    static std::array<char*, 2> argv{const_cast<char*>("bench_sound_controls"), nullptr};
    static std::unique_ptr<QApplication> app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return std::make_unique<QApplication>(argc, argv.data());
    }();
    return *app;
}

// A page as the main window shows it: 100 buttons of 120 x 60 px with a
// background, a face picture, a lamp strip and the usual texts.
struct Page {
    Page()
    {
        basic::TwipsPerPixel = 15;
        basic::PaintBackground(background, 7, -1, -1, -1);
        basic::PaintBackground(face, 2, 0x404040, 0x202020, -1);
        lamps.SetBackColor(0x303030);
        buttons.reserve(100);
        for (int i = 0; i < 100; ++i) {
            auto& button = *buttons.emplace_back(std::make_unique<controls::UC_TolvButton>());
            button.resize(120, 60);
            button.SetPicHDC(&background);
            button.SetPic2HDC(&face);
            button.SetSelHDC(&lamps);
            button.Init();
            button.SetText(0, "オープニングテーマ 朝の番組 " + std::to_string(i));
            button.SetText(1, "Jingle");
            button.SetText(2, std::to_string(i + 1));
            button.SetText(4, "0:30");
            button.SetText(5, "LOOP");
            button.SetActivated(i % 3);
            button.Draw(0);
        }
        for (auto& meter : meters) {
            meter.resize(8, 120);
            meter.Init();
        }
    }

    platform::Surface background{120, 60};
    platform::Surface face{120, 60};
    platform::Surface lamps{24, 27};
    std::vector<std::unique_ptr<controls::UC_TolvButton>> buttons;
    std::array<controls::UC_VVU, 8> meters;
};

void DrawMeters(Page& page, float& level)
{
    level = level >= 0 ? -40 : level + 1;
    for (auto& meter : page.meters) {
        meter.DrawVU(level, level + 3, nullptr, 0, 0);
    }
}

// The play function redraws every button of the page after a start; most of
// them look as before.
void RedrawUnchangedPageAndMeters(benchmark::State& state)
{
    Application();
    Page page;
    float level = -40;
    for (auto _ : state) {
        for (auto& button : page.buttons) {
            button->Draw(0);
        }
        DrawMeters(page, level);
    }
}
BENCHMARK(RedrawUnchangedPageAndMeters)->Unit(benchmark::kMillisecond);

// Every lamp of the page changes (the worst a tick can bring).
void RedrawAllLampsAndMeters(benchmark::State& state)
{
    Application();
    Page page;
    float level = -40;
    int turn = 0;
    for (auto _ : state) {
        ++turn;
        for (auto& button : page.buttons) {
            button->SetActivated(turn % 3);
            button->Draw(0);
        }
        DrawMeters(page, level);
    }
}
BENCHMARK(RedrawAllLampsAndMeters)->Unit(benchmark::kMillisecond);

// A page change: every text of every button is new.
void RedrawNewPageAndMeters(benchmark::State& state)
{
    Application();
    Page page;
    float level = -40;
    int turn = 0;
    for (auto _ : state) {
        ++turn;
        int i = 0;
        for (auto& button : page.buttons) {
            button->SetText(0, "オープニングテーマ 朝の番組 " + std::to_string(turn) + "-" + std::to_string(i));
            button->SetText(1, "Page " + std::to_string(turn % 20));
            button->SetText(4, std::to_string(turn % 60) + ":30");
            button->Draw(0);
            ++i;
        }
        DrawMeters(page, level);
    }
}
BENCHMARK(RedrawNewPageAndMeters)->Unit(benchmark::kMillisecond);

// A page change in a text colour never drawn before: the first page after a
// start, or after the colours were changed, draws its new glyph colours
// through the painter once.
void RedrawNewPageInANewColour(benchmark::State& state)
{
    Application();
    Page page;
    float level = -40;
    int turn = 0;
    for (auto _ : state) {
        ++turn;
        int i = 0;
        for (auto& button : page.buttons) {
            button->SetNormalColor(static_cast<platform::Color>(0x808080 + turn));
            button->SetText(0, "オープニングテーマ 朝の番組 " + std::to_string(turn) + "-" + std::to_string(i));
            button->SetText(4, std::to_string(turn % 60) + ":30");
            button->Draw(0);
            ++i;
        }
        DrawMeters(page, level);
    }
}
BENCHMARK(RedrawNewPageInANewColour)->Unit(benchmark::kMillisecond);

void RedrawMetersOnly(benchmark::State& state)
{
    Application();
    Page page;
    float level = -40;
    for (auto _ : state) {
        DrawMeters(page, level);
    }
}
BENCHMARK(RedrawMetersOnly)->Unit(benchmark::kMicrosecond);

} // namespace
