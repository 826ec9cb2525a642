#pragma once

#include "audio/DSDeviceList.h"
#include "foundation/ModuleValues.h"
#include "platform/audio/AudioSystem.h"
#include "support/ClockFixture.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace dstest {

// Players of back-end 0 on null devices on virtual time (48 kHz stereo,
// 256-frame periods), with the device list enumerated as at start-up and the
// day log in the test's folder.
class DSoundFixture : public testsupport::ClockFixture {
protected:
    static constexpr int Rate = 48000;
    static constexpr int Period = 256;
    static constexpr int TickMs = 50;

    void SetUp() override { InstallDevices(1); }
    void TearDown() override
    {
        platform::audio::AudioSystem::Install(nullptr);
        FCT_EnumDS::EnumDSDevices();
        basic::SetAppPath("");
    }

    void InstallDevices(int count, int keepSeconds = 12)
    {
        platform::audio::DeviceOptions options;
        options.rate = Rate;
        options.channels = 2;
        options.periodFrames = Period;
        platform::audio::AudioSystem::Install(platform::audio::AudioSystem::WithNullDevices(
            count, platform::audio::NullTiming::VirtualClock, options, keepSeconds));
        FCT_EnumDS::EnumDSDevices();
        basic::SetAppPath(folder.Path());
        basic::LogError = 1;
    }
    static platform::audio::AudioSystem& Audio() { return platform::audio::AudioSystem::Current(); }
    static platform::audio::NullSink& Sink(int device = 1) { return *Audio().NullOutput(device); }

    // A PCM wave file of the given sample bytes.
    std::string Wave(const std::string& name, int rate, int bits, int channels, const testsupport::Bytes& samples)
    {
        const std::string path = folder / name;
        testsupport::RiffFileBuilder()
            .Format(1, channels, static_cast<std::uint32_t>(rate), bits)
            .Data(samples)
            .WriteTo(path);
        return path;
    }
    // Moves the clock on and takes what device 1 played meanwhile.
    void Advance(int ms)
    {
        clock.Advance(ms);
        Audio().Sync();
        Collect();
    }
    void Collect()
    {
        const std::vector<float> played = Sink().TakePlayed();
        output.insert(output.end(), played.begin(), played.end());
    }
    // Frames device 1 has played so far.
    std::size_t FramesOut() const { return output.size() / 2; }
    // The whole day log of errors and ordinary lines.
    std::string LogText() const;

    testsupport::ScratchFolder folder;
    std::vector<float> output; // interleaved stereo frames of device 1
};

// Sample bytes.
testsupport::Bytes Noise16(int channels, std::size_t frames, std::uint32_t seed);
testsupport::Bytes Noise8(int channels, std::size_t frames, std::uint32_t seed);
testsupport::Bytes Constant16(const std::vector<std::int16_t>& frame, std::size_t frames);
// What a device plays at unity gain for the sample at index (interleaved).
float Expected16(const testsupport::Bytes& bytes, std::size_t index);
float Expected8(const testsupport::Bytes& bytes, std::size_t index);

} // namespace dstest
