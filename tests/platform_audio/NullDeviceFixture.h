#pragma once

#include "platform/audio/AudioSystem.h"
#include "support/ClockFixture.h"

#include <memory>
#include <vector>

namespace audiotest {

// One null output device on virtual time at 48 kHz with 256-frame periods:
// nothing plays until the test renders periods or moves the clock.
class NullDeviceFixture : public testsupport::ClockFixture {
protected:
    static constexpr int Rate = 48000;
    static constexpr int Period = 256;

    void MakeDevice(int channels = 2)
    {
        platform::audio::DeviceOptions options;
        options.rate = Rate;
        options.channels = channels;
        options.periodFrames = Period;
        system = platform::audio::AudioSystem::WithNullDevices(1, platform::audio::NullTiming::VirtualClock, options);
        device = system->Output(1);
        sink = system->NullOutput(1);
    }
    std::unique_ptr<platform::audio::Voice> OpenVoice(int rate, int bits, int channels)
    {
        platform::audio::AudioError error = platform::audio::AudioError::None;
        auto voice = device->OpenVoice(platform::audio::StreamFormat{rate, bits, channels}, &error);
        EXPECT_EQ(error, platform::audio::AudioError::None);
        return voice;
    }
    std::vector<float> Played() { return sink->TakePlayed(); }

    std::unique_ptr<platform::audio::AudioSystem> system;
    std::shared_ptr<platform::audio::OutputDevice> device;
    platform::audio::NullSink* sink = nullptr;
};

} // namespace audiotest
