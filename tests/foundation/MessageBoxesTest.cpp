#include "foundation/MessageBoxes.h"
#include "platform/Form.h"
#include "platform/MessageBox.h"
#include "platform/Screens.h"
#include "platform/base/Twips.h"

#include <gtest/gtest.h>

namespace {

class MessageBoxes : public testing::Test {
protected:
    void SetUp() override
    {
        basic::TwipsPerPixel = 15;
        platform::SetScreenExtentOverride(QSize(1920, 1080));
        basic::ForgetMonitorExtent();
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            seen = request;
            return answer;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        platform::SetScreenExtentOverride(std::nullopt);
        basic::ForgetMonitorExtent();
        basic::TwipsPerPixel = 0;
    }

    platform::MessageBoxRequest seen;
    int answer = platform::IdOk;
};

TEST_F(MessageBoxes, AreCentredOnTheirOwner)
{
    platform::Form owner;
    owner.Move(1500, 1500, 9000, 6000); // centre (400, 300) pixels
    answer = platform::IdNo;
    EXPECT_EQ(basic::ShowMessage("Save the changes?", 36, "tolv", &owner), platform::IdNo);
    EXPECT_EQ(seen.text, "Save the changes?");
    EXPECT_EQ(seen.title, "tolv");
    EXPECT_EQ(seen.style, 36);
    EXPECT_EQ(seen.owner, &owner);
    ASSERT_TRUE(seen.place);
    EXPECT_EQ(seen.place(QSize(300, 150)), QPoint(250, 225));
}

TEST_F(MessageBoxes, StayOnTheScreens)
{
    // Passing the right edge: moved left to end there.
    auto place = basic::MessageBoxPosition(1800, 500, 300, 150, 1920, 1080);
    EXPECT_EQ(place.x, 1620);
    EXPECT_EQ(place.y, 425);
    // Passing the bottom edge.
    place = basic::MessageBoxPosition(400, 1050, 300, 150, 1920, 1080);
    EXPECT_EQ(place.y, 930);
    // Starting left of 0: starts at 0, even when it then passes the right edge.
    place = basic::MessageBoxPosition(100, 100, 2400, 300, 1920, 1080);
    EXPECT_EQ(place.x, 0);
    EXPECT_EQ(place.y, 0);
}

TEST_F(MessageBoxes, OfAMinimisedOrMissingOwnerGoWhereTheDesktopPutsThem)
{
    platform::Form owner;
    owner.show();
    owner.SetWindowState(platform::StateMinimized);
    basic::ShowMessage("x", 64, "", &owner);
    EXPECT_FALSE(seen.place);
    basic::ShowMessage("x", 64, "", nullptr);
    EXPECT_FALSE(seen.place);
}

TEST_F(MessageBoxes, TheScreensExtentIsTakenOnceInPixelsOrTwips)
{
    EXPECT_EQ(basic::EnumMonitors(0, 1), 1920);
    EXPECT_EQ(basic::EnumMonitors(1, 1), 1080);
    EXPECT_EQ(basic::EnumMonitors(0, 0), 28800);
    EXPECT_EQ(basic::EnumMonitors(2, 1), 0);
    platform::SetScreenExtentOverride(QSize(3840, 1080));
    EXPECT_EQ(basic::EnumMonitors(0, 1), 1920) << "kept for the run";
}

} // namespace
