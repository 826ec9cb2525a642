#pragma once

#include "audio/CueRecord.h"
#include "audio/SoundFileSource.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The cue points of a wave file with their play-list lengths and their
// "labl" and "file" texts from the first "LIST"/"adtl" chunk.
namespace WaveBWFJ {

// Largest cue list read; a count above it, or one whose entries the file does
// not hold, means a damaged chunk.
inline constexpr std::int32_t MaxCuePoints = 65536;

// Fills cues (one empty record when there are none) and returns the number of
// cue points. With handle 0 the file is opened here and closed before
// returning; a given handle stays open and its position moves.
std::int32_t ReadCueList(std::string_view fileName, int handle, std::vector<CueRecord>& cues);
std::int32_t ReadCueList(audiofile::SoundFileSource& file, std::vector<CueRecord>& cues);

} // namespace WaveBWFJ
