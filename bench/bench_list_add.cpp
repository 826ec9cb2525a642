// Adding 1,000 sound files (in the page cache) to a play list by one drop and
// redrawing the list: the admission checks, the wave headers and lengths, the
// rows, the store into the table and one redraw. Target: under 300 ms.
#include "BenchSetup.h"

#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "platform/DragData.h"
#include "playback/PlayListControl.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// 1,000 one-second 48 kHz stereo wave files, read once so they sit in the
// page cache.
std::vector<std::string> Files()
{
    static const std::vector<std::string> files = [] {
        const std::string folder = benchsetup::MakeTempFolder("tolv-bench-list-");
        const std::uint32_t dataSize = 48000 * 4;
        std::vector<std::uint8_t> bytes = benchsetup::PcmWaveHeader(dataSize);
        bytes.resize(bytes.size() + dataSize, 1);
        std::vector<std::string> paths;
        for (int i = 0; i < 1000; ++i) {
            const std::string path = folder + "/sound" + std::to_string(i) + ".wav";
            const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_RDWR, 0600);
            if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
                std::abort();
            }
            std::vector<std::uint8_t> back(bytes.size());
            if (::pread(fd, back.data(), back.size(), 0) != static_cast<ssize_t>(back.size())) {
                std::abort();
            }
            ::close(fd);
            paths.push_back(path);
        }
        return paths;
    }();
    return files;
}

void BM_DropThousandFilesAndRedraw(benchmark::State& state)
{
    benchsetup::OffscreenApp();
    parms::PlayerType = 3;
    parms::IsList = {1, 0, 0, 0};
    FrmMain window;
    PlayListControl lists(window);
    UC_ListView& view = *window.LV(0);
    view.SetNumData(4);
    view.SetNumAux(4);
    view.Init();
    view.SetStyle(12, 0, "", 0xFFFFFF, 0);
    view.InitTab();
    view.resize(800, 600);
    view.show();
    platform::DragData data;
    for (const std::string& file : Files()) {
        data.AddFile(file);
    }
    for (auto _ : state) {
        state.PauseTiming();
        view.DeleteAll();
        window.State.ListTable = {};
        state.ResumeTiming();
        int effect = platform::DropEffectCopy;
        lists.LV_OLEDragDrop(0, data, effect, 1, 0, 0, 0);
        view.ReDraw();
        if (view.ItemCount() != 1000) {
            state.SkipWithError("not every file became a row");
        }
    }
}
BENCHMARK(BM_DropThousandFilesAndRedraw)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
