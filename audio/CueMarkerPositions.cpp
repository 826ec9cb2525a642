#include "audio/CueMarkerPositions.h"

#include "audio/AudioInfoText.h"
#include "audio/CueList.h"
#include "audio/WaveHeader.h"
#include "foundation/ModuleValues.h"
#include "foundation/Paths.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace parms {

namespace {

constexpr std::int64_t MaxLong = std::numeric_limits<std::int32_t>::max();

struct Marks {
    std::int32_t Standby = 0;
    std::int32_t End = 0;
    std::int32_t Stop = 0;
};

Marks ReadMarks(std::string_view fileName, int handle)
{
    Marks marks;
    const auto& active = basic::CueActive;
    if (active[0] != 1 && active[1] != 1 && active[2] != 1) {
        return marks;
    }
    std::vector<CueRecord> cues;
    const std::int32_t count = WaveBWFJ::ReadCueList(fileName, handle, cues);
    for (std::int32_t i = 0; i < count; ++i) {
        const CueRecord& cue = cues[static_cast<std::size_t>(i)];
        const std::string label = basic::UpperAscii(cue.Label);
        if (label == "BC$STANDBY" && active[0] != 0) {
            marks.Standby = cue.SampleOffset;
        } else if (label == "BC$END" && active[1] != 0) {
            marks.End = cue.SampleOffset;
        } else if (label == "BC$STOP" && active[2] != 0) {
            marks.Stop = cue.SampleOffset;
        }
    }
    return marks;
}

std::int32_t FramesToMs(std::int64_t frames, std::int32_t rate)
{
    const double ms = static_cast<double>(frames) / static_cast<double>(rate) * 1000.0;
    return static_cast<std::int32_t>(std::min(numeric::RoundToInt64(ms), MaxLong));
}

} // namespace

void GetCueMarkerPositions(std::string_view fileName, int handle, std::int32_t startOffsetMS, std::int32_t lengthMS,
                           WaveInfoRecord& info, std::int32_t& startSample, std::int32_t& endSample,
                           std::int32_t& startMS, std::int32_t& endMS)
{
    startSample = 0;
    endSample = 0;
    startMS = 0;
    if (lengthMS == 0) {
        if (info.SampleRate < 1) {
            info = WaveMMIO::ReadWaveHeader(fileName, handle);
        }
        lengthMS = info.Valid == 1 ? info.LengthMS : FCT_AudioInf::GetAudioInfoText(fileName, handle, 0, 0).LengthMS;
    }
    // A record without a rate cannot give sample positions (and every position
    // would divide by it): such a file plays by its length like any other.
    if (info.Valid != 1 || info.SampleRate < 1) {
        startMS = std::max(startOffsetMS, 0);
        endMS = lengthMS;
        return;
    }
    const Marks marks = ReadMarks(fileName, handle);
    std::int64_t start = std::max(marks.Standby, 0);
    if (startOffsetMS > 0) {
        const double offsetFrames = startOffsetMS / 1000.0 * info.SampleRate;
        start = std::min(numeric::RoundToInt64(offsetFrames + static_cast<double>(start)), MaxLong);
    }
    std::int64_t end = marks.End >= 1 ? marks.End : marks.Stop >= 1 ? marks.Stop : info.Frames;
    end = std::max(end, start);
    startSample = static_cast<std::int32_t>(start);
    endSample = static_cast<std::int32_t>(end);
    startMS = FramesToMs(start, info.SampleRate);
    endMS = FramesToMs(end, info.SampleRate);
}

} // namespace parms
