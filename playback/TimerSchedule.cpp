#include "playback/TimerSchedule.h"

#include "foundation/Durations.h"
#include "foundation/TimeStamps.h"

#include <algorithm>

namespace TimerSchedule {

namespace {

constexpr std::size_t StampLength = 19; // yyyy/mm/dd hh:mm:ss
constexpr std::size_t DateLength = 10;
constexpr std::int32_t SecondsPerDay = 86400;

std::string DateOf(std::string_view stamp)
{
    return std::string(stamp.substr(0, DateLength));
}

} // namespace

std::int32_t MaterialSeconds(std::int32_t fromMs, std::int32_t toMs)
{
    const std::int64_t span = std::int64_t{toMs} - fromMs;
    if (span <= 0) {
        return 0;
    }
    return static_cast<std::int32_t>(span / 1000 + (span % 1000 != 0 ? 1 : 0));
}

std::string TimeOfDay(std::string_view timerTime)
{
    if (basic::ParseTimeOfDay(timerTime, 0, 0) != 1) {
        return {};
    }
    return std::string(timerTime.substr(0, 8));
}

Decision Evaluate(std::string_view now, std::int32_t dayStart, std::string_view timerTime, std::int32_t mode,
                  std::int32_t fromMs, std::int32_t toMs)
{
    Decision decision;
    const std::string time = TimeOfDay(timerTime);
    if (time.empty() || now.size() < StampLength) {
        return decision;
    }
    decision.valid = true;
    std::string target = DateOf(now) + " " + time;
    const std::int32_t pastTarget = basic::SecondsBetweenStamps(target, now);
    if (mode == 0 && pastTarget > 0 && pastTarget < GraceSeconds) {
        // The check stalled across the second of the start.
        decision.startStamp = target;
        decision.remaining = -pastTarget;
        decision.start = true;
        decision.offsetMs = pastTarget * 1000;
        return decision;
    }
    if (pastTarget > 0) {
        target = DateOf(basic::FormatDateTimeText(now, SecondsPerDay, dayStart, 0)) + " " + time;
    }
    const std::int32_t length = mode == 0 ? 0 : MaterialSeconds(fromMs, toMs);
    if (length > 0) {
        target = basic::FormatDateTimeText(target, -length, dayStart, 0);
    }
    decision.startStamp = target;
    decision.remaining = basic::SecondsBetweenStamps(now, target);
    if (decision.remaining == 0) {
        decision.start = true;
    } else if (mode != 0 && decision.remaining < 0) {
        const std::int32_t lateness = -decision.remaining;
        if (lateness < std::max(length - 1, GraceSeconds)) {
            decision.start = true;
            decision.offsetMs = lateness * 1000;
        }
    }
    return decision;
}

std::string LabelText(std::string_view timerTime, std::int32_t mode)
{
    if (timerTime.empty()) {
        return "Timer";
    }
    return std::string(timerTime) + (mode != 0 ? "e" : "s");
}

std::string Countdown(std::int32_t remainingSeconds)
{
    const std::int64_t ms = std::clamp<std::int64_t>(std::int64_t{remainingSeconds} * 1000, INT32_MIN, INT32_MAX);
    return "-" + basic::FormatDuration(static_cast<std::int32_t>(ms), 4, 0);
}

} // namespace TimerSchedule
