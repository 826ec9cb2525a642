// The conversions run for every row of a list and every counter on every tick:
// they must stay far below a microsecond.
#include "foundation/ByteText.h"
#include "foundation/Conversions.h"
#include "foundation/Durations.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void SplitAssignLine(benchmark::State& state)
{
    const std::string line =
        R"("0","3","12","//server/share/sounds/jingle 01.wav","0","0","0","2350","0","16777215","12632256")";
    std::vector<std::string> fields;
    for (auto _ : state) {
        benchmark::DoNotOptimize(basic::SplitQuoted(fields, line, ",", 1));
    }
}
BENCHMARK(SplitAssignLine);

void FormatCounter(benchmark::State& state)
{
    std::int32_t ms = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(basic::FormatDuration(ms, 8, 0));
        ms += 50;
    }
}
BENCHMARK(FormatCounter);

void SplitTextFile(benchmark::State& state)
{
    std::string text;
    for (int i = 0; i < 10000; ++i) {
        text += "title,ジングル " + std::to_string(i) + "\r\n";
    }
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    std::vector<std::string> lines;
    for (auto _ : state) {
        benchmark::DoNotOptimize(basic::BytesToLines(bytes, lines));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(SplitTextFile);

} // namespace
