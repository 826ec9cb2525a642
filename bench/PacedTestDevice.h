#pragma once

// What the device benchmarks share: the tests' own rate-paced ALSA device
// (an ALSA plugin built with the tests, which plays frames at the real rate
// and notes when the first loud frame is handed over and played), a
// monotonic clock, quiet noise and percentiles.
#include "platform/audio/AlsaSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/Voice.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace pacedtest {

#ifdef TOLV_ALSA_TEST_DEVICE
inline constexpr const char* Device = TOLV_ALSA_TEST_DEVICE;
#else
inline constexpr const char* Device = "";
#endif

inline std::int64_t NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::int64_t>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

// The watch functions of the loaded test device.
struct Watch {
    void (*arm)() = nullptr;
    long long (*handed)() = nullptr;
    long long (*played)() = nullptr;
    // Frames written back after the device had taken their place: a start
    // mixed in too close to what plays (0 when the margin holds).
    long long (*late)() = nullptr;
    // The next n position queries of a running device find it ran dry.
    void (*runDry)(int) = nullptr;
    // The times the paced devices ran dry because they were fed late.
    long long (*ranDry)() = nullptr;
};

inline bool FindWatch(Watch& watch)
{
    void* module = dlopen(Device, RTLD_NOW | RTLD_NOLOAD);
    if (module == nullptr) {
        return false;
    }
    watch.arm = reinterpret_cast<void (*)()>(dlsym(module, "tolvtest_arm"));
    watch.handed = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_loud_handed_ns"));
    watch.played = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_loud_played_ns"));
    watch.late = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_late_frames"));
    watch.runDry = reinterpret_cast<void (*)(int)>(dlsym(module, "tolvtest_run_dry"));
    watch.ranDry = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_ran_dry_count"));
    dlclose(module);
    return watch.arm != nullptr && watch.handed != nullptr && watch.played != nullptr && watch.late != nullptr &&
           watch.runDry != nullptr && watch.ranDry != nullptr;
}

// 16-bit stereo frames of noise far below half of full scale, so the
// device's watch never takes them for the loud start.
inline std::vector<std::uint8_t> QuietNoise(std::size_t frames, std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes(frames * 4);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        seed = seed * 1664525U + 1013904223U;
        const auto value = static_cast<std::int16_t>(static_cast<int>(seed >> 22) - 512);
        bytes[i] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[i + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    return bytes;
}

inline double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

// The configuration of a paced test device (48 kHz, S32_LE) named pcm; one
// that cannot take frames back, as sound servers' plugins, when rewinds is false.
inline std::string PacedDeviceConfig(const std::string& pcm, bool rewinds)
{
    return std::string("pcm_type.tolvtest { lib \"") + Device + "\" }\npcm." + pcm +
           " { type tolvtest paced 1 formats \"S32_LE\" rate 48000" + (rewinds ? "" : " rewind 0") + " }\n";
}

// A paced test device whose mixer runs on the device's clock, as a sound
// card's does; null with the reason in error when it does not open.
inline std::shared_ptr<platform::audio::OutputDevice> OpenPacedDevice(const std::string& name, std::string& error,
                                                                      bool rewinds = true)
{
    platform::audio::AlsaOptions options;
    options.pcm = "card";
    options.configText = PacedDeviceConfig("card", rewinds);
    auto sink = platform::audio::AlsaSink::Open(options, error);
    if (!sink) {
        return nullptr;
    }
    return platform::audio::OutputDevice::Start(name, std::move(sink), platform::audio::Pacing::Device);
}

// Two voices looping quiet noise on each device, the second at 44.1 kHz so
// that it is resampled.
struct LoopingVoices {
    LoopingVoices(const std::vector<std::shared_ptr<platform::audio::OutputDevice>>& devices, std::uint32_t seed)
        : quiet(QuietNoise(48000, seed)), loops(2 * devices.size())
    {
        for (std::size_t i = 0; i < loops.size(); ++i) {
            voices.push_back(
                devices[i / 2]->OpenVoice(platform::audio::StreamFormat{i % 2 == 0 ? 48000 : 44100, 16, 2}));
            loops[i].data = quiet;
            loops[i].SetLooping(true);
            voices.back()->Write(loops[i]);
        }
    }

    std::vector<std::uint8_t> quiet;
    std::vector<platform::audio::VoiceBuffer> loops;
    std::vector<std::unique_ptr<platform::audio::Voice>> voices;
};

} // namespace pacedtest
