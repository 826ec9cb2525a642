// The mixer must stay far below one core: four devices with two voices each
// at 48 kHz should cost under 2 % of one core. A buffer queued on a voice must
// reach the device within one mixer period (256 frames).
#include "platform/audio/AudioSystem.h"
#include "platform/base/VirtualClock.h"

#include <benchmark/benchmark.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int rate = 48000;
constexpr int period = 256;

std::vector<std::uint8_t> Noise(std::size_t bytes)
{
    std::vector<std::uint8_t> data(bytes);
    std::uint32_t state = 1;
    for (auto& byte : data) {
        state = state * 1664525U + 1013904223U;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return data;
}

// Eight voices on four devices, each fed from two buffers taking turns.
struct EightVoices {
    explicit EightVoices(AudioSystem& system, int voiceRate) : data(Noise(static_cast<std::size_t>(voiceRate) / 10 * 4))
    {
        for (int i = 0; i < 8; ++i) {
            voices.push_back(system.OpenVoice(1 + i / 2, StreamFormat{voiceRate, 16, 2}));
            voices.back()->SetVolume(0.5f, 0.8f);
        }
        buffers = std::vector<VoiceBuffer>(16);
        for (auto& buffer : buffers) {
            buffer.data = data;
        }
        Feed();
    }
    void Feed()
    {
        for (std::size_t i = 0; i < buffers.size(); ++i) {
            if (!buffers[i].Queued()) {
                voices[i / 2]->Write(buffers[i]);
            }
        }
    }
    std::vector<std::uint8_t> data;
    std::vector<std::unique_ptr<Voice>> voices;
    std::vector<VoiceBuffer> buffers;
};

// The mixing itself: one period of each of four devices per iteration. The
// "core_percent" counter is the share of one core the mixing takes at 48 kHz.
void MixFourDevicesTwoVoicesEach(benchmark::State& state)
{
    platform::VirtualClock clock;
    platform::ScopedVirtualClock installed(clock);
    auto system = AudioSystem::WithNullDevices(4, NullTiming::VirtualClock, {}, 0);
    EightVoices voices(*system, static_cast<int>(state.range(0)));
    std::vector<std::shared_ptr<OutputDevice>> devices;
    for (int d = 1; d <= 4; ++d) {
        devices.push_back(system->Output(d));
    }
    int turn = 0;
    for (auto _ : state) {
        for (const auto& device : devices) {
            device->RenderPeriods(1);
        }
        if (++turn % 16 == 0) {
            state.PauseTiming();
            voices.Feed();
            state.ResumeTiming();
        }
    }
    const double periodSeconds = static_cast<double>(period) / rate;
    state.counters["core_percent"] = benchmark::Counter(
        periodSeconds / 100.0, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(MixFourDevicesTwoVoicesEach)->Arg(48000)->Arg(44100);

// The real mixer threads at the real rate, wake-ups included: the CPU time of
// the whole process over two seconds while this thread only feeds the voices.
void MixerThreadsAtTheRealRate(benchmark::State& state)
{
    for (auto _ : state) {
        auto system = AudioSystem::WithNullDevices(4, NullTiming::RealTime, {}, 0);
        EightVoices voices(*system, rate);
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        const auto start = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(2)) {
            voices.Feed();
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
        const double cpu =
            seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime);
        state.counters["core_percent"] = 100.0 * cpu / wall;
    }
}
BENCHMARK(MixerThreadsAtTheRealRate)->Iterations(1)->Unit(benchmark::kMillisecond);

// From Write to the mixer having handed the buffer's first frames to the
// device, on a null device running at the real rate; in frames at 48 kHz.
void FramesFromQueueToDevice(benchmark::State& state)
{
    // Measure from a real-time thread too (below the mixer's priority), so
    // that the machine's other work does not delay the measuring itself.
    sched_param parameters{};
    parameters.sched_priority = 60;
    const bool realtime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
    auto system = AudioSystem::WithNullDevices(1, NullTiming::RealTime, {}, 0);
    auto voice = system->OpenVoice(1, StreamFormat{rate, 16, 2});
    const auto data = Noise(period * 4 * 2);
    VoiceBuffer buffer;
    buffer.data = data;
    double sum = 0.0;
    double worst = 0.0;
    int trials = 0;
    for (auto _ : state) {
        voice->Reset();
        // Start at a different moment of the period each time.
        const auto offset = std::chrono::microseconds((trials * 397) % 5333);
        std::this_thread::sleep_for(std::chrono::milliseconds(6) + offset);
        const auto queued = std::chrono::steady_clock::now();
        voice->Write(buffer);
        while (voice->Position() == 0) {
        }
        const double frames = std::chrono::duration<double>(std::chrono::steady_clock::now() - queued).count() * rate;
        sum += frames;
        worst = std::max(worst, frames);
        ++trials;
    }
    state.counters["mean_frames"] = sum / trials;
    state.counters["max_frames"] = worst;
    state.counters["period_frames"] = period;
    state.counters["realtime"] = realtime ? 1 : 0;
    parameters.sched_priority = 0;
    pthread_setschedparam(pthread_self(), SCHED_OTHER, &parameters);
}
BENCHMARK(FramesFromQueueToDevice)->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace
