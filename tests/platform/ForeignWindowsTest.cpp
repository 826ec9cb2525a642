#include "platform/ForeignWindows.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

// Off an X11 desktop (here the offscreen platform) the windows of other
// programs are out of reach: nothing is found, nothing raised, no crash.
TEST(ForeignWindows, OffAnX11DesktopNothingIsFoundOrRaised)
{
    EXPECT_FALSE(platform::FindTopLevelWindow("Cue"));
    EXPECT_FALSE(platform::FindTopLevelWindow(""));
    EXPECT_FALSE(platform::ActivateTopLevelWindow(1));
    QWidget window;
    EXPECT_FALSE(platform::IsForegroundWindow(window));
}

} // namespace
