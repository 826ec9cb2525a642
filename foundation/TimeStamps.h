#pragma once

#include <string>
#include <string_view>

// Time stamps of the day log, of file comparisons and of the broadcast day
// (a day that begins at a configured second after midnight, so that the hours
// after midnight show as 24 and more).
namespace basic {

// Styles of FormatTimeStamp.
inline constexpr int StampSlashes = 0;  // yyyy/mm/dd hh:mm:ss.fff
inline constexpr int StampDigits = 1;   // yyyymmddhhmmssfff
inline constexpr int StampFileName = 2; // yyyy-mm-dd hh_mm_ss_fff

// Parts: bit 1 date, bit 2 time, bit 4 milliseconds (0 means date and time).
// timeSource: 0 now, 1 midnight, 2 the end of the day, 3 the clock of
// daySeconds. yearForm: 0 four digits, 1 two, 2 none.
std::string FormatTimeStamp(int daySeconds, int dayOffset, int style, int parts, int timeSource, int yearForm,
                            double offsetSeconds);

// yymmdd, yyyymmdd or yyyymmddhhmmss digits in one of three forms (0 with
// slashes and colons, 1 with 年月日時分秒, 2 with hyphens and underscores).
std::string FormatDateJapanese(std::string_view digits, int form, int parts);

// stamp2 - stamp1 in seconds for two "yyyy/mm/dd hh:mm:ss" texts; 0 when
// either is shorter or not a time stamp.
int SecondsBetweenStamps(std::string_view stamp1, std::string_view stamp2);

// The stamp moved on by addSeconds and written in the broadcast day that
// starts at dayStart seconds ("yyyy/mm/dd hh:mm:ss", or digits only).
std::string FormatDateTimeText(std::string_view stamp, int addSeconds, int dayStart, int digitsOnly);

} // namespace basic
