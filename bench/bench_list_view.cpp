// A play list or the material browser may hold 10,000 items. Filling one and
// drawing it, and scrolling through it, must stay well under 100 ms per step,
// and a redraw paints only the rows on screen.
#include "BenchSetup.h"

#include "controls/UC_ListView.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int Items = 10'000;

std::unique_ptr<UC_ListView> MakeList()
{
    benchsetup::OffscreenApp();
    auto list = std::make_unique<UC_ListView>();
    list->SetNumData(4);
    list->SetNumAux(2);
    list->Init();
    const char* names[] = {"Title", "Length", "File", "Comment"};
    for (int c = 0; c < 4; ++c) {
        list->SetTabName(c, names[c]);
        list->SetTabWidth(c, 1800);
    }
    list->resize(600, 480);
    list->InitTab();
    return list;
}

void Fill(UC_ListView& list)
{
    list.DeleteAll();
    list.AddItem(Items);
    for (int i = 0; i < Items; ++i) {
        const std::string number = std::to_string(i);
        list.SetValue(i, 0, "Sound " + number);
        list.SetValue(i, 1, "00:03:" + std::to_string(10 + i % 50));
        list.SetValue(i, 2, "/srv/sounds/sound" + number + ".wav");
        list.SetValue(i, 3, "comment " + number);
        list.SetAuxID(i, 0, "/srv/sounds/sound" + number + ".wav");
        list.SetIconType(i, i % 6);
    }
}

// Filling 10,000 items, then laying out the bars and drawing the first page.
void BM_FillAndRedraw(benchmark::State& state)
{
    auto list = MakeList();
    for (auto _ : state) {
        Fill(*list);
        list->Refresh();
    }
    state.counters["painted_rows"] = list->PaintedRows();
    state.counters["visible_rows"] = list->VisibleRows();
}
BENCHMARK(BM_FillAndRedraw)->Unit(benchmark::kMillisecond);

// One redraw of the page shown.
void BM_Redraw(benchmark::State& state)
{
    auto list = MakeList();
    Fill(*list);
    list->Refresh();
    for (auto _ : state) {
        list->ReDraw();
    }
    state.counters["painted_rows"] = list->PaintedRows();
}
BENCHMARK(BM_Redraw)->Unit(benchmark::kMillisecond);

// Scrolling by the wheel (three rows a notch) from the top to the bottom of
// 10,000 items; each step redraws. Counts the rows painted per step.
void BM_ScrollThrough(benchmark::State& state)
{
    auto list = MakeList();
    Fill(*list);
    list->Refresh();
    long steps = 0;
    long painted = 0;
    int mostPainted = 0;
    for (auto _ : state) {
        list->VBarScroll(1);
        ++steps;
        painted += list->PaintedRows();
        mostPainted = std::max(mostPainted, list->PaintedRows());
        if (list->TopItem() >= list->VBar()->Max()) {
            list->Refresh();
        }
    }
    state.counters["rows_per_step"] = steps > 0 ? static_cast<double>(painted) / static_cast<double>(steps) : 0;
    state.counters["most_rows_per_step"] = mostPainted;
    state.counters["visible_rows"] = list->VisibleRows();
}
BENCHMARK(BM_ScrollThrough)->Unit(benchmark::kMillisecond);

// Sorting 10,000 items by a text column and redrawing.
void BM_SortAndRedraw(benchmark::State& state)
{
    auto list = MakeList();
    Fill(*list);
    list->Refresh();
    for (auto _ : state) {
        list->ReOrder(2, 0, -1);
        list->ReDraw();
    }
}
BENCHMARK(BM_SortAndRedraw)->Unit(benchmark::kMillisecond);

} // namespace
