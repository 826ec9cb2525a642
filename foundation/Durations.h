#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Durations of sounds and play positions in the fourteen display forms of the
// counters, lists and dialogs, and the parsing of durations and times of day
// typed by the operator.
namespace basic {

// Display forms of FormatDuration (all fields truncated):
//  0 mmm'ss.fff   1 mm'ss.f      2 hh:mm:ss     3 h:mm:ss.f    4 mm:ss
//  5 sss.fff      6 sss.ff       7 mm:ss.fff    8 hh:mm:ss.f   9 hh:mm:ss.ff
// 10 hh:mm:ss.fff 11 hh時mm分ss秒 12 hhmmss      13 mmm'ss
// A negative duration shows as 0 unless allowNegative; then with a "-".
std::string FormatDuration(std::int32_t ms, int format, int allowNegative);

// Milliseconds of a typed duration: plain seconds ("90.5"), or digit groups
// separated by ".", ":", "'" or '"' (1'30.5, 1:30 as h:mm, 1:02:03). On
// success *okFlag (when given) becomes 1; a failure gives -1 with
// failMinusOne, else 0, and leaves *okFlag alone.
std::int32_t ParseDuration(std::string_view text, int failMinusOne, std::int32_t* okFlag);

// 1 when text is a time of day hh:mm:ss[.f[f[f]]] (or its digits alone with
// digitsOnly); with dayStart > 0 it must lie in the broadcast day that starts
// there, so times after midnight are typed as 24:00:00 and more.
int ParseTimeOfDay(std::string_view text, int dayStart, int digitsOnly);

} // namespace basic
