#include "platform/audio/AlsaDeviceList.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/DeviceNaming.h"
#include "platform/base/LogSink.h"
#include "platform/base/TextCodec.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

class LogCapture {
public:
    LogCapture()
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
    }
    ~LogCapture() { platform::SetLogSink(nullptr); }
    std::vector<std::string> lines;
};

class EnvironmentValue {
public:
    EnvironmentValue(const char* name, const char* value) : name_(name)
    {
        const char* before = std::getenv(name);
        had_ = before != nullptr;
        before_ = had_ ? before : "";
        setenv(name, value, 1);
    }
    ~EnvironmentValue()
    {
        if (had_) {
            setenv(name_, before_.c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }

private:
    const char* name_;
    bool had_ = false;
    std::string before_;
};

class NullDeviceLists : public testsupport::ClockFixture {};

TEST_F(NullDeviceLists, NullFourListsTheDefaultAndFourNamedDevicesBothWays)
{
    EnvironmentValue audio("TOLV_AUDIO", "null:4");
    auto system = AudioSystem::FromEnvironment();
    ASSERT_TRUE(system->IsNull());
    const std::vector<std::string> names{"Null default", "Null 1", "Null 2", "Null 3", "Null 4"};
    ASSERT_EQ(system->OutputCount(), 5);
    ASSERT_EQ(system->InputCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(system->OutputName(i), names[static_cast<std::size_t>(i)]);
        EXPECT_EQ(system->InputName(i), names[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(system->OutputName(5), "");
    EXPECT_EQ(system->OutputName(-1), "");
    EXPECT_EQ(system->InputName(7), "");
}

TEST_F(NullDeviceLists, TheDefaultAndTheMapperReachNullOneAndEachDeviceHasOneOwner)
{
    auto system = AudioSystem::WithNullDevices(4, NullTiming::VirtualClock);
    const auto one = system->Output(1);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->Name(), "Null 1");
    EXPECT_EQ(system->Output(0), one);
    EXPECT_EQ(system->Output(-1), one);
    EXPECT_EQ(system->Output(1), one);
    EXPECT_NE(system->Output(4), one);
    EXPECT_EQ(system->Output(4)->Name(), "Null 4");
    EXPECT_EQ(system->NullOutput(0), system->NullOutput(1));
    AudioError error = AudioError::None;
    EXPECT_FALSE(system->Output(5, &error));
    EXPECT_EQ(error, AudioError::BadDevice);
    EXPECT_FALSE(system->OpenVoice(-2, StreamFormat{}, &error));
    EXPECT_EQ(error, AudioError::BadDevice);

    // A voice on the default device sounds on Null 1 and nowhere else.
    auto voice = system->OpenVoice(0, StreamFormat{48000, 16, 1});
    const std::uint8_t sample[2] = {0x00, 0x40};
    VoiceBuffer buffer;
    buffer.data = sample;
    voice->Write(buffer);
    system->Output(1)->RenderPeriods(1);
    system->Output(2)->RenderPeriods(1);
    EXPECT_EQ(system->NullOutput(1)->TakePlayed()[0], 0.5f);
    for (const float value : system->NullOutput(2)->TakePlayed()) {
        ASSERT_EQ(value, 0.0f);
    }
}

TEST_F(NullDeviceLists, TheCaptureTwinDeliversWhatTheTestSupplies)
{
    auto system = AudioSystem::WithNullDevices(2, NullTiming::VirtualClock);
    NullInput* input = system->NullInputDevice(2);
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->Name(), "Null 2");
    EXPECT_EQ(system->NullInputDevice(0), system->NullInputDevice(1));
    const std::vector<float> supplied{0.1f, -0.1f, 0.2f, -0.2f, 0.3f};
    EXPECT_EQ(input->Supply(supplied), 2U); // whole stereo frames only
    std::vector<float> read(8, 9.0f);
    EXPECT_EQ(input->Read(read), 2U);
    EXPECT_EQ(read[3], -0.2f);
    EXPECT_EQ(input->Read(read), 0U);
}

TEST_F(NullDeviceLists, TolvAudioValuesThatAreNotUnderstoodAreLogged)
{
    {
        EnvironmentValue audio("TOLV_AUDIO", "null");
        auto system = AudioSystem::FromEnvironment();
        EXPECT_EQ(system->OutputCount(), 2);
        EXPECT_EQ(system->OutputName(1), "Null 1");
    }
    for (const char* bad : {"null:0", "null:x", "null:99", "null:-2"}) {
        LogCapture log;
        EnvironmentValue audio("TOLV_AUDIO", bad);
        auto system = AudioSystem::FromEnvironment();
        EXPECT_TRUE(system->IsNull()) << bad;
        EXPECT_EQ(system->OutputCount(), 2) << bad;
        ASSERT_EQ(log.lines.size(), 1U) << bad;
        EXPECT_NE(log.lines[0].find(bad), std::string::npos);
    }
}

TEST(AlsaDeviceLists, WithoutAnOutputDeviceOneNullDeviceTakesOverWithALogLine)
{
    LogCapture log;
    auto system = AudioSystem::WithAlsa();
    const bool noDevice = ListCardPcms(false).empty() && !PcmOpens("default", false);
    if (noDevice) {
        EXPECT_TRUE(system->IsNull());
        EXPECT_EQ(system->OutputCount(), 2);
        EXPECT_EQ(system->OutputName(1), "Null 1");
        EXPECT_EQ(log.lines.size(), 1U);
    } else {
        EXPECT_FALSE(system->IsNull());
        EXPECT_EQ(static_cast<std::size_t>(system->OutputCount()), ListCardPcms(false).size() + 1);
    }
    for (int i = 0; i < system->OutputCount(); ++i) {
        EXPECT_FALSE(system->OutputName(i).empty());
        EXPECT_LE(textcodec::Utf8Length(system->OutputName(i)), MaxDeviceNameLength);
    }
}

TEST(DeviceNaming, DescriptionsAreCutToTheirFirstLineAnd31Characters)
{
    EXPECT_EQ(DeviceNameFromDescription("  HDA Intel PCH, ALC892 Analog  \nFront speakers"),
              "HDA Intel PCH, ALC892 Analog");
    EXPECT_EQ(DeviceNameFromDescription("Default ALSA Output (currently PipeWire Media Server)"),
              "Default ALSA Output (currently");
    // Thirty-one characters, not bytes.
    const std::string japanese = "スピーカー (USB オーディオ デバイス ハイレゾ対応 第二世代モデル)";
    const std::string cut = DeviceNameFromDescription(japanese);
    EXPECT_EQ(textcodec::Utf8Length(cut), 31U);
    EXPECT_EQ(cut.rfind("スピーカー (USB", 0), 0U);
    EXPECT_EQ(DeviceNameFromDescription(""), "");
}

TEST(DeviceNaming, AlikeDevicesAreNumberedFromTheSecondOn)
{
    const std::vector<std::string> names{"Default", "USB Audio (USB Audio Device)", "HDMI 0 (HDA NVidia)",
                                         "USB Audio (USB Audio Device)", "USB Audio (USB Audio Device)"};
    const auto numbered = NumberAlikeNames(names);
    ASSERT_EQ(numbered.size(), 5U);
    EXPECT_EQ(numbered[1], "USB Audio (USB Audio Device)");
    EXPECT_EQ(numbered[2], "HDMI 0 (HDA NVidia)");
    EXPECT_EQ(numbered[3], "2- USB Audio (USB Audio Device)");
    EXPECT_EQ(numbered[4], "3- USB Audio (USB Audio Device)");
    const auto longNames = NumberAlikeNames({"Thirty-one characters long name", "Thirty-one characters long name"});
    EXPECT_EQ(longNames[1], "2- Thirty-one characters long n");
}

} // namespace
