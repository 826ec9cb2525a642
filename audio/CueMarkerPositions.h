#pragma once

#include "audio/WaveInfoRecord.h"

#include <cstdint>
#include <string_view>

namespace parms {

// Start and end of a play in sample frames and in ms, from the file's cue
// labels "BC$STANDBY", "BC$END" and "BC$STOP" (each only while its switch in
// basic::CueActive is on) and the assignment's start offset, which counts from
// the standby mark. lengthMS is a length known to the caller or 0; info is the
// caller's record of the file, read here when its SampleRate is below 1. A
// file that is not a usable wave file plays from the offset to its length.
// With handle 0 the file is opened here and closed before returning.
void GetCueMarkerPositions(std::string_view fileName, int handle, std::int32_t startOffsetMS, std::int32_t lengthMS,
                           WaveInfoRecord& info, std::int32_t& startSample, std::int32_t& endSample,
                           std::int32_t& startMS, std::int32_t& endMS);

} // namespace parms
