// Opening and saving the assign table file happen while the operator waits
// (and the save on close while the program ends): a full table of 8,000
// buttons must parse into the staging tables and be written atomically well
// under 50 ms. The pre-read warms the file cache for every assigned sound.
#include "mainwindow/MainState.h"
#include "foundation/FileAccess.h"
#include "foundation/ServerFolders.h"
#include "playback/AssignFileFormat.h"
#include "playback/AssignLine.h"
#include "playback/AssignPaths.h"
#include "playback/PreRead.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string BenchFolder()
{
    static const std::string folder = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "tolv-bench-XXXXXX").string();
        const char* made = mkdtemp(templ.data());
        return std::string(made != nullptr ? made : "/tmp") + "/";
    }();
    return folder;
}

// Every button of every page of every output assigned.
std::unique_ptr<MainState> FullState()
{
    auto state = std::make_unique<MainState>();
    state->PageNum = 20;
    state->ButtonsPerPage.fill(100);
    for (int output = 0; output < AssignOutputs; ++output) {
        for (int page = 0; page < AssignPages; ++page) {
            state->BankName[static_cast<std::size_t>(PageNameIndex(output, page))] = "ページ " + std::to_string(page + 1);
            for (int button = 0; button < AssignButtons; ++button) {
                AssignRecord& record = state->ButtonTable[static_cast<std::size_t>(
                    ButtonTableIndex(output, page, button))];
                record.FileName = "//server/share/sounds/page" + std::to_string(page) + "/jingle " +
                                  std::to_string(output * 10000 + page * 100 + button) + ".wav";
                record.PlayMode = button % 4;
                record.StartMS = button * 10;
                record.TextColor = 0xFFFFFF;
                record.BackColor = -1;
            }
        }
    }
    return state;
}

void ParseIntoStaging(benchmark::State& bench)
{
    const auto state = FullState();
    const std::string path = BenchFolder() + "full.txt";
    const std::string text = playback::BuildAssignFile(*state, path, playback::PathFull, std::nullopt);
    const std::span bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    for (auto _ : bench) {
        AssignTableSet tables = playback::FreshTablesForRead(*state);
        benchmark::DoNotOptimize(playback::ParseAssignFile(bytes, path, state->SyncDrive, tables));
    }
    bench.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(ParseIntoStaging)->Unit(benchmark::kMillisecond);

void BuildAndWriteAtomically(benchmark::State& bench)
{
    const auto state = FullState();
    const std::string path = BenchFolder() + "written.txt";
    for (auto _ : bench) {
        const std::string text = playback::BuildAssignFile(*state, path, playback::PathFull, std::nullopt);
        benchmark::DoNotOptimize(basic::SaveFileAtomic(path, std::string_view(text)));
    }
}
BENCHMARK(BuildAndWriteAtomically)->Unit(benchmark::kMillisecond);

// 1,000 sounds of 1 MB each, already in the page cache after the first pass.
void PreReadThousandFiles(benchmark::State& bench)
{
    FCT_Quind::LocalPath = BenchFolder() + "cache/";
    std::vector<std::string> files;
    const std::string folder = BenchFolder() + "sounds/";
    std::filesystem::create_directories(folder);
    const std::string megabyte(1 << 20, 'x');
    for (int i = 0; i < 1000; ++i) {
        files.push_back(folder + std::to_string(i) + ".wav");
        if (!std::filesystem::exists(files.back())) {
            basic::SaveFileAtomic(files.back(), std::string_view(megabyte));
        }
    }
    for (auto _ : bench) {
        for (const std::string& file : files) {
            benchmark::DoNotOptimize(playback::PreReadSoundFile(file));
        }
    }
}
BENCHMARK(PreReadThousandFiles)->Unit(benchmark::kMillisecond);

} // namespace
