#pragma once

// A card for the queue's tests, driven by the caller: a roomy buffer, nothing
// ever given back; it underruns on the writes it is told to and records the
// fills it is asked to keep. Until a start shows that nothing comes back,
// the mixer treats it as any card.
#include "platform/audio/DeviceSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"

#include <memory>
#include <string>
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
    void SetQueuedAhead(int frames, int) override { fills.push_back(frames); }

    int underruns = 0;
    std::vector<int> fills;

private:
    platform::audio::DeviceOptions options_;
};

// A device on a stubborn card, mixed by hand, whose log lines are kept.
class StubbornCardFixture : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
        auto owned = std::make_unique<StubbornCard>();
        card = owned.get();
        device = platform::audio::OutputDevice::Start("Card", std::move(owned), platform::audio::Pacing::Manual);
    }
    void TearDown() override
    {
        device.reset();
        platform::SetLogSink(nullptr);
    }
    // The card underruns on the next period mixed.
    void Underrun()
    {
        card->underruns = 1;
        device->RenderPeriods(1);
        device->Sync();
    }

    StubbornCard* card = nullptr;
    std::shared_ptr<platform::audio::OutputDevice> device;
    std::vector<std::string> lines;
};

} // namespace audiotest
