// The waveOut player: how soon a started sound reaches the device, for a small
// and a huge file alike (target: within one mixer period, 256 frames), and
// what one poll costs the program's thread (target: under 50 us).
#include "audio/C_WaveOut.h"
#include "audio/WaveOutPage.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int rate = 48000;
constexpr std::int64_t oneMegabyte = 1 << 20;
constexpr std::int64_t twoGigabytes = std::int64_t{2} << 30;

void PutU32(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    }
}

void PutU16(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

// A 16-bit stereo wave file of size bytes: one megabyte of noise, and beyond
// it a hole (a sparse file), so a 2 GB file costs no disk.
std::string MakeWave(const std::string& folder, std::int64_t size)
{
    const std::string path = folder + "/sound-" + std::to_string(size) + ".wav";
    const auto dataSize = static_cast<std::uint32_t>(size - 44);
    std::vector<std::uint8_t> bytes;
    for (const char c : std::string("RIFF")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    PutU32(bytes, dataSize + 36);
    for (const char c : std::string("WAVEfmt ")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    PutU32(bytes, 16);
    PutU16(bytes, 1);
    PutU16(bytes, 2);
    PutU32(bytes, rate);
    PutU32(bytes, rate * 4);
    PutU16(bytes, 4);
    PutU16(bytes, 16);
    for (const char c : std::string("data")) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    PutU32(bytes, dataSize);
    std::uint32_t state = 7;
    while (static_cast<std::int64_t>(bytes.size()) < std::min(size, oneMegabyte)) {
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

std::string Folder()
{
    static const std::string folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "tolv-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

void SetUp(C_WaveOut& player, int toPlay, int diskPages)
{
    player.SetDeviceID(1);
    player.SetNumBufferPages(toPlay > 7 ? 60 : 7);
    player.SetNumDiskBufferPages(diskPages);
    player.SetNumBufferToPlay(toPlay);
    player.Init();
}

// From the start of Play to the first sound frame the device was handed, in
// frames, on a null device whose mixer runs at the real rate. Arguments: file
// size in MB, pages queued by Play, disk cache pages.
void FramesFromPlayToFirstSound(benchmark::State& state)
{
    const std::int64_t size = state.range(0) * oneMegabyte;
    const std::string path = MakeWave(Folder(), size);
    AudioSystem::Install(AudioSystem::WithNullDevices(1, NullTiming::RealTime, {}, 1));
    NullSink* sink = AudioSystem::Current().NullOutput(1);
    C_WaveOut player;
    SetUp(player, static_cast<int>(state.range(1)), static_cast<int>(state.range(2)));
    double loadSum = 0.0;
    double playSum = 0.0;
    double frameSum = 0.0;
    double worst = 0.0;
    int trials = 0;
    for (auto _ : state) {
        player.StopIO(1);
        player.SetFileName("");
        const auto loadStart = std::chrono::steady_clock::now();
        player.SetFileName(path);
        loadSum += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - loadStart).count();
        std::this_thread::sleep_for(std::chrono::microseconds(6000 + (trials * 397) % 5333));
        std::uint64_t before = 0;
        std::uint64_t after = 1;
        while (before != after) {
            before = sink->FramesWritten();
            sink->TakePlayed();
            after = sink->FramesWritten();
        }
        const std::uint64_t atPlay = sink->FramesWritten();
        const auto playStart = std::chrono::steady_clock::now();
        if (player.Play() != 1) {
            state.SkipWithError("Play failed");
            break;
        }
        playSum += std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - playStart).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        const std::vector<float> played = sink->TakePlayed();
        const auto first = std::find_if(played.begin(), played.end(), [](float v) { return v != 0.0f; });
        const auto frame = static_cast<double>(before) + static_cast<double>((first - played.begin()) / 2);
        const double frames = frame - static_cast<double>(atPlay);
        frameSum += frames;
        worst = std::max(worst, frames);
        ++trials;
    }
    player.CloseWave();
    AudioSystem::Install(nullptr);
    std::filesystem::remove(path);
    state.counters["mean_frames"] = frameSum / trials;
    state.counters["max_frames"] = worst;
    state.counters["play_us"] = playSum / trials;
    state.counters["filename_us"] = loadSum / trials;
}
BENCHMARK(FramesFromPlayToFirstSound)
    ->Args({1, 2, 4})
    ->Args({2048, 2, 4})
    ->Args({1, 10, 20})
    ->Args({2048, 10, 20})
    ->ArgNames({"MB", "toPlay", "diskPages"})
    ->Iterations(100)
    ->Unit(benchmark::kMillisecond);

// One poll of a playing player at a 10 ms tick (the mixing itself, which the
// device's own thread does in the program, is left out). Arguments: software
// gain and meters on (UsePeakVol), disk cache pages.
void ProgressionPlayAtATenMsTick(benchmark::State& state)
{
    const std::string path = MakeWave(Folder(), 16 * oneMegabyte);
    platform::VirtualClock clock;
    platform::ScopedVirtualClock installed(clock);
    AudioSystem::Install(AudioSystem::WithNullDevices(1, NullTiming::VirtualClock, {}, 0));
    C_WaveOut player;
    player.SetUsePeakVol(static_cast<std::int32_t>(state.range(0)));
    SetUp(player, 2, static_cast<int>(state.range(1)));
    player.SetFileName(path);
    player.SetAttenuation(-600);
    player.SetLoopOn(1);
    player.Play();
    // About one poll in twenty refills a page; the others only look.
    std::vector<double> costs;
    costs.reserve(static_cast<std::size_t>(state.max_iterations));
    for (auto _ : state) {
        clock.Advance(10);
        AudioSystem::Current().Sync();
        const auto start = std::chrono::steady_clock::now();
        player.ProgressionPlay();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        costs.push_back(seconds * 1e6);
    }
    player.CloseWave();
    AudioSystem::Install(nullptr);
    std::filesystem::remove(path);
    std::sort(costs.begin(), costs.end());
    const auto at = [&costs](double fraction) {
        return costs[std::min(costs.size() - 1,
                              static_cast<std::size_t>(fraction * static_cast<double>(costs.size())))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p97_us"] = at(0.97);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = costs.back();
}
BENCHMARK(ProgressionPlayAtATenMsTick)
    ->Args({0, 4})
    ->Args({1, 4})
    ->Args({1, 1})
    ->Args({1, 20})
    ->ArgNames({"peakVol", "diskPages"})
    ->UseManualTime()
    ->Iterations(3000)
    ->Unit(benchmark::kMicrosecond);

// The conversion of one 200 ms page of 16-bit stereo at 48 kHz (gain, limit,
// meters): the bulk of a refilling poll with UsePeakVol on.
void ConvertOnePage(benchmark::State& state)
{
    constexpr std::size_t frames = 9472;
    std::vector<std::uint8_t> page(frames * 4);
    std::uint32_t seed = 3;
    for (auto& byte : page) {
        seed = seed * 1664525U + 1013904223U;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    WaveOutPage::Meters meters;
    for (auto _ : state) {
        WaveOutPage::Convert(3, page, frames, WaveOutPage::Gains{0.7f, 0.5f, 1.0f}, {}, meters);
        benchmark::DoNotOptimize(meters);
    }
}
BENCHMARK(ConvertOnePage)->Unit(benchmark::kMicrosecond);

} // namespace
