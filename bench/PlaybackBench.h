#pragma once

// The main window with playback control on four null output devices, for
// the benchmarks of the engine tick and of a press: waveOut players, one per
// output, as the settings apply would make them (without the settings store).
#include "BenchSetup.h"

#include "audio/C_WaveOut.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/audio/AudioSystem.h"
#include "playback/PlaybackControl.h"

#include <fcntl.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace playbackbench {

inline QApplication& App()
{
    return benchsetup::OffscreenApp();
}

inline std::string Folder()
{
    static const std::string folder = benchsetup::MakeTempFolder("tolv-bench-");
    return folder;
}

// Runs the benchmarks the command line picks, then removes their sound files.
inline int RunBenchmarks(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::filesystem::remove_all(Folder());
    return 0;
}

// A 16-bit stereo 48 kHz wave file of size bytes: one megabyte of noise
// (never silent), and beyond it a hole, so a 2 GB file costs no disk.
inline std::string MakeWave(const std::string& name, std::int64_t size)
{
    const std::string path = Folder() + "/" + name;
    std::vector<std::uint8_t> bytes = benchsetup::PcmWaveHeader(static_cast<std::uint32_t>(size - 44));
    std::uint32_t state = 7;
    while (static_cast<std::int64_t>(bytes.size()) < std::min<std::int64_t>(size, 1 << 20)) {
        state = state * 1664525U + 1013904223U;
        bytes.push_back(static_cast<std::uint8_t>((state >> 24) | 1));
    }
    const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0600);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::ftruncate(fd, size) != 0) {
        std::abort();
    }
    ::close(fd);
    return path;
}

// Status output goes nowhere.
class SilentRemote final : public RemotePort {
public:
    void InitRemoteDevices() override {}
    void SendRemoteCommand(int, int, int) override {}
    void SendRemoteListStatus(int, int) override {}
    void SetOutputLock(int) override {}
};

// Four outputs of button grids, a waveOut player per output on device
// output + 1, the window running.
struct Rig {
    Rig()
    {
        App();
        // TOLV_BENCH_PLAYER_TYPE picks another back-end (default: 3, waveOut).
        const char* type = std::getenv("TOLV_BENCH_PLAYER_TYPE");
        parms::PlayerType = type != nullptr && *type != '\0' ? std::atoi(type) : 3;
        parms::SinglePlayer = 1;
        parms::UseSamplePos = 1;
        parms::TimerInt = 50;
        parms::IsList = {0, 0, 0, 0};
        window.Ports.Engine = &control;
        window.Ports.Playback = &control;
        window.Ports.ControlEvents = &control;
        window.Ports.StatusLabels = &control;
        window.Ports.Remote = &remote;
        MainState& state = window.State;
        state.NumOut = 4;
        state.PlayersPerOutput = 1;
        state.PlayerCount = 4;
        state.ButtonsPerOutput = 32;
        state.ButtonsPerPage = {32, 32, 32, 32};
        state.ResizePlayers(4);
        for (int output = 0; output < 4; ++output) {
            if (parms::PlayerType != 3) {
                // Another back-end, set up as the program sets it up.
                OutputPlayers::Context context;
                context.PlayerType = parms::PlayerType;
                state.Players[static_cast<std::size_t>(output)] =
                    OutputPlayers::CreateSlotPlayer(context, output, output);
                continue;
            }
            auto player = std::make_unique<C_WaveOut>();
            player->SetDeviceID(output + 1);
            player->SetBufferPagemsec(150);
            player->SetNumBufferPages(60);
            player->SetNumDiskBufferPages(20);
            player->SetNumBufferToPlay(10);
            player->SetUsePeakVol(1);
            player->Init();
            state.Players[static_cast<std::size_t>(output)] = std::move(player);
        }
        state.Running = 1;
    }
    ~Rig()
    {
        window.State.Running = 0;
        for (auto& player : window.State.Players) {
            player->CloseWave();
        }
    }
    void Assign(int output, int button, const std::string& path)
    {
        window.State.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, 0, button))].FileName = path;
    }

    FrmMain window;
    PlaybackControl control{window};
    SilentRemote remote;
};

} // namespace playbackbench
