// A queue that grew under load shrinks back a step after each ten minutes of
// sound without an underrun, down to what the device was opened with; an
// underrun starts the ten minutes afresh.
#include "StubbornCard.h"

#include "platform/audio/OutputDevice.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace platform::audio;

constexpr int tenMinutesOfPeriods = 48000 * 600 / 256;

class QueueShrink : public audiotest::StubbornCardFixture {
protected:
    void SetUp() override
    {
        StubbornCardFixture::SetUp();
        device->RenderPeriods(6);
    }
};

TEST_F(QueueShrink, TenMinutesOfSoundWithoutAnUnderrunHalveWhatTheQueueGrewToAStepAtATime)
{
    ASSERT_EQ(device->QueuedAheadFrames(), 1024) << "opened with four periods";
    Underrun();
    Underrun();
    Underrun();
    ASSERT_EQ(device->QueuedAheadFrames(), 4096);

    device->RenderPeriods(48000 * 300 / 256);
    EXPECT_EQ(device->QueuedAheadFrames(), 4096) << "five minutes";
    // A lone underrun does not grow the queue, but starts the ten minutes afresh.
    Underrun();
    ASSERT_EQ(device->QueuedAheadFrames(), 4096);
    device->RenderPeriods(tenMinutesOfPeriods - 10);
    EXPECT_EQ(device->QueuedAheadFrames(), 4096);
    device->RenderPeriods(10);
    EXPECT_EQ(device->QueuedAheadFrames(), 2048);
    EXPECT_EQ(card->fills.back(), 2048);
    device->Sync();
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Audio device \"Card\": ten minutes without an underrun; back to 2048 frames (42 ms) queued "
                        "ahead"),
              lines.end());
    // A start keeps no more margin than the queue still grew.
    EXPECT_EQ(device->StartMarginFrames(), 48 + 2048 - 1024);

    device->RenderPeriods(tenMinutesOfPeriods);
    EXPECT_EQ(device->QueuedAheadFrames(), 1024) << "what it was opened with";
    EXPECT_EQ(device->StartMarginFrames(), 48);
    device->RenderPeriods(tenMinutesOfPeriods);
    EXPECT_EQ(device->QueuedAheadFrames(), 1024);
}

} // namespace
