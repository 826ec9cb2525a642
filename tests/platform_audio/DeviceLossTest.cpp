// An output device that fails for good while voices play on it: its voices go
// on at the device's pace into nothing (done marks keep coming), the loss is
// logged once, and the system opens the device afresh once it is back.
#include "NullDeviceFixture.h"

#include "support/AudioTestSignals.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

#include <string_view>
#include <vector>

namespace {

using namespace platform::audio;

class DeviceLoss : public audiotest::NullDeviceFixture {
protected:
    void SetUp() override { MakeDevice(); }
    // Lines the audio layer logged that hold part.
    int LinesWith(std::string_view part) const { return log.LinesWith(part); }

    testsupport::CapturedLog log;
};

TEST_F(DeviceLoss, VoicesOfALostDeviceFinishAtItsPaceAndTheLossIsLoggedOnce)
{
    auto voice = OpenVoice(Rate, 16, 2);
    const auto bytes = audiotest::NoiseBytes(voice->Format(), 10 * Period, 5);
    std::vector<VoiceBuffer> buffers(2);
    buffers[0].data = std::span<const std::uint8_t>(bytes).first(bytes.size() / 2);
    buffers[1].data = std::span<const std::uint8_t>(bytes).subspan(bytes.size() / 2);
    ASSERT_EQ(voice->Write(buffers[0]), AudioError::None);
    ASSERT_EQ(voice->Write(buffers[1]), AudioError::None);
    device->RenderPeriods(2);
    EXPECT_EQ(sink->FramesWritten(), 2u * Period);
    EXPECT_FALSE(device->Lost());

    ASSERT_TRUE(system->SetNullOutputUnplugged(1, true));
    device->RenderPeriods(1);
    EXPECT_TRUE(device->Lost());
    device->RenderPeriods(4);
    EXPECT_EQ(sink->FramesWritten(), 2u * Period) << "a lost device is not written";
    EXPECT_EQ(voice->Position(), 7u * Period);
    EXPECT_TRUE(buffers[0].Done());
    EXPECT_FALSE(buffers[1].Done());
    device->RenderPeriods(3);
    EXPECT_TRUE(buffers[1].Done());
    device->Sync();
    device->Sync();
    EXPECT_EQ(LinesWith("Audio device \"Null 1\": lost (r=-19"), 1);
    EXPECT_EQ(log.Lines().size(), 1u);
}

TEST_F(DeviceLoss, TheSystemOpensALostDeviceAfreshOnlyOnceItIsBack)
{
    ASSERT_TRUE(system->SetNullOutputUnplugged(1, true));
    device->RenderPeriods(1);
    ASSERT_TRUE(device->Lost());

    AudioError error = AudioError::None;
    EXPECT_EQ(system->Output(1, &error), nullptr);
    EXPECT_EQ(error, AudioError::DeviceLost);
    EXPECT_EQ(system->OpenVoice(1, StreamFormat{Rate, 16, 2}, &error), nullptr);
    EXPECT_EQ(error, AudioError::DeviceLost);
    EXPECT_EQ(system->Output(0, &error), nullptr) << "the default device reaches the same card";
    system->CheckLostDevices();
    EXPECT_EQ(LinesWith("lost"), 1);
    EXPECT_EQ(LinesWith("opened again"), 0);

    ASSERT_TRUE(system->SetNullOutputUnplugged(1, false));
    const std::shared_ptr<OutputDevice> back = system->Output(1, &error);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(error, AudioError::None);
    EXPECT_NE(back, device);
    EXPECT_FALSE(back->Lost());
    EXPECT_EQ(system->Output(0), back);
    EXPECT_EQ(LinesWith("\"Null 1\": opened again"), 1);

    // A voice on the new device sounds on the new device's record.
    auto voice = back->OpenVoice(StreamFormat{Rate, 16, 2});
    ASSERT_NE(voice, nullptr);
    const auto bytes = audiotest::NoiseBytes(voice->Format(), Period, 6);
    VoiceBuffer buffer;
    buffer.data = bytes;
    ASSERT_EQ(voice->Write(buffer), AudioError::None);
    back->RenderPeriods(1);
    const auto played = system->NullOutput(1)->TakePlayed();
    EXPECT_EQ(played, audiotest::ExpectedFloats(voice->Format(), bytes));
}

// A card that fails on its next write and notes whether it was let go.
class FailingCard final : public DeviceSink {
public:
    explicit FailingCard(bool& closed) : closed_(closed) {}
    const DeviceOptions& Options() const override { return options_; }
    bool PacesItself() const override { return false; }
    WriteResult Write(std::span<const float>, SpscRing<MixerEvent>& events, const std::atomic<bool>&) override
    {
        ++writes;
        events.Push(MixerEvent{MixerEvent::DeviceLost, -110});
        return WriteResult::Lost;
    }
    void Close() override { closed_ = true; }
    int writes = 0;

private:
    DeviceOptions options_;
    bool& closed_;
};

TEST_F(DeviceLoss, ALostCardIsNeitherWrittenAgainNorPlayedOutWhenItsOwnerGoes)
{
    bool closed = false;
    auto owned = std::make_unique<FailingCard>(closed);
    FailingCard* card = owned.get();
    auto lost = OutputDevice::Start("Card", std::move(owned), Pacing::Manual);
    lost->RenderPeriods(5);
    EXPECT_EQ(card->writes, 1);
    EXPECT_TRUE(lost->Lost());
    EXPECT_FALSE(closed);
    lost.reset();
    EXPECT_TRUE(closed) << "a card that takes nothing is closed, never drained";
    EXPECT_EQ(LinesWith("Audio device \"Card\": lost (r=-110, Connection timed out)"), 1);
}

TEST_F(DeviceLoss, OnlyNullDevicesCanBeUnplugged)
{
    EXPECT_FALSE(system->SetNullOutputUnplugged(7, true));
    EXPECT_FALSE(system->SetNullOutputUnplugged(-3, true));
}

} // namespace
