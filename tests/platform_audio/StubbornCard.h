#pragma once

// A card for the queue's tests, driven by the caller: a roomy buffer, nothing
// ever given back; it underruns on the writes it is told to and records the
// fills it is asked to keep. Until a start shows that nothing comes back,
// the mixer treats it as any card.
#include "platform/audio/DeviceSink.h"

#include <vector>

namespace audiotest {

class StubbornCard final : public platform::audio::DeviceSink {
public:
    StubbornCard()
    {
        options_.periodFrames = 256;
        options_.periods = 4;
        options_.bufferFrames = 4096;
    }
    const platform::audio::DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return false; }
    WriteResult Write(std::span<const float>, platform::audio::SpscRing<platform::audio::MixerEvent>& events,
                      const std::atomic<bool>&) override
    {
        if (underruns > 0) {
            --underruns;
            events.Push(platform::audio::MixerEvent{platform::audio::MixerEvent::Underrun, -32});
            return WriteResult::Recovered;
        }
        return WriteResult::Written;
    }
    int Rewindable() override { return 0; }
    void SetQueuedAhead(int frames) override { fills.push_back(frames); }

    int underruns = 0;
    std::vector<int> fills;

private:
    platform::audio::DeviceOptions options_;
};

} // namespace audiotest
