#pragma once

#include "platform/audio/MixerEvent.h"
#include "platform/audio/SpscRing.h"

#include <atomic>
#include <optional>
#include <span>

namespace platform::audio {

// The shape of a device's output: its rate, channel count and mixer period.
// Small periods keep the time from a queued buffer to the device short.
// periods is how many periods are queued ahead of what the device plays, at
// most what makes about 43 ms (a start does not wait behind them where the
// device can take them back; eight let the mixer wake once every six periods
// and still keep two queued, and a sound stopped is gone within 43 ms: a
// mixer's wake-up costs a playing machine far more than its mixing does);
// bufferFrames is the device's whole buffer, which may be larger so that the
// queued audio can grow on a machine under load (0: periods x periodFrames).
struct DeviceOptions {
    int rate = 48000;
    int channels = 2;
    int periodFrames = 256;
    int periods = 8;
    int bufferFrames = 0;
};

// The most audio queued ahead that a device grows to under load: four
// periods of 1,024 frames (85 ms at 48 kHz); and when its mixer runs without
// real-time priority, so that any busy program can hold it up, four times as
// much (341 ms): a sound stopped lingers, but nothing drops out.
constexpr int maxQueuedAheadFrames = 4 * 1024;
constexpr int maxQueuedAheadFramesWithoutRealtime = 4 * maxQueuedAheadFrames;

// What is left queued when a device with this fill wakes its mixer: two
// periods below a fill of more (one, with a fill of two), at most six below
// the fill, so that a wake-up writes up to six periods.
constexpr int LowWaterFrames(int fill, int period)
{
    const int refill = fill > 2 * period ? fill - 2 * period : period;
    return fill - (refill < period ? period : (refill > 6 * period ? 6 * period : refill));
}

// Where a device's mixed periods go: a sound card, or a null device that
// keeps them. Write runs on the mixer thread: it must not allocate, lock or
// log; what goes wrong is queued as an event.
class DeviceSink {
public:
    // Recovered: written, after the device ran dry and was restarted.
    enum class WriteResult { Written, Recovered, Lost };

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
    // Mixer side, after WaitForRoom found room: how many frames the device
    // takes before its queued audio is up to the fill (at least a period,
    // but for a device that awaits its start).
    virtual int RoomFrames() const { return Options().periodFrames; }
    // Mixer side, after WaitForRoom: true while the device has not started
    // (just opened, or stopped while silent): it starts as soon as
    // RoomFrames() more frames make its fill. The mixer writes exactly that
    // many, whole periods or not, so that the device starts with its fill
    // queued and the first frame it plays is the first one mixed.
    virtual bool AwaitsStart() const { return false; }
    virtual void Wake() {}
    // Mixer side, once all the device holds is silence and nothing plays:
    // stops the device, true when it did. WaitForRoom then waits for Wake
    // alone, and the device starts again, at once, when it is filled after
    // it. A device whose restart would cost a start time keeps being fed.
    virtual bool StopWhileSilent() { return false; }
    // Mixer side: the frames handed over and not yet heard, which a stop
    // drops unheard.
    virtual int UnheardFrames() { return 0; }
    // Mixer side: how many of the frames handed over and not yet played can
    // be taken back, and taking back the most recent frames; the frames
    // actually taken back (0 when the device cannot).
    virtual int Rewindable() { return 0; }
    virtual int Rewind(int /*frames*/) { return 0; }
    // Whether the device really took frames back when that was tried as it
    // was opened; none when it was not tried, or told nothing (it did not
    // count the frames as queued). One that did not is run as one that
    // cannot from its opening; otherwise the mixer finds out that a device
    // cannot at the first start it cannot mix into queued audio. One that
    // did when tried is never taken for one that cannot.
    virtual std::optional<bool> TriedTakingFramesBack() const { return std::nullopt; }
    // What a start in the queued audio must stay clear of, measured on the
    // device. Mixer side: the frames it has taken from its buffer but not yet
    // played (a FIFO, USB transfers in flight), which sound as they were even
    // when taken back; the steps in which it reports its play position (a card
    // that knows it only once a period); and how late, in frames, the mixer
    // ran after the device last woke it for room, the most since the last call.
    virtual int InFlightFrames() { return 0; }
    virtual int PositionStepFrames() const { return 1; }
    virtual int TakeWakeLateFrames() { return 0; }

    // Mixer side: how many frames WaitForRoom keeps queued ahead of what the
    // device plays (the fill, rounded to whole periods), at most the buffer,
    // and how many are left when it wakes the mixer (lowWater, at most the
    // fill less a period), which then writes up to the fill. LowWaterFrames
    // gives few wake-ups and two periods still queued at each; a device whose
    // queue a start waits behind (it cannot take audio back) is woken every
    // period instead. A device that underruns again and again is given
    // a larger fill.
    virtual void SetQueuedAhead(int /*frames*/, int /*lowWater*/) {}
    // The largest fill the device can take (its buffer).
    virtual int BufferFrames() const
    {
        return Options().bufferFrames > 0 ? Options().bufferFrames : Options().periodFrames * Options().periods;
    }
};

} // namespace platform::audio
