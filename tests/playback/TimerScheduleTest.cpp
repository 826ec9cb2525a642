#include "playback/TimerSchedule.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int32_t FiveOClock = 18000;
constexpr std::int32_t StartMode = 0;
constexpr std::int32_t EndMode = 1;

TimerSchedule::Decision At(const char* now, const char* time, std::int32_t mode, std::int32_t fromMs = 0,
                           std::int32_t toMs = 0)
{
    return TimerSchedule::Evaluate(now, FiveOClock, time, mode, fromMs, toMs);
}

} // namespace

TEST(TimerSchedule, EndModeStartsEarlyByTheMaterialInWholeSeconds)
{
    EXPECT_EQ(TimerSchedule::MaterialSeconds(0, 10200), 11);
    EXPECT_EQ(TimerSchedule::MaterialSeconds(500, 10500), 10);
    EXPECT_EQ(TimerSchedule::MaterialSeconds(3000, 3000), 0);
    EXPECT_EQ(TimerSchedule::MaterialSeconds(3000, 1000), 0);

    // 10.2 s to end at 12:00:00 starts at 11:59:49.
    const auto before = At("2026/12/07 11:59:48", "12:00:00", EndMode, 0, 10200);
    EXPECT_TRUE(before.valid);
    EXPECT_FALSE(before.start);
    EXPECT_EQ(before.remaining, 1);
    EXPECT_EQ(before.startStamp, "2026/12/07 11:59:49");
    const auto due = At("2026/12/07 11:59:49", "12:00:00", EndMode, 0, 10200);
    EXPECT_TRUE(due.start);
    EXPECT_EQ(due.offsetMs, 0);
}

TEST(TimerSchedule, ALateEndModeCheckStartsIntoTheSoundWhileEnoughOfItIsLeft)
{
    // A 10 s sound due at 11:59:50; the check comes 3 s late.
    const auto late = At("2026/12/07 11:59:53", "12:00:00", EndMode, 0, 10000);
    EXPECT_TRUE(late.start);
    EXPECT_EQ(late.offsetMs, 3000);
    EXPECT_EQ(late.remaining, -3);
    EXPECT_TRUE(At("2026/12/07 11:59:58", "12:00:00", EndMode, 0, 10000).start) << "8 s late, 2 s left";
    EXPECT_FALSE(At("2026/12/07 11:59:59", "12:00:00", EndMode, 0, 10000).start) << "9 s late, 1 s left";
    // Even a sound too short to catch up is not skipped by one missed second.
    const auto shortOne = At("2026/12/07 11:59:59", "12:00:00", EndMode, 0, 1500);
    EXPECT_TRUE(shortOne.start);
    EXPECT_EQ(shortOne.offsetMs, 1000);
}

TEST(TimerSchedule, StartModeFiresAtItsSecondOrSlightlyLateAfterAStall)
{
    const auto early = At("2026/12/07 11:59:59", "12:00:00", StartMode);
    EXPECT_FALSE(early.start);
    EXPECT_EQ(early.remaining, 1);
    const auto due = At("2026/12/07 12:00:00", "12:00:00", StartMode);
    EXPECT_TRUE(due.start);
    EXPECT_EQ(due.offsetMs, 0);
    // The tick stalled across 12:00:00: the start still comes, 1 s into the sound.
    const auto stalled = At("2026/12/07 12:00:01", "12:00:00", StartMode);
    EXPECT_TRUE(stalled.start);
    EXPECT_EQ(stalled.offsetMs, 1000);
    // Later than that the time counts for tomorrow.
    const auto missed = At("2026/12/07 12:00:02", "12:00:00", StartMode);
    EXPECT_FALSE(missed.start);
    EXPECT_EQ(missed.startStamp, "2026/12/08 12:00:00");
    EXPECT_EQ(missed.remaining, 86400 - 2);
    // A fraction typed in the dialog does not keep the timer from its second.
    EXPECT_TRUE(At("2026/12/07 12:00:00", "12:00:00.5", StartMode).start);
}

TEST(TimerSchedule, ATimePassedTodayCountsForTomorrow)
{
    const auto start = At("2026/12/07 13:00:00", "12:00:00", StartMode);
    EXPECT_EQ(start.startStamp, "2026/12/08 12:00:00");
    EXPECT_EQ(start.remaining, 23 * 3600);
    EXPECT_EQ(TimerSchedule::Countdown(start.remaining), "-1380:00");
    const auto end = At("2026/12/07 12:00:01", "12:00:00", EndMode, 0, 10000);
    EXPECT_FALSE(end.start);
    EXPECT_EQ(end.startStamp, "2026/12/08 11:59:50");
}

TEST(TimerSchedule, HoursAfterMidnightBelongToTheBroadcastDay)
{
    // 23:00 and 01:30 the next morning are the same broadcast day.
    EXPECT_EQ(At("2026/12/07 23:00:00", "25:30:00", StartMode).remaining, 9000);
    EXPECT_EQ(At("2026/12/07 25:29:59", "25:30:00", StartMode).remaining, 1);
    EXPECT_TRUE(At("2026/12/07 25:30:00", "25:30:00", StartMode).start);
    EXPECT_TRUE(At("2026/12/07 28:59:59", "28:59:59", StartMode).start);
    // Ending at 24:00:05 with 10 s of sound starts before midnight.
    EXPECT_EQ(At("2026/12/07 22:00:00", "24:00:05", EndMode, 0, 10000).startStamp, "2026/12/07 23:59:55");
    // Ending just after the day begins starts at the end of the previous one.
    const auto acrossDayStart = At("2026/12/07 28:59:55", "05:00:05", EndMode, 0, 10000);
    EXPECT_TRUE(acrossDayStart.start);
    EXPECT_EQ(acrossDayStart.startStamp, "2026/12/07 28:59:55");
}

TEST(TimerSchedule, TimersWithoutAUsableTimeNeverFire)
{
    EXPECT_FALSE(At("2026/12/07 12:00:00", "", StartMode).valid);
    EXPECT_FALSE(At("2026/12/07 12:00:00", "12:0:00", StartMode).valid);
    EXPECT_FALSE(At("2026/12/07 12:00:00", "12:00:60", StartMode).start);
    EXPECT_FALSE(At("", "12:00:00", StartMode).valid);
}

TEST(TimerSchedule, LabelShowsTheTimeAndItsMode)
{
    EXPECT_EQ(TimerSchedule::LabelText("12:00:00", EndMode), "12:00:00e");
    EXPECT_EQ(TimerSchedule::LabelText("12:00:00", 7), "12:00:00e");
    EXPECT_EQ(TimerSchedule::LabelText("25:30:00", StartMode), "25:30:00s");
    EXPECT_EQ(TimerSchedule::LabelText("", EndMode), "Timer");
    EXPECT_EQ(TimerSchedule::Countdown(90), "-01:30");
}
