#pragma once

#include "platform/audio/CaptureSource.h"

namespace platform::audio {

class NullInput;

// Recording from a null device's capture twin: exactly what a test supplied.
class NullCapture final : public CaptureSource {
public:
    explicit NullCapture(NullInput& input) : input_(input) {}

    const DeviceOptions& Options() const override;
    std::size_t Read(std::span<float> frames, int waitMs) override;

private:
    NullInput& input_;
};

} // namespace platform::audio
