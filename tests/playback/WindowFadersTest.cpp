#include "mainwindow/FrmMain.h"
#include "platform/base/Twips.h"
#include "playback/WindowFaders.h"

#include <gtest/gtest.h>

namespace {

class VolumeFaders : public testing::Test {
protected:
    void SetUp() override
    {
        basic::TwipsPerPixel = 15;
        UC_Fader& fader = *window.VolSlider(0);
        fader.resize(30, 120);
        fader.SetMin(-10000);
        fader.SetMax(0);
        fader.Init(1, 0);
        fader.SetValueL(0);
    }

    FrmMain window;
    WindowFaders faders{window};
};

} // namespace

TEST_F(VolumeFaders, StepsSmallerThanTheTrackCanShowStillAddUp)
{
    UC_Fader& fader = *window.VolSlider(0);
    ASSERT_GT(fader.TrackLength(), 0);
    EXPECT_EQ(faders.Level(0), 0);
    EXPECT_EQ(faders.Top(0), 0);
    // One step of a 20-minute fade is far less than one twip of track.
    faders.SetLevel(0, -1);
    EXPECT_EQ(fader.ValueL(), 0) << "the knob cannot move that little";
    EXPECT_EQ(faders.Level(0), -1);
    for (int step = 2; step <= 10000; ++step) {
        faders.SetLevel(0, faders.Level(0) - 1);
    }
    EXPECT_EQ(faders.Level(0), -10000);
    EXPECT_EQ(fader.ValueL(), -10000);
}

TEST_F(VolumeFaders, AFaderMovedByAnyoneElseGivesItsValue)
{
    faders.SetLevel(0, -1234);
    window.VolSlider(0)->SetValueL(-5000);
    EXPECT_EQ(faders.Level(0), window.VolSlider(0)->ValueL());
    EXPECT_NEAR(faders.Level(0), -5000, 100);
}

TEST_F(VolumeFaders, ASlotWithoutAFaderKeepsItsLevelAlone)
{
    EXPECT_FALSE(window.VolSlider.Exists(2));
    window.State.ResizePlayers(3);
    EXPECT_EQ(faders.Level(2), 0) << "the player's own attenuation";
    faders.SetLevel(2, -700);
    EXPECT_EQ(faders.Level(2), -700);
    EXPECT_EQ(faders.Top(2), 0);
}
