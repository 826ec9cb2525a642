#include "FadeFakes.h"

#include "mainwindow/FrmMain.h"
#include "playback/FadeLabels.h"
#include "playback/Fades.h"

#include <gtest/gtest.h>

namespace {

class FadeLabel : public testing::Test {
protected:
    void SetUp() override
    {
        fadetest::ThreePlayers(window.State);
        labels.ToggleFadeWindow = [this] { ++windowToggles; };
    }
    void Release(int button) { labels.TextFade_MouseUD(0, button, false, 0); }

    FrmMain window;
    fadetest::ExactFaders faders;
    Fades fades{window.State, faders};
    FadeLabels labels{window, fades};
    int windowToggles = 0;
};

} // namespace

TEST_F(FadeLabel, TheLeftButtonSwitchesFadeModeOnItsRelease)
{
    labels.TextFade_MouseUD(0, 1, true, 0);
    EXPECT_EQ(window.State.FadeOn[0], 0);
    Release(1);
    EXPECT_EQ(window.State.FadeOn[0], 1);
    Release(1);
    EXPECT_EQ(window.State.FadeOn[0], 0);
    Release(2);
    EXPECT_EQ(windowToggles, 1);
    EXPECT_EQ(window.State.FadeOn[0], 0);
}

TEST_F(FadeLabel, ALockedOutputOrAnUnusedLabelIgnoresClicks)
{
    window.State.OutputLocked[0] = 1;
    Release(1);
    Release(2);
    EXPECT_EQ(window.State.FadeOn[0], 0);
    EXPECT_EQ(windowToggles, 0);
    window.State.OutputLocked[0] = 0;
    window.State.DispFADE[0] = 0;
    Release(1);
    EXPECT_EQ(window.State.FadeOn[0], 0);
}
