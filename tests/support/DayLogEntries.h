#pragma once

#include <string>
#include <vector>

namespace testsupport {

// The lines of every day log and error log (".log", ".err") in folder,
// without the time stamp ("yyyy/mm/dd hh:mm:ss ") that begins each.
std::vector<std::string> DayLogEntries(const std::string& folder);

} // namespace testsupport
