#pragma once

#include <string>
#include <string_view>

// The day log that operators and support read after an incident, the text of
// a system error and the computer name that names the log files.
namespace basic {

// Appends "yyyy/mm/dd hh:mm:ss text" to the day's log (kind 0, ".log") or
// error log (any other kind, ".err"), named "yyyymmdd - computer - session".
// Writes only while LogError is 1, or with force 1. Never fails visibly: a
// line that cannot be written is lost. The last system error is kept. The
// log stays UTF-8 text, one line per entry: a byte of text that is no part
// of a UTF-8 character and every control character (C0 but line breaks, DEL)
// is written as "\xNN", C1 controls and U+2028/U+2029 as "\uNNNN", line
// breaks as blanks.
void WriteLog(std::string_view text, int kind, int force);

// The system's text for an error code; code 0 takes the last error of the
// calling thread, and "" when there is none.
std::string SystemErrorText(int code);

// The machine's host name, "" while it cannot be read.
std::string ComputerName();

} // namespace basic
