// A stored number of outputs beyond 1..4 (an edited or foreign settings file)
// builds the nearest count the window has strips for, with a line naming the
// stored text, on the back-ends that take several outputs.
#include "ApplyFixture.h"

#include <gmock/gmock.h>

#include <string>

namespace {

using OutputCountRange = shelltest::ApplyFixture;

TEST_F(OutputCountRange, AStoredCountBeyondOneToFourIsHeldToItWithALogLine)
{
    Store("PlayerType", "3");
    Store("NumOut", "9");
    ASSERT_EQ(Start(), FrmMain::StartOutcome::Running);
    EXPECT_EQ(window->State.NumOut, 4);
    EXPECT_EQ(window->State.PlayerCount, 4);
    for (const std::string stored : {"0", "-2147483648"}) {
        SCOPED_TRACE(stored);
        Store("NumOut", stored);
        window->ApplySettings(0);
        EXPECT_EQ(window->State.NumOut, 1);
        EXPECT_EQ(window->State.PlayerCount, 1);
        EXPECT_THAT(ErrorLog(), testing::HasSubstr("NumOut \"" + stored + "\""));
    }
    EXPECT_THAT(ErrorLog(), testing::HasSubstr("NumOut \"9\""));
}

} // namespace
