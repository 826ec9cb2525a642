#pragma once

#include "platform/audio/DeviceSink.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace platform::audio {

// A device without hardware: it takes every period at once and keeps the
// frames it was given (up to its capacity), so that tests can check exactly
// what would have sounded. Its pace comes from its owner: the real rate on a
// thread, or the caller on virtual time.
class NullSink final : public DeviceSink {
public:
    NullSink(const DeviceOptions& options, std::size_t keepFrames);

    const DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return false; }
    WriteResult Write(std::span<const float> frames, SpscRing<MixerEvent>& events,
                      const std::atomic<bool>& running) override;

    // Program side: the interleaved frames played since the last call, oldest first.
    std::vector<float> TakePlayed();
    // Frames handed to this device since it was opened, kept or not.
    std::uint64_t FramesWritten() const { return written_.load(std::memory_order_acquire); }
    // Program side: the device fails at its next write as an unplugged card
    // does (tests of a lost device).
    void Unplug() { unplugged_.store(true, std::memory_order_release); }

private:
    DeviceOptions options_;
    SpscRing<float> kept_;
    std::atomic<std::uint64_t> written_{0};
    bool fullReported_ = false;
    std::atomic<bool> unplugged_{false};
};

} // namespace platform::audio
