#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// When a start timer fires. Times of day lie on the broadcast day that begins
// dayStart seconds after midnight, so the hours after midnight read 24 and
// more; stamps are "yyyy/mm/dd hh:mm:ss" texts on that day.
namespace TimerSchedule {

// A check that comes this many seconds late or more no longer starts a
// start-mode timer (nor an end-mode one whose sound is too short to catch up).
inline constexpr std::int32_t GraceSeconds = 2;

// Whole seconds from fromMs to toMs, a remainder counting as one more second;
// 0 when the range is empty.
std::int32_t MaterialSeconds(std::int32_t fromMs, std::int32_t toMs);

// The time of day of a timer as "hh:mm:ss" (a fraction dropped); "" when the
// text is not a time of day.
std::string TimeOfDay(std::string_view timerTime);

struct Decision {
    bool valid = false;         // the timer has a time of day
    std::string startStamp;     // when the sound is due to start
    std::int32_t remaining = 0; // seconds from now to startStamp; negative when late
    bool start = false;         // start now
    std::int32_t offsetMs = 0;  // into the sound: the lateness
};

// What the check at now does with an armed timer: mode 0 starts the sound at
// the time, any other mode so that material of fromMs..toMs ends at it. A
// time already past today counts for tomorrow, except that a start (or an end
// mode's start) missed by a stalled check still happens, late by its offset,
// while it can: start mode for up to GraceSeconds, end mode while the rest of
// the sound lasts more than a second.
Decision Evaluate(std::string_view now, std::int32_t dayStart, std::string_view timerTime, std::int32_t mode,
                  std::int32_t fromMs, std::int32_t toMs);

// The timer label: the time followed by "e" (end mode) or "s" (start mode);
// "Timer" without a time.
std::string LabelText(std::string_view timerTime, std::int32_t mode);

// The countdown in the counter: "-" and the remaining seconds as mm:ss.
std::string Countdown(std::int32_t remainingSeconds);

} // namespace TimerSchedule
