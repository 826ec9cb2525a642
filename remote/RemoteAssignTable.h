#pragma once

#include "mainwindow/RemoteAssignEntry.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace platform {
class Form;
}

// The input and lamp map of the USB remote boxes: for each HID channel and
// box code, the output, function and value. Defaults come from each
// channel's output setting; the session's ".rrs" file beside the program
// overrides them line by line. The program never writes that file.
namespace remote {

// Number of a function name of the ".rrs" file (upper case): the _ON number
// for a name and its twins, 0 for "FCTNA", -1 for any other name.
std::int32_t RemoteFunctionNumber(std::string_view upperName);

// The defaults for channels whose output setting (HIDCh_<n>) is 0..3, or 4
// and above for a box of contact inputs.
void SetRemoteAssignDefaults(RemoteAssignTableData& table, const std::array<std::int32_t, RemoteChannels>& channelOutputs);

// Applies the lines of a ".rrs" text. Lines whose output or value is not
// numeric, or whose function is empty, are skipped; so are lines that address
// no entry, name an output other than ch1..ch4, or carry a page outside 1..20
// (page function) or a button outside 1..100 (button function), each with a
// log line naming it.
// A value that is numeric but beyond 32 bits ends the reading: false, and the
// entries set so far stay.
bool ApplyRemoteAssignText(RemoteAssignTableData& table, std::string_view text);

// Builds the defaults, then reads "<program folder><session>.rrs" when it
// exists. An unreadable or broken file shows "Can not read Remote assign
// table file" over owner and keeps what was read so far.
void LoadRemoteAssignTable(RemoteAssignTableData& table, const std::array<std::int32_t, RemoteChannels>& channelOutputs,
                           platform::Form* owner);

} // namespace remote
