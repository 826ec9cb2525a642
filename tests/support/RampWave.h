#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// A test sound whose every sample tells the frame it came from: frame f holds
// Ramp(f), counting 1 .. 30000 and round again, so what a device played shows
// where in the file it was and whether anything was skipped or repeated.
inline std::int16_t Ramp(std::int64_t frame)
{
    return static_cast<std::int16_t>(frame % 30000 + 1);
}
// The frame of the file a played sample came from.
inline std::int64_t RampFrame(float sample)
{
    return std::lround(sample * 32768.0F) - 1;
}

// Writes a stereo 16-bit wave file at path (its folders made as needed) whose
// frame f holds Ramp(f) in both channels, with labelled cues (frame, label).
void WriteRampWave(const std::string& path, int rate, int frames,
                   const std::vector<std::pair<std::uint32_t, std::string>>& cues = {});
// The same ramp from firstFrame on: the first sample played from the file
// tells which of several such files sounds.
void WriteRampExcerpt(const std::string& path, int rate, std::int64_t firstFrame, int frames);

// Expects that the samples an output played follow the ramp without a gap:
// each one the next value after the one before it.
void ExpectRampUnbroken(const std::vector<float>& played, int output);

} // namespace testsupport
