// Device choices saved by name and found again by name.
#include "audio/WaveDeviceList.h"
#include "foundation/ModuleValues.h"
#include "platform/ComboBox.h"
#include "platform/MessageBox.h"
#include "platform/audio/AudioSystem.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace WaveMMIO;
using platform::audio::AudioSystem;

TEST(DeviceNameMatches, IgnoresCaseAndTheNumberingOfIdenticalDevices)
{
    EXPECT_EQ(DeviceNameMatches("Speakers (2- USB Audio)", "speakers (usb audio)"), 1);
    EXPECT_EQ(DeviceNameMatches("SPEAKERS (USB AUDIO)", "Speakers (3- USB Audio)"), 1);
    EXPECT_EQ(DeviceNameMatches("2- USB Audio", "usb audio"), 1);
    EXPECT_EQ(DeviceNameMatches("USB Audio", "4- usb audio"), 1);
    EXPECT_EQ(DeviceNameMatches("USB Audio", "USB Audio 2"), 0);
    EXPECT_EQ(DeviceNameMatches("5- USB Audio", "USB Audio"), 0);
    // A short name is never taken for a numbering.
    EXPECT_EQ(DeviceNameMatches("1- A", "A"), 0);
}

class WaveDeviceList : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        AudioSystem::Install(AudioSystem::WithNullDevices(3, platform::audio::NullTiming::VirtualClock));
        basic::LogError = 1;
        basic::LogFolder = folder.Folder("log");
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            titles.push_back(request.title);
            return platform::IdOk;
        });
    }
    void TearDown() override
    {
        AudioSystem::Install(nullptr);
        platform::SetMessageBoxAnswer(nullptr);
        basic::LogError = 0;
        basic::LogFolder.clear();
    }
    std::string DayLog(const char* extension) const
    {
        std::string text;
        for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
            if (entry.path().extension() == extension) {
                std::ifstream file(entry.path(), std::ios::binary);
                std::stringstream content;
                content << file.rdbuf();
                text += content.str();
            }
        }
        return text;
    }

    testsupport::ScratchFolder folder;
    std::vector<std::string> boxes;
    std::vector<std::string> titles;
};

TEST_F(WaveDeviceList, NamesAndNumbersOfTheOutputAndInputDevices)
{
    EXPECT_EQ(GetWaveDeviceName(0, 0), "Null default");
    EXPECT_EQ(GetWaveDeviceName(0, 2), "Null 2");
    EXPECT_EQ(GetWaveDeviceName(1, 3), "Null 3");
    EXPECT_EQ(GetWaveDeviceName(0, 4), "");
    EXPECT_EQ(GetWaveDeviceName(0, -1), "");

    EXPECT_EQ(GetWaveDeviceID(0, "", 1), 0);
    EXPECT_EQ(GetWaveDeviceID(0, "  null 2 ", 1), 2);
    EXPECT_EQ(GetWaveDeviceID(1, "NULL 3", 0), 3);
    // A saved number is used as it is, listed or not.
    EXPECT_EQ(GetWaveDeviceID(0, "1", 1), 1);
    EXPECT_EQ(GetWaveDeviceID(0, "7", 1), 7);
    EXPECT_TRUE(boxes.empty());
}

TEST_F(WaveDeviceList, ANameSavedWithTheNumberingOfIdenticalDevicesFindsTheDeviceListedWithoutIt)
{
    // Saved while a second card of the same kind was plugged in, which the
    // system listed as "2- ...": that card, now alone, is found again by its
    // plain name, without a box or a log line. The leading digit is no number.
    EXPECT_EQ(GetWaveDeviceID(0, "2- Null 3", 1), 3);
    EXPECT_EQ(GetWaveDeviceID(1, "1- null 2", 1), 2);
    EXPECT_EQ(GetWaveDeviceID(0, " 4- NULL DEFAULT ", 1), 0);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(DayLog(".log").find("この名前のデバイスを検出できませんでした"), std::string::npos);
}

TEST_F(WaveDeviceList, AGoneDeviceGivesMinusOneWithALogLineAndABoxOnlyWhenAsked)
{
    EXPECT_EQ(GetWaveDeviceID(0, "Studio Out", 0), -1);
    EXPECT_TRUE(boxes.empty());
    EXPECT_NE(DayLog(".log").find("この名前のデバイスを検出できませんでした Studio Out"), std::string::npos);
    EXPECT_EQ(GetWaveDeviceID(0, "Studio Out", 1), -1);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], "この名前のデバイスを検出できませんでした\nStudio Out");
}

TEST_F(WaveDeviceList, TheComboListsTheDevicesAndChoosesTheSavedOne)
{
    platform::ComboBox box;
    box.AddItem("stale");
    FillWaveDeviceCombo(box, 0, " NULL 2", 0);
    ASSERT_EQ(box.ListCount(), 4);
    EXPECT_EQ(box.List(0), "Null default");
    EXPECT_EQ(box.List(3), "Null 3");
    EXPECT_EQ(box.ListIndex(), 2);
    // Found by the tolerant rule when not by the exact name.
    FillWaveDeviceCombo(box, 1, "2- null 3", 0);
    EXPECT_EQ(box.ListIndex(), 3);
    // Not found, or nothing saved: the first item only when asked.
    FillWaveDeviceCombo(box, 0, "Studio Out", 0);
    EXPECT_EQ(box.ListIndex(), -1);
    FillWaveDeviceCombo(box, 0, "Studio Out", 1);
    EXPECT_EQ(box.ListIndex(), 0);
    FillWaveDeviceCombo(box, 0, "", 0);
    EXPECT_EQ(box.ListIndex(), -1);
    FillWaveDeviceCombo(box, 0, "", 1);
    EXPECT_EQ(box.ListIndex(), 0);
}

TEST_F(WaveDeviceList, AnErrorCodeIsReportedInABoxOrInTheErrorLog)
{
    EXPECT_EQ(CheckWaveError(0, 1, 0), 0);
    EXPECT_TRUE(boxes.empty());
    const auto code = static_cast<std::int32_t>(platform::audio::AudioError::BadDevice);
    EXPECT_EQ(CheckWaveError(code, 1, 0), 1);
    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_EQ(boxes[0], std::string(ErrorText(platform::audio::AudioError::BadDevice)));
    EXPECT_EQ(titles[0], "tolv");
    EXPECT_EQ(CheckWaveError(code, 0, 1), 1);
    EXPECT_EQ(boxes.size(), 1U);
    EXPECT_NE(DayLog(".err").find(std::string(ErrorText(platform::audio::AudioError::BadDevice))), std::string::npos);
}

} // namespace
