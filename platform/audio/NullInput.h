#pragma once

#include "platform/audio/DeviceSink.h"
#include "platform/audio/SpscRing.h"

#include <span>
#include <string>

namespace platform::audio {

// The capture twin of a null output device: it records exactly what a test
// supplies, in interleaved frames of its options' channel count.
class NullInput {
public:
    NullInput(std::string name, const DeviceOptions& options, std::size_t capacityFrames);

    const std::string& Name() const { return name_; }
    const DeviceOptions& Options() const { return options_; }
    // Test side: frames to be captured; returns how many frames fitted.
    std::size_t Supply(std::span<const float> frames);
    // Capture side: takes whole frames into frames; returns how many frames.
    std::size_t Read(std::span<float> frames);

private:
    std::string name_;
    DeviceOptions options_;
    SpscRing<float> pending_;
};

} // namespace platform::audio
