#pragma once

// A device for the mixer's tests that keeps every frame at its place in the
// stream and can take back what it has not played; the test says how far it
// has played, and what the mixer would measure on a card: frames in flight
// beyond its position, the steps of its position, how late the mixer ran
// after a wake-up, and an underrun at the next write.
#include "platform/audio/DeviceSink.h"

#include <cstddef>
#include <vector>

namespace audiotest {

class RewindingCard final : public platform::audio::DeviceSink {
public:
    RewindingCard(bool canRewind, int periodFrames, int bufferFrames = 0) : canRewind_(canRewind)
    {
        options_.periodFrames = periodFrames;
        options_.bufferFrames = bufferFrames;
    }
    const platform::audio::DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return false; }
    WriteResult Write(std::span<const float> frames, platform::audio::SpscRing<platform::audio::MixerEvent>&,
                      const std::atomic<bool>&) override
    {
        if (keepStream) {
            stream.resize(appl * 2);
            stream.insert(stream.end(), frames.begin(), frames.end());
        }
        appl += frames.size() / 2;
        if (runDry) {
            runDry = false;
            return WriteResult::Recovered;
        }
        return WriteResult::Written;
    }
    int Rewindable() override { return canRewind_ ? static_cast<int>(appl - played) : 0; }
    int Rewind(int frames) override
    {
        rewinds.push_back(frames);
        appl -= static_cast<std::size_t>(frames);
        return frames;
    }
    int InFlightFrames() override { return inFlight; }
    int PositionStepFrames() const override { return positionStep; }
    int TakeWakeLateFrames() override
    {
        const int taken = late;
        late = 0;
        return taken;
    }

    std::vector<float> stream; // interleaved stereo, by position
    std::size_t appl = 0;      // frames handed over
    std::size_t played = 0;    // frames the card has played
    std::vector<int> rewinds;
    int inFlight = 0;
    int positionStep = 1;
    int late = 0;        // taken by the next period mixed
    bool runDry = false; // the next write finds the card ran dry
    bool keepStream = true;

private:
    platform::audio::DeviceOptions options_;
    bool canRewind_;
};

} // namespace audiotest
