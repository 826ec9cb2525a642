#include "DSoundFixture.h"

#include "audio/C_DSound.h"
#include "audio/C_DSound5.h"
#include "audio/DSDeviceList.h"
#include "platform/ComboBox.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class DSDeviceList : public dstest::DSoundFixture {};

TEST_F(DSDeviceList, TheDefaultDeviceComesFirstWithoutIdentifierThenEveryOutput)
{
    InstallDevices(4);
    const FCT_EnumDS::DSDeviceList& list = FCT_EnumDS::DeviceList();
    ASSERT_EQ(list.count, 5);
    EXPECT_FALSE(list.hasIdentifier[0]);
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(0), "Null default");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_TRUE(list.hasIdentifier[static_cast<std::size_t>(i)]);
        EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(i), "Null " + std::to_string(i));
    }
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(5), "");
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(-1), "");

    // Lower case on both sides; blanks count here.
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceGUID("NULL 2"), 2);
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceGUID("null default"), 0);
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceGUID("Null 2 "), -1);
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceGUID(""), -1);

    // The combo box trims the saved name and falls back to item 0.
    platform::ComboBox box;
    box.AddItem("stale");
    FCT_EnumDS::FillDSDeviceCombo(box, "  null 3 ");
    ASSERT_EQ(box.ListCount(), 5);
    EXPECT_EQ(box.List(4), "Null 4");
    EXPECT_EQ(box.ListIndex(), 3);
    FCT_EnumDS::FillDSDeviceCombo(box, "");
    EXPECT_EQ(box.ListIndex(), 0);
    FCT_EnumDS::FillDSDeviceCombo(box, "Speakers");
    EXPECT_EQ(box.ListIndex(), 0);
}

TEST_F(DSDeviceList, AtMostSixtyFiveDevicesAndDescriptionsOfSixtyFourCharacters)
{
    InstallDevices(70, 0);
    const FCT_EnumDS::DSDeviceList& list = FCT_EnumDS::DeviceList();
    EXPECT_EQ(list.count, 65);
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(64), "Null 64");
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceGUID("Null 65"), -1);
    const int identifier = 9;
    EXPECT_FALSE(FCT_EnumDS::EnumCallback(&identifier, "one more", "")) << "a full list ends the enumeration";

    InstallDevices(1);
    const std::string longName(70, 'x');
    EXPECT_TRUE(FCT_EnumDS::EnumCallback(&identifier, longName, "module"));
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(2), std::string(64, 'x'));
    EXPECT_EQ(list.identifiers[2], 9);
    // Characters, not bytes: 70 three-byte characters keep 64 of them.
    std::string japanese;
    for (int i = 0; i < 70; ++i) {
        japanese += "音";
    }
    std::string kept;
    for (int i = 0; i < 64; ++i) {
        kept += "音";
    }
    EXPECT_TRUE(FCT_EnumDS::EnumCallback(&identifier, japanese, ""));
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(3), kept);
    EXPECT_TRUE(FCT_EnumDS::EnumCallback(nullptr, std::string_view("Card\0junk", 9), ""));
    EXPECT_EQ(FCT_EnumDS::GetDSDeviceName(4), "Card");
    EXPECT_FALSE(list.hasIdentifier[4]);
}

template <typename P> class DSoundDevices : public dstest::DSoundFixture {
protected:
    // Plays a short sound on the player and tells which null device sounded.
    int SoundingDevice(P& player)
    {
        player.SetFileName(this->Wave("which.wav", this->Rate, 16, 2, dstest::Constant16({8192, 8192}, 4800)));
        if (player.Play() != 1) {
            return -1;
        }
        clock.Advance(50);
        this->Audio().Sync();
        int sounding = -1;
        for (int device = 1; device < this->Audio().OutputCount(); ++device) {
            for (const float sample : this->Sink(device).TakePlayed()) {
                if (sample != 0.0f) {
                    sounding = device;
                    break;
                }
            }
        }
        player.StopIO();
        // Its fade, taken here so that the next one asked about is not taken for it.
        clock.Advance(10);
        this->Audio().Sync();
        for (int device = 1; device < this->Audio().OutputCount(); ++device) {
            this->Sink(device).TakePlayed();
        }
        return sounding;
    }
};

using Players = testing::Types<C_DSound, C_DSound5>;
TYPED_TEST_SUITE(DSoundDevices, Players);

TYPED_TEST(DSoundDevices, AnIndexOfTheListOpensThatDeviceAndAnyOtherTheDefaultWithALogLine)
{
    this->InstallDevices(3);
    {
        TypeParam player;
        ASSERT_EQ(player.InitDS(nullptr, 2), 1);
        EXPECT_EQ(this->SoundingDevice(player), 2);
        EXPECT_EQ(this->LogText().find("the default device is used"), std::string::npos);
    }
    {
        TypeParam player;
        ASSERT_EQ(player.InitDS(nullptr, 0), 1);
        EXPECT_EQ(this->SoundingDevice(player), 1) << "entry 0 is the default device";
    }
    // -1 is what the settings give when no device was saved, or the saved one
    // is not found: the output still sounds, on the default device.
    for (const int index : {-1, 4, 99}) {
        SCOPED_TRACE(index);
        TypeParam player;
        ASSERT_EQ(player.InitDS(nullptr, index), 1);
        EXPECT_EQ(this->SoundingDevice(player), 1);
        EXPECT_NE(this->LogText().find(".InitDS: device " + std::to_string(index) +
                                       " is not in the DirectSound device list; the default device is used"),
                  std::string::npos);
    }
}

TYPED_TEST(DSoundDevices, WithoutInitDSNothingPlays)
{
    TypeParam player;
    player.SetFileName(this->Wave("none.wav", this->Rate, 16, 2, dstest::Noise16(2, 1000, 1)));
    EXPECT_EQ(player.Play(), 0);
    EXPECT_EQ(player.mode(), 1);
    EXPECT_EQ(player.ProgressionPlay(), 0);
    EXPECT_NE(this->LogText().find("CreateSoundBuffer Failed"), std::string::npos);
}

} // namespace
