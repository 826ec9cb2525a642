// A device that underruns again and again (a machine under load) reports it
// once a minute with the count, never a line per underrun.
#include "platform/audio/OutputDevice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace platform::audio;

// A sink that underruns on the writes it is told to.
class UnderrunningSink final : public DeviceSink {
public:
    const DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return false; }
    WriteResult Write(std::span<const float>, SpscRing<MixerEvent>& events, const std::atomic<bool>&) override
    {
        if (underruns > 0) {
            --underruns;
            events.Push(MixerEvent{MixerEvent::Underrun, -32});
        }
        return WriteResult::Written;
    }
    int underruns = 0;

private:
    DeviceOptions options_;
};

class UnderrunReport : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
        auto owned = std::make_unique<UnderrunningSink>();
        sink = owned.get();
        device = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
    }
    void TearDown() override { platform::SetLogSink(nullptr); }
    // Underruns on count periods, then the program's thread passes the events on.
    void Underrun(int count)
    {
        sink->underruns = count;
        device->RenderPeriods(count);
        device->Sync();
    }

    UnderrunningSink* sink = nullptr;
    std::shared_ptr<OutputDevice> device;
    std::vector<std::string> lines;
};

TEST_F(UnderrunReport, TheFirstUnderrunIsLoggedAtOnceAndLaterOnesOnceAMinuteWithTheirCount)
{
    Underrun(1);
    ASSERT_EQ(lines.size(), 1U);
    EXPECT_EQ(lines[0], "Audio device \"Card\": 1 underrun (r=-32), restarted");

    clock.Advance(20'000);
    Underrun(5);
    clock.Advance(39'000);
    Underrun(8);
    EXPECT_EQ(lines.size(), 1U) << "less than a minute since the last line";
    clock.Advance(1'000);
    device->Sync();
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[1], "Audio device \"Card\": 13 underruns since the last report (r=-32), restarted");

    clock.Advance(120'000);
    device->Sync();
    EXPECT_EQ(lines.size(), 2U) << "nothing to report";
    Underrun(2);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[2], "Audio device \"Card\": 2 underruns since the last report (r=-32), restarted");

    // What is still unreported when the device closes is not lost.
    Underrun(4);
    device.reset();
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_EQ(lines[3], "Audio device \"Card\": 4 underruns since the last report (r=-32), restarted");
}

} // namespace
