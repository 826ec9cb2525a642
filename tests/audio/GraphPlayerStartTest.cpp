#include "audio/C_DShow.h"
#include "audio/C_MCI.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Each player is made in a fresh process, where nothing has started GStreamer
// yet: made at start-up, it leaves the first press only the file's own graph.
TEST(GraphPlayerStart, GStreamerStartsWithThePlayerNotAtTheFirstPress)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            const C_DShow player;
            std::_Exit(gst_is_initialized() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EXIT(
        {
            const C_MCI player;
            std::_Exit(gst_is_initialized() ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
