#pragma once

#include "audio/WaveInfoRecord.h"

#include <string_view>

// The icon of a play-list row: the kind of sound file, from its extension or,
// for a wave file whose header was read, from its format.
namespace playback {

inline constexpr int ListIconWave = 1;
inline constexpr int ListIconMissing = 10;

// Icon of a file by its extension in lower case, without the dot ("wav"
// rows made without reading the header are plain wave files).
int ListIconForExtension(std::string_view lowerExtension);
// Icon of a wave file by its header's format tag and format code.
int ListIconForWaveHeader(const WaveInfoRecord& header);

} // namespace playback
