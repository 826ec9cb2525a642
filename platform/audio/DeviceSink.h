#pragma once

#include "platform/audio/MixerEvent.h"
#include "platform/audio/SpscRing.h"

#include <atomic>
#include <span>

namespace platform::audio {

// The shape of a device's output: its rate, channel count and mixer period.
// Small periods keep the time from a queued buffer to the device short.
struct DeviceOptions {
    int rate = 48000;
    int channels = 2;
    int periodFrames = 256;
    int periods = 3;
};

// Where a device's mixed periods go: a sound card, or a null device that
// keeps them. Write runs on the mixer thread: it must not allocate, lock or
// log; what goes wrong is queued as an event.
class DeviceSink {
public:
    enum class WriteResult { Written, Lost };

    virtual ~DeviceSink() = default;
    // The shape actually obtained, which may differ from the one asked for.
    virtual const DeviceOptions& Options() const = 0;
    // True when Write waits for the device to take the frames, so that the
    // device's own clock paces the mixer.
    virtual bool PacesItself() const = 0;
    // Hands one period of interleaved frames (-1 .. 1) to the device. A sink
    // that paces itself gives up waiting when running turns false. Lost means
    // the device failed for good; the sink has queued a DeviceLost event with
    // the reason, and is not written again.
    virtual WriteResult Write(std::span<const float> frames, SpscRing<MixerEvent>& events,
                              const std::atomic<bool>& running) = 0;
    // Program side, after Write returned Lost: gives the device back to the
    // system (a card held open cannot be opened again).
    virtual void Close() {}
};

} // namespace platform::audio
