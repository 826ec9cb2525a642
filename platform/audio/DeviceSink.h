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

    // A sound starting on a running device should not wait behind the audio
    // already queued: the mixer is woken (Wake, program side) and, where the
    // device can take queued frames back, mixes them again with the new sound.
    enum class WaitResult { Room, Woken, Lost };
    // Mixer side: waits until the device has room for a period, or Wake is
    // called. A sink that takes every period at once has room at once.
    virtual WaitResult WaitForRoom(SpscRing<MixerEvent>& /*events*/, const std::atomic<bool>& /*running*/)
    {
        return WaitResult::Room;
    }
    virtual void Wake() {}
    // Mixer side: how many of the frames handed over and not yet played can
    // be taken back, and taking back the most recent frames; the frames
    // actually taken back (0 when the device cannot).
    virtual int Rewindable() { return 0; }
    virtual int Rewind(int /*frames*/) { return 0; }
};

} // namespace platform::audio
