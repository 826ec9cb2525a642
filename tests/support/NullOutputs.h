#pragma once

// Header only: the support library is linked below the audio layer.
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"

#include <cstddef>
#include <vector>

namespace testsupport {

// Installs count null output devices ("Null 1" .. "Null <count>") on virtual
// time as the audio system: stereo at rate with 256-frame periods, each
// keeping up to keepSeconds of what it played.
inline void InstallNullOutputs(int count, int rate, int keepSeconds)
{
    using namespace platform::audio;
    DeviceOptions options;
    options.rate = rate;
    options.channels = 2;
    options.periodFrames = 256;
    AudioSystem::Install(AudioSystem::WithNullDevices(count, NullTiming::VirtualClock, options, keepSeconds));
}

// What null output device (1-based) played since the last call, left
// channel; empty when there is no such device.
inline std::vector<float> TakePlayedLeft(int device)
{
    using namespace platform::audio;
    AudioSystem::Current().Sync();
    NullSink* sink = AudioSystem::Current().NullOutput(device);
    std::vector<float> left;
    if (sink == nullptr) {
        return left;
    }
    const std::vector<float> both = sink->TakePlayed();
    left.reserve(both.size() / 2);
    for (std::size_t i = 0; i + 1 < both.size(); i += 2) {
        left.push_back(both[i]);
    }
    return left;
}

} // namespace testsupport
